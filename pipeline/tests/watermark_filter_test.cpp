#include "pipeline/filters/watermark_filter.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "device/testing/test_device_tree.h"
#include "graphics/testing/letter_device.h"
#include "graphics/testing/test_graphics_device.h"
#include "model/attributes/string_attribute.h"
#include "pipeline/tests/page_transform_test_support.h"

namespace {

using Rgb = std::array<int, 3>;

Rgb Components(const GRGBColor& colour) { return {colour.GetRed(), colour.GetGreen(), colour.GetBlue()}; }

constexpr int32_t kDocumentStateKey = 246;
constexpr int32_t kPageStateKey = 256;

// A device that draws watermarks: every font it makes is a new handle,
// each graphic is a GNullCommand, and it records what it was handed.
class WatermarkDevice : public TestGraphicsDevice {
 public:
  uint32_t CreateWatermarkFont(const GWatermarkDescription& description, GDotPair paperSize,
                               int32_t& fontExtent) override {
    heights.push_back(description.height);
    paperSizes.push_back(paperSize);
    fontExtent = 77;
    return makesFonts ? ++fontsMade : 0;
  }
  void ReleaseWatermarkFont(uint32_t* font) override {
    released.push_back(*font);
    *font = 0;
  }
  std::unique_ptr<GCommand> MakeWatermarkGraphic(RWWString text, uint32_t font, int32_t fontExtent,
                                                 const GRGBColor& colour, const GMedia& medium,
                                                 int16_t characterSet) override {
    texts.push_back(text);
    drawnWith.push_back(font);
    EXPECT_EQ(fontExtent, 77) << "the extent comes back with its font";
    colours.push_back(Components(colour));
    media.push_back(medium.GetMediaType());
    characterSets.push_back(characterSet);
    return std::make_unique<GNullCommand>(0);
  }

  int32_t IsGrayscaleJob() const override { return grayscale; }

