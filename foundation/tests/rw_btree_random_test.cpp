// Drives the B-tree and the B-tree dictionary with long random sequences of
// operations against the standard containers, walking the nodes now and then
// to check their fill and order.

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>

#include "foundation/collectable_association.h"
#include "foundation/rw_btree.h"
#include "foundation/rw_btree_dictionary.h"
#include "foundation/tests/btree_checker.h"
#include "foundation/tests/collectable_test_support.h"

namespace {

constexpr int32_t kRange = 40000;
constexpr int kSteps = 100000;
// Growing and shrinking phases alternate, so that the tree climbs to three
// levels, empties again and passes every kind of split, borrow and merge on
// the way.
constexpr int kPhase = 25000;
constexpr int kCheckEvery = 97;

enum class Op { kInsert, kRemove, kLookUp };

// Percentages of the steps in a phase.
struct Mix {
  uint32_t ascending;  // insert the value after the last one so inserted
  uint32_t insert;
  uint32_t remove;
  uint32_t removePresent;  // remove the first value held at or after a random one
  uint32_t removeFirst;
  uint32_t removeLast;
  // The rest look values up.
};

constexpr Mix kGrowing = {5, 50, 10, 5, 2, 2};
constexpr Mix kShrinking = {2, 13, 10, 45, 8, 8};

// Runs the steps on a subject that keeps its own standard model:
//   void Insert(int32_t), void Remove(int32_t), void LookUp(int32_t, uint32_t),
//   bool Empty(), int32_t First(), int32_t Last(), int32_t AtOrAfter(int32_t),
//   uint32_t Height(),
//   void CheckCount(), std::string CheckNodes().
template <typename Subject>
void Drive(Subject& subject, uint32_t seed) {
  std::mt19937 random(seed);
  int32_t ascending = 0;
  uint32_t tallest = 0;
  bool emptiedAfterGrowing = false;
  for (int step = 0; step < kSteps; ++step) {
    const Mix& mix = step / kPhase % 2 == 0 ? kGrowing : kShrinking;
    uint32_t roll = random() % 100;
    const auto take = [&roll](uint32_t share) {
      if (roll < share) return true;
      roll -= share;
      return false;
    };
    const int32_t any = static_cast<int32_t>(random() % kRange);
    if (take(mix.ascending)) {
      ascending = (ascending + 1) % kRange;
      subject.Insert(ascending);
    } else if (take(mix.insert)) {
      subject.Insert(any);
    } else if (take(mix.remove)) {
      subject.Remove(any);
    } else if (take(mix.removePresent)) {
      subject.Remove(subject.Empty() ? any : subject.AtOrAfter(any));
    } else if (take(mix.removeFirst)) {
      subject.Remove(subject.Empty() ? any : subject.First());
    } else if (take(mix.removeLast)) {
      subject.Remove(subject.Empty() ? any : subject.Last());
    } else {
      subject.LookUp(any, random());
    }
    subject.CheckCount();
    if (::testing::Test::HasFatalFailure()) return;
    if (step % kCheckEvery == 0) {
      ASSERT_EQ(subject.CheckNodes(), "") << "step " << step;
    }
    tallest = std::max(tallest, subject.Height());
    if (tallest >= 3 && subject.Empty()) emptiedAfterGrowing = true;
  }
  ASSERT_EQ(subject.CheckNodes(), "");
  EXPECT_GE(tallest, 3u);
  EXPECT_TRUE(emptiedAfterGrowing);
}

// What both subjects share: the collection under test, its model (a map
// from each number to what the collection should hold for it) and the
// checker of its nodes.
template <typename Collection, typename Entry>
class Subject {
 public:
  bool Empty() const { return model_.empty(); }
  int32_t First() const { return model_.begin()->first; }
  int32_t Last() const { return model_.rbegin()->first; }
  int32_t AtOrAfter(int32_t v) const {
    const auto held = model_.lower_bound(v);
    return held != model_.end() ? held->first : Last();
  }
  uint32_t Height() const { return collection_.Height(); }
  void CheckCount() { ASSERT_EQ(collection_.Count(), model_.size()); }
  // Sound nodes whose items, in order, each hold what holds (item, entry)
  // accepts of the model's entry.
  template <typename Holds>
  std::string CheckNodesWith(Holds holds) {
    std::string problem = checker_.Check(collection_);
    if (!problem.empty()) return problem;
    auto stored = model_.begin();
    for (RWCollectable* item : checker_.Items()) {
      if (!holds(*item, (stored++)->second)) return "items differ from the model";
    }
    return "";
  }

