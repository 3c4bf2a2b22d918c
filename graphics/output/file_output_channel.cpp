#include "graphics/output/file_output_channel.h"

GFileOutputChannel::GFileOutputChannel(const RWCString& path)
    : GOutputChannel(path), file_(std::fopen(path.Data(), "wb")) {}

GFileOutputChannel::~GFileOutputChannel() { Finish(); }

uint16_t GFileOutputChannel::Checkpoint() {
  const uint16_t status = GOutputChannel::Checkpoint();
  return status != 0 ? status : Flush();
}

uint16_t GFileOutputChannel::Write(const uint8_t* bytes, uint32_t count, uint32_t& written) {
  written = 0;
  if (!IsActive() || file_ == nullptr) return kWrongState;
  written = static_cast<uint32_t>(std::fwrite(bytes, 1, count, file_.get()));
  CountWritten(written);
  return written == count ? 0 : kWriteFailed;
}

uint16_t GFileOutputChannel::End() {
  const uint16_t status = GOutputChannel::End();
  return status != 0 ? status : Flush();
}

uint16_t GFileOutputChannel::Close() {
  const uint16_t status = GOutputChannel::Close();
  return status != 0 ? status : Flush();
}

uint16_t GFileOutputChannel::Flush() {
  if (file_ == nullptr) return kWrongState;
  return std::fflush(file_.get()) == 0 && std::ferror(file_.get()) == 0 ? 0 : kWriteFailed;
}
