#include "foundation/rw_factory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "foundation/class_registrar.h"
#include "foundation/small_block_pool.h"

namespace {

// Classes told apart by their class ID; none of these IDs is registered by
// the library.
template <RWClassID id>
class Probe : public RWCollectable {
 public:
  RWClassID ClassID() const override { return id; }
};

constexpr RWClassID kFirstID = 0x7E21;
constexpr RWClassID kSecondID = 0x7E22;

RWCollectable* NewFirst() { return new Probe<kFirstID>; }
RWCollectable* NewSecond() { return new Probe<kSecondID>; }

RWClassID ClassOf(RWCollectable* object) {
  const std::unique_ptr<RWCollectable> owned(object);
  return owned != nullptr ? owned->ClassID() : 0;
}

// Removes both entries of a class at the end of a test, so that tests leave
// the process-wide factory as they found it.
class Registration {
 public:
  Registration(RWCreateFunction create, RWClassID id, const char* name) : id_(id), name_(name) {
    FactoryAddCreator(create, id, RWStringID(name));
  }
  ~Registration() {
    FactoryRemoveID(id_);
    FactoryRemoveName(RWStringID(name_));
  }

 private:
  RWClassID id_;
  const char* name_;
};

TEST(RWFactory, MakesRegisteredClassesByIDAndByName) {
  const Registration first(NewFirst, kFirstID, "ProbeFirst");
  EXPECT_EQ(ClassOf(FactoryCreateByID(kFirstID)), kFirstID);
  EXPECT_EQ(ClassOf(FactoryCreateByName("ProbeFirst")), kFirstID);
  EXPECT_EQ(FactoryNameOfID(kFirstID), "ProbeFirst");
  EXPECT_EQ(FactoryIDOfName("ProbeFirst"), kFirstID);
  EXPECT_EQ(GetFactory()->CreateFunctionOfID(kFirstID), &NewFirst);
}

TEST(RWFactory, UnknownKeysGetTheDefaults) {
  EXPECT_EQ(FactoryCreateByID(0x7E2F), nullptr);
  EXPECT_EQ(FactoryCreateByName("NeverRegistered"), nullptr);
  EXPECT_EQ(FactoryNameOfID(0x7E2F), "NoID");
  EXPECT_EQ(FactoryIDOfName("NeverRegistered"), 0x8000);
}

TEST(RWFactory, FirstRegistrationOfAnIDAndOfANameWins) {
  const Registration first(NewFirst, kFirstID, "ProbeFirst");
  // The ID is taken, the new name is not: each index keeps its first entry.
  const Registration sameID(NewSecond, kFirstID, "ProbeSecond");
  const Registration sameName(NewSecond, kSecondID, "ProbeFirst");
  EXPECT_EQ(ClassOf(FactoryCreateByID(kFirstID)), kFirstID);
  EXPECT_EQ(FactoryNameOfID(kFirstID), "ProbeFirst");
  EXPECT_EQ(ClassOf(FactoryCreateByName("ProbeFirst")), kFirstID);
  EXPECT_EQ(FactoryIDOfName("ProbeFirst"), kFirstID);
  EXPECT_EQ(ClassOf(FactoryCreateByName("ProbeSecond")), kSecondID);
  EXPECT_EQ(FactoryNameOfID(kSecondID), "ProbeFirst");
}

TEST(RWFactory, ClassWithoutANameAndRemovalOfEachEntry) {
  FactoryAddCreatorNoName(NewFirst, kFirstID);
  EXPECT_EQ(FactoryNameOfID(kFirstID), "No_RWStringID");
  EXPECT_EQ(FactoryIDOfName("No_RWStringID"), kFirstID);

  FactoryRemoveID(kFirstID);
  EXPECT_EQ(FactoryCreateByID(kFirstID), nullptr);
  EXPECT_EQ(ClassOf(FactoryCreateByName("No_RWStringID")), kFirstID);
  FactoryRemoveName("No_RWStringID");
  EXPECT_EQ(FactoryCreateByName("No_RWStringID"), nullptr);
}

TEST(GClassRegistrar, RegistersForItsLifetime) {
  {
    const GClassRegistrar registrar(CreateCollectable<Probe<kSecondID>>, kSecondID, "ProbeSecond");
    EXPECT_EQ(ClassOf(FactoryCreateByID(kSecondID)), kSecondID);
    EXPECT_EQ(ClassOf(FactoryCreateByName("ProbeSecond")), kSecondID);
  }
  EXPECT_EQ(FactoryCreateByID(kSecondID), nullptr);
  EXPECT_EQ(FactoryIDOfName("ProbeSecond"), 0x8000);
}

// The library's own classes keep the factory of a test process populated,
// so the factory's end is watched in a child process that starts afresh.
void RemovingTheLastClassEndsTheFactoryAndReleasesThePool() {
  DestroyFactory();
  GSmallBlockPool::Release();
  // Five cached blocks fill the pool's class of 2-byte blocks.
  for (int i = 0; i < 5; ++i) GSmallBlockPool::Free(std::malloc(2), 2);

  FactoryAddCreator(NewFirst, kFirstID, "ProbeFirst");
  FactoryRemoveID(kFirstID);
  if (FactoryNameOfID(kFirstID) != "NoID" || FactoryIDOfName("ProbeFirst") != kFirstID) std::exit(2);
  FactoryRemoveName("ProbeFirst");
  if (FactoryIDOfName("ProbeFirst") != 0x8000) std::exit(3);

  // Released, the pool has room again: a freed block is cached and comes
  // back. A full pool would have handed it to the heap.
  void* const block = std::malloc(2);
  GSmallBlockPool::Free(block, 2);
  if (GSmallBlockPool::Allocate(2) != block) std::exit(4);

  // A later registration makes a new factory.
  FactoryAddCreator(NewFirst, kFirstID, "ProbeFirst");
  if (ClassOf(FactoryCreateByID(kFirstID)) != kFirstID) std::exit(5);
  std::exit(0);
}

TEST(RWFactoryDeathTest, RemovingTheLastClassEndsTheFactoryAndReleasesThePool) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(RemovingTheLastClassEndsTheFactoryAndReleasesThePool(), testing::ExitedWithCode(0), "");
}

}  // namespace
