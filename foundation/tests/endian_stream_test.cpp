#include "foundation/endian_stream.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "foundation/memory_byte_channel.h"
#include "foundation/testing/recording_error_handler.h"
#include "foundation/tests/stream_test_support.h"

namespace {

const std::string kLittleHeader = Bytes({0x65, 0x73, 0x01, 0x00, 2, 4, 4, 2, 4});
const std::string kBigHeader = Bytes({0x65, 0x73, 0x01, 0x01, 2, 4, 4, 2, 4});

// Big-endian data after a header declaring the writer's sizes.
std::string BigEndianHeader(int shortSize, int intSize, int longSize, int sizeTypeSize) {
  return Bytes({0x65, 0x73, 0x01, 0x01, shortSize, intSize, longSize, 2, sizeTypeSize});
}

TEST(GEndianOutStream, HeaderThenValuesInTheChosenOrder) {
  struct Case {
    const char* name;
    uint32_t order;
    std::function<void(GVirtualOutStream&)> write;
    std::string expected;
  };
  const uint16_t shorts[] = {0x0102, 0x0304};
  const double one[] = {1.0};
  const Case cases[] = {
      {"machine_order_header_only", 2, [](auto&) {}, kLittleHeader},
      {"big_endian_int", 1, [](auto& s) { s.PutInt(1); }, kBigHeader + Bytes({0, 0, 0, 1})},
      {"little_endian_int", 0, [](auto& s) { s.PutInt(1); }, kLittleHeader + Bytes({1, 0, 0, 0})},
      {"big_endian_short_array", 1, [&](auto& s) { s.PutUShorts(shorts, 2); }, kBigHeader + Bytes({1, 2, 3, 4})},
      {"big_endian_double", 1, [&](auto& s) { s.PutDoubles(one, 1); },
       kBigHeader + Bytes({0x3F, 0xF0, 0, 0, 0, 0, 0, 0})},
      {"big_endian_string_count_then_bytes", 1, [](auto& s) { s.PutCString("ab").PutString("c", 1); },
       kBigHeader + Bytes({0, 0, 0, 2, 'a', 'b', 0, 0, 0, 1, 'c'})},
      {"characters_are_never_swapped", 1, [](auto& s) { s.PutChar('x').PutUCharValue(0x80); },
       kBigHeader + Bytes({'x', 0x80})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StringChannel channel;
    GEndianOutStream out(&channel, c.order);
    c.write(out);
    EXPECT_TRUE(out.IsGood());
    EXPECT_EQ(Hex(channel.str()), Hex(c.expected));
  }
}

TEST(GEndianOutStream, LongArraysAreSwappedAcrossBlocks) {
  std::vector<uint32_t> values(300);
  for (uint32_t i = 0; i < values.size(); ++i) values[i] = i;
  StringChannel channel;
  GEndianOutStream out(&channel, 1);
  out.PutUInts(values.data(), static_cast<uint32_t>(values.size()));
  GEndianInStream in(&channel);
  std::vector<uint32_t> back(values.size());
  in.GetUInts(back.data(), static_cast<uint32_t>(back.size()));
  EXPECT_TRUE(in.IsGood());
  EXPECT_EQ(back, values);
  EXPECT_EQ(channel.str().substr(9 + 4 * 299, 4), Bytes({0, 0, 0x01, 0x2B}));
}

TEST(GEndianOutStream, ChannelThatIsNotEmptyRaisesAndWritesNoHeader) {
  RecordingErrorHandler errors;
  StringChannel channel("already here");
  GEndianOutStream out(&channel);
  ASSERT_EQ(errors.Count(), 1u);
  EXPECT_EQ(errors.Records()[0].kind, "stream");
  EXPECT_EQ(errors.Records()[0].text, "[STREAM] Bad input stream");
  EXPECT_TRUE(out.IsBad());
  EXPECT_EQ(channel.str(), "already here");
}

TEST(GEndianInStream, ConvertsFromTheWritersSizesAndOrder) {
  struct Case {
    const char* name;
    std::string data;
    std::function<int64_t(GVirtualInStream&)> read;
    int64_t expected;
    bool fails;
  };
  const auto readLong = [](GVirtualInStream& s) {
    int32_t v = 0;
    s.GetLong(v);
    return int64_t{v};
  };
  const auto readULong = [](GVirtualInStream& s) {
    uint32_t v = 0;
    s.GetULong(v);
    return int64_t{v};
  };
  const auto readShort = [](GVirtualInStream& s) {
    int16_t v = 0;
    s.GetShort(v);
    return int64_t{v};
  };
  const auto readInt = [](GVirtualInStream& s) {
    int32_t v = 0;
    s.GetInt(v);
    return int64_t{v};
  };
  const auto readUInt = [](GVirtualInStream& s) {
    uint32_t v = 0;
    s.GetUInt(v);
    return int64_t{v};
  };
  const std::string long8 = BigEndianHeader(2, 4, 8, 4);
  const Case cases[] = {
      {"long8_minus_two", long8 + Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE}), readLong, -2, false},
      {"long8_too_large_keeps_low_bytes", long8 + Bytes({0, 0, 0, 1, 0, 0, 0, 0}), readLong, 0, true},
      {"long8_positive_with_top_bit_does_not_fit_signed", long8 + Bytes({0, 0, 0, 0, 0x80, 0, 0, 0}), readLong,
       -2147483648LL, true},
      {"ulong8_with_top_bit_fits_unsigned", long8 + Bytes({0, 0, 0, 0, 0x80, 0, 0, 0}), readULong, 0x80000000LL, false},
      {"ulong8_all_ones_does_not_fit", long8 + Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), readULong,
       0xFFFFFFFFLL, true},
      {"int2_negative_widens_with_sign", BigEndianHeader(2, 2, 4, 4) + Bytes({0xFF, 0xFE}), readInt, -2, false},
      {"uint2_widens_with_zeros", BigEndianHeader(2, 2, 4, 4) + Bytes({0xFF, 0xFE}), readUInt, 0xFFFE, false},
      {"short1_negative", BigEndianHeader(1, 4, 4, 4) + Bytes({0x80}), readShort, -128, false},
      {"short4_little_endian", Bytes({0x65, 0x73, 0x01, 0x00, 4, 4, 4, 2, 4}) + Bytes({0x34, 0x12, 0, 0}), readShort,
       0x1234, false},
      {"short4_little_endian_too_large", Bytes({0x65, 0x73, 0x01, 0x00, 4, 4, 4, 2, 4}) + Bytes({0x34, 0x12, 1, 0}),
       readShort, 0x1234, true},
      {"same_size_big_endian", kBigHeader + Bytes({0x12, 0x34, 0x56, 0x78}), readInt, 0x12345678, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GMemoryByteChannel channel(c.data.data(), static_cast<uint32_t>(c.data.size()));
    GEndianInStream in(&channel);
    EXPECT_EQ(c.read(in), c.expected);
    EXPECT_EQ(in.State(), c.fails ? GStreamStateAdapter::kFail : 0u);
  }
}

