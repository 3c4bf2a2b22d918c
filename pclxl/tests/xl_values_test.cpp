#include "pclxl/xl_values.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "pclxl/testing/collecting_sink.h"

namespace {

struct WriterCase {
  const char* name;
  std::function<void(XLStream*)> write;
  std::vector<uint8_t> expected;
};

void ExpectWrites(const WriterCase& c) {
  SCOPED_TRACE(c.name);
  SinkStream stream;
  c.write(stream);
  EXPECT_EQ(stream->error, kXLNoError);
  EXPECT_EQ(stream.Output(), c.expected);
}

TEST(XLTaggedValues, WriteTagThenLittleEndianPayload) {
  // clang-format off
  const WriterCase cases[] = {
      {"ubyte", [](XLStream* s) { XLWriteUByte(s, 0x7F); }, {0xC0, 0x7F}},
      {"uint16", [](XLStream* s) { XLWriteUInt16(s, 600); }, {0xC1, 0x58, 0x02}},
      {"uint32", [](XLStream* s) { XLWriteUInt32(s, 0x71762002); }, {0xC2, 0x02, 0x20, 0x76, 0x71}},
      {"sint16", [](XLStream* s) { XLWriteSInt16(s, -2); }, {0xC3, 0xFE, 0xFF}},
      {"sint32", [](XLStream* s) { XLWriteSInt32(s, -70000); }, {0xC4, 0x90, 0xEE, 0xFE, 0xFF}},
      {"real32", [](XLStream* s) { XLWriteReal32(s, 1.0f); }, {0xC5, 0x00, 0x00, 0x80, 0x3F}},
      {"ubyte_xy", [](XLStream* s) { XLWriteXY(s, XLPair<uint8_t>{1, 2}); }, {0xD0, 0x01, 0x02}},
      {"uint16_xy", [](XLStream* s) { XLWriteXY(s, XLPair<uint16_t>{600, 600}); }, {0xD1, 0x58, 0x02, 0x58, 0x02}},
      {"uint32_xy", [](XLStream* s) { XLWriteXY(s, XLPair<uint32_t>{1, 0x10000}); },
       {0xD2, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00}},
      {"sint16_xy", [](XLStream* s) { XLWriteXY(s, XLPair<int16_t>{-1, 1}); }, {0xD3, 0xFF, 0xFF, 0x01, 0x00}},
      {"sint32_xy", [](XLStream* s) { XLWriteXY(s, XLPair<int32_t>{-1, 2}); },
       {0xD4, 0xFF, 0xFF, 0xFF, 0xFF, 0x02, 0x00, 0x00, 0x00}},
      {"real32_xy", [](XLStream* s) { XLWriteXY(s, XLPair<float>{0.5f, -2.0f}); },
       {0xD5, 0x00, 0x00, 0x00, 0x3F, 0x00, 0x00, 0x00, 0xC0}},
      {"ubyte_box", [](XLStream* s) { XLWriteBox(s, XLBox<uint8_t>{1, 2, 3, 4}); }, {0xE0, 1, 2, 3, 4}},
      {"uint16_box", [](XLStream* s) { XLWriteBox(s, XLBox<uint16_t>{1, 2, 3, 0x100}); },
       {0xE1, 1, 0, 2, 0, 3, 0, 0, 1}},
      {"uint32_box", [](XLStream* s) { XLWriteBox(s, XLBox<uint32_t>{1, 2, 3, 4}); },
       {0xE2, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0}},
      {"sint16_box", [](XLStream* s) { XLWriteBox(s, XLBox<int16_t>{-1, 0, 300, 20}); },
       {0xE3, 0xFF, 0xFF, 0x00, 0x00, 0x2C, 0x01, 0x14, 0x00}},
      {"sint32_box", [](XLStream* s) { XLWriteBox(s, XLBox<int32_t>{-1, 0, 0, 1}); },
       {0xE4, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0}},
      {"real32_box", [](XLStream* s) { XLWriteBox(s, XLBox<float>{0, 1, 2, 0.5f}); },
       {0xE5, 0, 0, 0, 0, 0, 0, 0x80, 0x3F, 0, 0, 0, 0x40, 0, 0, 0, 0x3F}},
  };
  // clang-format on
  for (const WriterCase& c : cases) ExpectWrites(c);
}

TEST(XLTaggedValues, ArraysCarryATaggedUInt16Count) {
  const std::vector<uint8_t> bytes = {'L', 'E', 'T'};
  const std::vector<uint16_t> words = {0x0141, 0xFF42};
  const std::vector<uint32_t> longs = {0x01020304};
  const std::vector<int16_t> shorts = {-1, 2};
  const std::vector<int32_t> ints = {-2};
  const std::vector<float> reals = {1.0f};
  // clang-format off
  const WriterCase cases[] = {
      {"ubyte_array", [&](XLStream* s) { XLWriteUByteArray(s, bytes); }, {0xC8, 0xC1, 0x03, 0x00, 'L', 'E', 'T'}},
      {"empty_ubyte_array", [](XLStream* s) { XLWriteUByteArray(s, {}); }, {0xC8, 0xC1, 0x00, 0x00}},
      {"ubyte_array_from_low_bytes", [&](XLStream* s) { XLWriteUByteArrayFromLowBytes(s, words); },
       {0xC8, 0xC1, 0x02, 0x00, 0x41, 0x42}},
      {"uint16_array", [&](XLStream* s) { XLWriteUInt16Array(s, words); },
       {0xC9, 0xC1, 0x02, 0x00, 0x41, 0x01, 0x42, 0xFF}},
      {"uint32_array", [&](XLStream* s) { XLWriteUInt32Array(s, longs); },
       {0xCA, 0xC1, 0x01, 0x00, 0x04, 0x03, 0x02, 0x01}},
      {"sint16_array", [&](XLStream* s) { XLWriteSInt16Array(s, shorts); },
       {0xCB, 0xC1, 0x02, 0x00, 0xFF, 0xFF, 0x02, 0x00}},
      {"sint32_array", [&](XLStream* s) { XLWriteSInt32Array(s, ints); },
       {0xCC, 0xC1, 0x01, 0x00, 0xFE, 0xFF, 0xFF, 0xFF}},
      {"real32_array", [&](XLStream* s) { XLWriteReal32Array(s, reals); },
       {0xCD, 0xC1, 0x01, 0x00, 0x00, 0x00, 0x80, 0x3F}},
  };
  // clang-format on
  for (const WriterCase& c : cases) ExpectWrites(c);
}

TEST(XLEmbeddedData, ChoosesTheLengthFormAtTwoHundredFiftySix) {
  const std::vector<uint8_t> data = {9, 8, 7};
  // clang-format off
  const WriterCase cases[] = {
      {"empty", [](XLStream* s) { XLWriteEmbeddedLength(s, 0); }, {0xFB, 0x00}},
      {"255_is_short", [](XLStream* s) { XLWriteEmbeddedLength(s, 255); }, {0xFB, 0xFF}},
      {"256_is_long", [](XLStream* s) { XLWriteEmbeddedLength(s, 256); }, {0xFA, 0x00, 0x01, 0x00, 0x00}},
      {"long_form_for_a_small_length", [](XLStream* s) { XLWriteEmbeddedLengthLong(s, 5); },
       {0xFA, 0x05, 0x00, 0x00, 0x00}},
      {"long_form_with_data", [&](XLStream* s) { XLWriteEmbeddedData(s, data); },
       {0xFA, 0x03, 0x00, 0x00, 0x00, 9, 8, 7}},
  };
  // clang-format on
  for (const WriterCase& c : cases) ExpectWrites(c);
}

// The attribute and operator tables, checked at the edges of every range:
// an accepted number is written, a refused one sets the error and writes
// nothing.
TEST(XLWriteAttributeAndOperator, AcceptOnlyTheProtocolsNumbers) {
  struct Case {
    const char* name;
    void (*write)(XLStream*, int32_t);
    std::vector<uint8_t> prefix;
    int16_t refusal;
    std::vector<int32_t> accepted;
    std::vector<int32_t> refused;
  };
  // clang-format off
  const Case cases[] = {
      {"attributes",
       [](XLStream* s, int32_t number) { XLWriteAttribute(s, number); },
       {0xF8},
       kXLAttributeUndefined,
       {1, 45, 47, 54, 65, 84, 97, 105, 107, 115, 120, 129, 130, 134, 136, 141, 143, 145, 173, 175, 177},
       {-1, 0, 46, 55, 64, 85, 96, 106, 116, 119, 121, 128, 131, 133, 135, 142, 144, 174, 178, 255, 256, 0x128}},
      {"operators",
       [](XLStream* s, int32_t number) { XLWriteOperator(s, number); },
       {},
       kXLOperatorUndefined,
       {0x41, 0x44, 0x46, 0x4C, 0x4F, 0x56, 0x58, 0x5B, 0x82, 0x84, 0x86, 0x91,
        0x99, 0x9B, 0x9D, 0xA3, 0xA8, 0xAA, 0xB0, 0xB6, 0xB8, 0xB9, 0xBF},
       {-1, 0, 0x40, 0x45, 0x4D, 0x4E, 0x57, 0x59, 0x5A, 0x83, 0x87, 0x90,
        0x9A, 0x9C, 0xA4, 0xA7, 0xAB, 0xAF, 0xB7, 0xBA, 0xBE, 0xC0, 0x141}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (int32_t number : c.accepted) {
      SCOPED_TRACE(number);
      SinkStream stream;
      c.write(stream, number);
      std::vector<uint8_t> expected = c.prefix;
      expected.push_back(static_cast<uint8_t>(number));
      EXPECT_EQ(stream.Output(), expected);
    }
    for (int32_t number : c.refused) {
      SCOPED_TRACE(number);
      SinkStream stream;
      c.write(stream, number);
      EXPECT_EQ(stream->error, c.refusal);
      EXPECT_TRUE(stream.Output().empty());
    }
  }
}

// Once an error is set, every writer returns at once, and the error stays.
TEST(XLStreamError, StopsEveryLaterWrite) {
  struct Case {
    const char* name;
    std::function<void(XLStream*)> fail;
    int16_t code;
    std::string text;
  };
  // clang-format off
  const Case cases[] = {
      {"undefined_operator", [](XLStream* s) { XLWriteOperator(s, 0x45); }, kXLOperatorUndefined,
       "XL Library: Operator Number Undefined"},
      {"undefined_attribute", [](XLStream* s) { XLWriteAttribute(s, 46); }, kXLAttributeUndefined,
       "XL Library: Number of Error Reported is Undefined"},
      {"array_too_long",
       [](XLStream* s) { XLWriteUInt16Array(s, std::vector<uint16_t>(65536, 1)); },
       kXLValueOutOfRange, "XL Library: Value Out of Range"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SinkStream stream;
    XLWriteUByte(stream, 1);
    c.fail(stream);
    XLWriteUByte(stream, 2);
    XLWriteAttribute(stream, 0x28);
    XLWriteAttribute(stream, 46);
    XLWriteOperator(stream, 0x45);
    XLWriteRawBytes(stream, std::vector<uint8_t>{1, 2, 3});
    XLWriteEmbeddedLength(stream, 3);
    XLWriteStreamHeader(stream, 2, 0, "");
    EXPECT_EQ(stream->error, c.code);
    EXPECT_EQ(stream->errorCount, 1);
    EXPECT_EQ(XLErrorText(stream->error), c.text);
    EXPECT_EQ(stream.Output(), (std::vector<uint8_t>{0xC0, 0x01}));
    EXPECT_EQ(stream->total, 2);
  }
}

TEST(XLTaggedValues, LongestArrayStillFitsItsCount) {
  SinkStream stream(64);
  XLWriteUByteArray(stream, std::vector<uint8_t>(65535, 0xAA));
  const std::vector<uint8_t>& output = stream.Output();
  EXPECT_EQ(stream->error, kXLNoError);
  ASSERT_EQ(output.size(), 4u + 65535u);
  EXPECT_EQ(std::vector<uint8_t>(output.begin(), output.begin() + 4), (std::vector<uint8_t>{0xC8, 0xC1, 0xFF, 0xFF}));
}

}  // namespace
