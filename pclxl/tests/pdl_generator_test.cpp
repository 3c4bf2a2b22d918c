// The generator base: the job's channel and memory budget at document
// start, the order in which a generator and the stages in front of it see
// commands, copies, the stored form and the font queries' base answers.
#include "pclxl/generator/pdl_generator.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "device/fonts/device_font_description.h"
#include "device/fonts/device_font_list_composite.h"
#include "device/query/provider_registry.h"
#include "device/testing/test_device_tree.h"
#include "graphics/commands/document_command.h"
#include "graphics/commands/error_command.h"
#include "graphics/commands/job_commands.h"
#include "graphics/commands/page_command.h"
#include "graphics/fonts/downloaded_font.h"
#include "graphics/fonts/testing/test_font.h"
#include "graphics/output/memory_output_channel.h"
#include "graphics/output/output_channel_provider.h"
#include "graphics/testing/command_recording_peripheral.h"
#include "model/attributes/configuration.h"
#include "model/os/memory_os_factory.h"
#include "model/testing/round_trip.h"
#include "pclxl/generator/device_font_request.h"
#include "pclxl/testing/test_pdl_generator.h"
#include "pipeline/document_channel.h"

namespace {

// A provider registered for the length of a test under the name the
// registry asks for output channels.
template <typename Provider>
class Registered {
 public:
  template <typename... Args>
  explicit Registered(Args&&... args) : provider_(std::forward<Args>(args)...) {
    GetProviderRegistry().Register(&provider_, "OutputChannel");
  }
  ~Registered() { GetProviderRegistry().Unregister("OutputChannel"); }
  Registered(const Registered&) = delete;
  Registered& operator=(const Registered&) = delete;

 private:
  Provider provider_;
};

// A channel that refuses to open with a status of its own.
class RefusingChannel : public GMemoryOutputChannel {
 public:
  static constexpr uint16_t kRefusal = 77;
  RefusingChannel() : GMemoryOutputChannel(RWCString("refusing")) {}
  uint16_t Open(const RWWString&) override { return kRefusal; }
};

class RefusingProvider : public GDeviceQueryProvider {
 public:
  MPersistentObject* CreateQueryObject(MPersistentObject*, const RWCString&, uint32_t, const RWWString&) override {
    return new RefusingChannel;
  }
  uint32_t GetCapabilityMask() const override { return GOutputChannelProvider::kOutputChannelMask; }
  RWCollectable* NewInstance() const override { return new RefusingProvider; }
  RWCollectable* Clone() const override { return new RefusingProvider; }
};

// An OS factory that asks the generators not to report progress.
class ProgressSuppressingFactory : public GMemoryOSFactory {
 public:
  int32_t IsProgressSuppressed() override { return 1; }
};

// A font object that counts its deletion.
template <typename Base>
class CountedFontObject : public Base {
 public:
  explicit CountedFontObject(int* deletions) : deletions_(deletions) {}
  ~CountedFontObject() override { ++*deletions_; }

 private:
  int* deletions_;
};

// A downloaded-font cache that matches no font.
class NoMatchCache : public GDownloadedFontCache {
 public:
  bool Find(GFont&) override { return false; }
};

// A mapper that steps by one and counts its deletion.
class CountedGlyphCodeMapper : public CountedFontObject<GGlyphCodeMapper> {
 public:
  using CountedFontObject::CountedFontObject;

