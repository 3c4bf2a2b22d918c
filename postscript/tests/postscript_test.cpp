#include "postscript/generator/postscript.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/testing/faulty_output_channel.h"
#include "postscript/library/procedure_sets.h"
#include "postscript/testing/ps_job.h"
#include "postscript/testing/ps_text.h"

namespace {

using ps_text::Count;
using ps_text::Lines;

using ps_job::Job;
using ps_job::Page;

// The lines from the first one equal to from up to (not with) the first
// one equal to to after it.
std::vector<std::string> Between(const std::string& text, const std::string& from, const std::string& to) {
  const std::vector<std::string> lines = Lines(text);
  std::vector<std::string> part;
  bool inside = false;
  for (const std::string& line : lines) {
    if (inside && line == to) break;
    if (line == from) inside = true;
    if (inside) part.push_back(line);
  }
  return part;
}

std::string OnePageJob(const std::vector<ps_job::Setting>& settings, const Page& page = {}) {
  Job job;
  EXPECT_EQ(job.Start(settings), 0);
  EXPECT_EQ(job.Print(page), 0);
  EXPECT_EQ(job.End(), 0);
  return job.Output();
}

// A document without settings and one empty page: the whole document, line
// by line up to the procedure sets, then from the end of the prolog.
TEST(GPostScriptTest, DocumentWithoutSettings) {
  const std::string text = OnePageJob({}, Page{.tray = std::nullopt});
  const std::vector<std::string> lines = Lines(text);
  const std::vector<std::string> head = {
      "%!PS-Adobe-3.0",
      "%%Copyright: Copyright QV Systems. All rights reserved.",
      "%%Copyright: Produced by the QV printer driver for the job's owner.",
      "%%Title: Report",
      "%%Creator: QV/Zun PS2 Driver",
      "%%BoundingBox: (atend)",
      "%%Pages: (atend)",
      "%%PageOrder: Special",
      "%%DocumentNeededResources: (atend)",
      "%%DocumentSuppliedResources: (atend)",
      "%%DocumentData: Clean8Bit",
      "%%LanguageLevel: 2",
      "%%EndComments",
      "",
      "%%BeginProlog",
      "%%BeginResource: procset QV_Standard_Proc 1.0 0",
  };
  ASSERT_GT(lines.size(), head.size());
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + static_cast<ptrdiff_t>(head.size())), head);
  const std::vector<std::string> rest = {
      "%%EndProlog",
      "",
      "%%BeginSetup",
      "<</ProcessColorModel /DeviceGray>> setpagedevice",
      "[{",
      "<</DeferredMediaSelection true",
      "/HWResolution [600 600]",
      "/PreRenderingEnhance false",
      "/PageSize [612 792] /ImagingBBox null",
      "/NumCopies 1",
      "/Collate false",
      "/Duplex false",
      "/PostRenderingEnhance true",
      "/EconoMode false",
      ">> setpagedevice",
      "} stopped cleartomark",
      "QV_Standard_Proc begin",
      "MS_Win35_Proc begin",
      "/pagegstatesave gstate def",
      "%%EndSetup",
      "%%Page: 1 1",
      "%%BeginPageSetup",
      "gsave",
      "/MOVE 1 def",
      "%%EndPageSetup",
      "AS",
      "grestore",
      "(%%[Page: 1]%%) =",
      "%%PageTrailer",
      "%%Trailer",
      "%%BoundingBox: TBD - Max of all pages",
      "%%DocumentNeededResources:",
      "%%DocumentSuppliedResources:",
      "%%+ procset QV_Standard_Proc 1.0 0",
      "%%+ procset MS_Win35_Proc 3 1",
      "end",
      "end",
      "%%Pages: 1",
      "(%%[LastPage]%%) =",
      "%%EOF",
  };
  EXPECT_EQ(Between(text, "%%EndProlog", "never"), rest);
}

TEST(GPostScriptTest, NegativeOverridesColour) {
  const std::string text = OnePageJob({{296, 0}, {576, 1}});
  const std::vector<std::string> setup = Between(text, "%%BeginSetup", "[{");
  EXPECT_EQ(setup, (std::vector<std::string>{"%%BeginSetup", "<< /CMYKInkSet 0 >> setpagedevice", "",
                                             "<< /SpotColorMatching false >> setpagedevice", "",
                                             "<</ProcessColorModel /DeviceGray>> setpagedevice"}));
  EXPECT_NE(text.find("{1 exch sub} settransfer erasepage"), std::string::npos);

  const std::string colour = OnePageJob({{296, 0}});
  EXPECT_NE(colour.find("<</ProcessColorModel /DeviceCMYK>> setpagedevice"), std::string::npos);
}

