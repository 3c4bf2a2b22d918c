// The font host's widths and outlines held against what fontTools reads
// from the same fonts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "graphics/fonts/host/host_fonts.h"
#include "graphics/fonts/testing/system_fonts.h"
#include "graphics/fonts/text_string.h"
#include "graphics/tests/host_font_support.h"
#include "graphics/tests/outline_points.h"
#include "platform/glyph_rasterizer.h"

namespace {

using host_font_testing::PoolGuard;

bool RunScript(const std::string& script, const std::string& arguments) {
  const std::string command =
      std::string(system_fonts::kFontToolsPython) + " '" QV_FONT_SCRIPTS_DIR "/" + script + "' " + arguments;
  return std::system(command.c_str()) == 0;
}

// fontTools' advances of the codes first to last; -1 for a code without a
// glyph. unitsPerEm comes first.
bool ReadAdvances(const char* font, uint16_t first, uint16_t last, uint16_t& unitsPerEm, std::vector<int32_t>& out) {
  const std::string path = testing::TempDir() + "host_font_advances.txt";
  if (!RunScript("code_advances.py", std::string("'") + font + "' " + std::to_string(first) + " " +
                                         std::to_string(last) + " '" + path + "'")) {
    return false;
  }
  std::ifstream file(path);
  file >> unitsPerEm;
  int32_t advance = 0;
  while (file >> advance) out.push_back(advance);
  return out.size() == static_cast<size_t>(last - first) + 1;
}

// advance x em / unitsPerEm, halves away from zero.
int16_t Scaled(int32_t advance, int16_t em, uint16_t unitsPerEm) {
  return static_cast<int16_t>(std::floor(static_cast<double>(advance) * em / unitsPerEm + 0.5));
}

TEST(HostFontWidths, AreTheFontsAdvancesScaledToTheEm) {
  struct Case {
    const char* name;
    const char* font;
    double points;
    int16_t resolution;
  };
  const Case cases[] = {{"dejavu_12pt_300dpi", system_fonts::kDejaVuSans, 12, 300},
                        {"dejavu_9pt_600dpi", system_fonts::kDejaVuSans, 9, 600},
                        {"liberation_10pt_300dpi", system_fonts::kLiberationSerif, 10, 300},
                        {"liberation_36pt_1200dpi", system_fonts::kLiberationSerif, 36, 1200}};
  constexpr uint16_t kFirst = 0x20;
  constexpr uint16_t kLast = 0x17F;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    uint16_t unitsPerEm = 0;
    std::vector<int32_t> advances;
    ASSERT_TRUE(ReadAdvances(c.font, kFirst, kLast, unitsPerEm, advances));
    const PoolGuard pool;
    std::unique_ptr<GHostFont> font = MakeHostFont(c.font, c.points, c.resolution, nullptr, 1);
    ASSERT_NE(font, nullptr);
    const int16_t em = font->GetHeight();
    EXPECT_EQ(em, static_cast<int16_t>(std::lround(c.points * c.resolution / 72)));
    // A code without a glyph takes the space's width.
    std::vector<int16_t> expected;
    std::vector<uint16_t> codes;
    for (uint32_t code = kFirst; code <= kLast; ++code) {
      const int32_t advance = advances[code - kFirst];
      expected.push_back(Scaled(advance >= 0 ? advance : advances[0], em, unitsPerEm));
      codes.push_back(static_cast<uint16_t>(code));
    }
    ASSERT_GT(std::count(advances.begin(), advances.end(), -1), 0) << "the range should hold codes without glyphs";

    std::vector<int16_t> range;
    ASSERT_TRUE(font->GetRangeWidths(kFirst, kLast, range));
    EXPECT_EQ(range, expected);
    GTextString text(GCodeBlock<uint16_t>(codes.data(), static_cast<uint32_t>(codes.size())), 16);
    std::vector<int16_t> perCode;
    ASSERT_TRUE(font->GetTextWidths(text, perCode));
    EXPECT_EQ(perCode, expected);
  }
}

TEST(HostGlyphOutlines, EveryGlyphRoundTripsToTheFontsPoints) {
  const std::string path = testing::TempDir() + "host_font_points.txt";
  ASSERT_TRUE(RunScript("glyph_points.py", std::string("'") + system_fonts::kDejaVuSans + "' '" + path + "'"));
  const outline_points::Glyphs expected = outline_points::ReadFontToolsContours(path);
  ASSERT_GT(expected.size(), 5000U);
  std::unique_ptr<platform::GlyphRasterizer> rasterizer =
      platform::GlyphRasterizer::Open(system_fonts::kDejaVuSans, u"DejaVu Sans");
  ASSERT_NE(rasterizer, nullptr);
  size_t curves = 0;
  // FreeType raises quadratics exactly.
  EXPECT_EQ(outline_points::CompareOutlines(*rasterizer, expected, 1e-9, curves), "");
  EXPECT_GT(curves, 10000U);
}

TEST(HostGlyphOutlines, AFileThatIsNoFontOpensNothing) {
  EXPECT_EQ(platform::GlyphRasterizer::Open("/nonexistent/font.ttf", u"None"), nullptr);
  EXPECT_EQ(platform::GlyphRasterizer::Open(QV_FONT_SCRIPTS_DIR "/glyph_points.py", u"None"), nullptr);
}

}  // namespace
