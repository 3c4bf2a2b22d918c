#include "pclxl/xl_stream.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

namespace {

bool Healthy(const XLStream* stream) { return stream->errorCode == kXLNoError; }

void EmptyBuffer(XLStream* stream) {
  stream->freeSpace = stream->bufferSize;
  stream->writePosition = stream->buffer.get();
}

// Copies bytes into the buffer, flushing whenever it is full, so that no
// write ever passes the buffer end.
void PutPieces(XLStream* stream, const uint8_t* bytes, size_t count) {
  while (count > 0) {
    if (stream->freeSpace <= 0) XLFlush(stream);
    const size_t piece = std::min(count, static_cast<size_t>(stream->freeSpace));
    std::memcpy(stream->writePosition, bytes, piece);
    stream->writePosition += piece;
    stream->freeSpace -= static_cast<int32_t>(piece);
    stream->total = static_cast<int32_t>(static_cast<uint32_t>(stream->total) + static_cast<uint32_t>(piece));
    bytes += piece;
    count -= piece;
  }
}

// An item (a tag, a value) goes into one buffer: the buffer is flushed first
// when the item does not fit the space left. An item larger than the whole
// buffer is split like a block.
void PutItem(XLStream* stream, const uint8_t* bytes, size_t count) {
  if (!Healthy(stream)) return;
  if (count > static_cast<size_t>(std::max(stream->freeSpace, 0)) && count <= static_cast<size_t>(stream->bufferSize)) {
    XLFlush(stream);
  }
  PutPieces(stream, bytes, count);
}

void PutBlock(XLStream* stream, const uint8_t* bytes, size_t count) {
  if (Healthy(stream)) PutPieces(stream, bytes, count);
}

void PutUInt16(XLStream* stream, uint16_t value, bool bigEndian) {
  const uint8_t low = static_cast<uint8_t>(value);
  const uint8_t high = static_cast<uint8_t>(value >> 8);
  const uint8_t bytes[2] = {bigEndian ? high : low, bigEndian ? low : high};
  PutItem(stream, bytes, 2);
}

void PutUInt32(XLStream* stream, uint32_t value, bool bigEndian) {
  uint8_t bytes[4];
  for (int i = 0; i < 4; ++i) bytes[bigEndian ? 3 - i : i] = static_cast<uint8_t>(value >> (8 * i));
  PutItem(stream, bytes, 4);
}

const char* const kUndefinedErrorText = "XL Library: Number of Error Reported is Undefined";

}  // namespace

XLStream* XLCreateStream(int32_t bufferSize, XLFlushSink* flushSink, uint32_t userValue) {
  if (bufferSize == 0 || flushSink == nullptr || bufferSize < 0) return nullptr;
  std::unique_ptr<XLStream> stream(new (std::nothrow) XLStream);
  if (!stream) return nullptr;
  stream->buffer.reset(new (std::nothrow) uint8_t[static_cast<size_t>(bufferSize)]);
  if (!stream->buffer) return nullptr;
  stream->bufferSize = bufferSize;
  stream->bufferEnd = stream->buffer.get() + bufferSize;
  stream->flushSink = flushSink;
  stream->userValue = userValue;
  EmptyBuffer(stream.get());
  return stream.release();
}

int32_t XLDestroyStream(XLStream* stream) {
  if (stream == nullptr) return 0;
  const int32_t total = stream->total;
  delete stream;
  return total;
}

int32_t XLFlush(XLStream* stream) {
  int32_t answer = 0;
  if (stream->flushSink != nullptr) {
    const int32_t count = stream->bufferSize - stream->freeSpace;
    answer = stream->flushSink->Flush(stream, stream->userValue, stream->buffer.get(), count);
  }
  // Emptied here as well, so that a sink that forgets to do it cannot make
  // the next write run past the buffer end.
  EmptyBuffer(stream);
  return answer;
}

void XLSetError(XLStream* stream, int16_t code) {
  stream->errorCode = code;
  stream->errorCount = static_cast<int16_t>(stream->errorCount + 1);
}

const char* XLErrorText(int32_t code) {
  switch (code) {
    case kXLNoError:
      return "XL Library: No Errors Detected";
    case kXLInitializationFailed:
      return "XL Library: Initialization Failed";
    case kXLOperatorUndefined:
      return "XL Library: Operator Number Undefined";
    case kXLOutOfMemory:
      return "XL Library: Out of Memory";
    case kXLZeroBufferSize:
      return "XL Library: A Stream Buffer Size of Zero Was Requested";
    case kXLBufferOverflow:
      return "XL Library: Stream Output Buffer Overflowed";
    case kXLFlushFailed:
      return "XL Library: Attempt to Flush Output Buffer Failed";
    default:
      return kUndefinedErrorText;
  }
}

void XLWriteStreamHeader(XLStream* stream, int32_t majorClass, int32_t minorClass, std::string_view comment) {
  const std::string line = ") QV-PCL XL;" + std::to_string(majorClass) + ";" + std::to_string(minorClass) + ";Comment";
  PutBlock(stream, reinterpret_cast<const uint8_t*>(line.data()), line.size());
  PutBlock(stream, reinterpret_cast<const uint8_t*>(comment.data()), comment.size());
  XLWriteRawByte(stream, 0x0A);
}

void XLWriteRawByte(XLStream* stream, uint8_t value) { PutItem(stream, &value, 1); }

void XLWriteRawUInt16(XLStream* stream, uint16_t value) { PutUInt16(stream, value, false); }

void XLWriteRawUInt16BigEndian(XLStream* stream, uint16_t value) { PutUInt16(stream, value, true); }

void XLWriteRawUInt32(XLStream* stream, uint32_t value) { PutUInt32(stream, value, false); }

void XLWriteRawUInt32BigEndian(XLStream* stream, uint32_t value) { PutUInt32(stream, value, true); }

void XLWriteRawBytes(XLStream* stream, std::span<const uint8_t> bytes) { PutBlock(stream, bytes.data(), bytes.size()); }

void XLWriteRawLowBytes(XLStream* stream, std::span<const uint16_t> values) {
  for (uint16_t value : values) XLWriteRawByte(stream, static_cast<uint8_t>(value));
}

void XLWriteRawUInt16s(XLStream* stream, std::span<const uint16_t> values) {
  for (uint16_t value : values) PutUInt16(stream, value, false);
}

void XLWriteRawUInt16sBigEndian(XLStream* stream, std::span<const uint16_t> values) {
  for (uint16_t value : values) PutUInt16(stream, value, true);
}

void XLWriteRawUInt32s(XLStream* stream, std::span<const uint32_t> values) {
  for (uint32_t value : values) PutUInt32(stream, value, false);
}

void XLWriteRawUInt32sBigEndian(XLStream* stream, std::span<const uint32_t> values) {
  for (uint32_t value : values) PutUInt32(stream, value, true);
}
