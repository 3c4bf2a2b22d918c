// The font host's classes: making fonts from files, the glyph images in the
// TrueType reader's cache, preparation, and the stored forms.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "foundation/testing/persistence_test_support.h"
#include "graphics/fonts/host/face_facts.h"
#include "graphics/fonts/host/host_font_data.h"
#include "graphics/fonts/host/host_font_imp.h"
#include "graphics/fonts/host/host_fonts.h"
#include "graphics/fonts/host/host_glyph_image.h"
#include "graphics/fonts/host/host_platform_font.h"
#include "graphics/fonts/scaled_font.h"
#include "graphics/fonts/text_string.h"
#include "graphics/fonts/truetype/character_mapping.h"
#include "graphics/fonts/truetype/tt_font_file.h"
#include "graphics/fonts/truetype/tt_font_pool.h"
#include "graphics/tests/host_font_support.h"
#include "graphics/tests/outline_points.h"
#include "graphics/tests/stored_parts.h"
#include "model/testing/round_trip.h"

namespace {

using host_font_testing::PoolGuard;
constexpr const char* kFont = host_font_testing::kDejaVuSans;

uint16_t GlyphOf(GHostFont& font, uint16_t code) {
  return font.GetTrueTypeFile()->GetGlyphIndex(0, false, code, tt_encoding::kUnicode);
}

TEST(HostFonts, DescribeTheFaceAtItsSize) {
  const PoolGuard pool;
  std::unique_ptr<GHostFont> font = MakeHostFont(kFont, 12, 300, nullptr, 1);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->GetName(), RWCString("DejaVu Sans"));
  EXPECT_EQ(font->GetResolution(), 300);
  EXPECT_EQ(font->GetHeight(), 50);
  EXPECT_EQ(font->GetFontValue10(), tt_encoding::kUnicode);
  EXPECT_EQ(font->GetFontValue9(), 400);
  EXPECT_EQ(font->GetFirstCode(), 0x20);
  EXPECT_EQ(font->GetDefaultCode(), 0x20);
  EXPECT_EQ(font->GetKind(), GHostFontImp::kKind);
  EXPECT_EQ(font->GetHostQuery(), 0);
  ASSERT_NE(font->GetTrueTypeFile(), nullptr);
  EXPECT_EQ(GTTFontPool::Instance()->Contains(font->GetTrueTypeFile()->GetFontData()->GetFontKey()), 1);
}

TEST(HostFonts, UnusableFilesAndSizesMakeNoFont) {
  struct Case {
    const char* name;
    const char* path;
    double points;
    int16_t resolution;
  };
  const Case cases[] = {{"missing_file", "/nonexistent/font.ttf", 12, 300},
                        {"not_a_font", QV_GLYPH_IMAGES_GOLDEN, 12, 300},
                        {"no_pixels", kFont, 0.1, 72},
                        {"too_many_pixels", kFont, 4000, 1200}};
  const PoolGuard pool;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(MakeHostFont(c.path, c.points, c.resolution, nullptr, 1), nullptr);
  }
}

TEST(HostFonts, GlyphImagesLandInTheGlyphCacheAndTravelWithTheFontData) {
  const PoolGuard pool;
  std::unique_ptr<GHostFont> font = MakeHostFont(kFont, 12, 300, nullptr, 1);
  ASSERT_NE(font, nullptr);
  GGlyphMetrics metrics;
  std::unique_ptr<GByteBuffer> image;
  const uint32_t size = font->GetGlyphImage(u'A', 0, metrics, image);
  ASSERT_GT(size, 0U);
  EXPECT_EQ(size, (metrics.width + 31U) / 32 * 4 * metrics.height);

  GTTFontFile& file = *font->GetTrueTypeFile();
  const uint16_t glyph = GlyphOf(*font, u'A');
  std::unique_ptr<GByteBuffer> cached;
  ASSERT_EQ(file.GetCachedImage(glyph, cached), 1);
  host_glyph_image::Decoded decoded;
  ASSERT_TRUE(host_glyph_image::Decode({cached->GetData(), cached->GetSize()}, decoded));
  EXPECT_EQ(decoded.metrics.width, metrics.width);
  EXPECT_EQ(std::vector<uint8_t>(decoded.rows.begin(), decoded.rows.end()),
            std::vector<uint8_t>(image->GetData(), image->GetData() + size));

  for (StoreForm form : kAllStoreForms) {
    SCOPED_TRACE(FormName(form));
    bool good = false;
    std::unique_ptr<RWCollectable> restored(RestoreCollectable(form, SaveGraph(form, file.GetFontData()), good));
    auto* data = dynamic_cast<GHostFontData*>(restored.get());
    ASSERT_NE(data, nullptr);
    std::unique_ptr<GByteBuffer> again;
    ASSERT_EQ(data->GetCachedImage(glyph, again), 1);
    EXPECT_EQ(std::vector<uint8_t>(again->GetData(), again->GetData() + again->GetSize()),
              std::vector<uint8_t>(cached->GetData(), cached->GetData() + cached->GetSize()));
    // The restored font data renders glyphs it had not cached.
    std::unique_ptr<GByteBuffer> other;
    EXPECT_GT(data->GetGlyphImage(0, false, GlyphOf(*font, u'B'), u'B', other, 0, tt_encoding::kUnicode,
                                  &font->GetFontInfo()),
              host_glyph_image::kHeaderSize);
  }
}

