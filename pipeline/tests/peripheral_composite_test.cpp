// The stage that holds stages: which children see which commands over a
// job, how errors and no-ops end a pass, the add-ons of a job, the answers
// it combines from its children, and its stored form with the parents of
// its children.
#include "pipeline/peripheral_composite.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/testing/persistence_test_support.h"
#include "graphics/commands/command_composite.h"
#include "graphics/commands/document_command.h"
#include "graphics/commands/error_command.h"
#include "graphics/commands/job_commands.h"
#include "graphics/commands/page_command.h"
#include "graphics/testing/command_recording_peripheral.h"
#include "model/attributes/configuration.h"
#include "model/attributes/state.h"
#include "model/attributes/string_attribute.h"
#include "model/objects/text_conversion.h"
#include "model/testing/round_trip.h"
#include "pipeline/printer.h"

namespace {

// A filter that switches itself off at document start, as one that is not
// asked for does.
class SwitchingOffStage : public CommandRecordingPeripheral {
 public:
  uint16_t DocumentStart(GDocumentStart& start) override {
    if (switchOff) Disable();
    return CommandRecordingPeripheral::DocumentStart(start);
  }
  bool switchOff = true;
};

// A stage that swallows every page start.
class SwallowingStage : public CommandRecordingPeripheral {
 public:
  GCommand* HandleCommand(GCommand* command) override {
    if (command->ClassID() == kGPageStartClassID) {
      GObjectRef held(command);
      return new GNoCommand;
    }
    return CommandRecordingPeripheral::HandleCommand(command);
  }
};

std::vector<std::string> Handlers(const CommandRecordingPeripheral& stage) {
  std::vector<std::string> names;
  for (const auto& call : stage.calls) names.push_back(call.handler);
  return names;
}

GObjectRef Process(GPeripheral& stage, GCommand* command) {
  const GObjectRef held(command);
  return GObjectRef(stage.ProcessCommand(command));
}

GCommand* Start() { return new GDocumentStart(RWWString(), RWWString(), nullptr, 0); }

// A composite of three recording stages, the second of the given class;
// the test keeps pointers to them.
template <typename Second = CommandRecordingPeripheral>
struct ThreeStages {
  ThreeStages() {
    composite.AddChild(first = new CommandRecordingPeripheral);
    composite.AddChild(second = new Second);
    composite.AddChild(third = new CommandRecordingPeripheral);
  }
  GPeripheralComposite composite;
  CommandRecordingPeripheral* first;
  Second* second;
  CommandRecordingPeripheral* third;
};

TEST(PeripheralComposite, AStageThatSwitchesItselfOffIsLeftOutUntilTheNextJob) {
  ThreeStages<SwitchingOffStage> stages;

  Process(stages.composite, Start());
  Process(stages.composite, new GPageStart);
  EXPECT_EQ(Handlers(*stages.first), (std::vector<std::string>{"DocumentStart", "PageStart"}));
  EXPECT_EQ(Handlers(*stages.second), std::vector<std::string>{"DocumentStart"});
  EXPECT_EQ(Handlers(*stages.third), (std::vector<std::string>{"DocumentStart", "PageStart"}));
  EXPECT_EQ(stages.composite.ActiveChain().EntryCount(), 2U);

  Process(stages.composite, new GDocumentEnd);
  EXPECT_EQ(stages.composite.ActiveChain().EntryCount(), 0U);

  // The next job: every stage enabled again, and the second takes part if
  // it stays on.
  stages.composite.ResetJob();
  EXPECT_TRUE(stages.second->IsEnabled());
  stages.second->switchOff = false;
  Process(stages.composite, Start());
  EXPECT_EQ(stages.composite.ActiveChain().EntryCount(), 3U);
}

TEST(PeripheralComposite, ANoOpOrAnErrorEndsThePassAndReachesTheCaller) {
  struct Case {
    const char* name;
    RWClassID answer;
  };
  const Case cases[] = {{"no_op", kGNoCommandClassID}, {"error", kGErrorCommandClassID}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ThreeStages<SwallowingStage> stages;
    stages.first->status = c.answer == kGErrorCommandClassID ? 7 : 0;
    stages.first->failingHandler = "PageStart";
    Process(stages.composite, Start());

    const GObjectRef answer = Process(stages.composite, new GPageStart);

    EXPECT_EQ(answer->ClassID(), c.answer);
    EXPECT_EQ(Handlers(*stages.third), std::vector<std::string>{"DocumentStart"});
  }
}

TEST(PeripheralComposite, AnErrorAtDocumentStartStillReachesEveryStage) {
  ThreeStages<> stages;
  stages.first->status = 5;

  const GObjectRef answer = Process(stages.composite, Start());

  auto* error = dynamic_cast<GErrorCommand*>(answer.Get());
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(error->GetErrorCode(), 5);
  // Later stages see the error and pass it on untouched.
  EXPECT_TRUE(stages.third->calls.empty());
  EXPECT_EQ(stages.composite.ActiveChain().EntryCount(), 3U);
}

TEST(PeripheralComposite, AnErrorAtDocumentEndLeavesTheChainForTheNextStart) {
  ThreeStages<> stages;
  Process(stages.composite, Start());
  stages.second->status = 3;

  EXPECT_EQ(Process(stages.composite, new GDocumentEnd)->ClassID(), kGErrorCommandClassID);
  EXPECT_EQ(stages.composite.ActiveChain().EntryCount(), 3U);
}

TEST(PeripheralComposite, AnErrorInsideACommandListReachesTheCallerInTheList) {
  ThreeStages<> stages;
  Process(stages.composite, Start());
  stages.first->status = 8;
  stages.first->failingHandler = "PageEnd";
  auto* list = new GCommandComposite;
  list->AddChild(new GPageStart);
  list->AddChild(new GPageEnd);
  list->AddChild(new GPageStart);

  const GObjectRef answer = Process(stages.composite, list);

  ASSERT_EQ(answer.Get(), list);
  auto* error = dynamic_cast<GErrorCommand*>(answer->FindByClassId(kGErrorCommandClassID));
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(error->GetErrorCode(), 8);
  // The later stages stop at the error too.
  EXPECT_EQ(Handlers(*stages.third), (std::vector<std::string>{"DocumentStart", "PageStart"}));
}

// A stage that reports a fixed page scale.
class ScalingStage : public CommandRecordingPeripheral {
 public:
  ScalingStage(float x, float y, int32_t scalable) : factor_(x, y), scalable_(scalable) {}
  std::pair<float, float>& GetScaleFactor(std::pair<float, float>& factor, GState*, GState*, int32_t,
                                          int32_t*) override {
    ++asked;
    factor = factor_;
    return factor;
  }
  int32_t IsScalable() override { return scalable_; }
  uint32_t GetEmulatedFeatures() override { return static_cast<uint32_t>(scalable_ + 1); }
  int asked = 0;

