// The PCL XL generator's graphic attributes: clips with their modes and
// regions, line attributes, pens and brushes with their colours, the
// printer's colour extensions and the page transform. Attributes reach the
// generator as a graphic's state does, through the printer; every stream is
// read by the strict PCL XL reader.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "device/colour/colour_feature_attribute.h"
#include "device/testing/test_device_tree.h"
#include "graphics/attributes/brush.h"
#include "graphics/attributes/cap.h"
#include "graphics/attributes/fill_mode.h"
#include "graphics/attributes/graphic_bundle.h"
#include "graphics/attributes/joint.h"
#include "graphics/attributes/pen.h"
#include "graphics/clips/clip.h"
#include "graphics/clips/transform_attribute.h"
#include "graphics/colour/color_paint.h"
#include "graphics/colour/rgb_color.h"
#include "graphics/commands/job_commands.h"
#include "graphics/commands/page_command.h"
#include "graphics/display/path_graphic.h"
#include "graphics/display/rectangle_graphic.h"
#include "graphics/output/output_channel.h"
#include "graphics/testing/faulty_output_channel.h"
#include "graphics/testing/test_graphics_device.h"
#include "model/attributes/configuration.h"
#include "model/attributes/enum_attribute.h"
#include "model/attributes/range_attribute.h"
#include "model/attributes/state.h"
#include "model/attributes/string_attribute.h"
#include "model/attributes/value_attribute.h"
#include "model/objects/persistent_association.h"
#include "pclxl/borzan/borzan.h"
#include "pclxl/testing/borzan_job.h"
#include "pclxl/testing/strict_pclxl_reader.h"
#include "pipeline/printer.h"

