#include "pclxl/xl_stream.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "pclxl/testing/collecting_sink.h"
#include "pclxl/xl_values.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

TEST(XLCreateStream, RefusesWithoutBufferOrSink) {
  CollectingSink sink;
  struct Case {
    const char* name;
    int32_t size;
    XLFlushSink* sink;
  };
  const Case cases[] = {
      {"zero_size", 0, &sink},
      {"negative_size", -16, &sink},
      {"no_sink", 64, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(XLCreateStream(c.size, c.sink, 0), nullptr);
  }
}

TEST(XLCreateStream, StartsEmptyAndHealthy) {
  CollectingSink sink;
  XLStreamPtr stream(XLCreateStream(32, &sink, 77));
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream->size, 32);
  EXPECT_EQ(stream->freeCount, 32);
  EXPECT_EQ(stream->writePosition, stream->buffer.get());
  EXPECT_EQ(stream->end, stream->buffer.get() + 32);
  EXPECT_EQ(stream->total, 0);
  EXPECT_EQ(stream->error, kXLNoError);
  EXPECT_EQ(stream->errorCount, 0);
  EXPECT_EQ(stream->context, 77u);
}

TEST(XLFlush, HandsTheBufferToTheSinkEvenWhenEmpty) {
  CollectingSink sink;
  sink.answer = 601;
  XLStreamPtr stream(XLCreateStream(16, &sink, 5));
  EXPECT_EQ(XLFlush(stream.get()), 601);
  XLWriteRawBytes(stream.get(), Bytes("abc"));
  EXPECT_EQ(XLFlush(stream.get()), 601);
  EXPECT_EQ(sink.counts, (std::vector<int32_t>{0, 3}));
  EXPECT_EQ(sink.userValues, (std::vector<uint32_t>{5, 5}));
  EXPECT_EQ(sink.streams[0], stream.get());
  EXPECT_EQ(sink.bytes, Bytes("abc"));
  EXPECT_EQ(stream->freeCount, 16);
  EXPECT_EQ(stream->writePosition, stream->buffer.get());
}

// A sink that neither empties the buffer nor minds its answer: the stream
// must still never write past its buffer, which AddressSanitizer would see.
class CarelessSink : public XLFlushSink {
 public:
  int32_t Flush(XLStream&, uint32_t, const uint8_t* bufferStart, int32_t count) override {
    bytes.insert(bytes.end(), bufferStart, bufferStart + count);
    return -1;
  }
  std::vector<uint8_t> bytes;
};

TEST(XLFlush, EmptiesTheBufferWhateverTheSinkDoes) {
  CarelessSink sink;
  XLStreamPtr stream(XLCreateStream(4, &sink, 0));
  const std::vector<uint8_t> data = Bytes("0123456789abcdef");
  XLWriteRawBytes(stream.get(), data);
  XLWriteRawUInt32(stream.get(), 0x04030201);
  XLFlush(stream.get());
  std::vector<uint8_t> expected = data;
  expected.insert(expected.end(), {1, 2, 3, 4});
  EXPECT_EQ(sink.bytes, expected);
  EXPECT_EQ(stream->error, kXLNoError);
}

TEST(XLDestroyStream, AnswersTheTotalAndDropsWhatWasNotFlushed) {
  CollectingSink sink;
  XLStream* stream = XLCreateStream(8, &sink, 0);
  XLWriteRawBytes(stream, Bytes("0123456789"));
  XLWriteRawByte(stream, 'x');
  EXPECT_EQ(XLDestroyStream(stream), 11);
  EXPECT_EQ(sink.bytes, Bytes("01234567"));
}

