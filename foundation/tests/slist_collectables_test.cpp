#include "foundation/slist_collectables.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/binary_file.h"
#include "foundation/binary_stream.h"
#include "foundation/persistence.h"
#include "foundation/string_block.h"
#include "foundation/testing/recording_error_handler.h"
#include "foundation/tests/collectable_test_support.h"
#include "foundation/tests/stream_test_support.h"
#include "foundation/typed_restore.h"

namespace {

TEST(RWSlistCollectablesTest, CollectionOperationsGoByEqualityInListOrder) {
  TestValue a(1), b(2), c(1);
  RWSlistCollectables list;
  EXPECT_EQ(list.Insert(&a), &a);
  list.Insert(&b);
  list.Append(&c);
  const TestValue one(1), three(3);
  EXPECT_EQ(list.Find(&one), &a);
  EXPECT_TRUE(list.Contains(&one));
  EXPECT_FALSE(list.Contains(&three));
  EXPECT_EQ(list.Occurrences(&one), 2u);
  EXPECT_EQ(list.IndexOf(&b), 1u);
  EXPECT_EQ(list.IndexOf(&three), RW_NPOS);
  EXPECT_EQ(list.Remove(&one), &a);
  EXPECT_EQ(list.Remove(&three), nullptr);
  EXPECT_EQ(Members(list), (std::vector<RWCollectable*>{&b, &c}));
  EXPECT_EQ(list.At(1), &c);
  list.AtRef(0) = &a;
  EXPECT_EQ(list.First(), &a);
  EXPECT_EQ(list.Last(), &c);
}

TEST(RWSlistCollectablesTest, PositionsAndTheirBounds) {
  TestValue a(1), b(2), c(3);
  RWSlistCollectables list;
  EXPECT_EQ(list.First(), nullptr);
  EXPECT_EQ(list.Last(), nullptr);
  list.Prepend(&b);
  list.InsertAt(1, &c);  // count: appends
  list.InsertAt(0, &a);
  EXPECT_EQ(Members(list), (std::vector<RWCollectable*>{&a, &b, &c}));
  list.InsertAfterIndex(2, &a);
  EXPECT_EQ(list.Last(), &a);

  RecordingErrorHandler errors;
  EXPECT_EQ(list.InsertAt(5, &b), nullptr);  // count + 1
  EXPECT_EQ(list.At(4), nullptr);
  EXPECT_EQ(errors.Texts(),
            (std::vector<std::string>{"[INDEXERR] Illegal Index (5) for collection or string with 4 elements",
                                      "[INDEXERR] Illegal Index (4) for collection or string with 4 elements"}));
  EXPECT_EQ(list.Count(), 4u);
}

TEST(RWSlistCollectablesTest, EqualsNeedsTheSameClassAndPairwiseEqualMembersInOrder) {
  TestValue a(1), b(2), a2(1), b2(2);
  RWSlistCollectables list, same, reversed, shorter;
  RWSlistCollectablesStack stack;
  for (RWCollectable* m : {&a, &b}) list.Append(m);
  for (RWCollectable* m : {&a2, &b2}) same.Append(m);
  for (RWCollectable* m : {&b, &a}) reversed.Append(m);
  shorter.Append(&a);
  for (RWCollectable* m : {&b, &a}) stack.Push(m);  // a on top, as in list

  EXPECT_TRUE(list.Equals(&same));
  EXPECT_FALSE(list.Equals(&reversed));
  EXPECT_FALSE(list.Equals(&shorter));
  EXPECT_FALSE(shorter.Equals(&list));
  EXPECT_FALSE(list.Equals(&stack));
  EXPECT_FALSE(stack.Equals(&list));
  EXPECT_FALSE(list.Equals(&a));

  RWSlistCollectablesStack sameStack;
  for (RWCollectable* m : {&b2, &a2}) sameStack.Push(m);
  EXPECT_TRUE(stack.Equals(&sameStack));
}

TEST(RWSlistCollectablesTest, CloneSharesMembersAndNewInstanceIsEmpty) {
  TestValue a(1), b(2);
  struct Case {
    const char* name;
    std::unique_ptr<RWSlistCollectables> list;
  };
  Case cases[] = {{"list", std::make_unique<RWSlistCollectables>()},
                  {"stack", std::make_unique<RWSlistCollectablesStack>()}};
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.list->Prepend(&b);
    c.list->Prepend(&a);
    std::unique_ptr<RWCollectable> clone(c.list->Clone());
    EXPECT_EQ(clone->ClassID(), c.list->ClassID());
    EXPECT_EQ(Members(dynamic_cast<GCollection&>(*clone)), (std::vector<RWCollectable*>{&a, &b}));
    c.list->Clear();  // the clone has links of its own
    EXPECT_EQ(dynamic_cast<GCollection&>(*clone).Count(), 2u);

    std::unique_ptr<RWCollectable> fresh(c.list->NewInstance());
    EXPECT_EQ(fresh->ClassID(), c.list->ClassID());
    EXPECT_TRUE(dynamic_cast<GCollection&>(*fresh).IsEmpty());
  }
}

