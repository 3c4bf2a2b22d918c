#pragma once

#include <concepts>
#include <cstdint>

#include "pclxl/xl_attribute_writers.h"
#include "pclxl/xl_values.h"

// Operators of the cursor, paths and shapes. Coordinates come as sint16,
// uint16, sint32 or real32 pairs and boxes; the type of the pair or box
// chooses the tag. Each function writes its attributes (value, then
// identifier) in the order shown and then the operator. The point-list forms
// take NumberOfPoints and PointType; the points follow as embedded data,
// written by the caller.

template <class T>
concept XLCoordinate =
    std::same_as<T, int16_t> || std::same_as<T, uint16_t> || std::same_as<T, int32_t> || std::same_as<T, float>;

template <class T>
concept XLDimension = std::same_as<T, uint16_t> || std::same_as<T, float>;

namespace xl_detail {

template <class T>
void BoxOperator(XLStream* stream, XLOp op, XLBox<T> boundingBox) {
  AttributeOperator(stream, op, XLAttr::BoundingBox, boundingBox);
}

// BoundingBox, StartPoint, EndPoint, then ArcDirection when given.
template <class T>
void ArcOperator(XLStream* stream, XLOp op, XLBox<T> boundingBox, XLPair<T> startPoint, XLPair<T> endPoint,
                 std::optional<uint8_t> arcDirection = std::nullopt) {
  Attribute(stream, XLAttr::BoundingBox, boundingBox);
  Attribute(stream, XLAttr::StartPoint, startPoint);
  Attribute(stream, XLAttr::EndPoint, endPoint);
  OptionalAttribute(stream, XLAttr::ArcDirection, arcDirection);
  XLWriteOperator(stream, op);
}

template <class T>
void CurveOperator(XLStream* stream, XLOp op, XLPair<T> controlPoint1, XLPair<T> controlPoint2, XLPair<T> endPoint) {
  Attribute(stream, XLAttr::ControlPoint1, controlPoint1);
  Attribute(stream, XLAttr::ControlPoint2, controlPoint2);
  Attribute(stream, XLAttr::EndPoint, endPoint);
  XLWriteOperator(stream, op);
}

template <class T, class D>
void RoundRectangleOperator(XLStream* stream, XLOp op, XLBox<T> boundingBox, XLPair<D> ellipseDimension) {
  Attribute(stream, XLAttr::BoundingBox, boundingBox);
  Attribute(stream, XLAttr::EllipseDimension, ellipseDimension);
  XLWriteOperator(stream, op);
}

}  // namespace xl_detail

template <XLCoordinate T>
void XLSetCursor(XLStream* stream, XLPair<T> point) {
  xl_detail::AttributeOperator(stream, XLOp::SetCursor, XLAttr::Point, point);
}

// Point, Measure, UnitsPerMeasure.
template <XLCoordinate T>
void XLSetCursorWithMeasure(XLStream* stream, XLPair<T> point, uint8_t measure, XLPair<float> unitsPerMeasure) {
  xl_detail::Attribute(stream, XLAttr::Point, point);
  xl_detail::Attribute(stream, XLAttr::Measure, measure);
  xl_detail::Attribute(stream, XLAttr::UnitsPerMeasure, unitsPerMeasure);
  XLWriteOperator(stream, XLOp::SetCursor);
}

template <XLCoordinate T>
void XLSetCursorRel(XLStream* stream, XLPair<T> point) {
  xl_detail::AttributeOperator(stream, XLOp::SetCursorRel, XLAttr::Point, point);
}

template <XLCoordinate T>
void XLSetPageOrigin(XLStream* stream, XLPair<T> pageOrigin) {
  xl_detail::AttributeOperator(stream, XLOp::SetPageOrigin, XLAttr::PageOrigin, pageOrigin);
}

// BoundingBox, ClipRegion.
template <XLCoordinate T>
void XLSetClipRectangle(XLStream* stream, XLBox<T> boundingBox, uint8_t clipRegion) {
  xl_detail::Attribute(stream, XLAttr::BoundingBox, boundingBox);
  xl_detail::Attribute(stream, XLAttr::ClipRegion, clipRegion);
  XLWriteOperator(stream, XLOp::SetClipRectangle);
}

void XLNewPath(XLStream* stream);
void XLCloseSubPath(XLStream* stream);
void XLPaintPath(XLStream* stream);