 protected:
  void Advance() override { SetNextCode(static_cast<uint16_t>(NextCode() + 1)); }
};

void GiveFontObjects(TestPDLGenerator& generator, int* deletions) {
  generator.SetDownloadedFontCache(std::make_unique<CountedFontObject<NoMatchCache>>(deletions));
  generator.SetGlyphCodeMapper(std::make_unique<CountedGlyphCodeMapper>(deletions));
}

GObjectRef Process(GPeripheral& stage, GCommand* command) {
  const GObjectRef held(command);
  return GObjectRef(stage.ProcessCommand(command));
}

GDocumentStart* Start(const char* output = "memory") {
  return new GDocumentStart(RWWString::FromMultibyte("Report"), RWWString::FromMultibyte(output), nullptr, 0);
}

uint16_t ErrorCode(const GObjectRef& answer) {
  auto* error = dynamic_cast<GErrorCommand*>(answer.Get());
  return error != nullptr ? error->GetErrorCode() : 0;
}

GConfiguration* ConfigurationOf(GPDLGenerator& generator) {
  auto* configuration = new GConfiguration(GPeripheral::kConfigurationKey);
  generator.SetConfiguration(configuration);
  return configuration;
}

// Document start and the job's channel.

TEST(PDLGeneratorDocumentStart, SharesACarriedChannelWithoutOpeningIt) {
  GMemoryOutputChannel channel{RWCString("carried")};
  TestPDLGenerator generator;
  GObjectRef start(Start());
  auto& command = static_cast<GDocumentStart&>(*start);
  command.SetOutputChannel(&channel);

  EXPECT_EQ(generator.DocumentStart(command), 0);
  EXPECT_TRUE(generator.IsInJob());
  EXPECT_EQ(generator.OutputChannel(), &channel);
  EXPECT_FALSE(generator.OwnsOutputChannel());
  EXPECT_EQ(channel.GetState(), GOutputChannel::kClosed);
  command.TakeOutputChannel();
}

TEST(PDLGeneratorDocumentStart, MakesOpensAndSharesAChannelWhenNoneIsCarried) {
  Registered<GOutputChannelProvider> provider(GOutputChannelProvider::Kind::kMemory);
  TestPDLGenerator generator;
  GObjectRef start(Start());
  auto& command = static_cast<GDocumentStart&>(*start);

  EXPECT_EQ(generator.DocumentStart(command), 0);
  ASSERT_NE(generator.OutputChannel(), nullptr);
  EXPECT_TRUE(generator.OwnsOutputChannel());
  EXPECT_EQ(command.GetOutputChannel(), generator.OutputChannel());
  EXPECT_EQ(generator.OutputChannel()->GetState(), GOutputChannel::kOpen);
}

TEST(PDLGeneratorDocumentStart, ReportsAChannelItCannotUse) {
  enum class Provider { kNone, kFile, kRefusing };
  struct Case {
    const char* name;
    Provider provider;
    const char* output;
    uint16_t status;
  };
  const Case cases[] = {
      {"no_provider", Provider::kNone, "memory", kNoOutputChannel},
      {"channel_not_ready", Provider::kFile, "/nonexistent-directory/out.prn", kNoOutputChannel},
      {"open_refused_with_its_own_status", Provider::kRefusing, "memory", RefusingChannel::kRefusal},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::optional<Registered<GOutputChannelProvider>> file;
    std::optional<Registered<RefusingProvider>> refusing;
    if (c.provider == Provider::kFile) file.emplace(GOutputChannelProvider::Kind::kFile);
    if (c.provider == Provider::kRefusing) refusing.emplace();
    TestPDLGenerator generator;
    GObjectRef start(Start(c.output));
    EXPECT_EQ(generator.DocumentStart(static_cast<GDocumentStart&>(*start)), c.status);
  }
}

TEST(PDLGeneratorDocumentStart, TakesTheMemoryLimitFromTheConfiguration) {
  struct Case {
    const char* name;
    bool hasKey;
    int16_t units;
    uint32_t limit;
  };
  // Before the start the budget has a limit of 5,000 bytes, 1,000 used.
  const Case cases[] = {
      {"hundred_units", true, 100, 1048500},
      {"largest_value", true, 32767, 343561995},
      {"zero_units", true, 0, 0},
      {"no_key_keeps_the_limit", false, 0, 5000},
      {"negative_value_counts_as_no_key", true, -1, 5000},
      {"most_negative_value_counts_as_no_key", true, -32768, 5000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GMemoryOutputChannel channel{RWCString("carried")};
    TestPDLGenerator generator;
    GConfiguration* configuration = ConfigurationOf(generator);
    if (c.hasKey) AddValue(*configuration, GPDLGenerator::kMemoryLimitKey, c.units);
    generator.MemoryBudget().SetLimit(5000);
    generator.ConsumeMemory(1000);
    GObjectRef start(Start());
    static_cast<GDocumentStart&>(*start).SetOutputChannel(&channel);

    EXPECT_EQ(generator.DocumentStart(static_cast<GDocumentStart&>(*start)), 0);
    EXPECT_EQ(generator.MemoryBudget().Limit(), c.limit);
    EXPECT_EQ(generator.MemoryBudget().Used(), 0U);
    static_cast<GDocumentStart&>(*start).TakeOutputChannel();
  }
}

TEST(PDLGeneratorDocumentStart, StopsProgressWhenTheSystemSuppressesIt) {
  GMemoryOutputChannel channel{RWCString("carried")};
  GObjectRef start(Start());
  static_cast<GDocumentStart&>(*start).SetOutputChannel(&channel);

  TestPDLGenerator reporting;
  EXPECT_TRUE(reporting.IsProgressOn());
  reporting.DocumentStart(static_cast<GDocumentStart&>(*start));
  EXPECT_TRUE(reporting.IsProgressOn());

  const auto factory = std::make_unique<ProgressSuppressingFactory>();
  GOSFactory::SetInstance(factory.get());
  TestPDLGenerator quiet;
  quiet.DocumentStart(static_cast<GDocumentStart&>(*start));
  EXPECT_FALSE(quiet.IsProgressOn());
  static_cast<GDocumentStart&>(*start).TakeOutputChannel();
}

// The order of a generator and the stages in front of it.

// Logs "<name>:<handler>" into a log shared with the generator.
class LoggingChild : public CommandRecordingPeripheral {
 public:
  explicit LoggingChild(std::vector<std::string>* log) : log_(log) {}
  uint16_t DocumentEnd(GDocumentEnd& c) override {
    return Log("DocumentEnd", CommandRecordingPeripheral::DocumentEnd(c));
  }
  uint16_t PageStart(GPageStart& c) override { return Log("PageStart", CommandRecordingPeripheral::PageStart(c)); }
  uint16_t PageEnd(GPageEnd& c) override { return Log("PageEnd", CommandRecordingPeripheral::PageEnd(c)); }
  uint16_t JobAbort(GJobAbort& c) override { return Log("JobAbort", CommandRecordingPeripheral::JobAbort(c)); }

 private:
  uint16_t Log(const char* handler, uint16_t status) {
    log_->push_back(std::string("child:") + handler);
    return status;
  }
  std::vector<std::string>* log_;
};

class LoggingGenerator : public TestPDLGenerator {
 public:
  explicit LoggingGenerator(std::vector<std::string>* log) : log_(log) {}
  uint16_t DocumentEnd(GDocumentEnd&) override { return Log("DocumentEnd"); }
  uint16_t PageStart(GPageStart& c) override {
    Log("PageStart");
    return failing == "PageStart" ? failStatus : TestPDLGenerator::PageStart(c);
  }
  uint16_t PageEnd(GPageEnd&) override { return Log("PageEnd"); }
  uint16_t JobAbort(GJobAbort&) override { return Log("JobAbort"); }
  uint16_t HandleError(GErrorCommand&) override { return Log("HandleError"); }

  std::string failing;
  uint16_t failStatus = 0;

 private:
  uint16_t Log(const char* handler) {
    log_->push_back(std::string("generator:") + handler);
    return failing == handler ? failStatus : 0;
  }
  std::vector<std::string>* log_;
};

// A generator with one stage in front of it.
class GeneratorWithChild : public ::testing::Test {
 protected:
  GeneratorWithChild() : channel(RWCString("carried")), generator(new LoggingGenerator(&log)) {
    child = new LoggingChild(&log);
    generator->AddChild(child);
  }

  // The stages in front see commands from a document start on; a document
  // end or abort closes the job.
  void StartJob() {
    GObjectRef start(Start());
    static_cast<GDocumentStart&>(*start).SetOutputChannel(&channel);
    EXPECT_EQ(ErrorCode(Process(*generator, static_cast<GCommand*>(start.Get()))), 0);
    static_cast<GDocumentStart&>(*start).TakeOutputChannel();
    log.clear();
    child->calls.clear();
  }

  GMemoryOutputChannel channel;
  std::vector<std::string> log;
  LoggingGenerator* generator;
  LoggingChild* child;

 private:
  const GObjectRef owner{generator};
};

TEST_F(GeneratorWithChild, PageAndDocumentEndsReachTheChildFirst) {
  struct Case {
    const char* name;
    std::function<GCommand*()> make;
    std::vector<std::string> order;
  };
  const Case cases[] = {
      {"page_start", [] { return new GPageStart; }, {"generator:PageStart", "child:PageStart"}},
      {"page_end", [] { return new GPageEnd; }, {"child:PageEnd", "generator:PageEnd"}},
      {"job_abort", [] { return new GJobAbort; }, {"generator:JobAbort", "child:JobAbort"}},
      {"document_end",
       [] { return new GDocumentEnd(RWWString(), RWWString(), 0); },
       {"child:DocumentEnd", "generator:DocumentEnd"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StartJob();
    EXPECT_EQ(ErrorCode(Process(*generator, c.make())), 0);
    EXPECT_EQ(log, c.order);
  }
}

TEST_F(GeneratorWithChild, AFailingHandlerTurnsTheCommandIntoAnError) {
  struct Case {
    const char* name;
    const char* generatorFails;
    const char* childFails;
    std::function<GCommand*()> make;
    uint16_t status;
    std::vector<std::string> order;
  };
  const Case cases[] = {
      // The child never sees a command the generator refused.
      {"generator_refuses_a_page_start", "PageStart", "", [] { return new GPageStart; }, 5, {"generator:PageStart"}},
      {"generator_refuses_a_page_end",
       "PageEnd",
       "",
       [] { return new GPageEnd; },
       7,
       {"child:PageEnd", "generator:PageEnd"}},
      // The generator is handed what the child answered: the error.
      {"child_refuses_a_page_end", "", "PageEnd", [] { return new GPageEnd; }, 9, {"child:PageEnd"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StartJob();
    generator->failing = c.generatorFails;
    generator->failStatus = c.status;
    child->failingHandler = c.childFails;
    child->status = *c.childFails != '\0' ? c.status : 0;
    GCommand* command = c.make();
    const GObjectRef answer = Process(*generator, command);
    EXPECT_EQ(ErrorCode(answer), c.status);
    auto* error = dynamic_cast<GErrorCommand*>(answer.Get());
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->GetRelatedObject(), command);
    EXPECT_EQ(log, c.order);
  }
}

TEST_F(GeneratorWithChild, AnErrorFromAnEarlierStagePassesUntouched) {
  StartJob();
  GObjectRef pageEnd(new GPageEnd);
  auto* error = new GErrorCommand(3, pageEnd.Get(), 0);
  const GObjectRef answer = Process(*generator, error);
  EXPECT_EQ(answer.Get(), error);
  EXPECT_TRUE(log.empty());
  EXPECT_TRUE(child->calls.empty());
}

// Copies.

// The state a language would leave in a generator during a job.
void FillIn(TestPDLGenerator& generator, int* deletions) {
  generator.SetInJob(true);
  generator.SetInScanLines(true);
  generator.EnterPath();
  generator.EnterPath();
  generator.SetDefiningClip(true);
  generator.FontCounters() = {1, 2, 3};
  generator.MemoryBudget().SetLimit(4000);
  generator.ConsumeMemory(100);
  generator.GetDeviceFontList();
  GiveFontObjects(generator, deletions);
}

TEST(PDLGenerator, ACopyTakesTheJobStateButNoFontObjectsOrBudget) {
  struct Case {
    const char* name;
    std::function<std::unique_ptr<TestPDLGenerator>(const TestPDLGenerator&, int*)> copy;
    int deletionsOfTheTarget;
  };
  const Case cases[] = {
      {"copy_constructor",
       [](const TestPDLGenerator& source, int*) { return std::make_unique<TestPDLGenerator>(source); }, 0},
      {"assignment",
       [](const TestPDLGenerator& source, int* deletions) {
         auto target = std::make_unique<TestPDLGenerator>();
         GiveFontObjects(*target, deletions);
         *target = source;
         return target;
       },
       2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GMemoryOutputChannel channel{RWCString("carried")};
    GObjectRef start(Start());
    static_cast<GDocumentStart&>(*start).SetOutputChannel(&channel);
    int sourceDeletions = 0;
    int targetDeletions = 0;
    TestPDLGenerator source;
    {
      const auto factory = std::make_unique<ProgressSuppressingFactory>();
      GOSFactory::SetInstance(factory.get());
      source.DocumentStart(static_cast<GDocumentStart&>(*start));
    }
    FillIn(source, &sourceDeletions);

    const std::unique_ptr<TestPDLGenerator> copy = c.copy(source, &targetDeletions);
    EXPECT_EQ(targetDeletions, c.deletionsOfTheTarget);
    EXPECT_TRUE(copy->IsInJob());
    EXPECT_TRUE(copy->IsInScanLines());
    EXPECT_EQ(copy->PathDepth(), 2);
    EXPECT_TRUE(copy->IsDefiningClip());
    EXPECT_FALSE(copy->IsProgressOn());
    EXPECT_EQ(copy->DownloadedFontCache(), nullptr);
    EXPECT_EQ(copy->GlyphCodeMapper(), nullptr);
    EXPECT_EQ(copy->FontCounters(), (std::array<int32_t, 3>{0, 0, 0}));
    EXPECT_EQ(copy->MemoryBudget().Limit(), GPrinterMemoryBudget::kDefaultLimit);
    EXPECT_EQ(copy->MemoryBudget().Used(), 0U);
    EXPECT_EQ(copy->DeviceFontListInUse(), nullptr);
    EXPECT_EQ(copy->GetGraphicsDevice(), nullptr);
    EXPECT_TRUE(copy->SameContent(source));
    EXPECT_EQ(sourceDeletions, 0);
    static_cast<GDocumentStart&>(*start).TakeOutputChannel();
  }
}

TEST(PDLGenerator, TheFlagsAndThePathDepthDecideEquality) {
  const TestPDLGenerator plain;
  struct Case {
    const char* name;
    std::function<void(TestPDLGenerator&)> change;
  };
  const Case cases[] = {
      {"job", [](TestPDLGenerator& g) { g.SetInJob(true); }},
      {"scan_lines", [](TestPDLGenerator& g) { g.SetInScanLines(true); }},
      {"path_depth", [](TestPDLGenerator& g) { g.EnterPath(); }},
      {"clip_definition", [](TestPDLGenerator& g) { g.SetDefiningClip(true); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestPDLGenerator changed;
    c.change(changed);
    EXPECT_FALSE(changed.SameContent(plain));
  }
  TestPDLGenerator withBudget;
  withBudget.ConsumeMemory(10);
  EXPECT_TRUE(withBudget.SameContent(plain));
}

TEST(PDLGenerator, ThePathDepthCountsNestedPathsAndNeverGoesNegative) {
  TestPDLGenerator generator;
  generator.LeavePath();
  EXPECT_EQ(generator.PathDepth(), 0);
  generator.EnterPath();
  generator.EnterPath();
  generator.LeavePath();
  EXPECT_TRUE(generator.IsInPath());
  generator.ResetPathDepth();
  EXPECT_FALSE(generator.IsInPath());
}

// Stored form.

TEST(PDLGenerator, RoundTrips) {
  const GObjectRef empty(new TestPDLGenerator(RWCString("generator"), nullptr, nullptr, 101));
  EXPECT_TRUE(RoundTrips(*empty));

  const GObjectRef held(new TestPDLGenerator(RWCString("generator"), nullptr, nullptr, 101));
  auto& generator = static_cast<TestPDLGenerator&>(*held);
  generator.SetInJob(true);
  generator.EnterPath();
  generator.SetDefiningClip(true);
  EXPECT_TRUE(RoundTrips(generator));
}

// The generator's part closes the stored form: version 1, job flag 1,
// scan-line flag 0, path depth 3 (16-bit), clip-definition flag 1.
constexpr char kOwnPart[] =
    "\x01\x00\x00\x00"
    "\x01\x00\x00\x00"
    "\x00\x00\x00\x00"
    "\x03\x00"
    "\x01\x00\x00\x00";
constexpr size_t kOwnPartSize = sizeof(kOwnPart) - 1;

TEST(PDLGenerator, ItsStoredPartIsTheVersionTheFlagsAndThePathDepth) {
  TestPDLGenerator generator(RWCString("g"), nullptr, nullptr, 101);
  generator.SetInJob(true);
  for (int i = 0; i < 3; ++i) generator.EnterPath();
  generator.SetDefiningClip(true);
  const std::string bytes = SaveContentsToFileBytes(generator);
  ASSERT_GE(bytes.size(), kOwnPartSize);
  EXPECT_EQ(bytes.substr(bytes.size() - kOwnPartSize), std::string(kOwnPart, kOwnPartSize));

  const GPeripheralComposite composite(RWCString("g"), nullptr, nullptr, 101, 64, 6, 2);
  EXPECT_EQ(generator.StoredSize(), composite.StoredSize() + kOwnPartSize);
}

TEST(PDLGenerator, ARestoreDeletesTheFontObjectsAndReadsOnlyVersion1) {
  TestPDLGenerator saved(RWCString("g"), nullptr, nullptr, 101);
  const std::string bytes = SaveContentsToFileBytes(saved);
  const std::string composite = bytes.substr(0, bytes.size() - kOwnPartSize);
  struct Case {
    const char* name;
    char version;
    bool inJob;
    int16_t pathDepth;
    bool inScanLines;
  };
  // The target starts out with scan lines on and a path depth of 1.
  const Case cases[] = {
      {"version_1_sets_the_fields", '\x01', true, 3, false},
      {"version_2_leaves_them", '\x02', false, 1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string own(kOwnPart, kOwnPartSize);
    own[0] = c.version;
    int deletions = 0;
    TestPDLGenerator restored;
    restored.SetInScanLines(true);
    restored.EnterPath();
    GiveFontObjects(restored, &deletions);

    RestoreContentsFromFileBytes(restored, composite + own);
    EXPECT_EQ(deletions, 2);
    EXPECT_EQ(restored.DownloadedFontCache(), nullptr);
    EXPECT_EQ(restored.GlyphCodeMapper(), nullptr);
    EXPECT_EQ(restored.IsInJob(), c.inJob);
    EXPECT_EQ(restored.PathDepth(), c.pathDepth);
    EXPECT_EQ(restored.IsInScanLines(), c.inScanLines);
  }
}

// The class and the font queries.

TEST(PDLGenerator, IsKindOfTheGeneratorAndItsBases) {
  const TestPDLGenerator generator;
  for (RWClassID id : {kGPDLGeneratorClassID, kGPeripheralCompositeClassID, kGPeripheralClassID, kGAttributeClassID,
                       kMPersistentObjectClassID}) {
    EXPECT_TRUE(generator.IsKindOf(id)) << id;
  }
  EXPECT_FALSE(generator.IsKindOf(kGPrinterClassID));
}

TEST(PDLGenerator, MixModesMapToRasterOperationCodes) {
  struct Case {
    const char* name;
    int32_t mixMode;
    uint16_t code;
  };
  const Case cases[] = {
      {"black", 1, 0x00},        {"not_merge_pen", 2, 0x05},    {"copy_pen", 13, 0xF0},  {"white", 16, 0xFF},
      {"wraps_above", 17, 0x00}, {"zero_wraps_below", 0, 0xFF}, {"negative", -15, 0x00},
  };
  TestPDLGenerator generator;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(generator.LookupFontCode(c.mixMode), c.code);
  }
}

// The user-interface side asks a generator through its own interface; the
// base says no.
TEST(PDLGenerator, AnswersTheFontEscapeQuestionOfTheUserInterface) {
  TestPDLGenerator generator;
  GFontEscapeCheck& check = generator;
  EXPECT_EQ(check.IsFontEscapeUsable(RWCString("!font")), 0);
}

// Without a language of its own the base serves no font from the printer,
// and a request keeps no printer font from an earlier question.
TEST(PDLGenerator, TheBaseFontQueriesServeNoPrinterFont) {
  TestPDLGenerator generator;
  TestFont font(new TestFontImp(GFontInfo(), GFontMetrics(), std::make_unique<TestPlatformFont>()), nullptr, 3);
  EXPECT_EQ(generator.GetFontCapabilities(font), 1);
  const GDeviceFontDescription earlier;
  GDeviceFontRequest request{GFontInfo(), GFontMetrics(), &earlier};
  uint16_t code = 0xFFFF;
  EXPECT_EQ(generator.MatchDeviceFont(request, 0, 0, code), 1);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(request.deviceFont, nullptr);
}

TEST(PDLGenerator, TheDeviceFontListIsTheConfigurationsOrANewEmptyOne) {
  TestPDLGenerator withList;
  GConfiguration* configuration = ConfigurationOf(withList);
  auto* list = new GDeviceFontListComposite;
  list->SetKey(GPDLGenerator::kDeviceFontListKey);
  configuration->AddChild(list);
  EXPECT_EQ(withList.GetDeviceFontList(), list);
  EXPECT_EQ(withList.DeviceFontListInUse(), list);

  TestPDLGenerator without;
  ConfigurationOf(without);
  AddValue(*without.GetConfiguration(), GPDLGenerator::kDeviceFontListKey, 1);
  GDeviceFontListComposite* made = without.GetDeviceFontList();
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->GetListCount(), 0U);
  EXPECT_EQ(without.DeviceFontListInUse(), made);
}

TEST(PDLGenerator, MemoryGoesThroughTheBudget) {
  TestPDLGenerator generator;
  generator.MemoryBudget().SetLimit(1000);
  EXPECT_EQ(generator.ConsumeMemory(600), 400U);
  EXPECT_EQ(generator.ConsumeMemory(600), 0U);
  EXPECT_EQ(generator.ReleaseMemory(300), 300U);
}

TEST(PDLGenerator, DownloadedFontsKeepTheBudgetInStepAndAreDeletedThroughTheGenerator) {
  TestPDLGenerator generator;
  generator.MemoryBudget().SetLimit(1000);
  GDownloadedFont font(&generator);
  font.SetName("F7");
  font.SetDownloadKind(GDownloadedFont::kOutlineKind);
  font.AddSize(250);
  EXPECT_EQ(generator.MemoryBudget().Used(), 250U);
  font.Unload();
  EXPECT_EQ(generator.MemoryBudget().Used(), 0U);
  EXPECT_EQ(generator.calls, std::vector<std::string>{"DeleteFont:F7"});
}

}  // namespace