 private:
  std::pair<float, float> factor_;
  int32_t scalable_;
};

TEST(PeripheralComposite, CombinesItsChildrensAnswers) {
  struct Case {
    const char* name;
    std::vector<std::pair<float, float>> factors;
    bool disableFirst;
    std::pair<float, float> product;
    int asksOfLast;
  };
  const Case cases[] = {
      {"enabled_children_multiply", {{0.5F, 0.5F}, {2.0F, 1.0F}}, false, {1.0F, 0.5F}, 1},
      {"a_disabled_child_does_not_count", {{0.5F, 0.5F}, {2.0F, 1.0F}}, true, {2.0F, 1.0F}, 1},
      {"zero_ends_the_walk", {{0.0F, 0.0F}, {2.0F, 1.0F}}, false, {0.0F, 0.0F}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GPeripheralComposite composite;
    std::vector<ScalingStage*> stages;
    for (const auto& [x, y] : c.factors) {
      stages.push_back(new ScalingStage(x, y, 1));
      composite.AddChild(stages.back());
    }
    if (c.disableFirst) stages.front()->Disable();
    std::pair<float, float> factor;
    int32_t mode = 0;
    composite.GetScaleFactor(factor, nullptr, nullptr, 1, &mode);
    EXPECT_EQ(factor, c.product);
    EXPECT_EQ(stages.back()->asked, c.asksOfLast);
  }

  GPeripheralComposite mixed;
  auto* unscalable = new ScalingStage(1.0F, 1.0F, 0);
  mixed.AddChild(unscalable);
  mixed.AddChild(new ScalingStage(1.0F, 1.0F, 1));
  unscalable->Disable();
  EXPECT_EQ(mixed.IsScalable(), 0);
  EXPECT_EQ(mixed.GetEmulatedFeatures(), 2U);
  EXPECT_EQ(GPeripheralComposite().IsScalable(), 1);
}

TEST(PeripheralComposite, ChildrenListItAsParentUntilTheyLeave) {
  GPeripheralComposite composite;
  auto* stage = new TestPeripheral(12);
  const GObjectRef held(stage);
  composite.AddChild(stage);
  EXPECT_EQ(stage->Parents().First(), &composite);

  // Anything that is not a stage is refused.
  composite.AddChild(new GState(3));
  EXPECT_EQ(composite.EntryCount(), 1U);

  const GObjectRef removed(composite.RemoveChildByKey(12));
  EXPECT_TRUE(stage->Parents().IsEmpty());
  EXPECT_EQ(composite.EntryCount(), 0U);
}

TEST(PeripheralComposite, ItsConfigurationIsItsOwnAndEveryChilds) {
  GPeripheralComposite composite;
  auto* child = new TestPeripheral;
  child->GetConfiguration()->AddChild(new GStringAttribute("child", 500));
  composite.AddChild(child);
  auto* own = new GConfiguration(GPeripheral::kConfigurationKey);
  own->AddChild(new GStringAttribute("own", 501));
  composite.SetConfiguration(own);

  EXPECT_NE(composite.GetConfiguration()->FindByKey(500), nullptr);
  EXPECT_NE(composite.GetConfiguration()->FindByKey(501), nullptr);
}

// What a composite is built with stays its own through later changes: the
// rebuilt configuration and the states shared with a child keep it.
TEST(PeripheralComposite, TheConfigurationAndStateItIsBuiltWithOutliveAChange) {
  auto* configuration = new GConfiguration(GPeripheral::kConfigurationKey);
  configuration->AddChild(new GStringAttribute("built", 502));
  auto* initial = new GState(GPeripheral::kStateKey);
  initial->AddChild(new GStringAttribute("initial", 503));
  GPrinter printer(RWCString("printer"), initial, configuration, 0);
  printer.AddChild(new TestPeripheral);

  EXPECT_NE(printer.GetConfiguration()->FindByKey(502), nullptr);
  EXPECT_NE(printer.GetInitialState()->FindByKey(503), nullptr);
  EXPECT_NE(printer.GetCurrentState()->FindByKey(503), nullptr);
}

// Add-ons: a loader that loads only the library named "second".
class AddOnStage : public CommandRecordingPeripheral {
 public:
  RWClassID ClassID() const override { return kGPeripheralProxyClassID; }
};

GPeripheral* LoadSecondOnly(const RWWString& library, int32_t, int32_t) {
  RWCString name;
  WideToNarrow(library, name);
  return std::string(name.Data()) == "second" ? new AddOnStage : nullptr;
}

class AddOns : public ::testing::Test {
 protected:
  AddOns() { GPeripheralComposite::SetAddOnLoader(LoadSecondOnly); }
  ~AddOns() override { GPeripheralComposite::SetAddOnLoader(nullptr); }

  // A composite with add-on mode as given and two library names in its
  // configuration's add-on list.
  static GPeripheralComposite* WithAddOnList(int32_t mode) {
    auto* configuration = new GConfiguration(GPeripheral::kConfigurationKey);
    auto* list = new GState(70);
    list->AddChild(new GStringAttribute("first", 1));
    list->AddChild(new GStringAttribute("second", 2));
    configuration->AddChild(list);
    auto* composite = new GPeripheralComposite(RWCString(), nullptr, nullptr, 0, 70, 0, mode);
    composite->SetConfiguration(configuration);
    composite->AddChild(new TestPeripheral(1));
    composite->AddChild(new TestPeripheral(2));
    return composite;
  }
};

TEST_F(AddOns, TheLoadedOnesComeFirstForTheJobAndGoAtItsEnd) {
  const GObjectRef composite(WithAddOnList(1));
  auto& stage = static_cast<GPeripheralComposite&>(*composite);

  Process(stage, Start());
  ASSERT_EQ(stage.EntryCount(), 3U);
  std::vector<RWClassID> classes;
  std::vector<int32_t> keys;
  for (uint32_t i = 0; i < 3; ++i) {
    MPersistentObject* child = static_cast<MPersistentComposite*>(stage.AsComposite())->Children().At(i).Get();
    classes.push_back(child->ClassID());
    keys.push_back(child->Key());
  }
  EXPECT_EQ(classes, (std::vector<RWClassID>{kGPeripheralProxyClassID, TestPeripheral::kID, TestPeripheral::kID}));
  EXPECT_EQ(keys, (std::vector<int32_t>{0, 1, 2}));

  Process(stage, new GDocumentEnd);
  EXPECT_EQ(stage.EntryCount(), 2U);
  EXPECT_EQ(stage.ActiveChain().EntryCount(), 0U);
}

TEST_F(AddOns, ModeTwoIgnoresTheList) {
  const GObjectRef composite(WithAddOnList(2));
  auto& stage = static_cast<GPeripheralComposite&>(*composite);
  Process(stage, Start());
  EXPECT_EQ(stage.EntryCount(), 2U);
}

// Stored form.

TEST(PeripheralComposite, AnEmptyCompositeRoundTrips) {
  const GObjectRef composite(new GPeripheralComposite(RWCString("filters"), nullptr, nullptr, 76, 64, 6, 2));
  EXPECT_TRUE(RoundTrips(*composite));
}

// Two levels: the top holds a stage and a composite that holds another;
// each child lists its composite as parent, so the stored graph has cycles.
TEST(PeripheralComposite, ATwoLevelPipelineComesBackWithItsParents) {
  auto* top = new GPeripheralComposite(RWCString("top"), nullptr, nullptr, 76, 64, 6, 2);
  const GObjectRef held(top);
  auto* inner = new GPeripheralComposite(RWCString("inner"), nullptr, nullptr, 5, 64, 6, 2);
  top->AddChild(new TestPeripheral(4));
  top->AddChild(inner);
  inner->AddChild(new TestPeripheral(6));

  for (StoreForm form : kAllStoreForms) {
    SCOPED_TRACE(FormName(form));
    const std::string bytes = SaveGraph(form, top);
    bool good = false;
    const GObjectRef restored = RestoreGraph(form, bytes, good);
    ASSERT_TRUE(good);
    auto* copy = dynamic_cast<GPeripheralComposite*>(restored.Get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(std::string(copy->GetName().Data()), "top");
    ASSERT_EQ(copy->EntryCount(), 2U);
    auto* first = dynamic_cast<GPeripheral*>(copy->FindByKey(4));
    auto* innerCopy = dynamic_cast<GPeripheralComposite*>(copy->FindByKey(5));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(innerCopy, nullptr);
    EXPECT_EQ(first->Parents().First(), copy);
    EXPECT_EQ(innerCopy->Parents().First(), copy);
    auto* leaf = dynamic_cast<GPeripheral*>(innerCopy->FindByKey(6));
    ASSERT_NE(leaf, nullptr);
    EXPECT_EQ(leaf->Parents().First(), innerCopy);
    // Saved again, the copy gives the same bytes.
    EXPECT_EQ(SaveGraph(form, copy), bytes);
  }
}

TEST(PeripheralComposite, ADeepCopyHoldsCopiesOfTheChildrenThatListIt) {
  GPeripheralComposite composite;
  auto* child = new TestPeripheral(3);
  composite.AddChild(child);

  const GObjectRef copy(composite.DeepCopy());
  auto& copied = static_cast<GPeripheralComposite&>(*copy);
  auto* copiedChild = dynamic_cast<GPeripheral*>(copied.FindByKey(3));
  ASSERT_NE(copiedChild, nullptr);
  EXPECT_NE(copiedChild, child);
  EXPECT_EQ(copiedChild->Parents().First(), &copied);
  EXPECT_EQ(child->Parents().Count(), 1U);
}

}  // namespace
