#pragma once

#include <cstdint>

#include "graphics/fonts/downloaded_font.h"

// The PCL XL generator's record of a font known to the printer: the base
// record and whether the font went out with vertical metrics (its glyphs
// then carry a top side bearing as well).
class GBorzanFontRecord : public GDownloadedFont {
 public:
  explicit GBorzanFontRecord(GDownloadedFontOwner* owner) : GDownloadedFont(owner) {}

  int32_t HasVerticalMetrics() const { return verticalMetrics_; }
  void SetVerticalMetrics(int32_t flag) { verticalMetrics_ = flag; }
  // Whether the generator still knows the record as one of its own.
  bool IsKnownTo(const GDownloadedFontOwner* owner) const { return Owner() == owner && owner != nullptr; }

 private:
  int32_t verticalMetrics_ = 0;
};

// A counted reference to a GBorzanFontRecord.
class GBorzanFontRef : public GDownloadedFontRef {
 public:
  // A new record owned by the generator.
  explicit GBorzanFontRef(GDownloadedFontOwner* owner);
  // Another reference on an existing record.
  explicit GBorzanFontRef(GBorzanFontRecord* record) : GDownloadedFontRef(record) {}

  GDownloadedFontRef* Duplicate() const override { return new GBorzanFontRef(&Record()); }
  int32_t HasVerticalMetrics() const { return Record().HasVerticalMetrics(); }
  void SetVerticalMetrics(int32_t flag) { Record().SetVerticalMetrics(flag); }
  bool IsKnownTo(const GDownloadedFontOwner* owner) const { return Record().IsKnownTo(owner); }

 private:
  GBorzanFontRecord& Record() const { return static_cast<GBorzanFontRecord&>(Font()); }
};
