// The PCL XL generator's shapes, paths and scan lines: each drawn on a page
// of a job through the printer, the page's operators compared as the
// disassembler prints them, and every stream read by the strict reader.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "graphics/clips/clip.h"
#include "graphics/commands/job_commands.h"
#include "graphics/display/path_graphic.h"
#include "graphics/display/poly_bezier_graphic.h"
#include "graphics/display/polygon_graphic.h"
#include "graphics/display/rectangle_graphic.h"
#include "model/attributes/state.h"
#include "pclxl/borzan/borzan.h"
#include "pclxl/testing/borzan_job.h"
#include "pclxl/testing/strict_pclxl_reader.h"
#include "pclxl/testing/xl_geometry.h"

namespace {

using namespace xl_job;
using Lines = std::vector<std::string>;
using Points = std::vector<GPoint>;

constexpr GRectangle kBox{100, 100, 200, 150};

// What one page's drawing wrote: the operations after the page's clip
// mode and before its end.
std::vector<strict_pclxl::Operation> OnPage(const std::function<void(Job&)>& draw) {
  Job job;
  EXPECT_EQ(job.Start(), 0);
  EXPECT_EQ(job.Print({}, draw), 0);
  EXPECT_EQ(job.End(), 0);
  const strict_pclxl::ReadResult read = job.Read();
  EXPECT_TRUE(read.Ok()) << strict_pclxl::Disassemble(read);
  std::vector<strict_pclxl::Operation> drawn;
  bool onPage = false;
  for (const strict_pclxl::Operation& operation : read.operations) {
    if (operation.name == "EndPage") break;
    if (onPage) drawn.push_back(operation);
    if (operation.name == "SetClipMode") onPage = true;
  }
  return drawn;
}

// The same, one line an operation as the disassembler prints it.
Lines Drawn(const std::function<void(Job&)>& draw) {
  Lines lines;
  for (const strict_pclxl::Operation& operation : OnPage(draw))
    lines.push_back(strict_pclxl::FormatOperation(operation));
  return lines;
}

Lines DrawnBy(const std::function<void(GBorzan&)>& draw) {
  return Drawn([&](Job& job) { draw(job.Generator()); });
}

// A shape of the box with the arc points, corner and direction given.
GObjectRef Shape(GPoint start, GPoint end, int32_t direction, GPoint corner = {}) {
  auto* shape = new GRectangleGraphic(kBox, nullptr, 0);
  shape->SetStartPoint(start);
  shape->SetEndPoint(end);
  shape->SetDirection(direction);
  shape->SetCornerSize(corner);
  return GObjectRef(shape);
}

GShapeGraphic& AsShape(const GObjectRef& shape) { return static_cast<GShapeGraphic&>(*shape.Get()); }

GPathGraphic* Path(std::initializer_list<GGraphic*> pieces, bool closed = false) {
  auto* path = new GPathGraphic(nullptr, 0);
  for (GGraphic* piece : pieces) path->AddChild(piece);
  if (closed) path->SetClosed();
  return path;
}

GGraphic* Polygon(Points points) { return new GPolygonGraphic(GPointArray(std::move(points)), nullptr, 0); }

// The minimal job of one rectangle, byte for byte.
TEST(BorzanPaths, AJobOfOneRectangleComesOutByteForByte) {
  Job job;
  ASSERT_EQ(job.Start(), 0);
  ASSERT_EQ(job.Print({}, [](Job& j) { EXPECT_EQ(j.Process(new GRectangleGraphic(kBox, nullptr, 0)), 0); }), 0);
  ASSERT_EQ(job.End(), 0);
  const std::string expected =
      std::string(kHeader) + std::string("\xD1\x58\x02\x58\x02\xF8\x89\xC0\x00\xF8\x86\xC0\x03\xF8\x8F\x41", 16) +
      std::string("\xC0\x00\xF8\x88\xC0\x01\xF8\x82\x48", 9) + std::string("\xC0\x00\xF8\x28\xC0\x04\xF8\x26", 8) +
      std::string("\xC8\xC1\x06\x00LETTER\xF8\x25\x43", 13) + std::string("\xC0\x00\xF8\x54\x7F", 5) +
      // NewPath, RectanglePath (100, 100, 200, 150), PaintPath.
      std::string("\x85\xE3\x64\x00\x64\x00\xC8\x00\x96\x00\xF8\x42\xA1\x86", 14) +
      std::string("\xC1\x01\x00\xF8\x31\x44", 6) + std::string("\x49\x42", 2);
  EXPECT_EQ(job.Output(), expected);
}

TEST(BorzanPaths, ShapesOfABoxStartAndPaintTheirOwnPath) {
  const std::string box = "BoundingBox=sint16_box(100,100,200,150)";
  struct Case {
    const char* name;
    std::function<uint16_t(GBorzan&)> draw;
    Lines lines;
  };
  const GObjectRef arc = Shape({10, 20}, {30, 40}, 2, {20, 10});
  const GObjectRef backwards = Shape({10, 20}, {30, 40}, 0);
  const Case cases[] = {
      {"rectangle",
       [&](GBorzan& g) { return g.DrawRectangle(static_cast<GRectangleGraphic&>(AsShape(arc))); },
       {"NewPath", "RectanglePath " + box, "PaintPath"}},
      {"round_rectangle",
       [&](GBorzan& g) { return g.DrawRoundRectangle(AsShape(arc)); },
       {"NewPath", "RoundRectanglePath " + box + " EllipseDimension=uint16_xy(20,10)", "PaintPath"}},
      {"ellipse",
       [&](GBorzan& g) { return g.DrawEllipse(AsShape(arc)); },
       {"NewPath", "EllipsePath " + box, "PaintPath"}},
      {"chord",
       [&](GBorzan& g) { return g.DrawChord(AsShape(arc)); },
       {"NewPath", "ChordPath " + box + " StartPoint=sint16_xy(10,20) EndPoint=sint16_xy(30,40)", "PaintPath"}},
      {"chord_of_direction_0_swaps_its_ends",
       [&](GBorzan& g) { return g.DrawChord(AsShape(backwards)); },
       {"NewPath", "ChordPath " + box + " StartPoint=sint16_xy(30,40) EndPoint=sint16_xy(10,20)", "PaintPath"}},
      {"pie_of_direction_0_swaps_its_ends",
       [&](GBorzan& g) { return g.DrawPie(AsShape(backwards)); },
       {"NewPath", "PiePath " + box + " StartPoint=sint16_xy(30,40) EndPoint=sint16_xy(10,20)", "PaintPath"}},
      {"arc",
       [&](GBorzan& g) { return g.DrawArc(AsShape(arc)); },
       {"NewPath", "ArcPath " + box + " StartPoint=sint16_xy(10,20) EndPoint=sint16_xy(30,40) ArcDirection=ubyte(1)",
        "PaintPath"}},
      {"arc_of_direction_0",
       [&](GBorzan& g) { return g.DrawArc(AsShape(backwards)); },
       {"NewPath", "ArcPath " + box + " StartPoint=sint16_xy(10,20) EndPoint=sint16_xy(30,40) ArcDirection=ubyte(0)",
        "PaintPath"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DrawnBy([&](GBorzan& g) { EXPECT_EQ(c.draw(g), 0); }), c.lines);
  }
}

TEST(BorzanPaths, ARectangleWithoutAreaLeavesTheNewPathAlone) {
  for (const GRectangle& empty : {GRectangle{100, 100, 100, 150}, GRectangle{100, 100, 200, 100}}) {
    SCOPED_TRACE(empty.right);
    EXPECT_EQ(Drawn([&](Job& j) { EXPECT_EQ(j.Process(new GRectangleGraphic(empty, nullptr, 0)), 0); }),
              Lines{"NewPath"});
  }
}

// Where the pen is after an arc: on the ellipse, in the direction of the
// end point from the centre of the box (0, 0, 200, 100).
TEST(BorzanPaths, AnArcLeavesThePenOnTheEllipseTowardsItsEndPoint) {
  struct Case {
    const char* name;
    GPoint end;
    GPoint pen;
  };
  const Case cases[] = {
      {"right", {300, 50}, {200, 50}},
      {"left", {-100, 50}, {0, 50}},
      {"straight_down", {100, 500}, {100, 100}},
      {"straight_up", {100, -50}, {100, 0}},
      {"at_the_centre_counts_as_up", {100, 50}, {100, 0}},
      {"towards_a_corner", {200, 100}, {189, 72}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DrawnBy([&](GBorzan& g) {
      GRectangleGraphic shape(GRectangle{0, 0, 200, 100}, nullptr, 0);
      shape.SetEndPoint(c.end);
      g.DrawArc(shape);
      EXPECT_EQ(g.CurrentPointX(), c.pen.x);
      EXPECT_EQ(g.CurrentPointY(), c.pen.y);
    });
  }
}

TEST(BorzanPaths, APolygonOfClosePointsIsOneByteRunFromItsFirstPoint) {
  const Lines lines = Drawn([](Job& j) {
    EXPECT_EQ(j.Process(Polygon({{100, 100}, {110, 100}, {110, 90}, {100, 100}})), 0);
  });
  EXPECT_EQ(lines,
            (Lines{"NewPath", "SetCursor Point=sint16_xy(100,100)",
                   "LineRelPath NumberOfPoints=uint16(4) PointType=ubyte(1) data=short[8]:00 00 0A 00 00 F6 F6 0A",
                   "CloseSubPath", "PaintPath"}));
}

// The runs of a polygon with a far point after eight close ones and some
// close points after it, as point type and count; the step that closes the
// figure is far as well.
TEST(BorzanPaths, AFarPointSplitsAPolygonOnlyWhenSixClosePointsFollow) {
  struct Case {
    const char* name;
    int16_t closeAfter;
    Lines runs;
  };
  const Case cases[] = {
      {"six_follow", 6, {"1 8", "3 1", "1 6", "3 1"}},
      {"five_follow", 5, {"1 8", "3 7"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Points points;
    for (int16_t i = 0; i < 8; ++i) points.push_back({static_cast<int16_t>(10 * i), 0});
    points.push_back({2000, 0});
    for (int16_t i = 1; i <= c.closeAfter; ++i) points.push_back({static_cast<int16_t>(2000 + 10 * i), 10});
    points.push_back(points.front());
    Lines runs;
    for (const strict_pclxl::Operation& operation : OnPage([&](Job& j) { EXPECT_EQ(j.Process(Polygon(points)), 0); })) {
      if (operation.name != "LineRelPath") continue;
      runs.push_back(std::to_string(static_cast<int>(operation.Number("PointType"))) + " " +
                     std::to_string(static_cast<int>(operation.Number("NumberOfPoints"))));
    }
    EXPECT_EQ(runs, c.runs);
  }
}

// A curve from (100, 100) through two segments, each point taken from the
// end of the segment before, and what comes of one or two points more.
TEST(BorzanPaths, BezierSegmentsAreRelativeToTheLastEndAndLeftoversEndTheCurve) {
  const Points segments = {{110, 100}, {120, 110}, {130, 130}, {140, 130}, {150, 120}, {160, 100}};
  const std::string runs =
      "BezierRelPath NumberOfPoints=uint16(6) PointType=ubyte(1) data=short[12]:0A 00 14 0A 1E 1E 0A 00 14 F6 1E E2";
  struct Case {
    const char* name;
    Points more;
    std::string ending;
    GPoint pen;
  };
  const Case cases[] = {
      {"whole_segments", {}, "", {160, 100}},
      {"one_left_over_is_a_line", {{170, 90}}, "LinePath EndPoint=sint16_xy(170,90)", {170, 90}},
      {"two_left_over_are_a_curve_pulled_to_the_first",
       {{170, 90}, {180, 100}},
       "BezierPath ControlPoint1=sint16_xy(170,90) ControlPoint2=sint16_xy(170,90) EndPoint=sint16_xy(180,100)",
       {180, 100}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Points points = {{100, 100}};
    points.insert(points.end(), segments.begin(), segments.end());
    points.insert(points.end(), c.more.begin(), c.more.end());
    Lines expected = {"NewPath", "SetCursor Point=sint16_xy(100,100)", runs};
    if (!c.ending.empty()) expected.push_back(c.ending);
    expected.push_back("PaintPath");
    EXPECT_EQ(Drawn([&](Job& j) {
                EXPECT_EQ(j.Process(new GPolyBezierGraphic(GPointArray(points), nullptr, 0)), 0);
                EXPECT_EQ(j.Generator().CurrentPointX(), c.pen.x);
                EXPECT_EQ(j.Generator().CurrentPointY(), c.pen.y);
              }),
              expected);
  }
}

std::string At(double x, double y) { return std::to_string(x) + "," + std::to_string(y); }

// The points that the figures of the page's one path pass through, as the
// geometry decoder follows the cursor through the relative runs: each
// figure's starting point only once, where the figure before ended.
Lines PathPoints(const std::function<void(Job&)>& draw) {
  Job job;
  EXPECT_EQ(job.Start(), 0);
  EXPECT_EQ(job.Print({}, draw), 0);
  EXPECT_EQ(job.End(), 0);
  const xl_geometry::Geometry geometry = xl_geometry::Decode(job.Read());
  EXPECT_TRUE(geometry.Ok()) << geometry.error;
  Lines points;
  if (geometry.pages.size() != 1 || geometry.pages[0].paths.size() != 1) {
    ADD_FAILURE() << "not one path on one page";
    return points;
  }
  for (const xl_geometry::Figure& figure : geometry.pages[0].paths[0].figures) {
    for (size_t i = points.empty() ? 0 : 1; i < figure.points.size(); ++i) {
      points.push_back(At(figure.points[i].x, figure.points[i].y));
    }
  }
  return points;
}

// Polygons, polylines and curves land on the points they were given,
// whichever runs their steps were cut into.
TEST(BorzanPaths, FiguresPassThroughTheirPointsAcrossRunsOfBothSizes) {
  Points polygon;
  for (int16_t i = 0; i < 8; ++i) polygon.push_back({static_cast<int16_t>(100 + 10 * i), 100});
  polygon.push_back({2000, -300});
  for (int16_t i = 1; i <= 6; ++i) polygon.push_back({static_cast<int16_t>(2000 - 10 * i), -290});
  polygon.push_back(polygon.front());
  const Points curve = {{100, 100}, {110, 100}, {120, 110}, {130, 130}, {900, 900}, {910, 920},
                        {930, 930}, {940, 950}, {960, 950}, {960, 900}, {950, 880}, {940, 870}};
  struct Case {
    const char* name;
    std::function<void(Job&)> draw;
    Points through;
  };
  Points polygonThrough = {polygon.front()};
  polygonThrough.insert(polygonThrough.end(), polygon.begin(), polygon.end());
  Points curveThrough = curve;
  curveThrough.insert(curveThrough.end() - 1, curve[curve.size() - 2]);
  const Case cases[] = {
      {"polygon", [&](Job& j) { EXPECT_EQ(j.Process(Polygon(polygon)), 0); }, polygonThrough},
      {"polyline",
       [&](Job& j) {
         EXPECT_EQ(j.Generator().BeginPolyline(polygon.data(), static_cast<uint32_t>(polygon.size())), 0);
       },
       polygonThrough},
      {"poly_bezier_ending_in_two_leftovers",
       [&](Job& j) { EXPECT_EQ(j.Process(new GPolyBezierGraphic(GPointArray(curve), nullptr, 0)), 0); }, curveThrough},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Lines expected;
    for (const GPoint& point : c.through) expected.push_back(At(point.x, point.y));
    EXPECT_EQ(PathPoints(c.draw), expected);
  }
}

// Line segments outside a path go on from the current point (where the
// rectangle before left the pen) in a path of their own, and are painted.
TEST(BorzanPaths, LineSegmentsOutsideAPathStartTheirOwnFromTheCurrentPoint) {
  const Points points = {{110, 100}, {110, 120}};
  const Lines lines = Drawn([&](Job& j) {
    EXPECT_EQ(j.Process(new GRectangleGraphic(kBox, nullptr, 0)), 0);
    EXPECT_EQ(j.Generator().DrawLineSegments(points.data(), 2), 0);
    EXPECT_EQ(j.Generator().CurrentPointY(), 120);
  });
  EXPECT_EQ(Lines(lines.begin() + 3, lines.end()),
            (Lines{"NewPath", "LineRelPath NumberOfPoints=uint16(2) PointType=ubyte(1) data=short[4]:0A 00 00 14",
                   "PaintPath"}));
}

TEST(BorzanPaths, APolylineStartsAtItsFirstPoint) {
  const Points points = {{10, 10}, {20, 10}, {20, 30}};
  EXPECT_EQ(
      DrawnBy([&](GBorzan& g) { EXPECT_EQ(g.BeginPolyline(points.data(), 3), 0); }),
      (Lines{"NewPath", "SetCursor Point=sint16_xy(10,10)",
             "LineRelPath NumberOfPoints=uint16(3) PointType=ubyte(1) data=short[6]:00 00 0A 00 00 14", "PaintPath"}));
}

// A path of a rectangle, a closed path holding a polygon and an open path
// holding an ellipse: one NewPath, the nested closed path closes its
// sub-path, and only the outermost path is painted.
TEST(BorzanPaths, NestedPathsCloseTheirSubPathsAndTheOutermostIsPainted) {
  const Lines lines = Drawn([](Job& j) {
    EXPECT_EQ(j.Process(Path({new GRectangleGraphic(kBox, nullptr, 0), Path({Polygon({{0, 0}, {10, 0}, {0, 0}})}, true),
                              Path({new GRectangleGraphic(kBox, nullptr, 0)})})),
              0);
    EXPECT_FALSE(j.Generator().IsInPath());
  });
  EXPECT_EQ(
      lines,
      (Lines{"NewPath", "RectanglePath BoundingBox=sint16_box(100,100,200,150)", "SetCursor Point=sint16_xy(0,0)",
             "LineRelPath NumberOfPoints=uint16(3) PointType=ubyte(1) data=short[6]:00 00 0A 00 F6 00", "CloseSubPath",
             "CloseSubPath", "RectanglePath BoundingBox=sint16_box(100,100,200,150)", "PaintPath"}));
}

// The outline of a clip is built without being painted, and the clip
// replaces the printer's with it.
TEST(BorzanPaths, AClipPathIsBuiltWithoutPaint) {
  const Lines lines = Drawn([](Job& j) {
    auto* state = new GState(GPeripheral::kGraphicStateKey);
    state->AddChild(
        new GClipToPath(Path({new GRectangleGraphic(kBox, nullptr, 0)}), GClip::kNotSet, GClip::kNotSet, 177));
    EXPECT_EQ(j.Process(new GNullCommand(state, 0)), 0);
    EXPECT_FALSE(j.Generator().IsDefiningClip());
  });
  EXPECT_EQ(lines, (Lines{"NewPath", "RectanglePath BoundingBox=sint16_box(100,100,200,150)",
                          "SetClipReplace ClipRegion=ubyte(0)"}));
}

// While a raster operation has made the modes transparent, plain fills go
// out opaque: a colour or see-through brush, or with no brush such a pen.
// Scan lines look at the brush alone.
TEST(BorzanPaths, PlainFillsArePaintedOpaqueWhileTheModesAreTransparent) {
  const Lines wrapped = {"SetPaintTxMode TxMode=ubyte(0)", "SetSourceTxMode TxMode=ubyte(0)", "PaintPath",
                         "SetPaintTxMode TxMode=ubyte(1)", "SetSourceTxMode TxMode=ubyte(1)"};
  const Lines plain = {"PaintPath"};
  struct Case {
    const char* name;
    int32_t transparency;
    int32_t brush;
    int32_t pen;
    bool opaquePath;
    bool opaqueScan;
  };
  const Case cases[] = {
      {"modes_not_transparent", 0, 0, 0, false, false},   {"colour_brush", 1, 0, 3, true, true},
      {"pattern_brush", 1, 1, 0, false, false},           {"see_through_brush", 1, 2, 1, true, true},
      {"no_brush_colour_pen", 1, 3, 0, true, false},      {"no_brush_pattern_pen", 1, 3, 1, false, false},
      {"no_brush_see_through_pen", 1, 3, 2, true, false}, {"neither", 1, 3, 3, false, false},
  };
  const GPoint span[] = {{0, 5}, {10, 20}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Lines lines = Drawn([&](Job& j) {
      j.Generator().SetTransparency(c.transparency);
      j.Generator().SetBrushKind(c.brush);
      j.Generator().SetPenKind(c.pen);
      EXPECT_EQ(j.Process(new GRectangleGraphic(kBox, nullptr, 0)), 0);
      EXPECT_EQ(j.Generator().BeginScanLines(), 0);
      EXPECT_EQ(j.Generator().DrawScanLines(span, 2), 0);
      EXPECT_EQ(j.Generator().EndScanLines(), 0);
    });
    Lines expected = {"NewPath", "RectanglePath BoundingBox=sint16_box(100,100,200,150)"};
    for (const std::string& line : c.opaquePath ? wrapped : plain) expected.push_back(line);
    const Lines scan = {"BeginScan", "ScanLineRel data=short[12]:03 0A 00 05 00 01 00 02 00 00 0A 00", "EndScan"};
    if (c.opaqueScan) expected.insert(expected.end(), wrapped.begin(), wrapped.begin() + 2);
    expected.insert(expected.end(), scan.begin(), scan.end());
    if (c.opaqueScan) expected.insert(expected.end(), wrapped.begin() + 3, wrapped.end());
    EXPECT_EQ(lines, expected);
  }
}

// Each point after the first holds a span's start and end x; a span goes
// out as its gap from the span before and its length. Spans that run
// backwards or overlap the one before are cut to nothing where they do.
TEST(BorzanPaths, ScanLinesSendEachSpanAsGapAndLength) {
  struct Case {
    const char* name;
    Points points;
    Lines lines;
  };
  const Case cases[] = {
      {"three_spans",
       {{0, 40}, {10, 20}, {30, 35}, {50, 60}},
       {"ScanLineRel data=short[20]:03 0A 00 28 00 03 00 02 00 00 0A 00 0A 00 05 00 0F 00 0A 00"}},
      {"overlap_and_backwards",
       {{0, 40}, {10, 20}, {15, 12}, {18, 30}, {50, 60}},
       {"ScanLineRel data=short[24]:03 0A 00 28 00 04 00 02 00 00 0A 00 00 00 00 00 00 00 0A 00 14 00 0A 00"}},
      {"one_point_is_no_line", {{0, 40}}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Lines expected = {"BeginScan"};
    expected.insert(expected.end(), c.lines.begin(), c.lines.end());
    expected.push_back("EndScan");
    EXPECT_EQ(DrawnBy([&](GBorzan& g) {
                EXPECT_EQ(g.BeginScanLines(), 0);
                EXPECT_TRUE(g.IsInScanLines());
                EXPECT_EQ(g.DrawScanLines(c.points.data(), static_cast<uint32_t>(c.points.size())), 0);
                EXPECT_EQ(g.EndScanLines(), 0);
                EXPECT_FALSE(g.IsInScanLines());
              }),
              expected);
  }
}

// A step across the whole coordinate space does not fit sint16: it stops
// at the limit, and the next step starts from there.
TEST(BorzanPaths, StepsBeyondSInt16StopAtTheLimitAndTheNextCatchesUp) {
  const std::vector<strict_pclxl::Operation> drawn = OnPage([](Job& j) {
    EXPECT_EQ(j.Process(Polygon({{-32000, 0}, {32000, 0}, {32000, 10}, {-32000, 0}})), 0);
  });
  ASSERT_EQ(drawn.size(), 5u);
  // (0, 0), (32767, 0) to x = 767, (31233, 10), (-32768, -10) to x = -768.
  EXPECT_EQ(strict_pclxl::FormatOperation(drawn[2]),
            "LineRelPath NumberOfPoints=uint16(4) PointType=ubyte(3) data=short[16]:00 00 00 00 FF 7F 00 00 01 7A 0A "
            "00 00 80 F6 FF");
}

}  // namespace
