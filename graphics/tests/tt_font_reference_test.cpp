// The TrueType reader over Debian's font files, held against what fontTools
// and FreeType read from the same files.

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_TRUETYPE_TABLES_H

#include <gtest/gtest.h>

#include "graphics/fonts/truetype/tt_file_font_data.h"
#include "graphics/fonts/truetype/tt_tables.h"
#include "graphics/tests/font_tools_dump.h"

namespace {

using Bytes = FontToolsDump::Bytes;

Bytes Contents(const std::unique_ptr<GByteBuffer>& buffer) {
  return buffer ? Bytes(buffer->GetData(), buffer->GetData() + buffer->GetSize()) : Bytes();
}

// A FreeType face on a font file, closed with the object.
class FreeTypeFace {
 public:
  explicit FreeTypeFace(const char* path) {
    if (FT_Init_FreeType(&library_) == 0) FT_New_Face(library_, path, 0, &face_);
  }
  FreeTypeFace(const FreeTypeFace&) = delete;
  FreeTypeFace& operator=(const FreeTypeFace&) = delete;
  ~FreeTypeFace() {
    if (face_ != nullptr) FT_Done_Face(face_);
    if (library_ != nullptr) FT_Done_FreeType(library_);
  }
  FT_Face operator->() const { return face_; }
  FT_Face Get() const { return face_; }

  // The advance in font units, horizontal or vertical.
  FT_Fixed Advance(FT_UInt glyph, bool vertical) const {
    FT_Fixed advance = 0;
    FT_Get_Advance(face_, glyph, FT_LOAD_NO_SCALE | (vertical ? FT_LOAD_VERTICAL_LAYOUT : 0), &advance);
    return advance;
  }

 private:
  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
};

TEST(TTFontReference, TablesAndOutlinesAreTheBytesFontToolsReads) {
  for (const SystemFont& system : kSystemFonts) {
    SCOPED_TRACE(system.name);
    const FontToolsDump dump(system.path, std::string("reader_") + system.name);
    ASSERT_TRUE(dump.Ok());
    GTTFileFontData font(1, system.path);
    ASSERT_TRUE(font.IsOpen());
    EXPECT_EQ(font.HasRequiredTables(0), 1);
    for (uint32_t index = 0; index < tt_tables::kNone; ++index) {
      SCOPED_TRACE(index);
      const std::optional<Bytes> expected = dump.Table(tt_tables::TagOf(index));
      std::unique_ptr<GByteBuffer> table;
      ASSERT_EQ(font.GetTable(0, index, true, table), expected ? expected->size() : 0);
      EXPECT_TRUE(Contents(table) == expected.value_or(Bytes()));
    }
    const std::vector<Bytes> slices = dump.GlyphSlices();
    ASSERT_FALSE(slices.empty());
    // Every glyph of the Latin fonts; every fifth of the large CJK ones.
    const size_t step = slices.size() > 10000 ? 5 : 1;
    for (size_t glyph = 0; glyph < slices.size(); glyph += step) {
      std::unique_ptr<GByteBuffer> outline;
      ASSERT_EQ(font.GetGlyphData(0, false, static_cast<uint16_t>(glyph), outline), slices[glyph].size()) << glyph;
      ASSERT_TRUE(Contents(outline) == slices[glyph]) << glyph;
    }
  }
}

TEST(TTFontReference, MetricsAreThoseFreeTypeAndFontToolsGive) {
  for (const SystemFont& system : kSystemFonts) {
    SCOPED_TRACE(system.name);
    const FontToolsDump dump(system.path, std::string("metrics_") + system.name);
    ASSERT_TRUE(dump.Ok());
    const FreeTypeFace face(system.path);
    ASSERT_NE(face.Get(), nullptr);
    GTTFileFontData font(1, system.path);

    uint16_t count = 0;
    ASSERT_EQ(font.GetGlyphCount(0, count), 1);
    EXPECT_EQ(count, face->num_glyphs);
    int16_t box[4] = {};
    ASSERT_EQ(font.GetFontBox(0, box[0], box[1], box[2], box[3]), 8);
    EXPECT_EQ(box[0], face->bbox.xMin);
    EXPECT_EQ(box[1], face->bbox.yMin);
    EXPECT_EQ(box[2], face->bbox.xMax);
    EXPECT_EQ(box[3], face->bbox.yMax);
    int16_t descender = 0;
    ASSERT_EQ(font.GetTypoDescender(0, descender), 1);
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face.Get(), FT_SFNT_OS2));
    ASSERT_NE(os2, nullptr);
    EXPECT_EQ(descender, os2->sTypoDescender);

    const std::vector<FontToolsDump::Metrics> metrics = dump.GlyphMetrics(system.vertical);
    ASSERT_EQ(metrics.size(), count);
    for (uint16_t glyph = 0; glyph < count; ++glyph) {
      uint16_t advance = 0;
      int16_t bearing = 0;
      ASSERT_EQ(font.GetHorizontalMetrics(0, glyph, advance, bearing), 1) << glyph;
      ASSERT_EQ(advance, face.Advance(glyph, false)) << glyph;
      ASSERT_EQ(bearing, metrics[glyph].leftSideBearing) << glyph;
      if (!system.vertical) {
        ASSERT_EQ(font.GetVerticalMetrics(0, glyph, advance, bearing), 0);
        continue;
      }
      ASSERT_EQ(font.GetVerticalMetrics(0, glyph, advance, bearing), 1) << glyph;
      ASSERT_EQ(advance, face.Advance(glyph, true)) << glyph;
      ASSERT_EQ(bearing, metrics[glyph].topSideBearing) << glyph;
    }
  }
}

TEST(TTFontReference, UnicodeGlyphsAreThoseFreeTypeFinds) {
  constexpr int32_t kUnicode = 16;
  for (const SystemFont& system : kSystemFonts) {
    SCOPED_TRACE(system.name);
    const FreeTypeFace face(system.path);
    ASSERT_NE(face.Get(), nullptr);
    ASSERT_EQ(FT_Select_Charmap(face.Get(), FT_ENCODING_UNICODE), 0);
    GTTFileFontData font(1, system.path);
    for (uint16_t code = 0x20; code < 0x180; ++code) {
      ASSERT_EQ(font.GetGlyphIndex(0, false, code, kUnicode), FT_Get_Char_Index(face.Get(), code)) << code;
    }
  }
}

TEST(TTFontReference, LoadingEveryGlyphSucceedsWithoutARenderer) {
  GTTFileFontData font(1, system_fonts::kDejaVuSans);
  EXPECT_EQ(font.Preload(0, 0), 1);
  uint16_t count = 0;
  ASSERT_EQ(font.GetGlyphCount(0, count), 1);
  for (uint16_t glyph = 0; glyph < count; ++glyph) {
    ASSERT_EQ(font.LoadGlyph(0, glyph, 0, false, 16, nullptr, nullptr), 1) << glyph;
  }
  EXPECT_EQ(font.LoadGlyph(0, 36, 0x41, true, 16, nullptr, nullptr), 0) << "no renderer, no image";
  std::unique_ptr<GByteBuffer> image;
  EXPECT_EQ(font.GetGlyphImage(0, true, 36, 0x41, image, 0, 16, nullptr), 0u);
  EXPECT_FALSE(image);
}

}  // namespace
