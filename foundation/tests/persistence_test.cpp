#include "foundation/persistence.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "foundation/rw/rwstore.h"
#include "foundation/testing/persistence_test_support.h"
#include "foundation/testing/test_collectables.h"
#include "foundation/testing/recording_error_handler.h"
#include "foundation/testing/scratch_files.h"
#include "foundation/tests/stream_test_support.h"

namespace {

constexpr StoreForm kAllForms[] = {StoreForm::kFile, StoreForm::kBinary, StoreForm::kEndianLittle,
                                   StoreForm::kEndianBig, StoreForm::kText};

const std::string kFileStart = Bytes({0x88, 0x88, 0, 0});
const std::string kLittleHeader = Bytes({0x65, 0x73, 0x01, 0x00, 2, 4, 4, 2, 4});
const std::string kBigHeader = Bytes({0x65, 0x73, 0x01, 0x01, 2, 4, 4, 2, 4});

// A graph with every kind of reference: a cycle back to the root, an
// object met twice, two objects of a class stored by name, and a null.
//   root -> (a, b); a -> (leaf, root); b -> (named1, c); c -> (named2, d);
//   d -> (leaf, null)
RWCollectable* NewRichGraph() {
  auto* leaf = new TestLeaf(7);
  auto* root = new TestPair;
  auto* d = new TestPair(leaf, nullptr);
  auto* c = new TestPair(new TestNamedLeaf(9), d);
  root->first = new TestPair(leaf, root);
  root->second = new TestPair(new TestNamedLeaf(8), c);
  return root;
}

// A chain of n pairs, each the first of the one before.
RWCollectable* NewChain(int n) {
  TestPair* head = nullptr;
  for (int i = 0; i < n; ++i) head = new TestPair(head, nullptr);
  return head;
}

int ChainLength(const RWCollectable* object) {
  int length = 0;
  for (auto* pair = dynamic_cast<const TestPair*>(object); pair != nullptr;
       pair = dynamic_cast<const TestPair*>(pair->first)) {
    ++length;
  }
  return length;
}

TEST(ObjectPersistence, StoredBytesOfObjectsNilAndBackReferences) {
  RWCollectable single;
  RWCollectable shared;
  const TestPair twice(&shared, &shared);
  const TestNamedLeaf named1(1);
  const TestNamedLeaf named2(2);
  const TestPair byName(const_cast<TestNamedLeaf*>(&named1), const_cast<TestNamedLeaf*>(&named2));
  const std::string name = "TestNamedLeaf";
  struct Case {
    const char* name;
    StoreForm form;
    const RWCollectable* object;
    std::string expected;
  };
  // Within a save the pair is index 1 and its first member index 2.
  const Case cases[] = {
      {"file_object", StoreForm::kFile, &single, kFileStart + Bytes({0x07, 0x80})},
      {"file_nil", StoreForm::kFile, nullptr, kFileStart + Bytes({0xFF, 0xFF, 0, 0, 0, 0})},
      {"file_back_reference", StoreForm::kFile, &twice,
       kFileStart + Bytes({0x02, 0x7E, 0x07, 0x80, 0xFF, 0xFF, 2, 0, 0, 0})},
      {"file_name_then_name_index", StoreForm::kFile, &byName,
       kFileStart + Bytes({0x02, 0x7E, 0x8F, 0x88, 13, 0, 0, 0}) + name +
           Bytes({1, 0, 0, 0, 0x8E, 0x88, 3, 0, 0, 0, 2, 0, 0, 0})},
      {"binary_object", StoreForm::kBinary, &single, Bytes({0x3A, 0x07, 0x80, 0x7B, 0x7D})},
      {"binary_nil", StoreForm::kBinary, nullptr, Bytes({0x40, 0, 0, 0, 0})},
      {"binary_back_reference", StoreForm::kBinary, &twice,
       Bytes({0x3A, 0x02, 0x7E, 0x7B, 0x3A, 0x07, 0x80, 0x7B, 0x7D, 0x40, 2, 0, 0, 0, 0x7D})},
      {"binary_name_then_name_index", StoreForm::kBinary, &byName,
       Bytes({0x3A, 0x02, 0x7E, 0x7B, 0x3A, 0x8F, 0x88, 13, 0, 0, 0, 13, 0, 0, 0}) + name +
           Bytes({0x7B, 1, 0, 0, 0, 0x7D, 0x3A, 0x8E, 0x88, 3, 0, 0, 0, 0x7B, 2, 0, 0, 0, 0x7D, 0x7D})},
      {"endian_little_object", StoreForm::kEndianLittle, &single,
       kLittleHeader + Bytes({0x3A, 0x07, 0x80, 0x7B, 0x7D})},
      {"endian_big_object", StoreForm::kEndianBig, &single, kBigHeader + Bytes({0x3A, 0x80, 0x07, 0x7B, 0x7D})},
      {"endian_big_nil", StoreForm::kEndianBig, nullptr, kBigHeader + Bytes({0x40, 0, 0, 0, 0})},
      {"endian_big_back_reference", StoreForm::kEndianBig, &twice,
       kBigHeader + Bytes({0x3A, 0x7E, 0x02, 0x7B, 0x3A, 0x80, 0x07, 0x7B, 0x7D, 0x40, 0, 0, 0, 2, 0x7D})},
      {"text_object", StoreForm::kText, &single, ":32775\n\\[\\]"},
      {"text_nil", StoreForm::kText, nullptr, "@0\n"},
      {"text_back_reference", StoreForm::kText, &twice, ":32258\n\\[:32775\n\\[\\]@2\n\\]"},
      {"text_name_then_name_index", StoreForm::kText, &byName,
       ":32258\n\\[:34959\n13\n\"TestNamedLeaf\"\\[1\n\\]:34958\n3\n\\[2\n\\]\\]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Hex(SaveGraph(c.form, c.object)), Hex(c.expected));
  }
}

TEST(ObjectPersistence, RoundTripKeepsSharingCyclesNamesAndNil) {
  RWCollectable* const original = NewRichGraph();
  for (StoreForm form : kAllForms) {
    SCOPED_TRACE(FormName(form));
    const std::string bytes = SaveGraph(form, original);
    bool good = false;
    auto* root = dynamic_cast<TestPair*>(RestoreCollectable(form, bytes, good));
    ASSERT_NE(root, nullptr);
    EXPECT_TRUE(good);
    auto* a = dynamic_cast<TestPair*>(root->first);
    auto* b = dynamic_cast<TestPair*>(root->second);
    ASSERT_TRUE(a != nullptr && b != nullptr);
    auto* c = dynamic_cast<TestPair*>(b->second);
    ASSERT_NE(c, nullptr);
    auto* d = dynamic_cast<TestPair*>(c->second);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(a->second, root);
    EXPECT_EQ(a->first, d->first);
    EXPECT_EQ(d->second, nullptr);
    EXPECT_EQ(dynamic_cast<TestLeaf*>(a->first)->value, 7);
    EXPECT_EQ(b->first->ClassID(), TestNamedLeaf::kID);
    EXPECT_EQ(dynamic_cast<TestLeaf*>(b->first)->value, 8);
    EXPECT_EQ(c->first->ClassID(), TestNamedLeaf::kID);
    EXPECT_EQ(dynamic_cast<TestLeaf*>(c->first)->value, 9);
    // Saved again, the restored graph gives the same bytes.
    EXPECT_EQ(Hex(SaveGraph(form, root)), Hex(bytes));
    DeleteGraph(root);
  }
  DeleteGraph(original);
}

TEST(ObjectPersistence, RestoreRefusesBadReferencesUnknownClassesAndMalformedInput) {
  const std::string name = "TestNamedLeaf";
  struct Case {
    const char* name;
    StoreForm form;
    std::string bytes;
    std::vector<std::string> errors;
    bool restored;  // an object came back (the input is failed all the same)
  };
  const std::string ref = "[REF] Bad persistence reference";
  // clang-format off
  const Case cases[] = {
      {"file_bad_start_value", StoreForm::kFile, Bytes({0x34, 0x12, 0, 0, 0x01, 0x7E, 5, 0, 0, 0}),
       {"[MAGIC] Bad magic number: 4660 (should be 34952)"}, false},
      {"file_back_reference_past_the_end", StoreForm::kFile, kFileStart + Bytes({0xFF, 0xFF, 1, 0, 0, 0}),
       {ref}, false},
      {"file_negative_back_reference", StoreForm::kFile, kFileStart + Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}),
       {ref}, false},
      // Index 0 is the nil object, not a class name.
      {"file_name_index_naming_an_object", StoreForm::kFile, kFileStart + Bytes({0x8E, 0x88, 0, 0, 0, 0}),
       {ref}, false},
      // Index 3 is the class name of the named leaf, not an object.
      {"file_back_reference_naming_a_class", StoreForm::kFile,
       kFileStart + Bytes({0x02, 0x7E, 0x8F, 0x88, 13, 0, 0, 0}) + name +
           Bytes({1, 0, 0, 0, 0xFF, 0xFF, 3, 0, 0, 0}),
       {ref}, true},
      {"file_unregistered_class", StoreForm::kFile, kFileStart + Bytes({0x7F, 0x7E}),
       {"[NOCREATE] RWFactory: no create function for class with ID 32383 (0x7e7f)"}, false},
      {"file_unregistered_name", StoreForm::kFile, kFileStart + Bytes({0x8F, 0x88, 3, 0, 0, 0, 'A', 'B', 'C'}),
       {"[NOPERSIST] Persistence not implemented for type ABC."}, false},
      {"file_name_longer_than_the_file", StoreForm::kFile,
       kFileStart + Bytes({0x8F, 0x88, 0xFF, 0xFF, 0xFF, 0xFF, 'A'}), {}, false},
      {"file_empty", StoreForm::kFile, "", {}, false},
      {"binary_back_reference_past_the_end", StoreForm::kBinary, Bytes({0x40, 7, 0, 0, 0}), {ref}, false},
      {"binary_unknown_mark", StoreForm::kBinary, Bytes({'x'}), {}, false},
      {"binary_fields_not_opened", StoreForm::kBinary, Bytes({0x3A, 0x01, 0x7E, 'x', 5, 0, 0, 0, 0x7D}), {},
       false},
      {"binary_fields_not_closed", StoreForm::kBinary, Bytes({0x3A, 0x01, 0x7E, 0x7B, 5, 0, 0, 0, 'x'}), {},
       true},
      {"binary_unregistered_class", StoreForm::kBinary, Bytes({0x3A, 0x7F, 0x7E, 0x7B, 0x7D}),
       {"[NOCREATE] RWFactory: no create function for class with ID 32383 (0x7e7f)"}, false},
      {"binary_name_longer_than_the_stream", StoreForm::kBinary,
       Bytes({0x3A, 0x8F, 0x88, 0xFF, 0xFF, 0xFF, 0x7F, 1, 0, 0, 0, 'A'}), {}, false},
      {"binary_empty", StoreForm::kBinary, "", {}, false},
      {"endian_big_back_reference_past_the_end", StoreForm::kEndianBig, kBigHeader + Bytes({0x40, 0, 0, 0, 9}),
       {ref}, false},
      {"text_back_reference_past_the_end", StoreForm::kText, "@9\n", {ref}, false},
      {"text_fields_not_closed", StoreForm::kText, ":32257\n\\[5\n", {}, true},
  };
  // clang-format on
  // Under a handler that returns, as the product's does, each error is
  // raised once and the input is left failed.
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingErrorHandler errors;
    bool good = false;
    RWCollectable* object = RestoreCollectable(c.form, c.bytes, good);
    EXPECT_EQ(errors.Texts(), c.errors);
    EXPECT_EQ(object != nullptr, c.restored);
    EXPECT_FALSE(good);
    DeleteGraph(object);
  }
}

