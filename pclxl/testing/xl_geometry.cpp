#include "pclxl/testing/xl_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string_view>

namespace xl_geometry {
namespace {

using strict_pclxl::Operation;

// x' = a x + c y + e, y' = b x + d y + f.
struct Transform {
  double a = 1;
  double b = 0;
  double c = 0;
  double d = 1;
  double e = 0;
  double f = 0;

  Point Apply(Point p) const { return {a * p.x + c * p.y + e, b * p.x + d * p.y + f}; }
  // A distance: the same without the move.
  Point ApplyLinear(Point v) const { return {a * v.x + c * v.y, b * v.x + d * v.y}; }
  // This transform applied after inner.
  Transform Then(const Transform& inner) const {
    return {a * inner.a + c * inner.b, b * inner.a + d * inner.b,     a * inner.c + c * inner.d,
            b * inner.c + d * inner.d, a * inner.e + c * inner.f + e, b * inner.e + d * inner.f + f};
  }
};

// Sine and cosine of an angle in degrees, exact at the quarter turns.
void SinCos(double degrees, double& sine, double& cosine) {
  const double turned = std::fmod(degrees, 360.0);
  if (std::fmod(turned, 90.0) == 0) {
    static constexpr double kSines[] = {0, 1, 0, -1};
    static constexpr double kCosines[] = {1, 0, -1, 0};
    const auto quarter = static_cast<size_t>((static_cast<int32_t>(turned / 90) + 4) % 4);
    sine = kSines[quarter];
    cosine = kCosines[quarter];
    return;
  }
  constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180;
  sine = std::sin(degrees * kRadiansPerDegree);
  cosine = std::cos(degrees * kRadiansPerDegree);
}

Box BoundsOf(const std::vector<Point>& points) {
  Box box{points.front().x, points.front().y, points.front().x, points.front().y};
  for (const Point& p : points) {
    box.left = std::min(box.left, p.x);
    box.top = std::min(box.top, p.y);
    box.right = std::max(box.right, p.x);
    box.bottom = std::max(box.bottom, p.y);
  }
  return box;
}

Point operator+(Point p, Point q) { return {p.x + q.x, p.y + q.y}; }

// One coordinate of an embedded point list, little-endian: PointType 0
// unsigned bytes, 1 signed bytes, 2 unsigned 16-bit, 3 signed 16-bit.
double Coordinate(const std::vector<uint8_t>& data, size_t at, int32_t type) {
  if (type < 2) return type == 1 ? static_cast<int8_t>(data[at]) : data[at];
  const auto word = static_cast<uint16_t>(data[at] | data[at + 1] << 8);
  return type == 3 ? static_cast<int16_t>(word) : word;
}

class Decoder {
 public:
  Geometry Run(const std::vector<Operation>& operations) {
    for (const Operation& operation : operations) {
      const auto handler = Handlers().find(operation.name);
      if (handler == Handlers().end()) continue;
      (this->*handler->second)(operation);
      if (!geometry_.Ok()) break;
    }
    return std::move(geometry_);
  }

 private:
  using Handler = void (Decoder::*)(const Operation&);

  static const std::map<std::string_view, Handler>& Handlers() {
    static const std::map<std::string_view, Handler> handlers = {
        {"BeginPage", &Decoder::BeginPage},       {"SetPageDefaultCTM", &Decoder::ResetTransform},
        {"SetPageOrigin", &Decoder::SetOrigin},   {"SetPageRotation", &Decoder::SetRotation},
        {"SetPageScale", &Decoder::SetScale},     {"SetCursor", &Decoder::SetCursor},
        {"SetCursorRel", &Decoder::SetCursorRel}, {"NewPath", &Decoder::NewPath},
        {"RectanglePath", &Decoder::AddBox},      {"EllipsePath", &Decoder::AddBox},
        {"RoundRectanglePath", &Decoder::AddBox}, {"ArcPath", &Decoder::AddBox},
        {"ChordPath", &Decoder::AddBox},          {"PiePath", &Decoder::AddBox},
        {"LinePath", &Decoder::AddLines},         {"LineRelPath", &Decoder::AddLines},
        {"BezierPath", &Decoder::AddCurves},      {"BezierRelPath", &Decoder::AddCurves},
        {"PaintPath", &Decoder::ClosePath},       {"SetClipReplace", &Decoder::ClosePath},
    };
    return handlers;
  }

  void Fail(const Operation& operation, const std::string& why) {
    geometry_.error = std::string(operation.name) + " at offset " + std::to_string(operation.offset) + ": " + why;
  }

  // The numbers of an attribute, when it has count of them.
  const std::vector<double>* Numbers(const Operation& operation, std::string_view attribute, size_t count) {
    const strict_pclxl::Attribute* found = operation.Find(attribute);
    if (found == nullptr || found->value.numbers.size() != count) {
      Fail(operation, "no " + std::string(attribute) + " of " + std::to_string(count) + " numbers");
      return nullptr;
    }
    return &found->value.numbers;
  }

  bool InPage(const Operation& operation) {
    if (!geometry_.pages.empty()) return true;
    Fail(operation, "outside a page");
    return false;
  }

