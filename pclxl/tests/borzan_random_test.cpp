// Random pages through the PCL XL generator: shapes, paths, line and curve
// segments, scan lines, clips, transforms and graphic attributes, with
// coordinates anywhere in the 16-bit range, each graphic carrying a random
// graphic state. Every stream must read strictly, and every figure must
// decode. Run under the sanitizers, this also shows that no input drives
// the generator out of its buffers.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include "graphics/attributes/brush.h"
#include "graphics/attributes/cap.h"
#include "graphics/attributes/fill_mode.h"
#include "graphics/attributes/graphic_bundle.h"
#include "graphics/attributes/joint.h"
#include "graphics/attributes/pen.h"
#include "graphics/attributes/raster_operation.h"
#include "graphics/bitmaps/bitmap.h"
#include "graphics/clips/clip.h"
#include "graphics/clips/rectangle_list.h"
#include "graphics/clips/transform_attribute.h"
#include "graphics/colour/color_paint.h"
#include "graphics/colour/rgb_color.h"
#include "graphics/commands/command_composite.h"
#include "graphics/display/path_graphic.h"
#include "graphics/display/point_array.h"
#include "graphics/display/poly_bezier_graphic.h"
#include "graphics/display/polygon_graphic.h"
#include "graphics/display/rectangle_graphic.h"
#include "pclxl/borzan/borzan.h"
#include "pclxl/testing/borzan_job.h"
#include "pclxl/testing/test_pattern_paint.h"
#include "pclxl/testing/xl_geometry.h"

namespace {

using namespace xl_job;

class RandomPage {
 public:
  explicit RandomPage(uint32_t seed) : random_(seed) {}

  void Draw(Job& job, int items) {
    for (int i = 0; i < items; ++i) DrawOne(job);
  }

 private:
  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
  bool Chance() { return Below(2) == 0; }

  // Mostly on the page, sometimes anywhere in the 16-bit range.
  int16_t Coordinate() {
    if (Below(8) == 0) return static_cast<int16_t>(std::uniform_int_distribution<int>(-32768, 32767)(random_));
    return static_cast<int16_t>(Below(6000) - 500);
  }
  GPoint Point() { return {Coordinate(), Coordinate()}; }
  GRectangle Rectangle() {
    const GPoint a = Point();
    const GPoint b = Point();
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
  }
  std::vector<GPoint> Points(int most) {
    std::vector<GPoint> points(static_cast<size_t>(Below(most) + 1));
    GPoint at = Point();
    for (GPoint& point : points) {
      // Runs of close points with far jumps among them.
      if (Below(4) == 0) {
        at = Point();
      } else {
        at = {static_cast<int16_t>(at.x + Below(200) - 100), static_cast<int16_t>(at.y + Below(200) - 100)};
      }
      point = at;
    }
    return points;
  }

