#include "graphics/fonts/truetype/glyph_cache.h"

#include <utility>

#include "foundation/class_registrar.h"
#include "graphics/fonts/truetype/cached_bytes.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GGlyphCache>, kGGlyphCacheClassID, kGGlyphCacheClassName);

bool SameNode(const GObjectRef& mine, const GObjectRef& theirs) {
  if (mine.Get() == theirs.Get()) return true;
  return mine && theirs && mine->SameContent(*theirs);
}

}  // namespace

GGlyphCache::GGlyphCache(const GGlyphCache& other) : MPersistentObject(other), glyphCount_(other.glyphCount_) {
  for (uint32_t page = 0; page < kPageCount; ++page) {
    if (!other.pages_[page]) continue;
    Page& copy = PageOf(page);
    for (uint32_t position = 0; position < kNodesPerPage; ++position) {
      const GObjectRef& node = (*other.pages_[page])[position];
      if (node) copy[position] = node->CloneObject();
    }
  }
}

bool GGlyphCache::SameContent(const MPersistentObject& other) const {
  const auto* cache = SameClassAndKey<GGlyphCache>(other);
  if (cache == nullptr) return false;
  for (uint32_t page = 0; page < kPageCount; ++page) {
    const Page* mine = pages_[page].get();
    const Page* theirs = cache->pages_[page].get();
    if ((mine == nullptr) != (theirs == nullptr)) return false;
    if (mine == nullptr) continue;
    for (uint32_t position = 0; position < kNodesPerPage; ++position) {
      if (!SameNode((*mine)[position], (*theirs)[position])) return false;
    }
  }
  return true;
}

GGlyphCache::Page& GGlyphCache::PageOf(uint32_t page) {
  if (!pages_[page]) pages_[page] = std::make_unique<Page>();
  return *pages_[page];
}

void GGlyphCache::Put(uint16_t glyph, std::unique_ptr<GGlyphCacheNode> node) {
  if (!node) return;
  GObjectRef& slot = PageOf(glyph >> 8)[glyph & 0xFF];
  if (slot) {
    static_cast<GGlyphCacheNode&>(*slot).UpdateFrom(std::move(node));
  } else {
    slot = node.release();
  }
  ++glyphCount_;
}

GGlyphCacheNode* GGlyphCache::Get(uint16_t glyph) const {
  const Page* page = pages_[glyph >> 8].get();
  return page == nullptr ? nullptr : static_cast<GGlyphCacheNode*>((*page)[glyph & 0xFF].Get());
}

void GGlyphCache::UpdateFrom(GGlyphCache& other) {
  if (&other == this) return;
  for (uint32_t page = 0; page < kPageCount; ++page) {
    if (!other.pages_[page]) continue;
    Page& mine = PageOf(page);
    Page& theirs = *other.pages_[page];
    for (uint32_t position = 0; position < kNodesPerPage; ++position) {
      if (!mine[position]) mine[position] = std::move(theirs[position]);
    }
  }
}

void GGlyphCache::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  if (archive.IsRestoring()) {
    RestorePages(archive);
  } else {
    SavePages(archive);
  }
}

void GGlyphCache::SavePages(GFieldArchive& archive) {
  uint16_t pageCount = kPageCount;
  uint16_t nodesPerPage = kNodesPerPage;
  archive.UInt16(pageCount);
  archive.UInt16(nodesPerPage);
  archive.UInt32(glyphCount_);
  for (const std::unique_ptr<Page>& page : pages_) {
    bool present = page != nullptr;
    PresentFlag(archive, present);
    if (!present) continue;
    for (GObjectRef& node : *page) {
      present = !node.IsEmpty();
      PresentFlag(archive, present);
      if (present) archive.Object(node);
    }
  }
}

// Pages and positions not in the record, or after a failed read, stay
// empty.
void GGlyphCache::RestorePages(GFieldArchive& archive) {
  pages_ = {};
  glyphCount_ = 0;
  uint16_t pageCount = 0;
  uint16_t nodesPerPage = 0;
  uint32_t glyphCount = 0;
  if (!archive.UInt16(pageCount) || !archive.UInt16(nodesPerPage) || !archive.UInt32(glyphCount)) return;
  if (pageCount > kPageCount || nodesPerPage > kNodesPerPage) {
    archive.FailInput();
    return;
  }
  if (!archive.Holds(pageCount, kPresentFlagSize)) return;
  glyphCount_ = glyphCount;
  for (uint32_t page = 0; page < pageCount; ++page) {
    bool present = false;
    if (!PresentFlag(archive, present)) return;
    if (present && !RestorePage(archive, page, nodesPerPage)) return;
  }
}

bool GGlyphCache::RestorePage(GFieldArchive& archive, uint32_t page, uint32_t nodesPerPage) {
  if (!archive.Holds(nodesPerPage, kPresentFlagSize)) return false;
  for (uint32_t position = 0; position < nodesPerPage; ++position) {
    bool present = false;
    if (!PresentFlag(archive, present)) return false;
    if (!present) continue;
    GObjectRef node;
    if (!archive.ObjectOf<GGlyphCacheNode>(node)) return false;
    if (node) PageOf(page)[position] = std::move(node);
  }
  return true;
}
