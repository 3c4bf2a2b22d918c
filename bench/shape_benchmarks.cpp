#include "bench/shape_benchmarks.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "bench/measured_pair.h"
#include "bench/plain_writer.h"
#include "graphics/display/poly_bezier_graphic.h"
#include "graphics/display/polygon_graphic.h"
#include "graphics/display/rectangle_graphic.h"
#include "graphics/output/memory_output_channel.h"
#include "pclxl/borzan/borzan.h"
#include "pclxl/testing/borzan_job.h"

namespace {

constexpr uint32_t kShapeCount = 1000;
constexpr uint32_t kPolygonPoints = 20;

enum class ShapeKind { kRectangle, kEllipse, kPolygon, kCurve };

struct BenchShape {
  ShapeKind kind;
  GRectangle box;
  // Polygons: every point, the last equal to the first. Curves: the start
  // point, then three points a segment.
  std::vector<GPoint> points;
  GObjectRef graphic;
};

GPoint At(int32_t x, int32_t y) { return {static_cast<int16_t>(x), static_cast<int16_t>(y)}; }

GRectangle BoxAt(const GPoint& corner) {
  return {corner.x, corner.y, static_cast<int16_t>(corner.x + 200), static_cast<int16_t>(corner.y + 100)};
}

// Spread over an A4 page at 600 dpi, each shape small enough that the
// points of its polygon or curve go out as bytes.
const std::vector<BenchShape>& Shapes() {
  static const std::vector<BenchShape> shapes = [] {
    std::vector<BenchShape> made;
    for (uint32_t i = 0; i < kShapeCount; ++i) {
      const int32_t x = 100 + static_cast<int32_t>(i * 37 % 4000);
      const int32_t y = 100 + static_cast<int32_t>(i * 53 % 6000);
      BenchShape shape{static_cast<ShapeKind>(i % 4), BoxAt(At(x, y)), {}, GObjectRef()};
      switch (shape.kind) {
        case ShapeKind::kRectangle:
        case ShapeKind::kEllipse:
          shape.graphic = GObjectRef(new GRectangleGraphic(shape.box, nullptr, 0));
          break;
        case ShapeKind::kPolygon:
          for (uint32_t k = 0; k + 1 < kPolygonPoints; ++k) {
            const double angle = 2 * std::numbers::pi * k / (kPolygonPoints - 1);
            shape.points.push_back(At(x + static_cast<int32_t>(50 * std::cos(angle)),
                                      y + static_cast<int32_t>((k % 2 == 0 ? 50 : 30) * std::sin(angle))));
          }
          shape.points.push_back(shape.points.front());
          shape.graphic = GObjectRef(new GPolygonGraphic(GPointArray(shape.points), nullptr, 0));
          break;
        case ShapeKind::kCurve:
          for (int32_t k = 0; k < 7; ++k) shape.points.push_back(At(x + 20 * k, y + (k % 2 == 0 ? 0 : 15 * k)));
          shape.graphic = GObjectRef(new GPolyBezierGraphic(GPointArray(shape.points), nullptr, 0));
          break;
      }
      made.push_back(shape);
    }
    return made;
  }();
  return shapes;
}

void DrawShapes(GBorzan& generator) {
  for (const BenchShape& shape : Shapes()) {
    MPersistentObject* graphic = shape.graphic.Get();
    switch (shape.kind) {
      case ShapeKind::kRectangle:
        generator.DrawRectangle(*static_cast<GRectangleGraphic*>(graphic));
        break;
      case ShapeKind::kEllipse:
        generator.DrawEllipse(*static_cast<GShapeGraphic*>(graphic));
        break;
      case ShapeKind::kPolygon:
        generator.DrawPolygon(*static_cast<GPolygonGraphic*>(graphic));
        break;
      case ShapeKind::kCurve:
        generator.DrawPolyBezier(*static_cast<GPolyBezierGraphic*>(graphic));
        break;
    }
  }
}

// One page of the shapes through the generator into a memory channel,
// emptied before each page.
void GeneratorShapes(benchmark::State& state) {
  const auto bytes = std::make_shared<std::string>();
  GMemoryOutputChannel channel(RWCString("bench"), bytes);
  xl_job::Job job;
  if (channel.Open(RWWString()) != 0 || job.Start({}, nullptr, &channel) != 0)
    return state.SkipWithError("the job did not start");
  for (auto _ : state) {
    bytes->clear();
    if (job.Print({}, [](xl_job::Job& j) { DrawShapes(j.Generator()); }) != 0)
      return state.SkipWithError("the page failed");
    benchmark::DoNotOptimize(bytes->data());
  }
  job.End();
}

// The reference: the same operators stored byte by byte into one block.
void PlainShapes(benchmark::State& state) {
  const std::vector<BenchShape>& shapes = Shapes();
  std::vector<uint8_t> out(kShapeCount * 128);
  for (auto _ : state) {
    PlainWriter write(out.data());
    for (const BenchShape& shape : shapes) {
      write.Byte(0x85);
      switch (shape.kind) {
        case ShapeKind::kRectangle:
          write.Box(shape.box, 0xA1);
          break;
        case ShapeKind::kEllipse:
          write.Box(shape.box, 0x99);
          break;
        case ShapeKind::kPolygon:
          write.Cursor(shape.points[0]);
          write.ByteSteps(shape.points.data(), kPolygonPoints, shape.points[0], 0x9D, false);
          write.Byte(0x84);
          break;
        case ShapeKind::kCurve:
          write.Cursor(shape.points[0]);
          write.ByteSteps(shape.points.data() + 1, 6, shape.points[0], 0x95, true);
          break;
      }
      write.Byte(0x86);
    }
    benchmark::DoNotOptimize(write.End());
    benchmark::ClobberMemory();
  }
}

}  // namespace

void RegisterShapeBenchmarks() { RegisterMeasuredPair("xl_shapes/mixed", GeneratorShapes, PlainShapes); }
