#include "pclxl/xl_graphics_state_operators.h"

#include "pclxl/xl_attribute_writers.h"

using xl_detail::Attribute;
using xl_detail::AttributeOperator;
using xl_detail::OptionalAttribute;

namespace {

// The brush and the pen take the same attribute sets; they differ in the
// operator and in the attribute that selects no paint.
struct PaintSource {
  XLOp op;
  XLAttr nullAttribute;
};
constexpr PaintSource kBrush{XLOp::SetBrushSource, XLAttr::NullBrush};
constexpr PaintSource kPen{XLOp::SetPenSource, XLAttr::NullPen};

void SourcePattern(XLStream* stream, PaintSource source, int16_t patternSelectId,
                   std::optional<XLPair<uint16_t>> newDestinationSize) {
  Attribute(stream, XLAttr::PatternSelectID, patternSelectId);
  OptionalAttribute(stream, XLAttr::NewDestinationSize, newDestinationSize);
  XLWriteOperator(stream, source.op);
}

void SourcePrimary(XLStream* stream, PaintSource source, uint8_t primaryDepth, std::span<const uint8_t> primaryArray) {
  Attribute(stream, XLAttr::PrimaryDepth, primaryDepth);
  Attribute(stream, XLAttr::PrimaryArray, primaryArray);
  XLWriteOperator(stream, source.op);
}

void ObjectTypesOperator(XLStream* stream, XLOp op, uint8_t textObjects, uint8_t vectorObjects, uint8_t rasterObjects) {
  Attribute(stream, XLAttr::TextObjects, textObjects);
  Attribute(stream, XLAttr::VectorObjects, vectorObjects);
  Attribute(stream, XLAttr::RasterObjects, rasterObjects);
  XLWriteOperator(stream, op);
}

void ObjectTypeOperator(XLStream* stream, XLOp op, XLObjectType objectType, uint8_t value) {
  AttributeOperator(stream, op, static_cast<XLAttr>(objectType), value);
}

}  // namespace

void XLPopGS(XLStream* stream) { XLWriteOperator(stream, XLOp::PopGS); }
void XLPushGS(XLStream* stream) { XLWriteOperator(stream, XLOp::PushGS); }

void XLSetColorSpace(XLStream* stream, uint8_t colorSpace) {
  AttributeOperator(stream, XLOp::SetColorSpace, XLAttr::ColorSpace, colorSpace);
}

void XLSetColorSpaceWithPalette(XLStream* stream, uint8_t colorSpace, uint8_t paletteDepth,
                                std::span<const uint8_t> paletteData) {
  Attribute(stream, XLAttr::ColorSpace, colorSpace);
  Attribute(stream, XLAttr::PaletteDepth, paletteDepth);
  Attribute(stream, XLAttr::PaletteData, paletteData);
  XLWriteOperator(stream, XLOp::SetColorSpace);
}

void XLSetColorSpaceColorimetric(XLStream* stream, uint8_t colorSpace, uint8_t colorimetricColorSpace,
                                 std::span<const float> xyChromaticities, std::span<const float> whiteReferencePoint,
                                 std::span<const float> crgbMinMax, std::span<const float> gammaGain) {
  Attribute(stream, XLAttr::ColorSpace, colorSpace);
  Attribute(stream, XLAttr::ColorimetricColorSpace, colorimetricColorSpace);
  Attribute(stream, XLAttr::XYChromaticities, xyChromaticities);
  Attribute(stream, XLAttr::WhiteReferencePoint, whiteReferencePoint);
  Attribute(stream, XLAttr::CRGBMinMax, crgbMinMax);
  Attribute(stream, XLAttr::GammaGain, gammaGain);
  XLWriteOperator(stream, XLOp::SetColorSpace);
}

void XLSetColorSpaceColorimetricExtended(XLStream* stream, uint8_t colorSpace,
                                         const std::array<std::span<const float>, 6>& values) {
  Attribute(stream, XLAttr::ColorSpace, colorSpace);
  int32_t id = static_cast<int32_t>(XLAttr::ColorimetricExtension);
  for (std::span<const float> value : values) {
    XLWriteReal32Array(stream, value);
    XLWriteAttribute(stream, id++);
  }
  XLWriteOperator(stream, XLOp::SetColorSpace);
}

void XLSetBrushSourceGrayLevel(XLStream* stream, uint8_t grayLevel) {
  AttributeOperator(stream, kBrush.op, XLAttr::GrayLevel, grayLevel);
}

void XLSetBrushSourceGrayLevel(XLStream* stream, float grayLevel) {
  AttributeOperator(stream, kBrush.op, XLAttr::GrayLevel, grayLevel);
}

void XLSetBrushSourceNull(XLStream* stream, uint8_t nullBrush) {
  AttributeOperator(stream, kBrush.op, kBrush.nullAttribute, nullBrush);
}

