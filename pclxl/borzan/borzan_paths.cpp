// The vector content of a page: shapes and paths with their points sent as
// relative runs, the paint step, and scan-line fills.
#include "pclxl/borzan/borzan.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "graphics/display/path_graphic.h"
#include "graphics/display/poly_bezier_graphic.h"
#include "graphics/display/polygon_graphic.h"
#include "graphics/display/rectangle_graphic.h"
#include "pclxl/borzan/xl_point_runs.h"
#include "pclxl/xl_graphics_state_operators.h"
#include "pclxl/xl_image_operators.h"
#include "pclxl/xl_path_operators.h"

namespace {

constexpr size_t kMostScanPairs = 0xFFFF;

// Coordinates go out as sint16. A value outside that range (a step from
// one edge of the coordinate space to the other) is cut at its limit
// rather than wrapped, so that the printer sees a figure that stays on its
// side of the page.
int16_t ToSInt16(int32_t value) { return static_cast<int16_t>(std::clamp<int32_t>(value, INT16_MIN, INT16_MAX)); }

XLPair<int16_t> Pair(const GPoint& point) { return {point.x, point.y}; }
XLBox<int16_t> Box(const GRectangle& box) { return {box.left, box.top, box.right, box.bottom}; }
GPoint TopLeft(const GRectangle& box) { return {box.left, box.top}; }

// The step from one point to the next, as far as sint16 reaches.
XLPair<int16_t> Step(const GPoint& from, const GPoint& to) {
  return {ToSInt16(to.x - from.x), ToSInt16(to.y - from.y)};
}

// Where a step from a point ends. When the step was cut, the next step
// starts from there, so that the points after it land where they belong.
GPoint After(const GPoint& from, const XLPair<int16_t>& step) {
  return {ToSInt16(from.x + step.x), ToSInt16(from.y + step.y)};
}

// Where an arc leaves the pen: the point of the ellipse in the direction
// of the arc's end point from the centre.
GPoint ArcEnd(const GRectangle& box, const GPoint& end) {
  const double cx = (box.left + box.right) / 2.0;
  const double cy = (box.top + box.bottom) / 2.0;
  const double a = (box.right - box.left) / 2.0;
  const double b = (box.bottom - box.top) / 2.0;
  const double half = std::numbers::pi / 2;
  const double t = end.x == cx ? (end.y > cy ? half : -half) : std::atan2(end.y - cy, end.x - cx);
  return {ToSInt16(static_cast<int32_t>(cx + a * std::cos(t))), ToSInt16(static_cast<int32_t>(cy + b * std::sin(t)))};
}

// The first failure among the operations of a composite figure.
uint16_t FirstFailure(uint16_t first, uint16_t second) { return first != 0 ? first : second; }

}  // namespace

// The frame of every shape.

void GBorzan::StartShape() {
  if (!IsInPath()) XLNewPath(Stream());
}

uint16_t GBorzan::FinishShape(GPoint currentPoint) {
  if (!IsInPath()) Paint();
  SetCurrentPoint(currentPoint.x, currentPoint.y);
  return TakeStatus();
}

void GBorzan::MoveTo(const GPoint& point) {
  XLSetCursor(Stream(), Pair(point));
  SetCurrentPoint(point.x, point.y);
}

// While a raster operation has made the modes transparent, a colour brush
// or a see-through pattern (or, with no brush, such a pen) would let the
// page show through where the application painted solid: those fills go
// out with both modes opaque.
bool GBorzan::PaintsOpaque(bool penCounts) const {
  if (transparency_ != 1) return false;
  const auto plain = [](int32_t kind) { return kind == kColourSource || kind == kSeeThroughSource; };
  return plain(brushKind_) || (penCounts && brushKind_ == kNoSource && plain(penKind_));
}

void GBorzan::SetTxModes(uint8_t mode) {
  XLSetPaintTxMode(Stream(), mode);
  XLSetSourceTxMode(Stream(), mode);
}

void GBorzan::Paint() {
  const bool opaque = PaintsOpaque(true);
  if (opaque) SetTxModes(0);
  XLPaintPath(Stream());
  if (opaque) SetTxModes(1);
}

// Shapes of a bounding box.

