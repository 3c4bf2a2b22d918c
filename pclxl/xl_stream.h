#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "foundation/buffered_out_stream.h"

// The PCL XL stream: the class library's buffered output stream (whose
// header gives the rule for the byte total), which the writers of this
// library fill (little-endian binding) and which is handed to a flush sink
// whenever it is full or the owner flushes it. Every function takes the
// stream first. A sink that cannot deliver the bytes keeps that fact on its
// own side: the stream empties its buffer after every call regardless, and
// XLFlush hands the sink's answer back to its caller.
using XLStream = GBufferedOutStream;
using XLFlushSink = GBufferSink;

enum XLErrorCode : int16_t {
  kXLNoError = 0,
  kXLInitializationFailed = -1,
  kXLOperatorUndefined = -2,
  kXLAttributeUndefined = -3,
  kXLOutOfMemory = -4,
  kXLZeroBufferSize = -5,
  kXLBufferOverflow = -6,
  kXLFlushFailed = -7,
  kXLNoFlushSink = -8,
  // A length or count that does not fit the field that carries it, or an
  // index outside its table. Nothing of the item is written.
  kXLValueOutOfRange = -9,
};

// Answers no stream for a buffer size of 0 or below, without a sink, or when
// memory runs out.
XLStream* XLCreateStream(int32_t bufferSize, XLFlushSink* flushSink, uint32_t userValue);

// Frees the stream and answers its total. Bytes not flushed are dropped.
int32_t XLDestroyStream(XLStream* stream);

struct XLStreamDeleter {
  void operator()(XLStream* stream) const { XLDestroyStream(stream); }
};
using XLStreamPtr = std::unique_ptr<XLStream, XLStreamDeleter>;

// Hands the buffered bytes to the sink, empties the buffer and answers the
// sink's answer (0 without a sink).
int32_t XLFlush(XLStream* stream);

// Sets the stream's error code; from then on every writer writes nothing.
void XLSetError(XLStream* stream, int16_t code);

const char* XLErrorText(int32_t code);

// ") QV-PCL XL;<major>;<minor>;Comment" followed by the comment without its
// carriage returns and line feeds, then one line feed.
void XLWriteStreamHeader(XLStream* stream, int32_t majorClass, int32_t minorClass, std::string_view comment);

// Untagged data. Every item goes into the buffer whole when the buffer can
// hold it; blocks and arrays are copied in pieces that fill the buffer.
void XLWriteRawByte(XLStream* stream, uint8_t value);
void XLWriteRawUInt16(XLStream* stream, uint16_t value);
void XLWriteRawUInt16BigEndian(XLStream* stream, uint16_t value);
void XLWriteRawUInt32(XLStream* stream, uint32_t value);
void XLWriteRawUInt32BigEndian(XLStream* stream, uint32_t value);
void XLWriteRawBytes(XLStream* stream, std::span<const uint8_t> bytes);
void XLWriteRawLowBytes(XLStream* stream, std::span<const uint16_t> values);
void XLWriteRawUInt16s(XLStream* stream, std::span<const uint16_t> values);
void XLWriteRawUInt16sBigEndian(XLStream* stream, std::span<const uint16_t> values);
void XLWriteRawUInt32s(XLStream* stream, std::span<const uint32_t> values);
void XLWriteRawUInt32sBigEndian(XLStream* stream, std::span<const uint32_t> values);