  GPaint* Paint() {
    if (Below(4) == 0) {
      const uint8_t bits[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
      GBitmapDescription description;
      description.data = bits;
      description.dataSize = sizeof bits;
      description.rowAlignment = 1;
      description.bounds = {0, 0, static_cast<int16_t>(Below(9)), 8};
      description.bitsPerComponent = 1;
      return new TestPatternPaint(GBitmap(description), Chance(), Chance());
    }
    return new GColorPaint(new GRGBColor(static_cast<uint8_t>(Below(256)), static_cast<uint8_t>(Below(256)),
                                         static_cast<uint8_t>(Below(256)), 255));
  }

  GClip* Clip() {
    const int32_t region = Below(4) - 1;
    const int32_t rule = Below(4) - 1;
    switch (Below(4)) {
      case 0:
        return new GClipToPage;
      case 1:
        return new GClipToSingleRectangle(Rectangle(), region, rule, 0);
      case 2: {
        GRectangleList rectangles;
        for (int k = Below(4); k >= 0; --k) rectangles.Add(Rectangle());
        return new GClipToRectangle(rectangles, region, rule, 0);
      }
      default:
        return new GClipToPath(Path(2), region, rule, 0);
    }
  }

  // A graphic state with a random part of every kind of attribute.
  GGraphicBundle* Bundle() {
    auto* bundle = new GGraphicBundle;
    if (Chance()) {
      switch (Below(3)) {
        case 0:
          bundle->SetPen(new GPen(static_cast<int16_t>(Below(40) - 5), Paint(), 0));
          break;
        case 1: {
          std::vector<uint16_t> dashes(static_cast<size_t>(Below(24)));
          for (uint16_t& dash : dashes) dash = static_cast<uint16_t>(Below(100));
          bundle->SetPen(new GDashedPen(std::move(dashes), 3, Paint(), static_cast<int16_t>(Below(50) - 10), 0));
          break;
        }
        default:
          bundle->SetPen(new GNoPen);
      }
    }
    if (Chance()) Chance() ? bundle->SetBrush(new GBrush(Paint(), 0)) : bundle->SetBrush(new GNoBrush);
    if (Below(3) == 0) bundle->SetClip(Clip());
    if (Below(3) == 0) bundle->SetCap(new GCap(Below(4), 0));
    if (Below(3) == 0) bundle->SetJoint(Chance() ? new GJoint(Below(5), 0) : new GMiterJoint(Below(100) / 7.0F, 0));
    if (Below(3) == 0) bundle->SetFillMode(new GFillMode(Below(3), 0));
    if (Below(4) == 0) {
      const uint16_t code = static_cast<uint16_t>(Chance() ? 0xA000 + Below(256) : Below(256));
      bundle->SetRasterOperation(new GRasterOperation(code, Below(3), 0));
    }
    if (Below(4) == 0) {
      const auto scale = [&] { return (Below(40) - 5) / 10.0F; };
      bundle->AddChild(
          new GTransformAttribute(static_cast<int16_t>(Below(720) - 360), Point(), GScale{scale(), scale()}));
    }
    return bundle;
  }

  GPathGraphic* Path(int depth) {
    auto* path = new GPathGraphic(nullptr, 0);
    for (int k = Below(3); k >= 0; --k) path->AddChild(Figure(depth - 1));
    if (Chance()) path->SetClosed();
    return path;
  }

  GGraphic* Figure(int depth) {
    switch (Below(depth > 0 ? 4 : 3)) {
      case 0:
        return new GRectangleGraphic(Rectangle(), nullptr, 0);
      case 1:
        return new GPolygonGraphic(GPointArray(Points(40)), nullptr, 0);
      case 2:
        return new GPolyBezierGraphic(GPointArray(Points(20)), nullptr, 0);
      default:
        return Path(depth);
    }
  }

  void DrawOne(Job& job) {
    if (Below(4) != 0) {
      auto* graphic = Figure(2);
      graphic->SetState(Bundle());
      EXPECT_EQ(job.Process(graphic), 0);
      return;
    }
    GBorzan& generator = job.Generator();
    GRectangleGraphic shape(Rectangle(), nullptr, 0);
    shape.SetStartPoint(Point());
    shape.SetEndPoint(Point());
    shape.SetDirection(Below(3));
    shape.SetCornerSize(Point());
    const std::vector<GPoint> points = Points(30);
    const auto count = static_cast<uint32_t>(points.size());
    uint16_t status = 0;
    switch (Below(8)) {
      case 0:
        status = generator.DrawEllipse(shape);
        break;
      case 1:
        status = generator.DrawChord(shape);
        break;
      case 2:
        status = generator.DrawPie(shape);
        break;
      case 3:
        status = generator.DrawArc(shape);
        break;
      case 4:
        status = generator.DrawRoundRectangle(shape);
        break;
      case 5:
        status = generator.DrawLineSegments(points.data(), count);
        break;
      case 6:
        status = generator.DrawBezierSegments(points.data(), count);
        break;
      default:
        generator.BeginScanLines();
        generator.DrawScanLines(points.data(), count);
        status = generator.EndScanLines();
    }
    EXPECT_EQ(status, 0);
  }

  std::mt19937 random_;
};

// The jobs between them use every kind of figure, clip and source, so
// that a generator that stopped writing one would show.
TEST(BorzanRandomPages, EveryStreamReadsStrictlyAndDecodes) {
  std::set<std::string_view> used;
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE(seed);
    RandomPage page(seed);
    Job job;
    ASSERT_EQ(job.Start({{296, static_cast<int16_t>(seed % 2)}}), 0);
    for (int sheet = 0; sheet < 2; ++sheet) ASSERT_EQ(job.Print({}, [&](Job& j) { page.Draw(j, 30); }), 0);
    ASSERT_EQ(job.End(), 0);
    const strict_pclxl::ReadResult read = job.Read();
    ASSERT_TRUE(read.Ok()) << strict_pclxl::Disassemble(read);
    const xl_geometry::Geometry geometry = xl_geometry::Decode(read);
    EXPECT_TRUE(geometry.Ok()) << geometry.error;
    EXPECT_EQ(geometry.pages.size(), 2u);
    for (const strict_pclxl::Operation& operation : read.operations) used.insert(operation.name);
  }
  for (const std::string_view name :
       {"RectanglePath", "RoundRectanglePath", "EllipsePath",  "ChordPath",        "PiePath",        "ArcPath",
        "LineRelPath",   "BezierRelPath",      "CloseSubPath", "ScanLineRel",      "SetClipReplace", "SetClipRectangle",
        "SetClipMode",   "SetPageScale",       "SetLineDash",  "BeginRastPattern", "SetPenSource",   "SetBrushSource",
        "SetROP",        "SetPaintTxMode",     "SetLineCap",   "SetLineJoin",      "SetMiterLimit",  "SetFillMode"}) {
    EXPECT_TRUE(used.contains(name)) << name;
  }
}

}  // namespace
