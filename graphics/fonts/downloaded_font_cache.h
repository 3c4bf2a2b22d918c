#pragma once

#include <cstdint>
#include <list>
#include <memory>

#include "graphics/fonts/downloaded_font.h"
#include "graphics/fonts/font_info.h"

class GFont;

// The list of fonts a generator has sent to the printer in the current job,
// from which it removes the least recently used when printer memory runs
// short. Each page-description generator owns one of its own kind, which
// decides how a font is matched to a listed one; the generator base holds
// it through this base and deletes it with itself.
//
// The cache owns the references it lists. Destroying it forgets every
// font (their records no longer reach the generator) and sends nothing to
// the printer.
class GDownloadedFontCache {
 public:
  GDownloadedFontCache() = default;
  GDownloadedFontCache(const GDownloadedFontCache&) = delete;
  GDownloadedFontCache& operator=(const GDownloadedFontCache&) = delete;
  virtual ~GDownloadedFontCache();

  // The printer memory the listed fonts take.
  virtual uint32_t GetTotalSize() const;
  // Matches the font to a listed one the generator's way and attaches the
  // found reference (a duplicate) to the font; whether one was found.
  virtual bool Find(GFont& font) = 0;
  // Lists a font with copies of its description and metrics.
  virtual void Add(const GFontInfo& info, const GFontMetrics& metrics, std::unique_ptr<GDownloadedFontRef> font);
  // Unloads the downloaded font (bitmap or outline, taking memory) used
  // longest ago; answers the memory it took, 0 when none qualifies.
  virtual uint32_t EvictOne();
  virtual void UnloadAll();

 protected:
  struct Node {
    std::unique_ptr<GDownloadedFontRef> font;
    GFontInfo info;
    GFontMetrics metrics;
  };

  const std::list<Node>& Nodes() const { return nodes_; }

 private:
  std::list<Node> nodes_;
};
