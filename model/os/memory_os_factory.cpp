#include "model/os/memory_os_factory.h"

#include <chrono>
#include <ctime>
#include <fstream>
#include <string>
#include <utility>

#include "foundation/little_endian.h"
#include "model/objects/locale_info.h"
#include "model/objects/model_stream.h"
#include "model/os/chunked_value.h"
#include "model/os/code_page_converter.h"
#include "model/os/driver_interface.h"
#include "model/os/international_settings.h"
#include "model/os/registry_path_name.h"
#include "model/os/semaphore_lock.h"
#include "model/os/unicode.h"
#include "platform/dynamic_library.h"
#include "platform/file_path.h"

namespace {

constexpr WideChar kPrintersKey[] = QV_WIDE("System\\CurrentControlSet\\Control\\Print\\Printers\\");
constexpr WideChar kPrinterDataSubkey[] = QV_WIDE("\\PrinterDriverData");
constexpr WideChar kTempDirectoryValue[] = QV_WIDE("TempDirectoryLocation");
// What the registry answers for a key that does not open.
constexpr int32_t kFileNotFound = 2;

std::filesystem::path FilePath(const RWWString& path) { return platform::ToFilePath(path.Data(), path.Length()); }

RWWString FromPath(const std::filesystem::path& path) {
  const std::basic_string<WideChar> text = platform::FromFilePath(path);
  return RWWString(text.data(), static_cast<uint32_t>(text.size()));
}

// Empty when the system names none.
RWWString SystemTemporaryDirectory() {
  std::error_code error;
  const std::filesystem::path path = std::filesystem::temp_directory_path(error);
  return error ? RWWString() : FromPath(path);
}

GOSDataStore::Value DwordValue(uint32_t value) {
  GOSDataStore::Value stored{GOSDataStore::kDword, std::vector<uint8_t>(4)};
  StoreLittle32(stored.bytes.data(), value);
  return stored;
}

bool DwordOf(const GOSDataStore::Value& value, uint32_t& out) {
  if (value.type != GOSDataStore::kDword || value.bytes.size() != 4) return false;
  out = LoadLittle32(value.bytes.data());
  return true;
}

// The text of a string value up to its terminator, if it has one. The units
// are collected first and the string made once: a string grown a unit at a
// time is copied on every append.
RWWString TextOf(const GOSDataStore::Value& value) {
  std::basic_string<WideChar> units;
  units.reserve(value.bytes.size() / 2);
  for (size_t i = 0; i + 1 < value.bytes.size(); i += 2) {
    const WideChar unit = LoadLittle16(&value.bytes[i]);
    if (unit == 0) break;
    units.push_back(unit);
  }
  return RWWString(units.data(), static_cast<uint32_t>(units.size()));
}

// The values under one key of the store, as the chunked form uses them.
class StoreKey : public GChunkedValueAccess {
 public:
  StoreKey(GOSDataStore& store, uint32_t root, RWWString keyPath)
      : store_(store), root_(root), keyPath_(std::move(keyPath)) {}

  bool ReadCount(const RWWString& name, uint32_t& count) override {
    GOSDataStore::Value value;
    return store_.Read(root_, keyPath_, name, value) && DwordOf(value, count);
  }
  bool WriteCount(const RWWString& name, uint32_t count) override {
    store_.Write(root_, keyPath_, name, DwordValue(count));
    return true;
  }
  bool ReadChunk(const RWWString& name, uint8_t* buffer, uint32_t capacity, uint32_t& length) override {
    GOSDataStore::Value value;
    if (!store_.Read(root_, keyPath_, name, value) || value.type != GOSDataStore::kBinary ||
        value.bytes.size() > capacity) {
      return false;
    }
    std::copy(value.bytes.begin(), value.bytes.end(), buffer);
    length = static_cast<uint32_t>(value.bytes.size());
    return true;
  }
  bool WriteChunk(const RWWString& name, const uint8_t* bytes, uint32_t length) override {
    store_.Write(root_, keyPath_, name, {GOSDataStore::kBinary, std::vector<uint8_t>(bytes, bytes + length)});
    return true;
  }
  bool DeleteChunk(const RWWString& name) override { return store_.Delete(root_, keyPath_, name); }

 private:
  GOSDataStore& store_;
  uint32_t root_;
  RWWString keyPath_;
};

GDateTime ToDateTime(const std::tm& local) {
  return GDateTime{.year = static_cast<uint16_t>(local.tm_year + 1900),
                   .month = static_cast<uint16_t>(local.tm_mon + 1),
                   .day = static_cast<uint16_t>(local.tm_mday),
                   .hour = static_cast<uint16_t>(local.tm_hour),
                   .minute = static_cast<uint16_t>(local.tm_min),
                   .second = static_cast<uint16_t>(local.tm_sec),
                   .milliseconds = 0,
                   .dayOfWeek = static_cast<uint16_t>(local.tm_wday)};
}

}  // namespace

