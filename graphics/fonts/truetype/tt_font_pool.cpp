#include "graphics/fonts/truetype/tt_font_pool.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "graphics/fonts/truetype/tt_font_file.h"
#include "graphics/fonts/truetype/tt_font_file_imp.h"
#include "model/objects/model_stream.h"
#include "model/os/drvrsrvr.h"
#include "model/os/fatal_error.h"
#include "model/os/lock.h"
#include "model/os/osfactry.h"

namespace {

constexpr const char kSourceName[] = "ttflpool";

std::atomic<GTTFontPool*> instance{nullptr};

// The owner a ReleaseOwner runs for, and the owner a restore enters into
// the fonts it restores; each set and cleared under the pool's lock, so
// one release or restore runs at a time in the process.
std::optional<uint32_t> releasingOwner;
std::optional<uint32_t> restoringOwner;

// The pool this thread is restoring, if any. Stored input can put a font
// handle inside the pool's own stored form; such a handle names nothing
// that can be found yet, and looking it up would wait on the lock this
// thread already holds.
thread_local const GTTFontPool* poolUnderRestore = nullptr;

// Marks the pool as under restore on this thread for a scope.
class RestoreMark {
 public:
  explicit RestoreMark(const GTTFontPool& pool) { poolUnderRestore = &pool; }
  RestoreMark(const RestoreMark&) = delete;
  RestoreMark& operator=(const RestoreMark&) = delete;
  ~RestoreMark() { poolUnderRestore = nullptr; }
};

// The driver server clears the process's pool when its last graphics
// device closes; the host may not have made a pool by then.
void ClearProcessPool() {
  if (GTTFontPool* pool = GTTFontPool::Instance()) pool->Clear();
}
[[maybe_unused]] const GDriverServer::FontPoolClear previousFontPoolClear =
    GDriverServer::SetFontPoolClear(ClearProcessPool);

// Holds a font data's lock for a scope.
class FontLock {
 public:
  explicit FontLock(GTTFontFileImp& font) : font_(font) { font_.Lock(); }
  FontLock(const FontLock&) = delete;
  FontLock& operator=(const FontLock&) = delete;
  ~FontLock() { font_.Unlock(); }

 private:
  GTTFontFileImp& font_;
};

// The table of fonts by key; it takes font data alone from a restore.
std::unique_ptr<GKeyedPool> NewFontTable(GKeyedPool::Callback conflict) {
  return std::make_unique<GKeyedPool>(std::move(conflict), IsValueOf<GTTFontFileImp>);
}

void AddUse(GTTFontFileImp& font, int16_t change) {
  font.SetUseCount(static_cast<int16_t>(font.GetUseCount() + change));
}

// A restored font about to stay in the pool: the pool's use, and the
// restoring owner when there is one. The caller holds the font's lock.
void TakeRestored(GTTFontFileImp& font) {
  font.SetUseCount(1);
  if (restoringOwner) font.AddOwner(*restoringOwner);
}

// Event 1 of ReleaseOwner's Clear: the releasing owner leaves the font,
// which is deleted (answer 1) when it was the last owner and only the
// pool uses the font.
int32_t ReleaseForOwner(GTTFontFileImp& font) {
  if (!releasingOwner) return 0;
  const FontLock fontLock(font);
  font.RemoveOwner(*releasingOwner);
  if (font.HasOwners() || font.GetUseCount() != 1) return 0;
  font.SetUseCount(0);
  return 1;
}

// Event 5: a restored font over the pool's font of the same key, both
// locked, the pool's first. Answer 1 makes the restored font replace the
// stored one, which is then deleted; 0 drops the restored font.
int32_t MergeRestored(GTTFontFileImp& stored, GTTFontFileImp& restored) {
  const FontLock storedLock(stored);
  const FontLock restoredLock(restored);
  const bool newer = stored.GetChangeCount() < restored.GetChangeCount();
  if (newer && stored.GetUseCount() < 2) {
    AddUse(stored, -1);
    TakeRestored(restored);
    return 1;
  }
  if (newer) {
    // Handles use the pool's font: it stays and learns what the restored
    // copy knows.
    stored.UpdateFrom(restored);
    stored.SetChangeCount(restored.GetChangeCount());
  }
  if (restoringOwner) stored.AddOwner(*restoringOwner);
  return 0;
}

}  // namespace

