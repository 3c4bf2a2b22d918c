#pragma once

#include <cstdint>

class GOutputChannel;

// What the page-description generators share of their way into the job's
// output channel. Each generator buffers its bytes and hands every full
// buffer here. The first write the channel refuses stops all output for the
// job and its status waits, pending, until the operation during which it
// happened answers it (TakeStatus); later blocks are dropped without a
// word, so the failure is reported once.
//
// While the generator reports progress, the channel gets a checkpoint after
// each block, so that the spooler can show the job moving: after every
// block for the first kCheckpointSpacing bytes of the job, then only once
// each further kCheckpointSpacing bytes.
//
// The generators store the pending status and the output-ok flag among
// their own fields; the checkpoint count is not stored.
class GGeneratorOutput {
 public:
  static constexpr uint32_t kCheckpointSpacing = 100000;

  // Writes count bytes while output is ok, then checkpoints when progress
  // is set. Nothing at all for an empty block or without a channel.
  void Write(GOutputChannel* channel, const uint8_t* bytes, uint32_t count, bool progress);
  // Answers the pending status and clears it.
  uint16_t TakeStatus();

  // The stored fields, for the generators' field lists.
  uint16_t& PendingStatus() { return pendingStatus_; }
  bool& OutputOk() { return outputOk_; }
  uint16_t PendingStatus() const { return pendingStatus_; }
  bool OutputOk() const { return outputOk_; }
  uint32_t LastCheckpointCount() const { return lastCheckpoint_; }

 private:
  void CheckpointIfDue(GOutputChannel& channel);

  uint16_t pendingStatus_ = 0;
  bool outputOk_ = true;
  uint32_t lastCheckpoint_ = 0;
};
