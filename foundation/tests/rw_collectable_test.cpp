#include "foundation/rw_collectable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <thread>
#include <vector>

#include "foundation/rw_factory.h"

namespace {

// Equal to everything, so that a test can tell whose Equals was asked.
class AgreeableCollectable : public RWCollectable {
 public:
  bool Equals(const RWCollectable*) const override { return true; }
};

TEST(RWCollectableTest, BaseAnswersItsClassAndEmptyContents) {
  RWCollectable object;
  EXPECT_EQ(object.ClassID(), 0x8007);
  EXPECT_EQ(RWCollectable::StaticClassID(), 0x8007);
  EXPECT_EQ(object.StoredSize(), 0u);

  // Fresh objects of the base class, never the receiver itself.
  for (auto make : {&RWCollectable::NewInstance, &RWCollectable::Clone}) {
    std::unique_ptr<RWCollectable> made((object.*make)());
    ASSERT_NE(made, nullptr);
    EXPECT_NE(made.get(), &object);
    EXPECT_EQ(made->ClassID(), 0x8007);
  }
  std::unique_ptr<RWCollectable> created(RWCollectable::Create());
  EXPECT_EQ(created->ClassID(), 0x8007);
}

TEST(RWCollectableTest, BaseOrdersAndComparesByAddress) {
  RWCollectable pair[2];
  RWCollectable& low = pair[0];
  RWCollectable& high = pair[1];
  EXPECT_EQ(low.Compare(&low), 0);
  EXPECT_EQ(high.Compare(&low), 1);
  EXPECT_EQ(low.Compare(&high), -1);

  EXPECT_TRUE(low.Equals(&low));
  EXPECT_FALSE(low.Equals(&high));
  EXPECT_EQ(low.HashValue(), AddressHash(&low));
}

TEST(RWCollectableTest, AddressHashFoldsTheLow32Bits) {
  EXPECT_EQ(AddressHash(reinterpret_cast<void*>(uintptr_t{0x1000})), 0x1200u);
  EXPECT_EQ(AddressHash(reinterpret_cast<void*>(uintptr_t{0x87654321})), 0x87654321u ^ 0x10ECA864u);
  EXPECT_EQ(AddressHash(nullptr), 0u);
}

TEST(RWCollectableTest, EqualityFunctionAsksTheFirstOperand) {
  AgreeableCollectable agreeable;
  RWCollectable plain;
  EXPECT_TRUE(CollectablesEqual(&agreeable, &plain));
  EXPECT_FALSE(CollectablesEqual(&plain, &agreeable));
}

TEST(RWCollectableTest, NilIsOneSharedObject) {
  RWCollectable* nil = RWCollectable::Nil();
  ASSERT_NE(nil, nullptr);
  EXPECT_EQ(RWCollectable::Nil(), nil);
  EXPECT_EQ(nil->ClassID(), 0x8007);
  RWCollectable other;
  EXPECT_FALSE(nil->Equals(&other));
}

TEST(RWCollectableTest, ObjectStoreSizeCountsAReference) {
  RWCollectable object;
  // Outermost: start value, class ID, no fields.
  EXPECT_EQ(RWCollectable::ObjectStoreSize(&object), 4u + 2u);
  EXPECT_EQ(RWCollectable::ObjectStoreSize(nullptr), 4u + 6u);  // the nil object's back-reference
}

TEST(RWCollectableTest, UserClassIDRange) {
  struct Case {
    const char* name;
    RWClassID id;
    bool user;
  };
  const Case cases[] = {
      {"below_range", 0x8FFF, false}, {"first", 0x9000, true},    {"last", 0xF000, true},
      {"above_range", 0xF001, false}, {"library", 0x8007, false}, {"system", 751, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IsUserClassID(c.id), c.user);
  }
}

// Must stay the first test of this executable that takes user class IDs:
// the counter is process-wide.
TEST(RWCollectableTest, UserClassIDsStartAt0x9000InOrder) {
  EXPECT_EQ(NewUserClassID(), 0x9000);
  EXPECT_EQ(NewUserClassID(), 0x9001);
}

TEST(RWCollectableTest, UserClassIDsFromSeveralThreadsAreDistinct) {
  constexpr int kThreads = 4;
  constexpr int kEach = 200;
  std::vector<std::vector<RWClassID>> taken(kThreads);
  std::vector<std::thread> threads;
  for (auto& ids : taken) {
    threads.emplace_back([&ids] {
      for (int i = 0; i < kEach; ++i) ids.push_back(NewUserClassID());
    });
  }
  for (auto& thread : threads) thread.join();

  std::vector<RWClassID> all;
  for (const auto& ids : taken) all.insert(all.end(), ids.begin(), ids.end());
  std::sort(all.begin(), all.end());
  ASSERT_EQ(all.size(), size_t{kThreads * kEach});
  EXPECT_EQ(std::adjacent_find(all.begin(), all.end()), all.end());
  EXPECT_EQ(all.back() - all.front() + 1, kThreads * kEach);
}

TEST(RWCollectableTest, LibraryCollectablesAreRegisteredByIDAndName) {
  struct Case {
    const char* name;
    RWClassID id;
  };
  const Case cases[] = {
      {"RWCollectable", 0x8007}, {"RWCollectableAssociation", 0x8008},   {"RWIdentitySet", 0x8025},
      {"RWSet", 0x802B},         {"RWSlistCollectables", 0x8033},        {"RWSlistCollectablesStack", 0x8036},
      {"RWHashTable", 0x805E},   {"RWCollectableIDAssociation", 0x805F},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<RWCollectable> byID(FactoryCreateByID(c.id));
    std::unique_ptr<RWCollectable> byName(FactoryCreateByName(c.name));
    ASSERT_NE(byID, nullptr);
    ASSERT_NE(byName, nullptr);
    EXPECT_EQ(byID->ClassID(), c.id);
    EXPECT_EQ(byName->ClassID(), c.id);
    EXPECT_EQ(FactoryIDOfName(c.name), c.id);
    EXPECT_STREQ(FactoryNameOfID(c.id).Data(), c.name);
  }
}

}  // namespace
