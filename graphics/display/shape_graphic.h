#pragma once

#include <cstdint>

#include "graphics/display/graphic.h"
#include "graphics/display/point_array.h"
#include "graphics/point.h"
#include "graphics/rectangle.h"

// A graphic drawn from points or from a bounding rectangle: rectangles,
// polygons, poly-Bézier curves. The shape reads its points from a point
// array that it either owns or borrows from the caller (see GPointArray);
// OwnData makes it own them. Arc-type shapes read the direction and the
// start and end points, rounded rectangles the corner size (a width and a
// height).
//
// The bounds are computed from the points on first demand (see GetBounds)
// unless a rectangle gave them.
//
// Stored part after the graphic's: version 1; direction (32-bit); count
// (32-bit); each point as x, y (16-bit each, little-endian); bounds-known
// flag (32-bit); bounds left, top, right, bottom, start x, y, end x, y,
// corner width, height (16-bit each). A restored shape owns its points.
class GShapeGraphic : public GGraphic {
 public:
  static constexpr int32_t kDefaultDirection = 2;

  bool IsKindOf(RWClassID id) const override { return id == kGShapeGraphicClassID || GGraphic::IsKindOf(id); }
  // The same class, agreeing command parts, equal bounds when both are
  // settled, equal direction, start, end and corner size, and equal points
  // in order (the same storage counts as equal).
  bool SameContent(const MPersistentObject& other) const override;
  // Makes a private copy of borrowed points.
  void OwnData() override { points_.OwnData(); }

  // The bounds, once known. Otherwise, with two points or more, the
  // smallest rectangle holding the start point and every point (the start
  // point is part of the figure of a poly-Bézier and of arcs, and zero
  // elsewhere); with fewer the bounds stay as they were. Either way they
  // are known from then on.
  virtual const GRectangle* GetBounds();

  const GPoint* GetStartPoint() const { return &start_; }
  const GPoint* GetEndPoint() const { return &end_; }
  const GPoint* GetCornerSize() const { return &corner_; }
  void SetStartPoint(const GPoint& point) { start_ = point; }
  void SetEndPoint(const GPoint& point) { end_ = point; }
  void SetCornerSize(const GPoint& size) { corner_ = size; }
  int32_t GetDirection() const { return direction_; }
  void SetDirection(int32_t direction) { direction_ = direction; }

  uint32_t GetPointCount() const { return points_.Count(); }
  // Cubic segments: three points each after the start point.
  uint32_t GetBezierCount() const { return points_.Count() / 3; }
  // The point at the index; null past the last.
  const GPoint* GetPoint(uint32_t index) const { return points_.At(index); }
  const GPointArray* GetPointArray() const { return &points_; }
  // Takes the points as a constructor does (a copy of owned ones, a
  // borrow of borrowed ones); the bounds become unknown.
  void SetPoints(const GPointArray& points);

 protected:
  // No points, bounds zero and unknown.
  GShapeGraphic() = default;
  // Bounds known from the rectangle; no points.
  GShapeGraphic(const GRectangle& bounds, GGraphicBundle* state, int32_t key);
  GShapeGraphic(const GRectangle& bounds, int32_t direction, GGraphicBundle* state, int32_t key);
  // Bounds unknown.
  GShapeGraphic(const GPointArray& points, GGraphicBundle* state, int32_t key);
  // Bounds known from the rectangle.
  GShapeGraphic(const GRectangle& bounds, const GPointArray& points, GGraphicBundle* state, int32_t key);
  GShapeGraphic(const GRectangle& bounds, const GPointArray& points, int32_t direction, GGraphicBundle* state,
                int32_t key);
  // Shares the state; copies everything else but the bounds, which become
  // unknown.
  GShapeGraphic(const GShapeGraphic& other);

  void Fields(GFieldArchive& archive) override;

  GPointArray& MutablePoints() { return points_; }

 private:
  // Whether GetBounds would answer the bounds as they are: known, or with
  // too few points to compute them from (a copy of a rectangle keeps the
  // rectangle it was given as its bounds).
  bool BoundsSettled() const { return boundsKnown_ || points_.Count() < 2; }
  void PointFields(GFieldArchive& archive);

  int32_t direction_ = kDefaultDirection;
  GPointArray points_;
  bool boundsKnown_ = false;
  GRectangle bounds_;
  GPoint start_;
  GPoint end_;
  GPoint corner_;
};