GMemoryOSFactory::GMemoryOSFactory(std::unique_ptr<GSettingsCodecInterface> codec, std::filesystem::path storeFile)
    : GOSFactory(std::move(codec)), storeFile_(std::move(storeFile)) {
  if (!storeFile_.empty()) store_.LoadFromFile(storeFile_);
  MakeFactoryLock();
}

GMemoryOSFactory::~GMemoryOSFactory() { SaveStore(); }

bool GMemoryOSFactory::SaveStore() const { return !storeFile_.empty() && store_.SaveToFile(storeFile_); }

void GMemoryOSFactory::SetDriverDataFile(const RWWString& driverName, const RWWString& path) {
  std::lock_guard guard(mutex_);
  dataFiles_[std::basic_string<WideChar>(driverName.Data(), driverName.Length())] = path;
}

RWWString GMemoryOSFactory::PrinterDataKey(const RWWString& printerName) {
  return RWWString(kPrintersKey) + printerName + kPrinterDataSubkey;
}

std::unique_ptr<GDriverInterface> GMemoryOSFactory::CreateDriverObject(const GDriverKey&) { return nullptr; }

std::unique_ptr<GDriverInterface> GMemoryOSFactory::CreateRenderDriverObject(const GDriverKey&) { return nullptr; }

std::unique_ptr<MPersistentObject> GMemoryOSFactory::CreateDeviceCompanion(GGraphicsDevice*) { return nullptr; }

std::unique_ptr<MPersistentObject> GMemoryOSFactory::CreateFontCompanion() { return nullptr; }

std::unique_ptr<GUnicodeConverter> GMemoryOSFactory::CreateUnicodeConverter() {
  return std::make_unique<GCodePageConverter>();
}

GOSVersion& GMemoryOSFactory::GetOSVersion(GOSVersion& record) {
  record = GOSVersion{.osCode = 13, .version = 5u << 16, .build = 2195};
  return record;
}

// std::localtime shares one record between threads; the factory's mutex
// keeps its callers apart.
int32_t GMemoryOSFactory::GetLocalTime(GDateTime& now, GDateTime& shifted, int16_t& minuteOffset) {
  now = GDateTime{};
  shifted = GDateTime{};
  minuteOffset = timeOffset_;
  const std::time_t seconds = std::time(nullptr);
  std::lock_guard guard(mutex_);
  const std::tm* local = std::localtime(&seconds);
  if (local == nullptr) return 0;
  now = ToDateTime(*local);
  shifted = ShiftDateTime(now, minuteOffset);
  return 1;
}

std::unique_ptr<GInputStream> GMemoryOSFactory::NewMemoryInputStream(const uint8_t* buffer, uint32_t size,
                                                                     int32_t format) {
  return std::make_unique<GInputStream>(buffer, size, static_cast<uint32_t>(format));
}

std::unique_ptr<GInputStream> GMemoryOSFactory::NewFileInputStream(const RWWString& path, int32_t format) {
  return std::make_unique<GInputStream>(path, static_cast<uint32_t>(format));
}

std::unique_ptr<GOutputStream> GMemoryOSFactory::NewMemoryOutputStream(uint8_t* buffer, uint32_t size, int32_t format) {
  return std::make_unique<GOutputStream>(buffer, size, static_cast<uint32_t>(format));
}

std::unique_ptr<GOutputStream> GMemoryOSFactory::NewFileOutputStream(const RWWString& path, int32_t format) {
  return std::make_unique<GOutputStream>(path, static_cast<uint32_t>(format));
}

void GMemoryOSFactory::GetDriverDataFile(RWWString& path, GDriverInterface& driver) {
  const RWWString& driverName = driver.GetText2();
  std::lock_guard guard(mutex_);
  const auto found = dataFiles_.find(std::basic_string<WideChar>(driverName.Data(), driverName.Length()));
  path = found != dataFiles_.end() ? found->second : RWWString();
}

std::unique_ptr<GLocaleInfo> GMemoryOSFactory::ReadInternationalSettings() {
  return ReadInternationalSettingsFrom(*this);
}

void GMemoryOSFactory::GetTempDirectory(RWWString& path, GDriverInterface& driver) {
  GetPrinterDataString(path, driver, RWWString(kTempDirectoryValue), RWWString());
  if (path.Length() == 0) path = SystemTemporaryDirectory();
}

void GMemoryOSFactory::GetSpoolDirectories(std::vector<RWWString>& directories) {
  const RWWString temporary = SystemTemporaryDirectory();
  if (temporary.Length() != 0) directories.push_back(temporary);
}