TEST(HostFonts, AScaledFontScalesARealGlyph) {
  const PoolGuard pool;
  std::unique_ptr<GHostFont> font = MakeHostFont(kFont, 12, 300, nullptr, 1);
  ASSERT_NE(font, nullptr);
  GGlyphMetrics metrics;
  std::unique_ptr<GByteBuffer> image;
  ASSERT_GT(font->GetGlyphImage(u'g', 0, metrics, image), 0U);
  const uint32_t rowBytes = (metrics.width + 31U) / 32 * 4;
  auto pixel = [](const GByteBuffer& rows, uint32_t bytesPerRow, int32_t column, int32_t row) {
    return (rows.GetData()[row * bytesPerRow + column / 8] & (0x80 >> (column % 8))) != 0;
  };

  GScaledFont twice(*font, 2.0F, 3.0F);
  GGlyphMetrics scaledMetrics;
  std::unique_ptr<GByteBuffer> scaled;
  const uint32_t size = twice.GetGlyphImage(u'g', 0, scaledMetrics, scaled);
  EXPECT_EQ(scaledMetrics.height, 3 * metrics.height);
  EXPECT_EQ(scaledMetrics.xOffset, 2 * metrics.xOffset);
  const uint32_t scaledRowBytes = (2U * metrics.width + 31) / 32 * 4;
  ASSERT_EQ(size, scaledRowBytes * scaledMetrics.height);
  for (int32_t row = 0; row < scaledMetrics.height; ++row) {
    for (int32_t column = 0; column < 2 * metrics.width; ++column) {
      ASSERT_EQ(pixel(*scaled, scaledRowBytes, column, row), pixel(*image, rowBytes, column / 2, row / 3))
          << column << "," << row;
    }
  }
}

TEST(HostFonts, PreparingLoadsOutlinesAndImagesOfTheTextsGlyphs) {
  const PoolGuard pool;
  std::unique_ptr<GHostFont> font = MakeHostFont(kFont, 10, 600, nullptr, 1);
  ASSERT_NE(font, nullptr);
  const std::vector<uint16_t> codes = {u'H', u'\u00E9', u' '};
  GTextString text(GCodeBlock<uint16_t>(codes.data(), static_cast<uint32_t>(codes.size())), tt_encoding::kUnicode);
  EXPECT_EQ(font->PrepareFace(2, nullptr), 1);
  EXPECT_EQ(font->PrepareText(text, 2), 1);
  GTTFontFile& file = *font->GetTrueTypeFile();
  for (uint16_t code : {u'H', u'\u00E9'}) {
    std::unique_ptr<GByteBuffer> bytes;
    EXPECT_EQ(file.GetCachedOutline(GlyphOf(*font, code), bytes), 1) << code;
    EXPECT_EQ(file.GetCachedImage(GlyphOf(*font, code), bytes), 1) << code;
  }
  // The space has no pixels: its image is the header alone, and the handle
  // answers no image for it.
  GGlyphMetrics metrics;
  std::unique_ptr<GByteBuffer> image;
  EXPECT_EQ(font->GetGlyphImage(u' ', 0, metrics, image), 0U);
  EXPECT_EQ(image, nullptr);

  font->MarkCodesUsed(text);
  EXPECT_EQ(font->DownloadUsedCodes(), 1);
}

TEST(HostFonts, ABodyRestoredWithoutItsFontIsNotReady) {
  std::string stored;
  {
    const PoolGuard pool;
    std::unique_ptr<GHostFont> font = MakeHostFont(kFont, 12, 300, nullptr, 1);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->GetBody()->IsReady(), 1);
    stored = SaveGraph(StoreForm::kBinary, font->GetBody());
  }
  bool good = false;
  std::unique_ptr<RWCollectable> restored(RestoreCollectable(StoreForm::kBinary, stored, good));
  auto* body = dynamic_cast<GHostFontImp*>(restored.get());
  ASSERT_NE(body, nullptr);
  EXPECT_EQ(body->IsReady(), 0);
  EXPECT_EQ(body->DownloadGlyph(u'A', tt_encoding::kUnicode), 0);
  std::vector<int16_t> widths;
  EXPECT_FALSE(body->GetRangeWidths(u'A', u'C', widths));
}

