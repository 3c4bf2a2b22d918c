// Tests of the attribute base and the value, string, range and graphic-state
// attributes.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/class_registrar.h"
#include "model/attributes/graphic_state_attribute.h"
#include "model/attributes/range_attribute.h"
#include "model/attributes/string_attribute.h"
#include "model/attributes/value_attribute.h"
#include "model/testing/round_trip.h"

namespace {

// A graphic-state attribute with nothing of its own, as classes that do not
// extend the base are.
class PlainGraphicState : public GGraphicStateAttribute {
 public:
  static constexpr RWClassID kID = 0x7E21;

  using GGraphicStateAttribute::GGraphicStateAttribute;
  RWCollectable* NewInstance() const override { return new PlainGraphicState; }
  RWCollectable* Clone() const override { return new PlainGraphicState(*this); }
  RWClassID ClassID() const override { return kID; }
  uint16_t SendTo(GPeripheral&) override { return 0; }
};

const GClassRegistrar plainGraphicStateRegistrar(CreateCollectable<PlainGraphicState>, PlainGraphicState::kID,
                                                 "PlainGraphicState");

class OtherGraphicState : public PlainGraphicState {
 public:
  static constexpr RWClassID kID = 0x7E22;

  using PlainGraphicState::PlainGraphicState;
  RWClassID ClassID() const override { return kID; }
};

std::string Shorts(std::initializer_list<int16_t> values) {
  std::string bytes;
  for (int16_t value : values) {
    bytes.push_back(static_cast<char>(value & 0xFF));
    bytes.push_back(static_cast<char>((value >> 8) & 0xFF));
  }
  return bytes;
}

std::string RootPart(const MPersistentObject& object) {
  return Words({1, static_cast<uint32_t>(object.Key()), object.SerialNumber()});
}

struct Leaf {
  const char* name;
  std::function<GAttribute*()> make;
  // Stored after the root part: the attribute part and the class's own.
  std::string (*ownBytes)(const GAttribute&);
};

std::string ChangedPart(const GAttribute& attribute) {
  return Words({1, static_cast<uint32_t>(attribute.ChangedFlag())});
}

const std::vector<Leaf>& Leaves() {
  // clang-format off
  static const std::vector<Leaf> leaves = {
      {"value", [] { return new GValueAttribute(-2, 40); },
       [](const GAttribute& a) { return ChangedPart(a) + Words({1}) + Shorts({-2}); }},
      {"string", [] { return new GStringAttribute("Tray 2", 41); },
       [](const GAttribute& a) { return ChangedPart(a) + Words({1, 6}) + "Tray 2"; }},
      {"empty_string", [] { return new GStringAttribute(static_cast<const char*>(nullptr), 42); },
       [](const GAttribute& a) { return ChangedPart(a) + Words({1, 0}); }},
      {"range", [] { return new GRangeAttribute(-5, 300, 5, 20, 43); },
       [](const GAttribute& a) { return ChangedPart(a) + Words({1}) + Shorts({-5, 300, 5, 20}); }},
      {"graphic_state", [] { return new PlainGraphicState(44); },
       [](const GAttribute& a) { return ChangedPart(a) + Words({1}); }},
  };
  // clang-format on
  return leaves;
}

TEST(LeafAttributeTest, StoredFormsAreTheRootPartThenVersionedFields) {
  for (const Leaf& leaf : Leaves()) {
    SCOPED_TRACE(leaf.name);
    std::unique_ptr<GAttribute> attribute(leaf.make());
    attribute->SetChangedFlag(0);
    const std::string bytes = SaveContentsToFileBytes(*attribute);
    EXPECT_EQ(bytes, RootPart(*attribute) + leaf.ownBytes(*attribute));
    EXPECT_EQ(attribute->StoredSize(), bytes.size());
  }
}

TEST(LeafAttributeTest, EveryLeafSurvivesTheRoundTripWithItsChangedFlag) {
  for (const Leaf& leaf : Leaves()) {
    for (int32_t changed : {0, 1}) {
      SCOPED_TRACE(std::string(leaf.name) + (changed ? " changed" : " unchanged"));
      std::unique_ptr<GAttribute> attribute(leaf.make());
      attribute->SetChangedFlag(changed);
      EXPECT_TRUE(RoundTrips(*attribute));
      const GObjectRef restored = RestoreGraph(StoreForm::kText, SaveGraph(StoreForm::kText, attribute.get()));
      ASSERT_FALSE(restored.IsEmpty());
      EXPECT_EQ(static_cast<GAttribute&>(*restored).ChangedFlag(), changed);
    }
  }
}

TEST(LeafAttributeTest, AStoredVersionOtherThanOneLeavesTheConstructedFields) {
  for (const Leaf& leaf : Leaves()) {
    SCOPED_TRACE(leaf.name);
    std::unique_ptr<GAttribute> source(leaf.make());
    source->SetChangedFlag(0);
    std::string bytes = SaveContentsToFileBytes(*source);
    const size_t ownVersionAt = 12 + 8;
    bytes[ownVersionAt] = 2;

    std::unique_ptr<GAttribute> fresh(static_cast<GAttribute*>(source->NewInstance()));
    std::unique_ptr<GAttribute> blank(static_cast<GAttribute*>(source->NewInstance()));
    EXPECT_EQ(RestoreContentsFromFileBytes(*fresh, bytes), ownVersionAt + 4);
    EXPECT_EQ(fresh->Key(), source->Key());
    EXPECT_EQ(fresh->ChangedFlag(), 0);
    blank->SetKey(source->Key());
    blank->SetChangedFlag(0);
    EXPECT_TRUE(fresh->SameContent(*blank));
    EXPECT_EQ(RestoreContentsFromStreamBytes(*fresh, bytes), ownVersionAt + 4);
  }
}

TEST(LeafAttributeTest, RangeKeepsItsBoundsWhateverItIsGiven) {
  struct Case {
    const char* name;
    std::function<void(GRangeAttribute&)> change;
    int16_t minimum, maximum, step, value;
  };
  // Every case starts from (minimum 0, maximum 10, step 3, value 4).
  // clang-format off
  const Case cases[] = {
      {"value_clamped_high", [](GRangeAttribute& r) { r.SetValue(11); }, 0, 10, 3, 10},
      {"value_clamped_low", [](GRangeAttribute& r) { r.SetValue(-1); }, 0, 10, 3, 0},
      {"min_above_max_becomes_max", [](GRangeAttribute& r) { r.SetMin(20); }, 10, 10, 3, 4},
      {"max_below_min_becomes_min", [](GRangeAttribute& r) { r.SetMax(-3); r.SetMin(0); }, 0, 0, 3, 4},
      {"step_up", [](GRangeAttribute& r) { r.StepUp(); }, 0, 10, 3, 7},
      {"step_up_stops_at_max", [](GRangeAttribute& r) { r.StepUp(); r.StepUp(); r.StepUp(); }, 0, 10, 3, 10},
      {"step_down_stops_at_min", [](GRangeAttribute& r) { r.StepDown(); r.StepDown(); }, 0, 10, 3, 0},
      {"zero_step_stays", [](GRangeAttribute& r) { r.SetStep(0); r.StepUp(); r.StepDown(); }, 0, 10, 0, 4},
      {"step_past_16_bits", [](GRangeAttribute& r) { r.SetMax(32767); r.SetValue(32767); r.SetStep(32767); r.StepUp(); },
       0, 32767, 32767, 32767},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GRangeAttribute range(0, 10, 3, 4, 1);
    c.change(range);
    EXPECT_EQ(range.Min(), c.minimum);
    EXPECT_EQ(range.Max(), c.maximum);
    EXPECT_EQ(range.Step(), c.step);
    EXPECT_EQ(range.Value(), c.value);
  }

  const GRangeAttribute inverted(5, 2, 0, 9, 1);
  EXPECT_EQ(inverted.Min(), 5);
  EXPECT_EQ(inverted.Max(), 5);
  EXPECT_EQ(inverted.Step(), 1);
  EXPECT_EQ(inverted.Value(), 5);
  EXPECT_TRUE(inverted.Contains(5));
  EXPECT_FALSE(inverted.Contains(6));
}

TEST(LeafAttributeTest, ValueFlagsAndTextsStoreWhatTheySay) {
  GValueAttribute flag(0, 1);
  flag.SetFlag(5);
  EXPECT_EQ(flag.Value(), 1);
  EXPECT_TRUE(flag.IsSet());
  EXPECT_FALSE(flag.IsClear());
  flag.SetFlag(0);
  EXPECT_TRUE(flag.IsClear());
  EXPECT_EQ(flag.SetValue(-7), -7);

  GStringAttribute text("Letter", 3);
  text.SetText(static_cast<const char*>(nullptr));
  EXPECT_EQ(text.Text().Length(), 0u);
  EXPECT_TRUE(text.SameContent(GStringAttribute("", 3)));
  EXPECT_FALSE(text.SameContent(GStringAttribute(" ", 3)));
  const RWCString shared("Legal");
  text.SetText(shared);
  EXPECT_EQ(text.Text().Data(), shared.Data());
}

TEST(LeafAttributeTest, EqualityComparesClassKeyAndFieldsButNeverTheFlag) {
  struct Case {
    const char* name;
    std::function<GAttribute*()> a, b;
    bool same;
  };
  // clang-format off
  const Case cases[] = {
      {"equal_values", [] { return new GValueAttribute(3, 1); }, [] { return new GValueAttribute(3, 1); }, true},
      {"other_value", [] { return new GValueAttribute(3, 1); }, [] { return new GValueAttribute(4, 1); }, false},
      {"other_key", [] { return new GValueAttribute(3, 1); }, [] { return new GValueAttribute(3, 2); }, false},
      {"value_and_range", [] { return new GValueAttribute(3, 1); }, [] { return new GRangeAttribute(0, 9, 1, 3, 1); },
       false},
      {"ranges_with_other_step", [] { return new GRangeAttribute(0, 9, 1, 3, 1); },
       [] { return new GRangeAttribute(0, 9, 2, 3, 1); }, false},
      {"texts_of_other_length", [] { return new GStringAttribute("A4", 1); },
       [] { return new GStringAttribute("A4 ", 1); }, false},
      // Graphic-state classes that add nothing compare keys alone.
      {"graphic_states_of_two_classes", [] { return new PlainGraphicState(8); },
       [] { return new OtherGraphicState(8); }, true},
      {"graphic_states_of_other_keys", [] { return new PlainGraphicState(8); },
       [] { return new PlainGraphicState(9); }, false},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::unique_ptr<GAttribute> a(c.a());
    const std::unique_ptr<GAttribute> b(c.b());
    b->SetChangedFlag(0);
    EXPECT_EQ(a->SameContent(*b), c.same);
    EXPECT_EQ(a->DiffersFrom(*b), !c.same);
  }
}

TEST(LeafAttributeTest, LeafMergeTakesIdentityAndFlagButKeepsTheValue) {
  GValueAttribute held(1, 5);
  held.SetChangedFlag(0);
  const uint32_t serial = held.SerialNumber();

  GValueAttribute equal(1, 5);
  EXPECT_EQ(held.UpdateFrom(&equal), 0);
  EXPECT_EQ(held.SerialNumber(), serial);
  EXPECT_EQ(held.ChangedFlag(), 0);

  GValueAttribute other(2, 5);
  other.SetChangedFlag(7);
  EXPECT_EQ(held.UpdateFrom(&other), 7);
  EXPECT_EQ(held.SerialNumber(), other.SerialNumber());
  EXPECT_EQ(held.ChangedFlag(), 7);
  EXPECT_EQ(held.Value(), 1);
  EXPECT_EQ(held.UpdateFrom(nullptr), 0);
}

TEST(LeafAttributeTest, KindsIncludeTheAttributeBases) {
  EXPECT_TRUE(GValueAttribute().IsKindOf(kGAttributeClassID));
  EXPECT_TRUE(GStringAttribute().IsKindOf(kMPersistentObjectClassID));
  EXPECT_FALSE(GRangeAttribute().IsKindOf(kGValueAttributeClassID));
  EXPECT_TRUE(PlainGraphicState().IsKindOf(kGGraphicStateAttributeClassID));
  EXPECT_TRUE(PlainGraphicState().IsKindOf(kGAttributeClassID));
  EXPECT_EQ(GValueAttribute().BaseTypeId(), kGValueAttributeClassID);
  EXPECT_EQ(GRangeAttribute().BaseTypeId(), kGRangeAttributeClassID);
  EXPECT_EQ(GStringAttribute().BaseTypeId(), kGStringAttributeClassID);
}

}  // namespace
