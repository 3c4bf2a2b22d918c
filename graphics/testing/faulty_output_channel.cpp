#include "graphics/testing/faulty_output_channel.h"

#include <algorithm>

uint16_t GFaultyOutputChannel::Checkpoint() {
  const uint16_t status = GMemoryOutputChannel::Checkpoint();
  return status != 0 ? status : faults_.checkpointStatus;
}

uint16_t GFaultyOutputChannel::Write(const uint8_t* bytes, uint32_t count, uint32_t& written) {
  written = 0;
  if (!IsActive()) return kWrongState;
  if (writes_++ >= faults_.goodWrites) return kWriteFailed;
  const uint32_t room = faults_.capacity - std::min(faults_.capacity, GetBytesWritten());
  written = std::min(count, room);
  Append(bytes, written);
  return written == count ? 0 : kWriteFailed;
}
