#include "graphics/display/shape_graphic.h"

#include <algorithm>
#include <vector>

#include "graphics/display/rectangle_field.h"

GShapeGraphic::GShapeGraphic(const GRectangle& bounds, GGraphicBundle* state, int32_t key)
    : GShapeGraphic(bounds, GPointArray(), kDefaultDirection, state, key) {}

GShapeGraphic::GShapeGraphic(const GRectangle& bounds, int32_t direction, GGraphicBundle* state, int32_t key)
    : GShapeGraphic(bounds, GPointArray(), direction, state, key) {}

GShapeGraphic::GShapeGraphic(const GPointArray& points, GGraphicBundle* state, int32_t key)
    : GGraphic(state, key), points_(points) {}

GShapeGraphic::GShapeGraphic(const GRectangle& bounds, const GPointArray& points, GGraphicBundle* state, int32_t key)
    : GShapeGraphic(bounds, points, kDefaultDirection, state, key) {}

GShapeGraphic::GShapeGraphic(const GRectangle& bounds, const GPointArray& points, int32_t direction,
                             GGraphicBundle* state, int32_t key)
    : GGraphic(state, key), direction_(direction), points_(points), boundsKnown_(true), bounds_(bounds) {}

GShapeGraphic::GShapeGraphic(const GShapeGraphic& other)
    : GGraphic(other),
      direction_(other.direction_),
      points_(other.points_),
      bounds_(other.bounds_),
      start_(other.start_),
      end_(other.end_),
      corner_(other.corner_) {}

bool GShapeGraphic::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  if (other.ClassID() != ClassID() || !GGraphic::SameContent(other)) return false;
  const auto& shape = static_cast<const GShapeGraphic&>(other);
  if (BoundsSettled() && shape.BoundsSettled() && !(bounds_ == shape.bounds_)) return false;
  if (direction_ != shape.direction_ || !(start_ == shape.start_) || !(end_ == shape.end_) ||
      !(corner_ == shape.corner_) || points_.Count() != shape.points_.Count()) {
    return false;
  }
  return points_.SharesPoints(shape.points_) ||
         std::equal(points_.Points(), points_.Points() + points_.Count(), shape.points_.Points());
}

const GRectangle* GShapeGraphic::GetBounds() {
  if (!boundsKnown_ && points_.Count() > 1) {
    bounds_ = {start_.x, start_.y, start_.x, start_.y};
    for (uint32_t i = 0; i < points_.Count(); ++i) {
      const GPoint& point = *points_.At(i);
      bounds_.left = std::min(bounds_.left, point.x);
      bounds_.right = std::max(bounds_.right, point.x);
      bounds_.top = std::min(bounds_.top, point.y);
      bounds_.bottom = std::max(bounds_.bottom, point.y);
    }
  }
  boundsKnown_ = true;
  return &bounds_;
}

void GShapeGraphic::SetPoints(const GPointArray& points) {
  points_ = points;
  boundsKnown_ = false;
}

void GShapeGraphic::Fields(GFieldArchive& archive) {
  GGraphic::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  archive.Int32(direction_);
  PointFields(archive);
  archive.Bool32(boundsKnown_) && RectangleField(archive, bounds_) && archive.Int16(start_.x) &&
      archive.Int16(start_.y) && archive.Int16(end_.x) && archive.Int16(end_.y) && archive.Int16(corner_.x) &&
      archive.Int16(corner_.y);
}

// The count is checked against the bytes left before the points are made.
void GShapeGraphic::PointFields(GFieldArchive& archive) {
  constexpr uint32_t kStoredPointSize = 4;
  uint32_t count = points_.Count();
  if (!archive.Count(count, kStoredPointSize)) return;
  if (!archive.IsRestoring()) {
    for (uint32_t i = 0; i < count; ++i) {
      GPoint point = *points_.At(i);
      archive.Int16(point.x) && archive.Int16(point.y);
    }
    return;
  }
  std::vector<GPoint> points(count);
  for (GPoint& point : points) {
    if (!(archive.Int16(point.x) && archive.Int16(point.y))) return;
  }
  points_ = GPointArray(std::move(points));
}