TEST(GEndianInStream, ArraysOfOtherSizesConvertElementByElement) {
  const std::string data = BigEndianHeader(2, 8, 4, 4) +
                           Bytes({0, 0, 0, 0, 0, 0, 0, 7, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xF9, 0, 0});
  GMemoryByteChannel channel(data.data(), static_cast<uint32_t>(data.size()));
  GEndianInStream in(&channel);
  EXPECT_EQ(in.IntSize(), 8u);
  int32_t values[3] = {1, 1, 1};
  in.GetInts(values, 3);
  EXPECT_EQ(values[0], 7);
  EXPECT_EQ(values[1], -7);
  // The third ran out of data: it reads as 0 and the stream has ended.
  EXPECT_EQ(values[2], 0);
  EXPECT_EQ(in.State(), GStreamStateAdapter::kEof | GStreamStateAdapter::kFail);
}

TEST(GEndianStreams, BigEndianRoundTripOfEveryKind) {
  StringChannel channel;
  GEndianOutStream out(&channel, 1);
  const int16_t shorts[] = {-1, 2};
  const double doubles[] = {0.1, -1e-300};
  out.PutUShort(0xABCD).PutShort(-2).PutULong(0xDEADBEEF).PutLong(-3).PutUInt(4).PutInt(-5);
  out.PutFloat(0.25f).PutDouble(-1.0 / 3).PutCString("hello").PutChar('z').PutShorts(shorts, 2);
  out.PutDoubles(doubles, 2);

  GEndianInStream in(&channel);
  EXPECT_EQ(in.WriterByteOrder(), 1u);
  uint16_t us;
  int16_t s;
  uint32_t ul, ui;
  int32_t l, i;
  float f;
  double d;
  char text[6];
  char c;
  int16_t shortsIn[2];
  double doublesIn[2];
  in.GetUShort(us).GetShort(s).GetULong(ul).GetLong(l).GetUInt(ui).GetInt(i).GetFloat(f).GetDouble(d);
  in.GetString(text, sizeof text).GetChar(c).GetShorts(shortsIn, 2).GetDoubles(doublesIn, 2);
  EXPECT_TRUE(in.IsGood());
  EXPECT_EQ(us, 0xABCD);
  EXPECT_EQ(s, -2);
  EXPECT_EQ(ul, 0xDEADBEEF);
  EXPECT_EQ(l, -3);
  EXPECT_EQ(ui, 4u);
  EXPECT_EQ(i, -5);
  EXPECT_EQ(f, 0.25f);
  EXPECT_EQ(d, -1.0 / 3);
  EXPECT_STREQ(text, "hello");
  EXPECT_EQ(c, 'z');
  EXPECT_EQ(shortsIn[0], -1);
  EXPECT_EQ(shortsIn[1], 2);
  EXPECT_EQ(doublesIn[0], 0.1);
  EXPECT_EQ(doublesIn[1], -1e-300);
}

