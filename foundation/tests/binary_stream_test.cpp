#include "foundation/binary_stream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <limits>
#include <sstream>
#include <string>

#include "foundation/memory_byte_channel.h"
#include "foundation/tests/stream_test_support.h"

namespace {

std::string Written(const std::function<void(GVirtualOutStream&)>& write) {
  StringChannel channel;
  GBinaryOutStream out(&channel);
  write(out);
  EXPECT_TRUE(out.IsGood());
  return channel.str();
}

TEST(GBinaryOutStream, EachValueIsItsBytesInMachineOrder) {
  struct Case {
    const char* name;
    std::function<void(GVirtualOutStream&)> write;
    std::string expected;
  };
  const int32_t ints[] = {1, -2};
  const uint16_t shorts[] = {0x0102, 0xFFFF};
  const double doubles[] = {1.0};
  const Case cases[] = {
      {"ushort", [](auto& s) { s.PutUShort(0x888F); }, Bytes({0x8F, 0x88})},
      {"short", [](auto& s) { s.PutShort(-2); }, Bytes({0xFE, 0xFF})},
      {"int_and_long", [](auto& s) { s.PutInt(5).PutLong(-1); }, Bytes({5, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF})},
      {"uint_and_ulong", [](auto& s) { s.PutUInt(0x01020304).PutULong(7); }, Bytes({4, 3, 2, 1, 7, 0, 0, 0})},
      {"float", [](auto& s) { s.PutFloat(1.0f); }, Bytes({0, 0, 0x80, 0x3F})},
      {"double", [](auto& s) { s.PutDouble(-2.0); }, Bytes({0, 0, 0, 0, 0, 0, 0, 0xC0})},
      {"characters_as_characters_or_numbers",
       [](auto& s) { s.PutChar('{').PutUChar(0xFF).PutCharValue('A').PutUCharValue(0x80); },
       Bytes({0x7B, 0xFF, 0x41, 0x80})},
      {"counted_string", [](auto& s) { s.PutString("abc", 3); }, Bytes({3, 0, 0, 0, 'a', 'b', 'c'})},
      {"counted_string_keeps_zero_bytes", [](auto& s) { s.PutString("a\0b", 3); }, Bytes({3, 0, 0, 0, 'a', 0, 'b'})},
      {"c_string", [](auto& s) { s.PutCString("hi"); }, Bytes({2, 0, 0, 0, 'h', 'i'})},
      {"arrays_have_no_count",
       [&](auto& s) { s.PutInts(ints, 2).PutUShorts(shorts, 2).PutChars("xy", 2).PutDoubles(doubles, 1); },
       Bytes({1, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, 0x02, 0x01, 0xFF, 0xFF, 'x', 'y', 0, 0, 0, 0, 0, 0, 0xF0, 0x3F})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Hex(Written(c.write)), Hex(c.expected));
  }
}

TEST(GBinaryStreams, EveryTypeRoundTrips) {
  StringChannel channel;
  GBinaryOutStream out(&channel);
  const uint32_t ulongs[] = {0, 0xFFFFFFFF};
  const int16_t shorts[] = {-32768, 32767};
  const float floats[] = {-0.5f, 3.25f};
  const uint8_t uchars[] = {0, 0x80, 0xFF};
  out.PutUShort(65535).PutShort(-300).PutULong(4000000000u).PutLong(-7).PutUInt(9).PutInt(-9);
  out.PutFloat(1.5f).PutDouble(1e300).PutUChar(0xFE).PutChar('q').PutCString("text");
  out.PutULongs(ulongs, 2).PutShorts(shorts, 2).PutFloats(floats, 2).PutUChars(uchars, 3);
  out.PutCharValue(-1).PutUCharValue(200);
  ASSERT_TRUE(out.Flush().IsGood());

  GBinaryInStream in(&channel);
  uint16_t us = 0;
  int16_t s = 0;
  uint32_t ul = 0, ui = 0;
  int32_t l = 0, i = 0;
  float f = 0;
  double d = 0;
  uint8_t uc = 0;
  char c = 0;
  char text[8];
  in.GetUShort(us).GetShort(s).GetULong(ul).GetLong(l).GetUInt(ui).GetInt(i).GetFloat(f).GetDouble(d);
  in.GetUChar(uc).GetChar(c).GetString(text, sizeof text);
  EXPECT_EQ(us, 65535);
  EXPECT_EQ(s, -300);
  EXPECT_EQ(ul, 4000000000u);
  EXPECT_EQ(l, -7);
  EXPECT_EQ(ui, 9u);
  EXPECT_EQ(i, -9);
  EXPECT_EQ(f, 1.5f);
  EXPECT_EQ(d, 1e300);
  EXPECT_EQ(uc, 0xFE);
  EXPECT_EQ(c, 'q');
  EXPECT_STREQ(text, "text");
  uint32_t ulongsIn[2];
  int16_t shortsIn[2];
  float floatsIn[2];
  uint8_t ucharsIn[3];
  in.GetULongs(ulongsIn, 2).GetShorts(shortsIn, 2).GetFloats(floatsIn, 2).GetUChars(ucharsIn, 3);
  EXPECT_EQ(0, std::memcmp(ulongsIn, ulongs, sizeof ulongs));
  EXPECT_EQ(0, std::memcmp(shortsIn, shorts, sizeof shorts));
  EXPECT_EQ(0, std::memcmp(floatsIn, floats, sizeof floats));
  EXPECT_EQ(0, std::memcmp(ucharsIn, uchars, sizeof uchars));
  char cv = 0;
  uint8_t ucv = 0;
  in.GetCharValue(cv).GetUCharValue(ucv);
  EXPECT_EQ(cv, -1);
  EXPECT_EQ(ucv, 200);
  EXPECT_TRUE(in.IsGood());
  // Everything written was read: the next byte is the end.
  EXPECT_EQ(in.Get(), -1);
}

TEST(GBinaryInStream, TruncatedValuesFailAndNeverReadAsValid) {
  struct Case {
    const char* name;
    std::string data;
    std::function<void(GVirtualInStream&)> read;
  };
  // clang-format off
  const Case cases[] = {
      {"empty_short", "", [](auto& s) { int16_t v = 1; s.GetShort(v); EXPECT_EQ(v, 0); }},
      {"half_an_int", Bytes({1, 2}), [](auto& s) { int32_t v = 1; s.GetInt(v); EXPECT_EQ(v, 0x0201); }},
      {"seven_of_eight_double_bytes", std::string(7, '\1'), [](auto& s) { double v; s.GetDouble(v); }},
      {"array_one_element_short", Bytes({1, 0, 2}), [](auto& s) { uint16_t v[2]; s.GetUShorts(v, 2); }},
      {"string_count_cut", Bytes({3, 0}), [](auto& s) { char b[4] = "xx"; s.GetString(b, 4); EXPECT_STREQ(b, ""); }},
      {"string_characters_cut", Bytes({3, 0, 0, 0, 'a'}),
       [](auto& s) { char b[4]; s.GetString(b, 4); EXPECT_STREQ(b, "a"); }},
      {"character_at_end", "", [](auto& s) { char v = 0; s.GetChar(v); EXPECT_EQ(static_cast<uint8_t>(v), 0xFF); }},
      {"uchar_at_end", "", [](auto& s) { uint8_t v = 0; s.GetUChar(v); EXPECT_EQ(v, 0xFF); }},
      {"char_value_at_end", "", [](auto& s) { char v = 0; s.GetCharValue(v); }},
      {"get_at_end", "", [](auto& s) { EXPECT_EQ(s.Get(), -1); }},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GMemoryByteChannel channel(c.data.data(), static_cast<uint32_t>(c.data.size()));
    GBinaryInStream in(&channel);
    c.read(in);
    EXPECT_EQ(in.State(), GStreamStateAdapter::kEof | GStreamStateAdapter::kFail);
    EXPECT_TRUE(in.IsEof());
    EXPECT_TRUE(in.IsFail());
  }
}

TEST(GBinaryInStream, LongStringIsCutSkippedAndTheNextValueLinesUp) {
  const std::string data = Bytes({6, 0, 0, 0, 'a', 'b', 'c', 'd', 'e', 'f', 0x2A, 0, 0, 0});
  GMemoryByteChannel channel(data.data(), static_cast<uint32_t>(data.size()));
  GBinaryInStream in(&channel);
  char buffer[4];
  in.GetString(buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "abc");
  EXPECT_EQ(in.State(), GStreamStateAdapter::kFail);
  in.SetState(0);
  int32_t next = 0;
  in.GetInt(next);
  EXPECT_EQ(next, 42);
}

TEST(GBinaryInStream, CorruptCountFailsWithoutWaitingForFourGigabytes) {
  const std::string data = Bytes({0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b'});
  GMemoryByteChannel channel(data.data(), static_cast<uint32_t>(data.size()));
  GBinaryInStream in(&channel);
  char buffer[8];
  in.GetString(buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "ab");
  EXPECT_TRUE(in.IsEof());
  EXPECT_TRUE(in.IsFail());
}

TEST(GBinaryInStream, CanHoldComparesACountWithTheBytesLeft) {
  const std::string data(10, 'x');
  GMemoryByteChannel channel(data.data(), static_cast<uint32_t>(data.size()));
  GBinaryInStream in(&channel);
  char two[2];
  in.GetChars(two, 2);
  EXPECT_TRUE(in.CanHold(8, 1));
  EXPECT_FALSE(in.CanHold(9, 1));
  EXPECT_TRUE(in.CanHold(4, 2));
  EXPECT_FALSE(in.CanHold(5, 2));
  EXPECT_FALSE(in.CanHold(0xFFFFFFFF, 4));
  // Asking does not move the read position.
  char rest[8];
  in.GetChars(rest, 8);
  EXPECT_TRUE(in.IsGood());
}

// A channel that refuses every write and whose flush fails.
class RefusingChannel : public std::streambuf {
 protected:
  int sync() override { return -1; }
};

TEST(GBinaryOutStream, ShortWriteFailsAndFailedFlushIsBad) {
  char buffer[5];
  GMemoryByteChannel channel(buffer, sizeof buffer, GMemoryByteChannel::kForWriting);
  GBinaryOutStream out(&channel);
  out.PutInt(1);
  EXPECT_TRUE(out.IsGood());
  out.PutInt(2);
  EXPECT_EQ(out.State(), GStreamStateAdapter::kFail);
  EXPECT_EQ(channel.WrittenSize(), 5u);

  RefusingChannel refusing;
  GBinaryOutStream flushed(&refusing);
  flushed.PutChar('x');
  EXPECT_EQ(flushed.State(), GStreamStateAdapter::kFail);
  flushed.Flush();
  EXPECT_TRUE(flushed.IsBad());
  // A bad stream also counts as failed.
  flushed.SetState(GStreamStateAdapter::kBad);
  EXPECT_TRUE(flushed.IsFail());
}

TEST(GBinaryStreams, CharacterStreamsLendTheirChannelAndNullChannelIsBad) {
  std::stringstream text(std::ios::in | std::ios::out | std::ios::binary);
  GBinaryOutStream out(static_cast<std::ostream&>(text));
  out.PutUShort(0x4142);
  EXPECT_EQ(text.str(), "BA");
  GBinaryInStream in(static_cast<std::istream&>(text));
  uint16_t value = 0;
  in.GetUShort(value);
  EXPECT_EQ(value, 0x4142);

  GBinaryOutStream nowhere(static_cast<GByteChannel*>(nullptr));
  EXPECT_TRUE(nowhere.IsBad());
  nowhere.PutInt(1).Flush();
  GBinaryInStream nothing(static_cast<GByteChannel*>(nullptr));
  EXPECT_EQ(nothing.Get(), -1);
  EXPECT_TRUE(nothing.IsBad());
}

TEST(GMemoryByteChannel, SeeksWithinWhatIsThereAndEndsAtWhatWasWritten) {
  char buffer[8];
  GMemoryByteChannel out(buffer, sizeof buffer, GMemoryByteChannel::kForWriting);
  EXPECT_EQ(out.pubseekoff(0, std::ios::end, std::ios::out), std::streampos(0));
  out.sputn("abcd", 4);
  EXPECT_EQ(out.pubseekoff(0, std::ios::end, std::ios::out), std::streampos(4));
  EXPECT_EQ(out.pubseekpos(1, std::ios::out), std::streampos(1));
  out.sputc('B');
  EXPECT_EQ(out.WrittenSize(), 4u);
  EXPECT_EQ(std::string(buffer, 4), "aBcd");
  EXPECT_EQ(out.pubseekpos(9, std::ios::out), std::streampos(-1));
  // A writing channel does not read, a reading one does not write.
  EXPECT_EQ(out.pubseekoff(0, std::ios::cur, std::ios::in), std::streampos(-1));

  const char data[] = "xyz";
  GMemoryByteChannel in(data, 3);
  EXPECT_EQ(in.sputc('a'), std::char_traits<char>::eof());
  EXPECT_EQ(in.pubseekoff(-1, std::ios::end, std::ios::in), std::streampos(2));
  EXPECT_EQ(in.sbumpc(), 'z');
  EXPECT_EQ(in.sbumpc(), std::char_traits<char>::eof());
  EXPECT_EQ(in.pubseekoff(-4, std::ios::end, std::ios::in), std::streampos(-1));
}

}  // namespace