TEST(ObjectPersistence, EveryTruncationOfAStoredGraphFailsCleanly) {
  RWCollectable* const original = NewRichGraph();
  for (StoreForm form : kAllForms) {
    SCOPED_TRACE(FormName(form));
    const std::string bytes = SaveGraph(form, original);
    for (size_t length = 0; length < bytes.size(); ++length) {
      SCOPED_TRACE(length);
      RecordingErrorHandler errors;
      bool good = true;
      DeleteGraph(RestoreCollectable(form, bytes.substr(0, length), good));
      EXPECT_FALSE(good);
    }
  }
  DeleteGraph(original);
}

// The stored bytes of a chain one pair deeper than the one stored in
// bytes: a pair's own bytes with the chain in place of its first (nil)
// reference.
std::string OneDeeper(StoreForm form, const std::string& bytes) {
  const std::string nil = SaveGraph(form, nullptr);
  const TestPair pair;
  const std::string empty = SaveGraph(form, &pair);
  // What every save of the form starts with: a start value or a header.
  size_t lead = 0;
  while (lead < nil.size() && nil[lead] == empty[lead]) ++lead;
  const std::string reference = nil.substr(lead);
  const size_t fields = empty.find(reference + reference, lead);
  return empty.substr(0, fields) + bytes.substr(lead) + empty.substr(fields + reference.size());
}

