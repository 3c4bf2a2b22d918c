#include "foundation/buffered_out_stream.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace {

class KeepingSink : public GBufferSink {
 public:
  int32_t Flush(GBufferedOutStream&, uint32_t, const uint8_t* bytes, int32_t count) override {
    chunks.emplace_back(reinterpret_cast<const char*>(bytes), static_cast<size_t>(count));
    return 0;
  }
  std::vector<std::string> chunks;
};

const uint8_t* Bytes(const char* text) { return reinterpret_cast<const uint8_t*>(text); }

TEST(GBufferedOutStream, TheTotalStopsAtTheLargestValue) {
  KeepingSink sink;
  std::unique_ptr<GBufferedOutStream> stream = GBufferedOutStream::Create(4, &sink, 0);
  ASSERT_NE(stream, nullptr);
  stream->total = std::numeric_limits<int32_t>::max() - 2;
  stream->Write(Bytes("abcdef"), 6);
  EXPECT_EQ(stream->total, std::numeric_limits<int32_t>::max());
  stream->PutByte('g');
  EXPECT_EQ(stream->total, std::numeric_limits<int32_t>::max());
}

TEST(GBufferedOutStream, WholeItemsMoveToAFreshBufferButBlocksFillEveryBuffer) {
  struct Case {
    const char* name;
    const char* first;
    const char* item;
    bool whole;
    std::vector<std::string> chunks;
  };
  const Case cases[] = {
      {"item_that_does_not_fit_goes_whole", "abc", "wxyz", true, {"abc", "wxyz"}},
      {"item_that_fits_stays", "ab", "xy", true, {"abxy"}},
      {"item_larger_than_the_buffer_is_split", "a", "0123456789", true, {"a012", "3456", "789"}},
      {"block_fills_the_buffer", "abc", "wxyz", false, {"abcw", "xyz"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    KeepingSink sink;
    std::unique_ptr<GBufferedOutStream> stream = GBufferedOutStream::Create(4, &sink, 0);
    stream->Write(Bytes(c.first), std::char_traits<char>::length(c.first));
    const size_t n = std::char_traits<char>::length(c.item);
    if (c.whole) {
      stream->WriteWhole(Bytes(c.item), n);
    } else {
      stream->Write(Bytes(c.item), n);
    }
    stream->Flush();
    EXPECT_EQ(sink.chunks, c.chunks);
  }
}

}  // namespace
