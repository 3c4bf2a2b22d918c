#include "pclxl/xl_image_operators.h"

#include <algorithm>

#include "pclxl/xl_attribute_writers.h"

using xl_detail::Attribute;
using xl_detail::OptionalAttribute;

namespace {

// Data types named inside scan-line data, as PCL XL numbers them.
constexpr uint8_t kUByteData = 0;
constexpr uint8_t kUInt16Data = 2;
constexpr uint8_t kSInt16Data = 3;

template <class Size>
void ImageAttributes(XLStream* stream, uint8_t colorMapping, uint8_t colorDepth, Size sourceWidth, Size sourceHeight,
                     XLPair<uint16_t> destinationSize) {
  Attribute(stream, XLAttr::ColorMapping, colorMapping);
  Attribute(stream, XLAttr::ColorDepth, colorDepth);
  Attribute(stream, XLAttr::SourceWidth, sourceWidth);
  Attribute(stream, XLAttr::SourceHeight, sourceHeight);
  Attribute(stream, XLAttr::DestinationSize, destinationSize);
}

template <class Size>
void BlockAttributes(XLStream* stream, Size startLine, Size blockHeight, uint8_t compressMode) {
  Attribute(stream, XLAttr::StartLine, startLine);
  Attribute(stream, XLAttr::BlockHeight, blockHeight);
  Attribute(stream, XLAttr::CompressMode, compressMode);
}

template <class Size>
void ReadImage(XLStream* stream, Size startLine, Size blockHeight, uint8_t compressMode,
               std::optional<uint8_t> padBytesMultiple) {
  BlockAttributes(stream, startLine, blockHeight, compressMode);
  OptionalAttribute(stream, XLAttr::PadBytesMultiple, padBytesMultiple);
  XLWriteOperator(stream, XLOp::ReadImage);
}

template <class Size>
void BeginRastPattern(XLStream* stream, uint8_t colorMapping, uint8_t colorDepth, Size sourceWidth, Size sourceHeight,
                      XLPair<uint16_t> destinationSize, int16_t patternDefineId, uint8_t patternPersistence) {
  ImageAttributes(stream, colorMapping, colorDepth, sourceWidth, sourceHeight, destinationSize);
  Attribute(stream, XLAttr::PatternDefineID, patternDefineId);
  Attribute(stream, XLAttr::PatternPersistence, patternPersistence);
  XLWriteOperator(stream, XLOp::BeginRastPattern);
}

void ScanLine(XLStream* stream, int16_t x, int16_t y, std::span<const XLPair<uint16_t>> xPairs, bool bytePairs) {
  if (!xl_detail::CheckLength(stream, xPairs.size(), UINT16_MAX)) return;
  XLWriteOperator(stream, XLOp::ScanLineRel);
  XLWriteEmbeddedLength(stream, 8 + xPairs.size() * (bytePairs ? 2 : 4));
  XLWriteRawByte(stream, kSInt16Data);
  XLWriteRawUInt16(stream, static_cast<uint16_t>(x));
  XLWriteRawUInt16(stream, static_cast<uint16_t>(y));
  XLWriteRawUInt16(stream, static_cast<uint16_t>(xPairs.size()));
  XLWriteRawByte(stream, bytePairs ? kUByteData : kUInt16Data);
  for (const XLPair<uint16_t>& pair : xPairs) {
    if (bytePairs) {
      XLWriteRawByte(stream, static_cast<uint8_t>(pair.x));
      XLWriteRawByte(stream, static_cast<uint8_t>(pair.y));
    } else {
      XLWriteRawUInt16(stream, pair.x);
      XLWriteRawUInt16(stream, pair.y);
    }
  }
}

}  // namespace

void XLBeginImage(XLStream* stream, uint8_t colorMapping, uint8_t colorDepth, uint16_t sourceWidth,
                  uint16_t sourceHeight, XLPair<uint16_t> destinationSize) {
  ImageAttributes(stream, colorMapping, colorDepth, sourceWidth, sourceHeight, destinationSize);
  XLWriteOperator(stream, XLOp::BeginImage);
}