TEST(ObjectPersistence, NestingIsBoundedAlikeOnSaveAndRestore) {
  constexpr int kCap = 256;
  RWCollectable* const atCap = NewChain(kCap);
  RWCollectable* const pastCap = NewChain(kCap + 1);
  for (StoreForm form : kAllForms) {
    SCOPED_TRACE(FormName(form));
    RecordingErrorHandler errors;
    bool good = false;
    // The nil reference that ends the chain opens no level.
    const std::string bytes = SaveGraph(form, atCap, good);
    EXPECT_TRUE(good);
    RWCollectable* restored = RestoreCollectable(form, bytes, good);
    EXPECT_TRUE(good);
    EXPECT_EQ(ChainLength(restored), kCap);
    DeleteGraph(restored);
    EXPECT_EQ(errors.Count(), 0u);

    SaveGraph(form, pastCap, good);
    EXPECT_FALSE(good);

    restored = RestoreCollectable(form, OneDeeper(form, bytes), good);
    EXPECT_FALSE(good);
    EXPECT_EQ(errors.Texts(), std::vector<std::string>{"[STREAM] Bad input stream"});
    DeleteGraph(restored);
  }
  DeleteGraph(atCap);
  DeleteGraph(pastCap);
}

TEST(ObjectPersistence, AChainAtTheBoundIsReadToItsEnd) {
  RWCollectable* const chain = NewChain(256);
  const ScratchFile scratch;
  {
    GBinaryFile file(scratch.Path(), "wb");
    WriteObjectToFile(chain, file);
    file.Write(int32_t{0x1234});
  }
  {
    GBinaryFile file(scratch.Path(), "rb");
    RWCollectable* restored = nullptr;
    RestoreObjectFromFile(file, restored);
    int32_t next = 0;
    EXPECT_TRUE(file.Read(next));
    EXPECT_EQ(next, 0x1234);
    DeleteGraph(restored);
  }
  DeleteGraph(chain);
}