// Font data restored after its file went away comes back, but renders no
// glyph it had not cached, and a body over it is not ready.
TEST(HostFonts, FontDataRestoredWithoutItsFileFailsItsUses) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows does not remove a file the font still holds open";
#endif
  const PoolGuard pool;
  const std::string path = testing::TempDir() + "host_font_gone.ttf";
  std::filesystem::copy_file(kFont, path, std::filesystem::copy_options::overwrite_existing);
  std::unique_ptr<GHostFont> font = MakeHostFont(path.c_str(), 12, 300, nullptr, 1);
  std::filesystem::remove(path);
  ASSERT_NE(font, nullptr);
  const std::string stored = SaveGraph(StoreForm::kBinary, font->GetTrueTypeFile()->GetFontData());

  bool good = false;
  auto* data = dynamic_cast<GHostFontData*>(RestoreCollectable(StoreForm::kBinary, stored, good));
  ASSERT_NE(data, nullptr);
  EXPECT_TRUE(good);
  EXPECT_FALSE(data->IsOpen());
  std::unique_ptr<GByteBuffer> image;
  EXPECT_EQ(
      data->GetGlyphImage(0, false, GlyphOf(*font, u'B'), u'B', image, 0, tt_encoding::kUnicode, &font->GetFontInfo()),
      0U);
  EXPECT_EQ(image, nullptr);

  auto platform =
      std::make_unique<GHostPlatformFont>(GTTFontPool::Instance()->NewFontFile(data), 50, tt_encoding::kUnicode);
  GHostFontImp body(data->GetFontKey(), font->GetFontInfo(), font->GetMetricsRecord(), std::move(platform));
  EXPECT_EQ(body.IsReady(), 0);
  EXPECT_EQ(body.DownloadGlyph(u'B', tt_encoding::kUnicode), 0);
}

TEST(HostFonts, StoredClassesRoundTrip) {
  const PoolGuard pool;
  std::unique_ptr<GHostFont> font = MakeHostFont(kFont, 12, 300, nullptr, 1);
  ASSERT_NE(font, nullptr);
  EXPECT_TRUE(RoundTrips(*font->GetBody()));
  EXPECT_TRUE(RoundTrips(*font->GetBody()->GetPlatformFont()));
  EXPECT_TRUE(RoundTrips(*font->GetTrueTypeFile()->GetFontData()));
  EXPECT_TRUE(RoundTrips(GHostPlatformFont(nullptr, 50, tt_encoding::kUnicode)));
}

TEST(HostFonts, PlatformFontStoresItsHandleSizeAndEncoding) {
  const GHostPlatformFont font(nullptr, 50, tt_encoding::kUnicode);
  // Version, then the missing handle as the nil object after the graph
  // start that a save of the object alone writes before its first
  // reference, the em and the encoding.
  EXPECT_EQ(SaveContentsToFileBytes(font).substr(12), Words({1, 0x8888}) + kNilObject + Shorts({50}) + Words({16}));
  int16_t width = 0;
  GHostPlatformFont empty;
  EXPECT_FALSE(empty.GetCodeWidth(0, u'A', width));
}

// The system's cubic outlines of a sample of glyphs (simple and composite)
// come back to the font's points. GDI gives the cubic controls in 1/64
// font units, truncated, so the two controls of a raised quadratic may
// disagree by a few hundredths of a unit.
TEST(HostGlyphOutlines, SampleRoundTripsToTheFontsPoints) {
  const outline_points::Glyphs expected = outline_points::ReadFontToolsContours(QV_OUTLINE_POINTS_SAMPLE);
  ASSERT_EQ(expected.size(), 15U);
  std::unique_ptr<platform::GlyphRasterizer> rasterizer = platform::GlyphRasterizer::Open(kFont, u"DejaVu Sans");
  ASSERT_NE(rasterizer, nullptr);
  size_t curves = 0;
  EXPECT_EQ(outline_points::CompareOutlines(*rasterizer, expected, 0.05, curves), "");
  EXPECT_GT(curves, 100U);
  platform::GlyphOutline space;
  ASSERT_TRUE(rasterizer->Outline(3, space));
  EXPECT_TRUE(space.contours.empty());
}