// Holds the pool's lock for a scope.
class GTTFontPool::Locked {
 public:
  explicit Locked(GTTFontPool& pool) : lock_(pool.lock_.load(std::memory_order_acquire)) {
    if (lock_ != nullptr && lock_->Lock() != 0) {
      ReportFatalError(kFatalTypeShutdown, kFatalLockFailed, kSourceName, __LINE__);
    }
  }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;
  ~Locked() {
    if (lock_ != nullptr && lock_->Unlock() == GLock::kUnlockFailed) {
      ReportFatalError(kFatalTypeShutdown, kFatalUnlockFailed, kSourceName, __LINE__);
    }
  }

 private:
  GLock* lock_;
};

GTTFontPool::GTTFontPool() : fonts_(NewFontTable(Conflict)) {
  if (GOSFactory* factory = GOSFactory::Instance()) factory->CreateChecked(lock_);
}

GTTFontPool::~GTTFontPool() { delete lock_.exchange(nullptr); }

GTTFontPool* GTTFontPool::Instance() { return instance.load(std::memory_order_acquire); }

void GTTFontPool::SetInstance(std::unique_ptr<GTTFontPool> pool) {
  delete instance.exchange(pool.release(), std::memory_order_acq_rel);
}

void GTTFontPool::Destroy() { SetInstance(nullptr); }

GTTFontFile* GTTFontPool::NewFontFile(GTTFontFileImp* fontData) {
  const Locked locked(*this);
  return new GTTFontFile(this, fontData);
}

uint32_t GTTFontPool::NextKey() {
  const Locked locked(*this);
  return keyCounter_++;
}

int32_t GTTFontPool::Add(GTTFontFileImp* fontData) {
  const Locked locked(*this);
  const FontLock fontLock(*fontData);
  const int32_t added = fonts_->Add(fontData->GetFontKey(), fontData);
  if (added != 0) AddUse(*fontData, 1);
  return added;
}

GTTFontFileImp* GTTFontPool::Find(uint32_t key, uint32_t minimumChangeCount) {
  if (poolUnderRestore == this) return nullptr;
  const Locked locked(*this);
  auto* font = static_cast<GTTFontFileImp*>(fonts_->Find(key));
  if (font == nullptr) return nullptr;
  const FontLock fontLock(*font);
  if (font->GetChangeCount() < minimumChangeCount) return nullptr;
  AddUse(*font, 1);
  return font;
}

// A font that still has an entry is never deleted here: its entry goes
// with it, so the pool cannot be left naming freed font data.
int32_t GTTFontPool::Release(GTTFontFileImp* fontData) {
  const Locked locked(*this);
  fontData->Lock();
  const int16_t uses = fontData->GetUseCount();
  if (uses == 2 && fonts_->Contains(fontData->GetFontKey()) != 0) DetachFontUnlocked(fontData);
  if (uses != 1) {
    AddUse(*fontData, -1);
    fontData->Unlock();
    return 0;
  }
  DetachFontUnlocked(fontData);
  if (fonts_->Find(fontData->GetFontKey()) == fontData) fonts_->Remove(fontData->GetFontKey());
  fontData->SetUseCount(0);
  fontData->Unlock();
  delete fontData;
  return 1;
}

GTTFontFileImp* GTTFontPool::Remove(uint32_t key) {
  const Locked locked(*this);
  return static_cast<GTTFontFileImp*>(fonts_->Remove(key));
}

int32_t GTTFontPool::ReleaseKey(uint32_t key) {
  const Locked locked(*this);
  return ReleaseKeyUnlocked(key);
}

int32_t GTTFontPool::ReleaseKeyUnlocked(uint32_t key) {
  auto* font = static_cast<GTTFontFileImp*>(fonts_->Remove(key));
  if (font == nullptr) return 0;
  font->Lock();
  const int16_t uses = font->GetUseCount();
  AddUse(*font, -1);
  font->Unlock();
  if (uses < 2) delete font;
  return 1;
}

int32_t GTTFontPool::Contains(uint32_t key) {
  const Locked locked(*this);
  return fonts_->Contains(key);
}

void GTTFontPool::ReleaseAll() {
  std::vector<uint32_t> keys;
  {
    const Locked locked(*this);
    keys = fonts_->GetKeys();
  }
  for (uint32_t key : keys) ReleaseKey(key);
}

void GTTFontPool::ReleaseOwner(uint32_t owner) {
  const Locked locked(*this);
  releasingOwner = owner;
  fonts_->Clear();
  releasingOwner.reset();
}

