// The printer: which writing child sees which command and in what order,
// the job's output channel from document start to end or abort, the
// generator it keeps a copy of, and its stored form.
#include "pipeline/printer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/query/provider_registry.h"
#include "graphics/commands/document_command.h"
#include "graphics/commands/error_command.h"
#include "graphics/commands/job_commands.h"
#include "graphics/commands/page_command.h"
#include "graphics/output/memory_output_channel.h"
#include "graphics/output/output_channel_provider.h"
#include "graphics/testing/command_recording_peripheral.h"
#include "model/attributes/state.h"
#include "model/attributes/string_attribute.h"
#include "model/testing/round_trip.h"

namespace {

// A writing child that logs "name:handler" into a log the test shares
// between the two children.
class LoggingStage : public CommandRecordingPeripheral {
 public:
  LoggingStage(const char* name, int32_t key, std::vector<std::string>* log) : name_(name), log_(log) { SetKey(key); }
  uint16_t DocumentStart(GDocumentStart& c) override {
    return Log("DocumentStart", [&] { return Base::DocumentStart(c); });
  }
  uint16_t DocumentEnd(GDocumentEnd& c) override {
    return Log("DocumentEnd", [&] { return Base::DocumentEnd(c); });
  }
  uint16_t PageStart(GPageStart& c) override {
    return Log("PageStart", [&] { return Base::PageStart(c); });
  }
  uint16_t PageEnd(GPageEnd& c) override {
    return Log("PageEnd", [&] { return Base::PageEnd(c); });
  }
  uint16_t JobAbort(GJobAbort& c) override {
    return Log("JobAbort", [&] { return Base::JobAbort(c); });
  }

 private:
  using Base = CommandRecordingPeripheral;
  template <typename Handler>
  uint16_t Log(const char* handler, const Handler& handle) {
    log_->push_back(name_ + ":" + handler);
    return handle();
  }
  std::string name_;
  std::vector<std::string>* log_;
};

// A stage of the generator kind, named.
class TestGenerator : public TestPeripheral {
 public:
  explicit TestGenerator(const char* name = "") : TestPeripheral(GPrinter::kGeneratorKey) { SetName(RWCString(name)); }
  RWCollectable* Clone() const override { return new TestGenerator(*this); }
  bool IsKindOf(RWClassID id) const override { return id == kGPDLGeneratorClassID || TestPeripheral::IsKindOf(id); }
};

// The output-channel provider registered for the length of a test.
class Provider {
 public:
  explicit Provider(GOutputChannelProvider::Kind kind) : provider_(kind) {
    GetProviderRegistry().Register(&provider_, "OutputChannel");
  }
  ~Provider() { GetProviderRegistry().Unregister("OutputChannel"); }
  Provider(const Provider&) = delete;
  Provider& operator=(const Provider&) = delete;
  GOutputChannelProvider& Get() { return provider_; }

 private:
  GOutputChannelProvider provider_;
};

GObjectRef Process(GPeripheral& stage, GCommand* command) {
  const GObjectRef held(command);
  return GObjectRef(stage.ProcessCommand(command));
}

GDocumentStart* Start(const char* output) {
  return new GDocumentStart(RWWString::FromMultibyte("Report"), RWWString::FromMultibyte(output), nullptr, 0);
}

uint16_t ErrorCode(const GObjectRef& answer) {
  auto* error = dynamic_cast<GErrorCommand*>(answer.Get());
  return error != nullptr ? error->GetErrorCode() : 0;
}

class PrinterJob : public ::testing::Test {
 protected:
  PrinterJob() {
    printer.AddChild(pjl = new LoggingStage("pjl", GPrinter::kPJLKey, &log));
    printer.AddChild(generator = new LoggingStage("generator", GPrinter::kGeneratorKey, &log));
  }

