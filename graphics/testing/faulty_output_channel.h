#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <string>

#include "graphics/output/memory_output_channel.h"

// A memory channel that fails on request, for tests of the writers that
// must report a failing channel: it accepts only so many bytes in all (a
// write crossing the limit writes the part that fits and fails), fails
// every write after a number of writes outright, can refuse to be ready
// and can fail its checkpoints.
class GFaultyOutputChannel : public GMemoryOutputChannel {
 public:
  struct Faults {
    uint32_t capacity = std::numeric_limits<uint32_t>::max();
    uint32_t goodWrites = std::numeric_limits<uint32_t>::max();
    bool ready = true;
    uint16_t checkpointStatus = 0;
  };

  GFaultyOutputChannel(const RWCString& name, const Faults& faults,
                       std::shared_ptr<std::string> bytes = std::make_shared<std::string>())
      : GMemoryOutputChannel(name, std::move(bytes)), faults_(faults) {}

  uint16_t Checkpoint() override;
  uint16_t Write(const uint8_t* bytes, uint32_t count, uint32_t& written) override;
  bool IsReady() const override { return faults_.ready; }

 private:
  Faults faults_;
  uint32_t writes_ = 0;
};
