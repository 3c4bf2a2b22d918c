#include "graphics/fonts/truetype/tt_font_pool.h"

#include <algorithm>
#include <optional>

#include "graphics/fonts/truetype/tt_font_file.h"
#include "graphics/fonts/truetype/tt_font_file_imp.h"
#include "model/os/fatal_error.h"
#include "model/os/lock.h"
#include "model/os/osfactry.h"

namespace {

constexpr const char kSourceName[] = "ttflpool";

// Event of the keyed pool's Clear: may the entry be removed?
constexpr int32_t kEventClear = 1;

std::atomic<GTTFontPool*> instance{nullptr};

// The owner a ReleaseOwner runs for; set and cleared under the pool's lock.
std::optional<uint32_t> releasingOwner;

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

void AddUse(GTTFontFileImp& font, int16_t change) {
  font.SetUseCount(static_cast<int16_t>(font.GetUseCount() + change));
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

GTTFontPool::GTTFontPool() : fonts_(std::make_unique<GKeyedPool>(Conflict)) {
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

int32_t GTTFontPool::Conflict(MPersistentObject* /*object*/, MPersistentObject* other, int32_t event) {
  if (event != kEventClear || !releasingOwner || other == nullptr) return 0;
  auto& font = static_cast<GTTFontFileImp&>(*other);
  const FontLock fontLock(font);
  font.RemoveOwner(*releasingOwner);
  if (font.HasOwners() || font.GetUseCount() != 1) return 0;
  font.SetUseCount(0);
  return 1;
}

// Each entry's use is given back as it is forgotten: a font no handle uses
// is deleted, one that handles use is deleted with their last use.
void GTTFontPool::Clear() {
  const Locked locked(*this);
  attached_.clear();
  for (uint32_t key : fonts_->GetKeys()) ReleaseKeyUnlocked(key);
  fonts_ = std::make_unique<GKeyedPool>(Conflict);
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
