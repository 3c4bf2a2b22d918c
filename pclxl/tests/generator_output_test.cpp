// How the generators' blocks reach the job's channel: a refused write is
// reported once and stops the job's output, and checkpoints thin out once
// the job has grown.
#include "pclxl/generator/generator_output.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/output/memory_output_channel.h"
#include "graphics/testing/faulty_output_channel.h"

namespace {

// Keeps the byte count at each checkpoint.
class CheckpointLog : public GMemoryOutputChannel {
 public:
  CheckpointLog() : GMemoryOutputChannel(RWCString("log")) { Open(RWWString()); }
  uint16_t Checkpoint() override {
    counts.push_back(GetBytesWritten());
    return 0;
  }
  std::vector<uint32_t> counts;
};

void WriteText(GGeneratorOutput& output, GOutputChannel& channel, const std::string& text, bool progress = false) {
  output.Write(&channel, reinterpret_cast<const uint8_t*>(text.data()), static_cast<uint32_t>(text.size()), progress);
}

TEST(GeneratorOutput, AFailedWriteIsReportedOnceAndStopsTheOutput) {
  GFaultyOutputChannel::Faults faults;
  faults.goodWrites = 1;
  GFaultyOutputChannel channel(RWCString("faulty"), faults);
  channel.Open(RWWString());
  GGeneratorOutput output;

  WriteText(output, channel, "first");
  EXPECT_EQ(output.TakeStatus(), 0);
  WriteText(output, channel, "second");
  WriteText(output, channel, "third");
  EXPECT_FALSE(output.OutputOk());
  EXPECT_EQ(output.TakeStatus(), GOutputChannel::kWriteFailed);
  EXPECT_EQ(output.TakeStatus(), 0);

  // The channel would take this one, but the job's output has stopped.
  GMemoryOutputChannel healthy(RWCString("healthy"));
  healthy.Open(RWWString());
  WriteText(output, healthy, "fourth");
  EXPECT_EQ(channel.Bytes(), "first");
  EXPECT_EQ(healthy.Bytes(), "");
  EXPECT_EQ(output.TakeStatus(), 0);
}

TEST(GeneratorOutput, AnEmptyBlockOrNoChannelDoesNothing) {
  CheckpointLog channel;
  GGeneratorOutput output;
  output.Write(&channel, nullptr, 0, true);
  output.Write(nullptr, reinterpret_cast<const uint8_t*>("x"), 1, true);
  EXPECT_TRUE(channel.counts.empty());
  EXPECT_TRUE(output.OutputOk());
}

// Below 100,000 bytes every block checkpoints; from there on only a block
// that takes the count more than 100,000 past the last checkpoint does
// (exactly 100,000 past is not enough).
TEST(GeneratorOutput, CheckpointsThinOutAfterTheFirst100000Bytes) {
  CheckpointLog channel;
  GGeneratorOutput output;
  const std::string block(25000, 'x');
  for (int i = 0; i < 10; ++i) WriteText(output, channel, block, true);
  EXPECT_EQ(channel.counts, (std::vector<uint32_t>{25000, 50000, 75000, 200000}));
  EXPECT_EQ(output.LastCheckpointCount(), 200000U);

  CheckpointLog quiet;
  GGeneratorOutput withoutProgress;
  WriteText(withoutProgress, quiet, block, false);
  EXPECT_TRUE(quiet.counts.empty());
  EXPECT_EQ(quiet.Bytes().size(), block.size());
}

// A later job's channel counts from 0 again: a first block that already
// passes 100,000 bytes still checkpoints, although the count lies below the
// earlier channel's last checkpoint.
TEST(GeneratorOutput, ANewChannelCheckpointsFromTheStart) {
  GGeneratorOutput output;
  {
    CheckpointLog first;
    for (int i = 0; i < 4; ++i) WriteText(output, first, std::string(60000, 'x'), true);
    EXPECT_EQ(first.counts, (std::vector<uint32_t>{60000, 180000}));
  }
  CheckpointLog second;
  WriteText(output, second, std::string(150000, 'x'), true);
  EXPECT_EQ(second.counts, (std::vector<uint32_t>{150000}));
}

}  // namespace
