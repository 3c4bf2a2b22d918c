#pragma once

#include <cstdint>
#include <memory>

#include "graphics/fonts/font.h"

// A font presented at other x and y scales without copying it: sizes and
// glyph images come out multiplied by the factors (truncated), everything
// else as the font has it. A factor that is not a positive finite number
// (0, -0, a negative number, infinity, NaN) is taken as 1.0: the font is
// not mirrored or collapsed in that direction.
class GScaledFont {
 public:
  // The font is not owned and must outlive this object.
  GScaledFont(GFont& font, float xFactor, float yFactor);
  GScaledFont(const GScaledFont&) = delete;
  GScaledFont& operator=(const GScaledFont&) = delete;
  virtual ~GScaledFont() = default;

  float XFactor() const { return xFactor_; }
  float YFactor() const { return yFactor_; }

  GDownloadedFontRef* GetDownloadedFontRef() const { return font_.GetDownloadedFontRef(); }
  int16_t GetResolution() const { return font_.GetResolution(); }
  uint16_t GetFirstCode() const { return font_.GetFirstCode(); }
  uint16_t GetLastCode() const { return font_.GetLastCode(); }
  const RWCString& GetName() const { return font_.GetName(); }
  // Float metric 2, the escapement angle.
  GFloatValue GetFloatMetric() const { return font_.GetFloatMetric2(); }
  int16_t GetFontValue2() const { return font_.GetFontValue2(); }
  int16_t GetHeight() const;
  // The font's description with the vertical sizes and the height scaled
  // by the y factor and the horizontal sizes by the x factor.
  void GetFontInfo(GFontInfo& info) const;
  // The font's glyph image scaled: each source pixel becomes a block of
  // pixels (possibly none), nothing is interpolated; the metrics' offsets
  // and size are scaled and the width rounded up to a multiple of 32.
  // Answers the scaled image's size; 0, leaving image and metrics as the
  // font gave them, when the font gave no image or an image shorter than
  // its rows need.
  uint32_t GetGlyphImage(uint16_t code, int32_t option, GGlyphMetrics& metrics, std::unique_ptr<GByteBuffer>& image);

 private:
  bool IsIdentity() const { return xFactor_ == 1.0F && yFactor_ == 1.0F; }

  GFont& font_;
  float xFactor_;
  float yFactor_;
};
