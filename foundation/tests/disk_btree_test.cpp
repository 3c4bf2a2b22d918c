#include "foundation/disk_btree.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "foundation/file_space_manager.h"
#include "foundation/rw_cstring.h"
#include "foundation/testing/recording_error_handler.h"
#include "foundation/tests/disk_btree_checker.h"
#include "foundation/tests/disk_test_support.h"

namespace {

std::string Text(const RWCString& s) { return std::string(s.Data(), s.Length()); }

std::string Key(int i) {
  char text[16];
  std::snprintf(text, sizeof text, "key%05d", i);
  return text;
}

void Collect(const char* key, int32_t value, void* user) {
  static_cast<std::vector<std::pair<std::string, int32_t>>*>(user)->emplace_back(key, value);
}

// The tree the on-disk record store keeps in each of its files: 16-byte
// text keys, order 10, minimum 10, ten cached blocks, the header in the
// file's start block.
class GDiskBTreeTest : public DiskFileTest {
 protected:
  void Open(uint32_t order = 10, uint32_t minimum = 10, bool binary = false, int32_t style = 0) {
    tree_.reset();
    manager_ = std::make_unique<GFileSpaceManager>(Path());
    tree_ = std::make_unique<GDiskBTree>(*manager_, 10, 0, 16, binary, -1, style, order, minimum);
  }
  void Close() {
    tree_.reset();
    manager_.reset();
  }

  // Checks the tree as the file holds it and answers its entries.
  std::vector<std::pair<std::string, int32_t>> Checked(uint32_t order = 10, uint32_t minimum = 10) {
    manager_->File().Flush();
    DiskBTreeChecker checker(Contents(), {16, order, minimum, tree_->HasBinaryKeys()});
    EXPECT_EQ(checker.Check(tree_->RootOffset()), "");
    return checker.Entries();
  }

  // The end of the used space less what is free or holds free-list blocks
  // after the first.
  int64_t SpaceInUse() {
    manager_->File().Flush();
    const std::vector<int64_t> chain = Chain();
    int64_t free = 268 * static_cast<int64_t>(chain.size() - 1);
    for (const int64_t block : chain) {
      for (const Extent& extent : FreeEntries(static_cast<uint32_t>(block))) free += extent.size;
    }
    return manager_->EndOffset() - free;
  }

  DiskBTreeChecker::Node Node(int32_t offset, uint32_t order = 10) {
    manager_->File().Flush();
    return DiskBTreeChecker(Contents(), {16, order, 0, false}).ReadNode(offset);
  }

  std::unique_ptr<GFileSpaceManager> manager_;
  std::unique_ptr<GDiskBTree> tree_;
};

TEST(GDiskBTreeShape, NodeSizesAndFieldOffsets) {
  struct Case {
    const char* name;
    GDiskBTreeShape shape;
    uint32_t nodeSize;
    uint32_t valuesAt;
    uint32_t keysAt;
    uint32_t lastChildAt;
  };
  const Case cases[] = {
      {"record_store", {16, 10}, 488, 88, 168, 84},
      {"smallest", {1, 1}, 26, 16, 24, 12},
      {"binary_eight_by_two", {8, 2}, 72, 24, 40, 20},
      {"too_large_for_32_bits", {0x10000, 0x10000}, 0, 0x80008, 0x100008, 0x80004},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.shape.NodeSize(), c.nodeSize);
    EXPECT_EQ(c.shape.ChildAt(0), 4u);
    EXPECT_EQ(c.shape.ChildAt(2 * c.shape.order), c.lastChildAt);
    EXPECT_EQ(c.shape.ValueAt(0), c.valuesAt);
    EXPECT_EQ(c.shape.KeyAt(0), c.keysAt);
  }
}