  std::vector<std::string> log;
  GPrinter printer;
  LoggingStage* pjl;
  LoggingStage* generator;
};

TEST_F(PrinterJob, RoutesEachCommandToItsWritersInOrder) {
  Provider provider(GOutputChannelProvider::Kind::kMemory);

  EXPECT_EQ(ErrorCode(Process(printer, Start("memory"))), 0);
  Process(printer, new GPageStart(new GState(GPeripheral::kPageStateKey), 0));
  Process(printer, new GPageEnd(new GState(GPeripheral::kPageStateKey), 0));
  EXPECT_EQ(ErrorCode(Process(printer, new GDocumentEnd(RWWString(), RWWString(), 0))), 0);

  EXPECT_EQ(log,
            (std::vector<std::string>{"pjl:DocumentStart", "generator:DocumentStart", "generator:PageStart",
                                      "generator:PageEnd", "pjl:PageEnd", "generator:DocumentEnd", "pjl:DocumentEnd"}));
  EXPECT_EQ(printer.PJLChild(), pjl);
  EXPECT_EQ(printer.GeneratorChild(), generator);
}

TEST_F(PrinterJob, OpensTheChannelItMadeAndClosesItAtTheEnd) {
  Provider provider(GOutputChannelProvider::Kind::kMemory);
  GObjectRef start(Start("memory"));

  Process(printer, static_cast<GCommand*>(start.Get()));
  GOutputChannel* channel = static_cast<GDocumentStart&>(*start).GetOutputChannel();
  ASSERT_NE(channel, nullptr);
  EXPECT_EQ(channel, printer.OutputChannel());
  EXPECT_TRUE(printer.OwnsOutputChannel());
  EXPECT_TRUE(channel->IsActive());
  // The command never deletes the channel; the printer does at the end.
  static_cast<GDocumentStart&>(*start).TakeOutputChannel();

  Process(printer, new GDocumentEnd(RWWString(), RWWString(), 0));
  EXPECT_EQ(printer.OutputChannel(), nullptr);
  EXPECT_FALSE(printer.IsInDocument());
}

TEST_F(PrinterJob, AChannelTheDocumentStartBringsIsNeitherOpenedNorClosed) {
  GMemoryOutputChannel channel{RWCString("borrowed")};
  GObjectRef start(Start("unused"));
  static_cast<GDocumentStart&>(*start).SetOutputChannel(&channel);

  EXPECT_EQ(ErrorCode(Process(printer, static_cast<GCommand*>(start.Get()))), 0);
  EXPECT_EQ(channel.GetState(), GOutputChannel::kClosed);
  EXPECT_FALSE(printer.OwnsOutputChannel());

  // A closed channel refuses the checkpoint: the page end becomes an error.
  EXPECT_EQ(ErrorCode(Process(printer, new GPageEnd)), GOutputChannel::kWrongState);
  channel.Open(RWWString());
  Process(printer, new GDocumentEnd(RWWString(), RWWString(), 0));
  EXPECT_EQ(channel.GetState(), GOutputChannel::kOpen);
  static_cast<GDocumentStart&>(*start).TakeOutputChannel();
}

TEST_F(PrinterJob, WithoutAUsableChannelTheStartFailsWith601AndTheAbortCleansUp) {
  struct Case {
    const char* name;
    bool registered;
  };
  for (const Case& c : {Case{"no_provider", false}, Case{"channel_not_ready", true}}) {
    SCOPED_TRACE(c.name);
    log.clear();
    std::unique_ptr<Provider> provider;
    if (c.registered) provider = std::make_unique<Provider>(GOutputChannelProvider::Kind::kFile);

    const GObjectRef answer = Process(printer, Start("/nonexistent-directory/out.prn"));
    EXPECT_EQ(ErrorCode(answer), kNoOutputChannel);
    // The writers get the error and pass it on untouched.
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(printer.OwnsOutputChannel(), c.registered);

    EXPECT_EQ(Process(printer, new GJobAbort)->ClassID(), kGJobAbortClassID);
    EXPECT_EQ(printer.OutputChannel(), nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"generator:JobAbort", "pjl:JobAbort"}));
  }
}

TEST(Printer, ChildrenShareThePrintersStates) {
  GPrinter printer;
  auto* child = new TestPeripheral(GPrinter::kPJLKey);
  printer.AddChild(child);
  EXPECT_EQ(child->GetCurrentState(), printer.GetCurrentState());
  EXPECT_EQ(child->GetInitialState(), printer.GetInitialState());
}

