#include "pcl5e/pcl_out_stream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records each call; optionally leaves the buffer as it is, answers a fixed
// value, or sets the stream's error.
class RecordingSink : public GPclStreamSink {
 public:
  int32_t Flush(PclOutStream& stream, uint32_t context, const uint8_t* bytes, int32_t count) override {
    contexts.push_back(context);
    chunks.emplace_back(reinterpret_cast<const char*>(bytes), static_cast<size_t>(count));
    if (resets) {
      stream.freeCount = stream.size;
      stream.writePosition = stream.buffer.get();
    }
    if (errorToSet != 0) stream.error = errorToSet;
    return answer;
  }
  std::vector<std::string> chunks;
  std::vector<uint32_t> contexts;
  bool resets = true;
  int16_t errorToSet = 0;
  int32_t answer = 0;
};

TEST(PclStreamCreate, RefusesAMissingSinkOrSize) {
  RecordingSink sink;
  struct Case {
    const char* name;
    int32_t size;
    GPclStreamSink* sink;
    int16_t error;
  };
  const Case cases[] = {
      {"no_sink", 16, nullptr, kPclStreamNoSink},
      {"size_zero", 0, &sink, kPclStreamBadSize},
      {"negative_size", -1, &sink, kPclStreamBadSize},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int16_t error = 0;
    EXPECT_EQ(PclStreamCreate(c.size, c.sink, 0, &error), nullptr);
    EXPECT_EQ(error, c.error);
  }
  int16_t error = 99;
  std::unique_ptr<PclOutStream> stream = PclStreamCreate(16, &sink, 7, &error);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(stream->freeCount, 16);
  EXPECT_EQ(stream->end - stream->buffer.get(), 16);
}

TEST(PclOutStream, HandsEachFullBufferToTheSinkBeforeTheNextByte) {
  RecordingSink sink;
  std::unique_ptr<PclOutStream> stream = PclStreamCreate(3, &sink, 7);
  for (char c : std::string("abcdefg")) PclStreamPutByte(*stream, static_cast<uint8_t>(c));
  EXPECT_EQ(sink.chunks, (std::vector<std::string>{"abc", "def"}));
  const uint8_t more[] = {'h', 'i', 'j', 'k', 'l', 'm', 'n'};
  PclStreamWrite(*stream, more, 7);
  EXPECT_EQ(sink.chunks, (std::vector<std::string>{"abc", "def", "ghi", "jkl"}));
  sink.answer = 17;
  EXPECT_EQ(PclStreamFlush(*stream), 17);
  EXPECT_EQ(PclStreamFlush(*stream), 17);
  EXPECT_EQ(sink.chunks, (std::vector<std::string>{"abc", "def", "ghi", "jkl", "mn", ""}));
  EXPECT_EQ(sink.contexts, std::vector<uint32_t>(6, 7));
  EXPECT_EQ(PclStreamDestroy(std::move(stream)), 14);
}

TEST(PclOutStream, DropsEverythingWhileInError) {
  RecordingSink sink;
  std::unique_ptr<PclOutStream> stream = PclStreamCreate(2, &sink, 0);
  stream->error = -3;
  const uint8_t bytes[] = {1, 2, 3, 4, 5};
  PclStreamPutByte(*stream, 9);
  PclStreamWrite(*stream, bytes, 5);
  EXPECT_TRUE(sink.chunks.empty());
  EXPECT_EQ(stream->total, 0);
  EXPECT_EQ(stream->freeCount, 2);
}

TEST(PclOutStream, ErrorSetByTheSinkStopsTheRestOfAWrite) {
  RecordingSink sink;
  sink.errorToSet = -1;
  std::unique_ptr<PclOutStream> stream = PclStreamCreate(2, &sink, 0);
  const uint8_t bytes[] = {'a', 'b', 'c', 'd', 'e'};
  PclStreamWrite(*stream, bytes, 5);
  EXPECT_EQ(sink.chunks, (std::vector<std::string>{"ab"}));
  EXPECT_EQ(stream->total, 2);
}

// A sink that forgets to make the buffer free again must not let the stream
// write past its block.
TEST(PclOutStream, StaysInsideItsBufferWhenTheSinkDoesNotReset) {
  RecordingSink sink;
  sink.resets = false;
  std::unique_ptr<PclOutStream> stream = PclStreamCreate(2, &sink, 0);
  const uint8_t bytes[] = {'a', 'b', 'c', 'd', 'e'};
  PclStreamWrite(*stream, bytes, 5);
  PclStreamPutByte(*stream, 'f');
  PclStreamFlush(*stream);
  EXPECT_EQ(sink.chunks, (std::vector<std::string>{"ab", "cd", "ef"}));
}

}  // namespace