 protected:
  std::map<int32_t, Entry> model_;
  Collection collection_;
  BTreeChecker checker_;
};

// The tree, each number mapped to the item stored for it.
class TreeSubject : public Subject<RWBTree, std::unique_ptr<TestValue>> {
 public:
  void Insert(int32_t v) {
    auto item = std::make_unique<TestValue>(v);
    RWCollectable* answer = collection_.Insert(item.get());
    const auto stored = model_.find(v);
    if (stored != model_.end()) {
      ASSERT_EQ(answer, stored->second.get()) << "insert " << v;
    } else {
      ASSERT_EQ(answer, item.get()) << "insert " << v;
      model_[v] = std::move(item);
    }
  }
  void Remove(int32_t v) {
    const TestValue probe(v);
    RWCollectable* removed = collection_.Remove(&probe);
    const auto stored = model_.find(v);
    ASSERT_EQ(removed, stored != model_.end() ? stored->second.get() : nullptr) << "remove " << v;
    if (stored != model_.end()) model_.erase(stored);
  }
  void LookUp(int32_t v, uint32_t) {
    const TestValue probe(v);
    const auto stored = model_.find(v);
    ASSERT_EQ(collection_.Find(&probe), stored != model_.end() ? stored->second.get() : nullptr) << "find " << v;
    ASSERT_EQ(collection_.Occurrences(&probe), model_.count(v));
  }
  std::string CheckNodes() {
    return CheckNodesWith(
        [](const RWCollectable& item, const std::unique_ptr<TestValue>& stored) { return &item == stored.get(); });
  }
};

struct Pair {
  std::unique_ptr<TestValue> key;
  std::unique_ptr<TestValue> value;
};

// The dictionary, each key number mapped to the key and value objects
// stored for it.
class DictionarySubject : public Subject<RWBTreeDictionary, Pair> {
 public:
  void Insert(int32_t k) {
    auto key = std::make_unique<TestValue>(k);
    auto value = std::make_unique<TestValue>(k * 3 + 1);
    RWCollectable* answer = collection_.InsertPair(key.get(), value.get());
    if (model_.count(k) > 0) {
      ASSERT_EQ(answer, nullptr) << "insert " << k;
    } else {
      ASSERT_EQ(answer, key.get()) << "insert " << k;
      model_[k] = {std::move(key), std::move(value)};
    }
  }
  // Through each of the three removals in turn.
  void Remove(int32_t k) {
    const TestValue probe(k);
    const auto stored = model_.find(k);
    const bool present = stored != model_.end();
    RWCollectable* expectedKey = present ? stored->second.key.get() : nullptr;
    switch (removals_++ % 3) {
      case 0: {
        RWCollectable* value = &unset_;
        ASSERT_EQ(collection_.RemovePair(&probe, value), expectedKey) << "remove pair " << k;
        ASSERT_EQ(value, present ? stored->second.value.get() : nullptr);
        break;
      }
      case 1:
        ASSERT_EQ(collection_.Remove(&probe), expectedKey) << "remove " << k;
        break;
      default:
        collection_.RemoveAndDelete(&probe);
        if (present) {
          // The dictionary deleted both.
          (void)stored->second.key.release();
          (void)stored->second.value.release();
        }
        break;
    }
    if (present) model_.erase(stored);
  }
  // Finds by a bare key or by an association; one time in four sets a new
  // value instead.
  void LookUp(int32_t k, uint32_t choice) {
    const TestValue probe(k);
    const RWCollectableAssociation byAssociation(const_cast<TestValue*>(&probe), nullptr);
    const RWCollectable* key = choice % 2 == 0 ? static_cast<const RWCollectable*>(&probe) : &byAssociation;
    const auto stored = model_.find(k);
    const bool present = stored != model_.end();
    if (choice % 4 == 3) {
      auto value = std::make_unique<TestValue>(-k);
      ASSERT_EQ(collection_.SetValue(key, value.get()), present ? stored->second.value.get() : nullptr);
      if (present) stored->second.value = std::move(value);
      return;
    }
    RWCollectable* value = &unset_;
    ASSERT_EQ(collection_.FindKeyAndValue(key, value), present ? stored->second.key.get() : nullptr) << k;
    ASSERT_EQ(value, present ? stored->second.value.get() : nullptr);
    ASSERT_EQ(collection_.FindValue(key), value);
    ASSERT_EQ(collection_.Find(key), present ? stored->second.key.get() : nullptr);
  }
  std::string CheckNodes() {
    return CheckNodesWith([](const RWCollectable& item, const Pair& pair) {
      const auto& association = dynamic_cast<const RWCollectableAssociation&>(item);
      return association.Key() == pair.key.get() && association.Value() == pair.value.get();
    });
  }

 private:
  uint32_t removals_ = 0;
  // Stands in the out value before a call, so that a missed write shows.
  TestValue unset_{-1};
};

TEST(RWBTreeRandomTest, AgreesWithAStandardSet) {
  TreeSubject subject;
  Drive(subject, 20240611);
}

TEST(RWBTreeDictionaryRandomTest, AgreesWithAStandardMap) {
  DictionarySubject subject;
  Drive(subject, 20240612);
}

}  // namespace
