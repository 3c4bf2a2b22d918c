// Text in Debian's DejaVu Sans and Liberation Serif through the PCL XL
// generator, checked by fontTools: a TrueType font rebuilt from the font
// header and the glyphs the stream downloaded has the outlines and
// horizontal metrics of the font file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "graphics/display/text_string_graphic.h"
#include "graphics/fonts/testing/system_fonts.h"
#include "graphics/fonts/testing/test_font.h"
#include "graphics/fonts/text_string.h"
#include "graphics/fonts/truetype/tt_file_font_data.h"
#include "graphics/fonts/truetype/tt_font_file.h"
#include "pclxl/testing/borzan_job.h"
#include "pclxl/testing/strict_pclxl_reader.h"
#include "pclxl/testing/text_fonts.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Latin letters, punctuation and accented letters, several of them built
// from components in both fonts.
const std::u16string kText = u"Quick fox, jumped! \u00C0\u00C9\u00F1\u00FC\u00E7\u00E5 \u00C5ngstr\u00F6m";

void Write(const std::string& path, const Bytes& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void PutBigEndian(Bytes& bytes, uint32_t value, int count) {
  for (int shift = 8 * (count - 1); shift >= 0; shift -= 8) bytes.push_back(static_cast<uint8_t>(value >> shift));
}

TEST(BorzanFontTools, DownloadedFontsRebuildTheOutlinesAndMetricsOfTheFontFiles) {
  struct Case {
    const char* name;
    const char* path;
  };
  const Case cases[] = {{"dejavu_sans", system_fonts::kDejaVuSans},
                        {"liberation_serif", system_fonts::kLiberationSerif}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GTTFileFontData data(1, c.path);
    ASSERT_TRUE(data.IsOpen());
    GTTFontFile file(nullptr, &data);
    TestFont font(new TestFontImp(xl_text::FaceInfo(c.name, 100)), nullptr, xl_text::kScalableStyle);
    font.SetTrueTypeFile(&file);

    xl_job::Job job;
    ASSERT_EQ(job.Start(), 0);
    ASSERT_EQ(job.Print({},
                        [&](xl_job::Job& j) {
                          std::vector<uint16_t> codes(kText.begin(), kText.end());
                          std::vector<GPoint> positions;
                          for (size_t i = 0; i < codes.size(); ++i)
                            positions.push_back({static_cast<int16_t>(100 + 40 * i), 300});
                          EXPECT_EQ(j.Process(new GTextStringGraphic(
                                        new TestFont(font), GCodeBlock<uint16_t>(std::move(codes)),
                                        GTextString::kUnicodeEncoding, positions, 0, nullptr)),
                                    0);
                        }),
              0);
    ASSERT_EQ(job.End(), 0);
    const strict_pclxl::ReadResult read = job.Read();
    ASSERT_TRUE(read.Ok()) << strict_pclxl::Disassemble(read);

    Bytes header;
    Bytes characters;
    for (const strict_pclxl::Operation& operation : read.operations) {
      if (operation.name == "ReadFontHeader") header.insert(header.end(), operation.data.begin(), operation.data.end());
      if (operation.name != "ReadChar") continue;
      PutBigEndian(characters, static_cast<uint32_t>(operation.Number("CharCode")), 2);
      PutBigEndian(characters, static_cast<uint32_t>(operation.data.size()), 4);
      characters.insert(characters.end(), operation.data.begin(), operation.data.end());
    }
    const std::string base = testing::TempDir() + "xl_rebuild_" + c.name;
    Write(base + "_header.bin", header);
    Write(base + "_characters.bin", characters);
    const std::string command = std::string(system_fonts::kFontToolsPython) +
                                " '" QV_PCLXL_SCRIPTS_DIR "/rebuild_sfnt.py' '" + c.path + "' '" + base +
                                "_header.bin' '" + base + "_characters.bin'";
    EXPECT_EQ(std::system(command.c_str()), 0);
  }
}

}  // namespace
