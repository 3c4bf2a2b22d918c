// The page-scaling filter: which jobs it scales, how each page is placed
// and announced, what it does to the commands of a page, its answers to
// the scale query, and its stored form.
#include "pipeline/filters/scale_page_filter.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "device/testing/test_device_tree.h"
#include "graphics/testing/command_recording_peripheral.h"
#include "model/testing/round_trip.h"
#include "pipeline/peripheral_composite.h"
#include "pipeline/tests/page_transform_test_support.h"

namespace {

// A filter that has started a job at the percentage (-1: no setting).
struct ScaledJob {
  explicit ScaledJob(int16_t percent) {
    GDocumentStart* start = NewDocumentStart();
    if (percent >= 0) AddValue(*start->GetState(), GScalePageFilter::kScaleKey, percent);
    startAnswer = Send(filter, start);
  }

  GScalePageFilter filter{RWCString("scale"), nullptr, nullptr, 0};
  GObjectRef startAnswer;
};

const GTransformAttribute kHalf(0, GPoint{}, GScale{0.5F, 0.5F});

TEST(ScalePageFilter, OnlyAJobWithAScaleOtherThanOneIsScaled) {
  struct Case {
    const char* name;
    int16_t percent;
    bool scaling;
    float scale;
  };
  const Case cases[] = {
      {"half", 50, true, 0.5F},
      {"double", 200, true, 2.0F},
      {"full_size", 100, false, 1.0F},
      {"no_setting", -1, false, 1.0F},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // The same filter scaled the job before.
    ScaledJob job(50);
    job.filter.ResetJob();
    GDocumentStart* start = NewDocumentStart();
    if (c.percent >= 0) AddValue(*start->GetState(), GScalePageFilter::kScaleKey, c.percent);
    const GObjectRef answer = Send(job.filter, start);
    EXPECT_EQ(answer.Get(), start) << "the document start passes";
    EXPECT_EQ(job.filter.IsEnabled(), c.scaling);
    EXPECT_EQ(job.filter.IsScaling(), c.scaling);
    EXPECT_EQ(job.filter.Scale(), c.scale);
    EXPECT_EQ(job.filter.GetEmulatedFeatures(), c.scaling ? 10U : 0U);
    EXPECT_EQ(job.filter.IsScalable(), 1);

    // A filter that is off passes the pages untouched.
    auto* page = new GPageStart(0);
    const GObjectRef pageAnswer = Send(job.filter, page);
    EXPECT_EQ(pageAnswer.Get() == page, !c.scaling) << "only scaled pages are announced";
    EXPECT_EQ(page->GetState()->EntryCount(), c.scaling ? 1U : 0U);
  }
}

// At half size every page start is followed by the scale; a command that
// carries a transform leaves with the page's scale composed into it; one
// without keeps its state as it was.
TEST(ScalePageFilter, AHalfSizeJobAnnouncesEveryPageAndScalesWhatCarriesATransform) {
  ScaledJob job(50);
  for (int page = 1; page <= 2; ++page) {
    SCOPED_TRACE(page);
    auto* start = new GPageStart(0);
    const GObjectRef announced = Send(job.filter, start);
    const GTransformAttribute* transform = AnnouncedTransform(announced, start);
    ASSERT_NE(transform, nullptr);
    EXPECT_TRUE(SameValues(*transform, kHalf));
    ASSERT_NE(TransformOf(*start), nullptr) << "the page state holds the page transform";
    EXPECT_TRUE(SameValues(*TransformOf(*start), kHalf));
    EXPECT_NE(TransformOf(*start), transform) << "the announcement holds a copy";

    const GTransformAttribute own(0, GPoint{100, 0}, GScale{});
    const GObjectRef graphic(NewGraphicWith(own));
    EXPECT_EQ(Send(job.filter, graphic.Get()).Get(), graphic.Get());
    ASSERT_NE(TransformOf(*graphic), nullptr);
    EXPECT_TRUE(SameValues(*TransformOf(*graphic), GTransformAttribute(0, GPoint{50, 0}, GScale{0.5F, 0.5F})));
    EXPECT_TRUE(SameValues(*TransformOf(*graphic), Composed(kHalf, own))) << "the page transform is the outer one";

    const GObjectRef plain(new GNullCommand(new GState(5), 0));
    EXPECT_EQ(Send(job.filter, plain.Get()).Get(), plain.Get());
    EXPECT_EQ(static_cast<GCommand&>(*plain).GetState()->EntryCount(), 0U) << "a command without a transform gets none";
  }
}

// A stage that also notes each transform applied to it, with its scale.
class TransformRecorder : public CommandRecordingPeripheral {
 public:
  uint16_t ApplyTransform(GTransformAttribute& transform) override {
    calls.push_back({"ApplyTransform", &transform});
    scales.push_back(transform.GetScale());
    return 0;
  }
  std::vector<GScale> scales;
};

// In a pipeline the stage after the filter is handed the page start and
// then the announced scale, which it applies.
TEST(ScalePageFilter, TheNextStageAppliesTheAnnouncedScaleAfterThePageStart) {
  GPeripheralComposite chain(RWCString("chain"), nullptr, nullptr, 76, 64, 6, 2);
  chain.AddChild(new GScalePageFilter(RWCString("scale"), nullptr, nullptr, 1));
  auto* next = new TransformRecorder;
  chain.AddChild(next);
  chain.ResetJob();
  GDocumentStart* start = NewDocumentStart();
  AddValue(*start->GetState(), GScalePageFilter::kScaleKey, 50);
  Send(chain, start);
  Send(chain, new GPageStart(0));

  ASSERT_GE(next->calls.size(), 2U);
  EXPECT_EQ(next->calls[next->calls.size() - 2].handler, "PageStart");
  EXPECT_EQ(next->calls.back().handler, "ApplyTransform");
  ASSERT_FALSE(next->scales.empty());
  for (const GScale& scale : next->scales) EXPECT_EQ(scale, (GScale{0.5F, 0.5F}));
}

// A transform that another holder shares keeps its values: the command
// gets a changed copy in its place.
TEST(ScalePageFilter, ATransformSharedWithAnotherHolderIsNotChangedForIt) {
  ScaledJob job(50);
  Send(job.filter, new GPageStart(0));
  const GObjectRef shared(new GTransformAttribute(0, GPoint{100, 20}, GScale{}));
  const GObjectRef bundle(new GGraphicBundle);
  bundle->AddChild(shared.Get());
  auto* graphic = new GNullCommand(static_cast<GState*>(bundle.Get()), 0);
  const GObjectRef answer = Send(job.filter, graphic);
  const auto& original = static_cast<const GTransformAttribute&>(*shared);
  EXPECT_TRUE(SameValues(original, GTransformAttribute(0, GPoint{100, 20}, GScale{})));
  ASSERT_NE(TransformOf(*graphic), nullptr);
  EXPECT_TRUE(SameValues(*TransformOf(*graphic), Composed(kHalf, original)));
}

// A transform that the page state already holds is applied after the
// scale: the scale is the inner transform there.
TEST(ScalePageFilter, APageTransformAlreadyThereIsAppliedAfterTheScale) {
  ScaledJob job(50);
  const GTransformAttribute placed(90, GPoint{100, 50}, GScale{0.5F, 2.0F});
  auto* start = new GPageStart(0);
  start->GetState()->AddChild(static_cast<MPersistentObject*>(placed.Clone()));
  const GObjectRef announced = Send(job.filter, start);

  const GTransformAttribute expected = Composed(placed, kHalf);
  EXPECT_TRUE(SameValues(expected, GTransformAttribute(90, GPoint{100, 50}, GScale{0.25F, 1.0F})));
  ASSERT_NE(TransformOf(*start), nullptr);
  EXPECT_TRUE(SameValues(*TransformOf(*start), expected));
  const GTransformAttribute* transform = AnnouncedTransform(announced, start);
  ASSERT_NE(transform, nullptr);
  EXPECT_TRUE(SameValues(*transform, expected));
  EXPECT_TRUE(SameValues(job.filter.PageTransform(), kHalf)) << "the filter's own transform stays the scale";
}

TEST(ScalePageFilter, APageStartWithoutAStateStillAnnouncesTheScale) {
  ScaledJob job(50);
  auto* start = new GPageStart(0);
  const GObjectRef state(start->TakeState());
  const GObjectRef announced = Send(job.filter, start);
  const GTransformAttribute* transform = AnnouncedTransform(announced, start);
  ASSERT_NE(transform, nullptr);
  EXPECT_TRUE(SameValues(*transform, kHalf));
  EXPECT_EQ(start->GetState(), nullptr);
}

TEST(ScalePageFilter, AnswersTheScaleOfTheJobSettingsUnlessTheChainHasAnswered) {
  struct Case {
    const char* name;
    int16_t percent;  // -1: no setting; -2: no settings object
    int32_t mode;
    std::pair<float, float> factor;
  };
  const Case cases[] = {
      {"chain_answered", 50, 3, {0.0F, 0.0F}},  {"half", 50, 0, {0.5F, 0.5F}},
      {"quarter_more", 125, 0, {1.25F, 1.25F}}, {"no_setting", -1, 0, {1.0F, 1.0F}},
      {"no_settings", -2, 0, {1.0F, 1.0F}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GScalePageFilter filter;
    const GObjectRef settings(new GState(246));
    if (c.percent >= 0) AddValue(*settings, GScalePageFilter::kScaleKey, c.percent);
    GState* given = c.percent == -2 ? nullptr : static_cast<GState*>(settings.Get());
    std::pair<float, float> factor{7.0F, 7.0F};
    int32_t mode = c.mode;
    EXPECT_EQ(&filter.GetScaleFactor(factor, given, nullptr, 1, &mode), &factor);
    EXPECT_EQ(factor, c.factor);
    EXPECT_EQ(mode, c.mode) << "the mode word is left as it was";
  }
}

TEST(ScalePageFilter, RoundTripsAndARestoreStartsWithoutScale) {
  const GObjectRef fresh(new GScalePageFilter(RWCString("scale"), nullptr, nullptr, 12));
  EXPECT_TRUE(RoundTrips(*fresh));

  ScaledJob job(50);
  Send(job.filter, new GPageStart(0));
  EXPECT_TRUE(RoundTrips(job.filter));
  const GObjectRef copy(static_cast<MPersistentObject*>(job.filter.Clone()));
  const auto& clone = static_cast<const GScalePageFilter&>(*copy);
  EXPECT_EQ(clone.Scale(), 0.5F) << "a clone copies every field";
  EXPECT_TRUE(clone.IsScaling());
  EXPECT_TRUE(SameValues(clone.PageTransform(), kHalf));

  RestoreContentsFromFileBytes(job.filter, SaveContentsToFileBytes(job.filter));
  EXPECT_EQ(job.filter.Scale(), 1.0F);
  EXPECT_TRUE(SameValues(job.filter.PageTransform(), GTransformAttribute()));
}

TEST(ScalePageFilter, ItsStoredPartIsTheVersionWord) {
  ExpectOnlyAVersionWordAfterThePeripheralPart(GScalePageFilter(RWCString("scale"), nullptr, nullptr, 12));
}

}  // namespace
