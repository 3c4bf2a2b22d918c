#include "graphics/fonts/font_imp.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <vector>

#include "graphics/fonts/font_base.h"
#include "graphics/fonts/font_database.h"
#include "graphics/fonts/font_properties.h"
#include "graphics/fonts/testing/test_font.h"
#include "graphics/tests/stored_parts.h"
#include "model/objects/persistable_number.h"
#include "model/os/memory_os_factory.h"
#include "model/testing/round_trip.h"

namespace {

GFontInfo RangeInfo(uint16_t first, uint16_t last, uint16_t defaultCode) {
  GFontInfo info;
  info.firstCode = first;
  info.lastCode = last;
  info.defaultCode = defaultCode;
  return info;
}

// Widths 100 + code for the codes given.
std::map<uint16_t, int16_t> WidthsOf(std::initializer_list<uint16_t> codes) {
  std::map<uint16_t, int16_t> widths;
  for (uint16_t code : codes) widths[code] = static_cast<int16_t>(100 + code);
  return widths;
}

TEST(FontProperties, EachPropertyReadsItsOwnField) {
  GFontInfo info;
  info.fontValue2 = 2;
  info.fontValue6 = 6;
  info.fontValue9 = 9;
  info.fontValue10 = 10;
  info.fontValue11 = 11.5F;
  info.fontValue12 = 12.5F;
  info.fontValue14 = 14;
  info.fontValue22 = 22;
  info.breakCode = 32;
  info.height = 13;
  GFontMetrics metrics;
  metrics.flags = GFontMetrics::kResidentFlag;
  metrics.floatMetric2 = GFloatValue(45.5F);
  metrics.metric3 = 3;
  metrics.metric4 = 4;
  struct Case {
    GFontProperty property;
    double value;
  };
  const Case cases[] = {
      {GFontProperty::kXResolution, 2},
      {GFontProperty::kItalic, 6},
      {GFontProperty::kWeight, 9},
      {GFontProperty::kOwnEncoding, 10},
      {GFontProperty::kXScale, 11.5},
      {GFontProperty::kYScale, 12.5},
      {GFontProperty::kWholeRun, 14},
      {GFontProperty::kOrientation, 22},
      {GFontProperty::kEscapementAngle, 45.5},
      {GFontProperty::kRequestedWeight, 3},
      {GFontProperty::kRequestedItalic, 4},
      {GFontProperty::kBreakCode, 32},
      {GFontProperty::kHeight, 13},
      {GFontProperty::kPrinterFont, 1},
  };
  ASSERT_EQ(std::size(cases), kFontProperties.size());
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(FontPropertyRow(c.property).name));
    EXPECT_EQ(FontProperty(info, metrics, c.property), c.value);
  }
  EXPECT_EQ(FontPropertyValue(info, metrics, GFontProperty::kWeight), 9);
}

