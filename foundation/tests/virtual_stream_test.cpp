#include "foundation/virtual_stream.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "foundation/binary_stream.h"
#include "foundation/endian_stream.h"
#include "foundation/text_stream.h"

namespace {

struct Form {
  const char* name;
  std::function<std::unique_ptr<GVirtualOutStream>(GByteChannel*)> writer;
  std::function<std::unique_ptr<GVirtualInStream>(GByteChannel*)> reader;
};

const Form kForms[] = {
    {"binary", [](GByteChannel* c) { return std::make_unique<GBinaryOutStream>(c); },
     [](GByteChannel* c) { return std::make_unique<GBinaryInStream>(c); }},
    {"big_endian", [](GByteChannel* c) { return std::make_unique<GEndianOutStream>(c, 1); },
     [](GByteChannel* c) { return std::make_unique<GEndianInStream>(c); }},
    {"text", [](GByteChannel* c) { return std::make_unique<GTextOutStream>(c); },
     [](GByteChannel* c) { return std::make_unique<GTextInStream>(c); }},
};

TEST(GVirtualStreams, EachFormRoundTripsThroughAFileAndEndsThere) {
  const std::string path = ::testing::TempDir() + "qv_virtual_stream_file.bin";
  for (const Form& form : kForms) {
    SCOPED_TRACE(form.name);
    {
      std::filebuf file;
      ASSERT_TRUE(file.open(path, std::ios::out | std::ios::binary | std::ios::trunc));
      std::unique_ptr<GVirtualOutStream> out = form.writer(&file);
      EXPECT_EQ(out->FormatVersion(), 1u);
      out->PutCString("name {1}").PutInt(-12345).PutDouble(0.1).PutChar('}');
      EXPECT_TRUE(out->Flush().IsGood());
    }
    std::filebuf file;
    ASSERT_TRUE(file.open(path, std::ios::in | std::ios::binary));
    std::unique_ptr<GVirtualInStream> in = form.reader(&file);
    char text[16];
    int32_t i = 0;
    double d = 0;
    char c = 0;
    in->GetString(text, sizeof text).GetInt(i).GetDouble(d);
    // A stored count of a million characters cannot be in what is left.
    EXPECT_FALSE(in->CanHold(1000000, 1));
    in->GetChar(c);
    EXPECT_TRUE(in->IsGood());
    EXPECT_STREQ(text, "name {1}");
    EXPECT_EQ(i, -12345);
    EXPECT_EQ(d, 0.1);
    EXPECT_EQ(c, '}');
    in->GetChar(c);
    EXPECT_TRUE(in->IsEof());
    EXPECT_TRUE(in->IsFail());
  }
  std::remove(path.c_str());
}

}  // namespace
