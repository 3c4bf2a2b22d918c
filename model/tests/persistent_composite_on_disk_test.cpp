#include "model/store/persistent_composite_on_disk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "foundation/binary_file.h"
#include "foundation/disk_btree.h"
#include "foundation/file_space_manager.h"
#include "foundation/rw_cstring.h"
#include "foundation/testing/recording_error_handler.h"
#include "model/objects/persistent_composite.h"
#include "model/store/persistent_composite_on_disk_imp.h"
#include "model/store/record.h"
#include "model/testing/round_trip.h"
#include "model/testing/test_nodes.h"
#include "model/tests/on_disk_test_support.h"

namespace {

GObjectRef Leaf(int32_t key, int32_t value = 0) { return GObjectRef(new ValueNode(key, value)); }

GObjectRef CompositeOf(int32_t key, std::initializer_list<int32_t> childKeys) {
  auto* composite = new MPersistentComposite(key);
  for (int32_t child : childKeys) composite->AddChild(new ValueNode(child, child * 10));
  return GObjectRef(composite);
}

// The top-level children in order, each read back through the iterator.
std::vector<int32_t> KeysInOrder(MPersistentObject& store) {
  std::vector<int32_t> keys;
  const std::unique_ptr<GIterator> iterator = store.NewChildIterator();
  auto& records = dynamic_cast<GEmptyIterator&>(*iterator);
  while (records.Advance()) {
    const GObjectRef child = records.CurrentShared();
    keys.push_back(child ? child->Key() : -1);
  }
  return keys;
}

std::vector<int32_t> ChildKeys(const MPersistentObject& composite) {
  std::vector<int32_t> keys;
  for (const GCountedPtr& child : dynamic_cast<const MPersistentComposite&>(composite).Children()) {
    keys.push_back(child->Key());
  }
  return keys;
}

uint32_t TopLevelRecords(const MPersistentCompositeOnDisk& store) {
  return store.Implementation()->Records().RecordCount();
}

// A closed store file seen as the file-space manager and B-tree it is.
struct ClosedStoreFile {
  explicit ClosedStoreFile(const std::string& path)
      : manager(path.c_str(), "rb+"), tree(manager, 10, 0, 16, false, -1, 0, 10, 10) {}

  std::set<std::string> Keys() {
    std::set<std::string> keys;
    tree.ForEach([](const char* key, int32_t, void* user) { static_cast<std::set<std::string>*>(user)->insert(key); },
                 &keys);
    return keys;
  }

