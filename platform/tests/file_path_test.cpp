#include "platform/file_path.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Text = std::basic_string<WideChar>;

// Names go to the file system and come back unchanged, whatever their
// characters: ASCII, accented, CJK and a character beyond the 16-bit range.
TEST(FilePath, NamesSurviveTheFileSystemsForm) {
  const Text names[] = {QV_WIDE("plain.txt"), QV_WIDE("caf\u00e9"), QV_WIDE("\u5370\u5237"),
                        QV_WIDE("\U0001F5A8 printer")};
  for (const Text& name : names) {
    EXPECT_EQ(platform::FromFilePath(platform::ToFilePath(name.data(), static_cast<uint32_t>(name.size()))), name);
  }
}

// A lone surrogate (which only Windows can keep in a file name) does not
// upset the conversion of the characters around it.
TEST(FilePath, ALoneSurrogateLeavesTheOtherCharactersAlone) {
  const WideChar lone[] = {'a', 0xD800, 'b'};
  const Text back = platform::FromFilePath(platform::ToFilePath(lone, 3));
  ASSERT_EQ(back.size(), 3u);
  EXPECT_EQ(back[0], 'a');
  EXPECT_EQ(back[2], 'b');
}

}  // namespace