TEST(ObjectPersistence, InPlaceRestoreFillsTheGivenObjectOfTheStoredClassOnly) {
  const TestLeaf leaf(42);
  const TestNamedLeaf named(43);
  struct Case {
    const char* name;
    const RWCollectable* stored;
    RWCollectable* target;
    std::vector<std::string> errors;
    int32_t value;  // of the answer; -1 for none
  };
  TestLeaf leafTarget;
  TestPair pairTarget;
  // clang-format off
  const Case cases[] = {
      {"same_class", &leaf, &leafTarget, {}, 42},
      {"no_target_makes_one", &leaf, nullptr, {}, 42},
      {"other_class", &leaf, &pairTarget, {"[ID] Unexpected class ID 32257; should be 32258"}, -1},
      {"class_stored_by_another_name", &named, &leafTarget, {"[ID] Unexpected class ID 40961; should be 32257"}, -1},
      {"back_reference_to_another_object", nullptr, &leafTarget, {"[REF] Bad persistence reference"}, -1},
  };
  for (StoreForm form : kAllForms) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(FormName(form)) + " " + c.name);
      leafTarget.value = 0;
      RecordingErrorHandler errors;
      bool good = false;
      RWCollectable* object = RestoreCollectableInPlace(form, SaveGraph(form, c.stored), c.target, good);
      EXPECT_EQ(errors.Texts(), c.errors);
      if (c.value < 0) {
        EXPECT_EQ(object, nullptr);
        EXPECT_FALSE(good);
        continue;
      }
      ASSERT_NE(object, nullptr);
      EXPECT_EQ(dynamic_cast<TestLeaf*>(object)->value, c.value);
      if (c.target != nullptr) {
        EXPECT_EQ(object, c.target);
      } else {
        delete object;
      }
    }
  }
}

