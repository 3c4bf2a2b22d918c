// The pipeline stage's part that needs no commands: what attributes reach,
// the states it keeps and merges into, its parents, its copies and its
// stored form.
#include "model/attributes/peripheral.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/attributes/configuration.h"
#include "model/testing/round_trip.h"
#include "model/tests/attribute_test_support.h"

namespace {

// A stage that remembers which stages told it of a change.
class ListeningPeripheral : public TestPeripheral {
 public:
  RWClassID ClassID() const override { return 0x7E24; }
  RWCollectable* NewInstance() const override { return new ListeningPeripheral; }
  RWCollectable* Clone() const override { return new ListeningPeripheral(*this); }

  void NotifyChanged(GPeripheral* changed) override {
    told.push_back(changed);
    TestPeripheral::NotifyChanged(changed);
  }

  std::vector<GPeripheral*> told;
};

// An attribute that stands for the graphic state's transform: it has the
// transform's class ID and records that it was sent.
class TransformStandIn : public GAttribute {
 public:
  explicit TransformStandIn(int32_t key) : GAttribute(key) {}
  RWCollectable* NewInstance() const override { return new TransformStandIn(0); }
  RWCollectable* Clone() const override { return new TransformStandIn(*this); }
  RWClassID ClassID() const override { return kGTransformAttributeClassID; }
  uint16_t SendTo(GPeripheral& target) override {
    static_cast<RecordingPeripheral&>(target).calls.push_back({"transform", this});
    return 0;
  }
};

std::vector<std::string> Handlers(const RecordingPeripheral& stage) {
  std::vector<std::string> reached;
  for (const RecordingPeripheral::Call& call : stage.calls) reached.push_back(call.handler);
  return reached;
}

std::vector<int32_t> KeysSent(const RecordingPeripheral& stage) {
  std::vector<int32_t> keys;
  for (const RecordingPeripheral::Call& call : stage.calls) keys.push_back(call.attribute->Key());
  return keys;
}

TEST(PeripheralTest, EachAttributeReachesItsOwnHandler) {
  struct Case {
    const char* name;
    std::function<GAttribute*()> make;
    std::vector<std::string> handlers;
    int32_t flagAfter;
  };
  // clang-format off
  const Case cases[] = {
      {"value", [] { return Value(1, 2, 1); }, {"value"}, 1},
      {"string", [] { return Text(1, "a", 1); }, {"string"}, 1},
      {"range", [] { return Range(1, 2, 1); }, {"range"}, 1},
      {"enumeration", [] { auto* e = new GEnumAttribute(1); e->AddChild(Value(2, 3, 1)); return e; }, {"enum"}, 0},
      {"composite", [] { return Composite(1, {Text(2, "b", 1), Value(3, 4, 1)}, 1); }, {"string", "value"}, 0},
      {"state", [] { return State(1, {Range(2, 3, 1), State(4, {Value(5, 6, 1)}, 1)}, 1); }, {"range", "value"}, 0},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::unique_ptr<GAttribute> attribute(c.make());
    RecordingPeripheral stage;
    stage.statuses = {0, 9};
    EXPECT_EQ(attribute->SendTo(stage), c.handlers.size() > 1 ? 9 : 0);
    EXPECT_EQ(Handlers(stage), c.handlers);
    EXPECT_EQ(attribute->ChangedFlag(), c.flagAfter);
    if (c.handlers.size() == 1) {
      EXPECT_EQ(stage.calls[0].attribute, attribute.get());
    }
  }
}

TEST(PeripheralTest, TheBaseStageAnswersZeroForEveryKind) {
  TestPeripheral stage;
  const std::unique_ptr<GAttribute> attributes[] = {
      std::unique_ptr<GAttribute>(Value(1, 1)), std::unique_ptr<GAttribute>(Text(1, "a")),
      std::unique_ptr<GAttribute>(Range(1, 1)), std::make_unique<GEnumAttribute>(1)};
  for (const auto& attribute : attributes) EXPECT_EQ(attribute->SendTo(stage), 0);
  for (RWClassID kind : {kGPeripheralClassID, kGAttributeClassID, kMPersistentObjectClassID}) {
    EXPECT_TRUE(stage.IsKindOf(kind)) << kind;
  }
  EXPECT_FALSE(stage.IsKindOf(kGPeripheralCompositeClassID));
  EXPECT_FALSE(stage.IsKindOf(kGAttributeCompositeClassID));
}

TEST(PeripheralTest, ANewStageHasItsDefaults) {
  const TestPeripheral stage(7);
  EXPECT_EQ(stage.Key(), 7);
  EXPECT_EQ(stage.GetName().Length(), 0u);
  EXPECT_EQ(stage.OutputChannel(), nullptr);
  EXPECT_TRUE(stage.Parents().IsEmpty());
  EXPECT_EQ(stage.JobPhase(), GPeripheral::kOutsideDocument);
  EXPECT_EQ(stage.AddOnListKey(), 64);
  EXPECT_EQ(stage.AddOnKind(), 6);
  EXPECT_EQ(stage.AddOnMode(), 2);
  EXPECT_TRUE(stage.IsEnabled());
  ASSERT_NE(stage.GetCurrentState(), nullptr);
  ASSERT_NE(stage.GetInitialState(), nullptr);
  EXPECT_NE(stage.GetCurrentState(), stage.GetInitialState());
  EXPECT_EQ(stage.GetCurrentState()->Key(), 243);
  EXPECT_EQ(stage.GetInitialState()->Key(), 243);
  EXPECT_EQ(stage.GetCurrentState()->EntryCount(), 0u);
  ASSERT_NE(stage.GetConfiguration(), nullptr);
  EXPECT_EQ(stage.GetConfiguration()->Key(), 198);
  EXPECT_EQ(stage.GetConfiguration()->EntryCount(), 0u);
}

TEST(PeripheralTest, TheFullConstructorStartsTheJobFromTheInitialState) {
  auto* initial = State(5, {Value(1, 11)});
  auto* configuration = new GConfiguration(3);
  const TestPeripheral stage(RWCString("front"), initial, configuration, 9, 40, 1, 0);
  EXPECT_EQ(std::string(stage.GetName().Data()), "front");
  EXPECT_EQ(stage.Key(), 9);
  EXPECT_EQ(stage.AddOnListKey(), 40);
  EXPECT_EQ(stage.AddOnKind(), 1);
  EXPECT_EQ(stage.AddOnMode(), 0);
  EXPECT_EQ(stage.GetInitialState(), initial);
  EXPECT_EQ(initial->Key(), 243);
  EXPECT_EQ(stage.GetConfiguration(), configuration);
  EXPECT_NE(stage.GetCurrentState(), initial);
  EXPECT_EQ(DescribeChildren(*stage.GetCurrentState()), "v1=11");

  const TestPeripheral defaulted(RWCString(), nullptr, nullptr, 0, 64, 6, 2);
  EXPECT_EQ(defaulted.GetInitialState()->Key(), 243);
  EXPECT_EQ(defaulted.GetConfiguration()->Key(), 198);
}

TEST(PeripheralTest, TheScaleQueryOfTheBaseIsOneWhateverTheModeWord) {
  TestPeripheral stage;
  EXPECT_EQ(stage.IsScalable(), 1);
  for (int32_t mode : {0, 3}) {
    std::pair<float, float> factor{5.0F, 5.0F};
    EXPECT_EQ(&stage.GetScaleFactor(factor, nullptr, nullptr, 1, &mode), &factor);
    EXPECT_EQ(factor, std::make_pair(1.0F, 1.0F));
  }
}

TEST(PeripheralTest, SubStatesAreFoundOrMadeOnceAndCachedUntilTheCurrentStateChanges) {
  for (int32_t key : {244, 246, 256}) {
    SCOPED_TRACE(key);
    TestPeripheral stage;
    GState* made = stage.FindStateFor(key);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->Key(), key);
    EXPECT_EQ(stage.GetCurrentState()->FindByKey(key), made);
    EXPECT_EQ(stage.FindStateFor(key), made);

    // A new current state: the sub-state held there is found.
    GState* held = State(key, {Value(1, 1)});
    stage.SetCurrentState(State(0, {Value(7, 7), held}));
    EXPECT_EQ(stage.GetCurrentState()->Key(), 243);
    EXPECT_EQ(stage.FindStateFor(key), held);
  }
  TestPeripheral stage;
  EXPECT_EQ(stage.FindStateFor(300), stage.GetCurrentState());
  EXPECT_EQ(stage.GetCurrentState()->EntryCount(), 0u);
}

