#pragma once

// The list of fonts a generator has sent to the printer in the current job,
// from which it removes the least recently used when printer memory runs
// short. Each page-description generator owns one of its own kind; the
// generator base holds it through this base and deletes it with itself.
class GDownloadedFontCache {
 public:
  GDownloadedFontCache() = default;
  GDownloadedFontCache(const GDownloadedFontCache&) = delete;
  GDownloadedFontCache& operator=(const GDownloadedFontCache&) = delete;
  virtual ~GDownloadedFontCache() = default;
};
