// Ghostscript reads the documents the generator writes: every job runs
// without an error, and its PDF rendering has the pages and page sizes the
// settings asked for. Python's decoder reads the ASCII85 data.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "postscript/library/pslib_context.h"
#include "postscript/testing/ps_job.h"
#include "postscript/testing/string_sink.h"

namespace {

using ps_job::Job;
using ps_job::Page;

constexpr char kPython[] = "/usr/bin/python3";

std::string TempPath(const std::string& name) { return testing::TempDir() + "postscript_gs_" + name; }

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Runs the command with its output into a file of its own (test cases run
// in parallel); answers the exit status and the output.
int Run(const std::string& command, const std::string& name, std::string& output) {
  const std::string log = TempPath(name + ".log");
  const int status = std::system((command + " > '" + log + "' 2>&1").c_str());
  output = ReadFile(log);
  return status;
}

struct Rendered {
  bool ran = false;
  std::string log;
  // "width height" of each page of the PDF rendering.
  std::vector<std::string> pages;
};

// The job as a printer reads it, through the null device, then through
// the PDF writer, whose pages are read back.
Rendered Render(const std::string& job, const std::string& name) {
  Rendered rendered;
  const std::string ps = TempPath(name + ".ps");
  const std::string pdf = TempPath(name + ".pdf");
  WriteFile(ps, ps_job::StripTBCP(job));
  std::string nullLog;
  const int nullStatus = Run("gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=nullpage '" + ps + "'", name + "_null", nullLog);
  std::string pdfLog;
  const int pdfStatus = Run("gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pdfwrite -sOutputFile='" + pdf + "' '" + ps + "'",
                            name + "_pdf", pdfLog);
  std::string boxes;
  const int readStatus = Run("gs -q -dNODISPLAY -dNOSAFER -c \"(" + pdf +
                                 ") (r) file runpdfbegin 1 1 pdfpagecount {pdfgetpage /MediaBox pget pop "
                                 "dup 2 get =only ( ) print 3 get =} for quit\"",
                             name + "_boxes", boxes);
  rendered.ran = nullStatus == 0 && pdfStatus == 0 && readStatus == 0;
  rendered.log = nullLog + pdfLog;
  std::istringstream lines(boxes);
  for (std::string line; std::getline(lines, line);) rendered.pages.push_back(line);
  return rendered;
}

struct JobCase {
  const char* name;
  std::vector<ps_job::Setting> settings;
  std::vector<Page> pages;
  std::vector<std::string> sizes;
};

const Page kLetter{};
const Page kA4Landscape{.sizeId = ps_job::kA4,
                        .paper = ps_job::kA4Dots,
                        .tray = ps_job::kLowerTray,
                        .orientation = 90,
                        .mediaType = "Plain"};
const Page kCustomRotated{.sizeId = ps_job::kCustom,
                          .paper = {3000, 6000},
                          .tray = ps_job::kManualTray,
                          .orientation = 90,
                          .rotatedMedia = 1};
const Page kLetterReverse{.orientation = 180, .copies = 2, .mediaType = "Heavy (120g)"};

TEST(GhostscriptTest, JobsRunWithoutErrorsAndKeepTheirPageSizes) {
  const std::vector<Page> mixed = {kLetter, kA4Landscape, kCustomRotated, kLetterReverse, kA4Landscape};
  const std::vector<std::string> mixedSizes = {"612 792", "842 595", "360 720", "612 792", "842 595"};
  const JobCase cases[] = {
      {"plain", {}, mixed, mixedSizes},
      {"error_handler", {{581, 1}}, mixed, mixedSizes},
      {"long_edge_duplex", {{253, 1}}, mixed, mixedSizes},
      {"short_edge_duplex_with_handler", {{253, 2}, {581, 1}}, mixed, mixedSizes},
      {"binary_with_ctrl_d", {{574, 0}, {577, 1}, {578, 1}}, mixed, mixedSizes},
      {"ascii85_colour_copies", {{580, 1}, {296, 0}, {247, 2}}, {kLetter}, {"612 792"}},
      {"negative_halftone", {{576, 1}, {582, 0}, {583, 600}}, {kLetter, kLetter}, {"612 792", "612 792"}},
  };
  for (const JobCase& c : cases) {
    SCOPED_TRACE(c.name);
    Job job;
    ASSERT_EQ(job.Start(c.settings), 0);
    for (const Page& page : c.pages) ASSERT_EQ(job.Print(page), 0);
    ASSERT_EQ(job.End(), 0);
    const Rendered rendered = Render(job.Output(), c.name);
    EXPECT_TRUE(rendered.ran) << rendered.log;
    EXPECT_EQ(rendered.log.find("Error"), std::string::npos) << rendered.log;
    EXPECT_EQ(rendered.pages, c.sizes);
  }
}

// Pass-through data in binary mode reaches the interpreter as it was
// given, once the protocol's quoting is undone.
TEST(GhostscriptTest, BinaryPassThroughDataArrivesIntact) {
  Job job;
  ASSERT_EQ(job.Start({{574, 0}}), 0);
  const std::string data = "(\x01\x04\x1B) length 3 ne {(Error: quoting) =} if\r\n";
  ASSERT_EQ(job.Print(kLetter, [&](Job& j) { EXPECT_EQ(j.PassThrough(data), 0); }), 0);
  ASSERT_EQ(job.End(), 0);
  EXPECT_NE(job.Output().find("\x01\x41\x01\x44\x01\x5B"), std::string::npos);
  const Rendered rendered = Render(job.Output(), "binary_pass_through");
  EXPECT_TRUE(rendered.ran) << rendered.log;
  EXPECT_EQ(rendered.log.find("Error"), std::string::npos) << rendered.log;
  EXPECT_EQ(rendered.pages.size(), 1U);
}

// An error in the job's own PostScript ends the page it broke and prints
// the error report on a page of its own instead of stopping silently.
TEST(GhostscriptTest, TheErrorHandlerPrintsTheError) {
  Job job;
  ASSERT_EQ(job.Start({{581, 1}}), 0);
  ASSERT_EQ(job.Print(kLetter, [](Job& j) { EXPECT_EQ(j.PassThrough("qvnosuchoperator\r\n"), 0); }), 0);
  ASSERT_EQ(job.End(), 0);
  const Rendered rendered = Render(job.Output(), "handled_error");
  EXPECT_EQ(rendered.pages.size(), 2U) << rendered.log;
}

// ASCII85 data blocks, in pieces of every size, decode with Python's
// decoder to the bytes that were written.
TEST(GhostscriptTest, ASCII85DataDecodesWithPython) {
  std::string bytes;
  for (int i = 0; i < 3000; ++i) bytes += static_cast<char>((i * 37 + i / 7) & 0xFF);
  bytes += std::string(64, '\0') + "\x00\x01";
  SinkContext out;
  out.context.SetASCII85(true);
  out.context.BeginData(true);
  for (size_t at = 0, piece = 1; at < bytes.size(); at += piece, piece = piece % 13 + 1) {
    out.context.WriteData({reinterpret_cast<const uint8_t*>(bytes.data()) + at, std::min(piece, bytes.size() - at)});
  }
  out.context.EndData(0, true);
  WriteFile(TempPath("data.a85"), out.Text());
  const std::string command = std::string(kPython) +
                              " -c \"import sys, base64; i, o = sys.argv[1:3]; "
                              "open(o, 'wb').write(base64.a85decode(open(i, 'rb').read().strip(), adobe=True))\" '" +
                              TempPath("data.a85") + "' '" + TempPath("data.out") + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(ReadFile(TempPath("data.out")), bytes);
}

}  // namespace
