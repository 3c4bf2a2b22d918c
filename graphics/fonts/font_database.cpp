#include "graphics/fonts/font_database.h"

#include <atomic>
#include <cstdio>

#include "graphics/device/graphics_device.h"
#include "graphics/fonts/font_imp.h"
#include "graphics/fonts/truetype/tt_font_pool.h"
#include "model/objects/text_conversion.h"
#include "model/os/fatal_error.h"
#include "model/os/lock.h"
#include "model/os/osfactry.h"

namespace {

constexpr const char kSourceName[] = "ftdtabse";

// The counter and its lock live until the process ends. The lock is made
// through the OS factory on first use; without a factory the counter is
// still atomic, so IDs stay unique.
struct FontIdCounter {
  std::atomic<uint32_t> next{0};
  std::atomic<GLock*> lock{nullptr};

  ~FontIdCounter() { delete lock.exchange(nullptr); }
};

FontIdCounter counter;

GLock* CounterLock() {
  GOSFactory* factory = GOSFactory::Instance();
  if (factory != nullptr) factory->CreateChecked(counter.lock);
  return counter.lock.load(std::memory_order_acquire);
}

GFontImp& Body(MPersistentObject* value) { return static_cast<GFontImp&>(*value); }

RWCString Narrow(const RWWString& name) {
  RWCString narrow;
  WideToNarrow(name, narrow);
  return narrow;
}

// The job's TrueType fonts in the process's pool, saved and restored on the
// kind of output or input at hand.
int32_t SaveTrueType(GTTFontPool& pool, GBinaryFile& file, uint32_t owner) { return pool.SaveToFile(file, owner); }
int32_t SaveTrueType(GTTFontPool& pool, GVirtualOutStream& stream, uint32_t owner) {
  return pool.SaveToStream(stream, owner);
}
int32_t RestoreTrueType(GTTFontPool& pool, GBinaryFile& file) { return pool.RestoreFromFile(file); }
int32_t RestoreTrueType(GTTFontPool& pool, GVirtualInStream& stream) { return pool.RestoreFromStream(stream); }

// Without a process pool the job has no TrueType fonts: an empty pool's
// record (count 0) stands for them. A record read back without a pool is
// read into a pool of its own, whose fonts nobody can use and are deleted,
// so that the bodies after it are reached.
template <typename Output>
int32_t SaveJobTrueType(Output& output, uint32_t owner) {
  GTTFontPool* pool = GTTFontPool::Instance();
  return pool != nullptr ? SaveTrueType(*pool, output, owner) : SaveKeyedPool(GKeyedPool(), output);
}

template <typename Input>
int32_t RestoreJobTrueType(Input& input) {
  if (GTTFontPool* pool = GTTFontPool::Instance()) return RestoreTrueType(*pool, input);
  GKeyedPool unused;
  const int32_t restored = RestoreKeyedPool(unused, input);
  for (uint32_t key : unused.GetKeys()) delete unused.Remove(key);
  return restored;
}

bool InputIsGood(const GBinaryFile& file) { return !file.Failed(); }
bool InputIsGood(const GVirtualInStream& stream) { return stream.IsGood(); }

}  // namespace

GFontDatabase::GFontDatabase(GGraphicsDevice* device) : device_(device), fonts_(Conflict, IsValueOf<GFontImp>) {}

GFontDatabase::~GFontDatabase() { ReleaseAll(); }

uint32_t GFontDatabase::NextFontId() {
  GLock* lock = CounterLock();
  if (lock != nullptr && lock->Lock() != 0) {
    ReportFatalError(kFatalTypeShutdown, kFatalLockFailed, kSourceName, __LINE__);
  }
  const uint32_t id = counter.next.fetch_add(1, std::memory_order_relaxed);
  if (lock != nullptr && lock->Unlock() == GLock::kUnlockFailed) {
    ReportFatalError(kFatalTypeShutdown, kFatalUnlockFailed, kSourceName, __LINE__);
  }
  return id;
}

uint32_t GFontDatabase::Owner() const { return device_ != nullptr ? device_->GetHandle() : 0; }

int32_t GFontDatabase::Add(GFontImp* body) {
  const int32_t added = fonts_.Add(body->GetFontId(), body);
  if (added != 0) body->AddUse();
  return added;
}

GFontImp* GFontDatabase::Find(uint32_t fontId, uint32_t minimumChangeCount) {
  auto* body = static_cast<GFontImp*>(fonts_.Find(fontId));
  if (body == nullptr || body->GetChangeCount() < minimumChangeCount) return nullptr;
  body->AddUse();
  return body;
}

GFontImp* GFontDatabase::Remove(uint32_t fontId) { return static_cast<GFontImp*>(fonts_.Remove(fontId)); }