void XLBeginImage(XLStream* stream, uint8_t colorMapping, uint8_t colorDepth, uint32_t sourceWidth,
                  uint32_t sourceHeight, XLPair<uint16_t> destinationSize) {
  ImageAttributes(stream, colorMapping, colorDepth, sourceWidth, sourceHeight, destinationSize);
  XLWriteOperator(stream, XLOp::BeginImage);
}

void XLReadImage(XLStream* stream, uint16_t startLine, uint16_t blockHeight, uint8_t compressMode,
                 std::optional<uint8_t> padBytesMultiple) {
  ReadImage(stream, startLine, blockHeight, compressMode, padBytesMultiple);
}

void XLReadImage(XLStream* stream, uint32_t startLine, uint32_t blockHeight, uint8_t compressMode,
                 std::optional<uint8_t> padBytesMultiple) {
  ReadImage(stream, startLine, blockHeight, compressMode, padBytesMultiple);
}

void XLEndImage(XLStream* stream) { XLWriteOperator(stream, XLOp::EndImage); }

void XLBeginRastPattern(XLStream* stream, uint8_t colorMapping, uint8_t colorDepth, uint16_t sourceWidth,
                        uint16_t sourceHeight, XLPair<uint16_t> destinationSize, int16_t patternDefineId,
                        uint8_t patternPersistence) {
  BeginRastPattern(stream, colorMapping, colorDepth, sourceWidth, sourceHeight, destinationSize, patternDefineId,
                   patternPersistence);
}

void XLBeginRastPattern(XLStream* stream, uint8_t colorMapping, uint8_t colorDepth, uint32_t sourceWidth,
                        uint32_t sourceHeight, XLPair<uint16_t> destinationSize, int16_t patternDefineId,
                        uint8_t patternPersistence) {
  BeginRastPattern(stream, colorMapping, colorDepth, sourceWidth, sourceHeight, destinationSize, patternDefineId,
                   patternPersistence);
}

void XLReadRastPattern(XLStream* stream, uint16_t startLine, uint16_t blockHeight, uint8_t compressMode) {
  BlockAttributes(stream, startLine, blockHeight, compressMode);
  XLWriteOperator(stream, XLOp::ReadRastPattern);
}

void XLReadRastPattern(XLStream* stream, uint32_t startLine, uint32_t blockHeight, uint8_t compressMode) {
  BlockAttributes(stream, startLine, blockHeight, compressMode);
  XLWriteOperator(stream, XLOp::ReadRastPattern);
}

void XLEndRastPattern(XLStream* stream) { XLWriteOperator(stream, XLOp::EndRastPattern); }

void XLBeginScan(XLStream* stream) { XLWriteOperator(stream, XLOp::BeginScan); }
void XLEndScan(XLStream* stream) { XLWriteOperator(stream, XLOp::EndScan); }

void XLScanLineRel(XLStream* stream, int16_t x, int16_t y, std::span<const XLPair<uint16_t>> xPairs) {
  ScanLine(stream, x, y, xPairs, false);
}

void XLScanLineRelCompact(XLStream* stream, int16_t x, int16_t y, std::span<const XLPair<uint16_t>> xPairs) {
  const bool bytePairs = std::all_of(xPairs.begin(), xPairs.end(),
                                     [](const XLPair<uint16_t>& pair) { return pair.x <= 255 && pair.y <= 255; });
  ScanLine(stream, x, y, xPairs, bytePairs);
}

void XLScanSingleLine(XLStream* stream, int16_t x, int16_t y, std::span<const XLPair<uint16_t>> xPairs) {
  XLBeginScan(stream);
  XLScanLineRelCompact(stream, x, y, xPairs);
  XLEndScan(stream);
}
