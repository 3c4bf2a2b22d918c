#include "graphics/fonts/truetype/tt_table_cache.h"

#include <utility>

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GTTTableCache>, kGTTTableCacheClassID, kGTTTableCacheClassName);

}  // namespace

bool GTTTableCache::SameContent(const MPersistentObject& other) const {
  const auto* cache = SameClassAndKey<GTTTableCache>(other);
  if (cache == nullptr) return false;
  for (uint32_t i = 0; i < kEntryCount; ++i) {
    const Entry& mine = entries_[i];
    const Entry& theirs = cache->entries_[i];
    if (mine.present != theirs.present || !mine.bytes.SameBytes(theirs.bytes)) return false;
  }
  return true;
}

void GTTTableCache::Put(uint32_t index, std::unique_ptr<GByteBuffer> buffer) {
  if (index >= kEntryCount) return;
  Entry& entry = entries_[index];
  GByteBuffer empty(nullptr, 0, false);
  entry.present = entry.bytes.Take(buffer ? *buffer : empty);
  if (entry.present) ++storedCount_;
}

std::unique_ptr<GByteBuffer> GTTTableCache::Get(uint32_t index) const {
  if (index >= kEntryCount || !entries_[index].present) return nullptr;
  return entries_[index].bytes.View();
}

void GTTTableCache::UpdateFrom(GTTTableCache& other) {
  for (uint32_t i = 0; i < kEntryCount; ++i) {
    Entry& theirs = other.entries_[i];
    if (entries_[i].present || !theirs.present) continue;
    entries_[i] = std::move(theirs);
    theirs = Entry{};
  }
}

void GTTTableCache::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  if (archive.IsRestoring()) {
    RestoreEntries(archive);
    return;
  }
  uint8_t count = kEntryCount;
  archive.UInt8(count);
  archive.UInt32(storedCount_);
  for (Entry& entry : entries_) {
    PresentFlag(archive, entry.present);
    if (entry.present) entry.bytes.Fields(archive);
  }
}

// Entries not in the record, or after a failed read, stay absent.
void GTTTableCache::RestoreEntries(GFieldArchive& archive) {
  entries_ = {};
  storedCount_ = 0;
  uint8_t count = 0;
  uint32_t stored = 0;
  if (!archive.UInt8(count) || !archive.UInt32(stored)) return;
  if (count > kEntryCount) {
    archive.FailInput();
    return;
  }
  if (!archive.Holds(count, kPresentFlagSize)) return;
  storedCount_ = stored;
  for (uint32_t i = 0; i < count; ++i) {
    Entry& entry = entries_[i];
    bool present = false;
    if (!PresentFlag(archive, present)) return;
    if (!present) continue;
    if (!entry.bytes.Fields(archive)) return;
    entry.present = true;
  }
}
