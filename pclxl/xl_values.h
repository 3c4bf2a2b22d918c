#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "pclxl/xl_stream.h"
#include "pclxl/xl_tags.h"

// Tagged values, attribute identifiers, operators and embedded-data framing.
// Every writer does nothing once the stream's error code is set.

template <class T>
struct XLPair {
  T x;
  T y;
};

template <class T>
struct XLBox {
  T x1;
  T y1;
  T x2;
  T y2;
};

void XLWriteUByte(XLStream* stream, uint8_t value);
void XLWriteUInt16(XLStream* stream, uint16_t value);
void XLWriteUInt32(XLStream* stream, uint32_t value);
void XLWriteSInt16(XLStream* stream, int16_t value);
void XLWriteSInt32(XLStream* stream, int32_t value);
void XLWriteReal32(XLStream* stream, float value);

void XLWriteXY(XLStream* stream, XLPair<uint8_t> value);
void XLWriteXY(XLStream* stream, XLPair<uint16_t> value);
void XLWriteXY(XLStream* stream, XLPair<uint32_t> value);
void XLWriteXY(XLStream* stream, XLPair<int16_t> value);
void XLWriteXY(XLStream* stream, XLPair<int32_t> value);
void XLWriteXY(XLStream* stream, XLPair<float> value);

void XLWriteBox(XLStream* stream, XLBox<uint8_t> value);
void XLWriteBox(XLStream* stream, XLBox<uint16_t> value);
void XLWriteBox(XLStream* stream, XLBox<uint32_t> value);
void XLWriteBox(XLStream* stream, XLBox<int16_t> value);
void XLWriteBox(XLStream* stream, XLBox<int32_t> value);
void XLWriteBox(XLStream* stream, XLBox<float> value);

// Arrays carry their element count as a tagged uint16; a longer array sets
// kXLValueOutOfRange and writes nothing.
void XLWriteUByteArray(XLStream* stream, std::span<const uint8_t> values);
void XLWriteUByteArrayFromLowBytes(XLStream* stream, std::span<const uint16_t> values);
void XLWriteUInt16Array(XLStream* stream, std::span<const uint16_t> values);
void XLWriteUInt32Array(XLStream* stream, std::span<const uint32_t> values);
void XLWriteSInt16Array(XLStream* stream, std::span<const int16_t> values);
void XLWriteSInt32Array(XLStream* stream, std::span<const int32_t> values);
void XLWriteReal32Array(XLStream* stream, std::span<const float> values);

// Numbers outside the protocol's attribute table set kXLAttributeUndefined,
// numbers outside its operator table kXLOperatorUndefined; neither writes.
void XLWriteAttribute(XLStream* stream, int32_t number);
void XLWriteOperator(XLStream* stream, int32_t number);
inline void XLWriteAttribute(XLStream* stream, XLAttr attribute) {
  XLWriteAttribute(stream, static_cast<int32_t>(attribute));
}
inline void XLWriteOperator(XLStream* stream, XLOp op) { XLWriteOperator(stream, static_cast<int32_t>(op)); }

// The length of the embedded data that follows: the short form (0xFB and one
// byte) below 256 bytes, the long form (0xFA and four bytes) from 256 on.
void XLWriteEmbeddedLength(XLStream* stream, size_t length);
// Always the long form. A length beyond 32 bits sets kXLValueOutOfRange.
void XLWriteEmbeddedLengthLong(XLStream* stream, size_t length);
// The long form followed by the data.
void XLWriteEmbeddedData(XLStream* stream, std::span<const uint8_t> data);