TEST(PeripheralTest, PutAttributeMergesIntoTheStateForItsKey) {
  struct Case {
    const char* name;
    std::function<GAttribute*()> carried;
    std::string currentAfter;
  };
  // The current state holds a graphic state with v1=1 and v2=2, none of
  // them marked.
  // clang-format off
  const Case cases[] = {
      {"graphic_state_merged", [] { return State(244, {Value(1, 1), Value(2, 5), Value(3, 3)}); },
       "S244{v1=1 v2=5* v3=3*}"},
      {"other_state_added_whole", [] { return State(300, {Value(1, 9)}); },
       "S244{v1=1 v2=2} S300{v1=9}*"},
      {"leaf_added_to_current_state", [] { return Value(4, 4); }, "S244{v1=1 v2=2} v4=4*"},
      {"nothing", [] { return nullptr; }, "S244{v1=1 v2=2}"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestPeripheral stage;
    stage.SetCurrentState(State(0, {State(244, {Value(1, 1), Value(2, 2)})}));
    const GObjectRef carried(c.carried());
    stage.PutAttribute(static_cast<GAttribute*>(carried.Get()));
    EXPECT_EQ(DescribeChildren(*stage.GetCurrentState()), c.currentAfter);
  }
}

TEST(PeripheralTest, MergedAttributesAreTheCommandsOwnShared) {
  TestPeripheral stage;
  const GObjectRef carried(State(244, {Value(1, 1)}));
  stage.PutAttribute(static_cast<GAttribute*>(carried.Get()));
  EXPECT_EQ(stage.FindStateFor(244)->Children()[0].Get(), static_cast<GState*>(carried.Get())->Children()[0].Get());
}

TEST(PeripheralTest, WithoutACurrentStateNothingIsMergedOrApplied) {
  RecordingPeripheral stage;
  stage.SetCurrentState(nullptr);
  EXPECT_EQ(stage.FindStateFor(244), nullptr);
  const GObjectRef carried(State(244, {Value(1, 1, 1)}));
  stage.PutAttribute(static_cast<GAttribute*>(carried.Get()));
  stage.ApplyChangedAttributes(244);
  EXPECT_TRUE(stage.calls.empty());
  EXPECT_EQ(stage.SendTo(stage), 0);
}

TEST(PeripheralTest, ChangedAttributesAreAppliedAndStayMarked) {
  struct Case {
    const char* name;
    int32_t transformFlag;
    std::vector<std::string> handlers;
    std::vector<int32_t> keys;
  };
  // The graphic state: v1 unmarked, the transform (key 9), r2 marked.
  const Case cases[] = {
      {"changed_transform_first_then_everything", 1, {"transform", "value", "range"}, {9, 1, 2}},
      {"unchanged_transform_only_the_changed", 0, {"range"}, {2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingPeripheral stage;
    auto* transform = new TransformStandIn(9);
    transform->SetChangedFlag(c.transformFlag);
    stage.SetCurrentState(State(0, {State(244, {Value(1, 1), transform, Range(2, 2, 1)})}));
    stage.ApplyChangedAttributes(244);
    EXPECT_EQ(Handlers(stage), c.handlers);
    EXPECT_EQ(KeysSent(stage), c.keys);
    EXPECT_EQ(transform->ChangedFlag(), 0);
    EXPECT_EQ(DescribeChildren(*stage.FindStateFor(244)), c.transformFlag ? "v1=1* ?9 r2=2*" : "v1=1 ?9 r2=2*");
  }
}

TEST(PeripheralTest, OtherKeysApplyTheirSubStateWithoutATransformStep) {
  RecordingPeripheral stage;
  auto* transform = new TransformStandIn(9);
  stage.SetCurrentState(State(0, {State(256, {transform, Value(1, 1), Text(2, "a", 1)})}));
  stage.ApplyChangedAttributes(256);
  EXPECT_EQ(Handlers(stage), (std::vector<std::string>{"transform", "string"}));
  EXPECT_EQ(transform->ChangedFlag(), 1);
}

TEST(PeripheralTest, ResetJobRebuildsTheCurrentStateFromTheInitialOne) {
  ListeningPeripheral parent;
  RecordingPeripheral stage;
  stage.AddParent(&parent);
  stage.SetInitialState(State(0, {Value(1, 1)}));
  stage.ResetJob();
  // Held, so that the new sub-state cannot take the old one's address.
  const GObjectRef graphic(stage.FindStateFor(244));
  const GObjectRef carried(State(256, {Value(3, 3)}));
  stage.PutAttribute(static_cast<GAttribute*>(carried.Get()));
  stage.Disable();
  stage.EnterPage();
  parent.told.clear();

  stage.ResetJob();
  EXPECT_TRUE(stage.IsEnabled());
  EXPECT_NE(stage.GetCurrentState(), stage.GetInitialState());
  EXPECT_TRUE(stage.GetCurrentState()->SameContent(*stage.GetInitialState()));
  EXPECT_NE(stage.FindStateFor(244), graphic.Get());
  EXPECT_EQ(parent.told, std::vector<GPeripheral*>{&stage});
}

TEST(PeripheralTest, TakenStatesGoToTheCallerAloneAndLeaveEmptyOnesBehind) {
  struct Case {
    const char* name;
    std::function<MPersistentObject*(GPeripheral&)> held;
    std::function<MPersistentObject*(GPeripheral&)> take;
    int32_t keyLeft;
  };
  // clang-format off
  const Case cases[] = {
      {"current", [](GPeripheral& s) { return s.GetCurrentState(); },
       [](GPeripheral& s) { return s.TakeCurrentState(); }, 243},
      {"initial", [](GPeripheral& s) { return s.GetInitialState(); },
       [](GPeripheral& s) { return s.TakeInitialState(); }, 243},
      {"configuration", [](GPeripheral& s) { return s.GetConfiguration(); },
       [](GPeripheral& s) { return s.TakeConfiguration(); }, 198},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestPeripheral alone;
    MPersistentObject* before = c.held(alone);
    const std::unique_ptr<MPersistentObject> taken(c.take(alone));
    EXPECT_EQ(taken.get(), before);
    EXPECT_EQ(taken->ReferenceCount(), -1);
    ASSERT_NE(c.held(alone), nullptr);
    EXPECT_NE(c.held(alone), before);
    EXPECT_EQ(c.held(alone)->Key(), c.keyLeft);
    EXPECT_EQ(c.held(alone)->EntryCount(), 0u);

    // A copy shares the object: the caller gets a clone, the copy keeps it.
    TestPeripheral original;
    TestPeripheral sharing(original);
    MPersistentObject* shared = c.held(original);
    const std::unique_ptr<MPersistentObject> clone(c.take(original));
    EXPECT_NE(clone.get(), shared);
    EXPECT_EQ(c.held(sharing), shared);
  }
}

TEST(PeripheralTest, ChangesClimbToEveryParentInOrder) {
  ListeningPeripheral top;
  ListeningPeripheral left;
  ListeningPeripheral right;
  TestPeripheral stage;
  left.AddParent(&top);
  stage.AddParent(&left);
  stage.AddParent(&right);
  stage.SetConfiguration(new GConfiguration(198));
  EXPECT_EQ(left.told, std::vector<GPeripheral*>{&stage});
  EXPECT_EQ(right.told, std::vector<GPeripheral*>{&stage});
  EXPECT_EQ(top.told, std::vector<GPeripheral*>{&left});

  const std::unique_ptr<GConfiguration> taken(stage.TakeConfiguration());
  EXPECT_EQ(right.told.size(), 2u);

  stage.RemoveParent(&left);
  stage.RemoveParent(&top);
  stage.NotifyChanged(&stage);
  EXPECT_EQ(left.told.size(), 2u);
  EXPECT_EQ(right.told.size(), 3u);
}

TEST(PeripheralTest, ParentsThatNameEachOtherEndTheWalk) {
  ListeningPeripheral first;
  ListeningPeripheral second;
  first.AddParent(&second);
  second.AddParent(&first);
  first.NotifyChanged(&first);
  EXPECT_EQ(second.told, std::vector<GPeripheral*>{&first});
  EXPECT_EQ(first.told.size(), 2u);
}

TEST(PeripheralTest, CopiesShareTheStatesAndStartOutsideAJobWithoutParents) {
  ListeningPeripheral parent;
  TestPeripheral stage(4);
  stage.SetName(RWCString("scale"));
  stage.AddParent(&parent);
  stage.Disable();
  stage.EnterPage();
  const GState* graphic = stage.FindStateFor(244);

  const TestPeripheral copy(stage);
  EXPECT_EQ(copy.Key(), 4);
  EXPECT_EQ(std::string(copy.GetName().Data()), "scale");
  EXPECT_TRUE(copy.Parents().IsEmpty());
  EXPECT_FALSE(copy.IsEnabled());
  EXPECT_EQ(copy.JobPhase(), GPeripheral::kOutsideDocument);
  EXPECT_EQ(copy.GetCurrentState(), stage.GetCurrentState());
  EXPECT_EQ(copy.GetInitialState(), stage.GetInitialState());
  EXPECT_EQ(copy.GetConfiguration(), stage.GetConfiguration());
  // The job phase and the parents differ; back outside the job and
  // without the parent they are equal.
  EXPECT_FALSE(copy.SameContent(stage));
  stage.LeaveJob();
  EXPECT_FALSE(copy.SameContent(stage));
  stage.RemoveParent(&parent);
  EXPECT_TRUE(copy.SameContent(stage));

  TestPeripheral assigned;
  assigned = stage;
  EXPECT_TRUE(assigned.SameContent(stage));
  EXPECT_EQ(assigned.GetCurrentState(), stage.GetCurrentState());
  EXPECT_EQ(const_cast<TestPeripheral&>(copy).FindStateFor(244), graphic);

  const std::unique_ptr<MPersistentObject> deep(stage.DeepCopy());
  const auto& deepStage = static_cast<const GPeripheral&>(*deep);
  EXPECT_NE(deepStage.GetCurrentState(), stage.GetCurrentState());
  EXPECT_NE(deepStage.GetInitialState(), stage.GetInitialState());
  EXPECT_NE(deepStage.GetConfiguration(), stage.GetConfiguration());
  EXPECT_TRUE(deepStage.SameContent(stage));
}

TEST(PeripheralTest, EqualityComparesEveryPart) {
  struct Case {
    const char* name;
    std::function<void(GPeripheral&)> change;
  };
  ListeningPeripheral parent;
  const Case cases[] = {
      {"key", [](GPeripheral& s) { s.SetKey(5); }},
      {"name", [](GPeripheral& s) { s.SetName(RWCString("x")); }},
      {"phase", [](GPeripheral& s) { s.EnterDocument(); }},
      {"enabled", [](GPeripheral& s) { s.Disable(); }},
      {"parents", [&](GPeripheral& s) { s.AddParent(&parent); }},
      {"current_state", [](GPeripheral& s) { s.SetCurrentState(State(0, {Value(1, 1)})); }},
      {"initial_state", [](GPeripheral& s) { s.SetInitialState(nullptr); }},
      {"configuration", [](GPeripheral& s) { s.GetConfiguration()->AddChild(Value(1, 1)); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestPeripheral stage;
    TestPeripheral changed;
    EXPECT_TRUE(stage.SameContent(changed));
    c.change(changed);
    EXPECT_FALSE(stage.SameContent(changed));
    EXPECT_FALSE(changed.SameContent(stage));
  }
}

TEST(PeripheralTest, AStageSendsItsWholeStateAndClearsItsOwnFlag) {
  RecordingPeripheral source;
  source.SetCurrentState(State(0, {Value(1, 1), Text(2, "a", 1), Range(3, 3)}));
  RecordingPeripheral target;
  target.statuses = {0, 4, 0};
  EXPECT_EQ(source.ChangedFlag(), 1);
  EXPECT_EQ(source.SendTo(target), 4);
  EXPECT_EQ(Handlers(target), (std::vector<std::string>{"value", "string", "range"}));
  EXPECT_EQ(source.ChangedFlag(), 0);

  source.SetCurrentState(nullptr);
  source.SetChangedFlag(1);
  EXPECT_EQ(source.SendTo(target), 0);
  EXPECT_EQ(source.ChangedFlag(), 1);
}

// A stage with something in every stored field.
std::unique_ptr<RecordingPeripheral> Filled() {
  auto stage = std::make_unique<RecordingPeripheral>();
  stage->SetKey(12);
  stage->SetName(RWCString("n-up"));
  stage->SetInitialState(State(0, {Value(1, 1), Text(2, "b")}));
  stage->ResetJob();
  stage->FindStateFor(244)->AddChild(Range(3, 3));
  stage->GetConfiguration()->AddChild(Value(4, 4));
  return stage;
}

TEST(PeripheralTest, RoundTripsInEveryForm) {
  const std::unique_ptr<RecordingPeripheral> stage = Filled();
  EXPECT_TRUE(RoundTrips(*stage));
  const std::unique_ptr<RecordingPeripheral> empty = std::make_unique<RecordingPeripheral>();
  empty->SetCurrentState(nullptr);
  EXPECT_TRUE(RoundTrips(*empty));
}

TEST(PeripheralTest, TheStoredFormEndsWithTheParentsNameAndAddOnSettings) {
  const std::unique_ptr<RecordingPeripheral> stage = Filled();
  const std::string bytes = SaveContentsToFileBytes(*stage);
  const std::string tail = std::string(":") + Words({0, 4}) + "n-up" + Words({64, 6, 2});
  ASSERT_GE(bytes.size(), tail.size());
  EXPECT_EQ(bytes.substr(bytes.size() - tail.size()), tail);
}

TEST(PeripheralTest, ARestoreOfAnotherVersionReadsOnlyTheAttributePartAndTheVersion) {
  const std::unique_ptr<RecordingPeripheral> stored = Filled();
  std::string bytes = SaveContentsToFileBytes(*stored);
  const size_t version = SaveContentsToFileBytes(GValueAttribute(0, 12)).size() - 6;
  ASSERT_EQ(bytes.substr(version, 4), Words({1}));
  bytes[version] = 2;

  RecordingPeripheral present;
  present.SetName(RWCString("kept"));
  GState* current = present.GetCurrentState();
  EXPECT_EQ(RestoreContentsFromFileBytes(present, bytes), version + 4);
  EXPECT_EQ(present.Key(), 12);
  EXPECT_EQ(std::string(present.GetName().Data()), "kept");
  EXPECT_EQ(present.GetCurrentState(), current);
}

// Two stages stored together, the parent first, as a composite stores its
// children.
TEST(PeripheralTest, AParentStoredBeforeTheStageIsRestoredAsItsParent) {
  auto* parent = new RecordingPeripheral;
  auto* child = new RecordingPeripheral;
  child->AddParent(parent);
  const std::unique_ptr<GAttributeComposite> both(Composite(1, {parent, child}));
  for (StoreForm form : kAllStoreForms) {
    SCOPED_TRACE(FormName(form));
    bool good = false;
    const GObjectRef restored = RestoreGraph(form, SaveGraph(form, both.get()), good);
    EXPECT_TRUE(good);
    ASSERT_FALSE(restored.IsEmpty());
    const auto& composite = static_cast<const GAttributeComposite&>(*restored);
    ASSERT_EQ(composite.EntryCount(), 2u);
    const auto* restoredChild = static_cast<const GPeripheral*>(composite.Children()[1].Get());
    ASSERT_EQ(restoredChild->Parents().Count(), 1u);
    EXPECT_EQ(restoredChild->Parents().First(), composite.Children()[0].Get());
  }
}

// A parent that only the stage's own stored form brings would belong to
// nobody once the restore is over; it is not kept.
TEST(PeripheralTest, AParentThatTheRestoreMadeIsNotKept) {
  RecordingPeripheral parent;
  RecordingPeripheral stage;
  stage.AddParent(&parent);
  stage.AddParent(&stage);
  for (StoreForm form : kAllStoreForms) {
    SCOPED_TRACE(FormName(form));
    bool good = false;
    const GObjectRef restored = RestoreGraph(form, SaveGraph(form, &stage), good);
    EXPECT_TRUE(good);
    ASSERT_FALSE(restored.IsEmpty());
    EXPECT_TRUE(static_cast<const GPeripheral&>(*restored).Parents().IsEmpty());
  }
}

TEST(PeripheralTest, ADamagedParentsListStopsTheRestoreWhereItIs) {
  struct Case {
    const char* name;
    std::string list;
  };
  const Case cases[] = {
      {"count_beyond_the_input", std::string(":") + Words({0xFFFFFFFF})},
      {"unknown_mark", std::string("x") + Words({0})},
      {"written_before", std::string("@") + Words({77})},
  };
  const std::unique_ptr<RecordingPeripheral> stored = Filled();
  const std::string bytes = SaveContentsToFileBytes(*stored);
  // The list of no parents, then the name and the add-on settings.
  const size_t list = bytes.size() - (5 + 8 + 12);
  ASSERT_EQ(bytes.substr(list, 5), std::string(":") + Words({0}));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string damaged = bytes.substr(0, list) + c.list;
    RecordingPeripheral present;
    ListeningPeripheral parent;
    present.AddParent(&parent);
    present.SetName(RWCString("kept"));
    RestoreContentsFromFileBytes(present, damaged);
    EXPECT_TRUE(present.Parents().IsEmpty());
    EXPECT_EQ(std::string(present.GetName().Data()), "kept");
    EXPECT_TRUE(present.GetCurrentState()->SameContent(*stored->GetCurrentState()));
  }
}

}  // namespace
