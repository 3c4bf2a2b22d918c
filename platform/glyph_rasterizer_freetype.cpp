#include "platform/glyph_rasterizer.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

// FreeType's 26.6 fixed-point numbers.
int16_t WholePixels(FT_Pos value) { return static_cast<int16_t>((value + 32) >> 6); }

OutlinePoint PointOf(const FT_Vector* vector) {
  return {static_cast<double>(vector->x), static_cast<double>(vector->y)};
}

// Collects FT_Outline_Decompose's calls into contours. A quadratic curve
// is raised to the cubic of the same curve: each control lies two thirds
// of the way from an end to the quadratic control.
struct OutlineBuilder {
  GlyphOutline& outline;
  OutlinePoint current;

  static OutlineBuilder& Of(void* user) { return *static_cast<OutlineBuilder*>(user); }

  static int MoveTo(const FT_Vector* to, void* user) {
    OutlineBuilder& builder = Of(user);
    builder.current = PointOf(to);
    builder.outline.contours.push_back({builder.current, {}});
    return 0;
  }
  static int LineTo(const FT_Vector* to, void* user) {
    OutlineBuilder& builder = Of(user);
    builder.Add({false, {}, {}, PointOf(to)});
    return 0;
  }
  static int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    OutlineBuilder& builder = Of(user);
    const OutlinePoint c = PointOf(control);
    const OutlinePoint end = PointOf(to);
    const OutlinePoint& from = builder.current;
    builder.Add({true,
                 {from.x + 2.0 / 3.0 * (c.x - from.x), from.y + 2.0 / 3.0 * (c.y - from.y)},
                 {end.x + 2.0 / 3.0 * (c.x - end.x), end.y + 2.0 / 3.0 * (c.y - end.y)},
                 end});
    return 0;
  }
  static int CubicTo(const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to, void* user) {
    OutlineBuilder& builder = Of(user);
    builder.Add({true, PointOf(control1), PointOf(control2), PointOf(to)});
    return 0;
  }

  void Add(const OutlineSegment& segment) {
    if (outline.contours.empty()) return;
    outline.contours.back().segments.push_back(segment);
    current = segment.end;
  }
};

class FreeTypeRasterizer final : public GlyphRasterizer {
 public:
  ~FreeTypeRasterizer() override {
    if (face_ != nullptr) FT_Done_Face(face_);
    if (library_ != nullptr) FT_Done_FreeType(library_);
  }

  bool Open(const std::string& path) {
    return FT_Init_FreeType(&library_) == 0 && FT_New_Face(library_, path.c_str(), 0, &face_) == 0 &&
           FT_IS_SCALABLE(face_);
  }

  // The font's instructions hint for one-bit images, as GDI does.
  bool Render(uint16_t glyph, uint16_t pixelEm, GlyphBitmap& out) override {
    if (pixelEm == 0 || FT_Set_Pixel_Sizes(face_, 0, pixelEm) != 0 ||
        FT_Load_Glyph(face_, glyph, FT_LOAD_TARGET_MONO) != 0 ||
        FT_Render_Glyph(face_->glyph, FT_RENDER_MODE_MONO) != 0) {
      return false;
    }
    const FT_GlyphSlot slot = face_->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    out = GlyphBitmap{};
    out.advance = WholePixels(slot->advance.x);
    if (bitmap.width == 0 || bitmap.rows == 0) return true;
    out.xOffset = static_cast<int16_t>(slot->bitmap_left);
    out.yOffset = static_cast<int16_t>(slot->bitmap_top);
    out.width = static_cast<int16_t>(bitmap.width);
    out.height = static_cast<int16_t>(bitmap.rows);
    const uint32_t rowBytes = GlyphBitmap::RowBytes(out.width);
    const uint32_t sourceBytes = static_cast<uint32_t>(std::abs(bitmap.pitch));
    out.rows.assign(static_cast<size_t>(rowBytes) * bitmap.rows, 0);
    for (uint32_t row = 0; row < bitmap.rows; ++row) {
      // A negative pitch means the rows are stored bottom up.
      const uint32_t from = bitmap.pitch >= 0 ? row : bitmap.rows - 1 - row;
      std::memcpy(&out.rows[row * rowBytes], bitmap.buffer + static_cast<size_t>(from) * sourceBytes,
                  std::min(rowBytes, sourceBytes));
    }
    out.DropBlankImage();
    return true;
  }

  bool Outline(uint16_t glyph, GlyphOutline& out) override {
    out = GlyphOutline{};
    if (FT_Load_Glyph(face_, glyph, FT_LOAD_NO_SCALE) != 0 || face_->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
      return false;
    }
    static const FT_Outline_Funcs functions = {
        OutlineBuilder::MoveTo, OutlineBuilder::LineTo, OutlineBuilder::ConicTo, OutlineBuilder::CubicTo, 0, 0};
    OutlineBuilder builder{out, {}};
    return FT_Outline_Decompose(&face_->glyph->outline, &functions, &builder) == 0;
  }

 private:
  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
};

}  // namespace

std::unique_ptr<GlyphRasterizer> GlyphRasterizer::Open(const std::string& path, const std::u16string& /*family*/) {
  auto rasterizer = std::make_unique<FreeTypeRasterizer>();
  if (!rasterizer->Open(path)) return nullptr;
  return rasterizer;
}

}  // namespace platform
