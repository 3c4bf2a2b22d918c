#include "pclxl/xl_values.h"

#include <bit>
#include <initializer_list>
#include <limits>

#include "pclxl/xl_attribute_writers.h"

namespace {

struct NumberRange {
  int32_t first;
  int32_t last;
};

// The attribute identifiers and operator tags that printers of the protocol
// classes this library serves understand.
constexpr NumberRange kAttributeRanges[] = {
    {1, 45},    {47, 54},   {65, 84},   {97, 105},  {107, 115}, {120, 120},
    {129, 130}, {134, 134}, {136, 141}, {143, 143}, {145, 173}, {175, 177},
};
constexpr NumberRange kOperatorRanges[] = {
    {0x41, 0x44}, {0x46, 0x4C}, {0x4F, 0x56}, {0x58, 0x58}, {0x5B, 0x82}, {0x84, 0x86}, {0x91, 0x99},
    {0x9B, 0x9B}, {0x9D, 0xA3}, {0xA8, 0xAA}, {0xB0, 0xB6}, {0xB8, 0xB9}, {0xBF, 0xBF},
};

template <size_t N>
bool InRanges(const NumberRange (&ranges)[N], int32_t number) {
  for (const NumberRange& range : ranges) {
    if (number >= range.first && number <= range.last) return true;
  }
  return false;
}

bool Healthy(const XLStream* stream) { return stream->error == kXLNoError; }

// Position of a value type inside each family of tags.
template <class T>
constexpr uint8_t kTypeIndex = 0;
template <>
constexpr uint8_t kTypeIndex<uint16_t> = 1;
template <>
constexpr uint8_t kTypeIndex<uint32_t> = 2;
template <>
constexpr uint8_t kTypeIndex<int16_t> = 3;
template <>
constexpr uint8_t kTypeIndex<int32_t> = 4;
template <>
constexpr uint8_t kTypeIndex<float> = 5;

constexpr uint8_t kArrayTag = static_cast<uint8_t>(XLTag::UByteArray);

template <class T>
void PutValue(XLStream* stream, T value) {
  if constexpr (sizeof(T) == 1) {
    XLWriteRawByte(stream, static_cast<uint8_t>(value));
  } else if constexpr (sizeof(T) == 2) {
    XLWriteRawUInt16(stream, static_cast<uint16_t>(value));
  } else {
    XLWriteRawUInt32(stream, std::bit_cast<uint32_t>(value));
  }
}

template <class T>
void WriteTagged(XLStream* stream, XLTag family, std::initializer_list<T> values) {
  XLWriteRawByte(stream, static_cast<uint8_t>(static_cast<uint8_t>(family) + kTypeIndex<T>));
  for (T value : values) PutValue(stream, value);
}

// Writes the array tag and the tagged uint16 count, or stops the stream when
// the count does not fit.
bool PutArrayHeader(XLStream* stream, uint8_t tag, size_t count) {
  if (!xl_detail::CheckLength(stream, count, std::numeric_limits<uint16_t>::max())) return false;
  XLWriteRawByte(stream, tag);
  XLWriteRawByte(stream, static_cast<uint8_t>(XLTag::UInt16));
  XLWriteRawUInt16(stream, static_cast<uint16_t>(count));
  return true;
}

template <class T>
void WriteArray(XLStream* stream, std::span<const T> values) {
  if (!PutArrayHeader(stream, static_cast<uint8_t>(kArrayTag + kTypeIndex<T>), values.size())) return;
  if constexpr (sizeof(T) == 1) {
    XLWriteRawBytes(stream, values);
  } else {
    for (T value : values) PutValue(stream, value);
  }
}

}  // namespace

bool xl_detail::CheckLength(XLStream* stream, size_t length, uint64_t limit) {
  if (!Healthy(stream)) return false;
  if (static_cast<uint64_t>(length) <= limit) return true;
  XLSetError(stream, kXLValueOutOfRange);
  return false;
}

void XLWriteUByte(XLStream* stream, uint8_t value) { WriteTagged(stream, XLTag::UByte, {value}); }
void XLWriteUInt16(XLStream* stream, uint16_t value) { WriteTagged(stream, XLTag::UByte, {value}); }
void XLWriteUInt32(XLStream* stream, uint32_t value) { WriteTagged(stream, XLTag::UByte, {value}); }
void XLWriteSInt16(XLStream* stream, int16_t value) { WriteTagged(stream, XLTag::UByte, {value}); }
void XLWriteSInt32(XLStream* stream, int32_t value) { WriteTagged(stream, XLTag::UByte, {value}); }
void XLWriteReal32(XLStream* stream, float value) { WriteTagged(stream, XLTag::UByte, {value}); }

