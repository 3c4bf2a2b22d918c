#include "foundation/collectable_association.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "foundation/binary_stream.h"
#include "foundation/persistence.h"
#include "foundation/rw_set.h"
#include "foundation/tests/collectable_test_support.h"

namespace {

TEST(RWCollectableAssociationTest, StandsForItsKey) {
  TestValue key(3), value(4), bareKey(3), otherKey(5);
  RWCollectableAssociation association(&key, &value);
  EXPECT_EQ(association.HashValue(), key.HashValue());
  EXPECT_TRUE(association.Equals(&bareKey));
  EXPECT_FALSE(association.Equals(&otherKey));
  EXPECT_EQ(association.Compare(&bareKey), 0);
  EXPECT_EQ(association.Compare(&otherKey), -1);  // key 3 before 5
  EXPECT_EQ(association.Compare(&value), -1);

  RWCollectableAssociation sameKey(&bareKey, nullptr);
  EXPECT_TRUE(association.Equals(&sameKey));

  // Found in a set from the bare key.
  RWSet set;
  set.Insert(&association);
  EXPECT_EQ(set.Find(&bareKey), &association);

  EXPECT_EQ(association.SetValue(&otherKey), &value);
  EXPECT_EQ(association.Value(), &otherKey);
  std::unique_ptr<RWCollectable> clone(association.Clone());
  auto& copy = dynamic_cast<RWCollectableAssociation&>(*clone);
  EXPECT_EQ(copy.Key(), &key);
  EXPECT_EQ(copy.Value(), &otherKey);
}

TEST(RWCollectableAssociationTest, WithoutKeyAnswersForItself) {
  RWCollectableAssociation empty, another;
  TestValue key(1);
  RWCollectableAssociation keyed(&key, nullptr);
  EXPECT_TRUE(empty.Equals(&empty));
  EXPECT_FALSE(empty.Equals(&another));
  EXPECT_FALSE(empty.Equals(&keyed));
  EXPECT_FALSE(keyed.Equals(&empty));
  EXPECT_EQ(empty.HashValue(), AddressHash(&empty));
  EXPECT_EQ(empty.Compare(&empty), 0);
  std::unique_ptr<RWCollectable> fresh(keyed.NewInstance());
  EXPECT_EQ(dynamic_cast<RWCollectableAssociation&>(*fresh).Key(), nullptr);
}

TEST(RWCollectableIDAssociationTest, HashesComparesAndEqualsByID) {
  TestValue value(1);
  RWCollectableIDAssociation association(0x8007, &value), same(0x8007, nullptr), higher(0x8008, &value);
  EXPECT_EQ(association.ClassID(), 0x805F);
  EXPECT_EQ(association.HashValue(), 0x8007u ^ 0x1000u);
  EXPECT_TRUE(association.Equals(&same));
  EXPECT_FALSE(association.Equals(&higher));
  EXPECT_FALSE(association.Equals(&value));
  EXPECT_EQ(association.Compare(&same), 0);
  EXPECT_EQ(association.Compare(&higher), -1);
  EXPECT_EQ(higher.Compare(&association), 1);
  EXPECT_EQ(association.Key(), nullptr);
}

// Restores what the save wrote, through a binary virtual stream.
template <typename T>
std::unique_ptr<T> RoundTrip(const T& object, const RWCollectable*& first) {
  std::stringstream buffer(std::ios::in | std::ios::out | std::ios::binary);
  GBinaryOutStream out(buffer);
  SaveObjectToStream(object, out);
  out.Flush();
  GBinaryInStream in(buffer);
  RWCollectable* restored = nullptr;
  RestoreObjectFromStream(in, restored);
  first = restored;
  return std::unique_ptr<T>(dynamic_cast<T*>(restored));
}

TEST(RWCollectableAssociationTest, SavesKeyThenValueAsReferences) {
  TestValue shared(6);
  RWCollectableAssociation association(&shared, &shared);
  // Key in full (class ID and 4 bytes), then a back-reference.
  EXPECT_EQ(association.StoredSize(), 6u + 6u);
  const RWCollectable* raw = nullptr;
  std::unique_ptr<RWCollectableAssociation> copy = RoundTrip(association, raw);
  ASSERT_NE(copy, nullptr);
  ASSERT_NE(copy->Key(), nullptr);
  EXPECT_EQ(copy->Key(), copy->Value());
  EXPECT_TRUE(copy->Key()->Equals(&shared));
  delete copy->Key();

  RWCollectableAssociation nulls;
  EXPECT_EQ(nulls.StoredSize(), 6u + 6u);  // both the nil object
  std::unique_ptr<RWCollectableAssociation> empty = RoundTrip(nulls, raw);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(empty->Key(), nullptr);
  EXPECT_EQ(empty->Value(), nullptr);
}

TEST(RWCollectableIDAssociationTest, SavesTheIDAsANumber) {
  TestValue value(2);
  RWCollectableIDAssociation association(0x8033, &value);
  EXPECT_EQ(association.StoredSize(), 2u + 6u);
  const RWCollectable* raw = nullptr;
  std::unique_ptr<RWCollectableIDAssociation> copy = RoundTrip(association, raw);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->ID(), 0x8033);
  ASSERT_NE(copy->Value(), nullptr);
  EXPECT_TRUE(copy->Value()->Equals(&value));
  delete copy->Value();
}

}  // namespace
