#include "graphics/output/memory_output_channel.h"

#include <utility>

GMemoryOutputChannel::GMemoryOutputChannel(const RWCString& name, std::shared_ptr<std::string> bytes)
    : GOutputChannel(name), bytes_(std::move(bytes)) {}

// Nothing is buffered; finishing leaves the channel in the state the
// finished output of every concrete channel ends in.
GMemoryOutputChannel::~GMemoryOutputChannel() { Finish(); }

uint16_t GMemoryOutputChannel::Write(const uint8_t* bytes, uint32_t count, uint32_t& written) {
  written = 0;
  if (!IsActive()) return kWrongState;
  Append(bytes, count);
  written = count;
  return 0;
}

void GMemoryOutputChannel::Append(const uint8_t* bytes, uint32_t count) {
  bytes_->append(reinterpret_cast<const char*>(bytes), count);
  CountWritten(count);
}