void XLWriteXY(XLStream* stream, XLPair<uint8_t> v) { WriteTagged(stream, XLTag::UByteXY, {v.x, v.y}); }
void XLWriteXY(XLStream* stream, XLPair<uint16_t> v) { WriteTagged(stream, XLTag::UByteXY, {v.x, v.y}); }
void XLWriteXY(XLStream* stream, XLPair<uint32_t> v) { WriteTagged(stream, XLTag::UByteXY, {v.x, v.y}); }
void XLWriteXY(XLStream* stream, XLPair<int16_t> v) { WriteTagged(stream, XLTag::UByteXY, {v.x, v.y}); }
void XLWriteXY(XLStream* stream, XLPair<int32_t> v) { WriteTagged(stream, XLTag::UByteXY, {v.x, v.y}); }
void XLWriteXY(XLStream* stream, XLPair<float> v) { WriteTagged(stream, XLTag::UByteXY, {v.x, v.y}); }

void XLWriteBox(XLStream* stream, XLBox<uint8_t> v) { WriteTagged(stream, XLTag::UByteBox, {v.x1, v.y1, v.x2, v.y2}); }
void XLWriteBox(XLStream* stream, XLBox<uint16_t> v) { WriteTagged(stream, XLTag::UByteBox, {v.x1, v.y1, v.x2, v.y2}); }
void XLWriteBox(XLStream* stream, XLBox<uint32_t> v) { WriteTagged(stream, XLTag::UByteBox, {v.x1, v.y1, v.x2, v.y2}); }
void XLWriteBox(XLStream* stream, XLBox<int16_t> v) { WriteTagged(stream, XLTag::UByteBox, {v.x1, v.y1, v.x2, v.y2}); }
void XLWriteBox(XLStream* stream, XLBox<int32_t> v) { WriteTagged(stream, XLTag::UByteBox, {v.x1, v.y1, v.x2, v.y2}); }
void XLWriteBox(XLStream* stream, XLBox<float> v) { WriteTagged(stream, XLTag::UByteBox, {v.x1, v.y1, v.x2, v.y2}); }

void XLWriteUByteArray(XLStream* stream, std::span<const uint8_t> values) { WriteArray(stream, values); }

void XLWriteUByteArrayFromLowBytes(XLStream* stream, std::span<const uint16_t> values) {
  if (PutArrayHeader(stream, kArrayTag, values.size())) XLWriteRawLowBytes(stream, values);
}

void XLWriteUInt16Array(XLStream* stream, std::span<const uint16_t> values) { WriteArray(stream, values); }
void XLWriteUInt32Array(XLStream* stream, std::span<const uint32_t> values) { WriteArray(stream, values); }
void XLWriteSInt16Array(XLStream* stream, std::span<const int16_t> values) { WriteArray(stream, values); }
void XLWriteSInt32Array(XLStream* stream, std::span<const int32_t> values) { WriteArray(stream, values); }
void XLWriteReal32Array(XLStream* stream, std::span<const float> values) { WriteArray(stream, values); }

void XLWriteAttribute(XLStream* stream, int32_t number) {
  if (!Healthy(stream)) return;
  if (!InRanges(kAttributeRanges, number)) {
    XLSetError(stream, kXLAttributeUndefined);
    return;
  }
  XLWriteRawByte(stream, static_cast<uint8_t>(XLTag::AttributeUByte));
  XLWriteRawByte(stream, static_cast<uint8_t>(number));
}

void XLWriteOperator(XLStream* stream, int32_t number) {
  if (!Healthy(stream)) return;
  if (!InRanges(kOperatorRanges, number)) {
    XLSetError(stream, kXLOperatorUndefined);
    return;
  }
  XLWriteRawByte(stream, static_cast<uint8_t>(number));
}

void XLWriteEmbeddedLength(XLStream* stream, size_t length) {
  if (length >= 256) {
    XLWriteEmbeddedLengthLong(stream, length);
    return;
  }
  XLWriteRawByte(stream, static_cast<uint8_t>(XLTag::EmbeddedDataShort));
  XLWriteRawByte(stream, static_cast<uint8_t>(length));
}

void XLWriteEmbeddedLengthLong(XLStream* stream, size_t length) {
  if (!xl_detail::CheckLength(stream, length, std::numeric_limits<uint32_t>::max())) return;
  XLWriteRawByte(stream, static_cast<uint8_t>(XLTag::EmbeddedDataLong));
  XLWriteRawUInt32(stream, static_cast<uint32_t>(length));
}

void XLWriteEmbeddedData(XLStream* stream, std::span<const uint8_t> data) {
  XLWriteEmbeddedLengthLong(stream, data.size());
  XLWriteRawBytes(stream, data);
}
