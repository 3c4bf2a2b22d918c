// Tests of the command list: what it takes, when it counts as changed,
// its stored form and what it forwards.
#include "graphics/commands/command_composite.h"

#include <gtest/gtest.h>

#include <memory>

#include "graphics/commands/job_commands.h"
#include "graphics/commands/page_command.h"
#include "graphics/commands/pass_through_command.h"
#include "graphics/testing/command_recording_peripheral.h"
#include "graphics/tests/command_bytes.h"

namespace {

TEST(CommandComposite, TakesCommandsOnlyAndMarksItselfChanged) {
  GCommandComposite list;
  GObjectRef shared(new GValueAttribute(1, 2));
  list.AddChild(shared.Get());
  list.InsertFirstChild(new GValueAttribute(1, 2));  // deleted: nobody owns it
  EXPECT_EQ(list.EntryCount(), 0u);
  EXPECT_FALSE(list.IsChanged());
  EXPECT_EQ(shared->ReferenceCount(), 0) << "a refused object that others own stays theirs";

  list.AddChild(new GPageEnd(3));
  EXPECT_TRUE(list.IsChanged());
  list.SetChanged(false);
  list.InsertFirstChild(new GPageStart(2));
  EXPECT_TRUE(list.IsChanged());
  ASSERT_EQ(list.EntryCount(), 2u);
  EXPECT_EQ(list.Children().At(0).Get()->ClassID(), kGPageStartClassID);
}

TEST(CommandComposite, ListChangesSetTheFlagOnlyWhenSomethingChanged) {
  struct Case {
    const char* name;
    bool (*change)(GCommandComposite& list);
    bool changed;
  };
  const Case cases[] = {
      {"remove_by_key", [](GCommandComposite& l) { return GObjectRef(l.RemoveChildByKey(2)).Get() != nullptr; }, true},
      {"remove_missing_key", [](GCommandComposite& l) { return GObjectRef(l.RemoveChildByKey(99)).Get() != nullptr; },
       false},
      {"remove_by_class",
       [](GCommandComposite& l) { return GObjectRef(l.RemoveChildByClassId(kGJobAbortClassID)).Get() != nullptr; },
       true},
      {"replace_by_key", [](GCommandComposite& l) { return l.ReplaceChildByKey(2, GNullCommand(2)); }, true},
      {"replace_missing_class",
       [](GCommandComposite& l) { return l.ReplaceChildByClassId(kGPageEndClassID, GPageEnd(7)); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GCommandComposite list;
    list.AddChild(new GJobAbort(2));
    list.SetChanged(false);
    EXPECT_EQ(c.change(list), c.changed);
    EXPECT_EQ(list.IsChanged(), c.changed);
  }
}

TEST(CommandComposite, SearchesAndCountsGoToTheList) {
  GCommandComposite list(4);
  list.AddChild(new GPageStart(1));
  list.AddChild(new GJobAbort(2));
  EXPECT_EQ(list.AsComposite()->EntryCount(), 2u);
  EXPECT_NE(list.AsComposite(), &list);
  EXPECT_EQ(list.EntryCount(), 2u);
  EXPECT_EQ(list.NodeCount(), 3u);
  ASSERT_NE(list.FindByKey(2), nullptr);
  EXPECT_EQ(list.FindByKey(2)->ClassID(), kGJobAbortClassID);
  EXPECT_EQ(list.FindKindOf(kGPageCommandClassID)->Key(), 1);
  const std::unique_ptr<GIterator> children = list.NewChildIterator();
  ASSERT_TRUE(children->Advance());
  EXPECT_EQ(children->Current()->Key(), 1);
  list.RemoveAllChildren();
  EXPECT_EQ(list.EntryCount(), 2u) << "removing all children does nothing, as on a leaf";
}

TEST(CommandComposite, CopiesShareTheChildren) {
  GCommandComposite list;
  list.AddChild(new GJobAbort(2));
  const GCommandComposite copy(list);
  EXPECT_EQ(copy.Children().At(0).Get(), list.Children().At(0).Get());
  EXPECT_TRUE(copy.SameContent(list));
  GCommandComposite other;
  other.AddChild(new GJobAbort(3));
  EXPECT_FALSE(other.SameContent(list));
}

TEST(CommandComposite, OwnDataReachesEveryChild) {
  const uint8_t bytes[] = {1, 2, 3};
  GCommandComposite list;
  auto* data = new GPassThroughCommand(bytes, 3, 767, 0);
  list.AddChild(data);
  list.OwnData();
  EXPECT_TRUE(data->OwnsData());
  EXPECT_NE(data->GetData(), bytes);
}

TEST(CommandComposite, DispatchCallsNoHandler) {
  GCommandComposite list;
  list.AddChild(new GJobAbort(2));
  CommandRecordingPeripheral stage;
  stage.status = 7;
  EXPECT_EQ(list.DispatchTo(stage), 0);
  EXPECT_TRUE(stage.calls.empty());
}

TEST(CommandComposite, RoundTripsAndARestoreClearsTheChangedFlag) {
  GCommandComposite list(SampleState(9, 1), 6);
  list.AddChild(new GPageStart(SampleState(256, 2), 1));
  list.AddChild(new GJobAbort(2));
  EXPECT_TRUE(RoundTrips(list));

  // The list itself follows the command part as a reference with its own
  // class header.
  GCommandComposite empty(6);
  const std::string bytes = SaveContentsToFileBytes(empty);
  const std::string listPart = Words({1, 0x8888}) + Shorts({static_cast<uint16_t>(kMPersistentCompositeClassID)});
  EXPECT_EQ(bytes.substr(26, listPart.size()), listPart);

  GCommandComposite restored;
  restored.AddChild(new GJobAbort(9));
  ASSERT_TRUE(restored.IsChanged());
  RestoreContentsFromFileBytes(restored, SaveContentsToFileBytes(list));
  EXPECT_FALSE(restored.IsChanged());
  EXPECT_TRUE(restored.SameContent(list));
}

// A stored list may hold anything; only its commands are kept.
TEST(CommandComposite, ARestoreKeepsOnlyTheCommands) {
  MPersistentComposite stored;
  stored.AddChild(new GJobAbort(1));
  stored.AddChild(new GValueAttribute(3, 4));
  stored.AddChild(new GPageEnd(2));
  GCommandComposite list;
  const std::string bytes = SaveContentsToFileBytes(list);
  const std::string forged = bytes.substr(0, 26) + Words({1}) + SaveGraph(StoreForm::kFile, &stored);
  GCommandComposite restored;
  RestoreContentsFromFileBytes(restored, forged);
  ASSERT_EQ(restored.EntryCount(), 2u);
  EXPECT_EQ(restored.Children().At(0).Get()->ClassID(), kGJobAbortClassID);
  EXPECT_EQ(restored.Children().At(1).Get()->ClassID(), kGPageEndClassID);
}

}  // namespace