// A rectangle without area draws nothing; the path it would have started
// is left empty.
uint16_t GBorzan::DrawRectangle(GRectangleGraphic& rectangle) {
  StartShape();
  const GRectangle box = *rectangle.GetBounds();
  if (box.right == box.left || box.bottom == box.top) return TakeStatus();
  XLRectanglePath(Stream(), Box(box));
  return FinishShape(TopLeft(box));
}

// Negative corner sizes count as square corners.
uint16_t GBorzan::DrawRoundRectangle(GShapeGraphic& shape) {
  StartShape();
  const GRectangle box = *shape.GetBounds();
  const GPoint corner = *shape.GetCornerSize();
  const XLPair<uint16_t> ellipse{static_cast<uint16_t>(std::max<int16_t>(corner.x, 0)),
                                 static_cast<uint16_t>(std::max<int16_t>(corner.y, 0))};
  XLRoundRectanglePath(Stream(), Box(box), ellipse);
  return FinishShape(TopLeft(box));
}

uint16_t GBorzan::DrawEllipse(GShapeGraphic& shape) {
  StartShape();
  const GRectangle box = *shape.GetBounds();
  XLEllipsePath(Stream(), Box(box));
  return FinishShape(TopLeft(box));
}

uint16_t GBorzan::DrawChord(GShapeGraphic& shape) { return DrawClosedArc(shape, XLOp::ChordPath); }

uint16_t GBorzan::DrawPie(GShapeGraphic& shape) { return DrawClosedArc(shape, XLOp::PiePath); }

// The printer draws chords and pies one way round; a shape of direction 0
// runs the other way, so its start and end change places.
uint16_t GBorzan::DrawClosedArc(GShapeGraphic& shape, XLOp op) {
  StartShape();
  const GRectangle box = *shape.GetBounds();
  GPoint start = *shape.GetStartPoint();
  GPoint end = *shape.GetEndPoint();
  if (shape.GetDirection() == 0) std::swap(start, end);
  xl_detail::ArcOperator(Stream(), op, Box(box), Pair(start), Pair(end));
  return FinishShape(TopLeft(box));
}

uint16_t GBorzan::DrawArc(GShapeGraphic& shape) {
  StartShape();
  const GRectangle box = *shape.GetBounds();
  const GPoint end = *shape.GetEndPoint();
  XLArcPath(Stream(), Box(box), Pair(*shape.GetStartPoint()), Pair(end), shape.GetDirection() != 0 ? 1 : 0);
  return FinishShape(ArcEnd(box, end));
}

// Paths.

// The pieces go out as parts of this path. A nested path closes its
// sub-path when it is closed; the outermost one is painted, unless it is
// the outline of a clip.
uint16_t GBorzan::DrawPath(GPathGraphic& path) {
  StartShape();
  EnterPath();
  uint16_t status = 0;
  const GCountedPtrVector& pieces = path.Children();
  for (uint32_t i = 0; i < pieces.Count(); ++i) {
    if (auto* piece = dynamic_cast<GGraphic*>(pieces[i].Get())) status = FirstFailure(status, piece->DispatchTo(*this));
  }
  LeavePath();
  if (IsInPath()) {
    if (path.IsClosed()) XLCloseSubPath(Stream());
  } else if (!IsDefiningClip()) {
    Paint();
  }
  return FirstFailure(status, TakeStatus());
}

// The lines from the current point through the points, as relative runs.
void GBorzan::SendLines(std::span<const GPoint> points) {
  std::vector<XLPair<int16_t>> steps;
  steps.reserve(points.size());
  GPoint at = CurrentPoint();
  for (const GPoint& point : points) {
    steps.push_back(Step(at, point));
    at = After(at, steps.back());
  }
  XLWriteLineRuns(Stream(), steps);
  SetCurrentPoint(at.x, at.y);
}

uint16_t GBorzan::DrawPolygon(GPolygonGraphic& polygon) {
  StartShape();
  const std::span<const GPoint> points(polygon.GetPointArray()->Points(), polygon.GetPointCount());
  if (!points.empty()) MoveTo(points.front());
  SendLines(points);
  XLCloseSubPath(Stream());
  return FinishShape(CurrentPoint());
}

