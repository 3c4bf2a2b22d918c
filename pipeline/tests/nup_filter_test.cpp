#include "pipeline/filters/nup_filter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "device/driver/tree_lookup.h"
#include "device/testing/test_device_tree.h"
#include "graphics/attributes/brush.h"
#include "graphics/attributes/fill_mode.h"
#include "graphics/attributes/pen.h"
#include "graphics/attributes/raster_operation.h"
#include "graphics/clips/clip.h"
#include "graphics/colour/color_paint.h"
#include "graphics/colour/rgb_color.h"
#include "graphics/display/rectangle_graphic.h"
#include "graphics/testing/letter_device.h"
#include "graphics/testing/test_graphics_device.h"
#include "model/attributes/attribute_composite.h"
#include "model/attributes/value_attribute.h"
#include "pipeline/tests/page_transform_test_support.h"

namespace {

constexpr int32_t kDocumentStateKey = 246;
constexpr int32_t kPageStateKey = 256;

struct JobSettings {
  int16_t pagesPerSheet = 4;
  int16_t order = 0;
  int16_t borders = 0;
  int16_t duplex = 0;
};

// A document start whose state holds the n-up group and a portrait letter
// sheet.
GDocumentStart* NewJob(GGraphicsDevice* device, const JobSettings& settings) {
  auto* state = new GState(kDocumentStateKey);
  GAttributeComposite* group = AddGroup(*state, GNupFilter::kNupGroupKey);
  AddValue(*group, GNupFilter::kPagesPerSheetKey, settings.pagesPerSheet);
  AddValue(*group, GNupFilter::kPageOrderKey, settings.order);
  AddValue(*group, GNupFilter::kBordersKey, settings.borders);
  state->AddChild(NewLetter(0, GNupFilter::kMediumKey));
  AddValue(*state, GNupFilter::kOrientationKey, 0);
  AddValue(*state, GNupFilter::kDuplexKey, settings.duplex);
  return new GDocumentStart(RWWString(), RWCString(), RWWString(), device, state, 0);
}

GPageStart* NewPage(int32_t orientation = 0, int16_t duplex = 0, const char* mediaType = "Plain") {
  auto* state = new GState(kPageStateKey);
  state->AddChild(NewLetter(orientation, GNupFilter::kMediumKey, mediaType));
  AddValue(*state, GNupFilter::kOrientationKey, static_cast<int16_t>(orientation));
  AddValue(*state, GNupFilter::kDuplexKey, duplex);
  return new GPageStart(state, 0);
}

// A graphic that draws with a transform of its own and a clip to the page.
GNullCommand* NewGraphic(const GTransformAttribute& transform = GTransformAttribute()) {
  GNullCommand* graphic = NewGraphicWith(transform);
  graphic->GetState()->AddChild(new GClipToPage(GGraphicBundle::kClipKey));
  return graphic;
}

// The commands of an answer, command lists opened, in order.
void Flatten(const MPersistentObject& answer, std::vector<const GCommand*>& commands) {
  if (const auto* list = dynamic_cast<const GCommandComposite*>(&answer); list != nullptr) {
    for (uint32_t index = 0; index < list->Children().Count(); ++index)
      Flatten(*list->Children()[index].Get(), commands);
    return;
  }
  commands.push_back(static_cast<const GCommand*>(&answer));
}

// The page and document commands that leave the filter, as letters: D
// document start, S page start, E page end, F document end.
std::string Skeleton(const GObjectRef& answer) {
  std::vector<const GCommand*> commands;
  Flatten(*answer, commands);
  std::string letters;
  for (const GCommand* command : commands) {
    switch (command->ClassID()) {
      case kGDocumentStartClassID:
        letters += 'D';
        break;
      case kGPageStartClassID:
        letters += 'S';
        break;
      case kGPageEndClassID:
        letters += 'E';
        break;
      case kGDocumentEndClassID:
        letters += 'F';
        break;
      default:
        break;
    }
  }
  return letters;
}

// What the filter made of a page start: a command list of the page start
// (opening a sheet) or a GNullCommand (on a sheet already open), then the
// announcement of the page transform. Answers that transform.
const GTransformAttribute* SheetAnnouncement(const GObjectRef& answer, const GPageStart* opening) {
  auto* list = dynamic_cast<GCommandComposite*>(answer.Get());
  if (list == nullptr || list->Children().Count() != 2) {
    ADD_FAILURE() << "no command list of two";
    return nullptr;
  }
  if (opening != nullptr) {
    EXPECT_EQ(list->Children()[0].Get(), opening) << "the page start opens the sheet";
  } else {
    EXPECT_EQ(list->Children()[0]->ClassID(), kGNullCommandClassID) << "the sheet goes on";
  }
  const MPersistentObject& announcement = *list->Children()[1].Get();
  EXPECT_EQ(announcement.ClassID(), kGNullCommandClassID);
  return TransformOf(announcement);
}

GValueAttribute* ValueIn(const GState* state, int32_t key) {
  return FindAs<GValueAttribute>(const_cast<GState*>(state), key);
}

class NupFilterTest : public ::testing::Test {
 protected:
  GNupFilter filter{RWCString("n-up"), nullptr, nullptr, 9, nullptr};
  LetterDevice device;
};

TEST_F(NupFilterTest, EachCellGetsItsPageScaledAndPlaced) {
  struct Case {
    const char* name;
    int16_t pagesPerSheet;
    float scale;
    std::vector<GPoint> offsets;
  };
  // Upright letter pages into the cells of a portrait letter sheet; 2 and
  // 6 turn the sheet, so their cells lie on it in landscape. Cell 0 of
  // 2-up: (102, 102) and 3081 x 4696; scale 3081 / 5100; the page is
  // centred vertically by (4696 - 6600 s) / 2 and its printable origin
  // moves by 100 s.
  const Case cases[] = {
      {"two_up", 2, 0.60411763F, {{162, 516}, {3273, 516}}},
      {"four_up", 4, 0.45705882F, {{147, 179}, {2508, 179}, {147, 3290}, {2508, 3290}}},
      {"six_up", 6, 0.35318181F, {{257, 137}, {2329, 137}, {4401, 137}, {257, 2498}, {2329, 2498}, {4401, 2498}}},
      {"nine_up",
       9,
       0.30235294F,
       {{132, 155},
        {1704, 155},
        {3276, 155},
        {132, 2227},
        {1704, 2227},
        {3276, 2227},
        {132, 4299},
        {1704, 4299},
        {3276, 4299}}},
      {"sixteen_up",
       16,
       0.22509804F,
       {{124, 143},
        {1302, 143},
        {2480, 143},
        {3658, 143},
        {124, 1696},
        {1302, 1696},
        {2480, 1696},
        {3658, 1696},
        {124, 3249},
        {1302, 3249},
        {2480, 3249},
        {3658, 3249},
        {124, 4802},
        {1302, 4802},
        {2480, 4802},
        {3658, 4802}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    filter.ResetJob();
    Send(filter, NewJob(&device, JobSettings{c.pagesPerSheet}));
    ASSERT_EQ(filter.Cells().size(), c.offsets.size());
    for (size_t page = 0; page < c.offsets.size(); ++page) {
      SCOPED_TRACE(page);
      const GTransformAttribute expected(0, c.offsets[page], GScale{c.scale, c.scale});
      GPageStart* start = NewPage();
      const GObjectRef announced = Send(filter, start);
      const GTransformAttribute* transform = SheetAnnouncement(announced, page == 0 ? start : nullptr);
      ASSERT_NE(transform, nullptr);
      EXPECT_TRUE(SameValues(*transform, expected));

      const GObjectRef graphic = Send(filter, NewGraphic());
      ASSERT_NE(TransformOf(*graphic), nullptr);
      EXPECT_TRUE(SameValues(*TransformOf(*graphic), expected));
      auto* clip = dynamic_cast<GClipToSingleRectangle*>(
          static_cast<GCommand&>(*graphic).GetState()->FindByClassId(kGClipToSingleRectangleClassID));
      ASSERT_NE(clip, nullptr) << "the clip to the page is cut to the page";
      EXPECT_EQ(clip->Key(), GGraphicBundle::kClipKey);
      EXPECT_EQ(*clip->GetRectangle(), (GRectangle{0, 0, 4900, 6400}));
      EXPECT_EQ(static_cast<GCommand&>(*graphic).GetState()->FindByClassId(kGClipToPageClassID), nullptr);
      Send(filter, new GPageEnd);
    }
    EXPECT_EQ(filter.PageCounter(), 0);
  }
}

TEST_F(NupFilterTest, SheetsOpenWithTheFirstPageAndCloseWithTheLastOrAtTheDocumentEnd) {
  struct Case {
    const char* name;
    int16_t pagesPerSheet;
    int pages;
    const char* skeleton;
  };
  const Case cases[] = {
      {"four_pages_fill_one_sheet", 4, 4, "DSEF"},
      // The second sheet holds one page; a page end of the filter's own
      // closes it before the document end.
      {"five_pages_at_four_up", 4, 5, "DSESEF"},
      {"three_pages_at_two_up", 2, 3, "DSESEF"},
      {"one_page_at_nine_up", 9, 1, "DSEF"},
      {"seventeen_pages_at_sixteen_up", 16, 17, "DSESEF"},
      {"no_page", 4, 0, "DF"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    filter.ResetJob();
    std::string skeleton = Skeleton(Send(filter, NewJob(&device, JobSettings{c.pagesPerSheet})));
    for (int page = 0; page < c.pages; ++page) {
      skeleton += Skeleton(Send(filter, NewPage()));
      skeleton += Skeleton(Send(filter, NewGraphic()));
      skeleton += Skeleton(Send(filter, new GPageEnd));
    }
    skeleton += Skeleton(Send(filter, new GDocumentEnd));
    EXPECT_EQ(skeleton, c.skeleton);
    EXPECT_EQ(filter.PageCounter(), 0);
  }
}

TEST_F(NupFilterTest, APageEndInsideASheetKeepsItsStateOnANullCommand) {
  Send(filter, NewJob(&device, JobSettings{4}));
  Send(filter, NewPage());
  auto* end = new GPageEnd(new GState(kPageStateKey), 0);
  const GState* endState = end->GetState();
  const GObjectRef answer = Send(filter, end);
  std::vector<const GCommand*> commands;
  Flatten(*answer, commands);
  ASSERT_EQ(commands.size(), 2U);
  EXPECT_EQ(commands[1]->ClassID(), kGNullCommandClassID);
  EXPECT_EQ(commands[1]->GetState(), endState);
  EXPECT_EQ(filter.PageCounter(), 1);
}

TEST_F(NupFilterTest, ABorderFramesEachCellWhenAsked) {
  for (const int16_t borders : {int16_t{0}, int16_t{1}}) {
    SCOPED_TRACE(borders);
    filter.ResetJob();
    Send(filter, NewJob(&device, JobSettings{4, 0, borders}));
    Send(filter, NewPage());
    Send(filter, new GPageEnd);
    Send(filter, NewPage());
    const GObjectRef answer = Send(filter, new GPageEnd);
    std::vector<const GCommand*> commands;
    Flatten(*answer, commands);
    ASSERT_EQ(commands.size(), 2U);
    auto* bundle = dynamic_cast<GGraphicBundle*>(commands[0]->GetState());
    ASSERT_NE(bundle, nullptr);
    // Drawn in the coordinates of the sheet's printable area, clipped to
    // its paper.
    ASSERT_NE(TransformOf(*commands[0]), nullptr);
    EXPECT_TRUE(SameValues(*TransformOf(*commands[0]), GTransformAttribute(0, {100, 100}, {1.0F, 1.0F})));
    auto* clip = dynamic_cast<GClipToSingleRectangle*>(bundle->GetClip());
    ASSERT_NE(clip, nullptr);
    EXPECT_EQ(*clip->GetRectangle(), (GRectangle{-100, -100, 5000, 6500}));
    ASSERT_NE(bundle->GetFillMode(), nullptr);
    EXPECT_EQ(bundle->GetFillMode()->GetMode(), 0);
    ASSERT_NE(bundle->GetRasterOperation(), nullptr);
    EXPECT_EQ(bundle->GetRasterOperation()->GetCode(), 240);
    ASSERT_NE(bundle->GetBrush(), nullptr);
    EXPECT_EQ(bundle->GetBrush()->ClassID(), kGNoBrushClassID);
    ASSERT_NE(bundle->GetPen(), nullptr);
    if (borders == 0) {
      EXPECT_EQ(commands[0]->ClassID(), kGNullCommandClassID);
      EXPECT_EQ(bundle->GetPen()->ClassID(), kGNoPenClassID);
      continue;
    }
    // The second cell of 2 x 2 on the portrait sheet lies at (2463, 102),
    // 2331 x 3081; the frame runs one dot outside it, counted from the
    // printable origin.
    auto* frame = dynamic_cast<GRectangleGraphic*>(const_cast<GCommand*>(commands[0]));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(*frame->GetBounds(), (GRectangle{2362, 1, 4695, 3084}));
    EXPECT_EQ(bundle->GetPen()->ClassID(), kGPenClassID);
    EXPECT_EQ(bundle->GetPen()->GetWidth(), 2);
    auto* paint = dynamic_cast<GColorPaint*>(bundle->GetPen()->GetPaint());
    ASSERT_NE(paint, nullptr);
    auto* colour = dynamic_cast<GRGBColor*>(paint->GetColor());
    ASSERT_NE(colour, nullptr);
    EXPECT_EQ(colour->GetRed() + colour->GetGreen() + colour->GetBlue(), 0) << "black";
    EXPECT_EQ(colour->GetFourth(), 255);
  }
}

TEST_F(NupFilterTest, TurningTheSheetGivesThePageTheSheetsOrientationMediumAndBinding) {
  Send(filter, NewJob(&device, JobSettings{2, 0, 0, 1}));
  EXPECT_EQ(filter.Rotation(), 90);
  GPageStart* first = NewPage(0, 1, "Bond");
  const GObjectRef answer = Send(filter, first);
  const GState* state = first->GetState();
  ASSERT_NE(ValueIn(state, GNupFilter::kOrientationKey), nullptr);
  EXPECT_EQ(ValueIn(state, GNupFilter::kOrientationKey)->Value(), 90);
  ASSERT_NE(ValueIn(state, GNupFilter::kDuplexKey), nullptr);
  EXPECT_EQ(ValueIn(state, GNupFilter::kDuplexKey)->Value(), 2) << "the long-edge binding becomes short-edge";
  auto* medium = FindAs<GMedia>(const_cast<GState*>(state), GNupFilter::kMediumKey);
  ASSERT_NE(medium, nullptr);
  EXPECT_EQ(medium->GetOrientation(), 90);
  EXPECT_EQ(medium->GetPaperSize(), (GDotPair{6600, 5100}));
  EXPECT_EQ(medium->GetMediaType(), RWCString("Bond"));
  EXPECT_EQ(medium->Key(), GNupFilter::kMediumKey);
}

TEST_F(NupFilterTest, APageTurnedOverTurnsTheSheetHalfWayAtTheStartOfASheet) {
  struct Case {
    const char* name;
    int16_t pagesPerSheet;
    int32_t pageOrientation;
    int32_t sheetOrientation;
  };
  const Case cases[] = {
      {"quarter_turned_grid_upside_down_page", 2, 180, 270},
      {"quarter_turned_grid_page_at_270", 2, 270, 270},
      {"upright_grid_upside_down_page", 4, 180, 180},
      {"upright_grid_page_at_270", 4, 270, 180},
      {"upright_grid_landscape_page", 4, 90, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    filter.ResetJob();
    Send(filter, NewJob(&device, JobSettings{c.pagesPerSheet}));
    GPageStart* page = NewPage(c.pageOrientation);
    const GObjectRef answer = Send(filter, page);
    EXPECT_EQ(filter.Rotation(), c.sheetOrientation);
    EXPECT_EQ(ValueIn(page->GetState(), GNupFilter::kOrientationKey)->Value(), c.sheetOrientation);
  }
}

TEST_F(NupFilterTest, TheDocumentsBindingFlipsOnlyWhenTwoOrSixPagesTurnTheSheet) {
  struct Case {
    const char* name;
    int16_t pagesPerSheet;
    int16_t duplex;
    int16_t expected;
  };
  const Case cases[] = {
      {"two_up_long_edge", 2, 1, 2}, {"six_up_short_edge", 6, 2, 1}, {"two_up_other_binding", 2, 3, 1},
      {"two_up_simplex", 2, 0, 0},   {"four_up_stays", 4, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    filter.ResetJob();
    GDocumentStart* start = NewJob(&device, JobSettings{c.pagesPerSheet, 0, 0, c.duplex});
    const GObjectRef answer = Send(filter, start);
    EXPECT_EQ(ValueIn(start->GetState(), GNupFilter::kDuplexKey)->Value(), c.expected);
  }
}

TEST_F(NupFilterTest, ACommandsOwnTransformGoesInsideThePageTransform) {
  Send(filter, NewJob(&device, JobSettings{4}));
  Send(filter, NewPage());
  const GTransformAttribute own(0, {200, -40}, {2.0F, 0.5F});
  const GObjectRef graphic = Send(filter, NewGraphic(own));
  ASSERT_NE(TransformOf(*graphic), nullptr);
  EXPECT_TRUE(SameValues(*TransformOf(*graphic), Composed(filter.PageTransform(), own)));
}

TEST_F(NupFilterTest, OnePageASheetOrNoSettingsSwitchTheFilterOff) {
  struct Case {
    const char* name;
    int16_t pagesPerSheet;
    bool withGroup;
  };
  const Case cases[] = {{"one_up", 1, true}, {"zero_up", 0, true}, {"negative", -2, true}, {"no_group", 4, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    filter.ResetJob();
    GDocumentStart* start = NewJob(&device, JobSettings{c.pagesPerSheet});
    if (!c.withGroup) GObjectRef(start->GetState()->RemoveChildByKey(GNupFilter::kNupGroupKey));
    Send(filter, start);
    EXPECT_FALSE(filter.IsEnabled());
    EXPECT_TRUE(filter.IsReady());
    EXPECT_EQ(filter.GetEmulatedFeatures(), 0U);
    GPageStart* page = NewPage();
    EXPECT_EQ(Send(filter, page).Get(), page) << "the page start passes untouched";
    GNullCommand* graphic = NewGraphic();
    const GObjectRef passed = Send(filter, graphic);
    EXPECT_EQ(passed.Get(), graphic);
    EXPECT_NE(graphic->GetState()->FindByClassId(kGClipToPageClassID), nullptr);
  }
}

TEST_F(NupFilterTest, TheScaleQueryAnswersTheScaleOfThePagesCell) {
  auto* pageState = new GState(kPageStateKey);
  const GObjectRef heldPage(pageState);
  pageState->AddChild(NewLetter(0, GNupFilter::kMediumKey));
  const GObjectRef job(NewJob(&device, JobSettings{4}));
  GState* settings = static_cast<GCommand&>(*job).GetState();
  std::pair<float, float> factor;

  int32_t answered = 3;
  EXPECT_EQ(filter.GetScaleFactor(factor, settings, pageState, 1, &answered), (std::pair{0.0F, 0.0F}));

  // A new filter computes its layout from the job settings when asked.
  GNupFilter fresh;
  int32_t mode = 0;
  fresh.GetScaleFactor(factor, settings, pageState, 1, &mode);
  EXPECT_TRUE(fresh.IsReady());
  EXPECT_FLOAT_EQ(factor.first, 0.45705882F);
  EXPECT_EQ(factor.first, factor.second);
  EXPECT_EQ(fresh.GetEmulatedFeatures(), GNupFilter::kNupFeatures);

  // After a job reset: one page a sheet until a document start says more.
  filter.ResetJob();
  EXPECT_EQ(filter.GetScaleFactor(factor, settings, pageState, 1, &mode), (std::pair{1.0F, 1.0F}));
}

TEST_F(NupFilterTest, AMediumWithoutSizeMakesEmptyCellsNotADivisionByZero) {
  const GObjectRef job(NewJob(nullptr, JobSettings{4}));
  GState* state = static_cast<GCommand&>(*job).GetState();
  GObjectRef(state->RemoveChildByKey(GNupFilter::kMediumKey));
  state->AddChild(
      new GMedia(RWCString("none"), {}, {}, {}, 0, 0, 600, 600, GNupFilter::kMediumKey, 0, nullptr, nullptr));
  Send(filter, job.Get());
  auto* page = new GPageStart(new GState(kPageStateKey), 0);
  const GObjectRef answer = Send(filter, page);
  const GTransformAttribute* transform = SheetAnnouncement(answer, page);
  ASSERT_NE(transform, nullptr);
  EXPECT_EQ(transform->GetScale(), (GScale{0.0F, 0.0F}));
}

TEST_F(NupFilterTest, StoresItsSettingsAndMediaAndClearsTheJobOnRestore) {
  Send(filter, NewJob(&device, JobSettings{6, 2, 1}));
  Send(filter, NewPage(90));
  EXPECT_TRUE(RoundTrips(filter));
  EXPECT_TRUE(RoundTrips(GNupFilter()));

  // After the peripheral's part: version 3; margins left, right, top,
  // bottom; the gaps; 6 pages, order 2; sheet orientation 0, page
  // orientation 90; borders on; then the two media.
  const TestPeripheral peripheral(filter.GetName(), nullptr, nullptr, filter.Key(), 0, 6, 2);
  const std::string head = SaveContentsToFileBytes(peripheral);
  const std::string bytes = SaveContentsToFileBytes(filter);
  ASSERT_GT(bytes.size(), head.size() + 29);
  EXPECT_EQ(bytes.substr(head.size(), 29), std::string("\x03\x00\x00\x00"
                                                       "\x64\x00\x64\x00\x64\x00\x64\x00"
                                                       "\x1e\x00\x00\x00\x1e\x00\x00\x00"
                                                       "\x06\x00\x02\x00"
                                                       "\x00\x00\x5a\x00"
                                                       "\x01",
                                                       29));
  EXPECT_EQ(filter.StoredSize() - peripheral.StoredSize(), bytes.size() - head.size());

  GNupFilter restored;
  ASSERT_EQ(RestoreContentsFromFileBytes(restored, bytes), bytes.size());
  EXPECT_FALSE(restored.IsReady());
  EXPECT_EQ(restored.PagesPerSheet(), 6);
  EXPECT_EQ(restored.PageCounter(), 0);
  EXPECT_EQ(restored.Grid().rows, 0);
  EXPECT_TRUE(restored.Cells().empty());
  EXPECT_TRUE(restored.LayoutMedium().SameContent(filter.LayoutMedium()));
}

TEST_F(NupFilterTest, ARestoreOfAnotherVersionReadsNoFieldsOfTheFilter) {
  std::string bytes = SaveContentsToFileBytes(filter);
  const std::string head =
      SaveContentsToFileBytes(TestPeripheral(filter.GetName(), nullptr, nullptr, filter.Key(), 0, 6, 2));
  bytes[head.size()] = '\x02';
  GNupFilter restored;
  RestoreContentsFromFileBytes(restored, bytes);
  EXPECT_EQ(restored.PagesPerSheet(), 2);
  EXPECT_EQ(restored.Margins(), GNupMargins());
}

}  // namespace
