#include "foundation/binary_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "foundation/testing/scratch_files.h"
#include "foundation/tests/stream_test_support.h"

namespace {

class GBinaryFileTest : public ::testing::Test, protected ScratchFile {};

TEST_F(GBinaryFileTest, MissingFileIsCreatedByTheSecondMode) {
  EXPECT_FALSE(GBinaryFile::Exists(Path()));
  GBinaryFile file(Path());
  ASSERT_TRUE(file.IsOpen());
  EXPECT_STREQ(file.Mode(), "wb+");
  EXPECT_TRUE(file.Exists());
  EXPECT_TRUE(GBinaryFile::Exists(Path(), 6));
  EXPECT_TRUE(file.IsEmpty());
}

TEST_F(GBinaryFileTest, ExistingFileOpensForReadingAndWriting) {
  Store("abc");
  GBinaryFile file(Path());
  EXPECT_STREQ(file.Mode(), "rb+");
  char first = 0;
  EXPECT_TRUE(file.Read(first));
  EXPECT_EQ(first, 'a');
  EXPECT_TRUE(file.Write('B'));
  EXPECT_TRUE(file.SeekTo(0));
  char all[3];
  EXPECT_TRUE(file.Read(all, 3));
  EXPECT_EQ(std::string(all, 3), "aBc");
}

TEST_F(GBinaryFileTest, GivenModeThatFailsLeavesTheFileClosed) {
  GBinaryFile file(Path(), "rb");
  EXPECT_FALSE(file.IsOpen());
  EXPECT_STREQ(file.Mode(), "rb");
  int32_t value = 0;
  EXPECT_FALSE(file.Read(value));
  EXPECT_FALSE(file.Write(value));
  EXPECT_FALSE(file.Flush());
  EXPECT_TRUE(file.Failed());
  EXPECT_EQ(file.Offset(), -1);
  char text[4];
  EXPECT_FALSE(file.ReadText(text, sizeof text));
}

TEST_F(GBinaryFileTest, ValuesAreWrittenInMachineOrder) {
  {
    GBinaryFile file(Path());
    const int16_t shorts[] = {-2, 3};
    const double doubles[] = {1.0};
    EXPECT_TRUE(file.Write(uint16_t{0x888F}));
    EXPECT_TRUE(file.Write(int32_t{5}));
    EXPECT_TRUE(file.Write('x'));
    EXPECT_TRUE(file.Write(uint8_t{0xFF}));
    EXPECT_TRUE(file.Write(-1.0f));
    EXPECT_TRUE(file.Write(shorts, 2));
    EXPECT_TRUE(file.Write(doubles, 1));
    EXPECT_TRUE(file.Write("hi"));
    EXPECT_EQ(file.Offset(), 27);
  }
  EXPECT_EQ(Hex(Contents()), Hex(Bytes({0x8F, 0x88, 5, 0, 0, 0, 'x', 0xFF, 0,    0,    0x80, 0xBF, 0xFE, 0xFF,
                                        3,    0,    0, 0, 0, 0, 0,   0,    0xF0, 0x3F, 'h',  'i',  0})));
}

TEST_F(GBinaryFileTest, EveryTypeReadsBack) {
  GBinaryFile file(Path());
  const uint32_t ulongs[] = {1, 0xFFFFFFFF};
  file.Write(int16_t{-5});
  file.Write(uint32_t{0xDEADBEEF});
  file.Write(2.5);
  file.Write(ulongs, 2);
  file.Write("name");
  ASSERT_TRUE(file.SeekTo(0));
  int16_t s = 0;
  uint32_t u = 0;
  double d = 0;
  uint32_t back[2];
  char name[8];
  EXPECT_TRUE(file.Read(s));
  EXPECT_TRUE(file.Read(u));
  EXPECT_TRUE(file.Read(d));
  EXPECT_TRUE(file.Read(back, 2));
  EXPECT_TRUE(file.ReadText(name, sizeof name));
  EXPECT_EQ(s, -5);
  EXPECT_EQ(u, 0xDEADBEEF);
  EXPECT_EQ(d, 2.5);
  EXPECT_EQ(back[1], 0xFFFFFFFF);
  EXPECT_STREQ(name, "name");
}

TEST_F(GBinaryFileTest, ShortReadFailsAndSetsEndOfFile) {
  Store(std::string(6, '\1'));
  GBinaryFile file(Path());
  ASSERT_TRUE(file.SeekTo(4));
  int32_t value = 0;
  EXPECT_FALSE(file.Read(value));
  EXPECT_TRUE(file.AtEnd());
  EXPECT_FALSE(file.Failed());
  file.ClearError();
  EXPECT_FALSE(file.AtEnd());
  ASSERT_TRUE(file.SeekToEnd());
  EXPECT_EQ(file.Offset(), 6);
  int16_t array[2];
  ASSERT_TRUE(file.SeekTo(2));
  EXPECT_FALSE(file.Read(array, 3));
}

TEST_F(GBinaryFileTest, TextReadIsBoundedByTheBuffer) {
  struct Case {
    const char* name;
    std::string stored;
    uint32_t size;
    bool ok;
    const char* expected;
    int32_t offsetAfter;
  };
  const Case cases[] = {
      {"terminated", std::string("abc\0def", 7), 8, true, "abc", 4},
      {"empty_text", std::string("\0x", 2), 8, true, "", 1},
      {"exact_fit", std::string("abc\0", 4), 4, true, "abc", 4},
      {"no_terminator_before_the_end", "abcdef", 16, false, "abcdef", 6},
      {"longer_than_the_buffer", std::string("abcdef\0", 7), 4, false, "abc", 3},
      {"no_room_at_all", "abc", 0, false, nullptr, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Store(c.stored);
    GBinaryFile file(Path());
    char buffer[16] = "untouched";
    EXPECT_EQ(file.ReadText(buffer, c.size), c.ok);
    if (c.expected) {
      EXPECT_STREQ(buffer, c.expected);
    }
    EXPECT_EQ(file.Offset(), c.offsetAfter);
  }
}

TEST_F(GBinaryFileTest, CanHoldComparesWithWhatIsLeftIncludingBufferedWrites) {
  GBinaryFile file(Path());
  file.Write(std::string(10, 'x').c_str(), 10);
  EXPECT_FALSE(file.CanHold(1, 1));
  ASSERT_TRUE(file.SeekTo(2));
  EXPECT_TRUE(file.CanHold(4, 2));
  EXPECT_FALSE(file.CanHold(9, 1));
  EXPECT_FALSE(file.CanHold(0xFFFFFFFF, 4));
  EXPECT_EQ(file.Offset(), 2);
}

TEST_F(GBinaryFileTest, EraseLeavesAnEmptyFileOpenAtTheStart) {
  GBinaryFile file(Path());
  file.Write(int32_t{7});
  EXPECT_FALSE(file.IsEmpty());
  ASSERT_TRUE(file.Erase());
  EXPECT_TRUE(file.IsOpen());
  EXPECT_TRUE(file.IsEmpty());
  EXPECT_EQ(file.Offset(), 0);
  EXPECT_TRUE(file.Write(int16_t{1}));
  EXPECT_TRUE(file.SeekTo(0));
  int16_t back = 0;
  EXPECT_TRUE(file.Read(back));
  EXPECT_EQ(back, 1);
}

TEST_F(GBinaryFileTest, ReadIntoNewCellAllocatesEvenWhenTheReadFails) {
  Store(Bytes({0x34, 0x12, 0x78, 0x56}));
  GBinaryFile file(Path());
  uint16_t* first = nullptr;
  EXPECT_TRUE(ReadIntoNewCell(file, first));
  std::unique_ptr<uint16_t> ownedFirst(first);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(*first, 0x1234);
  double* second = nullptr;
  EXPECT_FALSE(ReadIntoNewCell(file, second));
  std::unique_ptr<double> ownedSecond(second);
  EXPECT_NE(second, nullptr);
}

}  // namespace
