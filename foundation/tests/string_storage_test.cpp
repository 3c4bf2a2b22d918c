#include "foundation/string_storage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>

#include "foundation/binary_file.h"
#include "foundation/binary_stream.h"
#include "foundation/endian_stream.h"
#include "foundation/rw_cstring.h"
#include "foundation/rw_wstring.h"
#include "foundation/tests/stream_test_support.h"
#include "foundation/text_stream.h"

namespace {

using WideText = std::basic_string<WideChar>;

std::string Narrow(const RWCString& s) { return std::string(s.Data(), s.Length()); }

// The virtual stream encodings, each as a writer and a reader over a channel.
struct Encoding {
  const char* name;
  std::function<std::unique_ptr<GVirtualOutStream>(GByteChannel*)> writer;
  std::function<std::unique_ptr<GVirtualInStream>(GByteChannel*)> reader;
};

const Encoding kEncodings[] = {
    {"binary", [](GByteChannel* c) { return std::make_unique<GBinaryOutStream>(c); },
     [](GByteChannel* c) { return std::make_unique<GBinaryInStream>(c); }},
    {"byte_swapping_msb_first", [](GByteChannel* c) { return std::make_unique<GEndianOutStream>(c, 1); },
     [](GByteChannel* c) { return std::make_unique<GEndianInStream>(c); }},
    {"byte_swapping_lsb_first", [](GByteChannel* c) { return std::make_unique<GEndianOutStream>(c, 0); },
     [](GByteChannel* c) { return std::make_unique<GEndianInStream>(c); }},
    {"text", [](GByteChannel* c) { return std::make_unique<GTextOutStream>(c); },
     [](GByteChannel* c) { return std::make_unique<GTextInStream>(c); }},
};

const Encoding& EncodingNamed(const std::string& name) {
  for (const Encoding& encoding : kEncodings) {
    if (name == encoding.name) return encoding;
  }
  return kEncodings[0];
}

template <typename String>
std::string SavedOn(const Encoding& encoding, const String& s) {
  StringChannel channel;
  std::unique_ptr<GVirtualOutStream> out = encoding.writer(&channel);
  s.SaveTo(*out);
  out->Flush();
  EXPECT_TRUE(out->IsGood());
  return channel.str();
}

const std::string kBigEndianHeader = Bytes({0x65, 0x73, 0x01, 0x01, 0x02, 0x04, 0x04, 0x02, 0x04});

TEST(StringStorage, StreamFormsByteForByte) {
  struct Case {
    const char* name;
    const char* encoding;
    std::function<std::string(const Encoding&)> save;
    std::string expected;
  };
  const WideChar accented[] = {'a', 0x00E9, 0x20AC, 0};
  const WideChar euro[] = {'a', 0x20AC, 0};
  const Case cases[] = {
      {"narrow_counted_twice", "binary", [](auto& e) { return SavedOn(e, RWCString("abc")); },
       Bytes({3, 0, 0, 0, 3, 0, 0, 0, 'a', 'b', 'c'})},
      {"narrow_empty", "binary", [](auto& e) { return SavedOn(e, RWCString()); }, Bytes({0, 0, 0, 0, 0, 0, 0, 0})},
      {"narrow_zero_bytes_kept", "binary", [](auto& e) { return SavedOn(e, RWCString("a\0b", 3)); },
       Bytes({3, 0, 0, 0, 3, 0, 0, 0, 'a', 0, 'b'})},
      {"narrow_msb_first", "byte_swapping_msb_first", [](auto& e) { return SavedOn(e, RWCString("ab")); },
       kBigEndianHeader + Bytes({0, 0, 0, 2, 0, 0, 0, 2, 'a', 'b'})},
      {"narrow_text", "text", [](auto& e) { return SavedOn(e, RWCString("a b")); }, "3\n\"a\\x20b\""},
      {"wide_units_after_the_count", "binary", [&](auto& e) { return SavedOn(e, RWWString(accented)); },
       Bytes({3, 0, 0, 0, 'a', 0, 0xE9, 0, 0xAC, 0x20})},
      {"wide_empty", "binary", [](auto& e) { return SavedOn(e, RWWString()); }, Bytes({0, 0, 0, 0})},
      {"wide_msb_first", "byte_swapping_msb_first", [&](auto& e) { return SavedOn(e, RWWString(euro)); },
       kBigEndianHeader + Bytes({0, 0, 0, 2, 0, 'a', 0x20, 0xAC})},
      {"wide_text", "text", [&](auto& e) { return SavedOn(e, RWWString(euro)); }, "2\n97\n8364\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Hex(c.save(EncodingNamed(c.encoding))), Hex(c.expected));
  }
}

class StringFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = ::testing::TempDir() + "qv_string_file_" + test->name() + ".bin";
    std::remove(path_.c_str());
  }
  void TearDown() override { std::remove(path_.c_str()); }

