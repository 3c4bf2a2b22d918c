// What the PCL XL generator answers when asked about a font before any text
// is printed: what it can do with a font, and which of the printer's own
// fonts serves a request, under the request kinds and code modes.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "device/driver/tree_lookup.h"
#include "device/fonts/device_font_description.h"
#include "device/fonts/device_font_list.h"
#include "device/fonts/device_font_list_composite.h"
#include "device/fonts/int_array.h"
#include "graphics/fonts/testing/test_font.h"
#include "model/attributes/configuration.h"
#include "model/objects/object_ref.h"
#include "pclxl/borzan/borzan.h"
#include "pclxl/generator/device_font_request.h"
#include "pclxl/testing/borzan_job.h"
#include "pclxl/testing/text_fonts.h"

namespace {

using xl_text::kBitmapStyle;
using xl_text::kScalableStyle;

// A generator whose first font counter the tests read.
class CountingBorzan : public GBorzan {
 public:
  explicit CountingBorzan(GConfiguration* configuration)
      : GBorzan(RWCString(xl_job::kLanguageName), nullptr, configuration, 101, 64, 6, 2) {}
  int32_t FirstFontCounter() { return FontCounters()[0]; }
};

GDeviceFontDescription PrinterFont(const char* face, std::initializer_list<int32_t> symbolSets, int32_t primary,
                                   int32_t format, int16_t height, int32_t location) {
  GIntArray sets;
  for (const int32_t set : symbolSets) sets.Add(set);
  return GDeviceFontDescription(RWCString(face), RWCString((std::string(face) + "-select").c_str()), primary, sets, 400,
                                0, 0, 0, format, height, 0, location);
}

// The printer's fonts: a bitmap font of one height in ROM, and scalable
// fonts on a DIMM, in flash and on a flagged DIMM, spread over two slots.
GConfiguration* ConfigurationWithPrinterFonts() {
  GConfiguration* configuration = xl_job::PrinterConfiguration();
  auto* rom = new GDeviceFontList(1);
  rom->AddDescription(PrinterFont("Mono", {16, 2}, 2, 0, 50, GDeviceFontDescription::kRomAddOn));
  rom->AddDescription(PrinterFont("Outline", {16, 17}, 17, 1, 0, GDeviceFontDescription::kDimm));
  auto* flash = new GDeviceFontList(2);
  flash->AddDescription(PrinterFont("Flash", {16}, 16, 5, 0, GDeviceFontDescription::kFlash));
  flash->AddDescription(PrinterFont("Flagged", {16}, 16, 2, 0, GDeviceFontDescription::kFlaggedDimm));
  auto* lists = new GDeviceFontListComposite;
  lists->SetKey(GPDLGenerator::kDeviceFontListKey);
  lists->AddList(rom);
  lists->AddList(flash);
  configuration->AddChild(lists);
  return configuration;
}

// A font of the face at height 50, weight 400, upright, unscaled, in the
// Unicode character set; each row changes what it is about.
struct Wanted {
  const char* face = "Mono";
  int16_t height = 50;
  uint16_t weight = 400;
  int32_t italic = 0;
  int32_t encoding = 16;
  float scale = 1.0F;
};

GFontInfo Describe(const Wanted& wanted) {
  GFontInfo info = xl_text::FaceInfo(wanted.face, wanted.height);
  info.fontValue9 = wanted.weight;
  info.fontValue6 = wanted.italic;
  info.fontValue10 = wanted.encoding;
  info.fontValue11 = wanted.scale;
  info.fontValue12 = wanted.scale;
  return info;
}

TEST(BorzanFontQueries, CapabilitiesFollowTheFontsStyleAndThePrinterFontThatServesABitmapFont) {
  struct Case {
    const char* name;
    int32_t style;
    Wanted wanted;
    int32_t answer;
    int32_t firstCounter;
  };
  const Case cases[] = {
      {"no_style", 0, {}, 4, 0},
      {"outline_only_is_not_looked_up", kScalableStyle, {.face = "Outline"}, 20, 0},
      {"bitmap_no_printer_font", kBitmapStyle, {.face = "Other"}, 32, 1},
      {"both_no_printer_font", kBitmapStyle | kScalableStyle, {.face = "Other"}, 48, 1},
      {"fixed_height_font_in_rom", kBitmapStyle, {}, 8, 1},
      {"fixed_height_at_another_height", kBitmapStyle, {.height = 60}, 32, 1},
      {"fixed_height_scaled", kBitmapStyle, {.scale = 2.0F}, 32, 1},
      {"other_weight", kBitmapStyle, {.weight = 700}, 32, 1},
      {"italic_asked_of_upright", kBitmapStyle, {.italic = 1}, 32, 1},
      {"character_set_not_carried", kBitmapStyle, {.face = "Outline", .encoding = 2}, 32, 1},
      {"scalable_on_dimm_any_size",
       kBitmapStyle | kScalableStyle,
       {.face = "Outline", .height = 7, .scale = 3.0F},
       72,
       1},
      {"scalable_in_flash", kBitmapStyle, {.face = "Flash"}, 8, 1},
      {"scalable_on_flagged_dimm", kBitmapStyle, {.face = "Flagged"}, 72, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GObjectRef generator(new CountingBorzan(ConfigurationWithPrinterFonts()));
    auto& borzan = static_cast<CountingBorzan&>(*generator.Get());
    TestFont font(new TestFontImp(Describe(c.wanted), GFontMetrics(), std::make_unique<TestPlatformFont>()), nullptr,
                  c.style);
    EXPECT_EQ(borzan.GetFontCapabilities(font), c.answer);
    EXPECT_EQ(borzan.FirstFontCounter(), c.firstCounter);
  }
}

TEST(BorzanFontQueries, AMatchHandsOutThePrinterFontAndTheSymbolSetOfTheCodeMode) {
  struct Case {
    const char* name;
    int32_t kind;
    int32_t codeMode;
    Wanted wanted;
    int32_t answer;
    uint16_t code;
    const char* found;  // the printer font's face, null for none
    int32_t firstCounter;
  };
  const Case cases[] = {
      {"kind_0_no_match", 0, 0, {.face = "Other"}, 32, 0, nullptr, 1},
      {"kind_1_no_match", 1, 0, {.face = "Other"}, 48, 0, nullptr, 1},
      {"kind_2_no_match", 2, 1, {.height = 60}, 48, 0, nullptr, 1},
      {"kind_3_is_not_looked_up", 3, 0, {}, 4, 0, nullptr, 0},
      {"negative_kind_is_not_looked_up", -1, 0, {}, 4, 0, nullptr, 0},
      // Code mode 0: the printer font's primary set (0B); 1: the request's (18N).
      {"rom_font_primary_set", 0, 0, {}, 8, 2, "Mono", 1},
      {"rom_font_requests_set", 1, 1, {}, 8, 590, "Mono", 1},
      {"dimm_font_primary_set", 2, 0, {.face = "Outline"}, 72, 619, "Outline", 1},
      {"dimm_font_requests_set", 0, 1, {.face = "Outline"}, 72, 590, "Outline", 1},
      {"other_code_mode_gives_no_code", 0, 2, {.face = "Flagged"}, 72, 0, "Flagged", 1},
  };
  const GDeviceFontDescription stale = PrinterFont("Stale", {16}, 16, 1, 0, 1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GObjectRef generator(new CountingBorzan(ConfigurationWithPrinterFonts()));
    auto& borzan = static_cast<CountingBorzan&>(*generator.Get());
    GDeviceFontRequest request{Describe(c.wanted), GFontMetrics(), &stale};
    uint16_t code = 0xFFFF;
    EXPECT_EQ(borzan.MatchDeviceFont(request, c.kind, c.codeMode, code), c.answer);
    EXPECT_EQ(code, c.code);
    if (c.found == nullptr) {
      EXPECT_EQ(request.deviceFont, nullptr);
    } else {
      ASSERT_NE(request.deviceFont, nullptr);
      EXPECT_EQ(std::string(request.deviceFont->GetName().Data()), c.found);
    }
    EXPECT_EQ(borzan.FirstFontCounter(), c.firstCounter);
  }
}

// The printer font handed out is the one the generator's font list holds,
// so that the text it later prints selects that very font.
TEST(BorzanFontQueries, TheHandedOutPrinterFontBelongsToTheListInUse) {
  GObjectRef generator(new CountingBorzan(ConfigurationWithPrinterFonts()));
  auto& borzan = static_cast<CountingBorzan&>(*generator.Get());
  GDeviceFontRequest request{Describe({.face = "Flash"}), GFontMetrics()};
  uint16_t code = 0;
  ASSERT_EQ(borzan.MatchDeviceFont(request, 0, 0, code), 8);
  bool held = false;
  ForEachChildAs<GDeviceFontList>(*borzan.DeviceFontListInUse(), [&](GDeviceFontList& list) {
    for (const GDeviceFontDescription& description : list) held = held || &description == request.deviceFont;
    return true;
  });
  EXPECT_TRUE(held);
}

}  // namespace
