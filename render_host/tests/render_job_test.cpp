// The render-job command over the sample job and over the failures that
// must end in a message, a non-zero exit and no output file.
#include "render_host/render_job.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "pclxl/testing/borzan_job.h"
#include "pclxl/testing/strict_pclxl_reader.h"
#include "pclxl/testing/xl_geometry.h"
#include "pclxl/testing/xl_image_reader.h"

namespace {

const std::filesystem::path kSampleDir = RENDER_HOST_SAMPLE_DIR;
constexpr char kClock[] = "2026-12-11T09:41:07";

GRenderJobPaths Paths() {
  GRenderJobPaths paths;
  paths.printerData = QV_TEST_PRINTER_DATA_FILE;
  paths.fontFolders = {"/usr/share/fonts"};
  paths.generatedImage = kSampleDir / "photo.jpg";
  return paths;
}

struct JobRun {
  int status = 0;
  std::string messages;
};

JobRun RenderJob(const std::vector<std::string>& arguments) {
  std::ostringstream err;
  JobRun run;
  run.status = RunRenderJob(arguments, Paths(), err);
  run.messages = err.str();
  return run;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Each test runs in a process of its own, side by side with the others:
// every process writes under a name of its own.
std::filesystem::path Scratch(const std::string& name) {
  static const std::string process = std::to_string(std::random_device()());
  return std::filesystem::path(testing::TempDir()) / ("render_job_" + process + "_" + name);
}

// The PCL XL stream between the job-control language's enter line and the
// closing escape.
strict_pclxl::ReadResult ReadStream(const std::string& job) {
  const std::string enter = "@PJL ENTER LANGUAGE=PCLXL\r\n";
  const size_t start = job.find(enter);
  if (start == std::string::npos) return {};
  const size_t stream = start + enter.size();
  const size_t end = job.find("\x1b%-12345X", stream);
  return strict_pclxl::ReadStrictly(
      {reinterpret_cast<const uint8_t*>(job.data() + stream), (end == std::string::npos ? job.size() : end) - stream});
}

class RenderedSampleJob : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    output_ = new std::string;
    run_ = new JobRun(
        RenderJob({"--clock", kClock, (kSampleDir / "sample.job").string(), Scratch("sample.pxl").string()}));
    *output_ = ReadFile(Scratch("sample.pxl"));
  }
  static void TearDownTestSuite() {
    delete output_;
    delete run_;
  }

  static std::string* output_;
  static JobRun* run_;
};

std::string* RenderedSampleJob::output_ = nullptr;
JobRun* RenderedSampleJob::run_ = nullptr;

TEST_F(RenderedSampleJob, RendersEveryPageWithAProgressLineEach) {
  ASSERT_EQ(run_->status, 0) << run_->messages;
  EXPECT_EQ(run_->messages, "render-job: page 1 done\nrender-job: page 2 done\nrender-job: page 3 done\n");
  EXPECT_EQ(output_->rfind("\x1b%-12345X@PJL JOB NAME=\"Sample job\"\r\n", 0), 0u);
  const strict_pclxl::ReadResult read = ReadStream(*output_);
  ASSERT_TRUE(read.Ok()) << strict_pclxl::Disassemble(read);
  EXPECT_EQ(xl_job::PerPage(read, "MediaSize"), (std::vector<std::string>{"A4", "A4", "A4"}));
  const std::vector<std::string> orientation = xl_job::PerPage(read, "Orientation");
  ASSERT_EQ(orientation.size(), 3u);
  EXPECT_EQ(orientation[0], orientation[1]);
  EXPECT_NE(orientation[2], orientation[0]) << "the third page is landscape";
}

TEST_F(RenderedSampleJob, TheSameClockWritesTheSameBytes) {
  const JobRun again =
      RenderJob({"--clock", kClock, (kSampleDir / "sample.job").string(), Scratch("sample_again.pxl").string()});
  ASSERT_EQ(again.status, 0) << again.messages;
  EXPECT_TRUE(ReadFile(Scratch("sample_again.pxl")) == *output_);
}

// 600 dots an inch: a length in millimetres in dots, as the device rounds.
double Dots(double millimetres) { return std::round(millimetres / 25.4 * 72 * 600 / 72); }

