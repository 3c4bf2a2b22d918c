// Text through the PCL XL generator: which fonts are downloaded under which
// names, what their headers and glyphs hold, when fonts are removed to make
// room, and which font selections and attributes are sent. Every stream is
// read by the strict PCL XL reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "device/fonts/device_font_description.h"
#include "device/fonts/device_font_list.h"
#include "device/fonts/device_font_list_composite.h"
#include "device/fonts/int_array.h"
#include "graphics/display/text_string_graphic.h"
#include "graphics/fonts/downloaded_font.h"
#include "graphics/fonts/testing/test_font.h"
#include "graphics/fonts/text_string.h"
#include "graphics/fonts/truetype/tt_tables.h"
#include "model/attributes/configuration.h"
#include "pclxl/borzan/borzan.h"
#include "pclxl/borzan/xl_font_format.h"
#include "pclxl/generator/pdl_generator.h"
#include "pclxl/testing/borzan_job.h"
#include "pclxl/testing/strict_pclxl_reader.h"
#include "pclxl/testing/text_fonts.h"

namespace {

using namespace xl_job;
using xl_text::OutlineFont;
using Lines = std::vector<std::string>;
using Outline = MemoryFontData::Bytes;

const std::vector<Outline> kOutlines = {memory_font::SimpleOutline(4), memory_font::SimpleOutline(6),
                                        memory_font::SimpleOutline(8), memory_font::CompositeOutline({1, 2})};

// Text of 16-bit codes at a position, one code a step of 50 to the right.
GTextStringGraphic* Text(GFont* font, std::vector<uint16_t> codes, int32_t encoding, GPoint at = {100, 200}) {
  std::vector<GPoint> positions;
  for (size_t i = 0; i < codes.size(); ++i) positions.push_back({static_cast<int16_t>(at.x + 50 * i), at.y});
  return new GTextStringGraphic(font, GCodeBlock<uint16_t>(std::move(codes)), encoding, positions, 0, nullptr);
}

GTextStringGraphic* GlyphText(OutlineFont& font, std::vector<uint16_t> glyphs) {
  return Text(font.NewHandle(), std::move(glyphs), GTextString::kGlyphIndexEncoding);
}

// The job's one page as the strict reader read it, from the first text on.
std::vector<strict_pclxl::Operation> TextOperations(Job& job, const std::function<void(Job&)>& inside,
                                                    const std::function<void(Job&)>& beforePage = {}) {
  EXPECT_EQ(job.Start(), 0);
  if (beforePage) beforePage(job);
  EXPECT_EQ(job.Print({}, inside), 0);
  EXPECT_EQ(job.End(), 0);
  const strict_pclxl::ReadResult read = job.Read();
  EXPECT_TRUE(read.Ok()) << strict_pclxl::Disassemble(read);
  std::vector<strict_pclxl::Operation> operations;
  bool started = false;
  for (const strict_pclxl::Operation& operation : read.operations) {
    if (operation.name == "EndPage") break;
    started = started || operation.name == "NewPath" || operation.name == "BeginFontHeader";
    if (started) operations.push_back(operation);
  }
  return operations;
}

// The operators with the one attribute that tells them apart (the font
// name, the character code), as "SetFont 0TT".
Lines Summary(const std::vector<strict_pclxl::Operation>& operations) {
  Lines lines;
  for (const strict_pclxl::Operation& operation : operations) {
    std::string line(operation.name);
    for (const char* attribute : {"FontName", "CharCode", "PCLSelectFont"}) {
      if (const strict_pclxl::Attribute* found = operation.Find(attribute)) line += " " + Values(found->value);
    }
    if (operation.name != "ReadFontHeader") lines.push_back(line);
  }
  return lines;
}

TEST(BorzanText, OutlineFontGoesOutOnceWithTheMissingGlyphAndEachNewGlyph) {
  OutlineFont font(xl_text::FaceInfo("Outline", 100), kOutlines);
  Job job;
  const auto operations = TextOperations(job, [&](Job& j) {
    EXPECT_EQ(j.Process(GlyphText(font, {1, 2, 1})), 0);
    EXPECT_EQ(j.Process(GlyphText(font, {2})), 0);
  });
  EXPECT_EQ(Summary(operations),
            Lines({"NewPath", "BeginFontHeader 0TT", "EndFontHeader", "BeginChar 0TT", "ReadChar 65535", "EndChar",
                   "BeginChar 0TT", "ReadChar 1", "ReadChar 2", "EndChar", "SetFont 0TT", "SetCursor", "Text",
                   "NewPath", "SetCursor", "Text"}));
  const auto named = [&](std::string_view name) {
    return *std::find_if(operations.begin(), operations.end(), [&](const auto& o) { return o.name == name; });
  };
  EXPECT_EQ(named("SetFont").Number("CharSize"), 100);
  EXPECT_EQ(named("SetFont").Number("SymbolSet"), 2);
  const strict_pclxl::Operation& text = named("Text");
  EXPECT_EQ(Values(text.Find("TextData")->value), "1,2,1");
  EXPECT_EQ(Values(text.Find("XSpacingData")->value), "50,50,0");
  EXPECT_EQ(text.Find("YSpacingData"), nullptr);
}

TEST(BorzanText, GlyphRecordsHoldBearingAdvanceIndexAndOutline) {
  OutlineFont font(xl_text::FaceInfo("Outline", 100), kOutlines);
  Job job;
  const auto operations = TextOperations(job, [&](Job& j) { EXPECT_EQ(j.Process(GlyphText(font, {2})), 0); });
  const strict_pclxl::Operation* record = nullptr;
  for (const auto& operation : operations) {
    if (operation.name == "ReadChar" && operation.Number("CharCode") == 2) record = &operation;
  }
  ASSERT_NE(record, nullptr);
  Outline expected = {1, 1};
  memory_font::PutU16(expected, static_cast<uint16_t>(kOutlines[2].size() + 8));
  memory_font::PutU16(expected, static_cast<uint16_t>(-3));  // left side bearing of glyph 2
  memory_font::PutU16(expected, 102);                        // its advance
  memory_font::PutU16(expected, 2);
  expected.insert(expected.end(), kOutlines[2].begin(), kOutlines[2].end());
  EXPECT_EQ(record->data, expected);
  EXPECT_EQ(record->Number("CharDataSize"), expected.size());
}

TEST(BorzanText, CompositeGlyphsSendTheirComponentsFirstAndOnce) {
  OutlineFont font(xl_text::FaceInfo("Outline", 100), kOutlines);
  Job job;
  const auto operations = TextOperations(job, [&](Job& j) {
    EXPECT_EQ(j.Process(GlyphText(font, {3})), 0);
    EXPECT_EQ(j.Process(GlyphText(font, {3, 1})), 0);
  });
  Lines characters;
  for (const auto& operation : operations) {
    if (operation.name != "ReadChar") continue;
    characters.push_back(std::to_string(static_cast<int>(operation.Number("CharCode"))) + ":" +
                         std::to_string(operation.data[8] << 8 | operation.data[9]));
  }
  // The missing glyph, components 1 and 2 of glyph 3, glyph 3; then the
  // code 1, whose glyph went out as a component under no code.
  EXPECT_EQ(characters, Lines({"65535:0", "65535:1", "65535:2", "3:3", "1:1"}));
}

TEST(BorzanText, AFullFontIsRemovedBeforeItGoesOutAgainWithTheNewGlyphs) {
  // Room for two characters: the missing glyph and one more.
  GFontInfo info = xl_text::FaceInfo("Outline", 100);
  info.lastCode = info.firstCode + 1;
  OutlineFont font(info, kOutlines);
  Job job;
  const auto operations = TextOperations(job, [&](Job& j) {
    EXPECT_EQ(j.Process(GlyphText(font, {1})), 0);
    EXPECT_EQ(j.Process(GlyphText(font, {2})), 0);
  });
  Lines downloads;
  for (const std::string& line : Summary(operations)) {
    if (line.starts_with("BeginFontHeader") || line.starts_with("RemoveFont") || line.starts_with("ReadChar")) {
      downloads.push_back(line);
    }
  }
  EXPECT_EQ(downloads, Lines({"BeginFontHeader 0TT", "ReadChar 65535", "ReadChar 1", "RemoveFont 0TT",
                              "BeginFontHeader 0TT", "ReadChar 65535", "ReadChar 2"}));
}

TEST(BorzanText, FontWithoutItsTablesIsNotDownloadedButTheTextIsWritten) {
  OutlineFont font(xl_text::FaceInfo("Outline", 100), kOutlines);
  font.Data().tables.erase(tt_tables::MakeTag("hmtx"));
  Job job;
  const auto operations = TextOperations(job, [&](Job& j) { EXPECT_EQ(j.Process(GlyphText(font, {1})), 0); });
  EXPECT_EQ(Summary(operations), Lines({"NewPath", "SetFont 0TT", "SetCursor", "Text"}));
}

TEST(BorzanText, FontsAreNamedInOrderOfDownloadWhateverTheirKind) {
  OutlineFont outline(xl_text::FaceInfo("Outline", 100), kOutlines);
  std::unique_ptr<TestFont> bitmap = xl_text::BitmapFont(xl_text::FaceInfo("Bitmap", 40));
  // 10 x 2 pixels; the space has an image without ink.
  bitmap->glyphImages['A'] = {{-1, 30, 10, 2}, {0xFF, 0xC0, 0, 0, 0x80, 0x40, 0, 0}};
  bitmap->glyphImages[' '] = {{0, 0, 10, 1}, {0, 0, 0, 0}};
  Job job;
  const auto operations = TextOperations(job, [&](Job& j) {
    EXPECT_EQ(j.Process(GlyphText(outline, {1})), 0);
    EXPECT_EQ(j.Process(Text(new TestFont(*bitmap), {'A', ' ', 'A'}, GTextString::kUnicodeEncoding)), 0);
  });
  EXPECT_EQ(
      Summary(operations),
      Lines({"NewPath",       "BeginFontHeader 0TT", "EndFontHeader", "BeginChar 0TT", "ReadChar 65535", "EndChar",
             "BeginChar 0TT", "ReadChar 1",          "EndChar",       "SetFont 0TT",   "SetCursor",      "Text",
             "NewPath",       "BeginFontHeader 1BM", "EndFontHeader", "BeginChar 1BM", "ReadChar 65",    "EndChar",
             "SetFont 1BM",   "SetCursor",           "Text"}));
  for (const auto& operation : operations) {
    if (operation.name == "ReadChar" && operation.Number("CharCode") == 'A') {
      EXPECT_EQ(operation.data, Outline({0, 0, 0xFF, 0xFF, 0, 30, 0, 10, 0, 2, 0xFF, 0xC0, 0x80, 0x40}));
    }
    if (operation.name == "SetFont" && Values(operation.Find("FontName")->value) == "1BM") {
      EXPECT_EQ(operation.Number("CharSize"), 40);
    }
  }
}

TEST(BorzanText, TheSameSelectionIsSentOnceUntilItsFontIsRemoved) {
  OutlineFont font(xl_text::FaceInfo("Outline", 100), kOutlines);
  Job job;
  const auto operations = TextOperations(job, [&](Job& j) {
    EXPECT_EQ(j.Process(GlyphText(font, {1})), 0);
    EXPECT_EQ(j.Process(GlyphText(font, {1})), 0);
    EXPECT_EQ(j.Generator().DeleteFont(RWCString("0TT")), 0);
    EXPECT_EQ(j.Process(GlyphText(font, {1})), 0);
  });
  Lines selections;
  for (const std::string& line : Summary(operations)) {
    if (line.starts_with("SetFont") || line.starts_with("RemoveFont")) selections.push_back(line);
  }
  EXPECT_EQ(selections, Lines({"SetFont 0TT", "RemoveFont 0TT", "SetFont 0TT"}));
}

TEST(BorzanText, FontsUsedLongestAgoAreRemovedToMakeRoomAndSentAgainWhenNeeded) {
  OutlineFont first(xl_text::FaceInfo("First", 100), kOutlines);
  OutlineFont second(xl_text::FaceInfo("Second", 100), kOutlines);
  struct Case {
    const char* name;
    uint32_t limit;
    Lines downloads;
  };
  const Case cases[] = {
      {"room_for_both", 1000000, {"BeginFontHeader 0TT", "BeginFontHeader 1TT"}},
      {"room_for_one",
       6000,
       {"BeginFontHeader 0TT", "RemoveFont 0TT", "BeginFontHeader 1TT", "RemoveFont 1TT", "BeginFontHeader 0TT"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Job job;
    const auto operations = TextOperations(
        job,
        [&](Job& j) {
          EXPECT_EQ(j.Process(GlyphText(first, {1})), 0);
          EXPECT_EQ(j.Process(GlyphText(second, {1})), 0);
          EXPECT_EQ(j.Process(GlyphText(first, {1})), 0);
        },
        [&](Job& j) { j.Generator().MemoryBudget().SetLimit(c.limit); });
    Lines downloads;
    for (const std::string& line : Summary(operations)) {
      if (line.starts_with("BeginFontHeader") || line.starts_with("RemoveFont")) downloads.push_back(line);
    }
    EXPECT_EQ(downloads, c.downloads);
  }
}

bool Holds(const Outline& bytes, const Outline& part) {
  return std::search(bytes.begin(), bytes.end(), part.begin(), part.end()) != bytes.end();
}

TEST(BorzanText, VerticalFontsSendExclusionsRotationAndVerticalMetrics) {
  OutlineFont font(xl_text::FaceInfo("@Outline", 100), kOutlines);
  Outline vhea(36, 0);
  vhea[35] = static_cast<uint8_t>(kOutlines.size());
  font.Data().tables[tt_tables::MakeTag("vhea")] = vhea;
  Outline vmtx;
  for (uint16_t glyph = 0; glyph < kOutlines.size(); ++glyph) {
    memory_font::PutU16(vmtx, static_cast<uint16_t>(200 + glyph));
    memory_font::PutU16(vmtx, static_cast<uint16_t>(10 + glyph));
  }
  font.Data().tables[tt_tables::MakeTag("vmtx")] = vmtx;
  // A typographic descender of -200.
  Outline& os2 = font.Data().tables[tt_tables::MakeTag("OS/2")];
  os2[70] = 0xFF;
  os2[71] = 0x38;
  Job job;
  const auto operations = TextOperations(job, [&](Job& j) { EXPECT_EQ(j.Process(GlyphText(font, {2})), 0); });
  Outline header;
  for (const auto& operation : operations) {
    if (operation.name == "ReadFontHeader") header.insert(header.end(), operation.data.begin(), operation.data.end());
    if (operation.name == "ReadChar" && operation.Number("CharCode") == 2) {
      // Class 2: bearing, advance, then the top side bearing of glyph 2.
      ASSERT_GE(operation.data.size(), 12U);
      EXPECT_EQ(operation.data[1], 2);
      EXPECT_EQ(operation.data[8] << 8 | operation.data[9], 12);
    }
    if (operation.name == "SetCharAttributes") {
      EXPECT_EQ(operation.Number("WritingMode"), 1);
    }
  }
  // A Unicode font shown through device codes: list E.
  EXPECT_TRUE(Holds(header, xl_font::VerticalExclusions(xl_font::VerticalList::kE)));
  EXPECT_TRUE(Holds(header, xl_font::VerticalRotation(-200)));
  EXPECT_TRUE(std::any_of(operations.begin(), operations.end(),
                          [](const auto& operation) { return operation.name == "SetCharAttributes"; }));
}

// A printer configuration whose font list holds one scalable printer font
// of the face, selected by a PCL font selection.
GConfiguration* WithPrinterFont(const char* face, const char* selection) {
  GConfiguration* configuration = PrinterConfiguration();
  GIntArray symbolSets;
  symbolSets.Add(GTextString::kUnicodeEncoding);
  auto* list = new GDeviceFontList(1);
  list->AddDescription(GDeviceFontDescription(RWCString(face), RWCString(selection), 590, symbolSets, 400, 0, 0, 0, 1,
                                              0, 0, GDeviceFontDescription::kRomAddOn));
  auto* lists = new GDeviceFontListComposite;
  lists->SetKey(GPDLGenerator::kDeviceFontListKey);
  lists->AddList(list);
  configuration->AddChild(lists);
  return configuration;
}

TEST(BorzanText, PrinterFontsAreSelectedWithTheirSizeFilledInAndTheirLookMadeUp) {
  std::unique_ptr<TestFont> upright = xl_text::BitmapFont(xl_text::FaceInfo("Mono", 50));
  GFontInfo italicInfo = xl_text::FaceInfo("Mono", 50);
  GFontMetrics askedItalic;
  askedItalic.metric3 = 700;
  askedItalic.metric4 = 1;
  TestFont slanted(new TestFontImp(italicInfo, askedItalic, std::make_unique<TestPlatformFont>()), nullptr,
                   xl_text::kBitmapStyle);
  Job job(WithPrinterFont("Mono", "\x1B(s#PITCHh#HEIGHTV"));
  const auto operations = TextOperations(job, [&](Job& j) {
    EXPECT_EQ(j.Process(Text(new TestFont(*upright), {'A', 'B'}, GTextString::kUnicodeEncoding)), 0);
    EXPECT_EQ(j.Process(Text(new TestFont(slanted), {'C'}, GTextString::kUnicodeEncoding)), 0);
  });
  ASSERT_GT(operations.size(), 1U);
  EXPECT_EQ(Values(operations[1].Find("PCLSelectFont")->value), "\x1B(s20.00h6.00V");
  Lines lines;
  for (const auto& operation : operations) lines.push_back(strict_pclxl::FormatOperation(operation));
  EXPECT_EQ(lines, Lines({"NewPath", "SetFont PCLSelectFont=ubyte_array(27,40,115,50,48,46,48,48,104,54,46,48,48,86)",
                          "SetCursor Point=sint16_xy(100,200)",
                          "Text TextData=uint16_array(65,66) XSpacingData=sint16_array(50,0)", "NewPath",
                          "SetCharBoldValue CharBoldValue=real32(0.015)", "SetCharShear CharShear=real32_xy(0.31623,0)",
                          "SetCharScale CharScale=real32_xy(1,1)", "SetCharAngle CharAngle=real32(0)",
                          "SetCursor Point=sint16_xy(100,200)", "Text TextData=uint16_array(67)"}));
}

TEST(BorzanText, TextStateStartsAgainOnEveryPage) {
  OutlineFont font(xl_text::FaceInfo("Outline", 100), kOutlines);
  Job job;
  ASSERT_EQ(job.Start(), 0);
  for (int page = 0; page < 2; ++page) {
    ASSERT_EQ(job.Print({}, [&](Job& j) { EXPECT_EQ(j.Process(GlyphText(font, {1})), 0); }), 0);
  }
  ASSERT_EQ(job.End(), 0);
  const strict_pclxl::ReadResult read = job.Read();
  ASSERT_TRUE(read.Ok()) << strict_pclxl::Disassemble(read);
  size_t selections = 0;
  size_t headers = 0;
  for (const auto& operation : read.operations) {
    selections += operation.name == "SetFont" ? 1 : 0;
    headers += operation.name == "BeginFontHeader" ? 1 : 0;
  }
  EXPECT_EQ(selections, 2U);
  EXPECT_EQ(headers, 1U);
}

}  // namespace