  template <typename String>
  std::string SavedToFile(const String& s) {
    {
      GBinaryFile file(path_.c_str(), "wb");
      s.SaveTo(file);
      EXPECT_FALSE(file.Failed());
    }
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  void Store(const std::string& bytes) const {
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out << bytes;
  }

  const char* Path() const { return path_.c_str(); }

 private:
  std::string path_;
};

TEST_F(StringFileTest, FileFormsByteForByte) {
  struct Case {
    const char* name;
    std::function<std::string()> save;
    std::string expected;
  };
  const WideChar euro[] = {'a', 0x20AC, 0};
  const Case cases[] = {
      {"narrow_counted_once", [&] { return SavedToFile(RWCString("abc")); }, Bytes({3, 0, 0, 0, 'a', 'b', 'c'})},
      {"narrow_empty", [&] { return SavedToFile(RWCString()); }, Bytes({0, 0, 0, 0})},
      {"wide_units_in_machine_order", [&] { return SavedToFile(RWWString(euro)); },
       Bytes({2, 0, 0, 0, 'a', 0, 0xAC, 0x20})},
      {"wide_empty", [&] { return SavedToFile(RWWString()); }, Bytes({0, 0, 0, 0})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Hex(c.save()), Hex(c.expected));
  }
}

// Strings whose stored forms test the edges: empty, zero bytes and high
// bytes inside, and lengths past the chunks that wide units move in.
std::vector<RWCString> NarrowSamples() {
  std::string all;
  for (int i = 0; i < 300; ++i) all.push_back(static_cast<char>(i));
  return {RWCString(), RWCString("abc"), RWCString("a\0b\xFF", 4), RWCString(all.data(), 300)};
}

std::vector<RWWString> WideSamples() {
  WideText many;
  for (uint32_t i = 0; i < 600; ++i) many.push_back(static_cast<WideChar>(i * 109 % 0x10000));
  many.push_back(0xFFFF);
  many.push_back(0xD800);
  return {RWWString(), RWWString(WideChar('x')), RWWString(many.data(), static_cast<uint32_t>(many.size()))};
}

// Restores into a string that shares its block with a bystander, which must
// keep its value.
template <typename String>
void ExpectRoundTripOnStreams(const std::vector<String>& samples, const String& old) {
  for (const Encoding& encoding : kEncodings) {
    for (size_t i = 0; i < samples.size(); ++i) {
      SCOPED_TRACE(std::string(encoding.name) + " sample " + std::to_string(i));
      StringChannel channel(SavedOn(encoding, samples[i]));
      std::unique_ptr<GVirtualInStream> in = encoding.reader(&channel);
      String restored(old);
      const String bystander(restored);
      restored.RestoreFrom(*in);
      EXPECT_TRUE(in->IsGood());
      EXPECT_TRUE(restored == samples[i]);
      EXPECT_TRUE(bystander == old);
    }
  }
}

TEST(StringStorage, EveryEncodingRestoresWhatWasSaved) {
  ExpectRoundTripOnStreams(NarrowSamples(), RWCString("old value"));
  ExpectRoundTripOnStreams(WideSamples(), RWWString(QV_WIDE("old value")));
}

TEST_F(StringFileTest, FilesRestoreWhatWasSaved) {
  for (const RWCString& sample : NarrowSamples()) {
    SavedToFile(sample);
    GBinaryFile file(Path(), "rb");
    RWCString restored("old value");
    restored.RestoreFrom(file);
    EXPECT_FALSE(file.Failed());
    EXPECT_TRUE(restored == sample);
  }
  for (const RWWString& sample : WideSamples()) {
    SavedToFile(sample);
    GBinaryFile file(Path(), "rb");
    RWWString restored(QV_WIDE("old value"));
    restored.RestoreFrom(file);
    EXPECT_FALSE(file.Failed());
    EXPECT_TRUE(restored == sample);
  }
}

TEST(StringStorage, RestoreReusesABlockItOwnsAlone) {
  RWCString target(GStringCapacity{40});
  target = "something";
  const char* block = target.Data();
  StringChannel channel(SavedOn(kEncodings[0], RWCString("abc")));
  GBinaryInStream in(&channel);
  target.RestoreFrom(in);
  EXPECT_EQ(Narrow(target), "abc");
  EXPECT_EQ(target.Data(), block);
}

TEST(StringStorage, UntrustedNarrowStreamInput) {
  struct Case {
    const char* name;
    std::string stored;
    std::string expected;  // the string afterwards
    bool good;
  };
  const Case cases[] = {
      {"no_length_keeps_the_old_value", "", "old", false},
      {"cut_length_keeps_the_old_value", Bytes({3, 0}), "old", false},
      {"length_past_the_input_allocates_nothing", Bytes({0xF0, 0xFF, 0xFF, 0xFF, 3, 0, 0, 0, 'a', 'b', 'c'}), "old",
       false},
      {"largest_length", Bytes({0xFF, 0xFF, 0xFF, 0xFF}), "old", false},
      {"text_shorter_than_stated_leaves_zeros", Bytes({5, 0, 0, 0, 3, 0, 0, 0, 'a', 'b', 'c'}),
       std::string("abc\0\0", 5), true},
      {"text_longer_than_stated_is_cut", Bytes({2, 0, 0, 0, 3, 0, 0, 0, 'a', 'b', 'c'}), "ab", false},
      {"text_cut_short_reads_as_far_as_it_goes", Bytes({5, 0, 0, 0, 5, 0, 0, 0, 'a', 'b'}), std::string("ab\0\0\0", 5),
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StringChannel channel(c.stored);
    GBinaryInStream in(&channel);
    RWCString target("old");
    target.RestoreFrom(in);
    EXPECT_EQ(Narrow(target), c.expected);
    EXPECT_EQ(in.IsGood(), c.good);
    EXPECT_EQ(in.IsFail(), !c.good);
  }
}

// A pipe tells nothing of the bytes still to come, so a stored length is
// checked by reading ahead as the bytes arrive.
TEST(StringStorage, StringsThroughAChannelThatCannotSeek) {
  const RWCString narrow(std::string(5000, 'n').c_str());
  const RWWString wide(WideText(5000, WideChar('w')).c_str());
  for (const Encoding& encoding : kEncodings) {
    SCOPED_TRACE(encoding.name);
    StringChannel channel;
    {
      std::unique_ptr<GVirtualOutStream> out = encoding.writer(&channel);
      narrow.SaveTo(*out);
      wide.SaveTo(*out);
      out->PutInt(77);
      out->Flush();
    }
    PipeChannel pipe(channel.str());
    std::unique_ptr<GVirtualInStream> in = encoding.reader(&pipe);
    RWCString narrowRead;
    RWWString wideRead;
    int32_t after = 0;
    narrowRead.RestoreFrom(*in);
    wideRead.RestoreFrom(*in);
    in->GetInt(after);
    EXPECT_TRUE(in->IsGood());
    EXPECT_TRUE(narrowRead == narrow);
    EXPECT_TRUE(wideRead == wide);
    EXPECT_EQ(after, 77);
  }
  // An absurd length fails where the input ends.
  for (const std::string& stored : {Bytes({0xFF, 0xFF, 0xFF, 0x7F, 'a', 'b', 'c'}), Bytes({0xFF, 0xFF, 0xFF, 0x7F})}) {
    PipeChannel pipe(stored);
    GBinaryInStream in(&pipe);
    RWCString target("old");
    target.RestoreFrom(in);
    EXPECT_EQ(Narrow(target), "old");
    EXPECT_TRUE(in.IsFail());
  }
}

TEST(StringStorage, UntrustedWideStreamInput) {
  struct Case {
    const char* name;
    std::string stored;
  };
  const Case cases[] = {
      {"no_count", Bytes({})},
      {"count_past_the_input", Bytes({0xFF, 0xFF, 0xFF, 0x7F, 'a', 0})},
      {"odd_byte_short_of_the_last_unit", Bytes({2, 0, 0, 0, 'a', 0, 'b'})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StringChannel channel(c.stored);
    GBinaryInStream in(&channel);
    RWWString target(QV_WIDE("old"));
    target.RestoreFrom(in);
    EXPECT_TRUE(target == QV_WIDE("old"));
    EXPECT_TRUE(in.IsFail());
  }
}

TEST_F(StringFileTest, UntrustedFileInputKeepsTheOldValueAndFailsTheFile) {
  struct Case {
    const char* name;
    std::string stored;
    bool wide;
    // The length was read and refused (the file is marked failed), rather
    // than cut by the end of the file.
    bool refused;
  };
  const Case cases[] = {
      {"narrow_no_length", "", false, false},
      {"narrow_cut_length", Bytes({1, 0}), false, false},
      {"narrow_length_past_the_file", Bytes({0xF0, 0xFF, 0xFF, 0xFF, 'a', 'b', 'c'}), false, true},
      {"narrow_bytes_cut_short", Bytes({5, 0, 0, 0, 'a', 'b'}), false, true},
      {"wide_count_past_the_file", Bytes({0xFF, 0xFF, 0xFF, 0xFF, 'a', 0}), true, true},
      {"wide_units_cut_short", Bytes({3, 0, 0, 0, 'a', 0, 'b', 0}), true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Store(c.stored);
    GBinaryFile file(Path(), "rb");
    ASSERT_TRUE(file.IsOpen());
    if (c.wide) {
      RWWString target(QV_WIDE("old"));
      target.RestoreFrom(file);
      EXPECT_TRUE(target == QV_WIDE("old"));
    } else {
      RWCString target("old");
      target.RestoreFrom(file);
      EXPECT_EQ(Narrow(target), "old");
    }
    EXPECT_EQ(file.Failed(), c.refused);
    EXPECT_EQ(file.AtEnd(), !c.refused);
  }
}

}  // namespace
