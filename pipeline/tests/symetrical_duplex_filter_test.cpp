// The symmetrical-duplex filter: the placement that evens the margins of a
// medium, which jobs the filter works for, the pages it moves and the sides
// on which a new duplex value takes effect, its answers to the scale query,
// and its stored form.
#include "pipeline/filters/symetrical_duplex_filter.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <utility>

#include "device/testing/test_device_tree.h"
#include "graphics/testing/test_graphics_device.h"
#include "model/testing/round_trip.h"
#include "pipeline/tests/page_transform_test_support.h"

namespace {

constexpr int16_t kNone = -1;

struct Medium {
  GDotPair paper;
  GDotPair printable;
  GDotPair origin;
};

// Paper 5000 x 6000, printable 4000 x 5600 at (250, 200): the right margin
// is 500 dots smaller than the left one, top and bottom agree.
constexpr Medium kUneven{{5000, 6000}, {4000, 5600}, {250, 200}};
constexpr Medium kCentred{{5000, 6000}, {4000, 5600}, {500, 200}};
const GTransformAttribute kUnevenPlacement(0, GPoint{532, 375}, GScale{0.875F, 0.875F});

std::unique_ptr<GMedia> NewMedium(const Medium& m) {
  std::unique_ptr<GMedia> medium = MakeMedium(1, m.paper, m.printable, m.origin);
  medium->SetKey(GSymetricalDuplexFilter::kMediumKey);
  return medium;
}

// A page start whose state holds the duplex value (unless kNone) and the
// medium.
GPageStart* NewPage(int16_t duplex, const Medium& medium = kUneven) {
  auto* start = new GPageStart(0);
  if (duplex != kNone) AddValue(*start->GetState(), GSymetricalDuplexFilter::kDuplexKey, duplex);
  start->GetState()->AddChild(NewMedium(medium).release());
  return start;
}

// A graphics device whose device description holds key 204 (unless
// kNone).
struct Device {
  explicit Device(int16_t supported) {
    TestDeviceTree tree = MakeDeviceTree();
    if (supported != kNone) AddValue(*tree.configuration, GSymetricalDuplexFilter::kSupportedKey, supported);
    graphics.SetSettingsRoot(std::move(tree.root));
  }
  TestGraphicsDevice graphics;
};

// A filter, on a device that supports the placement, that has started a
// job with the duplex value and no-scaling setting (kNone: absent).
struct DuplexJob {
  explicit DuplexJob(int16_t duplex = 1, int16_t noScaling = 0) { Start(duplex, noScaling); }

  void Start(int16_t duplex, int16_t noScaling) {
    filter.ResetJob();
    GDocumentStart* start = NewDocumentStart(&device.graphics);
    if (duplex != kNone) AddValue(*start->GetState(), GSymetricalDuplexFilter::kDuplexKey, duplex);
    if (noScaling != kNone) AddValue(*start->GetState(), GSymetricalDuplexFilter::kNoScalingKey, noScaling);
    startAnswer = Send(filter, start);
  }

