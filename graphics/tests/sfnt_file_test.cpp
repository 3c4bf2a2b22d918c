// The font file's table directory against fontTools, on Debian's fonts, and
// on files whose directory lies about the file.

#include "graphics/fonts/truetype/sfnt_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <fstream>

#include "graphics/fonts/truetype/tt_tables.h"
#include "graphics/tests/font_tools_dump.h"

namespace {

using Bytes = FontToolsDump::Bytes;

TEST(SfntFile, EveryKnownTableIsTheBytesFontToolsReads) {
  for (const SystemFont& font : kSystemFonts) {
    SCOPED_TRACE(font.name);
    const FontToolsDump dump(font.path, std::string("sfnt_") + font.name);
    ASSERT_TRUE(dump.Ok());
    GSfntFile file;
    ASSERT_TRUE(file.Open(font.path));
    for (uint32_t index = 0; index < tt_tables::kNone; ++index) {
      const uint32_t tag = tt_tables::TagOf(index);
      SCOPED_TRACE(index);
      const std::optional<Bytes> expected = dump.Table(tag);
      ASSERT_EQ(file.TableSize(tag), expected ? expected->size() : 0);
      if (!expected) continue;
      Bytes read(expected->size());
      ASSERT_TRUE(file.Read(tag, 0, read.data(), static_cast<uint32_t>(read.size())));
      EXPECT_TRUE(read == *expected);
    }
  }
}

std::string WriteFile(const std::string& name, const Bytes& bytes) {
  const std::string path = testing::TempDir() + "sfnt_" + name;
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

void PutU32(Bytes& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

// A file of one directory entry per (tag, offset, length) and 64 bytes of
// table data after the directory, each byte its own position.
Bytes MakeFile(uint32_t version, const std::vector<std::array<uint32_t, 3>>& tables) {
  const size_t directoryEnd = 12 + 16 * tables.size();
  Bytes bytes(directoryEnd + 64);
  PutU32(bytes, 0, version);
  bytes[4] = 0;
  bytes[5] = static_cast<uint8_t>(tables.size());
  for (size_t i = 0; i < tables.size(); ++i) {
    PutU32(bytes, 12 + 16 * i, tables[i][0]);
    PutU32(bytes, 12 + 16 * i + 8, tables[i][1]);
    PutU32(bytes, 12 + 16 * i + 12, tables[i][2]);
  }
  for (size_t i = directoryEnd; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i);
  return bytes;
}

TEST(SfntFile, TablesOutsideTheFileAreAbsentAndReadsStayInsideTheirTable) {
  const uint32_t head = tt_tables::MakeTag("head");
  const uint32_t cmap = tt_tables::MakeTag("cmap");
  const uint32_t name = tt_tables::MakeTag("name");
  const uint32_t post = tt_tables::MakeTag("post");
  // 92 bytes of directory, then 64 of data: the file is 156 bytes, and
  // cmap ends exactly at its end.
  const Bytes bytes =
      MakeFile(0x00010000, {{head, 92, 16}, {cmap, 132, 24}, {name, 132, 25}, {post, 0xFFFFFFF0, 0x20}, {head, 70, 4}});
  GSfntFile file;
  ASSERT_TRUE(file.Open(WriteFile("lies", bytes)));
  EXPECT_EQ(file.TableSize(head), 16u);
  EXPECT_EQ(file.TableSize(cmap), 24u);
  EXPECT_EQ(file.TableSize(name), 0u) << "runs one byte past the end";
  EXPECT_EQ(file.TableSize(post), 0u) << "offset plus length wraps in 32 bits";

  struct Case {
    const char* name;
    uint64_t offset;
    uint32_t length;
    bool read;
  };
  const Case cases[] = {
      {"whole_table", 0, 24, true},          {"ends_at_the_end", 20, 4, true},      {"one_byte_over", 21, 4, false},
      {"offset_past_the_end", 25, 0, false}, {"huge_offset", 1ull << 40, 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes read(c.length + 1, 0xEE);
    ASSERT_EQ(file.Read(cmap, c.offset, read.data(), c.length), c.read);
    if (c.read && c.length != 0) {
      EXPECT_EQ(read[0], static_cast<uint8_t>(132 + c.offset));
    }
  }
}

TEST(SfntFile, FilesWithoutATableDirectoryDoNotOpen) {
  struct Case {
    const char* name;
    Bytes bytes;
  };
  Bytes tooManyTables = MakeFile(0x00010000, {});
  tooManyTables[5] = 200;
  const Case cases[] = {
      {"empty", {}},
      {"short_header", {0, 1, 0, 0, 0}},
      {"postscript_outlines", MakeFile(0x4F54544F, {})},
      {"directory_past_the_end", tooManyTables},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GSfntFile file;
    EXPECT_FALSE(file.Open(WriteFile(c.name, c.bytes)));
    EXPECT_EQ(file.TableSize(tt_tables::MakeTag("head")), 0u);
  }
  GSfntFile missing;
  EXPECT_FALSE(missing.Open(testing::TempDir() + "sfnt_no_such_file"));
}

// A stored job names its font file: a pipe named there would block the
// reader until some writer came, and a device would never end.
TEST(SfntFile, OnlyPlainFilesOpen) {
  const std::string pipe = testing::TempDir() + "sfnt_pipe";
  std::remove(pipe.c_str());
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  for (const std::string& path : {pipe, std::string("/dev/zero"), testing::TempDir()}) {
    SCOPED_TRACE(path);
    GSfntFile file;
    EXPECT_FALSE(file.Open(path));
  }
  std::remove(pipe.c_str());
}

}  // namespace