TEST(GPostScriptTest, RawModeWritesOnlyThePassThroughData) {
  Job job;
  ASSERT_EQ(job.Start({{600, 1}, {574, 0}}), 0);
  const std::string data("%!PS\n\x04\x01 own job\n");
  ASSERT_EQ(job.Print({}, [&](Job& j) { EXPECT_EQ(j.PassThrough(data), 0); }), 0);
  ASSERT_EQ(job.End(), 0);
  EXPECT_EQ(job.Output(), data);
}

// Data for another generator is left alone; data for this one follows the
// font procedures, quoted in binary mode.
TEST(GPostScriptTest, PassThroughData) {
  Job job;
  ASSERT_EQ(job.Start({{574, 0}}), 0);
  ASSERT_EQ(job.Print({},
                      [](Job& j) {
                        EXPECT_EQ(j.PassThrough("not mine", 767), 0);
                        EXPECT_EQ(j.PassThrough("mine\x04"), 0);
                        EXPECT_EQ(j.PassThrough(" again"), 0);
                      }),
            0);
  ASSERT_EQ(job.End(), 0);
  const std::string text = job.Output();
  EXPECT_EQ(text.find("not mine"), std::string::npos);
  EXPECT_NE(text.find("QV_Standard_Proc begin\r\n" + std::string(Type3Procedures()) + std::string(Type42Procedures()) +
                      "\r\n end\r\nmine\x01\x44 again"),
            std::string::npos);
  EXPECT_EQ(job.Generator().CoordinateMode(), GPostScript::kNoCoordinates);
}

TEST(GPostScriptTest, MediaEntriesAreSentWhenTheyChange) {
  Job job;
  ASSERT_EQ(job.Start(), 0);
  const Page plain{.tray = ps_job::kLowerTray, .mediaType = "Plain"};
  ASSERT_EQ(job.Print(plain), 0);
  ASSERT_EQ(job.Print(plain), 0);
  ASSERT_EQ(job.Print({.tray = ps_job::kManualTray, .mediaType = "Heavy (120g)"}), 0);
  ASSERT_EQ(job.End(), 0);
  const std::string text = job.Output();
  // The first page's entries go with the document setup.
  const std::vector<std::string> setup = Between(text, "%%BeginSetup", "%%EndSetup");
  const std::vector<std::string> page1 = Between(text, "%%Page: 1 1", "%%EndPageSetup");
  const std::vector<std::string> page2 = Between(text, "%%Page: 2 2", "%%EndPageSetup");
  const std::vector<std::string> page3 = Between(text, "%%Page: 3 3", "%%EndPageSetup");
  EXPECT_EQ(std::vector<std::string>(setup.begin() + 7, setup.begin() + 10),
            (std::vector<std::string>{"/MediaType (Plain)", "/ManualFeed false", "/MediaPosition 4"}));
  EXPECT_EQ(page1, (std::vector<std::string>{"%%Page: 1 1", "%%BeginPageSetup", "gsave", "/MOVE 1 def"}));
  EXPECT_EQ(page2, (std::vector<std::string>{"%%Page: 2 2", "%%BeginPageSetup", "gsave", "/MOVE 1 def"}));
  EXPECT_EQ(page3, (std::vector<std::string>{"%%Page: 3 3", "%%BeginPageSetup", "[{", "<</MediaType (Heavy \\(120g\\))",
                                             "/ManualFeed true", "/MediaPosition 3", ">> setpagedevice",
                                             "} stopped cleartomark", "gsave", "/MOVE 1 def"}));
}