TEST(FontImp, RangeWidthsFillOutsideCodesWithTheDefaultWidthAndAskTheRestAsOneRange) {
  struct Case {
    const char* name;
    uint16_t first;
    uint16_t last;
    bool answerRanges;
    std::map<uint16_t, int16_t> widths;
    bool result;
    std::vector<int16_t> expected;
    size_t rangeQueries;
  };
  // The font covers 32..38; its default code is 33 (width 133).
  const auto all = WidthsOf({32, 33, 34, 35, 36, 37, 38});
  const Case cases[] = {
      {"wider_than_the_font", 30, 40, true, all, true, {133, 133, 132, 133, 134, 135, 136, 137, 138, 133, 133}, 1},
      {"inside_the_font", 34, 36, true, all, true, {134, 135, 136}, 1},
      {"wholly_below", 10, 12, true, all, true, {133, 133, 133}, 0},
      {"wholly_above", 50, 51, true, all, true, {133, 133}, 0},
      {"range_refused_codes_one_by_one", 35, 37, false, WidthsOf({33, 35, 37}), true, {135, 133, 137}, 1},
      {"outside_without_default_width", 30, 33, true, WidthsOf({32}), false, {0, 0, 0, 0}, 0},
      {"inside_needs_no_default", 34, 35, true, WidthsOf({34, 35}), true, {134, 135}, 1},
      {"refused_and_no_default", 34, 35, false, WidthsOf({34}), false, {0, 0}, 1},
      {"last_before_first", 40, 30, true, all, true, {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestFontImp body(RangeInfo(32, 38, 33), c.widths);
    body.Platform()->answerRanges = c.answerRanges;
    std::vector<int16_t> widths{1, 2, 3};
    EXPECT_EQ(body.GetRangeWidths(c.first, c.last, widths), c.result);
    if (c.result) {
      EXPECT_EQ(widths, c.expected);
    }
    EXPECT_EQ(body.Platform()->rangeQueries.size(), c.rangeQueries);
  }
}

TEST(FontImp, RangeQueryCoversOnlyTheFontsCodes) {
  TestFontImp body(RangeInfo(32, 38, 33), WidthsOf({32, 33, 34, 35, 36, 37, 38}));
  std::vector<int16_t> widths;
  ASSERT_TRUE(body.GetRangeWidths(30, 40, widths));
  ASSERT_EQ(body.Platform()->rangeQueries.size(), 1U);
  EXPECT_EQ(body.Platform()->rangeQueries[0], std::make_pair(uint16_t{32}, uint16_t{38}));
}

TEST(FontImp, WithoutAPlatformFontNoWidthIsKnown) {
  TestFontImp body(RangeInfo(0, 255, 32), GFontMetrics{}, nullptr);
  std::vector<int16_t> widths;
  EXPECT_FALSE(body.GetRangeWidths(65, 66, widths));
  EXPECT_EQ(body.PlatformQueryA(1, 2), 0);
}

// An OS factory whose font companion the test chooses.
class CompanionFactory : public GMemoryOSFactory {
 public:
  std::unique_ptr<MPersistentObject> CreateFontCompanion() override { return make(); }
  std::unique_ptr<MPersistentObject> (*make)() = nullptr;
};

TEST(FontImp, ANewBodyKeepsTheFactorysCompanionWhenItAnswersWidths) {
  CompanionFactory factory;
  GOSFactory::SetInstance(&factory);
  factory.make = [] { return std::unique_ptr<MPersistentObject>(new TestPlatformFont(WidthsOf({65}), 3)); };
  TestFontImp body(9, RangeInfo(0, 255, 65), GFontMetrics{});
  ASSERT_NE(body.Platform(), nullptr);
  std::vector<int16_t> widths;
  EXPECT_TRUE(body.GetRangeWidths(65, 65, widths));
  EXPECT_EQ(widths, std::vector<int16_t>{165});
  EXPECT_EQ(body.GetContext(), 9U);

  factory.make = [] { return std::unique_ptr<MPersistentObject>(new GPersistableULong(8)); };
  TestFontImp other(9, RangeInfo(0, 255, 65), GFontMetrics{});
  EXPECT_EQ(other.GetPlatformFont(), nullptr) << "an object that answers no widths is dropped";
  GOSFactory::SetInstance(nullptr);
}

TEST(FontImp, PlatformQueriesGetTheContextTheSixteenBitSizeAndTheCallersValues) {
  GFontInfo info;
  info.height = 30000;
  info.verticalSize2 = 10000;  // the sum wraps to -25536
  TestFontImp body(info, GFontMetrics{}, std::make_unique<TestPlatformFont>(), 3);
  EXPECT_EQ(body.PlatformQueryA(4, 5), 3 * 1000000 + (-25536) * 1000 + 45);
  EXPECT_EQ(body.PlatformQueryB(4, 5), -(3 * 1000000 + (-25536) * 1000 + 45));
}

TEST(FontImp, ChangeCountStopsAtItsLargestValue) {
  TestFontImp body(GFontInfo{});
  EXPECT_EQ(body.BumpChangeCount(), 1U);
  EXPECT_EQ(body.BumpChangeCount(), 2U);
  // A body restored with the largest count (the last stored word).
  std::string stored = SaveContentsToFileBytes(body);
  stored.replace(stored.size() - 4, 4, "\xFF\xFF\xFF\xFF");
  TestFontImp top;
  ASSERT_EQ(RestoreContentsFromFileBytes(top, stored), stored.size());
  EXPECT_EQ(top.BumpChangeCount(), 0xFFFFFFFFU);
}

TEST(FontImp, FontIdsComeFromTheProcessWideCounter) {
  const uint32_t next = GFontDatabase::NextFontId();
  TestFontImp first(GFontInfo{});
  TestFontImp second(GFontInfo{});
  EXPECT_EQ(first.GetFontId(), next + 1);
  EXPECT_EQ(second.GetFontId(), next + 2);
}

GFontInfo FullInfo() {
  GFontInfo info;
  info.resolution = 300;
  info.fontValue2 = 2;
  info.verticalSize1 = 3;
  info.verticalSize2 = 4;
  info.verticalSize3 = 5;
  info.fontValue6 = 6;
  info.fontValue7 = 7;
  info.fontValue8 = 8;
  info.fontValue9 = 700;
  info.fontValue10 = 16;
  info.fontValue11 = 1.25F;
  info.fontValue12 = 0.5F;
  info.height = 48;
  info.fontValue14 = 1;
  info.fontValue15 = 15;
  info.horizontalSize1 = 20;
  info.horizontalSize2 = 21;
  info.firstCode = 32;
  info.lastCode = 0x7E;
  info.defaultCode = 0x3F;
  info.breakCode = 0x20;
  info.faceName = "Arial";
  info.fontValue22 = 90;
  info.downloadMode = 3;
  return info;
}

GFontMetrics FullMetrics() {
  GFontMetrics metrics;
  metrics.floatMetric1 = GFloatValue(12.75F);
  metrics.floatMetric2 = GFloatValue(45.5F);
  metrics.metric3 = 400;
  metrics.metric4 = 1;
  metrics.metric5 = -5;
  metrics.metric6 = 6;
  metrics.flags = 2;
  metrics.floatMetric8 = GFloatValue(3.9F);
  metrics.metric9 = 9;
  metrics.metric10 = 10;
  return metrics;
}

TEST(FontImp, StoredFormInFieldOrder) {
  TestFontImp body(FullInfo(), FullMetrics(), nullptr, 7);
  body.SetSerialNumber(5);
  body.BumpChangeCount();
  const std::string expected = Words({1, 0, 5, 1}) + Shorts({300, 2, 3, 4, 5}) + Words({6, 7, 8}) + Shorts({700}) +
                               Words({16}) + std::string("\x00\x00\xA0\x3F\x00\x00\x00\x3F", 8) + Shorts({48}) +
                               Words({1, 15}) + Shorts({20, 21}) + Shorts({32, 0x7E, 0x3F, 0x20}) + Words({5}) +
                               "Arial" + Words({90}) + Shorts({3}) +
                               // Float metrics 1 and 2 truncated, metric 3, metrics 4 to 6, flags,
                               // float metric 8 truncated, metrics 9 and 10.
                               Words({12, 45}) + Shorts({400}) + Words({1, static_cast<uint32_t>(-5), 6, 2, 3, 9, 10}) +
                               // No platform font: the nil object, after the graph start that a
                               // save of a body alone writes before its first reference.
                               Words({0x8888}) + kNilObject + Words({body.GetFontId(), 1});
  EXPECT_EQ(SaveContentsToFileBytes(body), expected);
  EXPECT_EQ(body.StoredSize(), 12 + 5 + 110 + 4 + 14U);
}

TEST(FontImp, RoundTripLosesFloatMetricFractionsButKeepsTheFloatFontValues) {
  GFontMetrics whole = FullMetrics();
  whole.floatMetric1 = GFloatValue(12);
  whole.floatMetric2 = GFloatValue(45);
  TestFontImp wholeBody(FullInfo(), whole, std::make_unique<TestPlatformFont>(WidthsOf({65}), 4), 7);
  EXPECT_TRUE(RoundTrips(wholeBody));
  EXPECT_TRUE(RoundTrips(TestFontImp(FullInfo(), whole, nullptr)));

  TestFontImp body(FullInfo(), FullMetrics(), std::make_unique<TestPlatformFont>(WidthsOf({65}), 4), 7);
  body.BumpChangeCount();

  GObjectRef restored = RestoreGraph(StoreForm::kFile, SaveGraph(StoreForm::kFile, &body));
  const auto* copy = dynamic_cast<const TestFontImp*>(restored.Get());
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->GetFloatMetric1().Get(), 12.0F);
  EXPECT_EQ(copy->GetFloatMetric2().Get(), 45.0F);
  EXPECT_EQ(copy->GetFloatMetric8().Get(), 3.0F);
  EXPECT_EQ(copy->GetFontValue11(), 1.25F);
  EXPECT_EQ(copy->GetFontValue12(), 0.5F);
  EXPECT_EQ(copy->GetContext(), 0U);
  EXPECT_EQ(copy->GetFontId(), body.GetFontId());
  EXPECT_EQ(copy->GetChangeCount(), 1U);
  ASSERT_NE(copy->Platform(), nullptr);
  EXPECT_TRUE(copy->Platform()->SameContent(*body.Platform()));
}

TEST(FontImp, TruncatedStoredBodiesNeverRestoreAsGood) {
  TestFontImp body(FullInfo(), FullMetrics(), std::make_unique<TestPlatformFont>(WidthsOf({65}), 4), 7);
  const std::string stored = SaveGraph(StoreForm::kFile, &body);
  for (size_t length = 0; length < stored.size(); ++length) {
    SCOPED_TRACE(length);
    bool good = true;
    const GObjectRef restored = RestoreGraph(StoreForm::kFile, stored.substr(0, length), good);
    EXPECT_TRUE(restored.IsEmpty() || !good);
  }
}

TEST(FontImp, SameContentComparesDescriptionMeasuresAndPlatformFont) {
  struct Case {
    const char* name;
    void (*change)(GFontInfo& info, GFontMetrics& metrics, int16_t& platformTag, bool& platform);
    bool same;
  };
  const Case cases[] = {
      {"identical", [](GFontInfo&, GFontMetrics&, int16_t&, bool&) {}, true},
      {"face_name", [](GFontInfo& i, GFontMetrics&, int16_t&, bool&) { i.faceName = "Arial2"; }, false},
      {"float_font_value", [](GFontInfo& i, GFontMetrics&, int16_t&, bool&) { i.fontValue12 = 0.25F; }, false},
      {"download_mode", [](GFontInfo& i, GFontMetrics&, int16_t&, bool&) { i.downloadMode = 0; }, false},
      {"float_metric_2", [](GFontInfo&, GFontMetrics& m, int16_t&, bool&) { m.floatMetric2 = GFloatValue(1); }, false},
      {"metric_10", [](GFontInfo&, GFontMetrics& m, int16_t&, bool&) { m.metric10 = 0; }, false},
      {"flags_ignored", [](GFontInfo&, GFontMetrics& m, int16_t&, bool&) { m.flags = 0; }, true},
      {"float_metric_8_ignored", [](GFontInfo&, GFontMetrics& m, int16_t&, bool&) { m.floatMetric8 = GFloatValue(); },
       true},
      {"platform_font_content", [](GFontInfo&, GFontMetrics&, int16_t& t, bool&) { t = 9; }, false},
      {"platform_font_missing_on_one_side", [](GFontInfo&, GFontMetrics&, int16_t&, bool& p) { p = false; }, false},
  };
  const TestFontImp base(FullInfo(), FullMetrics(), std::make_unique<TestPlatformFont>(WidthsOf({}), 1));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GFontInfo info = FullInfo();
    GFontMetrics metrics = FullMetrics();
    int16_t tag = 1;
    bool platform = true;
    c.change(info, metrics, tag, platform);
    const TestFontImp other(info, metrics, platform ? std::make_unique<TestPlatformFont>(WidthsOf({}), tag) : nullptr);
    EXPECT_EQ(base.SameContent(other), c.same);
    EXPECT_EQ(other.SameContent(base), c.same);
  }
  const TestFontImp bare1(FullInfo(), FullMetrics(), nullptr);
  const TestFontImp bare2(FullInfo(), FullMetrics(), nullptr);
  EXPECT_TRUE(bare1.SameContent(bare2)) << "two bodies without platform fonts";
  // A stored description may hold a float that is not a number; the body
  // restored from it is still itself.
  GFontInfo notANumber = FullInfo();
  notANumber.fontValue11 = std::numeric_limits<float>::quiet_NaN();
  const TestFontImp odd(notANumber, FullMetrics(), nullptr);
  EXPECT_TRUE(odd.SameContent(odd));
}

