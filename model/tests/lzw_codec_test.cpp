#include "model/objects/lzw_codec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/memory_byte_channel.h"

namespace {

using Bytes = std::vector<uint8_t>;

// One code of an LZW stream with the width it is stored in.
struct Code {
  uint32_t value;
  uint32_t width;
  bool operator==(const Code&) const = default;
};

// The test's own packer: codes most significant bit first, the last byte
// padded with zero bits.
Bytes PackCodes(const std::vector<Code>& codes) {
  Bytes bytes;
  uint32_t used = 8;
  for (const Code& code : codes) {
    for (uint32_t bit = code.width; bit-- > 0;) {
      if (used == 8) {
        bytes.push_back(0);
        used = 0;
      }
      if ((code.value >> bit) & 1) bytes.back() |= static_cast<uint8_t>(0x80 >> used);
      ++used;
    }
  }
  return bytes;
}

// 9-bit codes, as a stream that never widens is stored.
std::vector<Code> NineBit(const std::vector<uint32_t>& values) {
  std::vector<Code> codes;
  for (uint32_t value : values) codes.push_back({value, 9});
  return codes;
}

// The test's own reader of the code layer: 9 bits to start, one more after
// each 257, back to 9 after 258, until fewer bits are left than a code
// takes (the padding of the last byte).
std::vector<Code> UnpackCodes(const Bytes& bytes) {
  std::vector<Code> codes;
  uint64_t position = 0;
  uint32_t width = 9;
  while (position + width <= bytes.size() * 8) {
    uint32_t value = 0;
    for (uint32_t k = 0; k < width; ++k, ++position) {
      value = (value << 1) | ((bytes[position / 8] >> (7 - position % 8)) & 1);
    }
    codes.push_back({value, width});
    if (value == 257) ++width;
    if (value == 258) width = 9;
  }
  return codes;
}

Bytes Encode(const Bytes& input) {
  GMemoryByteChannel in(input.data(), static_cast<uint32_t>(input.size()));
  Bytes buffer(input.size() * 2 + 16);
  GMemoryByteChannel out(buffer.data(), static_cast<uint32_t>(buffer.size()), GMemoryByteChannel::kForWriting);
  EXPECT_TRUE(GLzwCodec().Encode(in, out));
  buffer.resize(out.WrittenSize());
  return buffer;
}

// Decodes into a buffer of the given room; answers the codec's answer and
// leaves what was written in output.
bool Decode(const Bytes& input, Bytes& output, uint32_t room = 1u << 20) {
  GMemoryByteChannel in(input.data(), static_cast<uint32_t>(input.size()));
  output.assign(room, 0);
  GMemoryByteChannel out(output.data(), room, GMemoryByteChannel::kForWriting);
  const bool decoded = GLzwCodec().Decode(in, out);
  output.resize(out.WrittenSize());
  return decoded;
}

Bytes FromText(const std::string& text) { return Bytes(text.begin(), text.end()); }

// Bytes in which no two neighbours repeat a pair seen before (a de Bruijn
// sequence of all byte pairs, built by always taking the largest unused
// successor). Every byte after the first misses the dictionary, so each one
// is written as a literal and adds exactly one string.
Bytes UniquePairs(size_t length) {
  std::vector<bool> used(65536, false);
  Bytes bytes{0};
  while (bytes.size() < length) {
    const uint32_t last = bytes.back();
    int next = 255;
    while (next >= 0 && used[last * 256 + static_cast<uint32_t>(next)]) --next;
    if (next < 0) break;
    used[last * 256 + static_cast<uint32_t>(next)] = true;
    bytes.push_back(static_cast<uint8_t>(next));
  }
  return bytes;
}

TEST(LzwCodecTest, EncodesKnownVectorsAndDecodesThemBack) {
  struct Case {
    const char* name;
    std::string input;
    std::vector<uint32_t> codes;  // all 9 bits wide
    Bytes bytes;                  // expected stream; empty: the packed codes
  };
  const Case cases[] = {
      {"empty_input", "", {256, 256}, {0x80, 0x40, 0x00}},
      {"single_byte", "A", {65, 256}, {0x20, 0xC0, 0x00}},
      // 261 is named before the decoder has made it: the string it stands
      // for is rebuilt from the previous one.
      {"string_named_before_made", "ABABABA", {65, 66, 259, 261, 256}, {}},
      {"run_of_one_byte", "aaaaaa", {97, 259, 260, 256}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes expected = c.bytes.empty() ? PackCodes(NineBit(c.codes)) : c.bytes;
    const Bytes encoded = Encode(FromText(c.input));
    EXPECT_EQ(encoded, expected);
    EXPECT_EQ(UnpackCodes(encoded), NineBit(c.codes));
    Bytes decoded;
    ASSERT_TRUE(Decode(encoded, decoded));
    EXPECT_EQ(decoded, FromText(c.input));
  }
}

TEST(LzwCodecTest, WideningAndResetCodesStandWhereTheDictionaryCrossesALimit) {
  // The string made by the literal at index i has code 259 + i.
  struct Case {
    const char* name;
    size_t inputLength;
    uint32_t marker;       // 257 widen or 258 reset
    size_t literalBefore;  // index of the literal just before the marker
    uint32_t widthBefore;  // of that literal and of the marker
    uint32_t widthAfter;   // of the next literal
  };
  const Case cases[] = {
      {"code_511_made_widens_to_10_bits", 300, 257, 511 - 259, 9, 10},
      {"code_1023_made_widens_to_11_bits", 1100, 257, 1023 - 259, 10, 11},
      {"code_16383_made_widens_to_15_bits", 16300, 257, 16383 - 259, 14, 15},
      {"code_32767_made_resets_to_9_bits", 32600, 258, 0x7FFF - 259, 15, 9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes input = UniquePairs(c.inputLength);
    ASSERT_EQ(input.size(), c.inputLength);
    const std::vector<Code> codes = UnpackCodes(Encode(input));
    ASSERT_EQ(codes.back().value, 256u);

    // The literals in input order with the control codes between them.
    size_t literal = 0;
    std::vector<size_t> literalIndex;
    for (const Code& code : codes) literalIndex.push_back(code.value < 256 ? literal++ : SIZE_MAX);
    EXPECT_EQ(literal, input.size());
    size_t at = 0;
    while (at < codes.size() && literalIndex[at] != c.literalBefore) ++at;
    ASSERT_LT(at + 2, codes.size());
    EXPECT_EQ(codes[at], (Code{input[c.literalBefore], c.widthBefore}));
    EXPECT_EQ(codes[at + 1], (Code{c.marker, c.widthBefore}));
    EXPECT_EQ(codes[at + 2], (Code{input[c.literalBefore + 1], c.widthAfter}));

    Bytes decoded;
    ASSERT_TRUE(Decode(Encode(input), decoded));
    EXPECT_EQ(decoded, input);
  }
}

TEST(LzwCodecTest, RoundTripsRepetitiveDataAcrossResets) {
  // Words in a pseudo-random order: matches of every length, and enough
  // strings to pass a reset while long strings are being extended.
  const char* const words[] = {"tray ",    "bin ",   "media ", "duplex ", "letter ", "a4 ",    "copies ", "n-up ",
                               "collate ", "draft ", "gloss ", "legal ",  "manual ", "upper ", "lower ",  "staple "};
  Bytes input;
  for (uint32_t state = 12345; input.size() < 600000;) {
    state = state * 1103515245u + 12345u;
    const Bytes word = FromText(words[(state >> 16) % 16]);
    input.insert(input.end(), word.begin(), word.end());
  }
  const Bytes encoded = Encode(input);
  EXPECT_LT(encoded.size(), input.size() / 2);
  size_t resets = 0;
  for (const Code& code : UnpackCodes(encoded)) resets += code.value == 258;
  EXPECT_GE(resets, 1u);
  Bytes decoded;
  ASSERT_TRUE(Decode(encoded, decoded, static_cast<uint32_t>(input.size())));
  EXPECT_EQ(decoded, input);
}

// The encoder is tuned for speed; these digests (FNV-1a) were taken from the
// straightforward encoder it replaced, so any change of its output fails here.
TEST(LzwCodecTest, KeepsItsOutputOnLongInputsOfEveryKind) {
  struct Case {
    const char* name;
    uint32_t seed;
    uint32_t noise;  // mask of the noise bits added to a smooth ramp
    uint64_t digest;
  };
  const Case cases[] = {
      {"photograph_like", 7, 0x0F, 0x456B9D20E1683296u},
      {"noise", 8, 0xFF, 0x8318D1410A87C13Au},
      {"runs_of_few_values", 9, 0x00, 0xE2F3DFA68C0AB601u},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes input(400000);
    uint32_t state = c.seed;
    for (size_t k = 0; k < input.size(); ++k) {
      state = state * 1103515245u + 12345u;
      const auto ramp = static_cast<uint32_t>(c.noise == 0 ? (k / 97) % 3 : k / 1500 + k % 640 / 8);
      input[k] = static_cast<uint8_t>(ramp + ((state >> 16) & c.noise));
    }
    const Bytes encoded = Encode(input);
    uint64_t digest = 0xCBF29CE484222325u;
    for (const uint8_t b : encoded) digest = (digest ^ b) * 0x100000001B3u;
    EXPECT_EQ(digest, c.digest) << std::hex << digest;
    Bytes decoded;
    ASSERT_TRUE(Decode(encoded, decoded, static_cast<uint32_t>(input.size())));
    EXPECT_EQ(decoded, input);
  }
}

std::vector<Code> LiteralsWithoutReset(uint32_t count) {
  std::vector<Code> codes(count, Code{65, 9});
  codes.push_back({256, 9});
  return codes;
}

TEST(LzwCodecTest, DecoderAnswersWhetherTheStreamIsOneItAccepts) {
  struct Case {
    const char* name;
    std::vector<Code> codes;
    bool accepted;
    std::string output;  // what was written, also after a refusal
  };
  std::vector<Code> widenedPast15 = NineBit({65});
  for (uint32_t width = 9; width <= 15; ++width) widenedPast15.push_back({257, width});
  const Case cases[] = {
      {"named_before_made_at_start", NineBit({65, 259, 256}), true, "AAA"},
      {"reset_then_literal", NineBit({65, 258, 66, 256}), true, "AB"},
      {"reset_then_end", NineBit({65, 258, 256}), true, "A"},
      {"no_end_code", NineBit({65, 66}), false, "AB"},
      {"first_code_is_a_string", NineBit({300, 256}), false, ""},
      {"first_code_is_a_widening", NineBit({257, 65, 256}), false, ""},
      {"code_after_reset_is_a_string", NineBit({65, 66, 258, 259, 256}), false, "AB"},
      {"code_past_the_next_one", NineBit({65, 260, 256}), false, "A"},
      {"widening_past_15_bits", widenedPast15, false, "A"},
      // 32509 strings fill the codes 259 to 32767; the next one has no room.
      {"dictionary_full", LiteralsWithoutReset(1 + 32509), true, std::string(32510, 'A')},
      {"dictionary_overfull", LiteralsWithoutReset(1 + 32510), false, std::string(32510, 'A')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes output;
    EXPECT_EQ(Decode(PackCodes(c.codes), output), c.accepted);
    EXPECT_EQ(output, FromText(c.output));
  }
}

TEST(LzwCodecTest, StopsWhenTheInputEndsInsideACode) {
  Bytes stream = Encode(FromText("truncated settings stream"));
  for (size_t keep : {size_t{0}, size_t{1}, stream.size() - 2}) {
    SCOPED_TRACE(keep);
    Bytes output;
    EXPECT_FALSE(Decode(Bytes(stream.begin(), stream.begin() + static_cast<ptrdiff_t>(keep)), output));
  }
}

TEST(LzwCodecTest, AnOutputWithoutRoomFailsBothDirections) {
  const Bytes input = FromText("a settings stream that needs more than eight bytes");
  Bytes small(8);
  GMemoryByteChannel in(input.data(), static_cast<uint32_t>(input.size()));
  GMemoryByteChannel out(small.data(), static_cast<uint32_t>(small.size()), GMemoryByteChannel::kForWriting);
  EXPECT_FALSE(GLzwCodec().Encode(in, out));

  Bytes output;
  EXPECT_FALSE(Decode(Encode(input), output, 8));
  EXPECT_EQ(output, Bytes(input.begin(), input.begin() + 8));
}

TEST(LzwCodecTest, OneCodecServesSeveralCalls) {
  GLzwCodec codec;
  for (const std::string text : {"first call", "second, longer call: aaaaaaaaaaaaaaaa"}) {
    const Bytes input = FromText(text);
    Bytes encoded(256);
    GMemoryByteChannel in(input.data(), static_cast<uint32_t>(input.size()));
    GMemoryByteChannel out(encoded.data(), 256, GMemoryByteChannel::kForWriting);
    ASSERT_TRUE(codec.Encode(in, out));
    encoded.resize(out.WrittenSize());
    Bytes decoded(256);
    GMemoryByteChannel back(encoded.data(), static_cast<uint32_t>(encoded.size()));
    GMemoryByteChannel result(decoded.data(), 256, GMemoryByteChannel::kForWriting);
    ASSERT_TRUE(codec.Decode(back, result));
    decoded.resize(result.WrittenSize());
    EXPECT_EQ(decoded, input);
  }
}

}  // namespace
