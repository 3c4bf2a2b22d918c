#pragma once

#include <cstdint>
#include <memory>

struct PclOutStream;

// Receives each full buffer of a PclOutStream (and the filled part at an
// explicit flush). The stream makes its buffer free again after the call, so
// a sink only has to consume the bytes.
class GPclStreamSink {
 public:
  virtual int32_t Flush(PclOutStream& stream, uint32_t context, const uint8_t* bytes, int32_t count) = 0;

 protected:
  ~GPclStreamSink() = default;
};

// The generator's buffered byte stream: bytes collect in one block that is
// handed to the sink whenever it fills up.
struct PclOutStream {
  std::unique_ptr<uint8_t[]> buffer;
  int32_t size = 0;
  int32_t freeCount = 0;
  uint8_t* writePosition = nullptr;
  uint8_t* end = nullptr;
  int32_t total = 0;  // bytes accepted since creation; stays at the largest value once reached
  int16_t error = 0;  // while non-zero, writes are dropped
  uint16_t errorCount = 0;
  GPclStreamSink* sink = nullptr;
  uint32_t context = 0;
};

// Stream creation errors.
constexpr int16_t kPclStreamNoMemory = -4;
constexpr int16_t kPclStreamBadSize = -5;
constexpr int16_t kPclStreamNoSink = -8;

// A stream of size bytes, or null with *error set (when error is given) to
// kPclStreamNoSink, kPclStreamBadSize (size 0 or less) or kPclStreamNoMemory.
std::unique_ptr<PclOutStream> PclStreamCreate(int32_t size, GPclStreamSink* sink, uint32_t context,
                                              int16_t* error = nullptr);

// Both do nothing while the stream has an error; a full buffer goes to the
// sink before the next byte is stored.
void PclStreamPutByte(PclOutStream& stream, uint8_t byte);
void PclStreamWrite(PclOutStream& stream, const uint8_t* bytes, int32_t count);

// Hands the filled part (possibly empty) to the sink and answers the sink's answer.
int32_t PclStreamFlush(PclOutStream& stream);

// Releases the stream and answers its total.
int32_t PclStreamDestroy(std::unique_ptr<PclOutStream> stream);
