#include "foundation/buffered_out_stream.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

std::unique_ptr<GBufferedOutStream> GBufferedOutStream::Create(int32_t size, GBufferSink* sink, uint32_t context,
                                                               int16_t* error) {
  int16_t failure = 0;
  std::unique_ptr<GBufferedOutStream> stream;
  if (sink == nullptr) {
    failure = kNoSink;
  } else if (size <= 0) {
    failure = kBadSize;
  } else {
    stream.reset(new (std::nothrow) GBufferedOutStream);
    if (stream != nullptr) stream->buffer.reset(new (std::nothrow) uint8_t[static_cast<size_t>(size)]);
    if (stream == nullptr || stream->buffer == nullptr) {
      stream.reset();
      failure = kNoMemory;
    }
  }
  if (error != nullptr) *error = failure;
  if (stream == nullptr) return nullptr;

  stream->size = size;
  stream->freeCount = size;
  stream->writePosition = stream->buffer.get();
  stream->end = stream->buffer.get() + size;
  stream->sink = sink;
  stream->context = context;
  return stream;
}

void GBufferedOutStream::PutByte(uint8_t byte) { Write(&byte, 1); }

void GBufferedOutStream::Write(const uint8_t* bytes, size_t count) {
  while (count > 0 && error == 0) {
    if (freeCount <= 0) {
      Flush();
      continue;  // the sink may have set an error
    }
    const int32_t run = static_cast<int32_t>(std::min(count, static_cast<size_t>(freeCount)));
    Store(bytes, run);
    bytes += run;
    count -= static_cast<size_t>(run);
  }
}

void GBufferedOutStream::WriteWhole(const uint8_t* bytes, size_t count) {
  if (error != 0) return;
  if (count > static_cast<size_t>(freeCount) && count <= static_cast<size_t>(size)) Flush();
  Write(bytes, count);
}

// The buffer is made free here as well as by the sink, so that a sink that
// forgets cannot make the next write run past the block.
int32_t GBufferedOutStream::Flush() {
  const int32_t answer = sink != nullptr ? sink->Flush(*this, context, buffer.get(), size - freeCount) : 0;
  freeCount = size;
  writePosition = buffer.get();
  return answer;
}

void GBufferedOutStream::Store(const uint8_t* bytes, int32_t count) {
  std::memcpy(writePosition, bytes, static_cast<size_t>(count));
  writePosition += count;
  freeCount -= count;
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  total = total > kMax - count ? kMax : total + count;
}
