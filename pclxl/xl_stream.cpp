#include "pclxl/xl_stream.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

namespace {

// An item (a tag, a value) goes into one buffer; an item larger than the
// whole buffer is split like a block.
void PutItem(XLStream* stream, const uint8_t* bytes, size_t count) { stream->WriteWhole(bytes, count); }

void PutBlock(XLStream* stream, const uint8_t* bytes, size_t count) { stream->Write(bytes, count); }

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
  return GBufferedOutStream::Create(bufferSize, flushSink, userValue).release();
}

int32_t XLDestroyStream(XLStream* stream) {
  const std::unique_ptr<XLStream> owned(stream);
  return stream != nullptr ? stream->total : 0;
}

int32_t XLFlush(XLStream* stream) { return stream->Flush(); }

void XLSetError(XLStream* stream, int16_t code) {
  stream->error = code;
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
    case kXLValueOutOfRange:
      return "XL Library: Value Out of Range";
    default:
      return kUndefinedErrorText;
  }
}

// The header is one line that the printer reads up to its line feed: a
// carriage return or line feed inside the comment (a model name, say) would
// end it early and let the rest be read as binary data, so both are left out.
void XLWriteStreamHeader(XLStream* stream, int32_t majorClass, int32_t minorClass, std::string_view comment) {
  std::string line = ") QV-PCL XL;" + std::to_string(majorClass) + ";" + std::to_string(minorClass) + ";Comment";
  std::ranges::copy_if(comment, std::back_inserter(line), [](char c) { return c != '\r' && c != '\n'; });
  line.push_back('\n');
  PutBlock(stream, reinterpret_cast<const uint8_t*>(line.data()), line.size());
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
