#include "pclxl/generator/generator_output.h"

#include "graphics/output/output_channel.h"

void GGeneratorOutput::Write(GOutputChannel* channel, const uint8_t* bytes, uint32_t count, bool progress) {
  if (count == 0 || channel == nullptr) return;
  if (outputOk_) {
    uint32_t written = 0;
    if (const uint16_t status = channel->Write(bytes, count, written); status != 0) {
      outputOk_ = false;
      pendingStatus_ = status;
    }
  }
  if (progress) CheckpointIfDue(*channel);
}

// The checkpoint's own answer does not matter: it only offers the spooler
// a moment to move the bytes on. A count below the last checkpoint's is a
// new channel counting from the start again.
void GGeneratorOutput::CheckpointIfDue(GOutputChannel& channel) {
  const uint32_t count = channel.GetBytesWritten();
  const bool due =
      count < kCheckpointSpacing || count < lastCheckpoint_ || count - lastCheckpoint_ > kCheckpointSpacing;
  if (!due) return;
  channel.Checkpoint();
  lastCheckpoint_ = count;
}

uint16_t GGeneratorOutput::TakeStatus() {
  const uint16_t status = pendingStatus_;
  pendingStatus_ = 0;
  return status;
}
