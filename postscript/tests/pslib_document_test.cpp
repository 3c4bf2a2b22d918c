#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "postscript/library/procedure_sets.h"
#include "postscript/library/pslib_context.h"
#include "postscript/testing/ps_text.h"
#include "postscript/testing/string_sink.h"

namespace {

using ps_text::Count;
using ps_text::Lines;

// The page device dictionary the next page header writes, or "" when it
// writes none.
std::string NextPageDevice(SinkContext& out) {
  out.Text();
  const size_t before = out.sink.text.size();
  out.context.WritePageHeader();
  const std::string header = out.Text().substr(before);
  const size_t open = header.find("[{\r\n<<");
  if (open == std::string::npos) return "";
  return header.substr(open + 6, header.find(">> setpagedevice") - open - 6);
}

TEST(PSLIBDocumentTest, MinimalDocumentLineByLine) {
  SinkContext out;
  out.context.WriteDocumentHeader(false);
  out.context.WritePageHeader();
  out.context.WritePageTrailer();
  out.context.WriteDocumentTrailer(false);
  const std::string& standard = std::string(ProcsetTable()[0].body);
  const std::string& aliases = std::string(ProcsetTable()[1].body);
  const std::string expected =
      "%!PS-Adobe-3.0\r\n"
      "%%Copyright: Copyright QV Systems. All rights reserved.\r\n"
      "%%Copyright: Produced by the QV printer driver for the job's owner.\r\n"
      "%%Title: Untitled Document\r\n"
      "%%Creator: QV/Zun PS2 Driver\r\n"
      "%%BoundingBox: (atend)\r\n"
      "%%Pages: (atend)\r\n"
      "%%PageOrder: Special\r\n"
      "%%DocumentNeededResources: (atend)\r\n"
      "%%DocumentSuppliedResources: (atend)\r\n"
      "%%DocumentData: Clean8Bit\r\n"
      "%%LanguageLevel: 2\r\n"
      "%%EndComments\r\n"
      "\r\n"
      "%%BeginProlog\r\n"
      "%%BeginResource: procset QV_Standard_Proc 1.0 0\r\n"
      "/QV_Standard_Proc " +
      standard +
      "\r\n%%EndResource\r\n"
      "%%BeginResource: procset MS_Win35_Proc 3 1\r\n"
      "/MS_Win35_Proc " +
      aliases +
      "\r\n%%EndResource\r\n"
      "%%EndProlog\r\n"
      "\r\n"
      "%%BeginSetup\r\n"
      "<</ProcessColorModel /DeviceGray>> setpagedevice\r\n"
      "QV_Standard_Proc begin\r\n"
      "MS_Win35_Proc begin\r\n"
      "/pagegstatesave gstate def\r\n"
      "%%EndSetup\r\n"
      "%%Page: 1 1\r\n"
      "%%BeginPageSetup\r\n"
      "gsave\r\n"
      "/MOVE 1 def\r\n"
      "%%EndPageSetup\r\n"
      "AS\r\n"
      "grestore\r\n"
      "(%%[Page: 1]%%) =\r\n"
      "%%PageTrailer\r\n"
      "%%Trailer\r\n"
      "%%BoundingBox: TBD - Max of all pages\r\n"
      "%%DocumentNeededResources:\r\n"
      "%%DocumentSuppliedResources:\r\n"
      "%%+ procset QV_Standard_Proc 1.0 0\r\n"
      "%%+ procset MS_Win35_Proc 3 1\r\n"
      "end\r\n"
      "end\r\n"
      "%%Pages: 1\r\n"
      "(%%[LastPage]%%) =\r\n"
      "%%EOF\r\n";
  EXPECT_EQ(out.Text(), expected);
}

// Every resource, the error handler's too, ends with its comment on a
// line of its own, whatever the body's last line holds.
TEST(PSLIBDocumentTest, EndResourceStandsOnItsOwnLine) {
  SinkContext out;
  out.context.SetErrorHandlerFlag(true);
  out.context.WriteDocumentHeader(false);
  const std::string& text = out.Text();
  EXPECT_EQ(Count(text, "%%EndResource"), 3U);
  EXPECT_EQ(Count(text, "\r\n%%EndResource\r\n"), 3U);
  EXPECT_NE(text.find("%%BeginResource: file QV_PS_ErrorHandler 1.0 0\r\n" + std::string(ErrorHandlerBody())),
            std::string::npos);
}

TEST(PSLIBDocumentTest, TheErrorHandlerWritesOnlyIntoUserdictAndErrordict) {
  const std::string body(ErrorHandlerBody());
  EXPECT_EQ(body.find("systemdict"), std::string::npos);
  EXPECT_EQ(body.find("userdict begin"), 0U);
  EXPECT_NE(body.find("errordict /handleerror"), std::string::npos);
  // Every definition at the top level happens inside userdict or its own
  // dictionary: one begin per end.
  EXPECT_EQ(Count(body, " begin"), Count(body, "\nend") + Count(body, " end\r"));
}

TEST(PSLIBDocumentTest, HeaderOptions) {
  struct Case {
    const char* name;
    bool binary;
    bool ctrlD;
    const char* start;
    const char* data;
  };
  const Case cases[] = {
      {"plain", false, false, "%!PS-Adobe-3.0\r\n", "%%DocumentData: Clean8Bit\r\n"},
      {"ctrl_d", false, true, "\x04%!PS-Adobe-3.0\r\n", "%%DocumentData: Clean8Bit\r\n"},
      {"binary_switches_the_protocol", true, true, "\x04\x01M%!PS-Adobe-3.0\r\n", "%%DocumentData: Binary\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SinkContext out;
    out.context.SetBinaryMode(c.binary);
    out.context.WriteDocumentHeader(c.ctrlD);
    const std::string& text = out.Text();
    EXPECT_EQ(text.rfind(c.start, 0), 0U);
    EXPECT_NE(text.find(c.data), std::string::npos);
    EXPECT_EQ(text.find(c.binary ? "Clean8Bit" : "Binary"), std::string::npos);
  }
}

TEST(PSLIBDocumentTest, SetupSectionInOrder) {
  SinkContext out;
  out.context.SetJobTimeout(30);
  out.context.SetSetupString1("<< /CMYKInkSet 0 >> setpagedevice");
  out.context.SetCMYK(true);
  out.context.SetErrorHandlerFlag(false);
  out.context.SetNumCopies(2);
  out.context.SetHalftone(true);
  out.context.WriteDocumentHeader(false);
  const std::string& text = out.Text();
  const std::string setup = text.substr(text.find("%%BeginSetup\r\n"));
  const std::vector<std::string> expected = {
      "%%BeginSetup",
      "[{<</JobTimeout 30>> setuserparams",
      "} stopped cleartomark",
      "<< /CMYKInkSet 0 >> setpagedevice",
      "<</ProcessColorModel /DeviceCMYK>> setpagedevice",
      "[{",
      "/languagelevel where{pop languagelevel}{1}ifelse 1 eq{(Error: This job will only work on a level 2 "
      "PostScript compatible printer) show}if",
      "} stopped cleartomark",
      "[{",
      "<</NumCopies 2",
      ">> setpagedevice",
      "} stopped cleartomark",
      "[{",
      "<</PostRenderingEnhance false",
      "/Install",
      "{",
      "/DefaultColorRendering600 /ColorRendering findresource setcolorrendering",
      "/DefaultHalftone600 /Halftone findresource sethalftone",
      "{} settransfer false setstrokeadjust",
      "}",
      ">> setpagedevice",
      "} stopped cleartomark",
      "106.0 45.0 currentscreen exch pop exch pop setscreen",
      "QV_Standard_Proc begin",
      "MS_Win35_Proc begin",
      "/pagegstatesave gstate def",
      "%%EndSetup",
  };
  EXPECT_EQ(Lines(setup), expected);
  // What the setup consumed is not written again.
  EXPECT_EQ(NextPageDevice(out), "");
}

TEST(PSLIBDocumentTest, SettersThatLeaveNothingPending) {
  PSLIBContext context(nullptr);
  context.SetNumCopies(0);
  context.SetMediaPosition(PSLIBContext::kNoMediaPosition);
  context.SetMediaPosition(PSLIBContext::kAnyMediaPosition);
  context.SetTumbleSwap();
  context.SetRotatedMedia(true);
  EXPECT_FALSE(context.IsPageDevicePending());
  context.SetOrientation(PSLIBContext::kPortrait);
  EXPECT_FALSE(context.IsPageDevicePending());
}

TEST(PSLIBDocumentTest, PageDeviceEntriesInTheirOrder) {
  SinkContext out;
  out.context.SetEconoMode(1);
  out.context.SetDuplex(0);
  out.context.SetMediaPosition(4);
  out.context.SetManualFeed(false);
  out.context.SetMediaType("Plain (80g)");
  out.context.SetPageSize(612, 792);
  out.context.SetPreRenderingEnhance(1);
  out.context.SetResolution(600, 300);
  out.context.SetDeferredMediaSelection(true);
  out.context.SetOutputBin(3, 2);
  out.context.SetCollate(true);
  out.context.SetPostRenderingEnhance(0);
  out.context.SetExtendedPrintArea(true);
  EXPECT_EQ(NextPageDevice(out),
            "/DeferredMediaSelection true\r\n"
            "/HWResolution [600 300]\r\n"
            "/PreRenderingEnhance false\r\n"
            "/PageSize [612 792] /ImagingBBox null\r\n"
            "/MediaType (Plain \\(80g\\))\r\n"
            "/ManualFeed false\r\n"
            "/MediaPosition 4\r\n"
            "/Collate true\r\n"
            "/Duplex false\r\n"
            "/PostRenderingEnhance false\r\n"
            "/EconoMode true\r\n"
            "/ExtendedPrintArea true\r\n");
}

TEST(PSLIBDocumentTest, PageSizeFollowsOrientationAndRotatedMedia) {
  struct Case {
    const char* name;
    uint8_t orientation;
    bool rotated;
    const char* entry;
  };
  const Case cases[] = {
      {"portrait", PSLIBContext::kPortrait, false, "/PageSize [612 792] /ImagingBBox null\r\n"},
      {"landscape", PSLIBContext::kLandscape, false, "/PageSize [792 612] /ImagingBBox null\r\n"},
      {"reverse_landscape", PSLIBContext::kReverseLandscape, false, "/PageSize [792 612] /ImagingBBox null\r\n"},
      {"reverse_portrait", PSLIBContext::kReversePortrait, false, "/PageSize [612 792] /ImagingBBox null\r\n"},
      {"landscape_rotated_media", PSLIBContext::kLandscape, true, "/PageSize [612 792] /ImagingBBox null\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SinkContext out;
    out.context.SetRotatedMedia(c.rotated);
    out.context.SetOrientation(c.orientation);
    out.context.SetPageSize(792, 612);
    EXPECT_EQ(NextPageDevice(out), c.entry);
  }
}

// A turned page of the same medium sends the size again, and nothing else.
TEST(PSLIBDocumentTest, OrientationChangeSendsOnlyThePageSize) {
  SinkContext out;
  out.context.SetPageSize(612, 792);
  out.context.SetNumCopies(1);
  EXPECT_NE(NextPageDevice(out), "");
  out.context.SetPageSize(612, 792);
  EXPECT_EQ(NextPageDevice(out), "");
  out.context.SetOrientation(PSLIBContext::kLandscape);
  out.context.SetPageSize(612, 792);
  EXPECT_EQ(NextPageDevice(out), "/PageSize [792 612] /ImagingBBox null\r\n");
}

TEST(PSLIBDocumentTest, DuplexByModeOrientationAndSwap) {
  constexpr const char* kFieryLongEdge =
      "userdict /FieryXJdict known {/Duplex true /Tumble false}{/Duplex true /Tumble true} ifelse";
  constexpr const char* kFieryShortEdge =
      "userdict /FieryXJdict known {/Duplex true /Tumble true}{/Duplex true /Tumble false} ifelse";
  struct Case {
    const char* name;
    int16_t mode;
    uint8_t orientation;
    bool swap;
    const char* text;
  };
  const Case cases[] = {
      {"long_edge_landscape", 1, PSLIBContext::kLandscape, false, kFieryLongEdge},
      {"long_edge_landscape_swapped", 1, PSLIBContext::kReverseLandscape, true, kFieryLongEdge},
      {"long_edge_portrait", 1, PSLIBContext::kPortrait, false, "/Duplex true /Tumble true"},
      {"long_edge_portrait_swapped", 1, PSLIBContext::kPortrait, true, "/Duplex true /Tumble false"},
      {"short_edge_landscape", 2, PSLIBContext::kLandscape, false, kFieryShortEdge},
      {"short_edge_landscape_swapped", 2, PSLIBContext::kLandscape, true, "/Duplex true /Tumble false"},
      {"short_edge_portrait", 2, PSLIBContext::kReversePortrait, false, "/Duplex true /Tumble false"},
      {"simplex", 0, PSLIBContext::kPortrait, false, "/Duplex false"},
      {"unknown_mode", 7, PSLIBContext::kLandscape, true, "/Duplex false"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SinkContext out;
    out.context.SetOrientation(c.orientation);
    if (c.swap) out.context.SetTumbleSwap();
    out.context.SetDuplex(c.mode);
    // The duplex entry is the last one (a turned page also sends its size).
    EXPECT_TRUE(("\n" + NextPageDevice(out)).ends_with("\n" + std::string(c.text) + "\r\n"));
  }
}

TEST(PSLIBDocumentTest, ProcedureSetsAreSentOnceUnlessAskedAgain) {
  SinkContext out;
  out.context.DownloadProcset(PSLIBContext::kStandardProcset);
  out.context.DownloadProcset(PSLIBContext::kStandardProcset);
  EXPECT_EQ(Count(out.Text(), "%%BeginResource: procset QV_Standard_Proc"), 1U);
  out.context.DownloadProcset(PSLIBContext::kStandardProcsetAgain);
  EXPECT_EQ(Count(out.Text(), "%%BeginResource: procset QV_Standard_Proc"), 2U);

  std::string name = "stale";
  EXPECT_EQ(out.context.ProcsetName(3, name), PSLIBContext::kNoProcset);
  EXPECT_EQ(name, "");
  EXPECT_EQ(out.context.ProcsetName(1, name), 0);
  EXPECT_EQ(name, "MS_Win35_Proc");
}

// Sets close in the reverse order of opening: closing the lower one first
// does nothing.
TEST(PSLIBDocumentTest, ProcedureSetsCloseFromTheTop) {
  SinkContext out;
  out.context.BeginProcset(0);
  out.context.BeginProcset(1);
  out.context.BeginProcset(1);
  const size_t before = out.Text().size();
  out.context.EndProcset(0);
  EXPECT_EQ(out.Text().size(), before);
  out.context.EndProcset(1);
  out.context.EndProcset(0);
  EXPECT_EQ(out.Text().substr(before), "end\r\nend\r\n");
  EXPECT_EQ(out.context.BegunProcsets(), 0U);
}

TEST(PSLIBDocumentTest, PageSetupWithStringsAndNegative) {
  SinkContext out;
  out.context.SetPageStrings({"a1", "a2", "b1", "b2", "c1", "c2"});
  out.context.SetNegative(true);
  out.context.WritePageHeader();
  EXPECT_EQ(Lines(out.Text()),
            (std::vector<std::string>{"%%Page: 1 1", "%%BeginPageSetup", "gsave", "a1", "a2", "b1", "b2", "c1", "c2",
                                      "{1 exch sub} settransfer erasepage", "/MOVE 1 def", "%%EndPageSetup"}));
}

// A reset starts a fresh job but keeps what the printer set up once.
TEST(PSLIBDocumentTest, ResetKeepsTheStoredStringsAndFlags) {
  SinkContext out;
  out.context.SetPageStrings({"a", "b", "c", "d", "e", "f"});
  out.context.SetSetupString2("setup");
  out.context.SetErrorHandlerFlag(true);
  out.context.SetBinaryMode(true);
  out.context.SetTitle("Old");
  out.context.SetScreenFrequency(800);
  out.context.SetPageSize(612, 792);
  out.context.WriteText("dropped");
  out.context.Reset();
  EXPECT_EQ(out.context.UsedBytes(), 0U);
  EXPECT_FALSE(out.context.IsBinaryMode());
  EXPECT_FALSE(out.context.IsPageDevicePending());
  EXPECT_EQ(out.context.Title(), "");
  EXPECT_EQ(out.context.ScreenFrequency(), PSLIBContext::kDefaultScreenFrequency);
  out.context.WriteDocumentHeader(false);
  const std::string& text = out.Text();
  EXPECT_NE(text.find("QV_PS_ErrorHandler"), std::string::npos);
  EXPECT_NE(text.find("\r\nsetup\r\n"), std::string::npos);
  // The page size was forgotten, so the same size is sent again.
  out.context.SetPageSize(612, 792);
  EXPECT_EQ(NextPageDevice(out), "/PageSize [612 792] /ImagingBBox null\r\n");
}

TEST(PSLIBDocumentTest, TitleIsACleanCommentValue) {
  SinkContext out;
  out.context.SetTitle("Q3\r\n%%EOF report");
  out.context.WriteDocumentHeader(false);
  EXPECT_NE(out.Text().find("%%Title: Q3  %%EOF report\r\n"), std::string::npos);

  SinkContext longTitle;
  longTitle.context.SetTitle(std::string(400, 'x'));
  longTitle.context.WriteDocumentHeader(false);
  for (const std::string& line : Lines(longTitle.Text())) {
    if (line.starts_with("%%")) {
      EXPECT_LE(line.size(), 255U);
    }
  }
}

}  // namespace
