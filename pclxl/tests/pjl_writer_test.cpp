// The writer as a stage: which commands it handles, how a failing or
// missing channel is answered, what it collects and keeps, and its stored
// form.
#include "pclxl/pjl/pjl.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "device/query/provider_registry.h"
#include "device/testing/test_device_tree.h"
#include "graphics/commands/document_command.h"
#include "graphics/commands/error_command.h"
#include "graphics/commands/job_commands.h"
#include "graphics/commands/page_command.h"
#include "graphics/output/output_channel_provider.h"
#include "graphics/testing/faulty_output_channel.h"
#include "model/testing/registered_classes.h"
#include "model/testing/round_trip.h"
#include "pclxl/pjl/settings_reader.h"
#include "pclxl/testing/pjl_job.h"
#include "pclxl/testing/pjl_line_checker.h"
#include "pipeline/printer.h"

namespace {

// A channel whose open and close answer what the test says and which
// counts its checkpoints.
class ScriptedChannel : public GFaultyOutputChannel {
 public:
  struct Script {
    Faults faults;
    uint16_t openStatus = 0;
    uint16_t closeStatus = 0;
  };
  ScriptedChannel(const Script& script, std::shared_ptr<std::string> bytes, int* checkpoints)
      : GFaultyOutputChannel("scripted", script.faults, std::move(bytes)), script_(script), checkpoints_(checkpoints) {}

  uint16_t Open(const RWWString& name) override {
    return script_.openStatus != 0 ? script_.openStatus : GFaultyOutputChannel::Open(name);
  }
  uint16_t Close() override {
    const uint16_t status = GFaultyOutputChannel::Close();
    return script_.closeStatus != 0 ? script_.closeStatus : status;
  }
  uint16_t Checkpoint() override {
    ++*checkpoints_;
    return GFaultyOutputChannel::Checkpoint();
  }

 private:
  Script script_;
  int* checkpoints_;
};

// Makes scripted channels for the length of a test; the bytes and the
// checkpoint count outlive the channels.
class ScriptedProvider : public GDeviceQueryProvider {
 public:
  explicit ScriptedProvider(const ScriptedChannel::Script& script) : script_(script) {
    GetProviderRegistry().Register(this, "OutputChannel");
  }
  ~ScriptedProvider() override { GetProviderRegistry().Unregister("OutputChannel"); }

  MPersistentObject* CreateQueryObject(MPersistentObject*, const RWCString&, uint32_t, const RWWString&) override {
    channel = new ScriptedChannel(script_, bytes, &checkpoints);
    return channel;
  }
  uint32_t GetCapabilityMask() const override { return GOutputChannelProvider::kOutputChannelMask; }
  RWCollectable* NewInstance() const override { return nullptr; }
  RWCollectable* Clone() const override { return nullptr; }

  std::shared_ptr<std::string> bytes = std::make_shared<std::string>();
  int checkpoints = 0;
  ScriptedChannel* channel = nullptr;

