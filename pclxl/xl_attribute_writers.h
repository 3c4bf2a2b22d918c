#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "pclxl/xl_values.h"

// Shorthands that the operator functions share: an attribute is its value
// followed by its identifier.
namespace xl_detail {

inline void Write(XLStream* stream, uint8_t value) { XLWriteUByte(stream, value); }
inline void Write(XLStream* stream, uint16_t value) { XLWriteUInt16(stream, value); }
inline void Write(XLStream* stream, uint32_t value) { XLWriteUInt32(stream, value); }
inline void Write(XLStream* stream, int16_t value) { XLWriteSInt16(stream, value); }
inline void Write(XLStream* stream, float value) { XLWriteReal32(stream, value); }
template <class T>
void Write(XLStream* stream, XLPair<T> value) {
  XLWriteXY(stream, value);
}
template <class T>
void Write(XLStream* stream, XLBox<T> value) {
  XLWriteBox(stream, value);
}
inline void Write(XLStream* stream, std::span<const uint8_t> values) { XLWriteUByteArray(stream, values); }
inline void Write(XLStream* stream, std::span<const uint16_t> values) { XLWriteUInt16Array(stream, values); }
inline void Write(XLStream* stream, std::span<const int16_t> values) { XLWriteSInt16Array(stream, values); }
inline void Write(XLStream* stream, std::span<const float> values) { XLWriteReal32Array(stream, values); }

template <class T>
void Attribute(XLStream* stream, XLAttr id, T value) {
  Write(stream, value);
  XLWriteAttribute(stream, id);
}

template <class T>
void OptionalAttribute(XLStream* stream, XLAttr id, const std::optional<T>& value) {
  if (value) Attribute(stream, id, *value);
}

// One attribute followed by the operator.
template <class T>
void AttributeOperator(XLStream* stream, XLOp op, XLAttr id, T value) {
  Attribute(stream, id, value);
  XLWriteOperator(stream, op);
}

// An empty array stands for an attribute that is left out.
template <class T>
void ArrayAttributeIfAny(XLStream* stream, XLAttr id, std::span<const T> values) {
  if (!values.empty()) Attribute(stream, id, values);
}

// True when the stream is healthy and length is at most limit; a longer
// length sets kXLValueOutOfRange, so that nothing of the item is written.
bool CheckLength(XLStream* stream, size_t length, uint64_t limit);

}  // namespace xl_detail
