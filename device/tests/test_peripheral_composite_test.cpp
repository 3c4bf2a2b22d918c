#include "device/testing/test_peripheral_composite.h"

#include <gtest/gtest.h>

#include <vector>

#include "model/attributes/configuration.h"
#include "model/attributes/value_attribute.h"
#include "model/testing/round_trip.h"

namespace {

// A root holding a value (key 5) and a child stage (key 76) that holds a
// value of key 7; the root's configuration holds key 339.
class TestPeripheralCompositeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_.SetName(RWCString("root"));
    root_.GetConfiguration()->AddChild(new GValueAttribute(1, 339));
    root_.AddChild(new GValueAttribute(10, 5));
    head_ = new TestPeripheralComposite(76);
    head_->AddChild(new GValueAttribute(20, 7));
    root_.AddChild(head_);
  }

  TestPeripheralComposite root_{353};
  TestPeripheralComposite* head_ = nullptr;
};

TEST_F(TestPeripheralCompositeTest, SearchesAndTheIteratorReachTheChildren) {
  EXPECT_EQ(root_.EntryCount(), 2u);
  EXPECT_EQ(root_.FindByKey(76), head_);
  ASSERT_NE(root_.FindByKey(7), nullptr);
  EXPECT_EQ(static_cast<GValueAttribute*>(root_.FindByKey(7))->Value(), 20);
  // The composite itself and its configuration are not searched.
  EXPECT_EQ(root_.FindByKey(353), nullptr);
  EXPECT_EQ(root_.FindByKey(339), nullptr);
  EXPECT_EQ(root_.FindKindOf(TestPeripheralComposite::kID), head_);
  EXPECT_EQ(root_.FindByClassId(kGValueAttributeClassID)->Key(), 5);

  std::vector<int32_t> keys;
  const std::unique_ptr<GIterator> children = root_.NewChildIterator();
  while (children->Advance()) keys.push_back(children->Current()->Key());
  EXPECT_EQ(keys, (std::vector<int32_t>{5, 76}));

  std::unique_ptr<MPersistentObject> removed(root_.RemoveChildByKey(7));
  ASSERT_NE(removed, nullptr);
  EXPECT_EQ(head_->EntryCount(), 0u);
  EXPECT_EQ(root_.FindByKey(7), nullptr);
}

TEST_F(TestPeripheralCompositeTest, ADeepCopyHoldsCopiesOfTheChildren) {
  const std::unique_ptr<MPersistentObject> copy(root_.DeepCopy());
  auto* stage = dynamic_cast<TestPeripheralComposite*>(copy.get());
  ASSERT_NE(stage, nullptr);
  EXPECT_TRUE(stage->SameContent(root_));
  EXPECT_NE(stage->FindByKey(76), head_);
  static_cast<GValueAttribute*>(stage->FindByKey(7))->SetValue(21);
  EXPECT_FALSE(stage->SameContent(root_));
  EXPECT_EQ(static_cast<GValueAttribute*>(root_.FindByKey(7))->Value(), 20);
}

TEST_F(TestPeripheralCompositeTest, RoundTripsWithItsChildren) {
  EXPECT_TRUE(RoundTrips(root_));
  EXPECT_TRUE(RoundTrips(TestPeripheralComposite(9)));
}

// The stored part: the stage's, then version 1, the child count and each
// child as a reference.
TEST_F(TestPeripheralCompositeTest, StoresItsChildrenAfterTheStagePart) {
  const TestPeripheralComposite empty(9);
  EXPECT_EQ(SaveContentsToFileBytes(empty), SaveContentsToFileBytes(TestPeripheral(empty)) + Words({1, 0}));

  TestPeripheralComposite one(9);
  one.AddChild(new GValueAttribute(3, 4));
  const std::string stagePart = SaveContentsToFileBytes(TestPeripheral(one));
  const std::string stored = SaveContentsToFileBytes(one);
  ASSERT_GT(stored.size(), stagePart.size() + 8);
  EXPECT_EQ(stored.substr(0, stagePart.size() + 8), stagePart + Words({1, 1}));
}

}  // namespace