void GMemoryOSFactory::GetModuleDirectory(RWWString& path) {
  std::call_once(moduleDirectoryFound_, [this] {
    CachedModuleDirectory() = FromPath(platform::ModuleFileName(GetModuleInstance()).parent_path());
  });
  path = CachedModuleDirectory();
}

void GMemoryOSFactory::SeedRandom() {
  std::lock_guard guard(mutex_);
  random_.seed(
      static_cast<std::mt19937::result_type>(std::chrono::high_resolution_clock::now().time_since_epoch().count()));
}

int32_t GMemoryOSFactory::Random() {
  std::lock_guard guard(mutex_);
  return static_cast<int32_t>(random_() >> 1);
}

int32_t GMemoryOSFactory::FileExists(const RWWString& path) {
  std::error_code error;
  return std::filesystem::exists(FilePath(path), error) ? 1 : 0;
}

int32_t GMemoryOSFactory::CreateEmptyFile(const RWWString& path) {
  std::ofstream file(FilePath(path), std::ios::binary | std::ios::trunc);
  return file.is_open() ? 1 : 0;
}

WideChar GMemoryOSFactory::PathSeparator() { return platform::PathSeparator(); }

GPrinterDataAccessor* GMemoryOSFactory::CreatePrinterDataAccessor(PrinterHandle) { return nullptr; }

void GMemoryOSFactory::ReadText(RWWString& text, uint32_t root, const RWWString& keyPath, const RWWString& name,
                                const RWWString& defaultText) const {
  GOSDataStore::Value value;
  RWWString stored;
  if (store_.Read(root, keyPath, name, value) && value.type == GOSDataStore::kString) stored = TextOf(value);
  text = stored.Length() != 0 ? stored : defaultText;
}

uint32_t GMemoryOSFactory::ReadDword(uint32_t root, const RWWString& keyPath, const RWWString& name,
                                     uint32_t defaultValue) const {
  GOSDataStore::Value value;
  uint32_t stored = 0;
  return store_.Read(root, keyPath, name, value) && DwordOf(value, stored) ? stored : defaultValue;
}

void GMemoryOSFactory::WriteText(uint32_t root, const RWWString& keyPath, const RWWString& name, const RWWString& text,
                                 bool terminated) {
  GOSDataStore::Value value{GOSDataStore::kString, {}};
  value.bytes.reserve(2 * (text.Length() + 1));
  for (uint32_t i = 0; i < text.Length(); ++i) AppendLittle16(value.bytes, text.Data()[i]);
  if (terminated) AppendLittle16(value.bytes, 0);
  store_.Write(root, keyPath, name, std::move(value));
}

void GMemoryOSFactory::WriteDword(uint32_t root, const RWWString& keyPath, const RWWString& name, uint32_t value) {
  store_.Write(root, keyPath, name, DwordValue(value));
}

int32_t GMemoryOSFactory::SetPrinterDataDword(GDriverInterface& driver, const RWWString& name, uint32_t value) {
  WriteDword(GOSDataStore::kLocalMachine, PrinterDataKey(driver.GetPrinterName()), name, value);
  return 1;
}

int32_t GMemoryOSFactory::SetPrinterDataString(GDriverInterface& driver, const RWWString& name, const RWWString& text) {
  WriteText(GOSDataStore::kLocalMachine, PrinterDataKey(driver.GetPrinterName()), name, text, false);
  return 1;
}

bool GMemoryOSFactory::LocateChunkedValue(GDriverInterface& driver, const RWWString& name, uint32_t& root,
                                          RWWString& keyPath, RWWString& valueName) const {
  if (!IsRegistryPathName(name)) {
    root = GOSDataStore::kLocalMachine;
    keyPath = PrinterDataKey(driver.GetPrinterName());
    valueName = name;
    return true;
  }
  GRegistryPathName parsed;
  if (!ParseRegistryPathName(name, parsed)) return false;
  root = parsed.root;
  keyPath = parsed.keyPath;
  valueName = parsed.valueName;
  return true;
}

int32_t GMemoryOSFactory::WritePrinterDataChunked(GDriverInterface& driver, const RWWString& name, const uint8_t* bytes,
                                                  uint32_t size) {
  uint32_t root = 0;
  RWWString keyPath;
  RWWString valueName;
  if (!LocateChunkedValue(driver, name, root, keyPath, valueName)) return 0;
  StoreKey key(store_, root, keyPath);
  return WriteChunkedValue(key, valueName, bytes, size);
}

