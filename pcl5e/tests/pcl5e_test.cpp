#include "pcl5e/pcl5e.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/attributes/cap.h"
#include "graphics/attributes/joint.h"
#include "graphics/attributes/pen.h"
#include "graphics/clips/clip.h"
#include "graphics/clips/transform_attribute.h"
#include "graphics/commands/job_commands.h"
#include "graphics/commands/pass_through_command.h"
#include "graphics/testing/faulty_output_channel.h"
#include "model/attributes/capabilities.h"
#include "model/attributes/configuration.h"
#include "model/attributes/state.h"
#include "model/attributes/value_attribute.h"
#include "model/objects/persistent_association.h"
#include "model/objects/persistent_composite.h"
#include "model/objects/selection_string.h"
#include "model/testing/registered_classes.h"
#include "model/testing/round_trip.h"
#include "pcl5e/testing/pcl5e_job.h"
#include "pcl5e/testing/strict_pcl5_reader.h"
#include "pipeline/printer.h"

namespace {

using pcl5_job::Job;
using pcl5_job::Page;

// What the reader saw, for failure messages.
std::string Text(const strict_pcl5::ReadResult& read) { return strict_pcl5::Disassemble(read); }

// The values of the named command, in order.
std::vector<std::string> Values(const strict_pcl5::ReadResult& read, std::string_view name) {
  std::vector<std::string> values;
  for (const strict_pcl5::Command* command : read.All(name)) values.push_back(command->value);
  return values;
}

// A two-page simplex job at 600 dpi on letter paper with no capability
// bits and no tray map. The job opens with the reset, the unit of measure
// and the raster resolution. Each page sets its orientation (sent again
// on every page: the page start forgets the orientation sent), the paper
// source (7: the tray is not in a map; the second page's is unchanged),
// the print direction 0, the size command of the table (first page only, the
// size is unchanged after it), no registration offsets and the top margin
// 0. The pattern reference point goes to x = 1 (no dither matrix: a
// pattern one dot wide, 1 - (100 - 1) mod 1), y = 14; the picture frame
// is the printable area, 4,900 x 6,400 dots = 5,880 x 7,680 decipoints;
// the cursor then goes to the printable top (y = 100) and anchors the
// frame. Each page ends with one copy and a form feed; the job ends with
// the last form feed.
constexpr char kTwoPageJob[] =
    "\033E\033&u600D\033*t600R"
    // Page 1.
    "\033&l0O\033&l7H\033&a0P\033&l2A\033&l0u0Z\033&l0E"
    "\033*p1x14Y\033*pR\033*c5880x7680Y\033*p0x100Y\033*c0T"
    "\033&l1X\f"
    // Page 2.
    "\033&l0O\033&a0P\033&l0u0Z\033&l0E"
    "\033*p1x14Y\033*pR\033*c5880x7680Y\033*p0x100Y\033*c0T"
    "\033&l1X\f";

TEST(Pcl5e, ATwoPageJobIsWrittenAsDerived) {
  Job job(pcl5_job::PrinterConfiguration(false));
  ASSERT_EQ(job.Start(), 0);
  ASSERT_EQ(job.Print({}), 0);
  ASSERT_EQ(job.Print({}), 0);
  ASSERT_EQ(job.End(), 0);
  EXPECT_EQ(job.Output(), std::string(kTwoPageJob));
  const strict_pcl5::ReadResult read = job.Read();
  ASSERT_TRUE(read.Ok()) << Text(read);
  ASSERT_EQ(read.pages.size(), 2U);
  EXPECT_EQ(read.pages[1].size, 2);
  EXPECT_EQ(read.pages[1].source, 7);
}

// Blank jobs of several pages: the reader finds every page with its size,
// whichever sizes follow each other.
TEST(Pcl5e, BlankJobsReadBackPageByPage) {
  struct Case {
    const char* name;
    std::vector<int16_t> sizes;
    std::vector<int32_t> codes;
  };
  const Case cases[] = {
      {"one_letter_page", {pcl5_job::kLetter}, {pcl5_job::kLetterCode}},
      {"three_letter_pages", {pcl5_job::kLetter, pcl5_job::kLetter, pcl5_job::kLetter}, {2, 2, 2}},
      {"sizes_alternate",
       {pcl5_job::kLetter, pcl5_job::kA4, pcl5_job::kA4, pcl5_job::kLetter},
       {pcl5_job::kLetterCode, pcl5_job::kA4Code, pcl5_job::kA4Code, pcl5_job::kLetterCode}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Job job;
    ASSERT_EQ(job.Start(), 0);
    for (const int16_t size : c.sizes) ASSERT_EQ(job.Print({.sizeId = size}), 0);
    ASSERT_EQ(job.End(), 0);
    const strict_pcl5::ReadResult read = job.Read();
    ASSERT_TRUE(read.Ok()) << Text(read);
    std::vector<int32_t> codes;
    for (const strict_pcl5::Page& page : read.pages) codes.push_back(page.size);
    EXPECT_EQ(codes, c.codes);
    // A size command is sent only where the size changes.
    EXPECT_EQ(read.All("&lA").size(), c.sizes.size() == 4 ? 3U : 1U);
  }
}

// The page set-up commands of one page from its settings.
TEST(Pcl5e, PageSettingsBecomeTheirCommands) {
  struct Case {
    const char* name;
    Page page;
    bool trayMap;
    const char* command;
    std::vector<std::string> values;
  };
  const Case cases[] = {
      {"portrait", {}, true, "&lO", {"0"}},
      {"landscape", {.orientation = 90}, true, "&lO", {"1"}},
      {"reverse_portrait", {.orientation = 180}, true, "&lO", {"2"}},
      {"reverse_landscape", {.orientation = 270}, true, "&lO", {"3"}},
      {"upper_tray_by_map", {}, true, "&lH", {"1"}},
      {"lower_tray_by_map", {.tray = pcl5_job::kLowerTray}, true, "&lH", {"4"}},
      {"tray_missing_from_map", {.tray = 7}, true, "&lH", {"7"}},
      {"no_tray_map", {}, false, "&lH", {"7"}},
      {"no_tray_setting", {.tray = std::nullopt}, true, "&lH", {}},
      {"a4_by_table", {.sizeId = pcl5_job::kA4}, true, "&lA", {"26"}},
      // A custom size has no table entry; the printer takes the fixed
      // custom size and the registration places it.
      {"custom_size", {.sizeId = pcl5_job::kCustom}, true, "&lA", {"101"}},
      {"copies", {.copies = 3}, true, "&lX", {"3"}},
      {"copies_default", {}, true, "&lX", {"1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Job job(pcl5_job::PrinterConfiguration(c.trayMap));
    ASSERT_EQ(job.Start(), 0);
    ASSERT_EQ(job.Print(c.page), 0);
    ASSERT_EQ(job.End(), 0);
    const strict_pcl5::ReadResult read = job.Read();
    ASSERT_TRUE(read.Ok()) << Text(read);
    EXPECT_EQ(Values(read, c.command), c.values) << Text(read);
  }
}

// A custom letter-sized page, portrait, centred on the largest medium (the
// page itself here): W = 5,100 dots = 6,120 decipoints, AH = 6,400 dots =
// 7,680; F = 5,100 + 100 dots = 6,240, MW = 6,120. The page counter is 1
// (odd) on the first page, so the left offset is (MW - F) / 2 = -60 and the
// top offset 0.
TEST(Pcl5e, ACustomPageIsRegisteredOnTheLargestMedium) {
  Job job;
  ASSERT_EQ(job.Start(), 0);
  ASSERT_EQ(job.Print({.sizeId = pcl5_job::kCustom}), 0);
  ASSERT_EQ(job.End(), 0);
  const std::string output = job.Output();
  EXPECT_NE(output.find("\033&l101A\033&f7680f6120G\033&l-60u0Z"), std::string::npos) << output;
}

// The printer configuration with the capability bits set.
GConfiguration* ConfigurationWith(std::initializer_list<uint32_t> bits) {
  GConfiguration* configuration = pcl5_job::PrinterConfiguration();
  const std::vector<uint32_t> list(bits);
  auto* capabilities = new MPersistentComposite(112);
  capabilities->AddChild(new GCapabilities(136, 16, list.data(), static_cast<uint16_t>(list.size())));
  configuration->AddChild(capabilities);
  return configuration;
}

// What the printer's capability bits change in a page's set-up. A custom
// letter page (5,100 x 6,600 dots, printable 4,900 x 6,400 from 100, 100)
// is sent by size command as 6,120 x 7,920 decipoints, rounded up; a
// printer that takes custom pages itself frames the sheet less half an
// inch: 4,800 x 6,300 dots = 5,760 x 7,560 decipoints.
TEST(Pcl5e, CapabilityBitsShapeThePageSetUp) {
  const Page custom{.sizeId = pcl5_job::kCustom};
  struct Case {
    const char* name;
    std::initializer_list<uint32_t> bits;
    Page page;
    const char* command;
    std::vector<std::string> values;
  };
  const Case cases[] = {
      {"pattern_pen_places_pixels_by_grid", {GPcl5e::kPatternPenCapability}, {}, "*lR", {"1"}},
      {"pattern_pen_in_the_gl2_set_up", {GPcl5e::kPatternPenCapability}, {}, "PP", {"1"}},
      {"no_pattern_pen", {}, {}, "PP", {}},
      {"duplex_command", {}, {.duplex = 1}, "&lS", {"2"}},
      {"no_duplex_command", {GPcl5e::kNoDuplexCommandCapability}, {.duplex = 1}, "&lS", {}},
      {"custom_size_command_width", {GPcl5e::kCustomPaperCommandCapability}, custom, "&fI", {"6120"}},
      {"custom_size_command_height", {GPcl5e::kCustomPaperCommandCapability}, custom, "&fJ", {"7920"}},
      {"custom_size_command_is_not_registered", {GPcl5e::kCustomPaperCommandCapability}, custom, "&lU", {}},
      {"printer_custom_page_frame_width", {GPcl5e::kCustomPaperACapability}, custom, "*cX", {"5760"}},
      {"printer_custom_page_frame_height", {GPcl5e::kCustomPaperACapability}, custom, "*cY", {"7560"}},
      {"printer_custom_page_is_not_registered", {GPcl5e::kCustomPaperACapability}, custom, "&lU", {}},
      {"standard_size_has_zero_offsets", {}, {}, "&lU", {"0"}},
      {"standard_size_with_size_command_has_none", {GPcl5e::kCustomPaperCommandCapability}, {}, "&lU", {}},
      // Back sides registered by the far edge: the printable top (100 dots)
      // upright, the right margin (100 dots) turned, in decipoints.
      {"back_side_by_either_bit_upright", {5}, {}, "&lZ", {"0", "-120"}},
      {"back_side_by_either_bit_turned", {5}, {.orientation = 90}, "&lZ", {"0", "-120"}},
      {"back_side_turned_only", {6}, {}, "&lZ", {"0"}},
      {"back_side_turned_only_on_a_turned_page", {6}, {.orientation = 270}, "&lZ", {"0", "-120"}},
      {"back_side_upright_only", {7}, {}, "&lZ", {"0", "-120"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Job job(ConfigurationWith(c.bits));
    ASSERT_EQ(job.Start(), 0);
    ASSERT_EQ(job.Print(c.page, [](Job& j) { j.Generator().EnterGL2(0); }), 0);
    ASSERT_EQ(job.End(), 0);
    const strict_pcl5::ReadResult read = job.Read();
    ASSERT_TRUE(read.Ok()) << Text(read);
    EXPECT_EQ(Values(read, c.command), c.values) << Text(read);
  }
}

// A custom page sent by size command whose margins are not the printer's
// standard (a quarter inch, 150 dots) gets a logical-page record: left
// offset 120 decipoints, top 0, portrait, printable width 5,880 and paper
// height 7,920 decipoints, big-endian.
TEST(Pcl5e, ACustomPageWithOtherMarginsGetsALogicalPage) {
  Job job(ConfigurationWith({GPcl5e::kCustomPaperCommandCapability}));
  ASSERT_EQ(job.Start(), 0);
  ASSERT_EQ(job.Print({.sizeId = pcl5_job::kCustom}), 0);
  ASSERT_EQ(job.End(), 0);
  const strict_pcl5::ReadResult read = job.Read();
  ASSERT_TRUE(read.Ok()) << Text(read);
  const std::vector<const strict_pcl5::Command*> pages = read.All("&aW");
  ASSERT_EQ(pages.size(), 1U);
  EXPECT_EQ(pages[0]->data, std::string("\x00\x78\x00\x00\x00\x00\x16\xF8\x1E\xF0", 10));
}

// A job that asks for the logical page gets the printable area as its
// logical page on every page: left offset 120 decipoints, top 0, portrait,
// 5,880 x 7,680 decipoints; then the top and left margins return to 0.
TEST(Pcl5e, ALogicalPageJobSendsThePrintableArea) {
  Job job;
  ASSERT_EQ(job.Start({{442, 1}}), 0);
  ASSERT_EQ(job.Print({}), 0);
  ASSERT_EQ(job.End(), 0);
  const strict_pcl5::ReadResult read = job.Read();
  ASSERT_TRUE(read.Ok()) << Text(read);
  const std::vector<const strict_pcl5::Command*> pages = read.All("&aW");
  ASSERT_EQ(pages.size(), 1U);
  EXPECT_EQ(pages[0]->data, std::string("\x00\x78\x00\x00\x00\x00\x16\xF8\x1E\x00", 10));
  EXPECT_NE(job.Output().find("\033&l0E\033&a0L\033*c5880x7680Y"), std::string::npos);
}

// Padding is 200 zero bytes after what the stream held.
TEST(Pcl5e, PaddingIsZeroBytes) {
  Job job;
  ASSERT_EQ(job.Start(), 0);
  GNoCommand pad;
  EXPECT_EQ(job.Generator().PadOutput(pad), 0);
  EXPECT_EQ(job.Output(), "\033E\033&u600D\033*t600R" + std::string(200, '\0'));
}

// An abort ends the job where it stands: what the stream held goes out and
// nothing is added.
TEST(Pcl5e, AnAbortEndsTheJobWhereItStands) {
  Job job;
  ASSERT_EQ(job.Start(), 0);
  EXPECT_EQ(job.Process(new GJobAbort(0)), 0);
  EXPECT_FALSE(job.Generator().IsInJob());
  EXPECT_EQ(job.Output(), "\033E\033&u600D\033*t600R");
}

// The printer takes the generator as its generator child.
TEST(Pcl5e, APrinterTakesItAsItsGenerator) {
  const GObjectRef held(pcl5_job::NewGenerator());
  const GObjectRef printerHeld(new GPrinter);
  auto& printer = static_cast<GPrinter&>(*printerHeld);
  EXPECT_EQ(static_cast<GPeripheral&>(*held).SendTo(printer), 0);
  ASSERT_NE(printer.GeneratorChild(), nullptr);
  EXPECT_EQ(printer.GeneratorChild()->ClassID(), kGPcl5eClassID);
}

// The media type is named once while it stays the same.
TEST(Pcl5e, AMediaTypeIsNamedWhenItChanges) {
  Job job;
  ASSERT_EQ(job.Start(), 0);
  ASSERT_EQ(job.Print({.mediaType = "Glossy"}), 0);
  ASSERT_EQ(job.Print({.mediaType = "Glossy"}), 0);
  ASSERT_EQ(job.Print({.mediaType = "Bond"}), 0);
  ASSERT_EQ(job.End(), 0);
  const strict_pcl5::ReadResult read = job.Read();
  ASSERT_TRUE(read.Ok()) << Text(read);
  const std::vector<const strict_pcl5::Command*> names = read.All("&nW");
  ASSERT_EQ(names.size(), 2U);
  EXPECT_EQ(names[0]->data, "dGlossy");
  EXPECT_EQ(names[1]->data, "dBond");
}

// A duplex change on a back side waits for the next front side: the job
// prints short-edge, the second page asks for long-edge on the back of the
// first sheet, the third gets it on the front of the second.
TEST(Pcl5e, ADuplexChangeWaitsForAFrontSide) {
  Job job;
  ASSERT_EQ(job.Start({{253, 2}}), 0);
  ASSERT_EQ(job.Print({.duplex = 2}), 0);
  const size_t afterFirst = job.Output().size();
  ASSERT_EQ(job.Print({.duplex = 1}), 0);
  const size_t afterSecond = job.Output().size();
  ASSERT_EQ(job.Print({.duplex = 1}), 0);
  ASSERT_EQ(job.End(), 0);
  const strict_pcl5::ReadResult read = job.Read();
  ASSERT_TRUE(read.Ok()) << Text(read);
  const std::vector<const strict_pcl5::Command*> duplex = read.All("&lS");
  ASSERT_EQ(duplex.size(), 1U) << Text(read);
  EXPECT_EQ(duplex[0]->value, "2");
  EXPECT_GT(duplex[0]->offset, afterSecond);
  EXPECT_GT(afterSecond, afterFirst);
}

// Data for this language goes out after what the stream holds; data for
// another language neither goes out nor flushes the stream.
TEST(Pcl5e, PassThroughDataGoesOutOnlyForThisLanguage) {
  Job job;
  ASSERT_EQ(job.Start(), 0);
  static const uint8_t kBytes[] = {'@', 'P', 'J', 'L'};
  EXPECT_EQ(job.Process(new GPassThroughCommand(kBytes, 4, 767, 0)), 0);
  EXPECT_EQ(job.Output(), "");
  EXPECT_EQ(job.Process(new GPassThroughCommand(kBytes, 4, GPcl5e::kPassThroughTarget, 0)), 0);
  EXPECT_EQ(job.Output(), "\033E\033&u600D\033*t600R@PJL");
}

// The first refused write is answered once; nothing is written after it.
TEST(Pcl5e, AChannelThatRefusesAWriteIsReportedOnce) {
  Job job;
  GFaultyOutputChannel channel(RWCString("faulty"), {.goodWrites = 0});
  ASSERT_EQ(channel.Open(RWWString()), 0);
  ASSERT_EQ(job.Start({}, &channel), 0);
  EXPECT_EQ(job.Print({}), GOutputChannel::kWriteFailed);
  EXPECT_EQ(job.Print({}), 0);
  EXPECT_EQ(job.End(), 0);
  EXPECT_TRUE(channel.Bytes().empty());
}

// GL/2 is entered with its set-up once a page: a second entry sends
// nothing, and the next page sends the set-up again.
TEST(Pcl5e, TheGl2SetUpIsSentOnceAPage) {
  Job job;
  ASSERT_EQ(job.Start(), 0);
  const auto enterTwice = [](Job& j) {
    j.Generator().EnterGL2(0);
    j.Generator().LeaveGL2(0, false);
    j.Generator().EnterGL2(0);
  };
  ASSERT_EQ(job.Print({}, enterTwice), 0);
  ASSERT_EQ(job.Print({}, enterTwice), 0);
  ASSERT_EQ(job.End(), 0);
  const strict_pcl5::ReadResult read = job.Read();
  ASSERT_TRUE(read.Ok()) << Text(read);
  EXPECT_EQ(read.All("%B").size(), 4U);
  EXPECT_EQ(read.All("WU").size(), 2U);
  EXPECT_EQ(Values(read, "SC"), (std::vector<std::string>{"0,1.6934,0,-1.6934,2", "0,1.6934,0,-1.6934,2"}));
  // The page end leaves GL/2 before its form feed.
  EXPECT_EQ(read.endContext, strict_pcl5::Context::kPcl);
}

// The GL/2 set-up at 600 dpi with the pattern anchor at x = 1 (a pattern
// one dot wide).
TEST(Pcl5e, TheGl2SetUpFollowsThePrinter) {
  Job job;
  ASSERT_EQ(job.Start(), 0);
  ASSERT_EQ(job.Print({}, [](Job& j) { j.Generator().EnterGL2(0); }), 0);
  ASSERT_EQ(job.End(), 0);
  EXPECT_NE(job.Output().find("\033%BSC0,1.6934,0,-1.6934,2RO0IR0,100,0,100WUAC1,4SP1PW0TD1IW\033%0A"),
            std::string::npos)
      << job.Output();
}

// The pen width in millimetres at each resolution, a thousandth added
// before the last digit is cut; a width of 0 is the thinnest line, one dot.
TEST(Pcl5e, PenWidthsFollowTheResolution) {
  struct Case {
    const char* name;
    uint16_t resolution;
    int16_t dots;
    const char* width;
  };
  const Case cases[] = {
      {"quarter_millimetre_at_300_dpi", 300, 3, "0.254"},
      {"quarter_millimetre_at_600_dpi", 600, 6, "0.254"},
      {"quarter_millimetre_at_1200_dpi", 1200, 12, "0.254"},
      {"thinnest_at_1200_dpi", 1200, 0, "0.022"},
      {"one_dot_at_300_dpi", 300, 1, "0.085"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Job job;
    ASSERT_EQ(job.Start({}, nullptr, c.resolution), 0);
    ASSERT_EQ(job.Print({},
                        [&](Job& j) {
                          j.Generator().SetPenWidth(c.dots);
                          j.Generator().SetPenWidth(c.dots);
                        }),
              0);
    ASSERT_EQ(job.End(), 0);
    const strict_pcl5::ReadResult read = job.Read();
    ASSERT_TRUE(read.Ok()) << Text(read);
    EXPECT_EQ(Values(read, "PW"), (std::vector<std::string>{"0", c.width}));
    EXPECT_EQ(Values(read, "&uD"), (std::vector<std::string>{std::to_string(c.resolution)}));
  }
}

// Transparency commands go out when the printer's mode must change, and
// come back when GL/2 is left.
TEST(Pcl5e, TransparencyIsSentOnlyWhenItChanges) {
  Job job;
  ASSERT_EQ(job.Start(), 0);
  ASSERT_EQ(job.Print({},
                      [](Job& j) {
                        GPcl5e& g = j.Generator();
                        g.SetSourceTransparency(0);
                        g.SetSourceTransparency(0);
                        g.SetSourceTransparency(1);
                        g.SetPatternTransparency(0);
                        g.EnterGL2(0);
                        g.SetPatternTransparency(0);
                        g.SetPatternTransparency(1);
                        // The PCL side was left opaque: leaving GL/2 with
                        // its bit restores the recorded mode.
                        g.LeaveGL2(GPcl5e::kPclPatternTransparency, false);
                      }),
            0);
  ASSERT_EQ(job.End(), 0);
  const strict_pcl5::ReadResult read = job.Read();
  ASSERT_TRUE(read.Ok()) << Text(read);
  EXPECT_EQ(Values(read, "*vN"), (std::vector<std::string>{"1", "0"}));
  EXPECT_EQ(Values(read, "*vO"), (std::vector<std::string>{"1", "0"}));
  EXPECT_EQ(Values(read, "TR"), (std::vector<std::string>{"0", "1"}));
}

// A single-rectangle clip becomes the input window (corners inclusive) on
// the next entry that asks for it; a clip to the page resets it.
TEST(Pcl5e, ClipsBecomeTheInputWindow) {
  Job job;
  ASSERT_EQ(job.Start(), 0);
  ASSERT_EQ(
      job.Print({},
                [](Job& j) {
                  GPcl5e& g = j.Generator();
                  GClipToSingleRectangle rectangle(GRectangle{10, 20, 300, 400}, GClip::kInside, GClip::kWinding, 0);
                  g.ApplyClipToSingleRectangle(rectangle);
                  g.EnterGL2(GPcl5e::kGl2InputWindow);
                  g.EnterGL2(GPcl5e::kGl2InputWindow);
                  GClipToPage page;
                  g.ApplyClipToPage(page);
                  g.EnterGL2(GPcl5e::kGl2InputWindow);
                }),
      0);
  ASSERT_EQ(job.End(), 0);
  const strict_pcl5::ReadResult read = job.Read();
  ASSERT_TRUE(read.Ok()) << Text(read);
  EXPECT_EQ(Values(read, "IW"), (std::vector<std::string>{"", "9,19,300,400", ""}));
}

// Line caps and joints in GL/2 line attributes.
TEST(Pcl5e, LineAttributesAreSentInGl2) {
  Job job;
  ASSERT_EQ(job.Start(), 0);
  ASSERT_EQ(job.Print({},
                      [](Job& j) {
                        GPcl5e& g = j.Generator();
                        for (const int32_t kind : {GCap::kRound, GCap::kSquare, GCap::kFlat, 7}) {
                          GCap cap(kind, 0);
                          g.ApplyCap(cap);
                        }
                        for (const int32_t kind : {GJoint::kRound, GJoint::kBevel, GJoint::kNone}) {
                          GJoint joint(kind, 0);
                          g.ApplyJoint(joint);
                        }
                        GMiterJoint miter(4.7F, 0);
                        g.ApplyMiterJoint(miter);
                      }),
            0);
  ASSERT_EQ(job.End(), 0);
  const strict_pcl5::ReadResult read = job.Read();
  ASSERT_TRUE(read.Ok()) << Text(read);
  EXPECT_EQ(Values(read, "LA"), (std::vector<std::string>{"1,4", "1,2", "1,1", "2,4", "2,5", "2,6", "2,1,3,4"}));
}

// The cursor is sent per axis that changed; an unknown or forced axis is
// sent even when it seems unchanged.
TEST(Pcl5e, TheCursorIsSentWhereItChanged) {
  struct Case {
    const char* name;
    int16_t x;
    int16_t y;
    bool forceX;
    bool forceY;
    const char* bytes;
  };
  const Case steps[] = {
      {"unknown_at_first", 10, 20, false, false, "\033*p10x20Y"},
      {"unchanged", 10, 20, false, false, ""},
      {"x_moved", 11, 20, false, false, "\033*p11X"},
      {"y_moved", 11, 21, false, false, "\033*p21Y"},
      {"x_forced", 11, 21, true, false, "\033*p11X"},
      {"both_forced", 11, 21, true, true, "\033*p11x21Y"},
  };
  GPcl5e generator;
  std::vector<uint8_t> buffer = {'>'};
  size_t position = 1;
  std::string expected = ">";
  for (const Case& step : steps) {
    SCOPED_TRACE(step.name);
    generator.FormatCursor(step.x, step.y, step.forceX, step.forceY, buffer, position);
    expected += step.bytes;
    EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(position)), expected);
  }
  EXPECT_EQ(generator.CursorX(), 11);
  EXPECT_EQ(generator.CursorY(), 21);
}

// A dash pattern becomes a user line type whose length is the sum of the
// dashes (40 dots at 600 dpi: 40 x 25 / 600 = 1.66, cut to two places); a
// solid pen after it returns to solid lines once.
TEST(Pcl5e, DashedPensBecomeAUserLineType) {
  Job job;
  ASSERT_EQ(job.Start(), 0);
  ASSERT_EQ(job.Print({},
                      [](Job& j) {
                        GDashedPen dashed({30, 10}, 6, nullptr, 0, 0);
                        j.Generator().ApplyDashedPen(dashed);
                        GPen solid(6, nullptr, 0);
                        j.Generator().ApplyPen(solid);
                        j.Generator().ApplyPen(solid);
                      }),
            0);
  ASSERT_EQ(job.End(), 0);
  const strict_pcl5::ReadResult read = job.Read();
  ASSERT_TRUE(read.Ok()) << Text(read);
  EXPECT_EQ(Values(read, "UL"), (std::vector<std::string>{"1,30,10"}));
  EXPECT_EQ(Values(read, "LT"), (std::vector<std::string>{"1,1.66,1", ""}));
  EXPECT_EQ(Values(read, "PW"), (std::vector<std::string>{"0", "0.254"}));
}

// A page transform turns the print direction and scales GL/2 so that its
// units are the transformed page's dots: 1 / 600 inch is 33,866 plotter
// units / 20,000 = 1.6933 at scale 1. The origin comes from the printable
// origin (100, 100) and the offset; the set-up then sends no scaling of its
// own.
TEST(Pcl5e, ATransformScalesAndTurnsGl2) {
  struct Case {
    const char* name;
    GTransformAttribute transform;
    const char* direction;
    const char* scaling;
  };
  const Case cases[] = {
      {"unturned", GTransformAttribute(0, {0, 0}, {1, 1}), "0", "100,1.6933,100,-1.6933,2"},
      {"offset_and_doubled", GTransformAttribute(0, {20, 40}, {2, 2}), "0", "40,3.3866,30,-3.3866,2"},
      {"turned_90", GTransformAttribute(90, {0, 0}, {1, 1}), "90", "-6500,1.6933,100,-1.6933,2"},
      {"turned_180", GTransformAttribute(180, {0, 0}, {1, 1}), "180", "-5000,1.6933,-6500,-1.6933,2"},
      {"turned_270", GTransformAttribute(270, {0, 0}, {1, 1}), "270", "100,1.6933,-5000,-1.6933,2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Job job;
    ASSERT_EQ(job.Start(), 0);
    GTransformAttribute transform(c.transform);
    ASSERT_EQ(job.Print({}, [&](Job& j) { EXPECT_EQ(j.Generator().ApplyTransform(transform), 0); }), 0);
    ASSERT_EQ(job.End(), 0);
    const strict_pcl5::ReadResult read = job.Read();
    ASSERT_TRUE(read.Ok()) << Text(read);
    EXPECT_EQ(Values(read, "&aP"), (std::vector<std::string>{"0", c.direction}));
    EXPECT_EQ(Values(read, "SC"), (std::vector<std::string>{c.scaling}));
    EXPECT_EQ(Values(read, "RO"), (std::vector<std::string>{c.direction}));
  }
}

// Stored form.

TEST(Pcl5e, TheFactoryMakesItAsTheClassTableSays) {
  const RWClassID ids[] = {kGPcl5eClassID};
  ExpectMadeAsTheClassTableSays(ids);
}

TEST(Pcl5e, RoundTrips) {
  const GObjectRef held(pcl5_job::NewGenerator(nullptr));
  EXPECT_TRUE(RoundTrips(*held));
}

// The generator's part closes the stored form: version 1, pattern id 1,
// pending status 0 (16-bit each), output ok 1, 600 x 600 (16-bit each),
// colour models 2 and 2.
constexpr char kOwnPart[] =
    "\x01\x00\x00\x00"
    "\x01\x00"
    "\x00\x00"
    "\x01\x00\x00\x00"
    "\x58\x02\x58\x02"
    "\x02\x00\x00\x00"
    "\x02\x00\x00\x00";
constexpr size_t kOwnPartSize = sizeof(kOwnPart) - 1;

TEST(Pcl5e, ItsStoredPartIsTwentyFourBytesAfterTheGeneratorBase) {
  const GObjectRef generatorHeld(pcl5_job::NewGenerator(nullptr));
  const GPcl5e& generator = static_cast<GPcl5e&>(*generatorHeld);
  const std::string bytes = SaveContentsToFileBytes(generator);
  ASSERT_GE(bytes.size(), kOwnPartSize);
  EXPECT_EQ(bytes.substr(bytes.size() - kOwnPartSize), std::string(kOwnPart, kOwnPartSize));
  EXPECT_EQ(generator.StoredSize(), bytes.size());

  GPcl5e restored;
  std::string changed = bytes;
  changed[changed.size() - 10] = '\x2C';  // the y resolution: 300
  changed[changed.size() - 9] = '\x01';
  EXPECT_EQ(RestoreContentsFromFileBytes(restored, changed), changed.size());
  EXPECT_EQ(restored.YResolution(), 300);
  EXPECT_EQ(restored.XResolution(), 600);
  EXPECT_NE(restored.Stream(), nullptr);
}

}  // namespace