 private:
  ScriptedChannel::Script script_;
};

uint16_t ErrorCode(const GObjectRef& answer) {
  auto* error = dynamic_cast<GErrorCommand*>(answer.Get());
  return error != nullptr ? error->GetErrorCode() : 0;
}

GObjectRef Process(GPeripheral& stage, GCommand* command) {
  const GObjectRef held(command);
  return GObjectRef(stage.ProcessCommand(command));
}

GDocumentStart* Start() {
  return new GDocumentStart(RWWString(QV_WIDE("Report")), RWWString(QV_WIDE("scripted")), nullptr, 0);
}
GDocumentEnd* End() { return new GDocumentEnd(RWWString(QV_WIDE("Report")), RWWString(QV_WIDE("scripted")), 0); }

class PJLWriter : public ::testing::Test {
 protected:
  FixedClockFactory factory;
  GPJL writer{GPrinter::kPJLKey};
};

TEST_F(PJLWriter, WithoutAChannelTheStartIsAnError601) {
  const GObjectRef answer = Process(writer, Start());
  EXPECT_EQ(ErrorCode(answer), 601);
  EXPECT_FALSE(writer.IsInDocument());
}

TEST_F(PJLWriter, AFailingChannelIsAnsweredAndTheJobIsNotEntered) {
  struct Case {
    const char* name;
    ScriptedChannel::Script script;
    uint16_t startError;
    uint16_t endError;
    bool headerWritten;
  };
  const Case cases[] = {
      {"not_ready", {{.ready = false}}, 601, 0, false},
      {"open_fails", {{}, 5}, 5, 0, false},
      {"header_write_fails", {{.capacity = 10}}, GOutputChannel::kWriteFailed, 0, false},
      {"end_write_fails", {{.goodWrites = 1}}, 0, GOutputChannel::kWriteFailed, true},
      {"close_fails", {{}, 0, 6}, 0, 6, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedProvider provider(c.script);
    GPJL stage(GPrinter::kPJLKey);
    EXPECT_EQ(ErrorCode(Process(stage, Start())), c.startError);
    EXPECT_EQ(stage.IsInDocument(), c.startError == 0);
    if (c.startError == 0) {
      EXPECT_EQ(ErrorCode(Process(stage, End())), c.endError);
    }
    EXPECT_EQ(provider.bytes->find("@PJL SET RESOLUTION=600") != std::string::npos, c.headerWritten);
  }
}

// A channel of its own is opened, written, checkpointed once after the
// header and closed.
TEST_F(PJLWriter, ItOpensAndClosesAChannelOfItsOwn) {
  ScriptedProvider provider({});
  GObjectRef start(Start());
  EXPECT_EQ(ErrorCode(Process(writer, static_cast<GCommand*>(start.Get()))), 0);
  EXPECT_TRUE(writer.OwnsOutputChannel());
  EXPECT_EQ(static_cast<GDocumentStart&>(*start).GetOutputChannel(), provider.channel);
  static_cast<GDocumentStart&>(*start).TakeOutputChannel();
  EXPECT_TRUE(writer.IsInDocument());
  EXPECT_EQ(provider.checkpoints, 1);
  EXPECT_EQ(ErrorCode(Process(writer, End())), 0);
  EXPECT_EQ(provider.channel->GetState(), GOutputChannel::kClosed);
  EXPECT_FALSE(writer.IsInDocument());
  EXPECT_EQ(CheckPJL(*provider.bytes), "");
  EXPECT_EQ(provider.bytes->substr(0, 33), "\x1B%-12345X@PJL JOB NAME=\"Report\"\r\n");
  // No printer publishes a language name here: the header enters none.
  EXPECT_EQ(provider.bytes->find("ENTER LANGUAGE"), std::string::npos);
}

TEST_F(PJLWriter, NoCheckpointWhenTheSystemSuppressesProgress) {
  factory.progressSuppressed = 1;
  ScriptedProvider provider({});
  Process(writer, Start());
  EXPECT_EQ(provider.checkpoints, 0);
  EXPECT_EQ(writer.ProgressFlag(), 0);
}

TEST_F(PJLWriter, AnAbortLeavesTheJobAndFinishesItsChannel) {
  ScriptedProvider provider({});
  Process(writer, Start());
  GObjectRef abort(new GJobAbort);
  const GObjectRef answer = Process(writer, static_cast<GCommand*>(abort.Get()));
  EXPECT_EQ(answer.Get(), abort.Get());
  EXPECT_FALSE(writer.IsInDocument());
  EXPECT_EQ(provider.channel->GetState(), GOutputChannel::kFinished);
}

TEST_F(PJLWriter, OtherCommandsPassUntouched) {
  ScriptedProvider provider({});
  for (GCommand* command : {static_cast<GCommand*>(new GPageStart(new GState(GPeripheral::kPageStateKey), 0)),
                            static_cast<GCommand*>(new GPageEnd(new GState(GPeripheral::kPageStateKey), 0))}) {
    const GObjectRef held(command);
    const GObjectRef answer(writer.ProcessCommand(command));
    EXPECT_EQ(answer.Get(), command);
  }
  EXPECT_EQ(provider.channel, nullptr);
  EXPECT_EQ(writer.JobPhase(), GPeripheral::kOutsideDocument);
}

TEST_F(PJLWriter, StartsWithEmptySubStatesAndTheProgressFlag) {
  for (GState* state : {writer.GetInitialState(), writer.GetCurrentState()}) {
    ASSERT_NE(state, nullptr);
    ASSERT_EQ(state->EntryCount(), 3U);
    std::vector<int32_t> keys;
    pjl::ForEachChild(state, [&keys](MPersistentObject& child) { keys.push_back(child.Key()); });
    EXPECT_EQ(keys, (std::vector<int32_t>{244, 256, 246}));
  }
  EXPECT_EQ(writer.FindStateFor(GPeripheral::kDocumentStateKey), writer.GetCurrentState()->FindByKey(246));
  EXPECT_EQ(writer.ProgressFlag(), 1);
  EXPECT_EQ(writer.JobName(), "");
  for (const RWClassID id : {769, 770, 760, 753, 751}) EXPECT_TRUE(writer.IsKindOf(id)) << id;
}

// The media the stage is given are collected until the next header.
TEST_F(PJLWriter, CollectsMediaUntilTheNextHeader) {
  writer.ApplyMedia(*MakeMedium(9, {4960, 7016}));
  writer.ApplyMedia(*MakeMedium(2, {5100, 6600}));
  EXPECT_EQ(writer.CollectedMedia().EntryCount(), 1U) << "a state keeps one medium per key";
  const GPJL copy(writer);
  EXPECT_TRUE(copy.CollectedMedia().SameContent(writer.CollectedMedia()));
  RegisteredMemoryProvider provider;
  Process(writer, new GDocumentStart(RWWString(QV_WIDE("Memo")), RWWString(QV_WIDE("memory")), nullptr, 0));
  EXPECT_EQ(writer.CollectedMedia().EntryCount(), 0U);
  EXPECT_EQ(writer.JobName(), "Memo");
  EXPECT_EQ(copy.CollectedMedia().EntryCount(), 1U);
}

// The printer publishes its generator's name in the state it shares; when
// that is gone the writer asks the printer that holds it.
TEST_F(PJLWriter, WithoutThePublishedNameTheLanguageIsThePrintersGenerator) {
  RegisteredMemoryProvider provider;
  GPrinter printer;
  TestGenerator generator(GPrinter::kGeneratorKey);
  generator.SetName(RWCString("TESTPDL"));
  printer.AddGenerator(generator);
  printer.AddWriter(writer);
  const GObjectRef published(printer.GetCurrentState()->RemoveChildByKey(GPrinter::kGeneratorNameKey));
  ASSERT_FALSE(published.IsEmpty());
  ASSERT_EQ(pjl::FindText(printer.PJLChild()->GetCurrentState(), GPrinter::kGeneratorNameKey), nullptr);
  Process(printer, new GDocumentStart(RWWString(QV_WIDE("Memo")), RWWString(QV_WIDE("memory")), nullptr, 0));
  EXPECT_NE(provider.Output().find("\r\n@PJL ENTER LANGUAGE=TESTPDL\r\n"), std::string::npos);
}

// The printer deletes the channel it lent once the job is over; the writer
// no longer holds it then, so a stray second end finds no channel.
TEST_F(PJLWriter, ABorrowedChannelIsLetGoAtTheEnd) {
  RegisteredMemoryProvider provider;
  GPrinter printer;
  printer.AddWriter(writer);
  Process(printer, new GDocumentStart(RWWString(QV_WIDE("Memo")), RWWString(QV_WIDE("memory")), nullptr, 0));
  ASSERT_NE(printer.PJLChild()->OutputChannel(), nullptr);
  EXPECT_FALSE(printer.PJLChild()->OwnsOutputChannel());
  Process(printer, new GDocumentEnd(RWWString(QV_WIDE("Memo")), RWWString(QV_WIDE("memory")), 0));
  EXPECT_EQ(printer.PJLChild()->OutputChannel(), nullptr);
  EXPECT_EQ(ErrorCode(Process(*printer.PJLChild(), End())), 601);
}

TEST(PJLWriterClass, TheFactoryMakesItAsTheClassTableSays) {
  const RWClassID ids[] = {kGPJLClassID};
  ExpectMadeAsTheClassTableSays(ids);
}

TEST(PJLWriterStoredForm, RoundTripsWithItsJobNameAndMedia) {
  FixedClockFactory factory;
  RegisteredMemoryProvider provider;
  GPJL writer(RWCString("pjl"), nullptr, nullptr, GPrinter::kPJLKey);
  writer.ApplyMedia(*MakeMedium(9, {4960, 7016}));
  Process(writer, new GDocumentStart(RWWString(QV_WIDE("Memo")), RWWString(QV_WIDE("memory")), nullptr, 0));
  Process(writer, new GDocumentEnd(RWWString(QV_WIDE("Memo")), RWWString(QV_WIDE("memory")), 0));
  writer.ApplyMedia(*MakeMedium(2, {5100, 6600}));
  ASSERT_EQ(writer.JobName(), "Memo");
  EXPECT_TRUE(RoundTrips(writer));
  const GPJL copy(writer);
  EXPECT_TRUE(copy.SameContent(writer));
}

// The writer's own part closes its stored form: version 1; the collected
// media as a reference (this save is the outermost one: the start value
// 0x8888, then the state's class ID 758 and its part: root version, key,
// serial number, attribute version and changed flag, composite version and
// child count, the state's trailing version); the job name.
std::string OwnPart(uint32_t mediaSerial, const std::string& name) {
  return Words({1, 0x8888}) + std::string("\xF6\x02", 2) + Words({1, 0, mediaSerial, 1, 1, 1, 0, 1}) +
         Words({static_cast<uint32_t>(name.size())}) + name;
}

TEST(PJLWriterStoredForm, ItsOwnPartIsTheVersionTheMediaAndTheJobName) {
  const GPJL writer(RWCString("pjl"), nullptr, nullptr, GPrinter::kPJLKey);
  const std::string bytes = SaveContentsToFileBytes(writer);
  const std::string own = OwnPart(writer.CollectedMedia().SerialNumber(), "");
  ASSERT_GE(bytes.size(), own.size());
  EXPECT_EQ(bytes.substr(bytes.size() - own.size()), own);

  const std::string composite = bytes.substr(0, bytes.size() - own.size());
  struct Case {
    const char* name;
    std::string own;
    const char* jobName;
  };
  std::string otherVersion = OwnPart(77, "Memo");
  otherVersion[0] = 2;
  const Case cases[] = {
      {"job_name", OwnPart(77, "Memo"), "Memo"},
      {"another_version_reads_nothing_more", otherVersion, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GPJL restored;
    RestoreContentsFromFileBytes(restored, composite + c.own);
    EXPECT_EQ(restored.JobName(), c.jobName);
    EXPECT_EQ(restored.CollectedMedia().EntryCount(), 0U);
  }
}

}  // namespace
