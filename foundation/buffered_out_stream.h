#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

struct GBufferedOutStream;

// Receives each full buffer of a GBufferedOutStream, and the filled part
// (possibly empty) at an explicit flush. The stream makes its buffer free
// again after every call, so a sink only has to consume the bytes; a sink
// that cannot deliver them keeps that fact on its own side or sets the
// stream's error.
class GBufferSink {
 public:
  virtual int32_t Flush(GBufferedOutStream& stream, uint32_t context, const uint8_t* bytes, int32_t count) = 0;

 protected:
  ~GBufferSink() = default;
};

// The byte sink of the page-description writers: bytes collect in one block
// that is handed to the sink whenever it is full, so that writers move
// blocks rather than calling out for every byte. While the error is
// non-zero every write is dropped.
//
// The byte total counts every byte stored since creation and stays at
// INT32_MAX once it gets there: a total that wrapped round would read as a
// small or negative count of a very large output.
struct GBufferedOutStream {
  // Creation errors.
  static constexpr int16_t kNoMemory = -4;
  static constexpr int16_t kBadSize = -5;
  static constexpr int16_t kNoSink = -8;

  // A stream of size bytes, or null with *error set (when error is given)
  // to kNoSink, kBadSize (size 0 or less) or kNoMemory; 0 on success.
  static std::unique_ptr<GBufferedOutStream> Create(int32_t size, GBufferSink* sink, uint32_t context,
                                                    int16_t* error = nullptr);

  // A full buffer goes to the sink before the next byte is stored.
  void PutByte(uint8_t byte);
  // Copies in runs that fill the buffer, handing each full buffer to the
  // sink; an error that the sink sets stops the rest.
  void Write(const uint8_t* bytes, size_t count);
  // The same, but an item that the buffer can hold is never split across
  // two buffers: the buffer is handed on first when the item does not fit
  // the space left.
  void WriteWhole(const uint8_t* bytes, size_t count);
  // Hands the filled part (possibly empty) to the sink, makes the buffer
  // free again and answers the sink's answer (0 without a sink).
  int32_t Flush();

  std::unique_ptr<uint8_t[]> buffer;
  int32_t size = 0;
  int32_t freeCount = 0;
  uint8_t* writePosition = nullptr;
  uint8_t* end = nullptr;
  int32_t total = 0;
  int16_t error = 0;
  int16_t errorCount = 0;
  GBufferSink* sink = nullptr;
  uint32_t context = 0;

 private:
  void Store(const uint8_t* bytes, int32_t count);
};
