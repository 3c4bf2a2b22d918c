#include "model/os/osfactry.h"

#include <new>
#include <utility>
#include <vector>

#include "foundation/persistence.h"
#include "model/attributes/configuration.h"
#include "model/attributes/value_attribute.h"
#include "model/objects/model_stream.h"
#include "model/os/driver_interface.h"
#include "model/os/fatal_error.h"
#include "model/os/loadable_library.h"
#include "model/os/lock.h"
#include "model/os/settings_codec_interface.h"
#include "model/os/unicode.h"

namespace {

constexpr const char kSourceName[] = "osfactry";

// Names hold at most 260 characters with the terminator.
constexpr uint32_t kMaxPatternLength = 259;
// Each try draws a fresh name; when this many were all taken or could not
// be created, the directory is taken to be unusable.
constexpr int kUniqueNameTries = 1000;

// The bin pool is always stored as an object graph.
constexpr WideChar kObjectGraphOnlyName[] = QV_WIDE("ZUDBinPool");
// Attempts at storing an object, each with twice the room of the one before.
constexpr int kStoreAttempts = 3;
// Named objects are read into this much room first.
constexpr uint32_t kFirstReadSize = 1024;
// The most room a named object is read into: a stored chunk count is
// untrusted and may claim gigabytes.
constexpr uint32_t kLargestNamedObject = 16u << 20;

// Keys leading from the device description to the value that selects the
// compact settings format for named objects.
constexpr int32_t kCompactFormatPath[] = {359, 366, 940};

// The factory constructed last, which the process deletes at its end
// (constructing another deletes it first), and the one Instance answers.
struct FactoryOwner {
  std::atomic<GOSFactory*> lastConstructed{nullptr};
  std::atomic<GOSFactory*> current{nullptr};
  ~FactoryOwner() { delete lastConstructed.exchange(nullptr); }
};

FactoryOwner owner;

WideChar Base36Digit(int32_t value) { return static_cast<WideChar>(value < 10 ? '0' + value : 'A' + (value - 10)); }

}  // namespace

GOSFactory::GOSFactory(std::unique_ptr<GSettingsCodecInterface> codec) : codec_(std::move(codec)) {
  delete owner.lastConstructed.exchange(this);
}

GOSFactory::~GOSFactory() {
  GOSFactory* self = this;
  owner.lastConstructed.compare_exchange_strong(self, nullptr);
  self = this;
  owner.current.compare_exchange_strong(self, nullptr);
}

GOSFactory* GOSFactory::Instance() { return owner.current.load(std::memory_order_acquire); }

void GOSFactory::SetInstance(GOSFactory* factory) { owner.current.store(factory, std::memory_order_release); }

void GOSFactory::MakeFactoryLock() { factoryLock_ = CreateLock(); }

GOSVersion& GOSFactory::GetOSVersion(GOSVersion& record) {
  record = QueryOSVersion();
  return record;
}

// Even without the factory's lock only one lock ever lands in the pointer:
// a lock made by a thread that lost the race is deleted again.
void GOSFactory::CreateChecked(std::atomic<GLock*>& lock) {
  if (lock.load(std::memory_order_acquire) != nullptr) return;
  if (factoryLock_ && factoryLock_->Lock() != 0) {
    ReportFatalError(kFatalTypeShutdown, kFatalLockFailed, kSourceName, __LINE__);
    return;
  }
  if (lock.load(std::memory_order_acquire) == nullptr) {
    std::unique_ptr<GLock> made = CreateLock();
    GLock* expected = nullptr;
    if (made && lock.compare_exchange_strong(expected, made.get(), std::memory_order_acq_rel)) made.release();
  }
  if (factoryLock_ && factoryLock_->Unlock() == GLock::kUnlockFailed) {
    ReportFatalError(kFatalTypeShutdown, kFatalUnlockFailed, kSourceName, __LINE__);
  }
}

std::unique_ptr<GLoadableLibrary> GOSFactory::CreateMiniInstallerLoader(const RWWString&, PrinterHandle, void*) {
  return nullptr;
}

void GOSFactory::UniqueNamePattern(RWWString& pattern) { pattern = QV_WIDE("&&&&&&&&.&&&"); }