TEST(RWSlistCollectablesStackTest, PushesAndPopsAtTheTop) {
  TestValue p(1), q(2), r(3);
  RWSlistCollectablesStack stack;
  EXPECT_EQ(stack.ClassID(), 0x8036);
  stack.Push(&r);
  stack.Insert(&q);  // pushes too
  stack.Push(&p);
  EXPECT_EQ(stack.First(), &p);
  EXPECT_EQ(stack.Remove(&r), &p);  // pops, whatever the argument
  EXPECT_EQ(stack.Append(&p), nullptr);
  stack.RemoveAndDelete(&q);  // nothing: it would delete the top
  EXPECT_EQ(Members(stack), (std::vector<RWCollectable*>{&q, &r}));
  EXPECT_EQ(stack.Pop(), &q);
  EXPECT_EQ(stack.Pop(), &r);
  RecordingErrorHandler errors;
  EXPECT_EQ(stack.Pop(), nullptr);
  EXPECT_EQ(errors.Count(), 0u);
}

TEST(GCollectionTest, DeleteAllDeletesEachMemberOnce) {
  int deletions = 0;
  auto* shared = new TestValue(1, &deletions);
  auto* other = new TestValue(1, &deletions);  // equal, but another object
  RWSlistCollectables list;
  for (RWCollectable* m :
       {static_cast<RWCollectable*>(shared), static_cast<RWCollectable*>(other), static_cast<RWCollectable*>(shared)}) {
    list.Append(m);
  }
  list.DeleteAll();
  EXPECT_EQ(deletions, 2);
  EXPECT_TRUE(list.IsEmpty());
}

TEST(GCollectionTest, BulkOperationsMayTakeTheCollectionItself) {
  TestValue a(1), b(2);
  RWSlistCollectables list;
  list.Append(&a);
  list.Append(&b);
  list.InsertAll(list);
  EXPECT_EQ(Members(list), (std::vector<RWCollectable*>{&a, &b, &a, &b}));
  list.RemoveAllOf(list);
  EXPECT_TRUE(list.IsEmpty());

  list.Append(&a);
  list.InsertClonesOf(list);
  ASSERT_EQ(list.Count(), 2u);
  EXPECT_NE(list.Last(), &a);
  EXPECT_TRUE(list.Last()->Equals(&a));
  delete list.Last();
}

TEST(GCollectionTest, SelectMakesACollectionOfTheSameClass) {
  TestValue values[] = {TestValue(1), TestValue(2), TestValue(3), TestValue(4)};
  RWSlistCollectablesStack stack;
  for (TestValue& v : values) stack.Push(&v);
  const auto even = [](const RWCollectable* item, const void*) {
    return static_cast<const TestValue*>(item)->Value() % 2 == 0;
  };
  std::unique_ptr<GCollection> selected = stack.Select(even, nullptr);
  ASSERT_NE(selected, nullptr);
  EXPECT_EQ(selected->ClassID(), 0x8036);
  // Inserted through the stack's own Insert, so the order turns over.
  EXPECT_EQ(Values(*selected), (std::vector<int32_t>{2, 4}));
  EXPECT_EQ(stack.Count(), 4u);
}