TEST(GDiskBTreeHeader, FieldsAreStoredInTheirOrder) {
  GDiskBTreeHeader header;
  header.root = 0x01020304;
  header.entryCount = 7;
  header.keyLength = 16;
  header.order = 10;
  header.minimumFill = 9;
  header.flags = 1;
  uint8_t bytes[GDiskBTreeHeader::kSize];
  header.Encode(bytes);
  const int32_t expected[] = {0x01020304, -1, 512, 7, 16, 10, 9, -1, 0, 1};
  for (uint32_t i = 0; i < 10; ++i) {
    SCOPED_TRACE(i);
    int32_t word = 0;
    std::memcpy(&word, bytes + 4 * i, 4);  // the test hosts are little-endian
    EXPECT_EQ(word, expected[i]);
  }
  const GDiskBTreeHeader back = GDiskBTreeHeader::Decode(bytes);
  EXPECT_EQ(back.root, header.root);
  EXPECT_EQ(back.minimumFill, 9u);
  EXPECT_EQ(back.flags, 1u);
}

TEST_F(GDiskBTreeTest, TheRecordStoreTreeLivesInTheStartBlock) {
  Open();
  EXPECT_EQ(tree_->HeaderOffset(), 284);
  EXPECT_EQ(manager_->StartOffset(), 284);
  EXPECT_EQ(tree_->NodeSize(), 488u);
  EXPECT_EQ(tree_->Height(), 0u);
  ASSERT_TRUE(tree_->Insert("IndexOfRecords", 1000));
  manager_->File().Flush();
  const int32_t root = tree_->RootOffset();
  EXPECT_EQ(root, 284 + 44);
  EXPECT_EQ(Word(static_cast<uint32_t>(root) - 4), 492);
  struct Case {
    const char* name;
    uint32_t offset;
    int64_t word;
  };
  // clang-format off
  const Case cases[] = {
      {"header_block_size", 280, 44}, {"root", 284, root},     {"reserved", 288, -1},
      {"version", 292, 512},          {"entry_count_not_yet_written", 296, 0},
      {"key_length", 300, 16},        {"order", 304, 10},      {"minimum_fill", 308, 10},
      {"reserved_again", 312, -1},    {"text_keys", 320, 0},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Word(c.offset), c.word);
  }
  Close();
  EXPECT_EQ(Word(296), 1);  // written back when the tree goes
}

TEST_F(GDiskBTreeTest, TwentyOneKeysSplitTheRootOnce) {
  Open();
  for (int i = 0; i < 21; ++i) ASSERT_TRUE(tree_->Insert(Key(i).c_str(), i));
  EXPECT_EQ(tree_->Height(), 2u);
  EXPECT_EQ(tree_->Count(), 21u);
  const DiskBTreeChecker::Node root = Node(tree_->RootOffset());
  ASSERT_EQ(root.count, 1u);
  EXPECT_EQ(root.keys[0].c_str(), Key(10));
  EXPECT_EQ(Node(root.children[0]).count, 10u);
  EXPECT_EQ(Node(root.children[1]).count, 10u);
  EXPECT_EQ(Checked().size(), 21u);
}