uint16_t GBorzan::BeginPolyline(const GPoint* points, uint32_t count) {
  return DrawFromStart(count > 0 ? points : nullptr, &GBorzan::DrawLineSegments, points, count);
}

// A polyline or a poly-Bézier: the cursor goes to the start, the segments
// go out as parts of one path, which the figure paints when it started it.
uint16_t GBorzan::DrawFromStart(const GPoint* start, Segments segments, const GPoint* points, uint32_t count) {
  StartShape();
  if (start != nullptr) MoveTo(*start);
  EnterPath();
  const uint16_t status = (this->*segments)(points, count);
  LeavePath();
  return FirstFailure(status, FinishShape(CurrentPoint()));
}

// Outside a path the segments start a path of their own, which extends
// from the current point.
uint16_t GBorzan::DrawLineSegments(const GPoint* points, uint32_t count) {
  StartShape();
  SendLines({points, count});
  return FinishShape(CurrentPoint());
}

uint16_t GBorzan::DrawPolyBezier(GPolyBezierGraphic& curve) {
  return DrawFromStart(curve.GetStartPoint(), &GBorzan::DrawBezierSegments, curve.GetPointArray()->Points(),
                       curve.GetPointCount());
}

// Each segment's points are taken from the end of the segment before (the
// first from the current point). One or two points left over after the
// whole segments end the curve with a line to the one, or with a curve to
// the second whose control points both lie on the first.
uint16_t GBorzan::DrawBezierSegments(const GPoint* points, uint32_t count) {
  StartShape();
  const uint32_t whole = count - count % 3;
  std::vector<XLPair<int16_t>> steps;
  steps.reserve(whole);
  GPoint origin = CurrentPoint();
  for (uint32_t i = 0; i < whole; i += 3) {
    steps.push_back(Step(origin, points[i]));
    steps.push_back(Step(origin, points[i + 1]));
    steps.push_back(Step(origin, points[i + 2]));
    origin = After(origin, steps.back());
  }
  XLWriteBezierRuns(Stream(), steps);
  if (count - whole == 1) {
    origin = points[whole];
    XLLinePath(Stream(), Pair(origin));
  } else if (count - whole == 2) {
    origin = points[whole + 1];
    XLBezierPath(Stream(), Pair(points[whole]), Pair(points[whole]), Pair(origin));
  }
  return FinishShape(origin);
}

// Scan lines.

uint16_t GBorzan::BeginScanLines() {
  SetInScanLines(true);
  if (PaintsOpaque(false)) SetTxModes(0);
  XLBeginScan(Stream());
  return TakeStatus();
}

// Each span goes out as its gap from the end of the span before and its
// length. A span that overlaps the one before or runs backwards is cut to
// nothing where it does, so that gaps and lengths stay positive and the
// spans after it stay in place. A line of more spans than one operator
// holds goes on in a further line from where the last one ended.
uint16_t GBorzan::DrawScanLines(const GPoint* points, uint32_t count) {
  if (count < 2) return TakeStatus();
  std::vector<XLPair<uint16_t>> pairs;
  pairs.reserve(count - 1);
  int32_t end = points[1].x;
  for (uint32_t i = 1; i < count; ++i) {
    const int32_t gap = std::max<int32_t>(points[i].x - end, 0);
    const int32_t length = std::max<int32_t>(points[i].y - (end + gap), 0);
    pairs.push_back({static_cast<uint16_t>(gap), static_cast<uint16_t>(length)});
    end += gap + length;
  }
  int32_t x = points[1].x;
  for (std::span<const XLPair<uint16_t>> rest(pairs); !rest.empty();) {
    const std::span<const XLPair<uint16_t>> line = rest.first(std::min(rest.size(), kMostScanPairs));
    XLScanLineRel(Stream(), ToSInt16(x), points[0].y, line);
    for (const XLPair<uint16_t>& pair : line) x += pair.x + pair.y;
    rest = rest.subspan(line.size());
  }
  return TakeStatus();
}

uint16_t GBorzan::EndScanLines() {
  SetInScanLines(false);
  XLEndScan(Stream());
  if (PaintsOpaque(false)) SetTxModes(1);
  return TakeStatus();
}
