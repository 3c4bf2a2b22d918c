// Saving and restoring B-trees and B-tree dictionaries as object graphs,
// whole, cut short and corrupt.

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "foundation/binary_stream.h"
#include "foundation/collectable_association.h"
#include "foundation/rw/rwstore.h"
#include "foundation/rw_btree.h"
#include "foundation/rw_btree_dictionary.h"
#include "foundation/slist_collectables.h"
#include "foundation/testing/persistence_test_support.h"
#include "foundation/testing/recording_error_handler.h"
#include "foundation/tests/btree_checker.h"
#include "foundation/tests/collectable_test_support.h"
#include "foundation/tests/stream_test_support.h"

namespace {

constexpr StoreForm kForms[] = {StoreForm::kFile, StoreForm::kBinary, StoreForm::kEndianLittle, StoreForm::kEndianBig,
                                StoreForm::kText};

// The objects a collection holds: its items and, for associations, their
// keys and values.
std::set<RWCollectable*> Reachable(const GCollection& collection) {
  std::set<RWCollectable*> reachable;
  for (RWCollectable* item : Members(collection)) {
    reachable.insert(item);
    if (const auto* association = dynamic_cast<const RWCollectableAssociation*>(item)) {
      reachable.insert(association->Key());
      reachable.insert(association->Value());
    }
  }
  return reachable;
}

// The numbers of the items of a tree in order, of the keys for a dictionary.
std::vector<int32_t> KeyValues(const GCollection& collection) {
  std::vector<int32_t> values;
  for (RWCollectable* item : Members(collection)) {
    const auto* association = dynamic_cast<const RWCollectableAssociation*>(item);
    values.push_back(static_cast<TestValue*>(association != nullptr ? association->Key() : item)->Value());
  }
  return values;
}

// Restores one reference while holding the read table, so that every object
// the restore made is accounted for: what the restored collection does not
// hold is either discarded (the table deletes it) or left over, counted and
// deleted here; the collection's own objects go with it at the end.
class Restoration {
 public:
  Restoration(StoreForm form, const std::string& bytes) {
    const GReadTableGuard table;
    RWCollectable* root = RestoreCollectable(form, bytes, good_);
    collection_.reset(dynamic_cast<GCollection*>(root));
    std::set<RWCollectable*> made;
    for (uint32_t index = 1; index < table.Get().Count(); ++index) {
      RWCollectable* object = nullptr;
      if (table.Get().ObjectAt(index, object)) made.insert(object);
    }
    made.erase(root);
    if (collection_ != nullptr) {
      for (RWCollectable* held : Reachable(*collection_)) made.erase(held);
    }
    for (RWCollectable* object : made) {
      if (table.Get().Discards(object)) {
        ++discarded_;
        continue;
      }
      const auto* association = dynamic_cast<const RWCollectableAssociation*>(object);
      ++(association != nullptr && association->Key() == nullptr ? keyless_ : leftovers_);
      delete object;
    }
  }
  ~Restoration() {
    if (collection_ != nullptr) collection_->DeleteAll();
  }

  GCollection* Collection() const { return collection_.get(); }
  // The input was still good after the restore.
  bool Good() const { return good_; }
  // Made but not held, apart from associations without a key.
  size_t Leftovers() const { return leftovers_; }
  size_t Keyless() const { return keyless_; }
  // Made, not held, and disposed of by the restore.
  size_t Discarded() const { return discarded_; }