int32_t GFontDatabase::Release(uint32_t fontId) {
  GFontImp* body = Remove(fontId);
  if (body == nullptr) return 0;
  if (body->DropUse() <= 0) delete body;
  return 1;
}

bool GFontDatabase::Contains(uint32_t fontId) const { return fonts_.Contains(fontId); }

uint32_t GFontDatabase::GetCount() const { return fonts_.GetCount(); }

// Unload (event 1) deletes the bodies only the database holds; a restored
// body enters with the database's use (event 3) or meets the body of its ID
// (event 5): a body that is not older stays; an older one that handles use
// stays and learns from the restored copy; any other is replaced.
int32_t GFontDatabase::Conflict(MPersistentObject* object, MPersistentObject* other, int32_t event) {
  switch (event) {
    case GKeyedPool::kClearEvent: {
      GFontImp& stored = Body(other);
      if (stored.UseCount() != 1) return 0;
      stored.DropUse();
      return 1;
    }
    case GKeyedPool::kRestoredNewEvent:
      // A restored body has no use yet.
      Body(object).AddUse();
      return 0;
    case GKeyedPool::kRestoredOverStoredEvent: {
      GFontImp& restored = Body(object);
      GFontImp& stored = Body(other);
      if (stored.GetChangeCount() >= restored.GetChangeCount()) return 0;
      if (stored.UseCount() > 1) {
        stored.UpdateFrom(restored);
        stored.SetChangeCount(restored.GetChangeCount());
        return 0;
      }
      stored.DropUse();
      restored.AddUse();
      return 1;
    }
    default:
      return 0;
  }
}

// Exactly the marked bodies are written; writing clears the mark.
int32_t GFontDatabase::SaveFilter(MPersistentObject* value, int32_t phase, void*) {
  GFontImp& body = Body(value);
  if (phase != GKeyedPool::kWrittenPhase) return body.IsMarkedForSave() ? 1 : 0;
  body.ClearSaveMark();
  return 0;
}

template <typename Output>
int32_t GFontDatabase::SaveTo(Output& output) {
  if (SaveJobTrueType(output, Owner()) != 1) return 0;
  return SaveKeyedPool(fonts_, output, SaveFilter);
}

int32_t GFontDatabase::SaveToStream(GVirtualOutStream& stream) { return SaveTo(stream); }

// Bytes that wait in the file's buffer are not saved yet: the fonts are
// unloaded only once they reached the file.
int32_t GFontDatabase::SaveToBinaryFile(GBinaryFile& file) {
  const int32_t saved = SaveTo(file) == 1 && file.Flush() && !file.Failed() ? 1 : 0;
  if (saved == 1) Unload();
  return saved;
}

template <typename Input>
int32_t GFontDatabase::RestoreFrom(Input& input) {
  Unload();
  if (RestoreJobTrueType(input) != 1) return 0;
  return RestoreKeyedPool(fonts_, input) == 1 && InputIsGood(input) ? 1 : 0;
}

int32_t GFontDatabase::RestoreFromStream(GVirtualInStream& stream) { return RestoreFrom(stream); }

int32_t GFontDatabase::RestoreFromBinaryFile(GBinaryFile& file) { return RestoreFrom(file); }

int32_t GFontDatabase::SaveToFile(const RWWString& fileName) {
  GBinaryFile file(Narrow(fileName).Data(), "wb");
  if (!file.IsOpen()) return 0;
  savedFiles_.push_back(fileName);
  return SaveToBinaryFile(file);
}

int32_t GFontDatabase::LoadFromFile(const RWWString& fileName) {
  if (currentFileName_.Length() != 0 && fileName == currentFileName_) return 1;
  GBinaryFile file(Narrow(fileName).Data(), "rb");
  if (!file.IsOpen()) return 0;
  file.ClearError();
  const int32_t loaded = RestoreFromBinaryFile(file);
  currentFileName_ = loaded == 1 ? fileName : RWWString();
  return loaded;
}

void GFontDatabase::Unload() {
  fonts_.Clear();
  if (GTTFontPool* pool = GTTFontPool::Instance()) pool->ReleaseOwner(Owner());
}

void GFontDatabase::ReleaseAll() {
  for (uint32_t fontId : fonts_.GetKeys()) Release(fontId);
  const uint32_t owner = Owner();
  GTTFontPool* pool = GTTFontPool::Instance();
  if (owner != 0 && pool != nullptr) pool->ReleaseOwner(owner);
  for (const RWWString& name : savedFiles_) std::remove(Narrow(name).Data());
  savedFiles_.clear();
  currentFileName_ = RWWString();
}
