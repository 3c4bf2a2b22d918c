// Tests of the enumeration attribute: its choices and the current one.
#include "model/attributes/enum_attribute.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "foundation/testing/recording_error_handler.h"
#include "model/testing/round_trip.h"
#include "model/testing/test_nodes.h"
#include "model/tests/attribute_test_support.h"

namespace {

// An enumeration of value choices keyed 1, 2, 3 ... holding the values given.
std::unique_ptr<GEnumAttribute> Choices(std::initializer_list<int16_t> values) {
  auto enumeration = std::make_unique<GEnumAttribute>(30);
  int32_t key = 1;
  for (int16_t value : values) enumeration->AddChild(Value(key++, value));
  return enumeration;
}

std::string Current(const GEnumAttribute& enumeration) {
  return enumeration.CurrentChoice() == nullptr ? "none" : Describe(*enumeration.CurrentChoice());
}

TEST(EnumAttributeTest, TakesChoicesOfOneClassWithoutRepeats) {
  GEnumAttribute enumeration(30);
  EXPECT_EQ(Current(enumeration), "none");
  enumeration.AddChild(new BareNode(1));
  enumeration.AddChild(Value(1, 10));
  EXPECT_EQ(enumeration.ChoiceClassId(), kGValueAttributeClassID);
  enumeration.AddChild(Text(2, "other class"));
  enumeration.AddChild(Value(1, 10));
  enumeration.AddChild(Value(2, 20));
  EXPECT_EQ(DescribeChildren(enumeration), "v1=10 v2=20");
  EXPECT_EQ(Current(enumeration), "v1=10");

  // A refused choice that the caller shares stays the caller's.
  const GObjectRef shared(Value(1, 10));
  enumeration.AddChild(shared.Get());
  EXPECT_EQ(shared->ReferenceCount(), 0);
}

TEST(EnumAttributeTest, TheCurrentChoiceMovesWithinTheChoices) {
  struct Case {
    const char* name;
    std::function<void(GEnumAttribute&)> change;
    const char* current;
  };
  // clang-format off
  const Case cases[] = {
      {"next", [](GEnumAttribute& e) { e.NextChoice(); }, "v2=20"},
      {"next_stops_at_the_last", [](GEnumAttribute& e) { e.NextChoice(); e.NextChoice(); e.NextChoice(); }, "v3=30"},
      {"previous_stops_at_the_first", [](GEnumAttribute& e) { e.PreviousChoice(); }, "v1=10"},
      {"set_to_an_equal_choice", [](GEnumAttribute& e) { e.SetCurrentChoice(GValueAttribute(30, 3)); }, "v3=30"},
      {"set_to_no_choice_changes_nothing", [](GEnumAttribute& e) { e.SetCurrentChoice(GValueAttribute(31, 3)); },
       "v1=10"},
      {"removing_the_current_makes_the_first_current",
       [](GEnumAttribute& e) {
         e.NextChoice();
         delete e.RemoveChildByKey(2);
       },
       "v1=10"},
      {"removing_the_first_current_moves_on", [](GEnumAttribute& e) { delete e.RemoveChildByClassId(kGValueAttributeClassID); },
       "v2=20"},
      {"removing_another_keeps_the_current", [](GEnumAttribute& e) { delete e.RemoveChildByKey(3); }, "v1=10"},
      {"removing_all_leaves_none", [](GEnumAttribute& e) { e.RemoveAllChildren(); }, "none"},
      {"replacing_the_current_follows_the_replacement",
       [](GEnumAttribute& e) {
         e.NextChoice();
         e.ReplaceChildByKey(2, GValueAttribute(22, 2));
       },
       "v2=22*"},
      {"replacing_another_keeps_the_current", [](GEnumAttribute& e) { e.ReplaceChildByKey(3, GValueAttribute(33, 3)); },
       "v1=10"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::unique_ptr<GEnumAttribute> enumeration = Choices({10, 20, 30});
    c.change(*enumeration);
    EXPECT_EQ(Current(*enumeration), c.current);
  }
}

TEST(EnumAttributeTest, ARemovedCurrentChoiceGoesToTheCallerAndNoLongerCounts) {
  const std::unique_ptr<GEnumAttribute> enumeration = Choices({10, 20});
  MPersistentObject* first = enumeration->CurrentChoice();
  const std::unique_ptr<MPersistentObject> removed(enumeration->RemoveChild(first));
  EXPECT_EQ(removed.get(), first);
  EXPECT_EQ(Current(*enumeration), "v2=20");
  const std::unique_ptr<MPersistentObject> last(enumeration->RemoveChildByKey(2));
  EXPECT_EQ(Current(*enumeration), "none");
}

TEST(EnumAttributeTest, SendingReachesTheEnumerationHandlerAndClearsTheFlag) {
  const std::unique_ptr<GEnumAttribute> enumeration = Choices({10});
  enumeration->SetChangedFlag(1);
  RecordingPeripheral stage;
  stage.statuses = {4};
  EXPECT_EQ(enumeration->SendTo(stage), 4);
  ASSERT_EQ(stage.calls.size(), 1u);
  EXPECT_EQ(stage.calls[0].handler, "enum");
  EXPECT_EQ(stage.calls[0].attribute, enumeration.get());
  EXPECT_EQ(enumeration->ChangedFlag(), 0);
  EXPECT_EQ(enumeration->UpdateFrom(Choices({20}).get()), 0);
  EXPECT_EQ(DescribeChildren(*enumeration), "v1=10");
}

TEST(EnumAttributeTest, EqualityWantsEqualCurrentChoices) {
  const std::unique_ptr<GEnumAttribute> a = Choices({10, 20});
  const std::unique_ptr<GEnumAttribute> b = Choices({10, 20});
  EXPECT_TRUE(a->SameContent(*b));
  b->NextChoice();
  EXPECT_FALSE(a->SameContent(*b));
  const GEnumAttribute emptyA(30);
  const GEnumAttribute emptyB(30);
  EXPECT_TRUE(emptyA.SameContent(emptyB));
  EXPECT_FALSE(emptyA.SameContent(*a));
  EXPECT_EQ(a->BaseTypeId(), kGEnumAttributeClassID);
  EXPECT_TRUE(a->IsKindOf(kGAttributeCompositeClassID));
}

TEST(EnumAttributeTest, CopiesKeepTheCurrentChoice) {
  const std::unique_ptr<GEnumAttribute> enumeration = Choices({10, 20});
  enumeration->NextChoice();
  const std::unique_ptr<GEnumAttribute> copy(static_cast<GEnumAttribute*>(enumeration->Clone()));
  EXPECT_EQ(copy->CurrentChoice(), enumeration->CurrentChoice());
  EXPECT_TRUE(copy->SameContent(*enumeration));

  // A deep copy's current choice is its own copy of the current choice.
  const std::unique_ptr<GEnumAttribute> deep(static_cast<GEnumAttribute*>(enumeration->DeepCopy()));
  EXPECT_EQ(deep->CurrentChoice(), deep->Children()[1].Get());
  EXPECT_TRUE(deep->SameContent(*enumeration));
  // Emptied, it still takes only choices of its first choice's class.
  enumeration->RemoveAllChildren();
  const std::unique_ptr<MPersistentObject> emptied(enumeration->DeepCopy());
  EXPECT_TRUE(emptied->SameContent(*enumeration));
}

TEST(EnumAttributeTest, RoundTripsWithTheCurrentChoiceAsABackReference) {
  for (bool withCurrent : {true, false}) {
    SCOPED_TRACE(withCurrent ? "current choice" : "no choice");
    const std::unique_ptr<GEnumAttribute> enumeration = withCurrent ? Choices({10, 20, 30}) : Choices({});
    if (withCurrent) enumeration->NextChoice();
    EXPECT_TRUE(RoundTrips(*enumeration));
    const GObjectRef restored = RestoreGraph(StoreForm::kFile, SaveGraph(StoreForm::kFile, enumeration.get()));
    ASSERT_FALSE(restored.IsEmpty());
    const auto& copy = static_cast<GEnumAttribute&>(*restored);
    EXPECT_EQ(Current(copy), withCurrent ? "v2=20" : "none");
    if (withCurrent) {
      EXPECT_EQ(copy.CurrentChoice(), copy.Children()[1].Get());
    }
  }
}

// Where the enumeration's own version word stands in its saved fields:
// after the composite part.
size_t OwnVersionOffset(const GEnumAttribute& enumeration) {
  GAttributeComposite compositePart(enumeration.Key());
  for (const GCountedPtr& choice : enumeration.Children()) compositePart.AddChild(choice.Get());
  compositePart.SetChangedFlag(enumeration.ChangedFlag());
  return SaveContentsToFileBytes(compositePart).size();
}

TEST(EnumAttributeTest, ARestoreOfAnotherVersionMovesTheCurrentChoiceOntoTheNewChoices) {
  const std::unique_ptr<GEnumAttribute> stored = Choices({40, 50});
  std::string bytes = SaveContentsToFileBytes(*stored);
  bytes[OwnVersionOffset(*stored)] = 2;

  // The restore lets go of the present choices, the current one among
  // them; the current choice must not stay behind on a deleted object.
  const std::unique_ptr<GEnumAttribute> present = Choices({10, 20});
  present->NextChoice();
  RestoreContentsFromFileBytes(*present, bytes);
  EXPECT_EQ(DescribeChildren(*present), "v1=40 v2=50");
  EXPECT_EQ(Current(*present), "v1=40");
}

TEST(EnumAttributeTest, AStoredCurrentChoiceThatIsNoChoiceIsNotKept) {
  RecordingErrorHandler errors;
  const std::unique_ptr<GEnumAttribute> stored = Choices({40, 50});
  stored->NextChoice();
  const std::string graph = SaveGraph(StoreForm::kFile, stored.get());
  // The graph ends with the current choice's back-reference (6 bytes) and
  // the choice class ID (2); a new object of its own takes the reference's
  // place.
  const GValueAttribute stranger(99, 9);
  const std::string bytes = graph.substr(0, graph.size() - 8) + std::string("\xFB\x02", 2) +
                            SaveContentsToFileBytes(stranger) + graph.substr(graph.size() - 2);

  bool good = false;
  const GObjectRef restored = RestoreGraph(StoreForm::kFile, bytes, good);
  ASSERT_FALSE(restored.IsEmpty());
  const auto& enumeration = static_cast<GEnumAttribute&>(*restored);
  EXPECT_EQ(DescribeChildren(enumeration), "v1=40 v2=50");
  EXPECT_EQ(Current(enumeration), "v1=40");
  EXPECT_EQ(enumeration.CurrentChoice(), enumeration.Children()[0].Get());
}

}  // namespace
