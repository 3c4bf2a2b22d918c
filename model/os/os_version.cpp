#include "model/os/os_version.h"

#include <cstring>
#include <optional>

namespace {

constexpr uint32_t kPlatformWin32s = 0;
constexpr uint32_t kPlatformWindows95 = 1;
constexpr uint32_t kPlatformNT = 2;

constexpr uint32_t kCodeWin32s = 4;
constexpr uint32_t kCodeWindows95Fallback = 5;
constexpr uint32_t kCodeNT4Workstation = 9;
constexpr uint32_t kCodeNTServer = 10;
constexpr uint32_t kCodeNT5 = 13;
constexpr uint32_t kCodeNT5OtherBuild = 14;

class PlatformQueries : public GSystemVersionQueries {
 public:
  bool QueryVersionEx(uint32_t recordSize, platform::SystemVersionInfo& info) override {
    return platform::QueryVersionEx(recordSize, info);
  }
  uint32_t QueryVersion() override { return platform::QueryVersion(); }
  bool OpenProductOptions() override {
    key_.emplace();
    return key_->IsOpen();
  }
  bool ReadProductOption(const WideChar* name, uint8_t* buffer, uint32_t& size) override {
    return key_ && key_->Read(name, buffer, size);
  }

 private:
  std::optional<platform::ProductOptionsKey> key_;
};

uint32_t VersionWord(uint32_t major, uint32_t minor) { return major << 16 | (minor & 0xFFFF); }

// NT 4.0 is a workstation until the registry says otherwise; NT 5.0 build
// 2195 is code 13, other 5.x builds 14; later systems are not classified.
std::optional<uint32_t> ClassifyNT(const platform::SystemVersionInfo& info) {
  if (info.major == 4) return kCodeNT4Workstation;
  if (info.major == 5) return (info.build & 0xFFFF) == 2195 ? kCodeNT5 : kCodeNT5OtherBuild;
  return std::nullopt;
}

std::optional<uint32_t> ClassifyWindows95(uint32_t major, uint32_t minor) {
  if (major < 4) return std::nullopt;
  if (minor == 0 || minor == 20) return 6;
  return minor < 20 ? 7 : 8;
}

std::optional<uint32_t> ClassifyExtended(const platform::SystemVersionInfo& info) {
  switch (info.platformId) {
    case kPlatformWin32s:
      return kCodeWin32s;
    case kPlatformWindows95:
      return ClassifyWindows95(info.major, info.minor);
    case kPlatformNT:
      return ClassifyNT(info);
    default:
      return std::nullopt;
  }
}

// The larger record of the second query tells the Windows 95 family apart
// only as a whole.
std::optional<uint32_t> ClassifyFallback(const platform::SystemVersionInfo& info) {
  switch (info.platformId) {
    case kPlatformWin32s:
      return kCodeWin32s;
    case kPlatformWindows95:
      return kCodeWindows95Fallback;
    case kPlatformNT:
      return ClassifyNT(info);
    default:
      return std::nullopt;
  }
}

// GetVersion always answers, so this step never fails.
GOSVersion ClassifyOldQuery(uint32_t answer) {
  const uint32_t major = answer & 0xFF;
  const uint32_t minor = (answer >> 8) & 0xFF;
  GOSVersion found{.osCode = 0, .version = VersionWord(major, minor), .build = 0};
  if (answer & 0x80000000u) {
    found.osCode = major == 3 ? kCodeWin32s : kCodeWindows95Fallback;
  } else {
    found.osCode = major == 4 ? kCodeNT4Workstation : kCodeNT5;
  }
  return found;
}

// The registry value holds UTF-16 text, perhaps with its terminator.
bool IsWorkstationType(const uint8_t* bytes, uint32_t size) {
  static constexpr char kWorkstation[] = "Winnt";
  const uint32_t units = size / 2;
  uint32_t length = 0;
  for (; length < units; ++length) {
    uint16_t unit;
    std::memcpy(&unit, bytes + 2 * length, 2);
    if (unit == 0) break;
    if (length >= sizeof(kWorkstation) - 1) return false;
    const char expected = kWorkstation[length];
    if (unit != static_cast<uint8_t>(expected) && unit != static_cast<uint8_t>(expected ^ 0x20)) return false;
  }
  return length == sizeof(kWorkstation) - 1;
}

// An NT workstation is told apart from a server by its product type, and a
// workstation that names a product suite is counted with NT 5.0. The suite
// is read into no more room than the product type took, as the system has
// always done.
std::optional<uint32_t> RefineFromProductOptions(GSystemVersionQueries& system) {
  if (!system.OpenProductOptions()) return std::nullopt;
  uint8_t buffer[128] = {};
  uint32_t size = sizeof(buffer);
  if (!system.ReadProductOption(QV_WIDE("ProductType"), buffer, size)) return std::nullopt;
  if (!IsWorkstationType(buffer, size)) return kCodeNTServer;
  uint32_t suiteSize = size;
  return system.ReadProductOption(QV_WIDE("ProductSuite"), buffer, suiteSize) ? kCodeNT5 : kCodeNT4Workstation;
}

std::optional<GOSVersion> Classify(GSystemVersionQueries& system) {
  platform::SystemVersionInfo info;
  std::optional<uint32_t> code;
  if (system.QueryVersionEx(276, info)) {
    code = ClassifyExtended(info);
  } else if (system.QueryVersionEx(552, info)) {
    code = ClassifyFallback(info);
  } else {
    return ClassifyOldQuery(system.QueryVersion());
  }
  if (!code) return std::nullopt;
  return GOSVersion{.osCode = *code, .version = VersionWord(info.major, info.minor), .build = info.build & 0xFFFF};
}

}  // namespace

bool DetectOperatingSystem(GOSVersion& record) {
  PlatformQueries system;
  return DetectOperatingSystem(record, system);
}

bool DetectOperatingSystem(GOSVersion& record, GSystemVersionQueries& system) {
  std::optional<GOSVersion> found = Classify(system);
  if (!found) return false;
  if (found->osCode == kCodeNT4Workstation || found->osCode == kCodeNT5) {
    const std::optional<uint32_t> refined = RefineFromProductOptions(system);
    if (!refined) return false;
    found->osCode = *refined;
  }
  record = *found;
  return true;
}

GOSVersion QueryOSVersion() {
  PlatformQueries system;
  return QueryOSVersion(system);
}

GOSVersion QueryOSVersion(GSystemVersionQueries& system) {
  GOSVersion record;
  if (DetectOperatingSystem(record, system)) return record;
  platform::SystemVersionInfo info;
  if (!system.QueryVersionEx(276, info) && !system.QueryVersionEx(552, info)) return GOSVersion{};
  return GOSVersion{.osCode = 0, .version = VersionWord(info.major, info.minor), .build = info.build & 0xFFFF};
}

uint32_t MapOSVersionToFamily(const GOSVersion& record) {
  switch (record.osCode) {
    case 1:
      return 1;
    case 2:
    case 3:
    case 4:
      return 2;
    case 5:
      return 3;
    case 9:
    case 10:
    case 11:
    case 13:
    case 14:
      return 4;
    case 12:
      return 6;
    default:
      return 0;
  }
}
