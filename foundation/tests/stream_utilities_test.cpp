#include "foundation/stream_utilities.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "foundation/binary_stream.h"
#include "foundation/endian_stream.h"
#include "foundation/memory_byte_channel.h"
#include "foundation/tests/stream_test_support.h"

namespace {

// Counts flushes, so the test sees that StreamFlush reaches the channel.
class CountingChannel : public StringChannel {
 public:
  int syncs = 0;

 protected:
  int sync() override {
    ++syncs;
    return 0;
  }
};

TEST(StreamFlush, FlushesAndAnswersTheStream) {
  CountingChannel channel;
  GBinaryOutStream out(&channel);
  EXPECT_EQ(&StreamFlush(out), &out);
  EXPECT_EQ(channel.syncs, 1);
}

TEST(ReadIntoNewCell, EachTypeReadsThroughItsOwnRead) {
  // A big-endian writer that stored short and int in 2 bytes, long in 8:
  // each cell must use the read of its own type to come out right.
  const std::string data = Bytes({0x65, 0x73, 0x01, 0x01, 2, 2, 8, 2, 4}) +
                           Bytes({'c', 0xFE, 0xFF, 0xFE, 0xFF, 0xFE, 0xFF, 0xFE, 0xFF, 0xFE}) +
                           Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFD}) + Bytes({0, 0, 0, 0, 0, 0, 0, 9}) +
                           Bytes({0x3F, 0x80, 0, 0}) + Bytes({0x40, 0, 0, 0, 0, 0, 0, 0});
  GMemoryByteChannel channel(data.data(), static_cast<uint32_t>(data.size()));
  GEndianInStream in(&channel);
  char* c = nullptr;
  uint8_t* uc = nullptr;
  int16_t* s = nullptr;
  uint16_t* us = nullptr;
  int32_t* i = nullptr;
  uint32_t* ui = nullptr;
  int32_t* l = nullptr;
  uint32_t* ul = nullptr;
  float* f = nullptr;
  double* d = nullptr;
  ReadIntoNewCell(in, c);
  ReadIntoNewCell(in, uc);
  ReadIntoNewCell(in, s);
  ReadIntoNewCell(in, us);
  ReadIntoNewCell(in, i);
  ReadIntoNewCell(in, ui);
  ReadLongIntoNewCell(in, l);
  ReadULongIntoNewCell(in, ul);
  ReadIntoNewCell(in, f);
  ReadIntoNewCell(in, d);
  std::unique_ptr<char> cCell(c);
  std::unique_ptr<uint8_t> ucCell(uc);
  std::unique_ptr<int16_t> sCell(s);
  std::unique_ptr<uint16_t> usCell(us);
  std::unique_ptr<int32_t> iCell(i), lCell(l);
  std::unique_ptr<uint32_t> uiCell(ui), ulCell(ul);
  std::unique_ptr<float> fCell(f);
  std::unique_ptr<double> dCell(d);
  EXPECT_TRUE(in.IsGood());
  EXPECT_EQ(*c, 'c');
  EXPECT_EQ(*uc, 0xFE);
  EXPECT_EQ(*s, -2);
  EXPECT_EQ(*us, 0xFFFE);
  EXPECT_EQ(*i, -2);
  EXPECT_EQ(*ui, 0xFFFEu);
  EXPECT_EQ(*l, -3);
  EXPECT_EQ(*ul, 9u);
  EXPECT_EQ(*f, 1.0f);
  EXPECT_EQ(*d, 2.0);
}

TEST(ReadIntoNewCell, CellIsTheCallersEvenWhenTheReadFails) {
  GMemoryByteChannel channel("", 0);
  GBinaryInStream in(&channel);
  int32_t* cell = nullptr;
  ReadIntoNewCell(in, cell);
  std::unique_ptr<int32_t> owned(cell);
  ASSERT_NE(cell, nullptr);
  EXPECT_EQ(*cell, 0);
  EXPECT_TRUE(in.IsFail());
}

}  // namespace
