// Tests of the description of a printer-resident font: its readers, its
// equality and its stored forms, old and current, which arrive from
// outside with the printer's settings.
#include "device/fonts/device_font_description.h"

#include <gtest/gtest.h>

#include <string>

#include "device/tests/font_fixtures.h"
#include "device/tests/stored_bytes.h"
#include "model/testing/round_trip.h"

namespace {

TEST(DeviceFontDescription, StartsEmptyAndReadsBackWhatItWasGiven) {
  const GDeviceFontDescription empty;
  EXPECT_EQ(empty.GetFaceName().Length(), 0u);
  EXPECT_EQ(empty.GetSymbolSets().Count(), 0u);
  EXPECT_EQ(empty.GetSymbolSets().Capacity(), 64u);
  EXPECT_EQ(empty.GetLocation(), 0);

  const GDeviceFontDescription font = Courier();
  EXPECT_EQ(font.GetFaceName(), "Courier");
  EXPECT_EQ(font.GetDeviceName(), "Courier,CourierPS,");
  EXPECT_EQ(font.GetPrimarySymbolSet(), 277);
  EXPECT_EQ(font.GetSymbolSets().Count(), 3u);
  EXPECT_EQ(font.GetSymbolSets()[2], -1);
  // The readers under the generators' names reach the same fields.
  EXPECT_EQ(font.GetText1(), font.GetDeviceName());
  EXPECT_EQ(font.GetName(), font.GetFaceName());
  EXPECT_EQ(font.GetValue44(), 700);
  EXPECT_EQ(font.GetValue48(), 1);
  EXPECT_EQ(font.GetValue52(), 48);
  EXPECT_EQ(font.GetValue56(), 1);
  EXPECT_EQ(font.GetValue64(), 12);
  EXPECT_EQ(font.GetValue66(), 9);
  EXPECT_EQ(font.GetValue68(), GDeviceFontDescription::kDimm);
}

TEST(DeviceFontDescription, FormatsOneTwoAndFiveAreScalable) {
  struct Case {
    const char* name;
    int32_t format;
    int32_t scalable;
  };
  const Case cases[] = {
      {"bitmap", 0, 0},   {"format_1", 1, 1}, {"format_2", 2, 1},  {"format_3", 3, 0},
      {"format_4", 4, 0}, {"format_5", 5, 1}, {"negative", -1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const GDeviceFontDescription font("F", "F", 0, GIntArray(), 400, 0, 0, 0, c.format, 10, 0, 1);
    EXPECT_EQ(font.GetValue60(), c.scalable);
  }
}

TEST(DeviceFontDescription, EveryFieldCountsForEquality) {
  const GDeviceFontDescription base = Courier();
  GIntArray fewer;
  fewer.Add(277);
  fewer.Add(14);
  GIntArray reordered;
  for (int32_t code : {14, 277, -1}) reordered.Add(code);
  struct Case {
    const char* name;
    GDeviceFontDescription other;
  };
  const Case cases[] = {
      {"face_name", {"Courie", "Courier,CourierPS,", 277, base.GetSymbolSets(), 700, 1, 48, 1, 0, 12, 9, 4}},
      {"device_name", {"Courier", "Courier,", 277, base.GetSymbolSets(), 700, 1, 48, 1, 0, 12, 9, 4}},
      {"primary_symbol_set", {"Courier", "Courier,CourierPS,", 14, base.GetSymbolSets(), 700, 1, 48, 1, 0, 12, 9, 4}},
      {"fewer_symbol_sets", {"Courier", "Courier,CourierPS,", 277, fewer, 700, 1, 48, 1, 0, 12, 9, 4}},
      {"symbol_set_order", {"Courier", "Courier,CourierPS,", 277, reordered, 700, 1, 48, 1, 0, 12, 9, 4}},
      {"weight", {"Courier", "Courier,CourierPS,", 277, base.GetSymbolSets(), 400, 1, 48, 1, 0, 12, 9, 4}},
      {"italic", {"Courier", "Courier,CourierPS,", 277, base.GetSymbolSets(), 700, 0, 48, 1, 0, 12, 9, 4}},
      {"family", {"Courier", "Courier,CourierPS,", 277, base.GetSymbolSets(), 700, 1, 32, 1, 0, 12, 9, 4}},
      {"pitch_flag", {"Courier", "Courier,CourierPS,", 277, base.GetSymbolSets(), 700, 1, 48, 0, 0, 12, 9, 4}},
      {"format", {"Courier", "Courier,CourierPS,", 277, base.GetSymbolSets(), 700, 1, 48, 1, 1, 12, 9, 4}},
      {"height", {"Courier", "Courier,CourierPS,", 277, base.GetSymbolSets(), 700, 1, 48, 1, 0, 10, 9, 4}},
      {"lookup_id", {"Courier", "Courier,CourierPS,", 277, base.GetSymbolSets(), 700, 1, 48, 1, 0, 12, 0, 4}},
      {"location", {"Courier", "Courier,CourierPS,", 277, base.GetSymbolSets(), 700, 1, 48, 1, 0, 12, 9, 7}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(base.SameContent(c.other));
    EXPECT_FALSE(c.other.SameContent(base));
  }
  GDeviceFontDescription copy;
  copy = base;
  EXPECT_TRUE(copy.SameContent(base));
  copy.SetKey(3);
  EXPECT_FALSE(copy.SameContent(base));
}

TEST(DeviceFontDescription, StoresItsFieldsInOrder) {
  const GDeviceFontDescription font = Courier();
  const std::string bytes = SaveContentsToFileBytes(font);
  EXPECT_EQ(bytes, Words({1, 0, font.SerialNumber()}) + CourierFields(2));
  EXPECT_EQ(font.StoredSize(), bytes.size());
  EXPECT_TRUE(RoundTrips(font));
  EXPECT_TRUE(RoundTrips(GDeviceFontDescription()));
}

TEST(DeviceFontDescription, VersionOneRecordsHaveNoLookupIdOrLocation) {
  for (GContentsForm form : kContentsForms) {
    SCOPED_TRACE(ContentsFormName(form));
    // The file form spelt out; the stream's from its own save, marked
    // version 1 and cut before the two fields version 2 added.
    const GDeviceFontDescription courier = Courier();
    std::string bytes = WithWord(SaveContents(form, courier), 12, 1);
    bytes.resize(bytes.size() - 6);
    if (form == GContentsForm::kFile) {
      EXPECT_EQ(bytes, Words({1, 0, courier.SerialNumber()}) + CourierFields(1));
    }
    GDeviceFontDescription font = Courier();
    RestoreContents(form, font, bytes + Words({0xABCD}));
    EXPECT_EQ(font.GetLookupId(), 0);
    EXPECT_EQ(font.GetLocation(), 0);
    EXPECT_EQ(font.GetHeight(), 12);
    EXPECT_EQ(font.GetSymbolSets().Count(), 3u);
    EXPECT_EQ(font.GetDeviceName(), "Courier,CourierPS,");
  }
}

// A narrow string as the form stores it.
std::string Name(GContentsForm form, const std::string& text) {
  const std::string length = Words({static_cast<uint32_t>(text.size())});
  return (form == GContentsForm::kStream ? length + length : length) + text;
}

TEST(DeviceFontDescription, DamagedRecordsNeverReadPastTheirBytes) {
  struct Case {
    const char* name;
    uint32_t version;
    std::string after;  // after both names
    uint32_t symbolSets;
  };
  const Case cases[] = {
      // Versions the class does not read stop before any field.
      {"version_0", 0, Words({277, 0}), 3},
      {"version_3", 3, Words({277, 0}), 3},
      {"count_beyond_the_input", 2, Words({277, 0x10000000, 1, 2}), 0},
      {"largest_count", 2, Words({277, 0xFFFFFFFF}), 0},
      {"codes_cut_short", 2, Words({277, 3, 1, 2}), 0},
  };
  for (GContentsForm form : kContentsForms) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(ContentsFormName(form)) + " " + c.name);
      GDeviceFontDescription font = Courier();
      RestoreContents(form, font, Words({1, 0, 0, c.version}) + Name(form, "F") + Name(form, "D") + c.after);
      EXPECT_EQ(font.GetSymbolSets().Count(), c.symbolSets);
      EXPECT_EQ(font.GetFaceName(), c.symbolSets == 3 ? "Courier" : "F");
    }
  }
}

}  // namespace