TEST(GEndianInStream, BadHeadersRaiseAndLeaveTheStreamFailedAndBad) {
  struct Case {
    const char* name;
    std::string data;
  };
  const Case cases[] = {
      {"empty", ""},
      {"cut_after_five_bytes", kLittleHeader.substr(0, 5)},
      {"wrong_first_byte", Bytes({0x66, 0x73, 0x01, 0x00, 2, 4, 4, 2, 4})},
      {"wrong_version", Bytes({0x65, 0x73, 0x02, 0x00, 2, 4, 4, 2, 4})},
      {"size_zero", Bytes({0x65, 0x73, 0x01, 0x00, 2, 0, 4, 2, 4})},
      {"size_nine", Bytes({0x65, 0x73, 0x01, 0x00, 2, 4, 9, 2, 4})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingErrorHandler errors;
    GMemoryByteChannel channel(c.data.data(), static_cast<uint32_t>(c.data.size()));
    GEndianInStream in(&channel);
    EXPECT_EQ(errors.Texts(), std::vector<std::string>{"[STREAM] Bad input stream"});
    EXPECT_EQ(errors.Records()[0].kind, "stream");
    EXPECT_TRUE(in.IsBad());
    EXPECT_TRUE(in.IsFail());
  }
}

TEST(GEndianInStream, StringWithUnreadableCountIsEmptyFailedAndBad) {
  const std::string data = BigEndianHeader(2, 4, 4, 8) + Bytes({0, 0, 0, 1, 0, 0, 0, 3, 'a', 'b', 'c'});
  GMemoryByteChannel channel(data.data(), static_cast<uint32_t>(data.size()));
  GEndianInStream in(&channel);
  char buffer[8] = "junk";
  in.GetString(buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(in.State(), GStreamStateAdapter::kFail | GStreamStateAdapter::kBad);

  const std::string good = BigEndianHeader(2, 4, 4, 8) + Bytes({0, 0, 0, 0, 0, 0, 0, 3, 'a', 'b', 'c'});
  GMemoryByteChannel goodChannel(good.data(), static_cast<uint32_t>(good.size()));
  GEndianInStream goodIn(&goodChannel);
  goodIn.GetString(buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "abc");
  EXPECT_TRUE(goodIn.IsGood());
}

TEST(GEndianInStream, CanHoldAllowsForNarrowerStoredValues) {
  const std::string data = BigEndianHeader(1, 4, 4, 4) + std::string(6, '\0');
  GMemoryByteChannel channel(data.data(), static_cast<uint32_t>(data.size()));
  GEndianInStream in(&channel);
  // Shorts may be stored in one byte each, so six bytes may hold six.
  EXPECT_TRUE(in.CanHold(6, 2));
  EXPECT_FALSE(in.CanHold(7, 2));
  EXPECT_FALSE(in.CanHold(0x80000000, 4));
}

}  // namespace