void XLSetBrushSourcePattern(XLStream* stream, int16_t patternSelectId,
                             std::optional<XLPair<uint16_t>> newDestinationSize) {
  SourcePattern(stream, kBrush, patternSelectId, newDestinationSize);
}

void XLSetBrushSourceRGB(XLStream* stream, std::span<const uint8_t> rgbColor) {
  AttributeOperator(stream, kBrush.op, XLAttr::RGBColor, rgbColor);
}

void XLSetBrushSourceRGB(XLStream* stream, std::span<const float> rgbColor) {
  AttributeOperator(stream, kBrush.op, XLAttr::RGBColor, rgbColor);
}

void XLSetBrushSourcePrimary(XLStream* stream, uint8_t primaryDepth, std::span<const uint8_t> primaryArray) {
  SourcePrimary(stream, kBrush, primaryDepth, primaryArray);
}

void XLSetPenSourceGrayLevel(XLStream* stream, uint8_t grayLevel) {
  AttributeOperator(stream, kPen.op, XLAttr::GrayLevel, grayLevel);
}

void XLSetPenSourceGrayLevel(XLStream* stream, float grayLevel) {
  AttributeOperator(stream, kPen.op, XLAttr::GrayLevel, grayLevel);
}

void XLSetPenSourceNull(XLStream* stream, uint8_t nullPen) {
  AttributeOperator(stream, kPen.op, kPen.nullAttribute, nullPen);
}

void XLSetPenSourcePattern(XLStream* stream, int16_t patternSelectId,
                           std::optional<XLPair<uint16_t>> newDestinationSize) {
  SourcePattern(stream, kPen, patternSelectId, newDestinationSize);
}

void XLSetPenSourceRGB(XLStream* stream, std::span<const uint8_t> rgbColor) {
  AttributeOperator(stream, kPen.op, XLAttr::RGBColor, rgbColor);
}

void XLSetPenSourceRGB(XLStream* stream, std::span<const float> rgbColor) {
  AttributeOperator(stream, kPen.op, XLAttr::RGBColor, rgbColor);
}

void XLSetPenSourcePrimary(XLStream* stream, uint8_t primaryDepth, std::span<const uint8_t> primaryArray) {
  SourcePrimary(stream, kPen, primaryDepth, primaryArray);
}

void XLSetPenWidth(XLStream* stream, uint16_t penWidth) {
  AttributeOperator(stream, XLOp::SetPenWidth, XLAttr::PenWidth, penWidth);
}

void XLSetPenWidth(XLStream* stream, float penWidth) {
  AttributeOperator(stream, XLOp::SetPenWidth, XLAttr::PenWidth, penWidth);
}

void XLSetClipReplace(XLStream* stream, uint8_t clipRegion) {
  AttributeOperator(stream, XLOp::SetClipReplace, XLAttr::ClipRegion, clipRegion);
}

void XLSetClipIntersect(XLStream* stream, uint8_t clipRegion) {
  AttributeOperator(stream, XLOp::SetClipIntersect, XLAttr::ClipRegion, clipRegion);
}

void XLSetClipToPage(XLStream* stream) { XLWriteOperator(stream, XLOp::SetClipToPage); }

void XLSetClipMode(XLStream* stream, uint8_t clipMode) {
  AttributeOperator(stream, XLOp::SetClipMode, XLAttr::ClipMode, clipMode);
}

void XLSetPathToClip(XLStream* stream) { XLWriteOperator(stream, XLOp::SetPathToClip); }

void XLSetFillMode(XLStream* stream, uint8_t fillMode) {
  AttributeOperator(stream, XLOp::SetFillMode, XLAttr::FillMode, fillMode);
}

void XLSetLineDash(XLStream* stream, std::span<const uint16_t> lineDashStyle, std::optional<uint16_t> dashOffset) {
  Attribute(stream, XLAttr::LineDashStyle, lineDashStyle);
  OptionalAttribute(stream, XLAttr::DashOffset, dashOffset);
  XLWriteOperator(stream, XLOp::SetLineDash);
}

void XLSetLineDashSolid(XLStream* stream, uint8_t solidLine) {
  AttributeOperator(stream, XLOp::SetLineDash, XLAttr::SolidLine, solidLine);
}

void XLSetLineCap(XLStream* stream, uint8_t lineCapStyle) {
  AttributeOperator(stream, XLOp::SetLineCap, XLAttr::LineCapStyle, lineCapStyle);
}

void XLSetLineJoin(XLStream* stream, uint8_t lineJoinStyle) {
  AttributeOperator(stream, XLOp::SetLineJoin, XLAttr::LineJoinStyle, lineJoinStyle);
}

void XLSetMiterLimit(XLStream* stream, uint16_t miterLength) {
  AttributeOperator(stream, XLOp::SetMiterLimit, XLAttr::MiterLength, miterLength);
}

