#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "graphics/fonts/truetype/glyph_cache_node.h"
#include "model/objects/object_ref.h"
#include "model/objects/persistent_object.h"

// One node per glyph index that the font reader has fetched. Glyph g lives
// on page g >> 8 at position g & 0xFF; a page of 256 positions is made the
// first time a glyph of its range is stored, so a font's cache grows only
// by the ranges that are used. Lookups are two array steps. It takes no
// lock: the owning font data's lock covers it.
//
// Stored part after the base part: version 1, the page count and the
// positions per page (16-bit, 256 each), the glyph count (32-bit), then per
// page a present flag (32-bit) and, for a present page, per position a
// present flag (32-bit) followed, when 1, by the node as an object
// reference. A restore makes a page at its first present node. A restored
// page or position count above 256 fails the input and leaves the cache
// empty.
class GGlyphCache : public MPersistentObject {
 public:
  static constexpr uint32_t kPageCount = 256;
  static constexpr uint32_t kNodesPerPage = 256;

  GGlyphCache() = default;
  // Copies of every page and node, the count and the base part.
  GGlyphCache(const GGlyphCache& other);
  GGlyphCache& operator=(const GGlyphCache&) = delete;

  RWCollectable* NewInstance() const override { return new GGlyphCache; }
  RWCollectable* Clone() const override { return new GGlyphCache(*this); }
  RWClassID ClassID() const override { return kGGlyphCacheClassID; }
  // Same class and key, and every page absent on both sides or present on
  // both with, at each position, no node, the same node or nodes of the
  // same content. The glyph counts are not compared.
  bool SameContent(const MPersistentObject& other) const override;

  // An empty position takes the node; an occupied one merges the node into
  // the one it holds (which deletes the new node). The glyph count rises
  // either way. A null node stores nothing.
  void Put(uint16_t glyph, std::unique_ptr<GGlyphCacheNode> node);
  // The glyph's node, or null; it lives as long as the cache.
  GGlyphCacheNode* Get(uint16_t glyph) const;
  // The number of stores since construction, merges included.
  uint32_t GetCount() const { return glyphCount_; }

  // Makes here every page that other has, and moves each of the other's
  // nodes whose position here is empty; the other's position becomes
  // empty. Occupied positions keep their node, and the count does not
  // change.
  virtual void UpdateFrom(GGlyphCache& other);

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  using Page = std::array<GObjectRef, kNodesPerPage>;

  Page& PageOf(uint32_t page);
  void SavePages(GFieldArchive& archive);
  void RestorePages(GFieldArchive& archive);
  bool RestorePage(GFieldArchive& archive, uint32_t page, uint32_t positions);

  std::array<std::unique_ptr<Page>, kPageCount> pages_;
  uint32_t glyphCount_ = 0;
};