  GFileSpaceManager manager;
  GDiskBTree tree;
};

uint32_t StartOffsetWord(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  uint8_t bytes[4] = {};
  in.read(reinterpret_cast<char*>(bytes), 4);
  return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | uint32_t{bytes[3]} << 24;
}

TEST(OnDiskStore, TenThousandObjectsComeBackEqualAfterReopening) {
  const ScratchDirectory directory;
  const std::string path = directory.File("pages.spl");
  auto* composite = new MPersistentComposite(77);
  for (int32_t i = 0; i < 10000; ++i) composite->AddChild(new ValueNode(i, i * 7 - 5000));
  const GObjectRef original(composite);
  {
    MPersistentCompositeOnDisk store(WidePath(path), 0, 1);
    store.AddShared(original);
    EXPECT_EQ(store.EntryCount(), 10000u);
  }
  MPersistentCompositeOnDisk reopened(WidePath(path), 0, 1);
  EXPECT_FALSE(reopened.HasFailed());
  EXPECT_EQ(reopened.EntryCount(), 10000u);
  const GObjectRef back = reopened.FindSharedByKey(77);
  ASSERT_TRUE(back);
  EXPECT_NE(back.Get(), original.Get());
  EXPECT_TRUE(back->Equals(original.Get()));
  EXPECT_EQ(back->SerialNumber(), original->SerialNumber());
  EXPECT_EQ(reopened.EntryCount(), 0u);
}

TEST(OnDiskStore, StoreFileLayout) {
  const ScratchDirectory directory;
  const std::string path = directory.File("layout.spl");
  const GObjectRef composite = CompositeOf(5, {1, 2, 3});
  std::set<std::string> expectedKeys = {"IndexOfRecords", GRecord::KeyString(composite->SerialNumber()).Data()};
  for (const GCountedPtr& child : dynamic_cast<MPersistentComposite&>(*composite).Children()) {
    expectedKeys.insert(GRecord::KeyString(child->SerialNumber()).Data());
  }
  uint32_t topLevel = 0;
  uint32_t entries = 0;
  {
    MPersistentCompositeOnDisk store(WidePath(path), 0, 0);
    store.AddShared(composite);
    topLevel = TopLevelRecords(store);
    entries = store.EntryCount();
  }
  ClosedStoreFile file(path);
  struct Case {
    const char* name;
    int64_t actual;
    int64_t expected;
  };
  const Case cases[] = {
      {"one_top_level_record_for_the_composite", topLevel, 1},
      {"the_three_leaves_are_counted", entries, 3},
      {"four_graphs_and_the_index_are_keyed", static_cast<int64_t>(file.tree.Count()), 5},
      {"tree_header_is_the_start_block", file.tree.HeaderOffset(), 284},
      {"start_offset_word_names_it", StartOffsetWord(path), 284},
      {"key_length", file.tree.KeyLength(), 16},
      {"order", file.tree.Order(), 10},
      {"minimum_fill", file.tree.MinimumFill(), 10},
      {"node_size", file.tree.NodeSize(), 488},
      {"text_keys", file.tree.HasBinaryKeys(), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.actual, c.expected);
  }
  EXPECT_EQ(file.Keys(), expectedKeys);
}

TEST(OnDiskStore, HandlesOnOneFileShareOneImplementation) {
  const ScratchDirectory directory;
  const std::string path = directory.File("shared.spl");
  auto first = std::make_unique<MPersistentCompositeOnDisk>(WidePath(path), 0, 0);
  auto second = std::make_unique<MPersistentCompositeOnDisk>(WidePath(path), 0, 0);
  const MPersistentCompositeOnDiskImp* shared = first->Implementation();
  ASSERT_NE(shared, nullptr);
  EXPECT_EQ(second->Implementation(), shared);
  first->AddShared(Leaf(1));
  EXPECT_EQ(second->EntryCount(), 1u);

  // The handle closed first keeps the implementation while the other is
  // open, and still after that one closes: the file stays open.
  first->Close();
  EXPECT_EQ(first->State(), MPersistentCompositeOnDisk::kClosed);
  EXPECT_EQ(first->Implementation(), shared);
  second->Close();
  EXPECT_EQ(second->Implementation(), nullptr);
  EXPECT_EQ(first->Implementation(), shared);

  // A handle opened meanwhile joins the implementation that still holds
  // the file rather than opening it a second time.
  {
    MPersistentCompositeOnDisk third(WidePath(path), 0, 0);
    EXPECT_EQ(third.Implementation(), shared);
    EXPECT_EQ(third.EntryCount(), 1u);
  }
  first.reset();
  // Now the file was closed, writing its index.
  EXPECT_EQ(ClosedStoreFile(path).Keys().count("IndexOfRecords"), 1u);

  // A single handle closes the file at its close.
  MPersistentCompositeOnDisk alone(WidePath(path), 0, 0);
  EXPECT_EQ(alone.EntryCount(), 1u);
  alone.Close();
  EXPECT_EQ(alone.Implementation(), nullptr);
  EXPECT_EQ(ClosedStoreFile(path).Keys().count("IndexOfRecords"), 1u);
  // Any child operation opens it again.
  EXPECT_EQ(alone.EntryCount(), 1u);
  EXPECT_EQ(alone.State(), MPersistentCompositeOnDisk::kOpen);
}

TEST(OnDiskStore, CopiesAndRestoredHandlesShareTheFile) {
  const ScratchDirectory directory;
  const std::string path = directory.File("copies.spl");
  MPersistentCompositeOnDisk store(WidePath(path), 0, 9);
  store.AddShared(Leaf(1));
  EXPECT_TRUE(RoundTrips(store));
  EXPECT_TRUE(RoundTrips(MPersistentCompositeOnDiskImp()));
  {
    const MPersistentCompositeOnDisk copy(store);
    EXPECT_EQ(copy.Implementation(), store.Implementation());
    EXPECT_TRUE(copy.Equals(&store));
  }
  // The copy's close left the original's entry alone: a new handle still
  // finds the open store.
  const MPersistentCompositeOnDisk later(WidePath(path), 0, 0);
  EXPECT_EQ(later.Implementation(), store.Implementation());
  EXPECT_EQ(store.StoredSize(), 12 + path.size() + 16);
}

TEST(OnDiskStore, TakingRemovesAndFetchingCopies) {
  const ScratchDirectory directory;
  struct Case {
    const char* name;
    GObjectRef (*take)(MPersistentObject& store, const MPersistentObject& object);
    GObjectRef (*fetch)(MPersistentObject& store, const MPersistentObject& object);
  };
  const Case cases[] = {
      {"by_key", [](MPersistentObject& s, const MPersistentObject& o) { return s.FindSharedByKey(o.Key()); },
       [](MPersistentObject& s, const MPersistentObject& o) { return s.SharedIfKey(o.Key()); }},
      {"by_class", [](MPersistentObject& s, const MPersistentObject& o) { return s.FindSharedByClassId(o.ClassID()); },
       [](MPersistentObject& s, const MPersistentObject& o) { return s.SharedIfClassId(o.ClassID()); }},
      {"by_identity", [](MPersistentObject& s, const MPersistentObject& o) { return s.FindSharedByNode(&o); },
       [](MPersistentObject& s, const MPersistentObject& o) { return s.SharedIfEqual(o); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MPersistentCompositeOnDisk store(WidePath(directory.File(c.name)), 0, 0);
    const GObjectRef wanted(new OtherNode(2, 20));
    store.AddShared(Leaf(1, 10));
    store.AddShared(wanted);
    store.AddShared(Leaf(3, 30));

    const GObjectRef first = c.fetch(store, *wanted);
    const GObjectRef second = c.fetch(store, *wanted);
    ASSERT_TRUE(first && second);
    EXPECT_NE(first.Get(), second.Get());
    EXPECT_TRUE(first->Equals(wanted.Get()));
    EXPECT_EQ(store.EntryCount(), 3u);

    const GObjectRef taken = c.take(store, *wanted);
    ASSERT_TRUE(taken);
    EXPECT_TRUE(taken->Equals(wanted.Get()));
    EXPECT_EQ(taken->SerialNumber(), wanted->SerialNumber());
    EXPECT_FALSE(c.take(store, *wanted));
    EXPECT_FALSE(c.fetch(store, *wanted));
    EXPECT_EQ(KeysInOrder(store), (std::vector<int32_t>{1, 3}));
  }
}

TEST(OnDiskStore, TakingACompositeReattachesItsChildren) {
  const ScratchDirectory directory;
  MPersistentCompositeOnDisk store(WidePath(directory.File("composite.spl")), 0, 0);
  store.AddShared(Leaf(1));
  const GObjectRef composite = CompositeOf(7, {70, 71, 72});
  store.AddShared(composite);
  EXPECT_EQ(store.EntryCount(), 4u);

  // A child of the composite is found below its record.
  const GObjectRef middle = store.SharedIfKey(71);
  ASSERT_TRUE(middle);
  EXPECT_EQ(dynamic_cast<ValueNode&>(*middle).value, 710);

  const GObjectRef taken = store.FindSharedByClassId(kMPersistentCompositeClassID);
  ASSERT_TRUE(taken);
  EXPECT_TRUE(taken->Equals(composite.Get()));
  EXPECT_EQ(ChildKeys(*taken), (std::vector<int32_t>{70, 71, 72}));
  EXPECT_EQ(TopLevelRecords(store), 1u);
  EXPECT_FALSE(store.SharedIfKey(71));
}

TEST(OnDiskStore, ReplacingKeepsThePlaceOfTheReplacedChild) {
  const ScratchDirectory directory;
  MPersistentCompositeOnDisk store(WidePath(directory.File("replace.spl")), 0, 0);
  store.AddShared(Leaf(1, 10));
  const GObjectRef second = Leaf(2, 20);
  store.AddShared(second);
  store.AddShared(CompositeOf(5, {50, 51, 52}));
  store.AddShared(Leaf(3, 30));

  EXPECT_TRUE(store.ReplaceSharedByKey(2, ValueNode(12, 120)));
  EXPECT_TRUE(store.ReplaceSharedByKey(51, ValueNode(61, 610)));
  EXPECT_FALSE(store.ReplaceSharedByClassId(OtherNode::kID, ValueNode(0, 0)));
  EXPECT_FALSE(store.ReplaceSharedByKey(99, ValueNode(0, 0)));
  EXPECT_EQ(KeysInOrder(store), (std::vector<int32_t>{1, 12, 5, 3}));
  EXPECT_EQ(TopLevelRecords(store), 4u);

  // By identity: the replacement of a replacement, found by its serial.
  const GObjectRef current = store.SharedIfKey(12);
  ASSERT_TRUE(current);
  EXPECT_TRUE(store.ReplaceShared(*current, OtherNode(13, 130)));
  EXPECT_FALSE(store.ReplaceShared(*second, ValueNode(0, 0)));
  EXPECT_EQ(KeysInOrder(store), (std::vector<int32_t>{1, 13, 5, 3}));

  const GObjectRef composite = store.FindSharedByKey(5);
  ASSERT_TRUE(composite);
  EXPECT_EQ(ChildKeys(*composite), (std::vector<int32_t>{50, 61, 52}));
}

TEST(OnDiskStore, KeysStayUniqueForCopiesAndClearedSerialNumbers) {
  const ScratchDirectory directory;
  const std::string path = directory.File("unique.spl");
  const GObjectRef original = Leaf(1, 10);
  const GObjectRef copy(new ValueNode(dynamic_cast<ValueNode&>(*original)));
  copy->SetKey(2);
  const GObjectRef cleared = CompositeOf(3, {30, 31});
  cleared->ClearSerialNumbers();
  {
    MPersistentCompositeOnDisk store(WidePath(path), 0, 0);
    store.AddShared(original);
    store.AddShared(copy);
    store.AddShared(original);
    store.AddShared(cleared);
    store.AddShared(cleared);
    EXPECT_EQ(store.EntryCount(), 7u);
    EXPECT_FALSE(store.HasFailed());
  }
  MPersistentCompositeOnDisk store(WidePath(path), 0, 0);
  EXPECT_EQ(KeysInOrder(store), (std::vector<int32_t>{1, 2, 1, 3, 3}));
  std::set<uint32_t> serialNumbers;
  while (GObjectRef composite = store.FindSharedByKey(3)) {
    EXPECT_TRUE(composite->Equals(cleared.Get()));
    for (const GCountedPtr& child : dynamic_cast<MPersistentComposite&>(*composite).Children()) {
      serialNumbers.insert(child->SerialNumber());
    }
    serialNumbers.insert(composite->SerialNumber());
  }
  std::vector<int32_t> keys;
  while (GObjectRef child = store.FindSharedByClassId(ValueNode::kID)) {
    serialNumbers.insert(child->SerialNumber());
    keys.push_back(child->Key());
  }
  EXPECT_EQ(keys, (std::vector<int32_t>{1, 2, 1}));
  EXPECT_EQ(serialNumbers.size(), 9u);
  EXPECT_EQ(serialNumbers.count(0), 0u);
  EXPECT_EQ(store.EntryCount(), 0u);
}

TEST(OnDiskStore, RemoveAllChildrenStartsAnEmptyFile) {
  const ScratchDirectory directory;
  const std::string path = directory.File("reset.spl");
  MPersistentCompositeOnDisk store(WidePath(path), 0, 0);
  for (int32_t key = 1; key <= 50; ++key) store.AddShared(Leaf(key));
  store.RemoveAllChildren();
  EXPECT_EQ(store.EntryCount(), 0u);
  EXPECT_FALSE(store.SharedIfKey(7));
  EXPECT_FALSE(store.HasFailed());
  store.AddShared(Leaf(8, 80));
  EXPECT_EQ(KeysInOrder(store), (std::vector<int32_t>{8}));
  store.Close();
  EXPECT_EQ(ClosedStoreFile(path).Keys().size(), 2u);
}

TEST(OnDiskStore, OptionOneDeletesTheFileWhenNoHandleUsesItAnyMore) {
  const ScratchDirectory directory;
  const std::string path = directory.File("temporary.spl");
  auto deleting =
      std::make_unique<MPersistentCompositeOnDisk>(WidePath(path), MPersistentCompositeOnDisk::kDeleteFile, 0);
  auto keeping = std::make_unique<MPersistentCompositeOnDisk>(WidePath(path), 0, 0);
  keeping->AddShared(Leaf(1));
  deleting.reset();
  // The other handle still works on the file.
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(keeping->EntryCount(), 1u);
  keeping.reset();
  EXPECT_TRUE(std::filesystem::exists(path));

  { const MPersistentCompositeOnDisk last(WidePath(path), MPersistentCompositeOnDisk::kDeleteFile, 0); }
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(OnDiskStore, IteratorAnswersTheCurrentRecord) {
  const ScratchDirectory directory;
  MPersistentCompositeOnDisk store(WidePath(directory.File("pages.spl")), 0, 0);
  for (int32_t key = 1; key <= 4; ++key) store.AddShared(Leaf(key, key * 100));
  const std::unique_ptr<GIterator> iterator = store.NewChildIterator();
  auto& records = dynamic_cast<GEmptyIterator&>(*iterator);

  EXPECT_FALSE(records.CurrentShared());
  EXPECT_EQ(records.Current(), nullptr);
  ASSERT_TRUE(records.Advance());
  MPersistentObject* current = records.Current();
  ASSERT_NE(current, nullptr);
  EXPECT_EQ(dynamic_cast<ValueNode&>(*current).value, 100);
  EXPECT_EQ(records.Current(), current);  // one copy for the position
  EXPECT_EQ(dynamic_cast<ValueNode&>(*records.CurrentShared()).value, 100);
  ASSERT_TRUE(records.Advance());
  records.RemoveCurrent();  // 2 goes; the iterator stands on 1 again
  EXPECT_EQ(records.CurrentShared()->Key(), 1);
  ASSERT_TRUE(records.Advance());
  records.ReplaceCurrent(new ValueNode(30, 3000));
  EXPECT_EQ(records.CurrentShared()->Key(), 30);
  records.Insert(new ValueNode(31, 3100));
  EXPECT_EQ(records.CurrentShared()->Key(), 31);
  ASSERT_TRUE(records.Retreat());
  EXPECT_EQ(records.CurrentShared()->Key(), 1);
  EXPECT_FALSE(records.Retreat());
  ASSERT_TRUE(records.Advance());
  ASSERT_TRUE(records.Advance());
  ASSERT_TRUE(records.Advance());
  EXPECT_EQ(records.CurrentShared()->Key(), 4);
  EXPECT_FALSE(records.Advance());
  ASSERT_TRUE(records.Advance());
  EXPECT_EQ(records.CurrentShared()->Key(), 1);

  EXPECT_EQ(KeysInOrder(store), (std::vector<int32_t>{1, 31, 4}));
  std::vector<int32_t> values;
  store.ForEachChild(
      [](GCountedPtr& element, void* user) {
        static_cast<std::vector<int32_t>*>(user)->push_back(dynamic_cast<ValueNode&>(*element.Get()).value);
      },
      &values);
  EXPECT_EQ(values, (std::vector<int32_t>{100, 3100, 400}));

  // A walk through the plain iterator, as a spooled page is replayed.
  values.clear();
  const std::unique_ptr<GIterator> replay = store.NewChildIterator();
  while (replay->Advance()) values.push_back(dynamic_cast<ValueNode&>(*replay->Current()).value);
  EXPECT_EQ(values, (std::vector<int32_t>{100, 3100, 400}));
}

// A nested store answers through its record: the proxy passes what it does
// not match itself on to the nested object, which passes it to its store.
TEST(OnDiskStore, NestedStoresAnswerThroughTheirRecords) {
  const ScratchDirectory directory;
  const std::string outerPath = directory.File("outer.spl");
  const std::string listPath = directory.File("list.spl");
  const std::string innerPath = directory.File("inner.spl");
  {
    const GObjectRef list(new DiskCommandList(listPath, 40));
    list->AddShared(Leaf(41, 410));
    list->AddShared(Leaf(42, 420));
    const GObjectRef inner(new MPersistentCompositeOnDisk(WidePath(innerPath), 0, 50));
    inner->AddShared(Leaf(51, 510));
    MPersistentCompositeOnDisk outer(WidePath(outerPath), 0, 0);
    outer.AddShared(Leaf(1, 10));
    outer.AddShared(list);
    outer.AddShared(inner);
    EXPECT_EQ(outer.EntryCount(), 3u);
  }
  // Reopened, the record index brings the nested stores back open.
  MPersistentCompositeOnDisk outer(WidePath(outerPath), 0, 0);
  EXPECT_EQ(outer.EntryCount(), 3u);
  EXPECT_EQ(dynamic_cast<ValueNode&>(*outer.SharedIfKey(42)).value, 420);
  EXPECT_EQ(dynamic_cast<ValueNode&>(*outer.SharedIfKey(51)).value, 510);
  EXPECT_TRUE(outer.ReplaceSharedByKey(41, ValueNode(43, 430)));
  const GObjectRef taken = outer.FindSharedByKey(51);
  ASSERT_TRUE(taken);
  EXPECT_FALSE(outer.SharedIfKey(51));

  // The command list itself comes back holding its store.
  const GObjectRef list = outer.FindSharedByKey(40);
  ASSERT_TRUE(list);
  ASSERT_EQ(list->ClassID(), kGCommandCompositeOnDiskClassID);
  EXPECT_EQ(dynamic_cast<DiskCommandList&>(*list).Store().EntryCount(), 2u);
  EXPECT_EQ(dynamic_cast<ValueNode&>(*list->SharedIfKey(43)).value, 430);
  EXPECT_FALSE(outer.SharedIfKey(43));
}

TEST(OnDiskStore, NestedStoresRejoinARestoredParent) {
  const ScratchDirectory directory;
  MPersistentCompositeOnDisk outer(WidePath(directory.File("outer.spl")), 0, 0);
  auto* parent = new SharingComposite(9);
  auto* list = new DiskCommandList(directory.File("list.spl"), 90);
  list->AddShared(Leaf(91));
  parent->AddChild(list);
  parent->AddChild(new ValueNode(92));
  outer.AddShared(GObjectRef(parent));

  const GObjectRef back = outer.FindSharedByKey(9);
  ASSERT_TRUE(back);
  EXPECT_EQ(ChildKeys(*back), (std::vector<int32_t>{90, 92}));
  MPersistentObject* nested = back->FindByKey(90);
  ASSERT_NE(nested, nullptr);
  EXPECT_TRUE(nested->SharedIfKey(91));
}

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A disk B-tree file of another shape than a store's, holding one key.
constexpr uint32_t kKeyBytes = 16;

void WriteTree(const std::string& path, uint32_t keyLength, bool binaryKeys) {
  GFileSpaceManager manager(path.c_str());
  GDiskBTree tree(manager, 10, 0, keyLength, binaryKeys, -1, 0, 10, 10);
  const char key[kKeyBytes] = "1";
  tree.Insert(key, 7);
}

TEST(OnDiskStore, AFileThatIsNoStoreFailsAndStaysAsItWas) {
  const ScratchDirectory directory;
  struct Case {
    const char* name;
    void (*make)(const std::string& path);
  };
  const Case cases[] = {
      {"text", [](const std::string& path) { std::ofstream(path, std::ios::binary) << "not a store, only text"; }},
      {"binary_keys", [](const std::string& path) { WriteTree(path, 16, true); }},
      {"short_keys", [](const std::string& path) { WriteTree(path, 4, false); }},
  };
  const RecordingErrorHandler errors;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = directory.File(c.name);
    c.make(path);
    const std::string before = FileBytes(path);
    {
      MPersistentCompositeOnDisk store(WidePath(path), MPersistentCompositeOnDisk::kDeleteFile, 0);
      EXPECT_TRUE(store.HasFailed());
      store.AddShared(Leaf(1));
      EXPECT_EQ(store.EntryCount(), 0u);
      EXPECT_FALSE(store.SharedIfKey(1));
    }
    EXPECT_EQ(FileBytes(path), before);
  }
}

// A store whose record index holds a handle on the store's own file: the
// nested handle is refused instead of opening the file again without end.
TEST(OnDiskStore, AStoreThatHoldsItselfOpensOnce) {
  const ScratchDirectory directory;
  const std::string path = directory.File("self.spl");
  const std::string other = directory.File("other.spl");
  {
    MPersistentCompositeOnDisk store(WidePath(other), 0, 0);
    store.AddShared(GObjectRef(new MPersistentCompositeOnDisk(WidePath(path), 0, 3)));
    // Stored into itself directly, a store refuses.
    store.AddShared(GObjectRef(new MPersistentCompositeOnDisk(WidePath(other), 0, 4)));
    EXPECT_EQ(store.EntryCount(), 1u);
  }
  std::filesystem::remove(path);
  std::filesystem::rename(other, path);
  MPersistentCompositeOnDisk store(WidePath(path), 0, 0);
  EXPECT_FALSE(store.HasFailed());
  EXPECT_EQ(store.EntryCount(), 1u);
  EXPECT_FALSE(store.SharedIfKey(77));
  const GObjectRef nested = store.FindSharedByKey(3);
  ASSERT_TRUE(nested);
  EXPECT_EQ(dynamic_cast<MPersistentCompositeOnDisk&>(*nested).Implementation(), store.Implementation());
}

TEST(OnDiskStoreThread, ConcurrentAddsFromTwoThreadsAreAllKept) {
  const ScratchDirectory directory;
  const std::string path = directory.File("threads.spl");
  constexpr int32_t kPerThread = 300;
  auto add = [&path](int32_t first) {
    MPersistentCompositeOnDisk store(WidePath(path), 0, 0);
    for (int32_t key = first; key < first + kPerThread; ++key) store.AddShared(Leaf(key, key));
  };
  MPersistentCompositeOnDisk observer(WidePath(path), 0, 0);
  std::thread one(add, 0);
  std::thread two(add, kPerThread);
  one.join();
  two.join();
  EXPECT_EQ(observer.EntryCount(), 2u * kPerThread);
  std::vector<int32_t> keys = KeysInOrder(observer);
  std::sort(keys.begin(), keys.end());
  for (int32_t key = 0; key < 2 * kPerThread; ++key) EXPECT_EQ(keys[key], key);
}

}  // namespace