namespace {

using namespace xl_job;
using Lines = std::vector<std::string>;

constexpr int32_t kGreyJobKey = 296;

// The operators a job's only page wrote after the page's own set-up (which
// ends with its SetClipMode), one line each as the disassembler prints
// them.
Lines PageBody(const strict_pclxl::ReadResult& read) {
  Lines body;
  bool inPage = false;
  bool setUpDone = false;
  for (const strict_pclxl::Operation& operation : read.operations) {
    if (operation.name == "EndPage") break;
    if (setUpDone) body.push_back(strict_pclxl::FormatOperation(operation));
    if (inPage && operation.name == "SetClipMode") setUpDone = true;
    if (operation.name == "BeginPage") inPage = true;
  }
  return body;
}

// Sends one graphic whose graphic state holds the attributes (taken
// over); they merge one by one into the generator's graphic state.
void SendGraphic(Job& job, const std::vector<GAttribute*>& attributes) {
  auto* state = new GState(GPeripheral::kGraphicStateKey);
  for (GAttribute* attribute : attributes) state->AddChild(attribute);
  EXPECT_EQ(job.Process(new GNullCommand(state, 0)), 0);
}

// Prints a job of one page with the job settings and the device, and
// answers what the page wrote after its set-up.
Lines PageOf(const std::vector<Setting>& settings, GGraphicsDevice* device, const std::function<void(Job&)>& inside) {
  Job job;
  auto* state = new GState(GPeripheral::kDocumentStateKey);
  for (const Setting& s : settings) AddValue(*state, s.key, s.value);
  EXPECT_EQ(job.Start({}, state, nullptr, device), 0);
  EXPECT_EQ(job.Print({}, inside), 0);
  EXPECT_EQ(job.End(), 0);
  const strict_pclxl::ReadResult read = job.Read();
  EXPECT_TRUE(read.Ok()) << strict_pclxl::Disassemble(read);
  return PageBody(read);
}

// A page with one graphic holding the attribute (taken over). Every
// attribute applied must be marked applied, or it would go out again
// before every graphic.
Lines PageWith(GAttribute* attribute, const std::vector<Setting>& settings = {}, GGraphicsDevice* device = nullptr) {
  const GObjectRef held(attribute);
  const Lines body = PageOf(settings, device, [&](Job& job) { SendGraphic(job, {attribute}); });
  EXPECT_EQ(attribute->ChangedFlag(), 0);
  return body;
}

GRectangleList Rectangles(std::initializer_list<GRectangle> rectangles) {
  GRectangleList list;
  for (const GRectangle& rectangle : rectangles) list.Add(rectangle);
  return list;
}

constexpr GRectangle kBox{10, 20, 300, 400};
constexpr GRectangle kOtherBox{500, 20, 600, 90};
const char* const kBoxClip = "SetClipRectangle BoundingBox=sint16_box(10,20,300,400) ClipRegion=ubyte(0)";

TEST(BorzanAttributes, ClipsChooseTheirModeAndRegion) {
  struct Case {
    const char* name;
    std::function<GClip*()> make;
    Lines expected;
  };
  const Case cases[] = {
      {"page", [] { return new GClipToPage(177); }, {"SetClipToPage"}},
      {"even_odd_interior",
       [] { return new GClipToSingleRectangle(kBox, GClip::kInside, GClip::kEvenOdd, 177); },
       {"SetClipMode ClipMode=ubyte(1)", kBoxClip}},
      {"winding_interior",
       [] { return new GClipToSingleRectangle(kBox, GClip::kInside, GClip::kWinding, 177); },
       {"SetClipMode ClipMode=ubyte(0)", kBoxClip}},
      {"no_rule_leaves_the_mode",
       [] { return new GClipToSingleRectangle(kBox, GClip::kInside, GClip::kNotSet, 177); },
       {kBoxClip}},
      {"unset_region_is_interior",
       [] { return new GClipToSingleRectangle(kBox, GClip::kNotSet, GClip::kNotSet, 177); },
       {kBoxClip}},
      // Exterior clipping exists for even-odd regions only.
      {"exterior_is_even_odd_whatever_the_rule",
       [] { return new GClipToSingleRectangle(kBox, GClip::kOutside, GClip::kWinding, 177); },
       {"SetClipMode ClipMode=ubyte(1)", "SetClipRectangle BoundingBox=sint16_box(10,20,300,400) ClipRegion=ubyte(1)"}},
      {"exterior_without_rule",
       [] { return new GClipToSingleRectangle(kBox, GClip::kOutside, GClip::kNotSet, 177); },
       {"SetClipMode ClipMode=ubyte(1)", "SetClipRectangle BoundingBox=sint16_box(10,20,300,400) ClipRegion=ubyte(1)"}},
      {"list_of_one_is_a_clip_rectangle",
       [] { return new GClipToRectangle(kBox, GClip::kInside, GClip::kWinding, 177); },
       {"SetClipMode ClipMode=ubyte(0)", kBoxClip}},
      {"list_of_two_is_a_path",
       [] {
         return new GClipToRectangle(Rectangles({kBox, kOtherBox}), GClip::kOutside, GClip::kEvenOdd, 177);
       },
       {"SetClipMode ClipMode=ubyte(1)", "NewPath", "RectanglePath BoundingBox=sint16_box(10,20,300,400)",
        "RectanglePath BoundingBox=sint16_box(500,20,600,90)", "SetClipReplace ClipRegion=ubyte(1)"}},
      {"empty_list_shows_nothing",
       [] { return new GClipToRectangle(Rectangles({}), GClip::kInside, GClip::kNotSet, 177); },
       {"SetClipRectangle BoundingBox=sint16_box(0,0,0,0) ClipRegion=ubyte(0)"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(PageWith(c.make()), c.expected);
  }
}

// A generator that notes whether a clip was being defined whenever a path
// reaches it, and draws nothing.
class PathNotingBorzan : public GBorzan {
 public:
  explicit PathNotingBorzan(std::shared_ptr<std::vector<bool>> noted)
      : GBorzan(RWCString(kLanguageName), nullptr, PrinterConfiguration(), GPrinter::kGeneratorKey, 64, 6, 2),
        noted_(std::move(noted)) {}
  RWCollectable* Clone() const override { return new PathNotingBorzan(*this); }
  uint16_t DrawPath(GPathGraphic&) override {
    noted_->push_back(IsDefiningClip());
    return 0;
  }

 private:
  std::shared_ptr<std::vector<bool>> noted_;
};

// The path is built between the clip mode and the replacement of the clip,
// with the clip-definition flag set only while it is sent.
TEST(BorzanAttributes, AClipPathIsSentAsAClipDefinition) {
  auto noted = std::make_shared<std::vector<bool>>();
  PathNotingBorzan generator(noted);
  Job job(generator);
  ASSERT_EQ(job.Start(), 0);
  auto* clip = new GClipToPath(new GPathGraphic, GClip::kOutside, GClip::kEvenOdd, 177);
  ASSERT_EQ(job.Print({},
                      [&](Job& j) {
                        SendGraphic(j, {clip});
                        EXPECT_FALSE(j.Generator().IsDefiningClip());
                      }),
            0);
  ASSERT_EQ(job.End(), 0);
  EXPECT_EQ(*noted, std::vector<bool>{true});
  const strict_pclxl::ReadResult read = job.Read();
  ASSERT_TRUE(read.Ok()) << strict_pclxl::Disassemble(read);
  EXPECT_EQ(PageBody(read), (Lines{"SetClipMode ClipMode=ubyte(1)", "SetClipReplace ClipRegion=ubyte(1)"}));
}

TEST(BorzanAttributes, AClipPathWithoutPathOnlyReplacesTheClip) {
  EXPECT_EQ(PageWith(new GClipToPath(nullptr, GClip::kNotSet, GClip::kNotSet, 177)),
            (Lines{"SetClipReplace ClipRegion=ubyte(0)"}));
}

// Graphics that share a clip send it once; a different clip goes out.
TEST(BorzanAttributes, AnUnchangedClipIsNotSentAgain) {
  const auto twoBoxes = [] {
    return new GClipToRectangle(Rectangles({kBox, kOtherBox}), GClip::kInside, GClip::kWinding, 177);
  };
  Job job;
  ASSERT_EQ(job.Start(), 0);
  ASSERT_EQ(job.Print({},
                      [&](Job& j) {
                        SendGraphic(j, {twoBoxes()});
                        SendGraphic(j, {twoBoxes()});
                        SendGraphic(j, {new GClipToPage(177)});
                      }),
            0);
  ASSERT_EQ(job.End(), 0);
  const strict_pclxl::ReadResult read = job.Read();
  ASSERT_TRUE(read.Ok()) << strict_pclxl::Disassemble(read);
  EXPECT_EQ(PageBody(read),
            (Lines{"SetClipMode ClipMode=ubyte(0)", "NewPath", "RectanglePath BoundingBox=sint16_box(10,20,300,400)",
                   "RectanglePath BoundingBox=sint16_box(500,20,600,90)", "SetClipReplace ClipRegion=ubyte(0)",
                   "SetClipToPage"}));
}

TEST(BorzanAttributes, LineAttributesMapToTheFormatsStyles) {
  struct Case {
    const char* name;
    std::function<GAttribute*()> make;
    Lines expected;
  };
  const auto joint = [](int32_t kind) {
    auto* made = new GJoint(GJoint::kRound, 172);
    made->SetKind(kind);
    return made;
  };
  const Case cases[] = {
      {"round_cap", [] { return new GCap(GCap::kRound, 166); }, {"SetLineCap LineCapStyle=ubyte(1)"}},
      {"square_cap", [] { return new GCap(GCap::kSquare, 166); }, {"SetLineCap LineCapStyle=ubyte(2)"}},
      {"flat_cap", [] { return new GCap(GCap::kFlat, 166); }, {"SetLineCap LineCapStyle=ubyte(0)"}},
      {"unknown_cap", [] { return new GCap(7, 166); }, {}},
      {"plain_miter_joint", [&] { return joint(GJoint::kMiter); }, {"SetLineJoin LineJoinStyle=ubyte(0)"}},
      {"round_joint", [&] { return joint(GJoint::kRound); }, {"SetLineJoin LineJoinStyle=ubyte(1)"}},
      {"bevel_joint", [&] { return joint(GJoint::kBevel); }, {"SetLineJoin LineJoinStyle=ubyte(2)"}},
      {"no_joint", [&] { return joint(GJoint::kNone); }, {"SetLineJoin LineJoinStyle=ubyte(3)"}},
      {"unknown_joint", [&] { return joint(4); }, {}},
      {"miter_limit_rounds_down",
       [] { return new GMiterJoint(10.4F, 172); },
       {"SetMiterLimit MiterLength=uint16(10)", "SetLineJoin LineJoinStyle=ubyte(0)"}},
      {"miter_limit_rounds_half_up",
       [] { return new GMiterJoint(10.5F, 172); },
       {"SetMiterLimit MiterLength=uint16(11)", "SetLineJoin LineJoinStyle=ubyte(0)"}},
      {"negative_miter_limit_is_zero",
       [] { return new GMiterJoint(-3.0F, 172); },
       {"SetMiterLimit MiterLength=uint16(0)", "SetLineJoin LineJoinStyle=ubyte(0)"}},
      {"huge_miter_limit_is_the_largest",
       [] { return new GMiterJoint(1.0e9F, 172); },
       {"SetMiterLimit MiterLength=uint16(65535)", "SetLineJoin LineJoinStyle=ubyte(0)"}},
      {"even_odd_fill", [] { return new GFillMode(GFillMode::kEvenOdd, 182); }, {"SetFillMode FillMode=ubyte(1)"}},
      {"winding_fill",
       [] { return new GFillMode(GFillMode::kNonZeroWinding, 182); },
       {"SetFillMode FillMode=ubyte(0)"}},
      {"fill_mode_not_set", [] { return new GFillMode(GFillMode::kNotSet, 182); }, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(PageWith(c.make()), c.expected);
  }
}

GColorPaint* Colour(uint8_t red, uint8_t green, uint8_t blue) {
  return new GColorPaint(new GRGBColor(red, green, blue, 255));
}

TEST(BorzanAttributes, DashListsTheFormatTakesAreSentAndOthersDrawSolid) {
  struct Case {
    const char* name;
    size_t count;
    int16_t offset;
    const char* dash;
  };
  const Case cases[] = {
      {"none", 0, 0, "SetLineDash SolidLine=ubyte(0)"},
      {"one", 1, 3, "SetLineDash LineDashStyle=uint16_array(1) DashOffset=uint16(3)"},
      {"twenty", 20, 0,
       "SetLineDash LineDashStyle=uint16_array(1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20) "
       "DashOffset=uint16(0)"},
      {"twenty_one", 21, 0, "SetLineDash SolidLine=ubyte(0)"},
      {"negative_offset_starts_the_pattern", 2, -5, "SetLineDash LineDashStyle=uint16_array(1,2) DashOffset=uint16(0)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint16_t> dashes;
    for (size_t i = 1; i <= c.count; ++i) dashes.push_back(static_cast<uint16_t>(i));
    auto* pen = new GDashedPen(std::move(dashes), 4, Colour(1, 2, 3), c.offset, 160);
    EXPECT_EQ(PageWith(pen, {{kGreyJobKey, 0}}),
              (Lines{c.dash, "SetPenWidth PenWidth=uint16(4)", "SetColorSpace ColorSpace=ubyte(2)",
                     "SetPenSource RGBColor=ubyte_array(1,2,3)"}));
  }
}

// Colour jobs (job setting 296 = 0) send RGB; other jobs send the grey
// level of the job's conversion. Every source sends its colour space.
TEST(BorzanAttributes, PenAndBrushColoursFollowTheColourSetting) {
  struct Case {
    const char* name;
    std::vector<Setting> settings;
    GColorPaint* (*paint)();
    const char* space;
    const char* source;
    // The device's conversion; none: no device, the standard one.
    GGrayFunction conversion = nullptr;
  };
  // Answers the blue level in both bytes, as the conversions do.
  const GGrayFunction blueOnly = [](uint8_t, uint8_t, uint8_t blue) { return blue * 257u; };
  const Case cases[] = {
      {"colour_job", {{kGreyJobKey, 0}}, [] { return Colour(255, 0, 0); }, "ubyte(2)", "RGBColor=ubyte_array(255,0,0)"},
      {"grey_job_in_the_devices_conversion",
       {{kGreyJobKey, 1}},
       [] { return Colour(0, 128, 255); },
       "ubyte(1)",
       "GrayLevel=ubyte(255)",
       blueOnly},
      {"grey_job_red", {{kGreyJobKey, 1}}, [] { return Colour(255, 0, 0); }, "ubyte(1)", "GrayLevel=ubyte(76)"},
      {"grey_job_mixed", {{kGreyJobKey, 1}}, [] { return Colour(0, 128, 255); }, "ubyte(1)", "GrayLevel=ubyte(104)"},
      {"grey_job_white", {{kGreyJobKey, 1}}, [] { return Colour(255, 255, 255); }, "ubyte(1)", "GrayLevel=ubyte(255)"},
      {"grey_without_the_setting", {}, [] { return Colour(255, 0, 0); }, "ubyte(1)", "GrayLevel=ubyte(76)"},
      {"paint_without_colour_is_black",
       {{kGreyJobKey, 0}},
       [] { return new GColorPaint; },
       "ubyte(2)",
       "RGBColor=ubyte_array(0,0,0)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string space = std::string("SetColorSpace ColorSpace=") + c.space;
    TestGraphicsDevice device;
    if (c.conversion != nullptr) device.SetGrayConversion(c.conversion);
    const Lines body = PageOf(c.settings, c.conversion != nullptr ? &device : nullptr, [&](Job& job) {
      job.Generator().SetPenKind(GBorzan::kNoSource);
      job.Generator().SetBrushKind(GBorzan::kNoSource);
      SendGraphic(job, {new GPen(3, c.paint(), 160)});
      EXPECT_EQ(job.Generator().PenKind(), GBorzan::kColourSource);
      SendGraphic(job, {new GBrush(c.paint(), 154)});
      EXPECT_EQ(job.Generator().BrushKind(), GBorzan::kColourSource);
    });
    EXPECT_EQ(body, (Lines{"SetLineDash SolidLine=ubyte(0)", "SetPenWidth PenWidth=uint16(3)", space,
                           std::string("SetPenSource ") + c.source, space, std::string("SetBrushSource ") + c.source}));
  }
}

TEST(BorzanAttributes, NoPenAndNoBrushSendNullSources) {
  const Lines body = PageOf({}, nullptr, [](Job& job) {
    SendGraphic(job, {new GNoPen, new GNoBrush});
    EXPECT_EQ(job.Generator().PenKind(), GBorzan::kNoSource);
    EXPECT_EQ(job.Generator().BrushKind(), GBorzan::kNoSource);
  });
  EXPECT_EQ(body, (Lines{"SetPenSource NullPen=ubyte(0)", "SetBrushSource NullBrush=ubyte(0)"}));
}

// A pen without paint keeps the source it had; a negative width draws
// the thinnest line.
TEST(BorzanAttributes, APenWithoutPaintSendsItsLineOnly) {
  EXPECT_EQ(PageWith(new GPen(-2, nullptr, 160)),
            (Lines{"SetLineDash SolidLine=ubyte(0)", "SetPenWidth PenWidth=uint16(0)"}));
  EXPECT_EQ(PageWith(new GBrush(nullptr, 154)), Lines{});
}

// A graphics device whose description maps setting value 7 to device code
// 42 in the colour-map and halftone tables.
class DescribedDevice : public TestGraphicsDevice {
 public:
  DescribedDevice() {
    TestDeviceTree tree = MakeDeviceTree();
    for (int32_t table : {533, 537}) {
      auto* list = new MAssociationList(table);
      list->Put(new MPersistentAssociation(new GValueAttribute(7, 0), new GValueAttribute(42, 0), 0));
      tree.configuration->AddChild(list);
    }
    SetSettingsRoot(std::move(tree.root));
  }
};

// Spooled jobs carry their halftone in the enhanced class; it goes out as
// the plain one does.
TEST(BorzanAttributes, ColourExtensionsCarryTheDeviceCode) {
  struct Case {
    const char* name;
    std::function<GAttribute*()> make;
    bool described;
    const char* expected;
  };
  const char* const kColorMap42 = "VendorUnique VUExtension=uint32(0x71761001) VUAttr1=ubyte(42)";
  const char* const kHalftone42 = "VendorUnique VUExtension=uint32(0x71761002) VUAttr1=ubyte(42)";
  const Case cases[] = {
      {"color_map", [] { return new GColorMap(7, 0); }, true, kColorMap42},
      {"halftone", [] { return new GHalftone(7, 0); }, true, kHalftone42},
      {"halftone_enhanced", [] { return new GHalftoneEnhanced(7, 0); }, true, kHalftone42},
      {"value_the_table_lacks", [] { return new GHalftone(8, 0); }, true,
       "VendorUnique VUExtension=uint32(0x71761002) VUAttr1=ubyte(0)"},
      {"no_device", [] { return new GColorMap(7, 0); }, false,
       "VendorUnique VUExtension=uint32(0x71761001) VUAttr1=ubyte(0)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DescribedDevice device;
    EXPECT_EQ(PageWith(c.make(), {}, c.described ? &device : nullptr), Lines{c.expected});
  }
}

TEST(BorzanAttributes, TransformsWithPositiveScalesMoveTurnAndScaleThePage) {
  struct Case {
    const char* name;
    GScale scale;
    Lines expected;
  };
  const Case cases[] = {
      {"placed",
       {0.5F, 2.0F},
       {"SetPageDefaultCTM", "SetPageOrigin PageOrigin=sint16_xy(100,-50)", "SetPageRotation PageAngle=sint16(90)",
        "SetPageScale PageScale=real32_xy(0.5,2)"}},
      {"negative_x_scale_is_refused", {-0.5F, 2.0F}, {}},
      {"negative_y_scale_is_refused", {0.5F, -1.0F}, {}},
      {"zero_scale_is_refused", {0.0F, 1.0F}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(PageWith(new GTransformAttribute(90, GPoint{100, -50}, c.scale)), c.expected);
  }
}

// Outside a page the page's transform cannot be set; the stream stays
// valid.
TEST(BorzanAttributes, ATransformOutsideAPageWritesNothing) {
  Job job;
  ASSERT_EQ(job.Start(), 0);
  GTransformAttribute transform(90, GPoint{100, 50}, GScale{0.5F, 0.5F});
  EXPECT_EQ(job.Generator().ApplyTransform(transform), 0);
  EXPECT_EQ(transform.ChangedFlag(), 0);
  ASSERT_EQ(job.Print({}), 0);
  ASSERT_EQ(job.End(), 0);
  const strict_pclxl::ReadResult read = job.Read();
  ASSERT_TRUE(read.Ok()) << strict_pclxl::Disassemble(read);
  for (const std::string& name : read.OperatorNames()) EXPECT_NE(name, "SetPageDefaultCTM");
}

// Settings that mean nothing to the language write nothing and are marked
// applied; an enumeration clears its choices too.
TEST(BorzanAttributes, PlainSettingsAreMarkedAppliedWithoutOutput) {
  struct Case {
    const char* name;
    std::function<GAttribute*()> make;
  };
  const Case cases[] = {
      {"value", [] { return new GValueAttribute(3, 900); }},
      {"text", [] { return new GStringAttribute("text", 901); }},
      {"range", [] { return new GRangeAttribute(0, 10, 1, 5, 902); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(PageWith(c.make()), Lines{});
  }

  const GObjectRef held(new GEnumAttribute(903));
  auto& choices = static_cast<GEnumAttribute&>(*held);
  auto* first = new GValueAttribute(1, 0);
  choices.AddChild(first);
  choices.AddChild(new GValueAttribute(2, 0));
  first->SetChangedFlag(1);
  choices.SetChangedFlag(1);
  const Lines body = PageOf({}, nullptr, [&](Job& job) { EXPECT_EQ(job.Generator().ApplyEnumAttribute(choices), 0); });
  EXPECT_EQ(body, Lines{});
  EXPECT_EQ(choices.ChangedFlag(), 0);
  EXPECT_EQ(first->ChangedFlag(), 0);
}

// A channel that refuses the block a pen's bytes fill: the application
// during which the buffer flushed answers the failure, once, whether the
// pen's colour or the pen itself took it from the stream.
TEST(BorzanAttributes, AFailingWriteIsAnsweredByTheAttributeThatCausedIt) {
  struct Case {
    const char* name;
    bool painted;
  };
  for (const Case& c : {Case{"pen_with_colour", true}, Case{"pen_without_paint", false}}) {
    SCOPED_TRACE(c.name);
    Job job;
    GFaultyOutputChannel channel(RWCString("faulty"), {.goodWrites = 0});
    ASSERT_EQ(channel.Open(RWWString()), 0);
    ASSERT_EQ(job.Start({{kGreyJobKey, 0}}, nullptr, &channel), 0);
    std::vector<uint16_t> failures;
    job.Print({}, [&](Job& j) {
      const GObjectRef held(new GDashedPen({1, 2, 3, 4, 5, 6, 7, 8}, 4, c.painted ? Colour(1, 2, 3) : nullptr, 0, 160));
      for (int i = 0; i < 1000; ++i) {
        if (const uint16_t status = j.Generator().ApplyDashedPen(static_cast<GDashedPen&>(*held)); status != 0) {
          failures.push_back(status);
        }
      }
    });
    EXPECT_EQ(failures, std::vector<uint16_t>{GOutputChannel::kWriteFailed});
  }
}

// Applied on the way to a graphic, the attributes' answers have no one to
// go to: a write that fails meanwhile is reported once by a later answer
// of the job.
TEST(BorzanAttributes, AWriteThatFailsWhileAGraphicsAttributesApplyIsReportedOnce) {
  Job job;
  GFaultyOutputChannel channel(RWCString("faulty"), {.goodWrites = 0});
  ASSERT_EQ(channel.Open(RWWString()), 0);
  ASSERT_EQ(job.Start({{kGreyJobKey, 0}}, nullptr, &channel), 0);
  std::vector<uint16_t> failures;
  const auto note = [&](uint16_t status) {
    if (status != 0) failures.push_back(status);
  };
  note(job.Process(new GPageStart(PageState({}), 0)));
  for (int16_t i = 0; i < 1000; ++i) {
    auto* state = new GState(GPeripheral::kGraphicStateKey);
    state->AddChild(new GDashedPen({1, 2, 3, 4, 5, 6, 7, 8}, static_cast<int16_t>(1 + i % 2), Colour(1, 2, 3), 0,
                                   GGraphicBundle::kPenKey));
    note(job.Process(new GNullCommand(state, 0)));
  }
  note(job.Process(new GPageEnd(new GState(GPeripheral::kPageStateKey), 0)));
  note(job.End());
  EXPECT_EQ(failures, std::vector<uint16_t>{GOutputChannel::kWriteFailed});
}

}  // namespace
namespace {

// Graphics share their graphic state: the attributes it holds merge into
// the generator's one by one, and go out again on every page, since each
// page starts with the printer's defaults.
TEST(BorzanAttributes, AGraphicStateSharedByEveryGraphicIsSentOnEveryPage) {
  Job job;
  ASSERT_EQ(job.Start({{kGreyJobKey, 1}}), 0);
  const GObjectRef bundle(new GGraphicBundle);
  static_cast<GGraphicBundle&>(*bundle).SetBrush(new GBrush(Colour(255, 0, 0), 0));
  for (int page = 0; page < 2; ++page) {
    ASSERT_EQ(job.Print({},
                        [&](Job& j) {
                          for (int k = 0; k < 2; ++k) {
                            auto* state = static_cast<GGraphicBundle*>(bundle.Get());
                            EXPECT_EQ(j.Process(new GRectangleGraphic(GRectangle{0, 0, 10, 10}, state, 0)), 0);
                          }
                        }),
              0);
  }
  ASSERT_EQ(job.End(), 0);
  const strict_pclxl::ReadResult read = job.Read();
  ASSERT_TRUE(read.Ok()) << strict_pclxl::Disassemble(read);
  std::vector<size_t> brushes(1, 0);
  for (const strict_pclxl::Operation& operation : read.operations) {
    if (operation.name == "EndPage") brushes.push_back(0);
    if (operation.name == "SetBrushSource") ++brushes.back();
  }
  EXPECT_EQ(brushes, (std::vector<size_t>{1, 1, 0}));
}

}  // namespace