TEST(GPostScriptTest, PageSizeByMediaOrientationAndRotation) {
  struct Case {
    const char* name;
    Page page;
    const char* entry;
  };
  const Case cases[] = {
      {"letter", {}, "/PageSize [612 792] /ImagingBBox null"},
      {"letter_landscape", {.orientation = 90}, "/PageSize [792 612] /ImagingBBox null"},
      {"a4_reverse_landscape",
       {.sizeId = ps_job::kA4, .paper = ps_job::kA4Dots, .orientation = 270},
       "/PageSize [842 595] /ImagingBBox null"},
      // A listed size is never fed turned.
      {"listed_size_not_rotated", {.orientation = 90, .rotatedMedia = 1}, "/PageSize [792 612] /ImagingBBox null"},
      {"custom_size_rotated",
       {.sizeId = ps_job::kCustom, .paper = {3000, 6000}, .orientation = 90, .rotatedMedia = 1},
       "/PageSize [360 720] /ImagingBBox null"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string text = OnePageJob({}, c.page);
    EXPECT_EQ(Count(text, c.entry), 1U);
  }
}

TEST(GPostScriptTest, JobSettingsReachThePageDevice) {
  const std::string text = OnePageJob({{253, 2}, {247, 3}, {252, 1}, {250, 0}, {325, 2}, {442, 1}});
  const std::vector<std::string> dictionary = Between(text, "<</DeferredMediaSelection true", ">> setpagedevice");
  EXPECT_EQ(dictionary, (std::vector<std::string>{
                            "<</DeferredMediaSelection true", "/HWResolution [600 600]", "/PreRenderingEnhance true",
                            "/PageSize [612 792] /ImagingBBox null", "/ManualFeed false", "/MediaPosition 1",
                            "/NumCopies 3", "/Collate true", "/Duplex true /Tumble false",
                            "/PostRenderingEnhance false", "/EconoMode true", "/ExtendedPrintArea true"}));
}

TEST(GPostScriptTest, OptionalResources) {
  const std::string handler = OnePageJob({{581, 1}, {577, 1}, {578, 1}});
  EXPECT_EQ(handler.rfind("\x04%!PS-Adobe-3.0", 0), 0U);
  EXPECT_TRUE(handler.ends_with("%%EOF\r\n\x04"));
  EXPECT_NE(handler.find(ErrorHandlerBody()), std::string::npos);
  EXPECT_NE(handler.find("%%+ file QV_PS_ErrorHandler 1.0 0\r\n"), std::string::npos);
  EXPECT_NE(handler.find("/languagelevel where"), std::string::npos);

  const std::string halftone = OnePageJob({{582, 0}, {583, 1335}, {584, 150}});
  EXPECT_NE(halftone.find("133.5 15.0 currentscreen"), std::string::npos);
  const std::string noHalftone = OnePageJob({{582, 1}, {583, 1335}});
  EXPECT_EQ(noHalftone.find("currentscreen"), std::string::npos);
}

TEST(GPostScriptTest, TitleIsTheCleanedDocumentName) {
  Job job;
  ASSERT_EQ(job.Start({}, nullptr, "Q3\r\n%%EOF"), 0);
  ASSERT_EQ(job.Print({}), 0);
  ASSERT_EQ(job.End(), 0);
  EXPECT_NE(job.Output().find("%%Title: Q3  %%EOF\r\n"), std::string::npos);
}

TEST(GPostScriptTest, DocumentStartSettings) {
  struct Case {
    const char* name;
    std::vector<ps_job::Setting> settings;
    uint16_t trueTypeFormat;
    bool colour;
  };
  const Case cases[] = {
      {"no_settings_type1_grey", {}, GPostScript::kType1Download, false},
      {"type42_without_device", {{570, 0}}, GPostScript::kType42Download, false},
      {"type3", {{570, 2}}, GPostScript::kType3Download, false},
      {"other_format", {{570, 5}}, GPostScript::kType1Download, false},
      {"colour", {{296, 0}}, GPostScript::kType1Download, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Job job;
    ASSERT_EQ(job.Start(c.settings), 0);
    EXPECT_EQ(job.Generator().TrueTypeDownloadFormat(), c.trueTypeFormat);
    EXPECT_EQ(job.Generator().IsColour(), c.colour);
    // Without the printer's dither matrices nothing is dithered.
    EXPECT_EQ(job.Generator().DitherEntry(), nullptr);
    EXPECT_EQ(job.Generator().ImageScalingMode(), GPostScript::kPlainScaling);
  }
}

// The first refused write is answered by the operation it happened in;
// nothing more reaches the channel and later operations answer 0.
TEST(GPostScriptTest, FailedChannelWriteIsReportedOnce) {
  Job job;
  GFaultyOutputChannel channel(RWCString("faulty"), {.goodWrites = 0});
  ASSERT_EQ(channel.Open(RWWString()), 0);
  ASSERT_EQ(job.Start({}, &channel), 0);
  // The first flush comes at the page end.
  EXPECT_EQ(job.Print({}), GOutputChannel::kWriteFailed);
  EXPECT_FALSE(job.Generator().Output().OutputOk());
  EXPECT_EQ(job.Print({}), 0);
  EXPECT_EQ(job.End(), 0);
  EXPECT_TRUE(channel.Bytes().empty());
}

}  // namespace