  Device device{1};
  GSymetricalDuplexFilter filter{RWCString("duplex"), nullptr, nullptr, 0};
  GObjectRef startAnswer;
};

TEST(SymmetricalPlacement, EvensTheMarginsWithTheSmallerFactorAndCentres) {
  struct Case {
    const char* name;
    std::optional<Medium> medium;
    GTransformAttribute placement;
  };
  const GTransformAttribute identity;
  const Case cases[] = {
      // s = 1 - 500 / 4000; x: (5000 - 3500) / 2 - 218.75 -> 750 - 218;
      // y: (6000 - 4900) / 2 - 175.
      {"right_margin_smaller", kUneven, kUnevenPlacement},
      {"centred_area", kCentred, identity},
      // The top margin is 1000 dots larger: s = 1 - 1000 / 4000;
      // x: (5000 - 3600) / 2 - 75; y: (6000 - 3000) / 2 - 1125.
      {"top_margin_larger", Medium{{5000, 6000}, {4800, 4000}, {100, 1500}},
       GTransformAttribute(0, GPoint{625, 375}, GScale{0.75F, 0.75F})},
      // x alone gives 0.875, y 1 - 200 / 5600; y: 550 - ftol(262.5).
      {"both_axes_smaller_factor", Medium{{5000, 6000}, {4000, 5600}, {250, 300}},
       GTransformAttribute(0, GPoint{532, 288}, GScale{0.875F, 0.875F})},
      {"no_printable_width", Medium{{5000, 6000}, {0, 5600}, {250, 200}}, identity},
      {"no_printable_height", Medium{{5000, 6000}, {4000, 0}, {250, 200}}, identity},
      {"no_medium", std::nullopt, identity},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::unique_ptr<GMedia> medium = c.medium ? NewMedium(*c.medium) : nullptr;
    EXPECT_TRUE(SameValues(SymmetricalPlacement(medium.get()), c.placement));
  }
}

TEST(SymetricalDuplexFilter, WorksForAJobOnlyWhenTheDeviceSupportsItAndTheJobSaysHowToScale) {
  struct Case {
    const char* name;
    bool withDevice;
    int16_t supported;
    bool withDocumentState;
    int16_t duplex;
    int16_t noScaling;
    bool enabled;
    uint32_t features;
  };
  const Case cases[] = {
      {"scaling", true, 1, true, 1, 0, true, 10},        {"not_scaling", true, 1, true, 1, 1, true, 0},
      {"simplex_job", true, 1, true, 0, 0, true, 10},    {"no_scaling_setting", true, 1, true, 1, kNone, false, 10},
      {"not_supported", true, 0, true, 1, 0, false, 10}, {"no_support_setting", true, kNone, true, 1, 0, false, 10},
      {"no_device", false, 1, true, 1, 0, false, 10},    {"no_document_state", true, 1, false, 1, 0, false, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Device device(c.supported);
    GSymetricalDuplexFilter filter(RWCString("duplex"), nullptr, nullptr, 0);
    GDocumentStart* start = NewDocumentStart(c.withDevice ? &device.graphics : nullptr);
    if (c.duplex != kNone) AddValue(*start->GetState(), GSymetricalDuplexFilter::kDuplexKey, c.duplex);
    if (c.noScaling != kNone) AddValue(*start->GetState(), GSymetricalDuplexFilter::kNoScalingKey, c.noScaling);
    const GObjectRef state(c.withDocumentState ? nullptr : start->TakeState());
    EXPECT_EQ(Send(filter, start).Get(), start) << "the document start passes";
    EXPECT_EQ(filter.IsEnabled(), c.enabled);
    EXPECT_EQ(filter.GetEmulatedFeatures(), c.features);
    EXPECT_EQ(filter.IsScalable(), 1);
    if (c.enabled) {
      EXPECT_EQ(filter.DuplexValue(), c.duplex);
    }
  }
}

// A duplex page of the uneven medium is shrunk and centred; the page state
// and the announcement hold the placement, and a command's own transform
// gets it as the outer one.
TEST(SymetricalDuplexFilter, ADuplexPageIsPlacedAndItsCommandsFollow) {
  DuplexJob job;
  GPageStart* start = NewPage(kNone);
  const GObjectRef announced = Send(job.filter, start);
  const GTransformAttribute* transform = AnnouncedTransform(announced, start);
  ASSERT_NE(transform, nullptr);
  EXPECT_TRUE(SameValues(*transform, kUnevenPlacement));
  ASSERT_NE(TransformOf(*start), nullptr);
  EXPECT_TRUE(SameValues(*TransformOf(*start), kUnevenPlacement));
  EXPECT_TRUE(SameValues(job.filter.PageTransform(), kUnevenPlacement));

  const GTransformAttribute own(0, GPoint{100, -40}, GScale{2.0F, 1.0F});
  const GObjectRef graphic(NewGraphicWith(own));
  EXPECT_EQ(Send(job.filter, graphic.Get()).Get(), graphic.Get());
  ASSERT_NE(TransformOf(*graphic), nullptr);
  // 532 + 87.5 and 375 - 35, truncated toward zero.
  EXPECT_TRUE(SameValues(*TransformOf(*graphic), GTransformAttribute(0, GPoint{619, 340}, GScale{1.75F, 0.875F})));
  EXPECT_TRUE(SameValues(*TransformOf(*graphic), Composed(kUnevenPlacement, own)));
}

// A page the filter does not move is still announced, but the commands on
// it keep their transforms untouched.
TEST(SymetricalDuplexFilter, APageThatIsNotMovedLeavesItsCommandsAlone) {
  struct Case {
    const char* name;
    int16_t noScaling;
    Medium medium;
  };
  const Case cases[] = {
      {"centred_area", 0, kCentred},
      {"scaling_off", 1, kUneven},
      {"no_printable_width", 0, Medium{{5000, 6000}, {0, 5600}, {250, 200}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DuplexJob job(1, c.noScaling);
    GPageStart* start = NewPage(kNone, c.medium);
    const GObjectRef announced = Send(job.filter, start);
    const GTransformAttribute* transform = AnnouncedTransform(announced, start);
    ASSERT_NE(transform, nullptr);
    EXPECT_TRUE(SameValues(*transform, GTransformAttribute()));
    EXPECT_TRUE(job.filter.IsBackSide()) << "the page still counts as a side";

    const GTransformAttribute own(0, GPoint{100, 0}, GScale{});
    const GObjectRef graphic(NewGraphicWith(own));
    const GTransformAttribute* before = TransformOf(*graphic);
    EXPECT_EQ(Send(job.filter, graphic.Get()).Get(), graphic.Get());
    EXPECT_EQ(TransformOf(*graphic), before) << "the command is not touched";
    EXPECT_TRUE(SameValues(*before, own));
  }
}

// Over a run of pages: a new duplex value waits for a front side, simplex
// applies at once, and simplex pages pass as they are and restart the
// sides.
TEST(SymetricalDuplexFilter, ANewDuplexValueWaitsForAFrontSideButSimplexAppliesAtOnce) {
  struct Case {
    const char* name;
    int16_t pageDuplex;
    int16_t duplexAfter;
    bool placed;
    bool backSideNext;
  };
  const Case run[] = {
      {"first_page_front", kNone, 1, true, true},        {"change_on_back_waits", 2, 1, true, false},
      {"change_on_front_applies", 2, 2, true, true},     {"simplex_on_back_at_once", 0, 0, false, false},
      {"simplex_without_value", kNone, 0, false, false}, {"duplex_again_on_front", 1, 1, true, true},
      {"same_value_on_back", 1, 1, true, false},
  };
  DuplexJob job;
  for (const Case& c : run) {
    SCOPED_TRACE(c.name);
    GPageStart* start = NewPage(c.pageDuplex);
    const GObjectRef answer = Send(job.filter, start);
    EXPECT_EQ(job.filter.DuplexValue(), c.duplexAfter);
    EXPECT_EQ(job.filter.IsBackSide(), c.backSideNext);
    if (c.placed) {
      const GTransformAttribute* transform = AnnouncedTransform(answer, start);
      ASSERT_NE(transform, nullptr);
      EXPECT_TRUE(SameValues(*transform, kUnevenPlacement));
    } else {
      EXPECT_EQ(answer.Get(), start);
      EXPECT_EQ(TransformOf(*start), nullptr);
      EXPECT_TRUE(SameValues(job.filter.PageTransform(), GTransformAttribute()));
    }
  }
}

TEST(SymetricalDuplexFilter, APageStartWithoutAStatePassesAndRestartsTheSides) {
  DuplexJob job;
  Send(job.filter, NewPage(kNone));
  ASSERT_TRUE(job.filter.IsBackSide());
  auto* start = new GPageStart(0);
  const GObjectRef state(start->TakeState());
  const GObjectRef answer = Send(job.filter, start);
  EXPECT_EQ(answer.Get(), start);
  EXPECT_FALSE(job.filter.IsBackSide());
  EXPECT_EQ(job.filter.DuplexValue(), 1);
  EXPECT_EQ(start->GetState(), nullptr);
}

// A new job starts on a front side.
TEST(SymetricalDuplexFilter, ANewJobStartsOnAFrontSide) {
  DuplexJob job;
  Send(job.filter, NewPage(kNone));
  ASSERT_TRUE(job.filter.IsBackSide());
  job.Start(2, 0);
  EXPECT_FALSE(job.filter.IsBackSide());
  EXPECT_EQ(job.filter.DuplexValue(), 2);
  EXPECT_TRUE(SameValues(job.filter.PageTransform(), GTransformAttribute()));
}

TEST(SymetricalDuplexFilter, AnswersThePageScaleOfADuplexPageWhileScaling) {
  struct Case {
    const char* name;
    int16_t noScaling;
    bool withPageState;
    int16_t pageDuplex;
    Medium medium;
    int32_t mode;
    std::pair<float, float> factor;
    int16_t duplexAfter;
  };
  const Case cases[] = {
      {"duplex_page", 0, true, 1, kUneven, 0, {0.875F, 0.875F}, 1},
      {"duplex_of_the_job", 0, true, kNone, kUneven, 0, {0.875F, 0.875F}, 1},
      {"simplex_page", 0, true, 0, kUneven, 0, {1.0F, 1.0F}, 0},
      {"centred_area", 0, true, 1, kCentred, 0, {1.0F, 1.0F}, 1},
      {"no_printable_height", 0, true, 1, Medium{{5000, 6000}, {4000, 0}, {250, 200}}, 0, {1.0F, 1.0F}, 1},
      {"scaling_off", 1, true, 0, kUneven, 0, {1.0F, 1.0F}, 1},
      {"no_page_state", 0, false, 0, kUneven, 0, {1.0F, 1.0F}, 1},
      {"chain_answered", 0, true, 0, kUneven, 3, {0.0F, 0.0F}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DuplexJob job(1, c.noScaling);
    const GObjectRef page(NewPage(c.pageDuplex, c.medium));
    GState* pageState = c.withPageState ? static_cast<GPageStart&>(*page).GetState() : nullptr;
    std::pair<float, float> factor{7.0F, 7.0F};
    int32_t mode = c.mode;
    EXPECT_EQ(&job.filter.GetScaleFactor(factor, nullptr, pageState, 1, &mode), &factor);
    EXPECT_EQ(factor, c.factor);
    EXPECT_EQ(mode, c.mode) << "the mode word is left as it was";
    EXPECT_EQ(job.filter.DuplexValue(), c.duplexAfter);
  }
}

TEST(SymetricalDuplexFilter, RoundTripsAndARestoreForgetsThePagePlacement) {
  const GObjectRef fresh(new GSymetricalDuplexFilter(RWCString("duplex"), nullptr, nullptr, 12));
  EXPECT_TRUE(RoundTrips(*fresh));

  DuplexJob job(2, 0);
  Send(job.filter, NewPage(kNone));
  EXPECT_TRUE(RoundTrips(job.filter));
  const GObjectRef copy(static_cast<MPersistentObject*>(job.filter.Clone()));
  const auto& clone = static_cast<const GSymetricalDuplexFilter&>(*copy);
  EXPECT_EQ(clone.DuplexValue(), 2) << "a clone copies every field";
  EXPECT_EQ(clone.NoScaling(), 0);
  EXPECT_TRUE(clone.IsBackSide());
  EXPECT_TRUE(SameValues(clone.PageTransform(), kUnevenPlacement));

  RestoreContentsFromFileBytes(job.filter, SaveContentsToFileBytes(job.filter));
  EXPECT_TRUE(SameValues(job.filter.PageTransform(), GTransformAttribute()));
}

TEST(SymetricalDuplexFilter, ItsStoredPartIsTheVersionWord) {
  ExpectOnlyAVersionWordAfterThePeripheralPart(GSymetricalDuplexFilter(RWCString("duplex"), nullptr, nullptr, 12));
}

}  // namespace