  void BeginPage(const Operation&) {
    geometry_.pages.emplace_back();
    transform_ = Transform();
    cursor_ = Point();
    figures_.clear();
  }

  void ResetTransform(const Operation&) { transform_ = Transform(); }

  void SetOrigin(const Operation& operation) {
    if (const std::vector<double>* origin = Numbers(operation, "PageOrigin", 2)) {
      transform_ = transform_.Then({1, 0, 0, 1, (*origin)[0], (*origin)[1]});
    }
  }

  void SetRotation(const Operation& operation) {
    if (const std::vector<double>* angle = Numbers(operation, "PageAngle", 1)) {
      double sine = 0;
      double cosine = 1;
      SinCos((*angle)[0], sine, cosine);
      transform_ = transform_.Then({cosine, sine, -sine, cosine, 0, 0});
    }
  }

  void SetScale(const Operation& operation) {
    if (const std::vector<double>* scale = Numbers(operation, "PageScale", 2)) {
      transform_ = transform_.Then({(*scale)[0], 0, 0, (*scale)[1], 0, 0});
    }
  }

  void SetCursor(const Operation& operation) {
    if (const std::vector<double>* point = Numbers(operation, "Point", 2)) {
      cursor_ = transform_.Apply({(*point)[0], (*point)[1]});
    }
  }

  void SetCursorRel(const Operation& operation) {
    if (const std::vector<double>* point = Numbers(operation, "Point", 2)) {
      cursor_ = cursor_ + transform_.ApplyLinear({(*point)[0], (*point)[1]});
    }
  }

  void NewPath(const Operation&) { figures_.clear(); }

  void AddBox(const Operation& operation) {
    const std::vector<double>* box = Numbers(operation, "BoundingBox", 4);
    if (box == nullptr || !InPage(operation)) return;
    const double left = (*box)[0];
    const double top = (*box)[1];
    const double right = (*box)[2];
    const double bottom = (*box)[3];
    AddFigure(operation, {transform_.Apply({left, top}), transform_.Apply({right, top}),
                          transform_.Apply({right, bottom}), transform_.Apply({left, bottom})});
  }

  void AddLines(const Operation& operation) { AddPoints(operation, 1); }
  void AddCurves(const Operation& operation) { AddPoints(operation, 3); }

  // Lines and curves: the points come in groups, one point a line, two
  // control points and an end point a curve segment (the reader has
  // checked that a curve's points come in threes). Relative points count
  // from the end of the group before theirs.
  void AddPoints(const Operation& operation, size_t group) {
    std::vector<Point> given;
    if (!GivenPoints(operation, given) || !InPage(operation)) return;
    const bool relative = operation.name.ends_with("RelPath");
    std::vector<Point> points = {cursor_};
    Point start;
    for (size_t i = 0; i < given.size(); ++i) {
      if (i % group == 0) start = points.back();
      points.push_back(relative ? start + transform_.ApplyLinear(given[i]) : transform_.Apply(given[i]));
    }
    cursor_ = points.back();
    AddFigure(operation, std::move(points));
  }

  // The points an operator names, untransformed: its attributes, or its
  // embedded point list.
  bool GivenPoints(const Operation& operation, std::vector<Point>& points) {
    if (operation.Find("NumberOfPoints") == nullptr) {
      for (std::string_view name : {"ControlPoint1", "ControlPoint2", "EndPoint"}) {
        if (operation.Find(name) == nullptr) continue;
        const std::vector<double>* point = Numbers(operation, name, 2);
        if (point == nullptr) return false;
        points.push_back({(*point)[0], (*point)[1]});
      }
      return true;
    }
    const std::vector<double>* count = Numbers(operation, "NumberOfPoints", 1);
    const std::vector<double>* type = count != nullptr ? Numbers(operation, "PointType", 1) : nullptr;
    if (type == nullptr) return false;
    const auto pointType = static_cast<int32_t>((*type)[0]);
    const size_t size = pointType < 2 ? 1 : 2;
    // The reader has checked the length; this only keeps a hand-made
    // result from reading past its data.
    if (operation.data.size() != static_cast<size_t>((*count)[0]) * 2 * size) {
      Fail(operation, "the points do not fill the data");
      return false;
    }
    for (size_t at = 0; at < operation.data.size(); at += 2 * size) {
      points.push_back({Coordinate(operation.data, at, pointType), Coordinate(operation.data, at + size, pointType)});
    }
    return true;
  }

  void AddFigure(const Operation& operation, std::vector<Point> points) {
    const Box bounds = BoundsOf(points);
    figures_.push_back({std::string(operation.name), std::move(points), bounds});
  }

  void ClosePath(const Operation& operation) {
    if (InPage(operation)) geometry_.pages.back().paths.push_back({std::string(operation.name), figures_});
  }

  Geometry geometry_;
  Transform transform_;
  Point cursor_;
  std::vector<Figure> figures_;
};

}  // namespace

Geometry Decode(const strict_pclxl::ReadResult& result) {
  if (!result.Ok()) return {{}, "the stream did not read: " + result.error};
  return Decoder().Run(result.operations);
}

}  // namespace xl_geometry