int32_t GOSFactory::MakeUniqueName(RWWString& path, const RWWString& directory, const RWWString& pattern,
                                   int32_t create) {
  RWWString work = pattern;
  if (work.Length() == 0) UniqueNamePattern(work);
  if (work.Length() > kMaxPatternLength) work.Resize(kMaxPatternLength);

  RWWString prefix = directory;
  const uint32_t length = prefix.Length();
  if (length != 0 && prefix.Data()[length - 1] != PathSeparator()) prefix.Append(PathSeparator(), 1);

  SeedRandom();
  for (int attempt = 0; attempt < kUniqueNameTries; ++attempt) {
    RWWString name = work;
    for (uint32_t i = 0; i < name.Length(); ++i) {
      if (name.Data()[i] == '&') name.CharAt(i) = Base36Digit(Random() % 36);
    }
    RWWString candidate = prefix + name;
    if (FileExists(candidate) == 0 && (create == 0 || CreateEmptyFile(candidate) == 1)) {
      path = candidate;
      return 1;
    }
  }
  path = RWWString();
  return 0;
}

void* GOSFactory::Allocate(uint32_t size) { return ::operator new(size, std::nothrow); }

void GOSFactory::Free(void* block) { ::operator delete(block); }

bool GOSFactory::UsesCompactFormat(GDriverInterface& driver, const RWWString& name, int32_t plain) {
  std::atomic<int16_t>& flag = driver.CompactFormatFlag();
  if (flag.load() == -1) {
    int16_t value = 0;
    MPersistentObject* node = driver.GetConfiguration();
    for (int32_t key : kCompactFormatPath) {
      if (node == nullptr) break;
      node = node->FindByKey(key);
    }
    if (const auto* selector = dynamic_cast<const GValueAttribute*>(node)) value = selector->Value();
    flag.store(value);
  }
  return flag.load() == 1 && plain == 0 && !(name == kObjectGraphOnlyName);
}

// The object is written into a buffer half again as large as its stored
// size; an object graph's header can outgrow that, so a full buffer is
// doubled and the write tried again.
int32_t GOSFactory::StoreNamedObject(GDriverInterface& driver, const RWWString& name, const MPersistentObject& object) {
  const bool compact = UsesCompactFormat(driver, name, 0);
  if (compact && !codec_) return 0;
  const uint32_t stored = object.StoredSize();
  uint64_t size = uint64_t{stored} + stored / 2;
  for (int attempt = 0; attempt < kStoreAttempts; ++attempt, size *= 2) {
    if (size == 0 || size > kLargestNamedObject) return 0;
    std::vector<uint8_t> buffer(static_cast<size_t>(size));
    std::unique_ptr<GOutputStream> stream =
        NewMemoryOutputStream(buffer.data(), static_cast<uint32_t>(size), kBinaryFormat);
    GVirtualOutStream* out = stream ? stream->Stream() : nullptr;
    if (out == nullptr || !out->IsGood()) return 0;
    const uint32_t start = stream->Position();
    bool written = true;
    if (compact) {
      written = codec_->Write(object, *out, *stream, 1) != 0;
    } else {
      WriteObjectToStream(&object, *out);
    }
    out->Flush();
    // A stream that ran out of room is tried again larger; a tree that the
    // codec refused with room to spare is never stored half written.
    if (!out->IsGood()) continue;
    if (!written) return 0;
    return WritePrinterDataChunked(driver, name, buffer.data(), stream->Position() - start);
  }
  return 0;
}

std::unique_ptr<MPersistentObject> GOSFactory::LoadNamedObject(GDriverInterface& driver, const RWWString& name,
                                                               int32_t plain) {
  std::vector<uint8_t> buffer(kFirstReadSize);
  uint32_t size = 0;
  int32_t read = ReadPrinterDataChunked(driver, name, buffer.data(), kFirstReadSize, size);
  if (read == 0 && size > kFirstReadSize && size <= kLargestNamedObject) {
    buffer.resize(size);
    read = ReadPrinterDataChunked(driver, name, buffer.data(), size, size);
  }
  if (read == 0 || size == 0 || size > buffer.size()) return nullptr;

  std::unique_ptr<GInputStream> stream =
      NewMemoryInputStream(buffer.data(), size, plain != 0 ? kTextFormat : kBinaryFormat);
  GVirtualInStream* in = stream ? stream->Stream() : nullptr;
  if (in == nullptr || !in->IsGood()) return nullptr;
  if (UsesCompactFormat(driver, name, plain)) return codec_ ? codec_->Read(*in, *stream, driver, 1) : nullptr;
  MPersistentObject* restored = nullptr;
  ReadObjectFromStream(*in, restored);
  std::unique_ptr<MPersistentObject> object(restored);
  // What a failed read left behind is never handed out.
  if (!in->IsGood()) return nullptr;
  return object;
}
