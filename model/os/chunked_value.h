#pragma once

#include <cstdint>

#include "foundation/rw_wstring.h"

// Binary values of any size in printer data or the registry, stored as
// numbered chunks. Under the value name N lies the chunk count
// K = size / 248 + 1 (a 4-byte DWORD); under N + ":" + index, for index 0 to
// K - 1, lie the bytes in order, 248 in every chunk but the last, which holds
// the remaining 0 to 247. So an empty value is one empty chunk and a value of
// exactly 248 bytes ends with an empty second chunk. Existing printers hold
// their settings objects in this form.
constexpr uint32_t kValueChunkSize = 248;

// The primitive values under one key that the chunked form is built from.
class GChunkedValueAccess {
 public:
  virtual ~GChunkedValueAccess() = default;
  // False when the value is missing or not a 4-byte DWORD.
  virtual bool ReadCount(const RWWString& name, uint32_t& count) = 0;
  virtual bool WriteCount(const RWWString& name, uint32_t count) = 0;
  // Reads a binary value into at most capacity bytes; false when it is
  // missing, not binary or larger than capacity.
  virtual bool ReadChunk(const RWWString& name, uint8_t* buffer, uint32_t capacity, uint32_t& length) = 0;
  virtual bool WriteChunk(const RWWString& name, const uint8_t* bytes, uint32_t length) = 0;
  // False when there was no such value.
  virtual bool DeleteChunk(const RWWString& name) = 0;
};

// N + ":" + the decimal index.
RWWString ChunkName(const RWWString& name, uint32_t index);

// Writes the count, then the chunks; chunks left over from a longer value
// are deleted. 1 when the count and every chunk were written; the first
// failure ends the writing with 0.
int32_t WriteChunkedValue(GChunkedValueAccess& access, const RWWString& name, const uint8_t* bytes, uint32_t size);

// Reads a chunked value into a buffer of size bytes. Without a count (or a
// count too large to describe a value), 0 and outSize untouched. The largest
// size the value can have is 248 x the count: without a buffer the answer is
// 1 and outSize that size; when the buffer is smaller, 0 and outSize that
// size. Otherwise the chunks are read in order, each into the room left;
// a chunk that is missing, not binary or does not fit makes the answer 0
// with outSize untouched, else 1 with outSize the bytes read.
int32_t ReadChunkedValue(GChunkedValueAccess& access, const RWWString& name, uint8_t* buffer, uint32_t size,
                         uint32_t& outSize);