TEST(ObjectStoreSize, CountsWhatAFileSaveWrites) {
  TestLeaf leaf(1);
  RWCollectable* const rich = NewRichGraph();
  struct Case {
    const char* name;
    const RWCollectable* object;
  };
  // clang-format on
  const Case cases[] = {{"nil", nullptr}, {"leaf", &leaf}, {"graph_with_names_and_repeats", rich}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ObjectStoreSize(c.object), SaveGraph(StoreForm::kFile, c.object).size());
  }
  // Start value 4, class ID 2, fields 4.
  EXPECT_EQ(ObjectStoreSize(&leaf), 10u);
  DeleteGraph(rich);
}

TEST(ObjectStoreSize, AnObjectCountedBeforeInTheSameComputationTakesABackReference) {
  const TestPair pair;
  const GSizeTableGuard outer;
  // Class ID and two nil references, then a back-reference.
  EXPECT_EQ(ObjectStoreSize(&pair), 2u + 6u + 6u);
  EXPECT_EQ(ObjectStoreSize(&pair), 6u);
}

// Writes the stored size of its first reference before the reference, as a
// record that frames what it holds does.
class SizeWriter : public TestPair {
 public:
  using TestPair::TestPair;
  void SaveContentsToFile(GBinaryFile& file) const override {
    file.Write(ObjectStoreSize(first));
    WriteObjectToFile(first, file);
  }
};

TEST(ObjectStoreSize, AskedDuringASaveLeavesTheSaveAlone) {
  TestLeaf leaf(5);
  const SizeWriter fresh(&leaf);
  const SizeWriter seen(&leaf);
  const TestPair seenFirst(&leaf, const_cast<SizeWriter*>(&seen));
  struct Case {
    const char* name;
    const RWCollectable* graph;
    std::string bytes;
  };
  // clang-format off
  const Case cases[] = {
      // The leaf is written in full after its size, not as a back-reference
      // to an object never written.
      {"object_not_yet_written", &fresh,
       kFileStart + Bytes({0x02, 0x7E, 6, 0, 0, 0, 0x01, 0x7E, 5, 0, 0, 0})},
      // What the save wrote already counts as its back-reference.
      {"object_written_before", &seenFirst,
       kFileStart + Bytes({0x02, 0x7E, 0x01, 0x7E, 5, 0, 0, 0, 0x02, 0x7E, 6, 0, 0, 0, 0xFF, 0xFF, 2, 0, 0, 0})},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Hex(SaveGraph(StoreForm::kFile, c.graph)), Hex(c.bytes));
  }
}

// Enters an item of its own in the current save's table and writes what
// the table answered.
class TableUser : public RWCollectable {
 public:
  explicit TableUser(const void* item) : item_(item) {}
  void SaveContentsToStream(GVirtualOutStream& stream) const override {
    uint32_t index = 0;
    const bool added = CurrentStoreTable()->AddObject(item_, index);
    stream.PutUChar(added ? 1 : 0).PutInt(static_cast<int32_t>(index));
  }

 private:
  const void* item_;
};

TEST(GStoreTable, AnObjectsSaveEntersItemsInTheNumberingOfTheSave) {
  EXPECT_EQ(CurrentStoreTable(), nullptr);
  const int sharedItem = 0;
  TableUser first(&sharedItem);
  TableUser second(&sharedItem);
  const TestPair pair(&first, &second);
  // pair 1, first 2, the item 3, second 4, then the item again.
  EXPECT_EQ(Hex(SaveGraph(StoreForm::kBinary, &pair)), Hex(Bytes({0x3A, 0x02, 0x7E, 0x7B,                       //
                                                                  0x3A, 0x07, 0x80, 0x7B, 1, 3, 0, 0, 0, 0x7D,  //
                                                                  0x3A, 0x07, 0x80, 0x7B, 0, 3, 0, 0, 0, 0x7D,  //
                                                                  0x7D})));
  EXPECT_EQ(CurrentStoreTable(), nullptr);
}

}  // namespace
