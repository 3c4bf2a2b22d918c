#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "pclxl/xl_values.h"

// Operators of images, raster patterns and scan-line fills. Each function
// writes its attributes (value, then identifier) in the order shown and then
// the operator; image and pattern rows follow as embedded data, written by
// the caller. Sizes and line numbers come as uint16 or uint32.

// ColorMapping, ColorDepth, SourceWidth, SourceHeight, DestinationSize.
void XLBeginImage(XLStream* stream, uint8_t colorMapping, uint8_t colorDepth, uint16_t sourceWidth,
                  uint16_t sourceHeight, XLPair<uint16_t> destinationSize);
void XLBeginImage(XLStream* stream, uint8_t colorMapping, uint8_t colorDepth, uint32_t sourceWidth,
                  uint32_t sourceHeight, XLPair<uint16_t> destinationSize);
// StartLine, BlockHeight, CompressMode, then PadBytesMultiple when given.
void XLReadImage(XLStream* stream, uint16_t startLine, uint16_t blockHeight, uint8_t compressMode,
                 std::optional<uint8_t> padBytesMultiple = std::nullopt);
void XLReadImage(XLStream* stream, uint32_t startLine, uint32_t blockHeight, uint8_t compressMode,
                 std::optional<uint8_t> padBytesMultiple = std::nullopt);
void XLEndImage(XLStream* stream);

// As BeginImage, then PatternDefineID and PatternPersistence.
void XLBeginRastPattern(XLStream* stream, uint8_t colorMapping, uint8_t colorDepth, uint16_t sourceWidth,
                        uint16_t sourceHeight, XLPair<uint16_t> destinationSize, int16_t patternDefineId,
                        uint8_t patternPersistence);
void XLBeginRastPattern(XLStream* stream, uint8_t colorMapping, uint8_t colorDepth, uint32_t sourceWidth,
                        uint32_t sourceHeight, XLPair<uint16_t> destinationSize, int16_t patternDefineId,
                        uint8_t patternPersistence);
// StartLine, BlockHeight, CompressMode.
void XLReadRastPattern(XLStream* stream, uint16_t startLine, uint16_t blockHeight, uint8_t compressMode);
void XLReadRastPattern(XLStream* stream, uint32_t startLine, uint32_t blockHeight, uint8_t compressMode);
void XLEndRastPattern(XLStream* stream);

void XLBeginScan(XLStream* stream);
void XLEndScan(XLStream* stream);

// One scan line: the operator, then embedded data holding the start x and y
// (sint16), the number of x pairs and the pairs as uint16 values. More than
// 65,535 pairs set kXLValueOutOfRange.
void XLScanLineRel(XLStream* stream, int16_t x, int16_t y, std::span<const XLPair<uint16_t>> xPairs);
// The same line with the pairs sent as single bytes when every value is at
// most 255.
void XLScanLineRelCompact(XLStream* stream, int16_t x, int16_t y, std::span<const XLPair<uint16_t>> xPairs);
// BeginScan, the compact line, EndScan.
void XLScanSingleLine(XLStream* stream, int16_t x, int16_t y, std::span<const XLPair<uint16_t>> xPairs);