TEST_F(RenderedSampleJob, ShapesLandWhereTheJobPutsThem) {
  const xl_geometry::Geometry geometry = xl_geometry::Decode(ReadStream(*output_));
  ASSERT_TRUE(geometry.Ok()) << geometry.error;
  ASSERT_EQ(geometry.pages.size(), 3u);
  struct Case {
    const char* name;
    size_t page;
    xl_geometry::Box bounds;
  };
  // Boxes of figures as the job file gives them (origin, size in mm).
  const auto box = [](double x, double y, double w, double h) {
    return xl_geometry::Box{Dots(x), Dots(y), Dots(x) + Dots(w), Dots(y) + Dots(h)};
  };
  const Case cases[] = {
      {"rectangle", 1, box(20, 40, 50, 30)},
      {"round_rectangle", 1, box(80, 40, 50, 30)},
      {"frame_of_the_landscape_photograph", 2, box(18, 48, 124, 84)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bool found = false;
    for (const xl_geometry::Path& path : geometry.pages[c.page].paths) {
      for (const xl_geometry::Figure& figure : path.figures) found = found || figure.bounds == c.bounds;
    }
    EXPECT_TRUE(found);
  }
}

TEST_F(RenderedSampleJob, PhotographsAndTextAreInTheStream) {
  const strict_pclxl::ReadResult read = ReadStream(*output_);
  const std::vector<xl_images::Image> images = xl_images::Images(read);
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(images[0].destinationWidth, Dots(170));
  EXPECT_EQ(images[0].destinationHeight, Dots(113));
  // The stream places images from the printable area's corner, 1/6 inch
  // into the sheet.
  constexpr double kMargin = 100;
  EXPECT_EQ(images[0].cursorX, Dots(20) - kMargin);
  EXPECT_EQ(images[0].cursorY, Dots(85) - kMargin);
  EXPECT_EQ(images[1].destinationWidth, Dots(120));
  EXPECT_EQ(images[1].destinationHeight, Dots(80));
  const std::vector<std::string> names = read.OperatorNames();
  EXPECT_EQ(std::count(names.begin(), names.end(), "Text"), 9) << "one run a text line of the job";
}

TEST(RenderJob, FailuresEndInAMessageAndLeaveNoOutput) {
  const std::filesystem::path malformed = Scratch("malformed.job");
  std::ofstream(malformed) << "page\nrectangle 1mm\n";
  const std::filesystem::path badImage = Scratch("bad_image.job");
  std::ofstream(badImage) << "page\nimage \"missing.jpg\" 10mm 10mm 20mm 20mm\n";
  const std::string sample = (kSampleDir / "sample.job").string();
  const std::string output = Scratch("failed.pxl").string();
  struct Case {
    const char* name;
    std::vector<std::string> arguments;
    std::string message;
  };
  const Case cases[] = {
      {"missing_job_file", {Scratch("absent.job").string(), output}, "absent.job"},
      {"malformed_job_file", {malformed.string(), output}, "malformed.job:2"},
      {"unreadable_image", {badImage.string(), output}, "missing.jpg"},
      {"unknown_language", {"--pdl", "hpgl", sample, output}, "--pdl hpgl: unknown page description language"},
      {"language_that_cannot_draw_yet", {"--pdl", "pcl5e", sample, output}, "cannot draw pages yet"},
      {"unwritable_output", {sample, Scratch("no_such_folder/out.pxl").string()}, "could not be opened"},
      {"bad_clock", {"--clock", "2026-13-01T00:00:00", sample, output}, "not a time"},
      {"missing_output_argument", {sample}, "usage: render-job"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(output);
    const JobRun run = RenderJob(c.arguments);
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.messages.find("render-job: "), std::string::npos) << run.messages;
    EXPECT_NE(run.messages.find(c.message), std::string::npos) << run.messages;
    EXPECT_FALSE(std::filesystem::exists(output));
  }
}

TEST(RenderJob, AGeneratedJobIsWrittenAndRendered) {
  const JobRun run = RenderJob(
      {"--clock", kClock, "--generate", "12", Scratch("generated.job").string(), Scratch("generated.pxl").string()});
  ASSERT_EQ(run.status, 0) << run.messages;
  EXPECT_NE(run.messages.find("page 12 done"), std::string::npos);
  const strict_pclxl::ReadResult read = ReadStream(ReadFile(Scratch("generated.pxl")));
  ASSERT_TRUE(read.Ok()) << strict_pclxl::Disassemble(read);
  EXPECT_EQ(xl_job::PerPage(read, "MediaSize").size(), 12u);
}

}  // namespace