 private:
  std::unique_ptr<GCollection> collection_;
  size_t leftovers_ = 0;
  size_t keyless_ = 0;
  size_t discarded_ = 0;
  bool good_ = false;
};

TEST(RWBTreePersistenceTest, StoredFormIsTheCountThenTheItemsInOrder) {
  TestValue one(1), two(2), three(3);
  RWBTree tree;
  for (RWCollectable* item : {&three, &one, &two}) tree.Insert(item);
  // ':' 0x8003 '{' count, then ':' 0x7C01 '{' value '}' per item, '}'
  std::string expected = Bytes({0x3A, 0x03, 0x80, 0x7B, 3, 0, 0, 0});
  for (int v : {1, 2, 3}) expected += Bytes({0x3A, 0x01, 0x7C, 0x7B, v, 0, 0, 0, 0x7D});
  expected += Bytes({0x7D});
  EXPECT_EQ(Hex(SaveGraph(StoreForm::kBinary, &tree)), Hex(expected));
  EXPECT_EQ(tree.StoredSize(), 4u + 3 * 6u);

  // An association writes its key and its value (here the nil object).
  RWBTreeDictionary dictionary;
  dictionary.InsertPair(&one, nullptr);
  EXPECT_EQ(Hex(SaveGraph(StoreForm::kBinary, &dictionary)),
            Hex(Bytes({0x3A, 0x04, 0x80, 0x7B, 1, 0, 0,    0,    0x3A, 0x08, 0x80, 0x7B, 0x3A, 0x01,
                       0x7C, 0x7B, 1,    0,    0, 0, 0x7D, 0x40, 0,    0,    0,    0,    0x7D, 0x7D})));
  EXPECT_EQ(dictionary.StoredSize(), 4u + 2 + 6 + 6);
}

TEST(RWBTreePersistenceTest, RoundTripsInEveryForm) {
  std::vector<std::unique_ptr<TestValue>> objects;
  const auto make = [&objects](int32_t v) {
    objects.push_back(std::make_unique<TestValue>(v));
    return objects.back().get();
  };
  // Deep enough for three levels.
  RWBTree tree;
  for (int32_t v = 0; v < 6000; ++v) tree.Insert(make(v * 7919 % 6000));
  // A key that is its own value, a value two pairs share, null values.
  RWBTreeDictionary dictionary;
  TestValue* shared = make(-1);
  for (int32_t k = 0; k < 300; ++k) {
    TestValue* key = make(k);
    dictionary.InsertPair(key, k % 3 == 0 ? key : (k % 3 == 1 ? shared : nullptr));
  }

  BTreeChecker checker;
  for (StoreForm form : kForms) {
    SCOPED_TRACE(FormName(form));
    for (const GCollection* original :
         {static_cast<const GCollection*>(&tree), static_cast<const GCollection*>(&dictionary)}) {
      bool good = false;
      const std::unique_ptr<RWCollectable> restored(RestoreCollectable(form, SaveGraph(form, original), good));
      ASSERT_NE(restored, nullptr);
      auto& copy = dynamic_cast<RWBTree&>(*restored);
      EXPECT_EQ(copy.ClassID(), original->ClassID());
      EXPECT_TRUE(copy.Equals(original));
      EXPECT_EQ(checker.Check(copy), "");
      EXPECT_EQ(copy.Height(), original == &tree ? 3u : 2u);
      if (auto* restoredDictionary = dynamic_cast<RWBTreeDictionary*>(&copy)) {
        const TestValue zero(0), one(1), four(4);
        EXPECT_EQ(restoredDictionary->FindValue(&zero), restoredDictionary->Find(&zero));
        EXPECT_EQ(restoredDictionary->FindValue(&one), restoredDictionary->FindValue(&four));
        EXPECT_NE(restoredDictionary->FindValue(&one), nullptr);
      }
      copy.DeleteAll();
    }
  }
}

TEST(RWBTreePersistenceTest, InputCutShortKeepsWhatWasRead) {
  TestValue k1(10), k2(20), k3(30), value(7);
  RWBTreeDictionary dictionary;
  dictionary.InsertPair(&k1, &value);
  dictionary.InsertPair(&k2, nullptr);
  dictionary.InsertPair(&k3, &value);
  RWBTree tree;
  for (RWCollectable* item : {&k1, &k2, &k3}) tree.Insert(item);

  const RecordingErrorHandler errors;
  BTreeChecker checker;
  for (StoreForm form : {StoreForm::kFile, StoreForm::kBinary, StoreForm::kText}) {
    SCOPED_TRACE(FormName(form));
    for (const RWBTree* original : {static_cast<const RWBTree*>(&tree), static_cast<const RWBTree*>(&dictionary)}) {
      // Restored inside a held table, a file has no start value.
      const std::string whole = SaveGraph(form, original).substr(form == StoreForm::kFile ? 4 : 0);
      for (size_t length = 0; length < whole.size(); ++length) {
        SCOPED_TRACE(length);
        const Restoration restoration(form, whole.substr(0, length));
        // An association cut before its key is refused, nothing else.
        EXPECT_EQ(restoration.Leftovers(), 0u);
        EXPECT_LE(restoration.Keyless(), 1u);
        if (restoration.Collection() == nullptr) continue;
        const auto& restored = dynamic_cast<const RWBTree&>(*restoration.Collection());
        EXPECT_EQ(checker.Check(restored), "");
        EXPECT_LE(restored.Count(), 3u);
      }
      EXPECT_EQ(errors.Count(), 0u);
    }
  }
}

TEST(RWBTreePersistenceTest, RestoreEmptiesTheCollectionFirst) {
  TestValue key(1), old(2);
  RWBTreeDictionary saved;
  saved.InsertPair(&key, nullptr);
  const std::string bytes = SaveGraph(StoreForm::kBinary, &saved);
  // The fields alone, without the reference around them.
  const std::string fields = bytes.substr(4, bytes.size() - 5);

  RWBTreeDictionary target;
  target.InsertPair(&old, &old);  // its association must go
  StringChannel channel(fields);
  GBinaryInStream in(&channel);
  target.RestoreContentsFromStream(in);
  EXPECT_EQ(KeyValues(target), (std::vector<int32_t>{1}));
  target.DeleteAll();
}

TEST(RWBTreePersistenceTest, AssociationMetAgainIsClonedNotShared) {
  // Stored data can name one association in two dictionaries; only the
  // dictionary that read it first may own it. Two trees stand in for the
  // dictionaries while saving, so that nothing here owns it either.
  TestValue key(5), value(6);
  RWCollectableAssociation association(&key, &value);
  RWBTree first, second;
  first.Insert(&association);
  second.Insert(&association);
  RWSlistCollectables list;
  list.Append(&first);
  list.Append(&second);
  std::string bytes = SaveGraph(StoreForm::kBinary, &list);
  const std::string treeID = Bytes({0x3A, 0x03, 0x80});
  for (size_t at = bytes.find(treeID); at != std::string::npos; at = bytes.find(treeID, at)) bytes[at + 1] = 0x04;

  bool good = false;
  const std::unique_ptr<RWCollectable> restored(RestoreCollectable(StoreForm::kBinary, bytes, good));
  ASSERT_NE(restored, nullptr);
  auto& dictionaries = dynamic_cast<RWSlistCollectables&>(*restored);
  const std::unique_ptr<RWBTreeDictionary> owner(dynamic_cast<RWBTreeDictionary*>(dictionaries.At(0)));
  const std::unique_ptr<RWBTreeDictionary> other(dynamic_cast<RWBTreeDictionary*>(dictionaries.At(1)));
  ASSERT_NE(owner, nullptr);
  ASSERT_NE(other, nullptr);
  EXPECT_NE(Members(*owner), Members(*other));
  EXPECT_TRUE(other->Equals(owner.get()));
  RWCollectable* sharedKey = other->Find(&key);
  EXPECT_NE(sharedKey, nullptr);
  EXPECT_EQ(owner->Find(&key), sharedKey);
  owner->DeleteAll();  // the key and value, once; each dictionary deletes its own association
}

TEST(RWBTreePersistenceTest, CorruptInputFailsCleanly) {
  // TestValue members: ':' 0x7C01 '{' value '}' in a binary stream; in a
  // file (no start value inside a held table) 0x7C01 and the value.
  const auto member = [](int v) { return Bytes({0x3A, 0x01, 0x7C, 0x7B, v, 0, 0, 0, 0x7D}); };
  const std::string treeHeader = Bytes({0x3A, 0x03, 0x80, 0x7B});
  const std::string dictionaryHeader = Bytes({0x3A, 0x04, 0x80, 0x7B});
  const std::string hugeCount = Bytes({0xFF, 0xFF, 0xFF, 0xFF});
  const std::string firstMemberAgain = Bytes({0x40, 2, 0, 0, 0});
  const std::string association6 = Bytes({0x3A, 0x08, 0x80, 0x7B}) + member(6) + Bytes({0x40, 0, 0, 0, 0, 0x7D});

  struct Case {
    const char* name;
    StoreForm form;
    std::string bytes;
    std::vector<int32_t> keys;
    // Objects made that the collection did not take, which the restore
    // disposes of.
    size_t refused;
    bool good;
  };
  // clang-format off
  const Case cases[] = {
      // A count the input cannot hold fails at once.
      {"huge_count", StoreForm::kBinary, treeHeader + hugeCount + member(5) + member(7), {}, 0, false},
      {"huge_count_in_a_file", StoreForm::kFile,
       Bytes({0x03, 0x80, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x7C, 5, 0, 0, 0, 0x01, 0x7C, 7, 0, 0, 0}), {}, 0, false},
      {"same_item_twice_is_held_once", StoreForm::kBinary,
       treeHeader + Bytes({3, 0, 0, 0}) + member(5) + firstMemberAgain + firstMemberAgain + Bytes({0x7D}), {5}, 0,
       true},
      {"equal_item_is_not_taken", StoreForm::kBinary,
       treeHeader + Bytes({2, 0, 0, 0}) + member(5) + member(5) + Bytes({0x7D}), {5}, 1, false},
      {"dictionary_takes_only_associations", StoreForm::kBinary,
       dictionaryHeader + Bytes({2, 0, 0, 0}) + member(5) + association6 + Bytes({0x7D}), {}, 1, false},
      {"dictionary_huge_count", StoreForm::kBinary, dictionaryHeader + hugeCount + association6, {}, 0, false},
      // The second pair and its key (and value) are disposed of, each once.
      {"dictionary_with_a_key_twice", StoreForm::kBinary,
       dictionaryHeader + Bytes({2, 0, 0, 0}) + association6 + association6 + Bytes({0x7D}), {6}, 2, false},
      {"dictionary_with_a_key_twice_in_a_file", StoreForm::kFile,
       Bytes({0x04, 0x80, 2, 0, 0, 0, 0x08, 0x80, 0x01, 0x7C, 6, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0, 0,
              0x08, 0x80, 0x01, 0x7C, 6, 0, 0, 0, 0x01, 0x7C, 9, 0, 0, 0}), {6}, 3, false},
      {"dictionary_takes_no_keyless_association", StoreForm::kBinary,
       dictionaryHeader + Bytes({1, 0, 0, 0, 0x3A, 0x08, 0x80, 0x7B, 0x40, 0, 0, 0, 0, 0x40, 0, 0, 0, 0, 0x7D, 0x7D}),
       {}, 1, false},
  };
  // clang-format on
  const RecordingErrorHandler errors;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Restoration restoration(c.form, c.bytes);
    ASSERT_NE(restoration.Collection(), nullptr);
    EXPECT_EQ(KeyValues(*restoration.Collection()), c.keys);
    EXPECT_EQ(restoration.Leftovers() + restoration.Keyless(), 0u);
    EXPECT_EQ(restoration.Discarded(), c.refused);
    EXPECT_EQ(restoration.Good(), c.good);
  }
}

}  // namespace
