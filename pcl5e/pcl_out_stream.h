#pragma once

#include <cstdint>
#include <memory>

#include "foundation/buffered_out_stream.h"

// The PCL 5e generator's buffered byte stream and the sink that receives its
// full buffers: the class library's buffered output stream (whose header
// gives the rule for the byte total) under the generator's names.
using PclOutStream = GBufferedOutStream;
using GPclStreamSink = GBufferSink;

// Stream creation errors.
constexpr int16_t kPclStreamNoMemory = GBufferedOutStream::kNoMemory;
constexpr int16_t kPclStreamBadSize = GBufferedOutStream::kBadSize;
constexpr int16_t kPclStreamNoSink = GBufferedOutStream::kNoSink;

// A stream of size bytes, or null with *error set (when error is given) to
// kPclStreamNoSink, kPclStreamBadSize (size 0 or less) or kPclStreamNoMemory.
inline std::unique_ptr<PclOutStream> PclStreamCreate(int32_t size, GPclStreamSink* sink, uint32_t context,
                                                     int16_t* error = nullptr) {
  return GBufferedOutStream::Create(size, sink, context, error);
}

// Both do nothing while the stream has an error; a full buffer goes to the
// sink before the next byte is stored.
inline void PclStreamPutByte(PclOutStream& stream, uint8_t byte) { stream.PutByte(byte); }
inline void PclStreamWrite(PclOutStream& stream, const uint8_t* bytes, int32_t count) {
  if (count > 0) stream.Write(bytes, static_cast<size_t>(count));
}

// Hands the filled part (possibly empty) to the sink and answers the sink's answer.
inline int32_t PclStreamFlush(PclOutStream& stream) { return stream.Flush(); }

// Releases the stream and answers its total.
inline int32_t PclStreamDestroy(std::unique_ptr<PclOutStream> stream) { return stream != nullptr ? stream->total : 0; }
