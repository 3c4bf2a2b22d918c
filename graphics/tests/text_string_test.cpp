// Tests of the text string: taking codes over, the conversions between
// encodings, equality and the stored form.
#include "graphics/fonts/text_string.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/fonts/glyph_code_mapper.h"
#include "graphics/testing/counting_glyph_code_mapper.h"
#include "graphics/tests/stored_parts.h"
#include "model/os/memory_os_factory.h"
#include "model/os/unicode.h"
#include "model/testing/round_trip.h"

namespace {

std::vector<uint16_t> CodesOf(const GTextString& text) {
  std::vector<uint16_t> codes;
  for (uint16_t i = 0; i < text.GetLength(); ++i) codes.push_back(text.GetCodeAt(i));
  return codes;
}

GTextString Text(const std::vector<uint16_t>& codes, int32_t codeSize, int32_t encoding) {
  if (codeSize == 1)
    return GTextString(GCodeBlock<uint8_t>(std::vector<uint8_t>(codes.begin(), codes.end())), encoding);
  return GTextString(GCodeBlock<uint16_t>(codes), encoding);
}

TEST(TextString, BorrowsCodesUntilMadeOwned) {
  const uint8_t bytes[] = {'a', 'b', 'c'};
  GTextString text(GCodeBlock<uint8_t>(bytes, 3), 4);
  EXPECT_EQ(text.GetLength(), 3);
  EXPECT_EQ(text.GetCodeSize(), 1);
  EXPECT_EQ(text.GetEncoding(), 4);
  EXPECT_EQ(text.GetCodes(), bytes);

  // A copy owns its codes at once; the original only when asked.
  const GTextString copy(text);
  EXPECT_NE(copy.GetCodes(), bytes);
  EXPECT_EQ(CodesOf(copy), CodesOf(text));
  text.MakeOwned();
  EXPECT_NE(text.GetCodes(), bytes);
  EXPECT_EQ(CodesOf(text), (std::vector<uint16_t>{'a', 'b', 'c'}));

  const GTextString empty(GCodeBlock<uint16_t>(), 16);
  EXPECT_EQ(empty.GetLength(), 0);
  EXPECT_EQ(empty.GetCodes(), nullptr);
}

// The stand-in factory's converter, on the platform's code pages.
class TextStringConversion : public ::testing::Test {
 protected:
  void SetUp() override { GOSFactory::SetInstance(&factory_); }
  void TearDown() override { GOSFactory::SetInstance(nullptr); }