// BoundingBox, StartPoint, EndPoint, ArcDirection.
template <XLCoordinate T>
void XLArcPath(XLStream* stream, XLBox<T> boundingBox, XLPair<T> startPoint, XLPair<T> endPoint, uint8_t arcDirection) {
  xl_detail::ArcOperator(stream, XLOp::ArcPath, boundingBox, startPoint, endPoint, arcDirection);
}

// BoundingBox, StartPoint, EndPoint.
template <XLCoordinate T>
void XLChord(XLStream* stream, XLBox<T> boundingBox, XLPair<T> startPoint, XLPair<T> endPoint) {
  xl_detail::ArcOperator(stream, XLOp::Chord, boundingBox, startPoint, endPoint);
}
template <XLCoordinate T>
void XLChordPath(XLStream* stream, XLBox<T> boundingBox, XLPair<T> startPoint, XLPair<T> endPoint) {
  xl_detail::ArcOperator(stream, XLOp::ChordPath, boundingBox, startPoint, endPoint);
}
template <XLCoordinate T>
void XLPie(XLStream* stream, XLBox<T> boundingBox, XLPair<T> startPoint, XLPair<T> endPoint) {
  xl_detail::ArcOperator(stream, XLOp::Pie, boundingBox, startPoint, endPoint);
}
template <XLCoordinate T>
void XLPiePath(XLStream* stream, XLBox<T> boundingBox, XLPair<T> startPoint, XLPair<T> endPoint) {
  xl_detail::ArcOperator(stream, XLOp::PiePath, boundingBox, startPoint, endPoint);
}

template <XLCoordinate T>
void XLEllipse(XLStream* stream, XLBox<T> boundingBox) {
  xl_detail::BoxOperator(stream, XLOp::Ellipse, boundingBox);
}
template <XLCoordinate T>
void XLEllipsePath(XLStream* stream, XLBox<T> boundingBox) {
  xl_detail::BoxOperator(stream, XLOp::EllipsePath, boundingBox);
}
template <XLCoordinate T>
void XLRectangle(XLStream* stream, XLBox<T> boundingBox) {
  xl_detail::BoxOperator(stream, XLOp::Rectangle, boundingBox);
}
template <XLCoordinate T>
void XLRectanglePath(XLStream* stream, XLBox<T> boundingBox) {
  xl_detail::BoxOperator(stream, XLOp::RectanglePath, boundingBox);
}

// BoundingBox, EllipseDimension.
template <XLCoordinate T, XLDimension D>
void XLRoundRectangle(XLStream* stream, XLBox<T> boundingBox, XLPair<D> ellipseDimension) {
  xl_detail::RoundRectangleOperator(stream, XLOp::RoundRectangle, boundingBox, ellipseDimension);
}
template <XLCoordinate T, XLDimension D>
void XLRoundRectanglePath(XLStream* stream, XLBox<T> boundingBox, XLPair<D> ellipseDimension) {
  xl_detail::RoundRectangleOperator(stream, XLOp::RoundRectanglePath, boundingBox, ellipseDimension);
}

// EndPoint.
template <XLCoordinate T>
void XLLinePath(XLStream* stream, XLPair<T> endPoint) {
  xl_detail::AttributeOperator(stream, XLOp::LinePath, XLAttr::EndPoint, endPoint);
}
template <XLCoordinate T>
void XLLineRelPath(XLStream* stream, XLPair<T> endPoint) {
  xl_detail::AttributeOperator(stream, XLOp::LineRelPath, XLAttr::EndPoint, endPoint);
}

// ControlPoint1, ControlPoint2, EndPoint.
template <XLCoordinate T>
void XLBezierPath(XLStream* stream, XLPair<T> controlPoint1, XLPair<T> controlPoint2, XLPair<T> endPoint) {
  xl_detail::CurveOperator(stream, XLOp::BezierPath, controlPoint1, controlPoint2, endPoint);
}
template <XLCoordinate T>
void XLBezierRelPath(XLStream* stream, XLPair<T> controlPoint1, XLPair<T> controlPoint2, XLPair<T> endPoint) {
  xl_detail::CurveOperator(stream, XLOp::BezierRelPath, controlPoint1, controlPoint2, endPoint);
}

// NumberOfPoints, PointType; the points follow as embedded data.
void XLLinePath(XLStream* stream, uint16_t numberOfPoints, uint8_t pointType);
void XLLineRelPath(XLStream* stream, uint16_t numberOfPoints, uint8_t pointType);
void XLBezierPath(XLStream* stream, uint16_t numberOfPoints, uint8_t pointType);
void XLBezierRelPath(XLStream* stream, uint16_t numberOfPoints, uint8_t pointType);
