#include "pclxl/testing/xl_geometry.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "pclxl/testing/collecting_sink.h"
#include "pclxl/testing/strict_pclxl_reader.h"
#include "pclxl/xl_graphics_state_operators.h"
#include "pclxl/xl_path_operators.h"
#include "pclxl/xl_session_operators.h"
#include "pclxl/xl_stream.h"
#include "pclxl/xl_values.h"

// The geometry decoder on pages written with the stream library: page
// transforms, relative point runs of both sizes, and which operator closed
// each path.
namespace {

using xl_geometry::Box;
using xl_geometry::Geometry;
using xl_geometry::Point;
using Bytes = std::vector<uint8_t>;
using Draw = std::function<void(XLStream*)>;

// A job of one page per drawing, read strictly and decoded.
Geometry Decoded(const std::vector<Draw>& pages) {
  SinkStream stream;
  XLWriteStreamHeader(stream, 2, 0, "");
  XLBeginSession(stream, XLPair<uint16_t>{600, 600}, 0);
  XLOpenDataSource(stream, 0, 1);
  for (const Draw& draw : pages) {
    XLBeginPage(stream, 0, 2);
    draw(stream);
    XLEndPage(stream, 1);
  }
  XLCloseDataSource(stream);
  XLEndSession(stream);
  const strict_pclxl::ReadResult read = strict_pclxl::ReadStrictly(stream.Output());
  EXPECT_TRUE(read.Ok()) << strict_pclxl::Disassemble(read);
  return xl_geometry::Decode(read);
}

void PaintRectangle(XLStream* s) {
  XLNewPath(s);
  XLRectanglePath(s, XLBox<int16_t>{100, 100, 200, 150});
  XLPaintPath(s);
}

TEST(XlGeometry, ARectangleLandsWhereThePageTransformPutsIt) {
  struct Case {
    const char* name;
    Draw transform;
    Point firstCorner;  // (100, 100)
    Box bounds;
  };
  const Case cases[] = {
      {"no_transform", [](XLStream*) {}, {100, 100}, {100, 100, 200, 150}},
      {"origin",
       [](XLStream* s) {
         XLSetPageOrigin(s, XLPair<int16_t>{1000, 500});
       },
       {1100, 600},
       {1100, 600, 1200, 650}},
      {"quarter_turn_about_the_origin",
       [](XLStream* s) {
         XLSetPageOrigin(s, XLPair<int16_t>{1000, 500});
         XLSetPageRotation(s, int16_t{90});
       },
       {900, 600},
       {850, 600, 900, 700}},
      {"three_quarter_turn",
       [](XLStream* s) {
         XLSetPageOrigin(s, XLPair<int16_t>{0, 1000});
         XLSetPageRotation(s, int16_t{270});
       },
       {100, 900},
       {100, 800, 150, 900}},
      {"half_turn_then_scale",
       [](XLStream* s) {
         XLSetPageOrigin(s, XLPair<int16_t>{2000, 3000});
         XLSetPageRotation(s, int16_t{180});
         XLSetPageScale(s, XLPair<float>{2, 2});
       },
       {1800, 2800},
       {1600, 2700, 1800, 2800}},
      {"uneven_scale",
       [](XLStream* s) {
         XLSetPageScale(s, XLPair<float>{0.5F, 2});
       },
       {50, 200},
       {50, 200, 100, 300}},
      // The symmetrical duplex offset and scale of a 5000 x 6000 sheet.
      {"duplex_offset_and_scale",
       [](XLStream* s) {
         XLSetPageOrigin(s, XLPair<int16_t>{532, 375});
         XLSetPageRotation(s, int16_t{0});
         XLSetPageScale(s, XLPair<float>{0.875F, 0.875F});
       },
       {619.5, 462.5},
       {619.5, 462.5, 707, 506.25}},
      // A scale sent before the origin scales the origin too.
      {"scale_before_origin",
       [](XLStream* s) {
         XLSetPageScale(s, XLPair<float>{2, 2});
         XLSetPageOrigin(s, XLPair<int16_t>{100, 0});
       },
       {400, 200},
       {400, 200, 600, 300}},
      {"default_transform_forgets_the_origin",
       [](XLStream* s) {
         XLSetPageOrigin(s, XLPair<int16_t>{1000, 500});
         XLSetPageDefaultCTM(s);
       },
       {100, 100},
       {100, 100, 200, 150}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Geometry geometry = Decoded({[&](XLStream* s) {
      c.transform(s);
      PaintRectangle(s);
    }});
    ASSERT_TRUE(geometry.Ok()) << geometry.error;
    ASSERT_EQ(geometry.pages.size(), 1u);
    ASSERT_EQ(geometry.pages[0].paths.size(), 1u);
    ASSERT_EQ(geometry.pages[0].paths[0].figures.size(), 1u);
    const xl_geometry::Figure& figure = geometry.pages[0].paths[0].figures[0];
    EXPECT_EQ(figure.shape, "RectanglePath");
    ASSERT_EQ(figure.points.size(), 4u);
    EXPECT_EQ(figure.points[0], c.firstCorner);
    EXPECT_EQ(figure.bounds, c.bounds);
  }
}

// Each page starts untransformed, whatever the page before it set.
TEST(XlGeometry, EveryPageStartsFromTheIdentity) {
  const Geometry geometry = Decoded({[](XLStream* s) {
                                       XLSetPageOrigin(s, XLPair<int16_t>{1000, 500});
                                       PaintRectangle(s);
                                     },
                                     PaintRectangle});
  ASSERT_TRUE(geometry.Ok()) << geometry.error;
  ASSERT_EQ(geometry.pages.size(), 2u);
  EXPECT_EQ(geometry.pages[0].paths.at(0).figures.at(0).bounds, (Box{1100, 600, 1200, 650}));
  EXPECT_EQ(geometry.pages[1].paths.at(0).figures.at(0).bounds, (Box{100, 100, 200, 150}));
}

// Relative points count from the point before them and are scaled and
// turned, never moved, by the page transform.
TEST(XlGeometry, RelativeLinesOfBothPointSizesFollowTheRunningPoint) {
  const Geometry geometry = Decoded({[](XLStream* s) {
    XLSetPageOrigin(s, XLPair<int16_t>{1000, 1000});
    XLSetPageScale(s, XLPair<float>{2, 2});
    XLNewPath(s);
    XLSetCursor(s, XLPair<int16_t>{10, 20});
    XLLineRelPath(s, uint16_t{2}, uint8_t{1});  // signed bytes: (5, -3), (-10, 4)
    XLWriteEmbeddedData(s, Bytes{0x05, 0xFD, 0xF6, 0x04});
    XLLineRelPath(s, uint16_t{1}, uint8_t{3});  // 16-bit: (300, -200)
    XLWriteEmbeddedData(s, Bytes{0x2C, 0x01, 0x38, 0xFF});
    XLCloseSubPath(s);
    XLPaintPath(s);
  }});
  ASSERT_TRUE(geometry.Ok()) << geometry.error;
  const std::vector<xl_geometry::Figure>& figures = geometry.pages.at(0).paths.at(0).figures;
  ASSERT_EQ(figures.size(), 2u);
  EXPECT_EQ(figures[0].shape, "LineRelPath");
  EXPECT_EQ(figures[0].points, (std::vector<Point>{{1020, 1040}, {1030, 1034}, {1010, 1042}}));
  EXPECT_EQ(figures[0].bounds, (Box{1010, 1034, 1030, 1042}));
  EXPECT_EQ(figures[1].points, (std::vector<Point>{{1010, 1042}, {1610, 642}}));
}

// Every point of a relative curve segment counts from the segment's start;
// an absolute end point does not.
TEST(XlGeometry, CurvesAndAbsoluteLinesContinueFromTheCurrentPoint) {
  const Geometry geometry = Decoded({[](XLStream* s) {
    XLNewPath(s);
    XLSetCursor(s, XLPair<int16_t>{100, 100});
    XLBezierRelPath(s, uint16_t{6}, uint8_t{1});
    XLWriteEmbeddedData(s, Bytes{10, 0, 20, 10, 30, 30, 5, 0, 10, 5, 10, 10});
    XLLinePath(s, XLPair<int16_t>{0, 300});
    XLPaintPath(s);
  }});
  ASSERT_TRUE(geometry.Ok()) << geometry.error;
  const std::vector<xl_geometry::Figure>& figures = geometry.pages.at(0).paths.at(0).figures;
  ASSERT_EQ(figures.size(), 2u);
  EXPECT_EQ(figures[0].shape, "BezierRelPath");
  EXPECT_EQ(figures[0].points,
            (std::vector<Point>{{100, 100}, {110, 100}, {120, 110}, {130, 130}, {135, 130}, {140, 135}, {140, 140}}));
  EXPECT_EQ(figures[1].shape, "LinePath");
  EXPECT_EQ(figures[1].points, (std::vector<Point>{{140, 140}, {0, 300}}));
}

// A path is recorded by each operator that closes it, with the figures
// gathered since NewPath.
TEST(XlGeometry, PathsAreRecordedWithTheOperatorThatClosedThem) {
  const Geometry geometry = Decoded({[](XLStream* s) {
    XLNewPath(s);
    XLRectanglePath(s, XLBox<int16_t>{0, 0, 50, 50});
    XLEllipsePath(s, XLBox<int16_t>{10, 10, 40, 40});
    XLSetClipReplace(s, 0);
    XLNewPath(s);
    XLPiePath(s, XLBox<int16_t>{0, 0, 100, 80}, XLPair<int16_t>{100, 40}, XLPair<int16_t>{50, 0});
    XLPaintPath(s);
  }});
  ASSERT_TRUE(geometry.Ok()) << geometry.error;
  const std::vector<xl_geometry::Path>& paths = geometry.pages.at(0).paths;
  ASSERT_EQ(paths.size(), 2u);
  EXPECT_EQ(paths[0].closedBy, "SetClipReplace");
  ASSERT_EQ(paths[0].figures.size(), 2u);
  EXPECT_EQ(paths[0].figures[1].shape, "EllipsePath");
  EXPECT_EQ(paths[0].figures[1].bounds, (Box{10, 10, 40, 40}));
  EXPECT_EQ(paths[1].closedBy, "PaintPath");
  ASSERT_EQ(paths[1].figures.size(), 1u);
  EXPECT_EQ(paths[1].figures[0].shape, "PiePath");
  EXPECT_EQ(paths[1].figures[0].bounds, (Box{0, 0, 100, 80}));
}

TEST(XlGeometry, AStreamThatDoesNotReadDecodesToNothing) {
  strict_pclxl::ReadResult broken;
  broken.error = "truncated";
  const Geometry geometry = xl_geometry::Decode(broken);
  EXPECT_FALSE(geometry.Ok());
  EXPECT_TRUE(geometry.pages.empty());
}

}  // namespace