void XLSetMiterLimit(XLStream* stream, float miterLength) {
  AttributeOperator(stream, XLOp::SetMiterLimit, XLAttr::MiterLength, miterLength);
}

void XLSetPageDefaultCTM(XLStream* stream) { XLWriteOperator(stream, XLOp::SetPageDefaultCTM); }

void XLSetPageRotation(XLStream* stream, int16_t pageAngle) {
  AttributeOperator(stream, XLOp::SetPageRotation, XLAttr::PageAngle, pageAngle);
}

void XLSetPageRotation(XLStream* stream, float pageAngle) {
  AttributeOperator(stream, XLOp::SetPageRotation, XLAttr::PageAngle, pageAngle);
}

void XLSetPageScale(XLStream* stream, XLPair<float> pageScale) {
  AttributeOperator(stream, XLOp::SetPageScale, XLAttr::PageScale, pageScale);
}

void XLSetPaintTxMode(XLStream* stream, uint8_t txMode) {
  AttributeOperator(stream, XLOp::SetPaintTxMode, XLAttr::TxMode, txMode);
}

void XLSetSourceTxMode(XLStream* stream, uint8_t txMode) {
  AttributeOperator(stream, XLOp::SetSourceTxMode, XLAttr::TxMode, txMode);
}

void XLSetROP(XLStream* stream, uint8_t rop3) { AttributeOperator(stream, XLOp::SetROP, XLAttr::ROP3, rop3); }

void XLSetHalftoneMethodDevice(XLStream* stream, uint8_t deviceMatrix) {
  AttributeOperator(stream, XLOp::SetHalftoneMethod, XLAttr::DeviceMatrix, deviceMatrix);
}

void XLSetHalftoneMethodByObject(XLStream* stream, uint8_t textObjects, uint8_t vectorObjects, uint8_t rasterObjects,
                                 std::optional<XLPair<uint16_t>> ditherOrigin) {
  Attribute(stream, XLAttr::TextObjects, textObjects);
  Attribute(stream, XLAttr::VectorObjects, vectorObjects);
  Attribute(stream, XLAttr::RasterObjects, rasterObjects);
  OptionalAttribute(stream, XLAttr::DitherOrigin, ditherOrigin);
  XLWriteOperator(stream, XLOp::SetHalftoneMethod);
}

void XLSetHalftoneMethodMatrix(XLStream* stream, XLPair<uint16_t> ditherMatrixSize, uint8_t ditherMatrixDepth,
                               uint8_t ditherMatrixDataType, std::optional<XLPair<uint16_t>> ditherOrigin) {
  Attribute(stream, XLAttr::DitherMatrixSize, ditherMatrixSize);
  Attribute(stream, XLAttr::DitherMatrixDepth, ditherMatrixDepth);
  Attribute(stream, XLAttr::DitherMatrixDataType, ditherMatrixDataType);
  OptionalAttribute(stream, XLAttr::DitherOrigin, ditherOrigin);
  XLWriteOperator(stream, XLOp::SetHalftoneMethod);
}

void XLSetColorTreatment(XLStream* stream, uint8_t colorTreatment) {
  AttributeOperator(stream, XLOp::SetColorTreatment, XLAttr::ColorTreatment, colorTreatment);
}

void XLSetColorTreatmentByObject(XLStream* stream, uint8_t textObjects, uint8_t vectorObjects, uint8_t rasterObjects) {
  ObjectTypesOperator(stream, XLOp::SetColorTreatment, textObjects, vectorObjects, rasterObjects);
}

void XLSetNeutralAxis(XLStream* stream, uint8_t textObjects, uint8_t vectorObjects, uint8_t rasterObjects) {
  ObjectTypesOperator(stream, XLOp::SetNeutralAxis, textObjects, vectorObjects, rasterObjects);
}

void XLSetNeutralAxis(XLStream* stream, XLObjectType objectType, uint8_t value) {
  ObjectTypeOperator(stream, XLOp::SetNeutralAxis, objectType, value);
}

void XLSetAdaptiveHalftoning(XLStream* stream, uint8_t textObjects, uint8_t vectorObjects, uint8_t rasterObjects) {
  ObjectTypesOperator(stream, XLOp::SetAdaptiveHalftoning, textObjects, vectorObjects, rasterObjects);
}

void XLSetAdaptiveHalftoning(XLStream* stream, XLObjectType objectType, uint8_t value) {
  ObjectTypeOperator(stream, XLOp::SetAdaptiveHalftoning, objectType, value);
}

void XLSetColorTrapping(XLStream* stream, uint8_t allObjectTypes) {
  AttributeOperator(stream, XLOp::SetColorTrapping, XLAttr::AllObjectTypes, allObjectTypes);
}