// Generators hand themselves over through the stage interface, each through
// the operation of its class; the PJL writer through its own.
TEST(Printer, AGeneratorHandedOverReplacesTheOneHeldWithACopyThatKnowsItsName) {
  GPrinter printer;
  GPeripheral& stage = printer;
  TestGenerator first("first");
  TestGenerator second("second");
  TestPeripheral writer(7);

  EXPECT_EQ(stage.AddBorzan(first), 0);
  GPeripheral* firstCopy = printer.GeneratorChild();
  ASSERT_NE(firstCopy, nullptr);
  EXPECT_NE(firstCopy, &first);
  EXPECT_EQ(stage.AddPostScript(second), 0);
  EXPECT_EQ(stage.AddPJL(writer), 0);
  ASSERT_NE(printer.PJLChild(), nullptr);
  EXPECT_NE(printer.PJLChild(), &writer);
  EXPECT_EQ(printer.PJLChild()->Key(), GPrinter::kPJLKey) << "a copy takes the key of its place";
  EXPECT_EQ(stage.AddPJL(writer), 0);
  EXPECT_EQ(printer.GeneratorChild()->Key(), GPrinter::kGeneratorKey);

  ASSERT_EQ(printer.EntryCount(), 2U);
  GPeripheral* held = printer.GeneratorChild();
  ASSERT_NE(held, nullptr);
  EXPECT_EQ(std::string(held->GetName().Data()), "second");
  EXPECT_EQ(held->GetCurrentState(), printer.GetCurrentState());
  auto* name = dynamic_cast<GStringAttribute*>(held->GetCurrentState()->FindByKey(GPrinter::kGeneratorNameKey));
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(std::string(name->Text().Data()), "second");
}

TEST(Printer, RoundTripsAndFindsItsWritersAgain) {
  const GObjectRef empty(new GPrinter(RWCString("printer"), nullptr, nullptr, 76));
  EXPECT_TRUE(RoundTrips(*empty));

  GPrinter printer(RWCString("printer"), nullptr, nullptr, 76);
  printer.AddChild(new TestPeripheral(GPrinter::kPJLKey));
  printer.AddChild(new TestPeripheral(GPrinter::kGeneratorKey));
  for (StoreForm form : kAllStoreForms) {
    SCOPED_TRACE(FormName(form));
    bool good = false;
    const GObjectRef restored = RestoreGraph(form, SaveGraph(form, &printer), good);
    ASSERT_TRUE(good);
    auto* copy = dynamic_cast<GPrinter*>(restored.Get());
    ASSERT_NE(copy, nullptr);
    ASSERT_NE(copy->PJLChild(), nullptr);
    ASSERT_NE(copy->GeneratorChild(), nullptr);
    EXPECT_EQ(copy->PJLChild()->Key(), GPrinter::kPJLKey);
    EXPECT_EQ(copy->GeneratorChild()->Key(), GPrinter::kGeneratorKey);
    EXPECT_FALSE(copy->ModeIsOne());
  }
}

// The printer's own part closes its stored form: version 1, then the mode.
TEST(Printer, ItsStoredPartIsTheVersionAndTheMode) {
  const GPrinter printer(RWCString("p"), nullptr, nullptr, 76);
  const std::string bytes = SaveContentsToFileBytes(printer);
  ASSERT_GE(bytes.size(), 8U);
  EXPECT_EQ(bytes.substr(bytes.size() - 8), std::string("\x01\x00\x00\x00\x02\x00\x00\x00", 8));

  struct Case {
    const char* name;
    const char* tail;
    bool modeIsOne;
  };
  const Case cases[] = {
      {"mode_one", "\x01\x00\x00\x00\x01\x00\x00\x00", true},
      {"another_version_reads_no_mode", "\x02\x00\x00\x00\x01\x00\x00\x00", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GPrinter restored;
    RestoreContentsFromFileBytes(restored, bytes.substr(0, bytes.size() - 8) + std::string(c.tail, 8));
    EXPECT_EQ(restored.ModeIsOne(), c.modeIsOne);
  }
}

}  // namespace