// Saving and restoring lists through both encodings.
class SlistPersistenceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = ::testing::TempDir() + "qv_slist_" + test->name() + ".bin";
    std::remove(path_.c_str());
  }
  void TearDown() override {
    for (RWCollectable* object : owned_) delete object;
    std::remove(path_.c_str());
  }

  // Saves the collection as an object graph in a binary stream and restores
  // it; the restored members are deleted at the end of the test.
  std::unique_ptr<RWCollectable> ThroughStream(const RWCollectable& object, std::string* bytes = nullptr) {
    std::stringstream buffer(std::ios::in | std::ios::out | std::ios::binary);
    GBinaryOutStream out(buffer);
    SaveObjectToStream(object, out);
    out.Flush();
    if (bytes != nullptr) *bytes = buffer.str();
    GBinaryInStream in(buffer);
    RWCollectable* restored = nullptr;
    RestoreObjectFromStream(in, restored);
    return Own(restored);
  }

  std::unique_ptr<RWCollectable> ThroughFile(const RWCollectable& object) {
    {
      GBinaryFile file(path_.c_str(), "wb");
      SaveObjectToFile(object, file);
    }
    GBinaryFile file(path_.c_str(), "rb");
    RWCollectable* restored = nullptr;
    RestoreObjectFromFile(file, restored);
    return Own(restored);
  }

  std::unique_ptr<RWCollectable> Own(RWCollectable* restored) {
    if (auto* collection = dynamic_cast<GCollection*>(restored)) {
      for (RWCollectable* member : Members(*collection)) {
        if (std::find(owned_.begin(), owned_.end(), member) == owned_.end()) owned_.push_back(member);
      }
    }
    return std::unique_ptr<RWCollectable>(restored);
  }

  std::string path_;
  std::vector<RWCollectable*> owned_;
};

TEST_F(SlistPersistenceTest, EmptyListIsItsCountAlone) {
  RWSlistCollectables list;
  std::string bytes;
  std::unique_ptr<RWCollectable> restored = ThroughStream(list, &bytes);
  // ':' class 0x8033 '{' count 0 '}'
  EXPECT_EQ(Hex(bytes), Hex(Bytes({0x3A, 0x33, 0x80, 0x7B, 0, 0, 0, 0, 0x7D})));
  ASSERT_NE(restored, nullptr);
  EXPECT_EQ(restored->ClassID(), 0x8033);
  EXPECT_TRUE(dynamic_cast<GCollection&>(*restored).IsEmpty());
  EXPECT_EQ(list.StoredSize(), 4u);
}

TEST_F(SlistPersistenceTest, MemberHeldTwiceComesBackAsOneObject) {
  TestValue a(7), b(8);
  RWSlistCollectables list;
  for (RWCollectable* m :
       {static_cast<RWCollectable*>(&a), static_cast<RWCollectable*>(&b), static_cast<RWCollectable*>(&a)}) {
    list.Append(m);
  }
  // Count, a in full (class ID and 4 bytes), b in full, then a back-reference.
  EXPECT_EQ(list.StoredSize(), 4u + 6u + 6u + 6u);

  for (bool file : {false, true}) {
    SCOPED_TRACE(file ? "file" : "stream");
    std::unique_ptr<RWCollectable> restored = file ? ThroughFile(list) : ThroughStream(list);
    ASSERT_NE(restored, nullptr);
    auto& copy = dynamic_cast<RWSlistCollectables&>(*restored);
    EXPECT_TRUE(copy.Equals(&list));
    ASSERT_EQ(copy.Count(), 3u);
    EXPECT_EQ(copy.At(0), copy.At(2));
    EXPECT_NE(copy.At(0), copy.At(1));
  }
}

TEST_F(SlistPersistenceTest, StackComesBackWithTheSameTop) {
  TestValue p(1), q(2), r(3);
  RWSlistCollectablesStack stack;
  for (RWCollectable* m : {&r, &q, &p}) stack.Push(m);
  for (bool file : {false, true}) {
    SCOPED_TRACE(file ? "file" : "stream");
    std::unique_ptr<RWCollectable> restored = file ? ThroughFile(stack) : ThroughStream(stack);
    ASSERT_NE(restored, nullptr);
    EXPECT_EQ(restored->ClassID(), 0x8036);
    EXPECT_EQ(Values(dynamic_cast<GCollection&>(*restored)), (std::vector<int32_t>{1, 2, 3}));
  }
}

