// The job front end: a job file read into settings and pages, page by page;
// the messages of malformed files; and the generated long job read back.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "render_host/job_generator.h"
#include "render_host/job_reader.h"

namespace {

constexpr double kMillimetre = 72 / 25.4;

struct ReadJob {
  GJobSettings settings;
  std::vector<GJobPage> pages;
  std::string error;
};

ReadJob Read(const std::string& text) {
  std::istringstream in(text);
  GJobReader reader(in, "jobs/test.job");
  ReadJob job;
  GJobPage page;
  while (reader.NextPage(page)) job.pages.push_back(page);
  job.settings = reader.GetSettings();
  job.error = reader.Error();
  return job;
}

TEST(JobReader, ReadsTheSettingsBeforeTheFirstPage) {
  const ReadJob job = Read(
      "# settings\n"
      "job-name \"Quarterly \\\"report\\\" \\u{e9}t\\u{1F600}\"\n"
      "copies 3\n"
      "duplex long-edge\n"
      "resolution 300\n"
      "media Letter\n"
      "orientation landscape\n"
      "watermark \"DRAFT\" face \"DejaVu Sans\" size 60 style bold,underline pages first angle -30 tint cyan "
      "lightness 255\n");
  ASSERT_EQ(job.error, "");
  EXPECT_TRUE(job.pages.empty());
  const GJobSettings& s = job.settings;
  EXPECT_EQ(s.name, "Quarterly \"report\" \xC3\xA9t\xF0\x9F\x98\x80");
  EXPECT_EQ(s.copies, 3);
  EXPECT_EQ(s.duplex, GJobDuplex::kLongEdge);
  EXPECT_EQ(s.resolution, 300);
  EXPECT_EQ(s.media, "Letter");
  EXPECT_EQ(s.orientation, GJobOrientation::kLandscape);
  GJobWatermark expected;
  expected.text = "DRAFT";
  expected.face = "DejaVu Sans";
  expected.pointSize = 60;
  expected.style = GJobWatermark::kBold | GJobWatermark::kUnderline;
  expected.pages = GJobWatermark::Pages::kFirst;
  expected.angle = GJobWatermark::Angle::kCustom;
  expected.customAngle = -30;
  expected.green = expected.blue = true;
  expected.lightness = 255;
  EXPECT_EQ(s.watermark, expected);
}

TEST(JobReader, ReadsEachPageWithTheDrawingStateOfItsItems) {
  const ReadJob job = Read(
      "media A4\n"
      "font \"DejaVu Sans\" 10\n"
      "page\n"
      "text 1in 2cm \"Hello\"  # trailing comment\n"
      "pen #ff0000 2mm\n"
      "brush #00ff80\n"
      "rectangle 10 20 30 40\n"
      "\n"
      "page media Letter orientation landscape\n"
      "pen none\n"
      "font-file \"fonts/serif.ttf\" 14pt\n"
      "text-colour #0000ff\n"
      "text 0 0 \"x\"\n"
      "round-rectangle 0 0 10 10 2 3\n"
      "brush none\n"
      "ellipse 1 2 3 4\n"
      "polyline 0 0 10 10\n"
      "polygon 0 0 10 0 5 5\n"
      "path move 0 0 line 10 0 bezier 10 5 5 10 0 10 close move 20 20 line 30 30\n"
      "image \"photo.jpg\" 0 0 100 50\n"
      "image \"/abs/photo.jpg\" 0 0 100 50\n");
  ASSERT_EQ(job.error, "");
  ASSERT_EQ(job.pages.size(), 2u);

  const GJobPage& first = job.pages[0];
  EXPECT_EQ(first.number, 1u);
  EXPECT_EQ(first.line, 3u);
  EXPECT_EQ(first.media, "A4");
  EXPECT_EQ(first.orientation, GJobOrientation::kPortrait);
  ASSERT_EQ(first.items.size(), 2u);
  const auto& text = std::get<GJobText>(first.items[0].shape);
  EXPECT_EQ(first.items[0].line, 4u);
  EXPECT_EQ(text.font, (GJobFont{{}, "DejaVu Sans", 10}));
  EXPECT_DOUBLE_EQ(text.origin.x, 72);
  EXPECT_DOUBLE_EQ(text.origin.y, 20 * kMillimetre);
  EXPECT_EQ(text.text, "Hello");
  EXPECT_EQ(text.colour, GJobColour{});
  const auto& rectangle = std::get<GJobRectangle>(first.items[1].shape);
  EXPECT_EQ(rectangle.origin, (GJobPoint{10, 20}));
  EXPECT_EQ(rectangle.pen, (GJobPen{GJobColour{255, 0, 0}, 2 * kMillimetre}));
  EXPECT_EQ(rectangle.brush, (GJobBrush{GJobColour{0, 255, 128}}));
  EXPECT_EQ(rectangle.cornerWidth, 0);

  const GJobPage& second = job.pages[1];
  EXPECT_EQ(second.number, 2u);
  EXPECT_EQ(second.media, "Letter");
  EXPECT_EQ(second.orientation, GJobOrientation::kLandscape);
  ASSERT_EQ(second.items.size(), 8u);
  const auto& serif = std::get<GJobText>(second.items[0].shape);
  EXPECT_EQ(serif.font, (GJobFont{std::filesystem::path("jobs/fonts/serif.ttf"), "", 14}));
  EXPECT_EQ(serif.colour, (GJobColour{0, 0, 255}));
  const auto& round = std::get<GJobRectangle>(second.items[1].shape);
  EXPECT_FALSE(round.pen.colour.has_value());
  EXPECT_EQ(round.cornerHeight, 3);
  EXPECT_FALSE(std::get<GJobEllipse>(second.items[2].shape).brush.colour.has_value());
  const auto& polyline = std::get<GJobPolygon>(second.items[3].shape);
  EXPECT_FALSE(polyline.closed);
  EXPECT_EQ(polyline.points, (std::vector<GJobPoint>{{0, 0}, {10, 10}}));
  EXPECT_TRUE(std::get<GJobPolygon>(second.items[4].shape).closed);
  using Kind = GJobPathSegment::Kind;
  const std::vector<GJobPathSegment> segments{
      {Kind::kMove, {{0, 0}}}, {Kind::kLine, {{10, 0}}},  {Kind::kBezier, {{10, 5}, {5, 10}, {0, 10}}},
      {Kind::kClose, {}},      {Kind::kMove, {{20, 20}}}, {Kind::kLine, {{30, 30}}}};
  EXPECT_EQ(std::get<GJobPath>(second.items[5].shape).segments, segments);
  const auto& image = std::get<GJobImage>(second.items[6].shape);
  EXPECT_EQ(image.file, std::filesystem::path("jobs/photo.jpg"));
  EXPECT_EQ(image.width, 100);
  EXPECT_EQ(std::get<GJobImage>(second.items[7].shape).file, std::filesystem::path("/abs/photo.jpg"));
}

TEST(JobReader, NamesTheFileLineAndFaultOfAMalformedJob) {
  struct Case {
    const char* name;
    std::string text;
    std::string error;
  };
  const Case cases[] = {
      {"unknown_directive", "copies 2\nstaple left\n", "jobs/test.job:2: unknown directive 'staple'"},
      {"copies_out_of_range", "copies 0\n",
       "jobs/test.job:1: copies: expected the number of copies (a whole number from 1 to 999), found '0'"},
      {"missing_argument", "duplex\n",
       "jobs/test.job:1: duplex: expected a duplex mode (none, long-edge, short-edge) at the end of the line"},
      {"extra_argument", "copies 2 3\n", "jobs/test.job:1: copies: expected the end of the line, found '3'"},
      {"setting_inside_a_page", "page\ncopies 2\n", "jobs/test.job:2: copies belongs before the first page"},
      {"drawing_before_a_page", "rectangle 0 0 1 1\n",
       "jobs/test.job:1: rectangle draws on a page: it must follow a page directive"},
      {"text_without_font", "page\ntext 0 0 \"a\"\n", "jobs/test.job:2: text: no font was chosen (font or font-file)"},
      {"unknown_unit", "page\nrectangle 0 0 1px 1\n",
       "jobs/test.job:2: rectangle: expected the width (a length: a number with pt, mm, cm or in), found '1px'"},
      {"zero_height", "page\nellipse 0 0 1 0\n", "jobs/test.job:2: ellipse: expected the height above 0, found '0'"},
      {"huge_length", "page\nrectangle 1e9 0 1 1\n",
       "jobs/test.job:2: rectangle: expected the corner x within 100000 points, found '1e9'"},
      {"bad_colour", "pen #12345g\n",
       "jobs/test.job:1: pen: expected the pen colour or none (#rrggbb), found '#12345g'"},
      {"unclosed_string", "job-name \"abc\n", "jobs/test.job:1: the string has no closing quote"},
      {"bad_escape", "job-name \"a\\qb\"\n", "jobs/test.job:1: unknown escape \\q"},
      {"surrogate_escape", "job-name \"\\u{d800}\"\n", "jobs/test.job:1: \\u{d800} is not a Unicode character"},
      {"invalid_utf8", "job-name \"\xC3\x28\"\n", "jobs/test.job:1: the string is not valid UTF-8"},
      {"word_for_string", "job-name report\n",
       "jobs/test.job:1: job-name: expected the job name in double quotes, found 'report'"},
      {"too_few_polygon_points", "page\npolygon 0 0 1 1\n", "jobs/test.job:2: at least 3 points are needed"},
      {"odd_coordinate_count", "page\npolyline 0 0 1 1 2\n",
       "jobs/test.job:2: polyline: expected a point y (a length: a number with pt, mm, cm or in) at the end of the "
       "line"},
      {"path_without_move", "page\npath line 1 1\n", "jobs/test.job:2: path: a figure must start with move"},
      {"path_after_close", "page\npath move 0 0 close line 1 1\n",
       "jobs/test.job:2: path: a figure must start with move"},
      {"unknown_style", "watermark \"x\" style bold,shadow\n", "jobs/test.job:1: watermark: unknown style 'shadow'"},
      {"unknown_page_option", "page colour red\n",
       "jobs/test.job:1: page: expected a page option (media, orientation), found 'colour'"},
      {"line_too_long", "job-name \"" + std::string(70000, 'a') + "\"\n",
       "jobs/test.job:1: the line is longer than 65536 bytes"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Read(c.text).error, c.error);
  }
}

TEST(JobReader, StopsAtTheFirstErrorAfterTheGoodPagesBeforeIt) {
  const ReadJob job = Read("font \"F\" 9\npage\ntext 0 0 \"ok\"\npage\nimage \"a.jpg\" 0 0 0 1\npage\n");
  EXPECT_EQ(job.pages.size(), 1u);
  EXPECT_EQ(job.error.rfind("jobs/test.job:5: image:", 0), 0u) << job.error;
}

TEST(JobReader, AFileThatDoesNotOpenIsAnError) {
  GJobReader reader(std::filesystem::path("/no/such/folder/job.job"));
  GJobPage page;
  EXPECT_FALSE(reader.NextPage(page));
  EXPECT_EQ(reader.Error(), "/no/such/folder/job.job: cannot open the job file");
}

TEST(JobGenerator, WritesALongJobThatReadsBackPageByPage) {
  std::stringstream job;
  ASSERT_TRUE(WriteGeneratedJob(job, 2000, "pictures/photo \"1\".jpg"));
  const auto total = static_cast<std::streamoff>(job.str().size());
  GJobReader reader(job, "generated.job");
  ASSERT_TRUE(reader.ReadSettings()) << reader.Error();
  ASSERT_TRUE(reader.GetSettings().watermark.has_value());
  GJobPage page;
  uint32_t pages = 0;
  uint32_t images = 0;
  while (reader.NextPage(page)) {
    ++pages;
    // The reader has gone no further than the next page's directive.
    if (pages == 1) {
      EXPECT_LT(job.tellg(), total / 1000);
    }
    ASSERT_EQ(page.number, pages);
    for (const GJobItem& item : page.items) {
      if (const auto* image = std::get_if<GJobImage>(&item.shape)) {
        ++images;
        EXPECT_EQ(image->file, std::filesystem::path("pictures/photo \"1\".jpg"));
      }
    }
  }
  EXPECT_EQ(reader.Error(), "");
  EXPECT_EQ(pages, 2000u);
  EXPECT_EQ(images, 200u);
}

}  // namespace
