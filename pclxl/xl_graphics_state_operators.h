#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "pclxl/xl_values.h"

// Operators of the graphics state: colour spaces, brushes and pens, clips,
// lines, page transforms, raster operations and the colour-treatment
// operators. Each function writes its attributes (value, then identifier) in
// the order shown and then the operator; an attribute passed as an empty
// optional is left out. The type of a value chooses the tag it is written
// with (uint8_t ubyte, uint16_t uint16, int16_t sint16, float real32).

void XLPopGS(XLStream* stream);
void XLPushGS(XLStream* stream);

void XLSetColorSpace(XLStream* stream, uint8_t colorSpace);
// ColorSpace, PaletteDepth, PaletteData.
void XLSetColorSpaceWithPalette(XLStream* stream, uint8_t colorSpace, uint8_t paletteDepth,
                                std::span<const uint8_t> paletteData);
// ColorSpace, ColorimetricColorSpace, XYChromaticities, WhiteReferencePoint,
// CRGBMinMax, GammaGain.
void XLSetColorSpaceColorimetric(XLStream* stream, uint8_t colorSpace, uint8_t colorimetricColorSpace,
                                 std::span<const float> xyChromaticities, std::span<const float> whiteReferencePoint,
                                 std::span<const float> crgbMinMax, std::span<const float> gammaGain);
// ColorSpace, then the attributes 0x16 to 0x1B in order, each a real32 array.
void XLSetColorSpaceColorimetricExtended(XLStream* stream, uint8_t colorSpace,
                                         const std::array<std::span<const float>, 6>& values);

// Brush sources: GrayLevel; NullBrush; PatternSelectID (with
// NewDestinationSize when given); RGBColor; PrimaryDepth with PrimaryArray.
void XLSetBrushSourceGrayLevel(XLStream* stream, uint8_t grayLevel);
void XLSetBrushSourceGrayLevel(XLStream* stream, float grayLevel);
void XLSetBrushSourceNull(XLStream* stream, uint8_t nullBrush);
void XLSetBrushSourcePattern(XLStream* stream, int16_t patternSelectId,
                             std::optional<XLPair<uint16_t>> newDestinationSize = std::nullopt);
void XLSetBrushSourceRGB(XLStream* stream, std::span<const uint8_t> rgbColor);
void XLSetBrushSourceRGB(XLStream* stream, std::span<const float> rgbColor);
void XLSetBrushSourcePrimary(XLStream* stream, uint8_t primaryDepth, std::span<const uint8_t> primaryArray);

// Pen sources: the same sets with NullPen in place of NullBrush.
void XLSetPenSourceGrayLevel(XLStream* stream, uint8_t grayLevel);
void XLSetPenSourceGrayLevel(XLStream* stream, float grayLevel);
void XLSetPenSourceNull(XLStream* stream, uint8_t nullPen);
void XLSetPenSourcePattern(XLStream* stream, int16_t patternSelectId,
                           std::optional<XLPair<uint16_t>> newDestinationSize = std::nullopt);
void XLSetPenSourceRGB(XLStream* stream, std::span<const uint8_t> rgbColor);
void XLSetPenSourceRGB(XLStream* stream, std::span<const float> rgbColor);
void XLSetPenSourcePrimary(XLStream* stream, uint8_t primaryDepth, std::span<const uint8_t> primaryArray);
void XLSetPenWidth(XLStream* stream, uint16_t penWidth);
void XLSetPenWidth(XLStream* stream, float penWidth);

void XLSetClipReplace(XLStream* stream, uint8_t clipRegion);
void XLSetClipIntersect(XLStream* stream, uint8_t clipRegion);
void XLSetClipToPage(XLStream* stream);
void XLSetClipMode(XLStream* stream, uint8_t clipMode);
void XLSetPathToClip(XLStream* stream);

void XLSetFillMode(XLStream* stream, uint8_t fillMode);
// LineDashStyle, then DashOffset when given.
void XLSetLineDash(XLStream* stream, std::span<const uint16_t> lineDashStyle,
                   std::optional<uint16_t> dashOffset = std::nullopt);
void XLSetLineDashSolid(XLStream* stream, uint8_t solidLine);
void XLSetLineCap(XLStream* stream, uint8_t lineCapStyle);
void XLSetLineJoin(XLStream* stream, uint8_t lineJoinStyle);
void XLSetMiterLimit(XLStream* stream, uint16_t miterLength);
void XLSetMiterLimit(XLStream* stream, float miterLength);

void XLSetPageDefaultCTM(XLStream* stream);
void XLSetPageRotation(XLStream* stream, int16_t pageAngle);
void XLSetPageRotation(XLStream* stream, float pageAngle);
void XLSetPageScale(XLStream* stream, XLPair<float> pageScale);

void XLSetPaintTxMode(XLStream* stream, uint8_t txMode);
void XLSetSourceTxMode(XLStream* stream, uint8_t txMode);
void XLSetROP(XLStream* stream, uint8_t rop3);

// DeviceMatrix alone.
void XLSetHalftoneMethodDevice(XLStream* stream, uint8_t deviceMatrix);
// TextObjects, VectorObjects, RasterObjects, then DitherOrigin when given.
void XLSetHalftoneMethodByObject(XLStream* stream, uint8_t textObjects, uint8_t vectorObjects, uint8_t rasterObjects,
                                 std::optional<XLPair<uint16_t>> ditherOrigin = std::nullopt);
// DitherMatrixSize, DitherMatrixDepth, DitherMatrixDataType, then
// DitherOrigin when given. The matrix follows as embedded data, written by
// the caller.
void XLSetHalftoneMethodMatrix(XLStream* stream, XLPair<uint16_t> ditherMatrixSize, uint8_t ditherMatrixDepth,
                               uint8_t ditherMatrixDataType,
                               std::optional<XLPair<uint16_t>> ditherOrigin = std::nullopt);

void XLSetColorTreatment(XLStream* stream, uint8_t colorTreatment);
// TextObjects, VectorObjects, RasterObjects.
void XLSetColorTreatmentByObject(XLStream* stream, uint8_t textObjects, uint8_t vectorObjects, uint8_t rasterObjects);
void XLSetNeutralAxis(XLStream* stream, uint8_t textObjects, uint8_t vectorObjects, uint8_t rasterObjects);
void XLSetNeutralAxis(XLStream* stream, XLObjectType objectType, uint8_t value);
void XLSetAdaptiveHalftoning(XLStream* stream, uint8_t textObjects, uint8_t vectorObjects, uint8_t rasterObjects);
void XLSetAdaptiveHalftoning(XLStream* stream, XLObjectType objectType, uint8_t value);
void XLSetColorTrapping(XLStream* stream, uint8_t allObjectTypes);
