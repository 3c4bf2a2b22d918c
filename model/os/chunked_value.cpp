#include "model/os/chunked_value.h"

#include <algorithm>
#include <cstdio>

RWWString ChunkName(const RWWString& name, uint32_t index) {
  char digits[16];
  std::snprintf(digits, sizeof(digits), ":%u", static_cast<unsigned>(index));
  RWWString chunk = name;
  chunk.Append(RWWString(digits));
  return chunk;
}

int32_t WriteChunkedValue(GChunkedValueAccess& access, const RWWString& name, const uint8_t* bytes, uint32_t size) {
  const uint32_t count = size / kValueChunkSize + 1;
  uint32_t oldCount = 0;
  if (!access.ReadCount(name, oldCount)) oldCount = 0;
  if (!access.WriteCount(name, count)) return 0;

  int32_t result = 1;
  uint32_t remaining = size;
  for (uint32_t index = 0; index < count; ++index) {
    const uint32_t length = std::min(remaining, kValueChunkSize);
    if (!access.WriteChunk(ChunkName(name, index), bytes + (size - remaining), length)) {
      result = 0;
      break;
    }
    remaining -= length;
  }
  // The old count is stored data: the stale chunks end at the first one
  // that is not there, however large the count claims to be.
  for (uint32_t index = count; index < oldCount; ++index) {
    if (!access.DeleteChunk(ChunkName(name, index))) break;
  }
  return result;
}

int32_t ReadChunkedValue(GChunkedValueAccess& access, const RWWString& name, uint8_t* buffer, uint32_t size,
                         uint32_t& outSize) {
  uint32_t count = 0;
  if (!access.ReadCount(name, count) || count == 0) return 0;
  const uint64_t largest = uint64_t{kValueChunkSize} * count;
  if (largest > UINT32_MAX) return 0;
  if (buffer == nullptr || size == 0) {
    outSize = static_cast<uint32_t>(largest);
    return 1;
  }
  if (size < largest) {
    outSize = static_cast<uint32_t>(largest);
    return 0;
  }
  uint32_t total = 0;
  for (uint32_t index = 0; index < count; ++index) {
    uint32_t length = 0;
    if (!access.ReadChunk(ChunkName(name, index), buffer + total, size - total, length)) return 0;
    total += length;
  }
  outSize = total;
  return 1;
}
