#include "pclxl/xl_path_operators.h"

namespace {

void PointListOperator(XLStream* stream, XLOp op, uint16_t numberOfPoints, uint8_t pointType) {
  xl_detail::Attribute(stream, XLAttr::NumberOfPoints, numberOfPoints);
  xl_detail::Attribute(stream, XLAttr::PointType, pointType);
  XLWriteOperator(stream, op);
}

}  // namespace

void XLNewPath(XLStream* stream) { XLWriteOperator(stream, XLOp::NewPath); }
void XLCloseSubPath(XLStream* stream) { XLWriteOperator(stream, XLOp::CloseSubPath); }
void XLPaintPath(XLStream* stream) { XLWriteOperator(stream, XLOp::PaintPath); }

void XLLinePath(XLStream* stream, uint16_t numberOfPoints, uint8_t pointType) {
  PointListOperator(stream, XLOp::LinePath, numberOfPoints, pointType);
}

void XLLineRelPath(XLStream* stream, uint16_t numberOfPoints, uint8_t pointType) {
  PointListOperator(stream, XLOp::LineRelPath, numberOfPoints, pointType);
}

void XLBezierPath(XLStream* stream, uint16_t numberOfPoints, uint8_t pointType) {
  PointListOperator(stream, XLOp::BezierPath, numberOfPoints, pointType);
}

void XLBezierRelPath(XLStream* stream, uint16_t numberOfPoints, uint8_t pointType) {
  PointListOperator(stream, XLOp::BezierRelPath, numberOfPoints, pointType);
}
