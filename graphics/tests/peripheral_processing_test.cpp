// A stage's common command processing: which commands reach a handler,
// when their state is merged, how a failing handler becomes an error
// command, and how a command list is passed through child by child.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/commands/command_composite.h"
#include "graphics/commands/document_command.h"
#include "graphics/commands/error_command.h"
#include "graphics/commands/job_commands.h"
#include "graphics/commands/page_command.h"
#include "graphics/testing/command_recording_peripheral.h"
#include "model/attributes/state.h"
#include "model/attributes/value_attribute.h"

namespace {

constexpr int32_t kSettingKey = 900;

// A page state carrying one value.
GState* PageStateWith(int16_t value) {
  auto* state = new GState(GPeripheral::kPageStateKey);
  state->AddChild(new GValueAttribute(value, kSettingKey));
  return state;
}

// The value the stage's page sub-state holds under the setting key, or -1.
int16_t HeldValue(GPeripheral& stage) {
  auto* value = dynamic_cast<GValueAttribute*>(stage.FindStateFor(GPeripheral::kPageStateKey)->FindByKey(kSettingKey));
  return value != nullptr ? value->Value() : -1;
}

std::vector<std::string> Handlers(const CommandRecordingPeripheral& stage) {
  std::vector<std::string> names;
  for (const auto& call : stage.calls) names.push_back(call.handler);
  return names;
}

// Passes a command the test holds through the stage and takes the answer.
GObjectRef Process(GPeripheral& stage, const GObjectRef& command) {
  return GObjectRef(stage.ProcessCommand(static_cast<GCommand*>(command.Get())));
}

TEST(PeripheralProcessing, AHandledCommandComesBackItselfWithItsStateMerged) {
  CommandRecordingPeripheral stage;
  const GObjectRef command(new GPageStart(PageStateWith(7), 0));
  static_cast<GCommand*>(command.Get())->SetChanged(true);

  const GObjectRef answer = Process(stage, command);

  EXPECT_EQ(answer.Get(), command.Get());
  EXPECT_FALSE(static_cast<GCommand*>(answer.Get())->IsChanged());
  EXPECT_EQ(Handlers(stage), std::vector<std::string>{"PageStart"});
  EXPECT_EQ(HeldValue(stage), 7);
}

TEST(PeripheralProcessing, CommandsThatPassUntouchedAreNeitherMergedNorDispatched) {
  struct Case {
    const char* name;
    bool disabled;
    GCommand* (*make)();
  };
  const Case cases[] = {
      {"disabled_stage", true, []() -> GCommand* { return new GPageStart(PageStateWith(7), 0); }},
      {"no_command", false,
       []() -> GCommand* {
         auto* command = new GNoCommand;
         command->SetState(PageStateWith(7));
         return command;
       }},
      {"error_command", false,
       []() -> GCommand* {
         auto* command = new GErrorCommand(5, nullptr, 0);
         command->SetState(PageStateWith(7));
         return command;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CommandRecordingPeripheral stage;
    if (c.disabled) stage.Disable();
    const GObjectRef command(c.make());

    EXPECT_EQ(Process(stage, command).Get(), command.Get());
    EXPECT_TRUE(stage.calls.empty());
    EXPECT_EQ(HeldValue(stage), -1);
  }
}

TEST(PeripheralProcessing, ANullCommandComesBackNull) {
  CommandRecordingPeripheral stage;
  EXPECT_EQ(stage.ProcessCommand(nullptr), nullptr);
}

TEST(PeripheralProcessing, AFailingHandlerTurnsTheCommandIntoAnErrorCarryingIt) {
  CommandRecordingPeripheral stage;
  stage.status = 42;
  const GObjectRef command(new GPageEnd);

  const GObjectRef answer = Process(stage, command);

  auto* error = dynamic_cast<GErrorCommand*>(answer.Get());
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(error->GetErrorCode(), 42);
  EXPECT_EQ(error->GetRelatedObject(), command.Get());
  EXPECT_EQ(error->Key(), 0);

  // The next stage passes the error on untouched.
  CommandRecordingPeripheral next;
  EXPECT_EQ(Process(next, answer).Get(), answer.Get());
  EXPECT_TRUE(next.calls.empty());
}

TEST(PeripheralProcessing, AnAnswerThatNobodyElseHoldsOutlivesTheStage) {
  GObjectRef answer;
  {
    CommandRecordingPeripheral stage;
    stage.status = 3;
    answer = stage.ProcessCommand(new GPageEnd);
  }
  auto* error = dynamic_cast<GErrorCommand*>(answer.Get());
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(error->GetRelatedObject()->ClassID(), kGPageEndClassID);
}

// A list of five page commands, the second of which fails when the stage is
// told to fail page ends.
class CompositeProcessing : public ::testing::Test {
 protected:
  CompositeProcessing() {
    auto* list = new GCommandComposite;
    for (int16_t i = 0; i < 5; ++i) {
      GCommand* child = i == 1 ? static_cast<GCommand*>(new GPageEnd(PageStateWith(i), 0))
                               : static_cast<GCommand*>(new GPageStart(PageStateWith(i), 0));
      list->AddChild(child);
      children.emplace_back(child);
    }
    list->SetChanged(false);
    composite = list;
  }

  GCommandComposite& List() const { return *static_cast<GCommandComposite*>(composite.Get()); }

  CommandRecordingPeripheral stage;
  GObjectRef composite;
  std::vector<GObjectRef> children;
};

TEST_F(CompositeProcessing, EveryChildIsProcessedInOrderAndAnUnchangedListStaysUnchanged) {
  const GObjectRef answer = Process(stage, composite);

  EXPECT_EQ(answer.Get(), composite.Get());
  EXPECT_FALSE(List().IsChanged());
  EXPECT_EQ(Handlers(stage), (std::vector<std::string>{"PageStart", "PageEnd", "PageStart", "PageStart", "PageStart"}));
  EXPECT_EQ(HeldValue(stage), 4);
  for (uint32_t i = 0; i < children.size(); ++i) EXPECT_EQ(List().Children().At(i).Get(), children[i].Get());
}

TEST_F(CompositeProcessing, TheFirstErrorStaysInPlaceOfItsChildAndEndsThePass) {
  stage.status = 9;
  stage.failingHandler = "PageEnd";

  const GObjectRef answer = Process(stage, composite);

  EXPECT_EQ(answer.Get(), composite.Get());
  EXPECT_TRUE(List().IsChanged());
  EXPECT_EQ(Handlers(stage), (std::vector<std::string>{"PageStart", "PageEnd"}));
  ASSERT_EQ(List().EntryCount(), 5U);
  auto* error = dynamic_cast<GErrorCommand*>(List().Children().At(1).Get());
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(error->GetErrorCode(), 9);
  EXPECT_EQ(error->GetRelatedObject(), children[1].Get());
  EXPECT_EQ(List().Children().At(2).Get(), children[2].Get());
  // Whoever drives the pipeline finds the error in the answer.
  EXPECT_EQ(answer->FindByClassId(kGErrorCommandClassID), error);
}

TEST_F(CompositeProcessing, AListAlreadyCarryingAnErrorStopsThereUnchanged) {
  List().ReplaceChild(children[2].Get(), GErrorCommand(4, nullptr, 0));
  List().SetChanged(false);

  Process(stage, composite);

  EXPECT_EQ(Handlers(stage), (std::vector<std::string>{"PageStart", "PageEnd"}));
  EXPECT_FALSE(List().IsChanged());
}

TEST_F(CompositeProcessing, AStageDisabledOnTheWayLeavesTheRestOfTheListAlone) {
  // A stage that switches itself off at its first page end, as a filter
  // that is not asked for does.
  struct DisablingStage : CommandRecordingPeripheral {
    uint16_t PageEnd(GPageEnd& end) override {
      Disable();
      return CommandRecordingPeripheral::PageEnd(end);
    }
  } disabling;

  Process(disabling, composite);

  EXPECT_EQ(Handlers(disabling), (std::vector<std::string>{"PageStart", "PageEnd"}));
}

}  // namespace
