#include "pcl5e/pcl_out_stream.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace {

void AddToTotal(PclOutStream& stream, int32_t n) {
  stream.total =
      stream.total > std::numeric_limits<int32_t>::max() - n ? std::numeric_limits<int32_t>::max() : stream.total + n;
}

// The buffer is reset here as well as by the sink, so that a sink that
// forgets cannot make the next write run past the block.
int32_t Drain(PclOutStream& stream) {
  const int32_t answer = stream.sink != nullptr ? stream.sink->Flush(stream, stream.context, stream.buffer.get(),
                                                                     stream.size - stream.freeCount)
                                                : 0;
  stream.freeCount = stream.size;
  stream.writePosition = stream.buffer.get();
  return answer;
}

}  // namespace

std::unique_ptr<PclOutStream> PclStreamCreate(int32_t size, GPclStreamSink* sink, uint32_t context, int16_t* error) {
  int16_t failure = 0;
  std::unique_ptr<PclOutStream> stream;
  if (sink == nullptr) {
    failure = kPclStreamNoSink;
  } else if (size <= 0) {
    failure = kPclStreamBadSize;
  } else {
    stream.reset(new (std::nothrow) PclOutStream);
    if (stream != nullptr) stream->buffer.reset(new (std::nothrow) uint8_t[size]);
    if (stream == nullptr || stream->buffer == nullptr) {
      stream.reset();
      failure = kPclStreamNoMemory;
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

void PclStreamPutByte(PclOutStream& stream, uint8_t byte) {
  if (stream.error != 0) return;
  if (stream.freeCount <= 0) {
    Drain(stream);
    if (stream.error != 0) return;
  }
  *stream.writePosition++ = byte;
  --stream.freeCount;
  AddToTotal(stream, 1);
}

void PclStreamWrite(PclOutStream& stream, const uint8_t* bytes, int32_t count) {
  while (count > 0 && stream.error == 0) {
    if (stream.freeCount <= 0) {
      Drain(stream);
      continue;  // the sink may have set an error
    }
    const int32_t run = std::min(count, stream.freeCount);
    std::memcpy(stream.writePosition, bytes, static_cast<size_t>(run));
    stream.writePosition += run;
    stream.freeCount -= run;
    AddToTotal(stream, run);
    bytes += run;
    count -= run;
  }
}

int32_t PclStreamFlush(PclOutStream& stream) { return Drain(stream); }

int32_t PclStreamDestroy(std::unique_ptr<PclOutStream> stream) { return stream != nullptr ? stream->total : 0; }