TEST_F(GDiskBTreeTest, SplitsHandTheMiddleKeyUpWhereverTheNewKeyFalls) {
  struct Case {
    const char* name;
    int inserted;  // into a full leaf of the even keys 0 to 38
    std::string separator;
    uint32_t leftCount;
    uint32_t rightCount;
  };
  const Case cases[] = {
      {"new_key_in_the_left_half", 5, Key(18), 10, 10},
      {"new_key_is_the_middle", 19, Key(19), 10, 10},
      {"new_key_in_the_right_half", 33, Key(20), 10, 10},
      {"new_key_last", 99, Key(20), 10, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::remove(Path());
    Open();
    for (int i = 0; i < 40; i += 2) ASSERT_TRUE(tree_->Insert(Key(i).c_str(), i));
    ASSERT_TRUE(tree_->Insert(Key(c.inserted).c_str(), c.inserted));
    const DiskBTreeChecker::Node root = Node(tree_->RootOffset());
    ASSERT_EQ(root.count, 1u);
    EXPECT_EQ(root.keys[0].c_str(), c.separator);
    EXPECT_EQ(Node(root.children[0]).count, c.leftCount);
    EXPECT_EQ(Node(root.children[1]).count, c.rightCount);
    const auto entries = Checked();
    ASSERT_EQ(entries.size(), 21u);
    Close();
  }
}

TEST_F(GDiskBTreeTest, FindInsertUpdateAndRemoveAnswerAsTheyShould) {
  Open();
  for (int i = 0; i < 100; ++i) ASSERT_TRUE(tree_->Insert(Key(i).c_str(), 1000 + i));
  RWCString found;
  int32_t value = 0;
  EXPECT_TRUE(tree_->Find(Key(42).c_str(), found, value));
  EXPECT_EQ(Text(found), Key(42));
  EXPECT_EQ(value, 1042);
  EXPECT_FALSE(tree_->Find("absent", found, value));
  EXPECT_EQ(value, -1);

  EXPECT_FALSE(tree_->Insert(Key(42).c_str(), 7));
  EXPECT_EQ(tree_->Count(), 100u);

  int32_t old = 0;
  EXPECT_TRUE(tree_->UpdateValue(Key(42).c_str(), 5, old));
  EXPECT_EQ(old, 1042);
  EXPECT_FALSE(tree_->UpdateValue("absent", 5, old));
  EXPECT_EQ(old, -1);

  EXPECT_TRUE(tree_->Remove(Key(42).c_str(), found, value));
  EXPECT_EQ(Text(found), Key(42));
  EXPECT_EQ(value, 5);
  EXPECT_FALSE(tree_->Remove(Key(42).c_str(), found, value));
  EXPECT_EQ(value, -1);
  EXPECT_EQ(tree_->Count(), 99u);

  std::vector<std::pair<std::string, int32_t>> visited;
  tree_->ForEach(Collect, &visited);
  EXPECT_EQ(visited, Checked());
  ASSERT_EQ(visited.size(), 99u);
  EXPECT_EQ(visited.front(), (std::pair<std::string, int32_t>{Key(0), 1000}));
  EXPECT_EQ(visited.back(), (std::pair<std::string, int32_t>{Key(99), 1099}));
}

TEST_F(GDiskBTreeTest, RemovingEveryKeyFreesEveryNode) {
  Open(2, 2);
  const int32_t end = manager_->EndOffset();
  for (int i = 0; i < 300; ++i) ASSERT_TRUE(tree_->Insert(Key((i * 37) % 300).c_str(), i));
  EXPECT_GT(tree_->Height(), 3u);
  RWCString found;
  int32_t value = 0;
  for (int i = 0; i < 300; ++i) {
    ASSERT_TRUE(tree_->Remove(Key((i * 91) % 300).c_str(), found, value)) << i;
    if (i % 50 == 0) Checked(2, 2);
  }
  EXPECT_EQ(tree_->RootOffset(), -1);
  EXPECT_EQ(tree_->Count(), 0u);
  EXPECT_EQ(tree_->Height(), 0u);
  EXPECT_EQ(SpaceInUse(), end);
}

TEST_F(GDiskBTreeTest, ClearFreesEveryNodeAndEmptiesTheTree) {
  Open(2, 2);
  const int32_t end = manager_->EndOffset();
  for (int i = 0; i < 200; ++i) ASSERT_TRUE(tree_->Insert(Key(i).c_str(), i));
  tree_->Clear();
  EXPECT_EQ(tree_->RootOffset(), -1);
  EXPECT_EQ(tree_->Count(), 0u);
  EXPECT_EQ(SpaceInUse(), end);
  EXPECT_EQ(Word(284), -1);
  ASSERT_TRUE(tree_->Insert("again", 1));
  EXPECT_EQ(tree_->Count(), 1u);
}

TEST_F(GDiskBTreeTest, TextKeysReadBackWithoutPaddingAndCompareUpToSixteenBytes) {
  Open();
  ASSERT_TRUE(tree_->Insert("ab", 1));
  ASSERT_TRUE(tree_->Insert("abcdefghijklmnopXYZ", 2));
  EXPECT_FALSE(tree_->Insert("abcdefghijklmnopQRS", 3));  // the same first 16 bytes
  RWCString found;
  int32_t value = 0;
  ASSERT_TRUE(tree_->Find("ab", found, value));
  EXPECT_EQ(Text(found), "ab");
  ASSERT_TRUE(tree_->Find("abcdefghijklmnop", found, value));
  EXPECT_EQ(Text(found), "abcdefghijklmnop");
  EXPECT_EQ(value, 2);
  EXPECT_FALSE(tree_->Find("a", found, value));
  EXPECT_FALSE(tree_->Find("abc", found, value));
}

TEST_F(GDiskBTreeTest, BinaryKeysAreWholeBytes) {
  Open(10, 10, true);
  EXPECT_TRUE(tree_->HasBinaryKeys());
  const std::string a("a\0b\0\0\0\0\0\0\0\0\0\0\0\0\0", 16);
  const std::string b("a\0c\0\0\0\0\0\0\0\0\0\0\0\0\0", 16);
  ASSERT_TRUE(tree_->Insert(a.data(), 1));
  ASSERT_TRUE(tree_->Insert(b.data(), 2));
  RWCString found;
  int32_t value = 0;
  ASSERT_TRUE(tree_->Find(b.data(), found, value));
  EXPECT_EQ(Text(found), b);
  EXPECT_EQ(value, 2);
  Close();
  // Reopened for text keys: the header's flag still decides how stored keys
  // compare, but the caller's keys are read as text, never past their NUL.
  Open();
  EXPECT_TRUE(tree_->HasBinaryKeys());
  EXPECT_FALSE(tree_->Find(a.data(), found, value));
  ASSERT_TRUE(tree_->Insert("a", 3));
  ASSERT_TRUE(tree_->Find("a", found, value));
  EXPECT_EQ(Text(found), std::string("a\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 16));
  EXPECT_EQ(value, 3);
}

TEST_F(GDiskBTreeTest, CountAndStructureSurviveReopening) {
  Open(3, 1);
  for (int i = 0; i < 500; ++i) ASSERT_TRUE(tree_->Insert(Key(i).c_str(), i));
  Close();
  Open(10, 10);  // the shape comes from the header
  EXPECT_EQ(tree_->Order(), 3u);
  EXPECT_EQ(tree_->MinimumFill(), 1u);
  EXPECT_EQ(tree_->Count(), 500u);
  EXPECT_EQ(Checked(3, 1).size(), 500u);
}

TEST_F(GDiskBTreeTest, MinimumFillIsAtMostTheOrder) {
  manager_ = std::make_unique<GFileSpaceManager>(Path());
  GDiskBTree tree(*manager_, 10, 0, 16, false, -1, 0, 4, 9);
  EXPECT_EQ(tree.MinimumFill(), 4u);
}

TEST_F(GDiskBTreeTest, HeaderOfAnotherVersionFallsBackToTheRootOnlyStyle) {
  Open();
  for (int i = 0; i < 50; ++i) ASSERT_TRUE(tree_->Insert(Key(i).c_str(), i));
  Close();
  PutWord(292, 0x100);
  manager_ = std::make_unique<GFileSpaceManager>(Path());
  tree_ = std::make_unique<GDiskBTree>(*manager_, 10, 0, 16, true, -1, 0, 10, 10);
  EXPECT_EQ(tree_->HeaderOffset(), -1);
  EXPECT_FALSE(tree_->HasBinaryKeys());
  EXPECT_EQ(tree_->Count(), 50u);  // counted by a walk
  RWCString found;
  int32_t value = 0;
  EXPECT_TRUE(tree_->Find(Key(7).c_str(), found, value));
  ASSERT_TRUE(tree_->Insert("new", 1));
  EXPECT_EQ(tree_->Count(), 51u);
}

TEST_F(GDiskBTreeTest, RootOnlyStyleKeepsJustTheRootInTheStartBlock) {
  Open(2, 2, false, GDiskBTree::kRootOnlyStyle);
  EXPECT_EQ(manager_->StartOffset(), 284);
  EXPECT_EQ(tree_->HeaderOffset(), -1);
  manager_->File().Flush();
  EXPECT_EQ(Word(280), 8);
  EXPECT_EQ(Word(284), -1);
  for (int i = 0; i < 40; ++i) ASSERT_TRUE(tree_->Insert(Key(i).c_str(), i));
  manager_->File().Flush();
  EXPECT_EQ(Word(284), tree_->RootOffset());
  Close();
  Open(2, 2, false, GDiskBTree::kRootOnlyStyle);
  EXPECT_EQ(tree_->Count(), 40u);
  EXPECT_EQ(Checked(2, 2).size(), 40u);
}

int CompareReversed(const char* nodeKey, const char* searchKey, size_t length) {
  return -std::strncmp(nodeKey, searchKey, length);
}

TEST_F(GDiskBTreeTest, KeyCompareAndCacheCanBeReplaced) {
  Open();
  const GDiskBTree::KeyCompare original = tree_->SetKeyCompare(CompareReversed);
  EXPECT_EQ(tree_->SetKeyCompare(CompareReversed), CompareReversed);
  for (const char* key : {"b", "c", "a"}) ASSERT_TRUE(tree_->Insert(key, 0));
  std::vector<std::pair<std::string, int32_t>> visited;
  tree_->ForEach(Collect, &visited);
  ASSERT_EQ(visited.size(), 3u);
  EXPECT_EQ(visited[0].first, "c");
  EXPECT_EQ(visited[2].first, "a");

  EXPECT_EQ(tree_->SetCacheBlocks(3), 10u);
  EXPECT_EQ(tree_->SetCacheBlocks(3), 3u);
  RWCString found;
  int32_t value = 0;
  EXPECT_TRUE(tree_->Find("b", found, value));
  EXPECT_EQ(tree_->SetKeyCompare(original), CompareReversed);
}

TEST_F(GDiskBTreeTest, CreateModeOneWritesANewHeaderBlock) {
  Open();
  ASSERT_TRUE(tree_->Insert("first", 1));
  GDiskBTree second(*manager_, 4, GDiskBTree::kCreateNewHeader, 8, true, -1, 0, 2, 1);
  EXPECT_NE(second.HeaderOffset(), 284);
  ASSERT_TRUE(second.Insert("12345678", 2));
  const int32_t secondHeader = second.HeaderOffset();
  RWCString found;
  int32_t value = 0;
  EXPECT_FALSE(tree_->Find("12345678", found, value));
  GDiskBTree again(*manager_, 4, 0, 8, true, secondHeader, 0, 2, 1);
  EXPECT_TRUE(again.Find("12345678", found, value));
  EXPECT_EQ(value, 2);
}

TEST_F(GDiskBTreeTest, HeaderIsWrittenBackOnlyForWritableFiles) {
  Open();
  ASSERT_TRUE(tree_->Insert("a", 1));
  Close();
  EXPECT_EQ(Word(296), 1);
  {
    GFileSpaceManager manager(Path(), "rb");
    GDiskBTree tree(manager, 10, 0, 16, false, -1, 0, 10, 10);
    EXPECT_EQ(tree.Count(), 1u);
  }
  Open();  // "rb+"
  ASSERT_TRUE(tree_->Insert("b", 2));
  Close();
  EXPECT_EQ(Word(296), 2);
}

TEST_F(GDiskBTreeTest, DamagedHeadersLeaveATreeThatDoesNothing) {
  struct Case {
    const char* name;
    uint32_t offset;
    int32_t value;
  };
  const Case cases[] = {
      {"zero_key_length", 300, 0},
      {"zero_order", 304, 0},
      {"minimum_above_the_order", 308, 11},
      {"huge_nodes", 300, 0x40000000},
      {"root_outside_the_file", 284, 1 << 30},
      {"root_in_the_header", 284, 12},
      {"root_not_on_a_word", 284, 330},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::remove(Path());
    Open();
    ASSERT_TRUE(tree_->Insert("a", 1));
    Close();
    PutWord(c.offset, c.value);
    RecordingErrorHandler handler;
    Open();
    EXPECT_EQ(handler.Texts(), std::vector<std::string>{"[READERR] Read error"});
    RWCString found;
    int32_t value = 0;
    EXPECT_FALSE(tree_->Find("a", found, value));
    EXPECT_FALSE(tree_->Insert("b", 2));
    EXPECT_FALSE(tree_->Remove("a", found, value));
    EXPECT_EQ(tree_->Count(), 0u);
    tree_->Clear();
    Close();
  }
}

// Keys are read from the caller at the tree's own length: a file whose
// header gives another is refused, not read at its length.
TEST_F(GDiskBTreeTest, AHeaderOfAnotherKeyLengthIsRefused) {
  {
    manager_ = std::make_unique<GFileSpaceManager>(Path());
    GDiskBTree wide(*manager_, 10, 0, 64, true, -1, 0, 10, 10);
    const std::string key(64, 'k');
    ASSERT_TRUE(wide.Insert(key.data(), 1));
  }
  manager_.reset();
  RecordingErrorHandler handler;
  Open(10, 10, true);
  EXPECT_EQ(handler.Texts(), std::vector<std::string>{"[READERR] Read error"});
  const char key[16] = {'k', 'k', 'k', 'k', 'k', 'k', 'k', 'k', 'k', 'k', 'k', 'k', 'k', 'k', 'k', 'k'};
  RWCString found;
  int32_t value = 0;
  EXPECT_FALSE(tree_->Find(key, found, value));
  EXPECT_FALSE(tree_->Insert(key, 2));
}

// After a read error the tree still reads what it can, but writes nothing:
// neither its nodes nor, when it goes, its header.
TEST_F(GDiskBTreeTest, ADamagedFileIsNeverWrittenAgain) {
  Open(2, 2);
  for (int i = 0; i < 30; ++i) ASSERT_TRUE(tree_->Insert(Key(i).c_str(), i));
  const int32_t root = tree_->RootOffset();
  const int32_t damaged = Node(root, 2).children[0];
  const int32_t sound = Node(root, 2).children[1];
  const std::string kept = Node(sound, 2).keys[0];
  Close();
  PutWord(static_cast<uint32_t>(damaged), 5);  // more keys than a node holds
  const std::string before = Contents();
  RecordingErrorHandler handler;
  Open(2, 2);
  RWCString found;
  int32_t value = 0;
  EXPECT_FALSE(tree_->Find(Key(0).c_str(), found, value));
  EXPECT_EQ(handler.Texts(), std::vector<std::string>{"[READERR] Read error"});
  EXPECT_TRUE(manager_->IsDamaged());
  EXPECT_TRUE(tree_->Find(kept.c_str(), found, value));
  EXPECT_FALSE(tree_->Insert("new", 1));
  EXPECT_FALSE(tree_->Remove(kept.c_str(), found, value));
  EXPECT_FALSE(tree_->UpdateValue(kept.c_str(), 7, value));
  tree_->Clear();
  Close();
  EXPECT_EQ(Contents(), before);
}

TEST_F(GDiskBTreeTest, DamagedNodesFailTheOperationThatMeetsThem) {
  struct Case {
    const char* name;
    int child;  // of the root, -1 for the root itself
    uint32_t field;
    int32_t value;
  };
  // A tree of order 2 holding 30 keys: three levels.
  const Case cases[] = {
      {"count_above_two_n", 0, 0, 5},
      {"child_points_back_at_the_root", 0, 4, 0},  // patched below to the root offset
      {"root_points_at_itself", -1, 8, 0},
      {"child_beyond_the_file", 1, 4, 1 << 24},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::remove(Path());
    Open(2, 2);
    for (int i = 0; i < 30; ++i) ASSERT_TRUE(tree_->Insert(Key(i).c_str(), i));
    const int32_t root = tree_->RootOffset();
    const int32_t target = c.child < 0 ? root : Node(root, 2).children[static_cast<size_t>(c.child)];
    Close();
    PutWord(static_cast<uint32_t>(target) + c.field, c.value == 0 ? root : c.value);
    RecordingErrorHandler handler;
    Open(2, 2);
    RWCString found;
    int32_t value = 0;
    for (int i = 0; i < 30; ++i) tree_->Find(Key(i).c_str(), found, value);
    for (int i = 0; i < 30; ++i) tree_->Insert(Key(100 + i).c_str(), i);
    for (int i = 0; i < 30; ++i) tree_->Remove(Key(i).c_str(), found, value);
    std::vector<std::pair<std::string, int32_t>> visited;
    tree_->ForEach(Collect, &visited);
    tree_->Height();
    tree_->Clear();
    EXPECT_FALSE(handler.Texts().empty());
    for (const std::string& text : handler.Texts()) EXPECT_EQ(text, "[READERR] Read error");
    Close();
  }
}

}  // namespace