int32_t GTTFontPool::Conflict(MPersistentObject* object, MPersistentObject* other, int32_t event) {
  auto* restored = static_cast<GTTFontFileImp*>(object);
  auto* stored = static_cast<GTTFontFileImp*>(other);
  switch (event) {
    case GKeyedPool::kClearEvent:
      return ReleaseForOwner(*stored);
    case GKeyedPool::kRestoredNewEvent: {
      const FontLock fontLock(*restored);
      TakeRestored(*restored);
      return 0;
    }
    case GKeyedPool::kRestoredOverStoredEvent:
      return MergeRestored(*stored, *restored);
    default:
      return 0;
  }
}

// The owner is the user data. A font to be written stays locked from its
// write phase to its written phase, which always follows a write.
int32_t GTTFontPool::SaveFilter(MPersistentObject* value, int32_t phase, void* owner) {
  auto& font = static_cast<GTTFontFileImp&>(*value);
  const uint32_t job = *static_cast<const uint32_t*>(owner);
  switch (phase) {
    case GKeyedPool::kCountPhase: {
      const FontLock fontLock(font);
      return font.HasUser(job) ? 1 : 0;
    }
    case GKeyedPool::kWritePhase:
      font.Lock();
      if (font.HasUser(job)) return 1;
      font.Unlock();
      return 0;
    default:
      font.RemoveUser(job);
      font.Unlock();
      return 0;
  }
}

template <typename Output>
int32_t GTTFontPool::SaveTo(Output& output, uint32_t owner) {
  const Locked locked(*this);
  return SaveKeyedPool(*fonts_, output, SaveFilter, &owner);
}

int32_t GTTFontPool::SaveToStream(GVirtualOutStream& stream, uint32_t owner) { return SaveTo(stream, owner); }

int32_t GTTFontPool::SaveToFile(GBinaryFile& file, uint32_t owner) { return SaveTo(file, owner); }

int32_t GTTFontPool::SaveToNamedFile(const RWWString& fileName, uint32_t owner) {
  GOSFactory* factory = GOSFactory::Instance();
  const std::unique_ptr<GOutputStream> file =
      factory != nullptr ? factory->NewFileOutputStream(fileName, kBinaryStreamFormat) : nullptr;
  GVirtualOutStream* stream = file ? file->Stream() : nullptr;
  if (stream == nullptr || !stream->IsGood()) return 0;
  const int32_t saved = SaveToStream(*stream, owner);
  return saved == 1 && stream->Flush().IsGood() ? 1 : 0;
}

template <typename Input>
int32_t GTTFontPool::RestoreFrom(Input& input, std::optional<uint32_t> owner) {
  const Locked locked(*this);
  restoringOwner = owner;
  const int32_t restored = [&] {
    const RestoreMark mark(*this);
    return RestoreKeyedPool(*fonts_, input);
  }();
  restoringOwner.reset();
  return restored;
}

int32_t GTTFontPool::RestoreFromStream(GVirtualInStream& stream) { return RestoreFrom(stream, std::nullopt); }

int32_t GTTFontPool::RestoreFromFile(GBinaryFile& file) { return RestoreFrom(file, std::nullopt); }

int32_t GTTFontPool::RestoreFromNamedFile(const RWWString& fileName, uint32_t owner) {
  GOSFactory* factory = GOSFactory::Instance();
  const std::unique_ptr<GInputStream> file =
      factory != nullptr ? factory->NewFileInputStream(fileName, kBinaryStreamFormat) : nullptr;
  GVirtualInStream* stream = file ? file->Stream() : nullptr;
  if (stream == nullptr || !stream->IsGood()) return 0;
  return RestoreFrom(*stream, owner);
}

// Each entry's use is given back as it is forgotten: a font no handle uses
// is deleted, one that handles use is deleted with their last use.
void GTTFontPool::Clear() {
  const Locked locked(*this);
  attached_.clear();
  for (uint32_t key : fonts_->GetKeys()) ReleaseKeyUnlocked(key);
  fonts_ = NewFontTable(Conflict);
  keyCounter_ = 0;
}

void GTTFontPool::Attach(std::unique_ptr<GTTAttachedObject> object) {
  const Locked locked(*this);
  attached_.push_back(std::move(object));
}

void GTTFontPool::DetachFont(GTTFontFileImp* fontData) {
  const Locked locked(*this);
  DetachFontUnlocked(fontData);
}

void GTTFontPool::DetachFontUnlocked(const GTTFontFileImp* fontData) {
  const auto found = std::find_if(attached_.begin(), attached_.end(),
                                  [&](const auto& object) { return object->GetFontData() == fontData; });
  if (found != attached_.end()) attached_.erase(found);
}
