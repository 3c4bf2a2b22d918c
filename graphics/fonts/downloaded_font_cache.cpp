#include "graphics/fonts/downloaded_font_cache.h"

GDownloadedFontCache::~GDownloadedFontCache() {
  for (Node& node : nodes_) node.font->MarkForgotten();
}

uint32_t GDownloadedFontCache::GetTotalSize() const {
  uint32_t total = 0;
  for (const Node& node : nodes_) total += node.font->GetSize();
  return total;
}

void GDownloadedFontCache::Add(const GFontInfo& info, const GFontMetrics& metrics,
                               std::unique_ptr<GDownloadedFontRef> font) {
  if (font) nodes_.push_back(Node{std::move(font), info, metrics});
}

uint32_t GDownloadedFontCache::EvictOne() {
  GDownloadedFontRef* oldest = nullptr;
  for (const Node& node : nodes_) {
    const int32_t kind = node.font->GetDownloadKind();
    const bool evictable = kind == GDownloadedFont::kBitmapKind || kind == GDownloadedFont::kOutlineKind;
    if (!evictable || node.font->GetSize() == 0) continue;
    if (oldest == nullptr || node.font->GetUseStamp() < oldest->GetUseStamp()) oldest = node.font.get();
  }
  if (oldest == nullptr) return 0;
  const uint32_t size = oldest->GetSize();
  oldest->Unload();
  return size;
}

void GDownloadedFontCache::UnloadAll() {
  for (Node& node : nodes_) node.font->Unload();
}