 private:
  GMemoryOSFactory factory_;
};

TEST_F(TextStringConversion, FollowsTheFirstRuleThatFits) {
  struct Case {
    const char* name;
    std::vector<uint16_t> codes;
    int32_t codeSize;
    int32_t from;
    int32_t to;
    int32_t expectedSize;
    std::vector<uint16_t> expected;
  };
  const Case cases[] = {
      {"same_encoding_is_a_copy", {0x3042, 0x41}, 2, 16, 16, 2, {0x3042, 0x41}},
      {"same_encoding_keeps_bytes", {0x80, 0x41}, 1, 4, 4, 1, {0x80, 0x41}},
      {"unicode_to_single_byte_narrows", {0x20AC, 0x41}, 2, 16, 4, 1, {0x80, 0x41}},
      {"unicode_without_that_character", {0x3042}, 2, 16, 4, 1, {0}},
      {"unicode_to_double_byte", {0x3042, 0x41}, 2, 16, 17, 2, {0x82A0, 0x41}},
      {"double_byte_to_unicode", {0x82A0, 0x41}, 2, 17, 16, 2, {0x3042, 0x41}},
      {"single_byte_to_unicode_widens", {0x80, 0x41}, 1, 4, 16, 2, {0x20AC, 0x41}},
      {"symbol_to_unicode", {0x41}, 1, 3, 16, 2, {0xF041}},
      {"glyph_indices_do_not_convert", {5, 0x300}, 2, 1, 16, 1, {0, 0}},
      {"device_codes_do_not_convert", {5, 0x300}, 2, 2, 4, 1, {0, 0}},
      {"nothing_converts_to_glyph_indices", {0x41}, 2, 16, 1, 1, {0}},
      {"unicode_to_symbol", {0xF041, 0x41}, 2, 16, 3, 1, {0x41, 0}},
      {"other_conversions_give_16_bit_codes", {0x41}, 1, 4, 17, 2, {0x41}},
      {"unicode_to_korean", {0xAC00}, 2, 16, 20, 2, {0xB0A1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const GTextString source = Text(c.codes, c.codeSize, c.from);
    const GTextString converted(source, c.to, nullptr);
    EXPECT_EQ(converted.GetEncoding(), c.to);
    EXPECT_EQ(converted.GetCodeSize(), c.expectedSize);
    EXPECT_EQ(CodesOf(converted), c.expected);
    EXPECT_NE(converted.GetCodes(), source.GetCodes());
  }
}

TEST(TextStringMapping, GivesDeviceCodesTo16BitCodesOnly) {
  CountingGlyphCodeMapper mapper;
  const GTextString wide = Text({0x41, 0x4E00, 0x4E01, 0x4E00}, 2, 16);
  const GTextString mapped(wide, GTextString::kMappedEncoding, &mapper);
  EXPECT_EQ(mapped.GetCodeSize(), 2);
  EXPECT_EQ(CodesOf(mapped), (std::vector<uint16_t>{0x41, 256, 257, 256}));
  EXPECT_EQ(mapper.advances, 2);

  const GTextString narrow = Text({0xE9, 0x41}, 1, 4);
  const GTextString copied(narrow, GTextString::kMappedEncoding, &mapper);
  EXPECT_EQ(copied.GetCodeSize(), 1);
  EXPECT_EQ(CodesOf(copied), (std::vector<uint16_t>{0xE9, 0x41}));

  // Without a mapper there is no device code to give.
  EXPECT_EQ(CodesOf(GTextString(wide, GTextString::kMappedEncoding, nullptr)), (std::vector<uint16_t>{0, 0, 0, 0}));
}

// Only where the process has no converter yet: once made it stays.
TEST(TextStringWithoutConverter, ConvertsEveryCodeToZero) {
  GOSFactory::SetInstance(nullptr);
  if (GetUnicodeConverter() != nullptr) GTEST_SKIP() << "the process already holds a converter";
  const GTextString source = Text({0x41, 0x3042}, 2, 16);
  EXPECT_EQ(CodesOf(GTextString(source, 4, nullptr)), (std::vector<uint16_t>{0, 0}));
  EXPECT_EQ(CodesOf(GTextString(source, 17, nullptr)), (std::vector<uint16_t>{0, 0}));
  EXPECT_EQ(CodesOf(GTextString(Text({0x82A0}, 2, 17), 16, nullptr)), (std::vector<uint16_t>{0}));
}

TEST(TextString, SameContentComparesEveryField) {
  const uint16_t borrowed[] = {1, 2};
  const GTextString base(GCodeBlock<uint16_t>(borrowed, 2), 16);
  struct Case {
    const char* name;
    GTextString other;
    bool same;
  };
  const Case cases[] = {
      {"the_same_borrowed_codes", GTextString(GCodeBlock<uint16_t>(borrowed, 2), 16), true},
      {"an_owned_copy", Text({1, 2}, 2, 16), true},
      {"another_code", Text({1, 3}, 2, 16), false},
      {"another_encoding", Text({1, 2}, 2, 17), false},
      {"another_code_size", Text({1, 2}, 1, 16), false},
      {"shorter", Text({1}, 2, 16), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(base.SameContent(c.other), c.same);
    EXPECT_EQ(c.other.SameContent(base), c.same);
  }
  EXPECT_TRUE(GTextString().SameContent(GTextString()));
}

TEST(TextString, StoresLengthCodeSizeEncodingAndCodes) {
  const GTextString bytes = Text({0x41, 0xE9}, 1, 4);
  EXPECT_EQ(SaveContentsToFileBytes(bytes),
            Words({1, 0, bytes.SerialNumber(), 1}) + Shorts({2}) + Words({1, 4}) + std::string("\x41\xE9"));
  const GTextString wide = Text({0x3042, 0x41}, 2, 16);
  EXPECT_EQ(SaveContentsToFileBytes(wide),
            Words({1, 0, wide.SerialNumber(), 1}) + Shorts({2}) + Words({2, 16}) + Shorts({0x3042, 0x41}));
  EXPECT_TRUE(RoundTrips(bytes));
  EXPECT_TRUE(RoundTrips(wide));
  EXPECT_TRUE(RoundTrips(GTextString()));
}

TEST(TextString, RestoresOwnedCodesAndRefusesLengthsTheInputCannotHold) {
  const uint8_t borrowed[] = {7, 8, 9};
  GTextString stored(GCodeBlock<uint8_t>(borrowed, 3), 5);
  GTextString restored;
  const std::string bytes = SaveContentsToFileBytes(stored);
  EXPECT_EQ(RestoreContentsFromFileBytes(restored, bytes), bytes.size());
  EXPECT_TRUE(restored.SameContent(stored));
  EXPECT_NE(restored.GetCodes(), borrowed);

  // Another code size keeps its length and no codes.
  const std::string odd = Words({1, 0, 0, 1}) + Shorts({3}) + Words({4, 16});
  EXPECT_EQ(RestoreContentsFromFileBytes(restored, odd), odd.size());
  EXPECT_EQ(restored.GetLength(), 3);
  EXPECT_EQ(restored.GetCodeSize(), 4);
  EXPECT_EQ(restored.GetCodes(), nullptr);
  EXPECT_EQ(restored.GetCodeAt(1), 0);

  // 0xFFFF 16-bit codes claimed, two bytes there.
  const std::string truncated = Words({1, 0, 0, 1}) + Shorts({0xFFFF}) + Words({2, 16}) + Shorts({1});
  GTextString refused;
  RestoreContentsFromFileBytes(refused, truncated);
  EXPECT_EQ(refused.GetCodes(), nullptr);
  EXPECT_EQ(refused.GetCodeAt(0), 0);
}

}  // namespace
