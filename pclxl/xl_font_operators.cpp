#include "pclxl/xl_font_operators.h"

#include "pclxl/xl_attribute_writers.h"

using xl_detail::ArrayAttributeIfAny;
using xl_detail::Attribute;
using xl_detail::AttributeOperator;

namespace {

template <class Code>
void TextOperator(XLStream* stream, XLOp op, std::span<const Code> textData, std::span<const int16_t> xSpacingData,
                  std::span<const int16_t> ySpacingData) {
  Attribute(stream, XLAttr::TextData, textData);
  ArrayAttributeIfAny(stream, XLAttr::XSpacingData, xSpacingData);
  ArrayAttributeIfAny(stream, XLAttr::YSpacingData, ySpacingData);
  XLWriteOperator(stream, op);
}

}  // namespace

void XLBeginFontHeader(XLStream* stream, std::span<const uint8_t> fontName, uint8_t fontFormat) {
  Attribute(stream, XLAttr::FontName, fontName);
  Attribute(stream, XLAttr::FontFormat, fontFormat);
  XLWriteOperator(stream, XLOp::BeginFontHeader);
}

void XLReadFontHeader(XLStream* stream, uint16_t fontHeaderLength) {
  AttributeOperator(stream, XLOp::ReadFontHeader, XLAttr::FontHeaderLength, fontHeaderLength);
}

void XLEndFontHeader(XLStream* stream) { XLWriteOperator(stream, XLOp::EndFontHeader); }

void XLBeginChar(XLStream* stream, std::span<const uint8_t> fontName) {
  AttributeOperator(stream, XLOp::BeginChar, XLAttr::FontName, fontName);
}

void XLReadChar(XLStream* stream, uint16_t charCode, uint32_t charDataSize) {
  Attribute(stream, XLAttr::CharCode, charCode);
  Attribute(stream, XLAttr::CharDataSize, charDataSize);
  XLWriteOperator(stream, XLOp::ReadChar);
}

void XLEndChar(XLStream* stream) { XLWriteOperator(stream, XLOp::EndChar); }

void XLRemoveFont(XLStream* stream, std::span<const uint8_t> fontName) {
  AttributeOperator(stream, XLOp::RemoveFont, XLAttr::FontName, fontName);
}

void XLSetFont(XLStream* stream, std::span<const uint8_t> fontName, float charSize, uint16_t symbolSet) {
  Attribute(stream, XLAttr::FontName, fontName);
  Attribute(stream, XLAttr::CharSize, charSize);
  Attribute(stream, XLAttr::SymbolSet, symbolSet);
  XLWriteOperator(stream, XLOp::SetFont);
}

void XLSetFontPCLSelect(XLStream* stream, std::span<const uint8_t> pclSelectFont) {
  AttributeOperator(stream, XLOp::SetFont, XLAttr::PCLSelectFont, pclSelectFont);
}

void XLSetCharAttributes(XLStream* stream, uint8_t writingMode) {
  AttributeOperator(stream, XLOp::SetCharAttributes, XLAttr::WritingMode, writingMode);
}

void XLSetCharAngle(XLStream* stream, int16_t charAngle) {
  AttributeOperator(stream, XLOp::SetCharAngle, XLAttr::CharAngle, charAngle);
}

void XLSetCharAngle(XLStream* stream, float charAngle) {
  AttributeOperator(stream, XLOp::SetCharAngle, XLAttr::CharAngle, charAngle);
}

void XLSetCharScale(XLStream* stream, XLPair<float> charScale) {
  AttributeOperator(stream, XLOp::SetCharScale, XLAttr::CharScale, charScale);
}

void XLSetCharShear(XLStream* stream, XLPair<int16_t> charShear) {
  AttributeOperator(stream, XLOp::SetCharShear, XLAttr::CharShear, charShear);
}

void XLSetCharShear(XLStream* stream, XLPair<float> charShear) {
  AttributeOperator(stream, XLOp::SetCharShear, XLAttr::CharShear, charShear);
}

void XLSetCharBoldValue(XLStream* stream, float charBoldValue) {
  AttributeOperator(stream, XLOp::SetCharBoldValue, XLAttr::CharBoldValue, charBoldValue);
}

void XLSetCharSubMode(XLStream* stream, std::span<const uint8_t> charSubModeArray) {
  AttributeOperator(stream, XLOp::SetCharSubMode, XLAttr::CharSubModeArray, charSubModeArray);
}

void XLText(XLStream* stream, std::span<const uint8_t> textData, std::span<const int16_t> xSpacingData,
            std::span<const int16_t> ySpacingData) {
  TextOperator(stream, XLOp::Text, textData, xSpacingData, ySpacingData);
}

void XLText(XLStream* stream, std::span<const uint16_t> textData, std::span<const int16_t> xSpacingData,
            std::span<const int16_t> ySpacingData) {
  TextOperator(stream, XLOp::Text, textData, xSpacingData, ySpacingData);
}

void XLTextPath(XLStream* stream, std::span<const uint8_t> textData, std::span<const int16_t> xSpacingData,
                std::span<const int16_t> ySpacingData) {
  TextOperator(stream, XLOp::TextPath, textData, xSpacingData, ySpacingData);
}

void XLTextPath(XLStream* stream, std::span<const uint16_t> textData, std::span<const int16_t> xSpacingData,
                std::span<const int16_t> ySpacingData) {
  TextOperator(stream, XLOp::TextPath, textData, xSpacingData, ySpacingData);
}
