// The PCL XL generator's font objects: the glyph-code mapper, the font
// records and their references, and how the font cache matches a font to
// a listed one.
#include <gtest/gtest.h>

#include <memory>

#include "device/fonts/device_font_description.h"
#include "device/fonts/int_array.h"
#include "graphics/fonts/downloaded_font_owner.h"
#include "graphics/fonts/font_info.h"
#include "graphics/fonts/testing/test_font.h"
#include "pclxl/borzan/borzan_font_cache.h"
#include "pclxl/borzan/borzan_font_record.h"
#include "pclxl/borzan/borzan_glyph_code_mapper.h"
#include "pclxl/testing/text_fonts.h"

namespace {

class NullOwner : public GDownloadedFontOwner {
 public:
  uint32_t ConsumeMemory(uint32_t) override { return 0; }
  uint32_t ReleaseMemory(uint32_t) override { return 0; }
  uint16_t DeleteFont(const RWCString&) override { return 0; }
};

TEST(BorzanGlyphCodeMapper, NeverHandsOutTheCodesThatPassThrough) {
  GBorzanGlyphCodeMapper mapper;
  EXPECT_EQ(mapper.Map(0x4E00), 256);
  for (uint16_t code = 0x4E01; mapper.NextCode() < 8191; ++code) mapper.Map(code);
  EXPECT_EQ(mapper.Map(0x9000), 8191);
  EXPECT_EQ(mapper.Map(0x9001), 8448);
  EXPECT_EQ(mapper.Map(0x9000), 8191);
  EXPECT_EQ(mapper.NextCode(), 8449);
}

TEST(BorzanFontRef, DuplicatesShareTheRecordAndItsVerticalMetricsFlag) {
  NullOwner owner;
  auto first = std::make_unique<GBorzanFontRef>(&owner);
  EXPECT_EQ(first->HasVerticalMetrics(), 0);
  EXPECT_EQ(first->ReferenceCount(), 1);
  std::unique_ptr<GDownloadedFontRef> second(first->Duplicate());
  auto* borzanSecond = dynamic_cast<GBorzanFontRef*>(second.get());
  ASSERT_NE(borzanSecond, nullptr);
  EXPECT_EQ(&second->Font(), &first->Font());
  EXPECT_EQ(first->ReferenceCount(), 2);
  first->SetVerticalMetrics(1);
  EXPECT_EQ(borzanSecond->HasVerticalMetrics(), 1);
  EXPECT_TRUE(borzanSecond->IsKnownTo(&owner));
  first.reset();
  EXPECT_EQ(second->ReferenceCount(), 1);
  second->MarkForgotten();
  EXPECT_FALSE(borzanSecond->IsKnownTo(&owner));
}

// A font of a face at a height, of a style and with its resident flag.
struct FontShape {
  const char* face = "Face";
  int16_t height = 100;
  int32_t style = xl_text::kScalableStyle;
  uint16_t weight = 400;
  int32_t orientation = 0;
  bool resident = false;
};

std::unique_ptr<TestFont> MakeFont(const FontShape& shape) {
  GFontInfo info = xl_text::FaceInfo(shape.face, shape.height);
  info.fontValue9 = shape.weight;
  info.fontValue22 = shape.orientation;
  GFontMetrics metrics;
  if (shape.resident) metrics.flags = GFontMetrics::kResidentFlag;
  auto* body = new TestFontImp(info, metrics, std::make_unique<TestPlatformFont>());
  return std::make_unique<TestFont>(body, nullptr, shape.style);
}

TEST(BorzanFontCache, FindsTheRecordOfTheSameFaceSentTheWayTheFontNeeds) {
  struct Case {
    const char* name;
    FontShape listed;
    int32_t listedKind;
    FontShape asked;
    bool found;
    // The listed printer font scales.
    bool scales = false;
  };
  const FontShape outline;
  const FontShape bitmap{.style = xl_text::kBitmapStyle};
  const FontShape resident{.style = xl_text::kBitmapStyle, .resident = true};
  const Case cases[] = {
      {"outline_at_another_size", outline, GDownloadedFont::kOutlineKind, {.height = 120}, true},
      {"outline_turned", outline, GDownloadedFont::kOutlineKind, {.orientation = 900}, false},
      {"outline_of_another_face", outline, GDownloadedFont::kOutlineKind, {.face = "Other"}, false},
      {"outline_of_another_weight", outline, GDownloadedFont::kOutlineKind, {.weight = 700}, false},
      {"outline_wanted_bitmap_listed", bitmap, GDownloadedFont::kBitmapKind, outline, false},
      {"bitmap_at_the_same_size", bitmap, GDownloadedFont::kBitmapKind, bitmap, true},
      {"bitmap_at_another_size",
       bitmap,
       GDownloadedFont::kBitmapKind,
       {.height = 120, .style = xl_text::kBitmapStyle},
       false},
      {"printer_font_at_its_size", resident, GDownloadedFont::kResidentKind, resident, true},
      {"printer_font_at_another_size",
       resident,
       GDownloadedFont::kResidentKind,
       {.height = 120, .style = xl_text::kBitmapStyle, .resident = true},
       false},
      {"printer_font_wanted_download_listed", bitmap, GDownloadedFont::kBitmapKind, resident, false},
      {"scaling_printer_font_at_any_size",
       resident,
       GDownloadedFont::kResidentKind,
       {.height = 120, .style = xl_text::kBitmapStyle, .resident = true},
       true,
       true},
  };
  GDeviceFontDescription scaling(RWCString("Face"), RWCString("Face"), 590, GIntArray(), 400, 0, 0, 0, 1, 0, 0,
                                 GDeviceFontDescription::kRomAddOn);
  NullOwner owner;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GBorzanFontCache cache;
    const std::unique_ptr<TestFont> listed = MakeFont(c.listed);
    auto record = std::make_unique<GBorzanFontRef>(&owner);
    record->SetDownloadKind(c.listedKind);
    if (c.scales) record->SetDeviceFont(&scaling);
    GDownloadedFont* listedRecord = &record->Font();
    cache.Add(listed->GetFontInfo(), listed->GetMetricsRecord(), std::move(record));
    const std::unique_ptr<TestFont> asked = MakeFont(c.asked);
    EXPECT_EQ(cache.Find(*asked), c.found);
    if (c.found) {
      ASSERT_NE(asked->GetDownloadedFontRef(), nullptr);
      EXPECT_EQ(&asked->GetDownloadedFontRef()->Font(), listedRecord);
      EXPECT_EQ(asked->GetDownloadedFontRef()->ReferenceCount(), 2);
    } else {
      EXPECT_EQ(asked->GetDownloadedFontRef(), nullptr);
    }
  }
}

}  // namespace