TEST_F(SlistPersistenceTest, InputCutShortFailsTheRestore) {
  TestValue a(1), b(2);
  RWSlistCollectables list;
  list.Append(&a);
  list.Append(&b);
  std::stringstream buffer(std::ios::in | std::ios::out | std::ios::binary);
  GBinaryOutStream out(buffer);
  list.SaveContentsToStream(out);
  out.Flush();
  const std::string whole = buffer.str();

  struct Case {
    const char* name;
    size_t length;
    std::vector<int32_t> expected;
    bool good;
  };
  // count (4), then ':' ID '{' value '}' (9 bytes) per member
  const Case cases[] = {
      {"no_count", 2, {}, false},
      {"count_only", 4, {}, false},
      // Two references take at least 10 bytes: the count fails at once.
      {"inside_first_member", 8, {}, false},
      {"after_first_member", 13, {}, false},
      // The object whose fields ran out is kept as far as it was read.
      {"inside_last_member", whole.size() - 1, {1, 2}, false},
      {"whole", whole.size(), {1, 2}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::stringstream cut(whole.substr(0, c.length), std::ios::in | std::ios::binary);
    GBinaryInStream in(cut);
    RWSlistCollectables restored;
    TestValue stale(9);
    restored.Append(&stale);  // a restore starts from an empty list
    restored.RestoreContentsFromStream(in);
    EXPECT_EQ(Values(restored), c.expected);
    EXPECT_EQ(in.IsGood(), c.good);
    for (RWCollectable* member : Members(restored)) delete member;
  }
}

TEST_F(SlistPersistenceTest, HugeStoredCountEndsWithTheInput) {
  std::string bytes = Bytes({0xFF, 0xFF, 0xFF, 0xFF});
  {
    GBinaryFile file(path_.c_str(), "wb");
    file.Write(bytes.data(), static_cast<uint32_t>(bytes.size()));
  }
  GBinaryFile file(path_.c_str(), "rb");
  RWSlistCollectables list;
  list.RestoreContentsFromFile(file);
  EXPECT_TRUE(list.IsEmpty());
}

TEST_F(SlistPersistenceTest, TypedRestoreHandsOutOnlyItsOwnClass) {
  TestValue a(1);
  RWSlistCollectablesStack stack;
  stack.Push(&a);
  std::stringstream buffer(std::ios::in | std::ios::out | std::ios::binary);
  GBinaryOutStream out(buffer);
  SaveObjectToStream(stack, out);
  SaveObjectToStream(a, out);
  out.Flush();

  GBinaryInStream in(buffer);
  RWSlistCollectables* list = nullptr;  // a base of the stored class
  in >> list;
  ASSERT_NE(list, nullptr);
  std::unique_ptr<RWCollectable> restored(Own(list));
  EXPECT_EQ(list->ClassID(), 0x8036);
  EXPECT_EQ(Values(*list), (std::vector<int32_t>{1}));

  // A stored TestValue asked for as a list: not handed out (nor leaked).
  in >> list;
  EXPECT_EQ(list, nullptr);
  EXPECT_TRUE(in.IsFail());

  // The nil object is a null pointer, not a failure.
  std::stringstream nilBuffer(Bytes({0x40, 0, 0, 0, 0}), std::ios::in | std::ios::binary);
  GBinaryInStream nilIn(nilBuffer);
  list = &stack;
  nilIn >> list;
  EXPECT_EQ(list, nullptr);
  EXPECT_TRUE(nilIn.IsGood());
}

TEST_F(SlistPersistenceTest, TypedRestoreFromAFile) {
  TestValue a(4);
  RWSlistCollectables original;
  original.Append(&a);
  {
    GBinaryFile file(path_.c_str(), "wb");
    SaveObjectToFile(original, file);
  }
  GBinaryFile file(path_.c_str(), "rb");
  RWSlistCollectables* list = nullptr;
  file >> list;
  ASSERT_NE(list, nullptr);
  std::unique_ptr<RWCollectable> restored(Own(list));
  EXPECT_TRUE(list->Equals(&original));
}

}  // namespace