  int32_t grayscale = 0;
  bool makesFonts = true;
  uint32_t fontsMade = 0;
  std::vector<int32_t> heights;
  std::vector<GDotPair> paperSizes;
  std::vector<uint32_t> released;
  std::vector<RWWString> texts;
  std::vector<uint32_t> drawnWith;
  std::vector<Rgb> colours;
  std::vector<RWCString> media;
  std::vector<int16_t> characterSets;
};

struct Watermark {
  int16_t pages = 0;  // 0 every page, 1 the first
  int16_t owner = 0;
  int16_t style = 0;
  int16_t pointSize = 72;
  int16_t red = 1;
  int16_t green = 0;
  int16_t blue = 0;
  int16_t lightness = 128;
};

// A document start whose state holds the watermark description; a null
// watermark leaves the description out.
GDocumentStart* NewJob(GGraphicsDevice* device, const Watermark* watermark) {
  auto* state = new GState(kDocumentStateKey);
  if (watermark != nullptr) {
    GAttributeComposite* d = AddGroup(*state, GWatermarkFilter::kDescriptionKey);
    AddValue(*d, GWatermarkFilter::kOwnerKey, watermark->owner);
    AddValue(*d, GWatermarkFilter::kPagesKey, watermark->pages);
    d->AddChild(new GStringAttribute("DRAFT", GWatermarkFilter::kTextKey));
    d->AddChild(new GStringAttribute("Arial", GWatermarkFilter::kFaceNameKey));
    AddValue(*d, GWatermarkFilter::kCharacterSetKey, 2);
    AddValue(*d, GWatermarkFilter::kStyleKey, watermark->style);
    AddValue(*d, GWatermarkFilter::kPointSizeKey, watermark->pointSize);
    AddValue(*d, GWatermarkFilter::kWidthKey, 9);
    AddValue(*d, GWatermarkFilter::kAngleModeKey, 1);
    AddValue(*d, GWatermarkFilter::kCustomAngleKey, 45);
    AddValue(*d, GWatermarkFilter::kPlacement1Key, 3);
    AddValue(*d, GWatermarkFilter::kPlacement2Key, 4);
    AddValue(*d, GWatermarkFilter::kRedKey, watermark->red);
    AddValue(*d, GWatermarkFilter::kGreenKey, watermark->green);
    AddValue(*d, GWatermarkFilter::kBlueKey, watermark->blue);
    AddValue(*d, GWatermarkFilter::kLightnessKey, watermark->lightness);
  }
  return new GDocumentStart(RWWString(), RWCString(), RWWString(), device, state, 0);
}

// A page start whose state holds a letter medium under the page-medium key
// with the page's name as its media type, or no medium.
GPageStart* NewPage(const char* pageName) {
  auto* state = new GState(kPageStateKey);
  if (pageName != nullptr) state->AddChild(NewLetter(0, GWatermarkFilter::kPageMediumKey, pageName));
  return new GPageStart(state, 0);
}

// What left the filter for a page end: "W" for a watermark graphic then the
// page end, "E" for the page end alone.
std::string PageEndShape(const GObjectRef& answer) {
  if (answer->ClassID() == kGPageEndClassID) return "E";
  auto* list = dynamic_cast<GCommandComposite*>(answer.Get());
  if (list == nullptr || list->Children().Count() != 2) return "?";
  const bool shaped =
      list->Children()[0]->ClassID() == kGNullCommandClassID && list->Children()[1]->ClassID() == kGPageEndClassID;
  return shaped ? "W" : "?";
}

// Sends the pages (a null name: a page without medium) and answers the
// shape of each page end.
std::string PrintPages(GWatermarkFilter& filter, const std::vector<const char*>& pages) {
  std::string shapes;
  for (const char* page : pages) {
    Send(filter, NewPage(page));
    shapes += PageEndShape(Send(filter, new GPageEnd(0)));
  }
  return shapes;
}

GWatermarkFilter NewFilter() { return GWatermarkFilter(RWCString("watermark"), nullptr, nullptr, 30); }

TEST(WatermarkFilter, DrawsOnTheFirstPageOrOnEveryPage) {
  struct Case {
    const char* name;
    int16_t pages;
    std::string shapes;
  };
  const Case cases[] = {
      {"every_page", 0, "WWWWW"},
      {"first_page_only", 1, "WEEEE"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WatermarkDevice device;
    GWatermarkFilter filter = NewFilter();
    Watermark watermark;
    watermark.pages = c.pages;
    Send(filter, NewJob(&device, &watermark));
    EXPECT_TRUE(filter.IsEnabled());
    EXPECT_EQ(PrintPages(filter, {"p1", "p2", "p3", "p4", "p5"}), c.shapes);
    EXPECT_EQ(device.released.size(), device.fontsMade) << "each font made is released after its page";
    for (const RWWString& text : device.texts) EXPECT_EQ(text, RWWString(QV_WIDE("DRAFT")));
  }
}

TEST(WatermarkFilter, EachPageIsDrawnWithItsOwnMediumAndAPageWithoutOneGetsNone) {
  WatermarkDevice device;
  GWatermarkFilter filter = NewFilter();
  const Watermark watermark;
  Send(filter, NewJob(&device, &watermark));
  EXPECT_EQ(PrintPages(filter, {"first", nullptr, "third"}), "WEW");
  EXPECT_EQ(device.media, (std::vector<RWCString>{RWCString("first"), RWCString("third")}));
}

TEST(WatermarkFilter, ADeviceWithoutFontsLeavesThePagesAlone) {
  WatermarkDevice device;
  device.makesFonts = false;
  GWatermarkFilter filter = NewFilter();
  const Watermark watermark;
  Send(filter, NewJob(&device, &watermark));
  EXPECT_EQ(PrintPages(filter, {"p1", "p2"}), "EE");
  EXPECT_TRUE(device.texts.empty());
}

TEST(WatermarkFilter, SwitchesItselfOffWhenTheJobAsksForNoWatermarkOfItsOwn) {
  struct Case {
    const char* name;
    bool withDevice;
    bool withDescription;
    int16_t pages;
    int16_t owner;
  };
  const Case cases[] = {
      {"no_device", false, true, 0, 0},
      {"no_description", true, false, 0, 0},
      {"pages_neither_first_nor_every", true, true, 2, 0},
      {"drawn_by_someone_else", true, true, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WatermarkDevice device;
    GWatermarkFilter filter = NewFilter();
    Watermark watermark;
    watermark.pages = c.pages;
    watermark.owner = c.owner;
    Send(filter, NewJob(c.withDevice ? &device : nullptr, c.withDescription ? &watermark : nullptr));
    EXPECT_FALSE(filter.IsEnabled());
    EXPECT_EQ(filter.GetMode(), GWatermarkFilter::kOff);
    EXPECT_EQ(PrintPages(filter, {"p1"}), "E");
    EXPECT_EQ(device.fontsMade, 0U);
  }
}

TEST(WatermarkFilter, ReadsTheFontDescriptionAndTheHeightFromThePointSize) {
  struct Case {
    const char* name;
    int16_t style;
    int16_t pointSize;
    int32_t weight, italic, underline, strikeOut;
    int32_t height;
  };
  const Case cases[] = {
      {"bold_underlined", 5, 72, 700, 0, 1, 0, -600},
      {"italic_struck_out_ten_point", 10, 10, 400, 1, 0, 1, -83},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WatermarkDevice device;
    GWatermarkFilter filter = NewFilter();
    Watermark watermark;
    watermark.style = c.style;
    watermark.pointSize = c.pointSize;
    Send(filter, NewJob(&device, &watermark));
    PrintPages(filter, {"p1"});
    const GWatermarkDescription& d = filter.Description();
    EXPECT_EQ(d.text, RWWString(QV_WIDE("DRAFT")));
    EXPECT_EQ(d.textLength, 5);
    EXPECT_EQ(d.faceName, RWWString(QV_WIDE("Arial")));
    EXPECT_EQ(d.characterSet, 2);
    EXPECT_EQ(d.width, 9);
    EXPECT_EQ(d.outputPrecision, 4);
    EXPECT_EQ((std::vector<int32_t>{d.weight, d.italic, d.underline, d.strikeOut}),
              (std::vector<int32_t>{c.weight, c.italic, c.underline, c.strikeOut}));
    EXPECT_EQ(d.pointSize, c.pointSize);
    EXPECT_EQ((std::vector<int32_t>{d.angleMode, d.customAngle, d.placement1, d.placement2}),
              (std::vector<int32_t>{1, 45, 3, 4}));
    EXPECT_EQ(device.heights, std::vector<int32_t>{c.height});
    EXPECT_EQ(device.paperSizes, std::vector<GDotPair>{kLetterPaper});
    EXPECT_EQ(device.characterSets, std::vector<int16_t>{2});
  }
}

TEST(WatermarkFilter, AbsentValuesReadAsZero) {
  WatermarkDevice device;
  GWatermarkFilter filter = NewFilter();
  auto* state = new GState(kDocumentStateKey);
  GAttributeComposite* d = AddGroup(*state, GWatermarkFilter::kDescriptionKey);
  AddValue(*d, GWatermarkFilter::kOwnerKey, 0);
  AddValue(*d, GWatermarkFilter::kPagesKey, 0);
  Send(filter, new GDocumentStart(RWWString(), RWCString(), RWWString(), &device, state, 0));
  EXPECT_EQ(PrintPages(filter, {"p1"}), "W");
  const GWatermarkDescription& read = filter.Description();
  EXPECT_EQ(read.text.Length(), 0U);
  EXPECT_EQ((std::vector<int32_t>{read.characterSet, read.width, read.weight, read.pointSize, read.lightness}),
            (std::vector<int32_t>{0, 0, 400, 0, 0}));
  EXPECT_EQ(device.heights, std::vector<int32_t>{0});
  EXPECT_EQ(Components(read.colour), (Rgb{0, 0, 0}));
}

TEST(WatermarkFilter, TheColourIsFullInTheComponentsThatAreOnAndTheLightnessElsewhere) {
  struct Case {
    const char* name;
    int16_t red, green, blue, lightness;
    bool grayscale;
    Rgb colour;
  };
  const Case cases[] = {
      {"red", 1, 0, 0, 100, false, {255, 100, 100}},
      {"yellow", 1, 1, 0, 100, false, {255, 255, 100}},
      {"green", 0, 1, 0, 100, false, {100, 255, 100}},
      {"cyan", 0, 1, 1, 100, false, {100, 255, 255}},
      {"blue", 0, 0, 1, 100, false, {100, 100, 255}},
      {"magenta", 1, 0, 1, 100, false, {255, 100, 255}},
      {"none_on_is_grey", 0, 0, 0, 100, false, {100, 100, 100}},
      {"all_on_is_grey", 1, 1, 1, 100, false, {100, 100, 100}},
      {"full_lightness_is_held_below_white", 1, 0, 0, 255, false, {255, 232, 232}},
      {"greyscale_job_is_grey_whatever_is_on", 1, 0, 1, 255, true, {232, 232, 232}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WatermarkDevice device;
    device.grayscale = c.grayscale ? 1 : 0;
    GWatermarkFilter filter = NewFilter();
    Watermark watermark;
    watermark.red = c.red;
    watermark.green = c.green;
    watermark.blue = c.blue;
    watermark.lightness = c.lightness;
    Send(filter, NewJob(&device, &watermark));
    PrintPages(filter, {"p1"});
    EXPECT_EQ(device.colours, std::vector<Rgb>{c.colour});
  }
}

TEST(WatermarkFilter, TheEndOfTheJobReleasesTheFontAndAnEarlyEndDrawsNothing) {
  WatermarkDevice device;
  GWatermarkFilter filter = NewFilter();
  const Watermark watermark;
  Send(filter, NewJob(&device, &watermark));
  Send(filter, NewPage("p1"));
  Send(filter, new GJobAbort(0));
  EXPECT_EQ(device.released, std::vector<uint32_t>{0}) << "released even without a font";
  EXPECT_EQ(filter.JobPhase(), GWatermarkFilter().JobPhase()) << "the job phase is not moved";
  EXPECT_EQ(PageEndShape(Send(filter, new GPageEnd(0))), "E") << "the kept medium went with the job";
}

TEST(WatermarkFilter, ACopyAndARestoreStartWithoutTheJob) {
  WatermarkDevice device;
  GWatermarkFilter filter = NewFilter();
  Watermark watermark;
  watermark.pages = 1;
  Send(filter, NewJob(&device, &watermark));
  Send(filter, NewPage("p1"));
  const GObjectRef copy(static_cast<MPersistentObject*>(filter.Clone()));
  const auto& clone = static_cast<const GWatermarkFilter&>(*copy);
  EXPECT_EQ(clone.GetMode(), GWatermarkFilter::kOff);
  EXPECT_FALSE(clone.IsActive());
  EXPECT_EQ(clone.GetName(), filter.GetName());

  EXPECT_TRUE(RoundTrips(filter));
  RestoreContentsFromFileBytes(filter, SaveContentsToFileBytes(filter));
  EXPECT_EQ(filter.GetMode(), GWatermarkFilter::kOff);
  EXPECT_EQ(PageEndShape(Send(filter, new GPageEnd(0))), "E");
}

TEST(WatermarkFilter, ItsStoredPartIsTheVersionWord) { ExpectOnlyAVersionWordAfterThePeripheralPart(NewFilter()); }

}  // namespace
