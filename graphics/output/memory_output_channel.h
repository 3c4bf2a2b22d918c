#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "graphics/output/output_channel.h"

// A channel that collects the job's bytes in memory. The bytes live in a
// buffer that the channel shares, so that whoever made the channel can read
// the output after the stage that owned the channel has deleted it.
class GMemoryOutputChannel : public GOutputChannel {
 public:
  explicit GMemoryOutputChannel(const RWCString& name,
                                std::shared_ptr<std::string> bytes = std::make_shared<std::string>());
  ~GMemoryOutputChannel() override;

  // Appends the bytes while the channel is open or in document.
  uint16_t Write(const uint8_t* bytes, uint32_t count, uint32_t& written) override;
  bool IsReady() const override { return true; }

  const std::string& Bytes() const { return *bytes_; }
  const std::shared_ptr<std::string>& SharedBytes() const { return bytes_; }

 protected:
  // Appends what the channel accepts of the bytes.
  void Append(const uint8_t* bytes, uint32_t count);

 private:
  std::shared_ptr<std::string> bytes_;
};
