// Tests of the output channels: the state machine of the base, the memory
// and file channels, and the faulty channel's reports.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "foundation/testing/scratch_files.h"
#include "graphics/output/file_output_channel.h"
#include "graphics/output/memory_output_channel.h"
#include "graphics/testing/faulty_output_channel.h"

namespace {

using State = GOutputChannel::State;

// A memory channel brought into a state through the operations.
std::unique_ptr<GMemoryOutputChannel> ChannelIn(State state) {
  auto channel = std::make_unique<GMemoryOutputChannel>("memory");
  if (state == GOutputChannel::kFinished) channel->Finish();
  if (state == GOutputChannel::kOpen || state == GOutputChannel::kInDocument) channel->Open(RWWString());
  if (state == GOutputChannel::kInDocument) channel->Begin();
  EXPECT_EQ(channel->GetState(), state);
  return channel;
}

TEST(OutputChannel, EachOperationAnswersAndMovesByTheState) {
  using Operation = uint16_t (*)(GOutputChannel&);
  const Operation open = [](GOutputChannel& c) { return c.Open(RWWString()); };
  const Operation begin = [](GOutputChannel& c) { return c.Begin(); };
  const Operation end = [](GOutputChannel& c) { return c.End(); };
  const Operation close = [](GOutputChannel& c) { return c.Close(); };
  const Operation finish = [](GOutputChannel& c) { return c.Finish(); };
  const Operation checkpoint = [](GOutputChannel& c) { return c.Checkpoint(); };
  struct Case {
    const char* name;
    State from;
    Operation operation;
    uint16_t answer;
    State to;
  };
  const Case cases[] = {
      {"open_closed", GOutputChannel::kClosed, open, 0, GOutputChannel::kOpen},
      {"open_open", GOutputChannel::kOpen, open, 1, GOutputChannel::kOpen},
      {"open_finished", GOutputChannel::kFinished, open, 1, GOutputChannel::kFinished},
      {"begin_open", GOutputChannel::kOpen, begin, 0, GOutputChannel::kInDocument},
      {"begin_in_document", GOutputChannel::kInDocument, begin, 0, GOutputChannel::kInDocument},
      {"begin_closed", GOutputChannel::kClosed, begin, 1, GOutputChannel::kClosed},
      {"end_in_document", GOutputChannel::kInDocument, end, 0, GOutputChannel::kOpen},
      {"end_open", GOutputChannel::kOpen, end, 0, GOutputChannel::kOpen},
      {"end_closed", GOutputChannel::kClosed, end, 1, GOutputChannel::kClosed},
      {"close_in_document", GOutputChannel::kInDocument, close, 0, GOutputChannel::kClosed},
      {"close_open", GOutputChannel::kOpen, close, 0, GOutputChannel::kClosed},
      {"close_closed", GOutputChannel::kClosed, close, 1, GOutputChannel::kClosed},
      {"finish_in_document", GOutputChannel::kInDocument, finish, 0, GOutputChannel::kFinished},
      {"finish_closed", GOutputChannel::kClosed, finish, 0, GOutputChannel::kFinished},
      {"finish_finished", GOutputChannel::kFinished, finish, 0, GOutputChannel::kFinished},
      {"checkpoint_open", GOutputChannel::kOpen, checkpoint, 0, GOutputChannel::kOpen},
      {"checkpoint_closed", GOutputChannel::kClosed, checkpoint, 1, GOutputChannel::kClosed},
      {"checkpoint_finished", GOutputChannel::kFinished, checkpoint, 1, GOutputChannel::kFinished},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::unique_ptr<GMemoryOutputChannel> channel = ChannelIn(c.from);
    EXPECT_EQ(c.operation(*channel), c.answer);
    EXPECT_EQ(channel->GetState(), c.to);
    EXPECT_EQ(channel->IsActive(), c.to == GOutputChannel::kOpen || c.to == GOutputChannel::kInDocument);
  }
}

TEST(OutputChannel, WriteStringBeginsAnOpenChannelAndRefusesAClosedOne) {
  uint32_t written = 99;
  const std::unique_ptr<GMemoryOutputChannel> closed = ChannelIn(GOutputChannel::kClosed);
  EXPECT_EQ(closed->WriteString("@PJL\r\n", written), 1);
  EXPECT_EQ(written, 0u);
  EXPECT_EQ(closed->GetBytesWritten(), 0u);

  const std::unique_ptr<GMemoryOutputChannel> open = ChannelIn(GOutputChannel::kOpen);
  EXPECT_EQ(open->WriteString("@PJL\r\n", written), 0);
  EXPECT_EQ(open->GetState(), GOutputChannel::kInDocument);
  EXPECT_EQ(written, 6u);
  EXPECT_EQ(open->GetBytesWritten(), 6u);
  EXPECT_EQ(open->Bytes(), "@PJL\r\n");
}

TEST(MemoryOutputChannel, TheBytesOutliveTheChannel) {
  std::shared_ptr<std::string> bytes;
  {
    GMemoryOutputChannel channel("job");
    bytes = channel.SharedBytes();
    uint32_t written = 0;
    EXPECT_EQ(channel.Write(reinterpret_cast<const uint8_t*>("x"), 1, written), 1) << "closed channels take nothing";
    channel.Open(RWWString());
    channel.WriteString("abc", written);
    EXPECT_EQ(channel.GetName(), "job");
  }
  EXPECT_EQ(*bytes, "abc");
}

// A short write reports how much was written and never answers success;
// every later write fails as well.
TEST(FaultyOutputChannel, ShortWritesAndFailuresAreReported) {
  struct Case {
    const char* name;
    GFaultyOutputChannel::Faults faults;
    uint16_t firstAnswer;
    uint32_t firstWritten;
    uint16_t secondAnswer;
    std::string output;
  };
  const Case cases[] = {
      {"room_for_all", {}, 0, 4, 0, "abcdabcd"},
      {"short_first_write", {.capacity = 3}, GOutputChannel::kWriteFailed, 3, GOutputChannel::kWriteFailed, "abc"},
      {"short_second_write", {.capacity = 6}, 0, 4, GOutputChannel::kWriteFailed, "abcdab"},
      {"second_write_fails", {.goodWrites = 1}, 0, 4, GOutputChannel::kWriteFailed, "abcd"},
      {"every_write_fails", {.goodWrites = 0}, GOutputChannel::kWriteFailed, 0, GOutputChannel::kWriteFailed, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GFaultyOutputChannel channel("faulty", c.faults);
    channel.Open(RWWString());
    uint32_t written = 99;
    EXPECT_EQ(channel.WriteString("abcd", written), c.firstAnswer);
    EXPECT_EQ(written, c.firstWritten);
    EXPECT_EQ(channel.WriteString("abcd", written), c.secondAnswer);
    EXPECT_EQ(channel.Bytes(), c.output);
    EXPECT_EQ(channel.GetBytesWritten(), c.output.size());
  }
}

TEST(FaultyOutputChannel, ReadinessAndCheckpointsFailOnRequest) {
  GFaultyOutputChannel channel("faulty", {.ready = false, .checkpointStatus = 5});
  EXPECT_FALSE(channel.IsReady());
  EXPECT_EQ(channel.Checkpoint(), 1) << "the state's answer comes first";
  channel.Open(RWWString());
  EXPECT_EQ(channel.Checkpoint(), 5);
}

std::string FileContents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The destructor finishes the channel: what was written is in the file
// once the channel is gone, whatever state it was left in.
TEST(FileOutputChannel, TheDestructorFinishesTheOutput) {
  const ScratchDirectory directory;
  const std::string path = directory.File("job.prn");
  auto channel = std::make_unique<GFileOutputChannel>(path.c_str());
  ASSERT_TRUE(channel->IsReady());
  EXPECT_EQ(channel->Open(RWWString()), 0);
  uint32_t written = 0;
  EXPECT_EQ(channel->WriteString("\x1B%-12345X", written), 0);
  EXPECT_EQ(channel->GetBytesWritten(), 9u);
  EXPECT_EQ(channel->Checkpoint(), 0);
  EXPECT_EQ(FileContents(path), "\x1B%-12345X") << "a checkpoint pushes the bytes to the file";
  channel->WriteString("@PJL", written);
  channel.reset();
  EXPECT_EQ(FileContents(path), "\x1B%-12345X@PJL");
}

TEST(FileOutputChannel, AFileThatCannotBeMadeIsNotReady) {
  const ScratchDirectory directory;
  GFileOutputChannel channel((directory.File("missing") + "/job.prn").c_str());
  EXPECT_FALSE(channel.IsReady());
  channel.Open(RWWString());
  uint32_t written = 0;
  EXPECT_NE(channel.WriteString("x", written), 0);
  EXPECT_NE(channel.Checkpoint(), 0);
}

}  // namespace
