#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

#include "graphics/output/output_channel.h"

// A channel that writes the job to a file, named by the channel's name. The
// file is created when the channel is made, so that a channel whose file
// could not be created answers that it is not ready before anyone opens
// it. A checkpoint and the end of a document push buffered bytes to the
// file; the destructor finishes the channel and closes the file.
class GFileOutputChannel : public GOutputChannel {
 public:
  explicit GFileOutputChannel(const RWCString& path);
  ~GFileOutputChannel() override;

  uint16_t Checkpoint() override;
  // Writes while the channel is open or in document; a short write answers
  // kWriteFailed with the bytes that did reach the file.
  uint16_t Write(const uint8_t* bytes, uint32_t count, uint32_t& written) override;
  uint16_t End() override;
  uint16_t Close() override;
  bool IsReady() const override { return file_ != nullptr; }

 private:
  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };

  uint16_t Flush();

  std::unique_ptr<std::FILE, FileCloser> file_;
};