// A root for the host's font classes: no fields of its own.
class TestFontBase : public GFontBase {
 public:
  static constexpr RWClassID kClassID = 0x7EE3;
  int32_t HostOperation1() override { return 1; }
  int32_t HostOperation2() override { return 2; }
  int32_t HostOperation3() override { return 3; }
  int32_t HostOperation4() override { return 4; }
  RWCollectable* NewInstance() const override { return new TestFontBase; }
  RWCollectable* Clone() const override { return new TestFontBase(*this); }
  RWClassID ClassID() const override { return kClassID; }
};

const GClassRegistrar kTestFontBaseRegistrar(CreateCollectable<TestFontBase>, TestFontBase::kClassID, "TestFontBase");

TEST(FontBase, StoresItsVersionAndReadsAnyVersionBack) {
  TestFontBase base;
  base.SetKey(4);
  base.SetSerialNumber(6);
  EXPECT_EQ(SaveContentsToFileBytes(base), Words({1, 4, 6, 1}));
  EXPECT_TRUE(RoundTrips(base));
  TestFontBase read;
  EXPECT_EQ(RestoreContentsFromFileBytes(read, Words({1, 5, 6, 7})), 16U) << "version 7 read, not examined";
  EXPECT_EQ(read.Key(), 5);
  EXPECT_TRUE(base.IsKindOf(kGFontBaseClassID));
  EXPECT_TRUE(base.IsKindOf(kMPersistentObjectClassID));
}

}  // namespace