int32_t GMemoryOSFactory::ReadPrinterDataChunked(GDriverInterface& driver, const RWWString& name, uint8_t* buffer,
                                                 uint32_t size, uint32_t& outSize) {
  uint32_t root = 0;
  RWWString keyPath;
  RWWString valueName;
  if (!LocateChunkedValue(driver, name, root, keyPath, valueName)) return 0;
  StoreKey key(store_, root, keyPath);
  return ReadChunkedValue(key, valueName, buffer, size, outSize);
}

uint32_t GMemoryOSFactory::GetPrinterDataDword(GDriverInterface& driver, const RWWString& name, uint32_t defaultValue) {
  return ReadDword(GOSDataStore::kLocalMachine, PrinterDataKey(driver.GetPrinterName()), name, defaultValue);
}

void GMemoryOSFactory::GetPrinterDataString(RWWString& text, GDriverInterface& driver, const RWWString& name,
                                            const RWWString& defaultText) {
  ReadText(text, GOSDataStore::kLocalMachine, PrinterDataKey(driver.GetPrinterName()), name, defaultText);
}

int32_t GMemoryOSFactory::WriteDriverDataString(GDriverInterface& driver, const RWWString& subkey,
                                                const RWWString& name, const RWWString& text) {
  if (text.Length() == 0) return 1;
  WriteText(GOSDataStore::kLocalMachine, RWWString(kPrintersKey) + driver.GetPrinterName() + QV_WIDE("\\") + subkey,
            name, text, true);
  return 1;
}

void GMemoryOSFactory::ReadDriverDataString(RWWString& text, GDriverInterface& driver, const RWWString& subkey,
                                            const RWWString& name, const RWWString& defaultText) {
  ReadText(text, GOSDataStore::kLocalMachine,
           RWWString(kPrintersKey) + driver.GetPrinterName() + QV_WIDE("\\") + subkey, name, defaultText);
}

int32_t GMemoryOSFactory::DeleteDriverDataValue(GDriverInterface& driver, const RWWString& name) {
  return store_.Delete(GOSDataStore::kLocalMachine, PrinterDataKey(driver.GetPrinterName()), name) ? 1 : 0;
}

void GMemoryOSFactory::ReadMachineString(RWWString& text, const RWWString& keyPath, const RWWString& name,
                                         const RWWString& defaultText) {
  ReadText(text, GOSDataStore::kLocalMachine, keyPath, name, defaultText);
}

uint32_t GMemoryOSFactory::ReadMachineDword(const RWWString& keyPath, const RWWString& name, uint32_t defaultValue) {
  return ReadDword(GOSDataStore::kLocalMachine, keyPath, name, defaultValue);
}

int32_t GMemoryOSFactory::SetMachineDwordIfMissing(const RWWString& keyPath, const RWWString& name, uint32_t value) {
  if (!store_.KeyExists(GOSDataStore::kLocalMachine, keyPath)) return kFileNotFound;
  GOSDataStore::Value existing;
  if (!store_.Read(GOSDataStore::kLocalMachine, keyPath, name, existing)) {
    WriteDword(GOSDataStore::kLocalMachine, keyPath, name, value);
  }
  return 0;
}

int32_t GMemoryOSFactory::MachineKeyExists(const RWWString& keyPath) {
  return store_.KeyExists(GOSDataStore::kLocalMachine, keyPath) ? 1 : 0;
}

void GMemoryOSFactory::ReadUserString(RWWString& text, const RWWString& keyPath, const RWWString& name,
                                      const RWWString& defaultText) {
  ReadText(text, GOSDataStore::kCurrentUser, keyPath, name, defaultText);
}

int32_t GMemoryOSFactory::WriteUserString(const RWWString& keyPath, const RWWString& name, const RWWString& text) {
  WriteText(GOSDataStore::kCurrentUser, keyPath, name, text, true);
  return 1;
}

uint32_t GMemoryOSFactory::ReadUserDword(const RWWString& keyPath, const RWWString& name, uint32_t defaultValue) {
  return ReadDword(GOSDataStore::kCurrentUser, keyPath, name, defaultValue);
}

int32_t GMemoryOSFactory::UserKeyExists(const RWWString& keyPath) {
  return store_.KeyExists(GOSDataStore::kCurrentUser, keyPath) ? 1 : 0;
}

int32_t GMemoryOSFactory::WriteUserDword(const RWWString& keyPath, const RWWString& name, uint32_t value) {
  WriteDword(GOSDataStore::kCurrentUser, keyPath, name, value);
  return 1;
}

std::unique_ptr<GLock> GMemoryOSFactory::CreateLock() { return std::make_unique<GSemaphoreLock>(); }

GOSFactory* CreateMemoryOSFactory() {
  if (GOSFactory::Instance() == nullptr) GOSFactory::SetInstance(new GMemoryOSFactory);
  return GOSFactory::Instance();
}
