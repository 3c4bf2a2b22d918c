#pragma once

#include <cstdint>
#include <span>

#include "pclxl/xl_values.h"

// Operators of font download, font selection and text. Each function writes
// its attributes (value, then identifier) in the order shown and then the
// operator; data that follows the operator (font header pieces, glyph data)
// is written by the caller with the embedded-data writers.

void XLBeginFontHeader(XLStream* stream, std::span<const uint8_t> fontName, uint8_t fontFormat);
void XLReadFontHeader(XLStream* stream, uint16_t fontHeaderLength);
void XLEndFontHeader(XLStream* stream);
void XLBeginChar(XLStream* stream, std::span<const uint8_t> fontName);
void XLReadChar(XLStream* stream, uint16_t charCode, uint32_t charDataSize);
void XLEndChar(XLStream* stream);
void XLRemoveFont(XLStream* stream, std::span<const uint8_t> fontName);

// FontName, CharSize, SymbolSet.
void XLSetFont(XLStream* stream, std::span<const uint8_t> fontName, float charSize, uint16_t symbolSet);
// PCLSelectFont alone.
void XLSetFontPCLSelect(XLStream* stream, std::span<const uint8_t> pclSelectFont);

void XLSetCharAttributes(XLStream* stream, uint8_t writingMode);
void XLSetCharAngle(XLStream* stream, int16_t charAngle);
void XLSetCharAngle(XLStream* stream, float charAngle);
void XLSetCharScale(XLStream* stream, XLPair<float> charScale);
void XLSetCharShear(XLStream* stream, XLPair<int16_t> charShear);
void XLSetCharShear(XLStream* stream, XLPair<float> charShear);
void XLSetCharBoldValue(XLStream* stream, float charBoldValue);
void XLSetCharSubMode(XLStream* stream, std::span<const uint8_t> charSubModeArray);

// TextData, then XSpacingData and YSpacingData when not empty.
void XLText(XLStream* stream, std::span<const uint8_t> textData, std::span<const int16_t> xSpacingData = {},
            std::span<const int16_t> ySpacingData = {});
void XLText(XLStream* stream, std::span<const uint16_t> textData, std::span<const int16_t> xSpacingData = {},
            std::span<const int16_t> ySpacingData = {});
void XLTextPath(XLStream* stream, std::span<const uint8_t> textData, std::span<const int16_t> xSpacingData = {},
                std::span<const int16_t> ySpacingData = {});
void XLTextPath(XLStream* stream, std::span<const uint16_t> textData, std::span<const int16_t> xSpacingData = {},
                std::span<const int16_t> ySpacingData = {});
