#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "graphics/bitmaps/byte_buffer.h"
#include "graphics/fonts/truetype/cached_bytes.h"
#include "model/objects/persistent_object.h"

// Whole TrueType tables that the font reader has fetched, one entry per
// table index. An entry is present once a table was stored under its index,
// also when the table is empty (the font lacks it): the reader then knows
// not to ask the font again. The cache owns the bytes it stores and hands
// out buffers that point at them without owning them, valid while the
// cache lives. It takes no lock: the owning font data's lock covers it.
//
// Stored part after the base part: version 1, the entry count (8-bit, 26),
// the stored-table count (32-bit), then per entry its present flag (32-bit)
// and, when 1, the length (32-bit) and the bytes. A restored entry count
// above 26 fails the input and leaves the cache empty.
class GTTTableCache : public MPersistentObject {
 public:
  static constexpr uint32_t kEntryCount = 26;

  GTTTableCache() = default;
  // Owned copies of every entry, the count and the base part.
  GTTTableCache(const GTTTableCache& other) = default;
  GTTTableCache& operator=(const GTTTableCache&) = delete;

  RWCollectable* NewInstance() const override { return new GTTTableCache; }
  RWCollectable* Clone() const override { return new GTTTableCache(*this); }
  RWClassID ClassID() const override { return kGTTTableCacheClassID; }
  // Same class and key, and every entry equal in presence, length and
  // bytes; the stored-table counts are not compared.
  bool SameContent(const MPersistentObject& other) const override;

  // Stores the buffer's bytes under the index, replacing what was there,
  // and counts the store. A null buffer stores an empty table. An index
  // outside the entries stores nothing; bytes that cannot be copied leave
  // the entry absent.
  void Put(uint32_t index, std::unique_ptr<GByteBuffer> buffer);
  // Null when the entry is not present; otherwise a buffer on the cached
  // bytes that does not own them (for an empty table, an owning buffer of
  // length 0 without data).
  std::unique_ptr<GByteBuffer> Get(uint32_t index) const;
  // The number of successful stores since construction.
  uint32_t GetCount() const { return storedCount_; }

  // Moves every entry present in other and absent here into this cache;
  // the other's entry becomes absent. Entries present here stay, and the
  // count does not change.
  virtual void UpdateFrom(GTTTableCache& other);

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  struct Entry {
    bool present = false;
    GCachedBytes bytes;
  };

  void RestoreEntries(GFieldArchive& archive);

  std::array<Entry, kEntryCount> entries_;
  uint32_t storedCount_ = 0;
};
