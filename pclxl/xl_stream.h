#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

// The PCL XL stream: a memory buffer that the writers of this library fill
// (little-endian binding) and that is handed to a flush sink whenever it is
// full or the owner flushes it. Every function takes the stream first.

struct XLStream;

// Receives the buffered bytes. The stream calls Flush with the buffer start
// and the number of bytes buffered (possibly 0); XLFlush hands the answer
// back to its caller. A sink that cannot deliver the bytes keeps that fact on
// its own side: the stream empties its buffer after every call regardless.
class XLFlushSink {
 public:
  virtual int32_t Flush(XLStream* stream, uint32_t userValue, const uint8_t* bufferStart, int32_t count) = 0;

 protected:
  ~XLFlushSink() = default;
};

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

struct XLStream {
  std::unique_ptr<uint8_t[]> buffer;
  int32_t bufferSize = 0;
  int32_t freeSpace = 0;
  uint8_t* writePosition = nullptr;
  uint8_t* bufferEnd = nullptr;
  // Every byte ever written through the stream, modulo 2 to the 32nd.
  int32_t total = 0;
  int16_t errorCode = kXLNoError;
  int16_t errorCount = 0;
  XLFlushSink* flushSink = nullptr;
  uint32_t userValue = 0;
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

// ") QV-PCL XL;<major>;<minor>;Comment" followed by the comment and a line feed.
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