// A name table of the given records {platform, name ID, text}; Windows
// text in UTF-16BE, Macintosh text one byte a character.
struct NameRecord {
  uint16_t platform;
  uint16_t nameId;
  std::u16string text;
};
std::vector<uint8_t> NameTable(const std::vector<NameRecord>& records, uint16_t storageShift = 0) {
  std::vector<uint8_t> header;
  std::vector<uint8_t> storage;
  auto put = [](std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value & 0xFF));
  };
  put(header, 0);
  put(header, static_cast<uint16_t>(records.size()));
  put(header, static_cast<uint16_t>(6 + 12 * records.size() + storageShift));
  for (const NameRecord& record : records) {
    const size_t start = storage.size();
    for (char16_t c : record.text) {
      if (record.platform == 3)
        put(storage, c);
      else
        storage.push_back(static_cast<uint8_t>(c));
    }
    for (uint16_t value : {record.platform, uint16_t(record.platform == 3 ? 1 : 0), uint16_t(0), record.nameId,
                           static_cast<uint16_t>(storage.size() - start), static_cast<uint16_t>(start)}) {
      put(header, value);
    }
  }
  header.insert(header.end(), storage.begin(), storage.end());
  return header;
}

// A table written as a literal, its final zero left out.
template <size_t N>
std::vector<uint8_t> TableBytes(const char (&bytes)[N]) {
  return std::vector<uint8_t>(bytes, bytes + N - 1);
}

TEST(HostFaceFacts, FamilyNameComesFromTheNameTable) {
  struct Case {
    const char* name;
    std::vector<uint8_t> table;
    std::u16string family;
  };
  const Case cases[] = {
      {"windows_record", NameTable({{3, 2, u"Book"}, {3, 1, u"Caf\u00E9 Sans"}}), u"Caf\u00E9 Sans"},
      {"windows_before_macintosh", NameTable({{1, 1, u"Mac Name"}, {3, 1, u"Win Name"}}), u"Win Name"},
      {"macintosh_alone", NameTable({{1, 1, u"Mac\xE9"}}), u"Mac?"},
      {"no_family_record", NameTable({{3, 4, u"Full"}}), u""},
      {"text_outside_the_table", NameTable({{3, 1, u"Lost"}}, 40), u""},
      {"truncated_records", std::vector<uint8_t>{0, 0, 0, 5, 0, 66, 0, 3}, u""},
      // Two records, Macintosh "Mac" and a Windows one of a single byte,
      // then the storage.
      {"one_byte_windows_record_after_macintosh",
       TableBytes("\0\0\0\x02\0\x1E"
                  "\0\x01\0\0\0\0\0\x01\0\x03\0\0"
                  "\0\x03\0\x01\x04\x09\0\x01\0\x01\0\x03"
                  "Mac\0"),
       u"Mac"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReadFamilyName(c.table.data(), static_cast<uint32_t>(c.table.size())), c.family);
  }
  GHostFaceFacts facts;
  facts.family = u"Caf\u00E9";
  EXPECT_EQ(facts.NarrowFamily(), RWCString("Caf?"));
}

TEST(HostGlyphImageForm, HeaderThenRowsAndShortBytesRefused) {
  platform::GlyphBitmap bitmap;
  bitmap.xOffset = -2;
  bitmap.yOffset = 9;
  bitmap.width = 33;
  bitmap.height = 2;
  bitmap.advance = 40;
  bitmap.rows = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  const std::unique_ptr<GByteBuffer> encoded = host_glyph_image::Encode(bitmap);
  const std::string bytes(reinterpret_cast<const char*>(encoded->GetData()), encoded->GetSize());
  EXPECT_EQ(bytes.substr(0, 10), std::string("\xFE\xFF\x09\x00\x21\x00\x02\x00\x28\x00", 10));

  host_glyph_image::Decoded decoded;
  ASSERT_TRUE(host_glyph_image::Decode({encoded->GetData(), encoded->GetSize()}, decoded));
  EXPECT_EQ(decoded.metrics.xOffset, -2);
  EXPECT_EQ(decoded.advance, 40);
  EXPECT_EQ(decoded.rows.size(), 16U);
  EXPECT_FALSE(host_glyph_image::Decode({encoded->GetData(), encoded->GetSize() - 1}, decoded));
  EXPECT_FALSE(host_glyph_image::Decode({encoded->GetData(), 9}, decoded));
  // A negative width announces no rows it could hold.
  const uint8_t negative[] = {0, 0, 0, 0, 0xFF, 0xFF, 1, 0, 0, 0};
  EXPECT_FALSE(host_glyph_image::Decode(negative, decoded));
}

}  // namespace
