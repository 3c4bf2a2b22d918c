#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The system's own font services for one TrueType font file: glyph images
// at a pixel size and glyph outlines in font units. Natively FreeType
// renders them; on Windows GDI does. Both hint the same way (the font's
// instructions, images one bit deep), so their images agree but for a
// pixel here and there at the edges.
namespace platform {

// One glyph's image: one bit per pixel, most significant bit first, each
// row padded to a multiple of 32 bits, rows from the top down.
struct GlyphBitmap {
  // Pixels from the glyph origin right to the image's left column.
  int16_t xOffset = 0;
  // Pixels from the baseline up to the image's top row.
  int16_t yOffset = 0;
  int16_t width = 0;
  int16_t height = 0;
  // Pixels from this glyph's origin to the next one's.
  int16_t advance = 0;
  std::vector<uint8_t> rows;

  static uint32_t RowBytes(int16_t width) { return (static_cast<uint32_t>(width) + 31) / 32 * 4; }

  // Systems give a glyph without pixels as one blank pixel; it becomes an
  // image without rows, its advance kept.
  void DropBlankImage() {
    for (uint8_t byte : rows) {
      if (byte != 0) return;
    }
    xOffset = yOffset = width = height = 0;
    rows.clear();
  }
};

struct OutlinePoint {
  double x = 0;
  double y = 0;
  bool operator==(const OutlinePoint&) const = default;
};

// A line to end, or a cubic curve through the two controls to end.
struct OutlineSegment {
  bool cubic = false;
  OutlinePoint control1;
  OutlinePoint control2;
  OutlinePoint end;
};

// A closed contour: its last segment ends at start.
struct OutlineContour {
  OutlinePoint start;
  std::vector<OutlineSegment> segments;
};

// A glyph's outline in font units, y up; an empty glyph has no contours.
struct GlyphOutline {
  std::vector<OutlineContour> contours;
};

class GlyphRasterizer {
 public:
  GlyphRasterizer() = default;
  GlyphRasterizer(const GlyphRasterizer&) = delete;
  GlyphRasterizer& operator=(const GlyphRasterizer&) = delete;
  virtual ~GlyphRasterizer() = default;

  // The font of the file at path (narrow text in the system's code page).
  // family is the font's family name as its name table gives it, by which
  // systems that select fonts by name find it. Null when the system cannot
  // use the file.
  static std::unique_ptr<GlyphRasterizer> Open(const std::string& path, const std::u16string& family);

  // The glyph's image at an em of pixelEm pixels; false when the glyph or
  // the size cannot be rendered. An empty glyph (a space) has no rows.
  virtual bool Render(uint16_t glyph, uint16_t pixelEm, GlyphBitmap& out) = 0;
  // The glyph's outline; false when the glyph cannot be read.
  virtual bool Outline(uint16_t glyph, GlyphOutline& out) = 0;
};

}  // namespace platform
