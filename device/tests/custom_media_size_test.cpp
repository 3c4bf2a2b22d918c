// Tests of custom media sizes: the unit conversions against a table that
// exact rational arithmetic made (unit_conversions.py), equality across
// units, the size from dots, and the stored form.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "device/media/custom_media_size.h"
#include "device/tests/stored_bytes.h"
#include "model/testing/round_trip.h"

namespace {

// A value that does not fit 32 bits.
constexpr int64_t kDoesNotFit = -1;

struct ConversionRow {
  const char* name;
  int32_t unit;
  uint32_t width;
  uint32_t height;
  // The size in units 0 to 3.
  int64_t inUnit[4][2];
  // The size in dots at 300, 600 and 1200 dpi.
  int64_t inDots[3][2];
};

const ConversionRow kConversions[] = {
#include "device/tests/unit_conversion_table.inc"
};

constexpr uint16_t kResolutions[] = {300, 600, 1200};

std::optional<GUnitSize> Expected(const int64_t (&pair)[2]) {
  if (pair[0] == kDoesNotFit || pair[1] == kDoesNotFit) return std::nullopt;
  return GUnitSize{static_cast<uint32_t>(pair[0]), static_cast<uint32_t>(pair[1])};
}

std::string Describe(const std::optional<GUnitSize>& size) {
  return size ? std::to_string(size->width) + " x " + std::to_string(size->height) : "does not fit";
}

TEST(CustomMediaSize, ConversionsBetweenUnitsEqualExactArithmetic) {
  for (const ConversionRow& row : kConversions) {
    SCOPED_TRACE(row.name);
    const GCustomMediaSize size(1, "", row.unit, row.width, row.height, 0);
    for (int32_t to = 0; to < 4; ++to) {
      SCOPED_TRACE(to);
      const std::optional<GUnitSize> expected = Expected(row.inUnit[to]);
      EXPECT_EQ(Describe(size.GetSizeIn(to)), Describe(expected));
      GUnitSize converted{row.width, row.height};
      EXPECT_EQ(ConvertSizeUnits(row.unit, to, converted), expected.has_value());
      EXPECT_EQ(converted, expected.value_or(GUnitSize{row.width, row.height}));
      GCustomMediaSize convertedSize = size;
      EXPECT_EQ(convertedSize.ConvertTo(to), expected.has_value());
      EXPECT_EQ(convertedSize.GetUnit(), expected ? to : row.unit);
    }
  }
}

TEST(CustomMediaSize, SizesInDotsEqualExactArithmetic) {
  for (const ConversionRow& row : kConversions) {
    SCOPED_TRACE(row.name);
    const GCustomMediaSize size(1, "", row.unit, row.width, row.height, 0);
    for (int i = 0; i < 3; ++i) {
      SCOPED_TRACE(kResolutions[i]);
      EXPECT_EQ(Describe(size.GetSizeInDots(kResolutions[i], kResolutions[i])), Describe(Expected(row.inDots[i])));
    }
    EXPECT_EQ(Describe(size.GetSizeInDots(300, 1200)), Describe(Expected({row.inDots[0][0], row.inDots[2][1]})));
  }
}

TEST(CustomMediaSize, UnknownUnitsAndTheStoredUnitConvertNothing) {
  const GCustomMediaSize size(1, "", 7, 1234, 5678, 0);
  EXPECT_EQ(size.GetSizeIn(7), (GUnitSize{1234, 5678}));
  EXPECT_EQ(size.GetSizeIn(kMicrometres), (GUnitSize{1234, 5678}));
  GUnitSize pair{1234, 5678};
  EXPECT_TRUE(ConvertSizeUnits(kMillimetres, -1, pair));
  EXPECT_EQ(pair, (GUnitSize{1234, 5678}));
}

TEST(CustomMediaSize, SizeFromDotsGoesThroughHundredthsOfAnInch) {
  struct Case {
    const char* name;
    uint16_t x;
    uint16_t y;
    int32_t unit;
    uint32_t widthInDots;
    uint32_t heightInDots;
    GUnitSize size;
  };
  const Case cases[] = {
      {"letter_at_600", 600, 600, kHundredthsOfInch, 5100, 6600, {850, 1100}},
      {"letter_at_600_in_mm", 600, 600, kMillimetres, 5100, 6600, {216, 279}},
      {"truncated_to_hundredths", 600, 600, kMicrometres, 5105, 6600, {215900, 279400}},
      {"each_axis_its_resolution", 300, 1200, kTenThousandthsOfInch, 2550, 13200, {85000, 110000}},
      {"large_dots_in_64_bits", 1, 1, kHundredthsOfInch, 42949672, 1, {4294967200u, 100}},
      {"zero_x_resolution_fails", 0, 600, kMicrometres, 5100, 6600, {0, 0}},
      {"zero_y_resolution_fails", 600, 0, kMicrometres, 5100, 6600, {0, 0}},
      {"too_large_for_the_unit", 1, 1, kMicrometres, 4000000, 1, {0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const GCustomMediaSize size(4, "Custom", c.x, c.y, c.unit, c.widthInDots, c.heightInDots, 0);
    EXPECT_EQ(size.GetUnit(), c.unit);
    EXPECT_EQ(size.GetSize(), c.size);
  }
}

TEST(CustomMediaSize, SameContentComparesSizesInMicrometresAcrossUnits) {
  struct Case {
    const char* name;
    GCustomMediaSize other;
    bool same;
  };
  const GCustomMediaSize a4(9, "A4", kMillimetres, 210, 297, 0);
  const Case cases[] = {
      {"same_unit_same_size", GCustomMediaSize(9, "A4", kMillimetres, 210, 297, 0), true},
      {"same_unit_other_size", GCustomMediaSize(9, "A4", kMillimetres, 210, 298, 0), false},
      {"ten_thousandths_equal_in_micrometres", GCustomMediaSize(9, "A4", kTenThousandthsOfInch, 82677, 116929, 0),
       true},
      {"ten_thousandths_7_micrometres_wider", GCustomMediaSize(9, "A4", kTenThousandthsOfInch, 82680, 116929, 0),
       false},
      {"micrometres", GCustomMediaSize(9, "A4", kMicrometres, 210000, 297000, 0), true},
      {"other_name", GCustomMediaSize(9, "A4 ", kMillimetres, 210, 297, 0), false},
      {"other_id", GCustomMediaSize(10, "A4", kMillimetres, 210, 297, 0), false},
      {"other_key", GCustomMediaSize(9, "A4", kMillimetres, 210, 297, 1), false},
      // 32-bit products would wrap to 210000 x 297000 micrometres.
      {"equal_only_if_products_wrapped", GCustomMediaSize(9, "A4", kHundredthsOfInch, 7779114, 83195024, 0), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.other.SameContent(a4), c.same);
    EXPECT_EQ(a4.SameContent(c.other), c.same);
  }
}

TEST(CustomMediaSize, RoundTripsAndStoresItsFieldsInTheirWidths) {
  GCustomMediaSize size(-3, "Postcard", kMicrometres, 100000, 148000, 0x40000019);
  size.NextSerialNumber();
  EXPECT_TRUE(RoundTrips(size));
  const std::string expected = Words({1, 0x40000019, size.SerialNumber(), 1, 1}) + Words({1}) + Shorts({0xFFFD}) +
                               Words({8}) + "Postcard" + Words({3, 100000, 148000});
  EXPECT_EQ(SaveContentsToFileBytes(size), expected);
  EXPECT_EQ(size.StoredSize(), expected.size());
}

TEST(CustomMediaSize, AnotherStoredVersionStopsTheRestore) {
  GCustomMediaSize size(1, "Keep", kMillimetres, 10, 20, 5);
  const std::string bytes = Words({1, 5, 0, 1, 1}) + Words({0}) + Shorts({2}) + Words({0});
  EXPECT_EQ(RestoreContentsFromStreamBytes(size, bytes), 24u);
  EXPECT_EQ(size.GetName(), RWCString("Keep"));
  EXPECT_EQ(size.GetSize(), (GUnitSize{10, 20}));
}

}  // namespace
