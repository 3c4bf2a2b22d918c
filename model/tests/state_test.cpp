// Tests of the state block: one attribute per base type and key, kept by
// adding and by merging.
#include "model/attributes/state.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "model/testing/round_trip.h"
#include "model/testing/test_nodes.h"
#include "model/tests/attribute_test_support.h"

namespace {

TEST(StateTest, AddingReplacesTheHeldChildOfTheSameBaseTypeAndKey) {
  struct Case {
    const char* name;
    GAttribute* added;
    const char* children;
  };
  // Every case adds to the state {v4=0 v5=1 s6='a'}.
  const Case cases[] = {
      {"new_key_appended", Value(7, 1), "v4=0 v5=1 s6='a' v7=1"},
      {"other_value_takes_the_same_index", Value(5, 2), "v4=0 v5=2 s6='a'"},
      {"equal_value_keeps_the_held_child", Value(5, 1, 1), "v4=0 v5=1 s6='a'"},
      {"range_beside_value_of_the_same_key", Range(5, 1), "v4=0 v5=1 s6='a' r5=1"},
      {"other_text_replaces", Text(6, "b"), "v4=0 v5=1 s6='b'"},
      {"state_of_another_key_appended", State(5, {Value(1, 1)}), "v4=0 v5=1 s6='a' S5{v1=1}"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::unique_ptr<GState> state(State(0, {Value(4, 0), Value(5, 1), Text(6, "a")}));
    state->AddChild(c.added);
    EXPECT_EQ(DescribeChildren(*state), c.children);
  }
}

TEST(StateTest, AnEqualChildHandedInIsReleasedNotDeleted) {
  const std::unique_ptr<GState> state(State(0, {Value(5, 1)}));
  MPersistentObject* held = state->Children()[0].Get();

  // The caller shares its object: it survives with the caller's reference.
  const GObjectRef shared(Value(5, 1, 1));
  state->AddChild(shared.Get());
  EXPECT_EQ(shared->ReferenceCount(), 0);
  EXPECT_EQ(state->Children()[0].Get(), held);

  // An unowned equal object and anything that is not an attribute are
  // deleted (the sanitizer build would report them as leaks otherwise).
  state->AddChild(Value(5, 1));
  state->AddChild(new BareNode(5));
  EXPECT_EQ(state->EntryCount(), 1u);
}

TEST(StateTest, MergingTakesOverWhatDiffersAndMarksIt) {
  struct Case {
    const char* name;
    GState* held;
    GAttribute* other;
    const char* merged;
    int32_t answer;
  };
  const Case cases[] = {
      {"missing_attribute_appended", State(0, {Value(5, 1)}), State(0, {Value(6, 2)}), "v5=1 v6=2*", 1},
      {"differing_attribute_replaced_in_place", State(0, {Value(5, 1), Value(6, 1)}), State(0, {Value(5, 2)}),
       "v5=2* v6=1", 1},
      {"equal_attribute_keeps_its_flag", State(0, {Value(5, 1)}), State(0, {Value(5, 1, 1)}), "v5=1", 0},
      {"range_and_value_of_one_key_both_stay", State(0, {Value(5, 1)}), State(0, {Range(5, 1)}), "v5=1 r5=1*", 1},
      {"nested_state_merged_child_by_child", State(0, {State(9, {Value(1, 1), Value(2, 2)})}),
       State(0, {State(9, {Value(1, 5), Value(3, 3)})}), "S9{v1=5* v2=2 v3=3*}", 1},
      {"state_of_another_key_added_whole", State(0, {Value(5, 1)}), State(9, {Value(1, 1)}), "v5=1 S9{v1=1}*", 1},
      {"state_of_another_key_replaces_the_state_with_that_key", State(0, {State(9, {Value(1, 1)})}),
       State(9, {Value(1, 2)}), "S9{v1=2}*", 1},
      {"leaf_added_as_one_child", State(0, {Value(5, 1)}), Value(6, 1), "v5=1 v6=1*", 1},
      {"equal_leaf_not_taken", State(0, {Value(5, 1)}), Value(5, 1), "v5=1", 0},
      {"nothing_to_merge", State(0, {Value(5, 1)}), State(0, {}), "v5=1", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const GObjectRef held(c.held);
    const GObjectRef other(c.other);
    EXPECT_EQ(c.held->UpdateFrom(c.other), c.answer);
    EXPECT_EQ(DescribeChildren(*c.held), c.merged);
  }
  const std::unique_ptr<GState> state(State(0, {Value(5, 1)}));
  EXPECT_EQ(state->UpdateFrom(nullptr), 0);
}

TEST(StateTest, MergedAttributesAreSharedNotCopied) {
  const std::unique_ptr<GState> held(State(0, {Value(5, 1)}));
  const GObjectRef other(State(0, {Value(5, 2), Text(6, "t")}));
  held->UpdateFrom(static_cast<GAttribute*>(other.Get()));
  const auto& source = static_cast<GState&>(*other);
  EXPECT_EQ(held->Children()[0].Get(), source.Children()[0].Get());
  EXPECT_EQ(held->Children()[1].Get(), source.Children()[1].Get());

  // Merging a state into itself changes nothing.
  EXPECT_EQ(held->UpdateFrom(held.get()), 0);
  EXPECT_EQ(DescribeChildren(*held), "v5=2* s6='t'*");
}

TEST(StateTest, ALeafMergedAndDroppedIsNotTouchedAfterwards) {
  // The equal leaf is released by the state; UpdateFrom still marks it,
  // which must happen while it is alive.
  const std::unique_ptr<GState> state(State(0, {Value(5, 1)}));
  state->UpdateFrom(Value(5, 1));
  EXPECT_EQ(DescribeChildren(*state), "v5=1");
}

TEST(StateTest, RoundTripsWithNestedBlocks) {
  const std::unique_ptr<GState> state(State(243, {Value(1, 2, 1), State(244, {Range(3, 4), Text(5, "x", 1)})}));
  EXPECT_TRUE(RoundTrips(*state));
  const GState empty;
  const std::string stored = SaveContentsToFileBytes(empty);
  // The composite part (root 12, attribute 8, version 4, count 4), then the
  // state's own version.
  EXPECT_EQ(stored.size(), 32u);
  EXPECT_EQ(stored.substr(28), Words({1}));
}

TEST(StateTest, KindAndBaseTypeAreTheStates) {
  const GState state;
  EXPECT_TRUE(state.IsKindOf(kGAttributeCompositeClassID));
  EXPECT_TRUE(state.IsKindOf(kGAttributeClassID));
  EXPECT_FALSE(state.IsKindOf(kMPersistentCompositeClassID));
  EXPECT_EQ(state.BaseTypeId(), kGStateClassID);
}

}  // namespace
