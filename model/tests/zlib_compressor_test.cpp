#include "model/objects/zlib_compressor.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <functional>
#include <string>
#include <vector>

#include "foundation/memory_byte_channel.h"
#include "model/tests/compression_test_support.h"

namespace {

using compression_test::Bytes;
using compression_test::Compress;
using compression_test::Decompress;
using compression_test::SettingsLikeText;

TEST(ZlibCompressorTest, RoundTripsAndReportsTheCompressedLengthAsThePosition) {
  const Bytes input = SettingsLikeText(4000);
  Bytes area(902, 0xEE);
  GMemoryByteChannel in(input.data(), static_cast<uint32_t>(input.size()));
  GMemoryByteChannel out(area.data(), static_cast<uint32_t>(area.size()), GMemoryByteChannel::kForWriting);
  ASSERT_TRUE(GZlibCompressor().Compress(in, out));
  const auto length = static_cast<uint32_t>(out.pubseekoff(0, std::ios::cur, std::ios::out));
  EXPECT_GT(length, 2u);
  EXPECT_EQ(out.WrittenSize(), length);
  EXPECT_EQ(area[length], 0xEE);

  Bytes decoded;
  ASSERT_TRUE(Decompress(Bytes(area.begin(), area.begin() + length), decoded));
  EXPECT_EQ(decoded, input);
}

TEST(ZlibCompressorTest, CompressWritesNothingWhenTheResultDoesNotFit) {
  const Bytes input = SettingsLikeText(3000);
  Bytes compressed;
  ASSERT_TRUE(Compress(input, compressed));
  struct Case {
    const char* name;
    Bytes input;
    size_t room;
  };
  // Bytes that do not repeat do not shrink, and the compressed form gets no
  // more room than the input's length.
  Bytes noise(64);
  for (size_t k = 0; k < noise.size(); ++k) noise[k] = static_cast<uint8_t>(k * 151 + 17);
  const Case cases[] = {
      {"room_one_byte_short", input, compressed.size() - 1},
      {"no_room", input, 0},
      {"input_that_does_not_shrink", noise, 1000},
      {"empty_input", Bytes{}, 1000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes area(c.room + 1, 0xEE);
    GMemoryByteChannel in(c.input.data(), static_cast<uint32_t>(c.input.size()));
    GMemoryByteChannel out(area.data(), static_cast<uint32_t>(c.room), GMemoryByteChannel::kForWriting);
    EXPECT_FALSE(GZlibCompressor().Compress(in, out));
    EXPECT_EQ(area, Bytes(c.room + 1, 0xEE));
    EXPECT_EQ(out.pubseekoff(0, std::ios::cur, std::ios::out), std::streampos(0));
  }
}

// The compressor streams through fixed blocks; its output is still zlib's
// one-call compress byte for byte, on inputs of one block and of many, and
// both refuse input that does not shrink.
TEST(ZlibCompressorTest, WritesWhatZlibsOneCallCompressWrites) {
  struct Case {
    const char* name;
    size_t length;
    uint32_t noiseMask;  // noise bits on top of settings-like text
  };
  const Case cases[] = {
      {"one_byte", 1, 0},
      {"settings", 4000, 0},
      {"just_under_a_block", 16383, 0},
      {"many_blocks", 300000, 0},
      {"many_blocks_of_noisy_data", 300000, 0x3F},
      {"noise_that_does_not_shrink", 100000, 0xFF},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes input = SettingsLikeText(c.length);
    uint32_t state = 99;
    for (uint8_t& b : input) {
      state = state * 1103515245u + 12345u;
      b = static_cast<uint8_t>(b ^ ((state >> 16) & c.noiseMask));
    }
    Bytes expected(input.size());
    uLongf length = expected.size();
    const bool zlibAccepts = compress(expected.data(), &length, input.data(), input.size()) == Z_OK;
    expected.resize(zlibAccepts ? length : 0);
    Bytes compressed;
    EXPECT_EQ(Compress(input, compressed), zlibAccepts);
    if (zlibAccepts) {
      EXPECT_EQ(compressed, expected);
    }
  }
}

TEST(ZlibCompressorTest, DecompressAnswersFalseForDataItCannotTrust) {
  Bytes good;
  ASSERT_TRUE(Compress(SettingsLikeText(2000), good));
  Bytes atLimit;
  Bytes pastLimit;
  ASSERT_TRUE(Compress(Bytes(GZlibCompressor::kMaxDecompressedSize, 'x'), atLimit));
  ASSERT_TRUE(Compress(Bytes(GZlibCompressor::kMaxDecompressedSize + 1, 'x'), pastLimit));
  struct Case {
    const char* name;
    Bytes input;
    bool accepted;
  };
  auto changed = [&](const std::function<void(Bytes&)>& change) {
    Bytes copy = good;
    change(copy);
    return copy;
  };
  const Case cases[] = {
      {"intact", good, true},
      {"exactly_the_limit", atLimit, true},
      {"one_byte_past_the_limit", pastLimit, false},
      {"empty", Bytes{}, false},
      {"header_only", Bytes(good.begin(), good.begin() + 2), false},
      {"cut_before_the_checksum", Bytes(good.begin(), good.end() - 4), false},
      {"cut_in_half", Bytes(good.begin(), good.begin() + static_cast<ptrdiff_t>(good.size() / 2)), false},
      {"bad_header", changed([](Bytes& b) { b[0] = 0x79; }), false},
      {"bad_checksum", changed([](Bytes& b) { b.back() ^= 0x01; }), false},
      {"corrupt_body", changed([](Bytes& b) { b[b.size() / 2] ^= 0xFF; }), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes decoded;
    EXPECT_EQ(Decompress(c.input, decoded), c.accepted);
  }
}

TEST(ZlibCompressorTest, DecompressFailsWhenTheOutputTakesFewerBytesThanWereDecoded) {
  const Bytes input = SettingsLikeText(4000);
  Bytes compressed;
  ASSERT_TRUE(Compress(input, compressed));
  Bytes decoded;
  EXPECT_FALSE(Decompress(compressed, decoded, static_cast<uint32_t>(input.size() - 1)));
  EXPECT_TRUE(Decompress(compressed, decoded, static_cast<uint32_t>(input.size())));
  EXPECT_EQ(decoded, input);
}

}  // namespace