TEST(XLMakingRoom, KeepsItemsWholeAndFillsTheBufferWithBlocks) {
  struct Case {
    const char* name;
    void (*write)(XLStream*);
    std::vector<int32_t> counts;  // of the flushes, the last one by the test
  };
  const Case cases[] = {
      // Three bytes leave two free: the four-byte value goes to a fresh buffer.
      {"value_that_does_not_fit_flushes_first",
       [](XLStream* s) {
         XLWriteRawBytes(s, Bytes("abc"));
         XLWriteRawUInt32(s, 7);
       },
       {3, 4}},
      {"single_byte_flushes_only_a_full_buffer",
       [](XLStream* s) {
         for (int i = 0; i < 6; ++i) XLWriteRawByte(s, 'a');
       },
       {5, 1}},
      {"block_fills_every_buffer_before_flushing",
       [](XLStream* s) {
         XLWriteRawByte(s, 'a');
         XLWriteRawBytes(s, Bytes("0123456789"));
       },
       {5, 5, 1}},
      {"array_elements_are_items",
       [](XLStream* s) {
         const uint32_t values[] = {1, 2, 3};
         XLWriteRawUInt32s(s, values);
       },
       {4, 4, 4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SinkStream stream(5);
    c.write(stream);
    XLFlush(stream);
    EXPECT_EQ(stream.sink().counts, c.counts);
  }
}

// Whatever the buffer size, the sink receives the same bytes, never more at
// once than the buffer holds, and the total counts them all.
TEST(XLMakingRoom, OutputDoesNotDependOnTheBufferSize) {
  const auto write = [](XLStream* s) {
    XLWriteStreamHeader(s, 2, 1, " any comment");
    XLWriteUByte(s, 1);
    XLWriteReal32(s, 2.5f);
    XLWriteBox(s, XLBox<float>{1, 2, 3, 4});
    const uint32_t words[] = {1, 0xFFFFFFFF, 3};
    XLWriteUInt32Array(s, words);
    XLWriteAttribute(s, 0x42);
    XLWriteOperator(s, 0xA1);
    const std::vector<uint8_t> block(300, 0x5A);
    XLWriteEmbeddedData(s, block);
    XLWriteRawUInt16BigEndian(s, 0x1234);
  };
  SinkStream reference;
  write(reference);
  const std::vector<uint8_t> expected = reference.Output();
  for (int32_t size : {1, 2, 3, 4, 5, 7, 16, 255}) {
    SCOPED_TRACE(size);
    SinkStream stream(size);
    write(stream);
    EXPECT_EQ(stream->total, static_cast<int32_t>(expected.size()));
    EXPECT_EQ(stream.Output(), expected);
    for (int32_t count : stream.sink().counts) EXPECT_LE(count, size);
  }
}

TEST(XLErrorText, NamesEachCode) {
  const std::string undefined = "XL Library: Number of Error Reported is Undefined";
  struct Case {
    int32_t code;
    std::string text;
  };
  const Case cases[] = {
      {0, "XL Library: No Errors Detected"},
      {-1, "XL Library: Initialization Failed"},
      {-2, "XL Library: Operator Number Undefined"},
      {-3, undefined},
      {-4, "XL Library: Out of Memory"},
      {-5, "XL Library: A Stream Buffer Size of Zero Was Requested"},
      {-6, "XL Library: Stream Output Buffer Overflowed"},
      {-7, "XL Library: Attempt to Flush Output Buffer Failed"},
      {-8, undefined},
      {-9, "XL Library: Value Out of Range"},
      {1, undefined},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(XLErrorText(c.code), c.text);
  }
}

TEST(XLWriteStreamHeader, WritesBindingClassesAndComment) {
  struct Case {
    const char* name;
    int32_t major;
    int32_t minor;
    std::string comment;
    std::string expected;
  };
  const Case cases[] = {
      {"class_2_1_empty_comment", 2, 1, "", ") QV-PCL XL;2;1;Comment\n"},
      {"class_2_0_with_comment", 2, 0, " Copyright Version 4.2.1.8",
       ") QV-PCL XL;2;0;Comment Copyright Version 4.2.1.8\n"},
      {"two_digit_minor", 3, 10, ";x", ") QV-PCL XL;3;10;Comment;x\n"},
      // A line break in a model name would end the header early.
      {"line_breaks_left_out", 2, 0, " QV 4\r\n200\n", ") QV-PCL XL;2;0;Comment QV 4200\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SinkStream stream;
    XLWriteStreamHeader(stream, c.major, c.minor, c.comment);
    EXPECT_EQ(stream.Output(), Bytes(c.expected));
  }
}

TEST(XLRawWriters, WriteUntaggedBytesInEitherOrder) {
  const uint16_t words[] = {0x0102, 0xA0B0};
  const uint32_t longs[] = {0x01020304};
  struct Case {
    const char* name;
    std::function<void(XLStream*)> write;
    std::vector<uint8_t> expected;
  };
  const Case cases[] = {
      {"byte", [](XLStream* s) { XLWriteRawByte(s, 0xAB); }, {0xAB}},
      {"uint16", [](XLStream* s) { XLWriteRawUInt16(s, 0x0102); }, {0x02, 0x01}},
      {"uint16_big_endian", [](XLStream* s) { XLWriteRawUInt16BigEndian(s, 0x0102); }, {0x01, 0x02}},
      {"uint32", [](XLStream* s) { XLWriteRawUInt32(s, 0x01020304); }, {0x04, 0x03, 0x02, 0x01}},
      {"uint32_big_endian", [](XLStream* s) { XLWriteRawUInt32BigEndian(s, 0x01020304); }, {0x01, 0x02, 0x03, 0x04}},
      {"low_bytes", [&](XLStream* s) { XLWriteRawLowBytes(s, words); }, {0x02, 0xB0}},
      {"uint16_block", [&](XLStream* s) { XLWriteRawUInt16s(s, words); }, {0x02, 0x01, 0xB0, 0xA0}},
      {"uint16_block_big_endian", [&](XLStream* s) { XLWriteRawUInt16sBigEndian(s, words); }, {0x01, 0x02, 0xA0, 0xB0}},
      {"uint32_block", [&](XLStream* s) { XLWriteRawUInt32s(s, longs); }, {0x04, 0x03, 0x02, 0x01}},
      {"uint32_block_big_endian", [&](XLStream* s) { XLWriteRawUInt32sBigEndian(s, longs); }, {0x01, 0x02, 0x03, 0x04}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SinkStream stream;
    c.write(stream);
    EXPECT_EQ(stream.Output(), c.expected);
  }
}

}  // namespace
