#include "graphics/fonts/font.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "graphics/fonts/testing/test_font.h"
#include "graphics/fonts/text_string.h"

namespace {

GFontInfo Info() {
  GFontInfo info;
  info.resolution = 600;
  info.fontValue10 = 17;
  info.height = 40;
  info.firstCode = 32;
  info.lastCode = 126;
  info.breakCode = 32;
  info.faceName = "Face";
  return info;
}

TEST(Font, HandlesCountOnTheBodyAndTheLastOneDeletesIt) {
  auto* body = new TestFontImp(Info());
  body->SetContext(42);
  auto first = std::make_unique<TestFont>(body);
  EXPECT_EQ(body->UseCount(), 1);
  auto copy = std::make_unique<TestFont>(*first);
  EXPECT_EQ(copy->GetBody(), body);
  EXPECT_EQ(body->UseCount(), 2);
  first.reset();
  // The body stays for the other handle but loses the released handle's
  // context.
  EXPECT_EQ(body->UseCount(), 1);
  EXPECT_EQ(copy->GetContext(), 0U);
  copy.reset();  // deletes the body (ASan reports a leak or a double delete)
}

TEST(Font, InterfaceForwardsToTheBody) {
  GFontMetrics metrics;
  metrics.floatMetric2 = GFloatValue(90);
  metrics.metric3 = 700;
  TestFont font(new TestFontImp(Info(), metrics, std::make_unique<TestPlatformFont>()));
  EXPECT_EQ(&font.GetFontInfo(), &font.GetBody()->GetFontInfo());
  EXPECT_EQ(font.GetResolution(), 600);
  EXPECT_EQ(font.GetFontValue10(), 17);
  EXPECT_EQ(font.GetHeight(), 40);
  EXPECT_EQ(font.GetBreakCode(), 32);
  EXPECT_EQ(font.GetName(), "Face");
  EXPECT_EQ(font.GetFloatMetric2().Get(), 90.0F);
  EXPECT_EQ(font.GetMetric3(), 700);
  font.SetGeneratorValue16(-3);
  font.SetGeneratorValue32(0x12345678);
  EXPECT_EQ(font.GetBody()->GetGeneratorValue16(), -3);
  EXPECT_EQ(font.GetGeneratorValue32(), 0x12345678);
  font.SetDownloadMode(2);
  EXPECT_EQ(font.GetFontInfo().downloadMode, 2);
}

TEST(Font, SwapDeviceAnswersThePreviousOne) {
  auto* first = reinterpret_cast<GGraphicsDevice*>(0x10);
  auto* second = reinterpret_cast<GGraphicsDevice*>(0x20);
  TestFont font(new TestFontImp(Info()), first);
  EXPECT_EQ(font.SwapDevice(second), first);
  EXPECT_EQ(font.GetDevice(), second);
}

TEST(Font, DownloadedFontRefIsAttachedToAndTakenFromTheBody) {
  struct Ref : GDownloadedFontRef {
    using GDownloadedFontRef::GDownloadedFontRef;
    GDownloadedFontRef* Duplicate() const override { return new Ref(&Font()); }
  };
  TestFont font(new TestFontImp(Info()));
  TestFont other(font);
  EXPECT_EQ(font.GetDownloadedFontRef(), nullptr);
  auto* record = new GDownloadedFont(nullptr);
  font.SetDownloadedFontRef(std::make_unique<Ref>(record));
  EXPECT_EQ(&other.GetDownloadedFontRef()->Font(), record) << "shared through the body";
  std::unique_ptr<GDownloadedFontRef> taken = other.TakeDownloadedFontRef();
  EXPECT_EQ(&taken->Font(), record);
  EXPECT_EQ(font.GetDownloadedFontRef(), nullptr);
}

TEST(Font, DownloadUsedCodesSendsEveryUsedCodeAscendingWithTheFontsEncoding) {
  struct Case {
    const char* name;
    std::vector<uint32_t> used;
    int32_t (*answer)(uint32_t code);
    int32_t ready;
    int32_t result;
  };
  const Case cases[] = {
      {"all_sent", {300, 65, 0x4E00, 66}, [](uint32_t) { return 1; }, 1, 1},
      {"body_not_ready", {65}, [](uint32_t) { return 1; }, 3, 3},
      {"last_download_failed", {65, 66}, [](uint32_t code) { return code == 66 ? 0 : 1; }, 1, 0},
      {"earlier_failure_does_not_count", {65, 66}, [](uint32_t code) { return code == 65 ? 0 : 1; }, 1, 1},
      {"nothing_used", {}, [](uint32_t) { return 1; }, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto* body = new TestFontImp(Info());
    TestFont font(body);
    body->downloadAnswer = c.answer;
    body->ready = c.ready;
    for (uint32_t code : c.used) body->UsedCodes().Add(code);
    EXPECT_EQ(font.DownloadUsedCodes(), c.result);
    std::vector<uint32_t> sorted = c.used;
    std::sort(sorted.begin(), sorted.end());
    ASSERT_EQ(body->downloads.size(), sorted.size());
    for (size_t i = 0; i < sorted.size(); ++i) {
      EXPECT_EQ(body->downloads[i].first, sorted[i]);
      EXPECT_EQ(body->downloads[i].second, 17);
    }
  }
}

GTextString Text(std::vector<uint16_t> codes) {
  return GTextString(GCodeBlock<uint16_t>(std::move(codes)), GTextString::kUnicodeEncoding);
}

TEST(Font, TextWidthsFallBackToTheDefaultCodeAskedOnce) {
  struct Case {
    const char* name;
    std::vector<uint16_t> codes;
    std::map<uint16_t, int16_t> widths;
    bool result;
    std::vector<int16_t> expected;
  };
  const Case cases[] = {
      {"every_code_has_a_width", {65, 66, 65}, {{65, 10}, {66, 12}}, true, {10, 12, 10}},
      {"missing_code_takes_the_default", {65, 300, 66}, {{63, 7}, {65, 10}, {66, 12}}, true, {10, 7, 12}},
      {"no_default_stops_at_the_first_missing_code", {65, 300, 66}, {{65, 10}, {66, 12}}, false, {10, 0, 0}},
      {"empty_text", {}, {}, true, {}},
  };
  GFontInfo info = Info();
  info.defaultCode = 63;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestFont font(new TestFontImp(info, c.widths));
    std::vector<int16_t> widths{9, 9, 9, 9};
    EXPECT_EQ(font.GetTextWidths(Text(c.codes), widths), c.result);
    EXPECT_EQ(widths, c.expected);
  }
}

TEST(Font, MarkCodesUsedGathersTheCodesThatDownloadUsedCodesSends) {
  auto* body = new TestFontImp(Info());
  TestFont font(body);
  TestFont other(font);
  EXPECT_EQ(font.MarkCodesUsed(Text({0x4E00, 65, 65})), 3);
  EXPECT_EQ(other.MarkCodesUsed(Text({66})), 1);
  font.DownloadUsedCodes();
  std::vector<uint32_t> sent;
  for (const auto& [code, encoding] : body->downloads) sent.push_back(code);
  EXPECT_EQ(sent, (std::vector<uint32_t>{65, 66, 0x4E00}));
}

TEST(Font, PreparationIsSkippedForPrinterFontsAndRefusedWhenTheBodyIsNotReady) {
  struct Case {
    const char* name;
    uint32_t flags;
    int32_t ready;
    int32_t textResult;
    int32_t faceResult;
    bool hooksCalled;
  };
  const Case cases[] = {
      {"ready", 0, 1, 5, 7, true},
      {"printer_font", GFontMetrics::kResidentFlag, 0, 1, 1, false},
      {"not_ready", 1, 0, 0, 0, false},
      {"ready_must_be_one", 0, 2, 0, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GFontMetrics metrics;
    metrics.flags = c.flags;
    auto* body = new TestFontImp(Info(), metrics, nullptr);
    body->ready = c.ready;
    TestFont font(body);
    GTextString text;
    EXPECT_EQ(font.PrepareText(text, 2), c.textResult);
    EXPECT_EQ(font.PrepareFace(1, nullptr), c.faceResult);
    EXPECT_EQ(body->textModes, c.hooksCalled ? std::vector<int32_t>{2} : std::vector<int32_t>{});
    EXPECT_EQ(body->faceModes, c.hooksCalled ? std::vector<int32_t>{1} : std::vector<int32_t>{});
  }
}

TEST(Font, SameContentAcceptsTheSameBodyOrEqualBodies) {
  TestFont font(new TestFontImp(Info(), GFontMetrics{}, nullptr));
  TestFont sharing(font);
  TestFont equal(new TestFontImp(Info(), GFontMetrics{}, nullptr));
  GFontInfo otherInfo = Info();
  otherInfo.height = 41;
  TestFont different(new TestFontImp(otherInfo, GFontMetrics{}, nullptr));
  TestFont empty;
  EXPECT_TRUE(font.SameContent(sharing));
  EXPECT_TRUE(font.SameContent(equal));
  EXPECT_FALSE(font.SameContent(different));
  EXPECT_FALSE(font.SameContent(empty));
  EXPECT_TRUE(empty.SameContent(TestFont{}));
  TestFont keyed(font);
  keyed.SetKey(5);
  EXPECT_FALSE(font.SameContent(keyed)) << "root parts differ";
}

TEST(Font, IsKindOfTheFontAndTheRoot) {
  TestFont font;
  EXPECT_TRUE(font.IsKindOf(kGFontClassID));
  EXPECT_TRUE(font.IsKindOf(kMPersistentObjectClassID));
  EXPECT_FALSE(font.IsKindOf(kGFontImpClassID));
  TestFontImp body;
  EXPECT_TRUE(body.IsKindOf(kGFontImpClassID));
}

}  // namespace
