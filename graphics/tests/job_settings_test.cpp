// The job decisions of the graphics device of a job: job start, the
// document and page states, copies, media, the letterhead page and the job
// name stored in the settings.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "device/media/custom_media_size.h"
#include "device/media/media_pool.h"
#include "foundation/testing/string_printers.h"
#include "graphics/clips/transform_attribute.h"
#include "graphics/colour/gray_conversion.h"
#include "graphics/commands/document_command.h"
#include "graphics/commands/page_command.h"
#include "graphics/device/job_graphics_device.h"
#include "graphics/tests/job_device_fixture.h"
#include "model/attributes/capabilities.h"
#include "model/attributes/range_attribute.h"
#include "model/attributes/state.h"
#include "model/attributes/string_attribute.h"
#include "model/attributes/value_attribute.h"
#include "model/objects/binary_data.h"

namespace {

constexpr RWClassID kPclXl = 767;
constexpr RWClassID kPostScript = 768;
constexpr RWClassID kOtherGenerator = 765;

// Capability c of the device with the bits given set (out of 16).
void AddCapability(JobDevice& device, int32_t key, const std::vector<uint32_t>& bits) {
  auto* entry = FindAs<GConfiguration>(&device.Configuration(), 112);
  if (entry == nullptr) {
    entry = new GConfiguration(112);
    device.Configuration().AddChild(entry);
  }
  entry->AddChild(new GCapabilities(key, 16, bits.data(), static_cast<uint16_t>(bits.size())));
}

// Installs the OS factory for the test and takes it away after.
class FactoryScope {
 public:
  FactoryScope() { GOSFactory::SetInstance(&factory); }
  ~FactoryScope() { GOSFactory::SetInstance(nullptr); }
  TestGraphicsDeviceFactory factory;
};

TEST(JobSettings, JobStartDecidesTheImageModeAndTheColourOfTheJob) {
  struct Case {
    const char* name;
    int16_t imageSetting;  // -1: absent
    uint32_t appFlags;
    bool capability136Lacking;
    int16_t colourSetting;  // -1: absent
    int16_t imageMode;
    int32_t colourMode;
  };
  const Case cases[] = {
      {"setting_three", 3, 0, false, -1, 3, 0},
      {"setting_two", 2, 0x200000, false, 0, 2, 1},
      {"absent_full_flag", -1, 0x200000, false, 3, 3, 2},
      {"absent_half_flag", -1, 0x400000, false, 5, 2, 0},
      {"absent_no_flag", -1, 0, false, -1, 1, 0},
      {"check_flag_with_capability_lacking", 1, 0x04000000, true, -1, 3, 0},
      {"check_flag_with_capability_holding", 1, 0x04000000, false, -1, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    JobDevice device;
    GAttributeComposite& job = device.Group(364);
    if (c.imageSetting >= 0) AddValue(job, 255, c.imageSetting);
    if (c.colourSetting >= 0) AddValue(job, 296, c.colourSetting);
    AddValue(job, 293, 1);
    AddValue(job, 585, 1);
    device.SetAppFlags(c.appFlags);
    AddCapability(device, 136, c.capability136Lacking ? std::vector<uint32_t>{} : std::vector<uint32_t>{1});
    EXPECT_EQ(device.StartJob(), 0);
    EXPECT_EQ(device.GetImageMode(), c.imageMode);
    EXPECT_EQ(device.GetColourMode(), c.colourMode);
    EXPECT_EQ(device.IsTreatedAsColour(), 1);
    EXPECT_EQ(device.IsGrayscaleJob(), 1);
  }
}

TEST(JobSettings, PassThroughToAPclXlPrinterFollowsTheSwitchAndThePrinterData) {
  struct Case {
    const char* name;
    int16_t switchValue;   // -1: absent
    int32_t printerValue;  // -1: not written (255)
    int32_t allowed;
    int16_t mode;
  };
  const Case cases[] = {
      {"switch_0_value_1", 0, 1, 1, 3}, {"switch_0_value_absent", 0, -1, 0, 2},
      {"switch_1_value_5", 1, 5, 1, 3}, {"switch_1_value_0", 1, 0, 0, 2},
      {"no_switch", -1, 1, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FactoryScope scope;
    JobDevice device(kPclXl);
    GConfiguration& configuration = device.Configuration();
    if (c.switchValue >= 0) AddValue(configuration, 1115, c.switchValue);
    AddValue(configuration, 561, 1);
    AddValue(configuration, 562, 7);
    if (c.printerValue >= 0) {
      scope.factory.SetPrinterDataDword(device, RWWString("PassThrough"), static_cast<uint32_t>(c.printerValue));
    }
    device.StartJob();
    EXPECT_EQ(device.IsPassThroughAllowed(), c.allowed);
    EXPECT_EQ(ValueOr(&configuration, 561, 0), c.mode);
    if (c.mode == 3) {
      EXPECT_EQ(ValueOr(&configuration, 562, -1), 0);
      ASSERT_NE(FindText(&configuration, 560), nullptr);
      EXPECT_EQ(FindText(&configuration, 560)->Text(), RWCString("PCL XL"));
    }
  }
}

TEST(JobSettings, OtherPrintersTakePassThroughUnlessTheirCapabilityRefusesIt) {
  JobDevice open(kOtherGenerator);
  open.StartJob();
  EXPECT_EQ(open.IsPassThroughAllowed(), 1);
  JobDevice refusing(kOtherGenerator);
  AddCapability(refusing, 565, {});
  refusing.StartJob();
  EXPECT_EQ(refusing.IsPassThroughAllowed(), 0);
}

TEST(JobSettings, APostScriptJobReadsItsOutputOptionsAndMayDisableLayout) {
  struct Case {
    const char* name;
    int16_t optionA;  // -1: absent
    int16_t optionB;
    int16_t fit;
    int16_t expectedA;
    int16_t expectedB;
    int32_t layoutDisabled;
  };
  const Case cases[] = {
      {"no_options", -1, -1, 0, -1, 0, 0},
      {"a_0_without_958", 0, 1, 0, 0, 1, 0},
      {"a_1_treats_as_colour", 1, 2, 0, 1, 2, 0},
      {"a_other_is_2", 7, 3, 0, 2, 0, 0},
      {"fitting_disables_layout", -1, -1, 1, -1, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    JobDevice device(kPostScript);
    GAttributeComposite& job = device.Group(364);
    AddValue(job, 293, 1);
    if (c.optionA >= 0) AddValue(job, 570, c.optionA);
    if (c.optionB >= 0) AddValue(job, 571, c.optionB);
    AddValue(*device.documentSettings, 279, c.fit);
    device.SetAppFlags(0x20000);
    device.StartJob();
    EXPECT_EQ(device.IsPostScriptJob(), 1);
    EXPECT_EQ(device.GetPostScriptOptionA(), c.expectedA);
    EXPECT_EQ(device.GetPostScriptOptionB(), c.expectedB);
    EXPECT_EQ(device.IsTreatedAsColour(), c.optionA == 0 || c.optionA == 7 ? 0 : 1);
    EXPECT_EQ(device.IsLayoutDisabled(), c.layoutDisabled);
  }
}

TEST(JobSettings, PageScalingAsksTheChainForEachPagesScale) {
  struct Case {
    const char* name;
    bool bitSet;
    std::pair<float, float> scale;
    int32_t possible;
    int32_t scaled;
  };
  const Case cases[] = {
      {"half_size", false, {0.5F, 0.5F}, 1, 1},
      {"unscaled", false, {1.0F, 1.0F}, 1, 0},
      {"chain_answered", false, {0.0F, 0.0F}, 1, 0},
      {"capability_forbids", true, {0.5F, 0.5F}, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    JobDevice device;
    AddCapability(device, 135, c.bitSet ? std::vector<uint32_t>{1} : std::vector<uint32_t>{});
    device.head->scale = c.scale;
    device.Invalidate(*device.CreatePrinterIdentity());
    EXPECT_EQ(device.IsPageScalingPossible(), c.possible);
    device.StartPage();
    device.StartPage();
    EXPECT_EQ(device.IsPageScaled(), c.scaled);
    const std::vector<int32_t> queries = c.possible != 0 ? std::vector<int32_t>{1, 2} : std::vector<int32_t>{};
    EXPECT_EQ(device.head->scaleQueries, queries);
    EXPECT_EQ(device.SendNoCommand(), 0);
    EXPECT_EQ(device.head->Handlers(), std::vector<std::string>{}) << "the scale of this page is known";
  }
}

TEST(JobSettings, TheDocumentStateTellsALocalPortFromOthers) {
  struct Case {
    const char* port;
    int16_t kind;
  };
  const Case cases[] = {{"LPT1:", 1}, {"USB001", 1}, {"DOT4_001", 1}, {"FILE:", 3}, {"", 3}, {"XLPT1:", 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.port);
    JobDevice device(kPclXl, c.port);
    const std::unique_ptr<GState> state = device.BuildDocumentState();
    EXPECT_EQ(state->Key(), GDocumentCommand::kStateKey);
    EXPECT_EQ(ValueOr(state.get(), 1012, 0), c.kind);
  }
}

TEST(JobSettings, CopiesGoToTheJobOrToThePages) {
  struct Case {
    const char* name;
    int16_t atDevice, collate, uncollated;
    int16_t jobCopies, pageCopies;
  };
  const Case cases[] = {
      {"collated_at_the_device", 1, 1, 0, 5, 1},
      {"uncollated_at_the_device", 1, 0, 1, 5, 1},
      {"neither", 1, 0, 0, 1, 5},
      {"not_at_the_device", 0, 1, 1, 1, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    JobDevice device;
    device.Group(362);
    device.Group(363);
    AddValue(device.Group(364), 291, 5);
    AddValue(device.Group(364), 292, c.collate);
    AddValue(device.Group(365), 310, c.atDevice);
    AddValue(device.Group(365), 451, c.uncollated);
    const std::unique_ptr<GState> state = device.BuildDocumentState();
    EXPECT_EQ(ValueOr(&device.Group(362), 247, 0), c.jobCopies);
    EXPECT_EQ(ValueOr(&device.Group(363), 257, 0), c.pageCopies);
    EXPECT_EQ(ValueOr(&device.Group(362), 291, 0), 5) << "the document group carries the count";
    EXPECT_EQ(ValueOr(state.get(), 247, 0), c.jobCopies) << "and so does the document state";
    const std::unique_ptr<GPageEnd> end = device.EndPage();
    EXPECT_EQ(ValueOr(end->GetState(), 257, 0), c.pageCopies) << "every page end carries the page copies";
  }
}

TEST(JobSettings, ARequestedCopyCountIsClampedToTheDevicesRange) {
  struct Case {
    const char* name;
    int32_t requested;
    int32_t granted;
  };
  const Case cases[] = {{"negative", -3, 1}, {"zero", 0, 0}, {"within", 12, 12}, {"above_maximum", 500, 99}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    JobDevice device;
    device.Configuration().AddChild(new GRangeAttribute(1, 99, 1, 1, 199));
    AddValue(device.Group(364), 291, 4);
    int32_t granted = -1;
    EXPECT_EQ(device.SetCopies(c.requested, granted), 4) << "the count stored before";
    EXPECT_EQ(granted, c.granted);
    EXPECT_EQ(ValueOr(&device.Group(364), 291, 0), c.granted);
    EXPECT_EQ(ValueOr(device.BuildDocumentState().get(), 600, -1), c.granted);
  }
}

// A device whose media pool holds letter (size id 1) with its printable
// area 100 dots in, the document group asking for it, and the media types
// of first and later pages.
void SetUpLetter(JobDevice& device) {
  GMediaPool* pool = AddMediaPool(device.Configuration(), 189);
  pool->AddChild(MakeMedium(1, {5100, 6600}, {4900, 6400}, {100, 100}).release());
  AddValue(device.Group(362), 260, 1);
  GAttributeComposite& job = device.Group(364);
  job.AddChild(new GStringAttribute("Bond", 261));
  job.AddChild(new GStringAttribute("Plain", 262));
  AddValue(job, 264, 1);
}

TEST(JobSettings, PagesGetTheirMediumWithTheMediaTypeOfFirstOrLaterPages) {
  JobDevice device;
  SetUpLetter(device);
  const std::unique_ptr<GState> document = device.BuildDocumentState();
  const auto* medium = FindAs<GMedia>(document.get(), 259);
  ASSERT_NE(medium, nullptr);
  EXPECT_EQ(medium->GetSizeId(), 1);
  EXPECT_EQ(medium->GetMediaType(), RWCString("Bond"));
  EXPECT_EQ(document->FindByKey(260), nullptr) << "the medium replaces the size setting";

  std::vector<std::string> types;
  for (int page = 1; page <= 3; ++page) {
    const std::unique_ptr<GPageStart> start = device.StartPage();
    const auto* pageMedium = FindAs<GMedia>(start->GetState(), 259);
    ASSERT_NE(pageMedium, nullptr);
    types.emplace_back(pageMedium->GetMediaType().Data());
    const auto* transform =
        dynamic_cast<GTransformAttribute*>(start->GetState()->FindByClassId(kGTransformAttributeClassID));
    ASSERT_NE(transform, nullptr) << "pages are placed at the printable origin";
    EXPECT_EQ(transform->GetOffset(), (GPoint{100, 100}));
  }
  EXPECT_EQ(types, (std::vector<std::string>{"Bond", "Plain", "Plain"}));

  device.SetMediaOverride(1);
  EXPECT_EQ(FindAs<GMedia>(device.StartPage()->GetState(), 259)->GetMediaType(), RWCString("Bond"));
}

TEST(JobSettings, AnUnresolvedSubstituteMediumIsSwitchedOff) {
  JobDevice device;
  SetUpLetter(device);
  AddValue(device.Group(362), 270, 1);
  AddValue(device.Group(362), 272, 1);
  const std::unique_ptr<GState> resolved = device.BuildDocumentState();
  EXPECT_NE(FindAs<GMedia>(resolved.get(), 273), nullptr);
  EXPECT_EQ(resolved->FindByKey(272), nullptr);

  FindAs<GValueAttribute>(&device.Group(362), 272)->SetValue(77);
  const std::unique_ptr<GState> unresolved = device.BuildDocumentState();
  EXPECT_EQ(FindAs<GMedia>(unresolved.get(), 273), nullptr);
  EXPECT_EQ(ValueOr(unresolved.get(), 270, -1), 0);
}

TEST(JobSettings, MarginSettingsMakeTheMarginsOfTheResolvedMedium) {
  JobDevice device;
  SetUpLetter(device);
  AddValue(*device.documentSettings, 442, 1);
  AddValue(*device.documentSettings, 501, 2500);  // a quarter inch
  AddValue(*device.documentSettings, 502, 5000);
  const std::unique_ptr<GMedia> medium = device.ResolveMediaById(1);
  ASSERT_NE(medium, nullptr);
  EXPECT_EQ(medium->GetPrintableOrigin(), (GDotPair{150, 300}));
  EXPECT_EQ(medium->GetPrintableSize(), (GDotPair{4800, 6000}));
  EXPECT_EQ(medium->GetPaperSize(), (GDotPair{5100, 6600}));
}

TEST(JobSettings, AMediumIsTurnedByResolvingItsSizeAgain) {
  JobDevice device;
  SetUpLetter(device);
  GMediaPool* pool = FindAs<GMediaPool>(&device.Configuration(), 189);
  pool->AddChild(MakeMedium(1, {6600, 5100}, {6400, 4900}, {100, 100}, 90).release());
  // A custom size of 2 by 3 inches, at 600 dots.
  auto* sizes = new GConfiguration(276);
  sizes->AddChild(new GCustomMediaSize(0x4001, RWCString("card"), kHundredthsOfInch, 200, 300, 0));
  device.Configuration().AddChild(sizes);
  struct Case {
    const char* name;
    int16_t sizeId;
    int32_t orientation;
    GDotPair paper;
  };
  const Case cases[] = {
      {"pool_size_turned", 1, 90, {6600, 5100}},
      {"pool_size_already_so", 1, 0, {5100, 6600}},
      {"custom_size_turned", 0x4001, 90, {1800, 1200}},
      {"unknown_size_left_alone", 55, 90, {5100, 6600}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<GMedia> medium = MakeMedium(c.sizeId, {5100, 6600});
    medium->SetKey(259);
    device.ResolveMedia(*medium, c.orientation);
    EXPECT_EQ(medium->GetPaperSize(), c.paper);
    EXPECT_EQ(medium->Key(), 259) << "the medium keeps its key";
  }
}

TEST(JobSettings, ReloadedSettingsReplaceTheJobGroupsAndSplitTheCopiesAgain) {
  JobDevice device;
  AddValue(device.Group(362), 1, 1);
  AddValue(device.Group(365), 310, 0);
  device.storedSettings = std::make_unique<GAttributeComposite>(360);
  AddValue(*AddGroup(*device.storedSettings, 362), 2, 2);
  AddGroup(*device.storedSettings, 363);
  AddValue(*AddGroup(*device.storedSettings, 364), 291, 3);
  device.ReloadSettings();
  EXPECT_EQ(FindValue(&device.Group(362), 1), std::nullopt) << "the old group went";
  EXPECT_EQ(ValueOr(&device.Group(362), 2, 0), 2);
  EXPECT_EQ(ValueOr(&device.Group(363), 257, 0), 3);
  EXPECT_EQ(ValueOr(&device.Group(365), 310, -1), 0) << "other groups stay";
}

TEST(JobSettings, FinishingSettingsMoveFromAnotherDevice) {
  JobDevice from;
  JobDevice to;
  AddValue(from.Group(362), 975, 4);
  AddValue(from.Group(362), 1131, 5);
  AddValue(from.Group(362), 12, 6);
  AddValue(to.Group(362), 975, 1);
  to.TakeFinishingSettings(from);
  EXPECT_EQ(ValueOr(&to.Group(362), 975, 0), 4);
  EXPECT_EQ(ValueOr(&to.Group(362), 1131, 0), 5);
  EXPECT_EQ(FindValue(&to.Group(362), 12), std::nullopt) << "only finishing settings move";
  EXPECT_EQ(FindValue(&from.Group(362), 975), std::nullopt);
  EXPECT_EQ(ValueOr(&from.Group(362), 12, 0), 6);
}

TEST(JobSettings, ALetterheadJobSendsABlankFirstPage) {
  JobDevice device;
  SetUpLetter(device);
  const GObjectRef bond(device.Group(364).RemoveChildByKey(261));
  device.Group(364).AddChild(new GStringAttribute("Letterhead", 261));
  AddValue(device.Group(365), 1212, 1);
  AddValue(device.Group(329), 266, 1);
  AddValue(device.Group(362), 253, 0);
  EXPECT_EQ(device.EmitLetterheadBlankPage(), 0) << "nothing due yet";
  EXPECT_TRUE(device.head->calls.empty());
  const std::unique_ptr<GPageStart> first = device.StartPage();
  EXPECT_EQ(ValueOr(first->GetState(), 253, -1), 2);
  EXPECT_EQ(device.EmitLetterheadBlankPage(), 0);
  EXPECT_EQ(device.head->Handlers(), (std::vector<std::string>{"PageStart", "PageEnd"}));
  EXPECT_EQ(device.GetPageCount(), 1) << "the blank page takes the first page's number";
  EXPECT_EQ(device.EmitLetterheadBlankPage(), 0);
  EXPECT_EQ(device.head->calls.size(), 2u) << "sent once";
}

TEST(JobSettings, JobStorageStateIsTheMatchingEntryOrOff) {
  JobDevice device;
  std::unique_ptr<GAttributeComposite> off = device.GetJobStorageState();
  EXPECT_EQ(off->Key(), 379);
  EXPECT_EQ(ValueOr(off.get(), 382, 0), 2);

  GAttributeComposite* storage = AddGroup(device.Group(364), 379);
  AddValue(*storage, 382, 1);
  AddValue(*storage, 381, 0);
  storage->AddChild(new GStringAttribute("Proof", 383));
  GAttributeComposite* entries = AddGroup(device.Group(366), 378);
  GAttributeComposite* other = AddGroup(*entries, 5);
  other->AddChild(new GStringAttribute("Other", 384));
  GAttributeComposite* proof = AddGroup(*entries, 6);
  proof->AddChild(new GStringAttribute("Proof", 384));
  AddValue(*proof, 390, 77);
  const std::unique_ptr<GAttributeComposite> state = device.GetJobStorageState();
  EXPECT_EQ(state->Key(), 379);
  EXPECT_EQ(ValueOr(state.get(), 390, 0), 77);
  EXPECT_EQ(ValueOr(state.get(), 382, 0), 1);
  EXPECT_EQ(ValueOr(state.get(), 381, -1), 0);
  EXPECT_EQ(device.IsJobStorageActive(), 1);

  FindAs<GValueAttribute>(storage, 381)->SetValue(1);
  EXPECT_EQ(device.FindJobStorageEntry(), nullptr) << "stored by someone else";
}

// The OS factory of the job-name tests: a fixed local time.
class FixedTimeFactory : public TestGraphicsDeviceFactory {
 public:
  int32_t GetLocalTime(GDateTime& now, GDateTime& shifted, int16_t& minuteOffset) override {
    now = GDateTime{2026, 12, 11, 9, 30, 5, 0, 5};
    shifted = now;
    minuteOffset = 0;
    return 1;
  }
};

TEST(JobSettings, TheJobNameIsStoredInTheDocumentGroupAndCarriedByTheDocumentStart) {
  struct Case {
    const char* name;
    const char* documentName;
    bool uniqueId;
    bool utf8;
    const char* jobName;
    const char* narrowName;
  };
  const Case cases[] = {
      {"application_prefix_dropped", "C:\\docs\\Microsoft Word - Report.doc", false, false, "REPORT.DOC", "REPORT.DOC"},
      {"unique_id_appended", "Quarterly report 2026", true, false, "QUARTERLY REP42", "QUARTERLY REP42"},
      {"no_name_gives_the_time_stamp", "", false, false, "20261211093005", "20261211093005"},
      // Without a character map no name is valid, but the printer still
      // gets the UTF-8 name.
      {"utf8_without_character_map", "Menu du caf\xE9", false, true, "20261211093005", "Menu du caf\xC3\xA9"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FixedTimeFactory factory;
    GOSFactory::SetInstance(&factory);
    JobDevice device;
    GAttributeComposite& document = device.Group(362);
    document.AddChild(new GStringAttribute("", 1031));
    if (c.uniqueId) {
      AddValue(document, 1214, 1);
      document.AddChild(new GStringAttribute("on", 1213));
      factory.SetPrinterDataString(device, RWWString("JobStorageUniqueID"), RWWString("42"));
    }
    if (c.utf8) AddValue(document, 1027, 1);
    device.SetDocumentPending(RWWString(c.documentName), RWWString("LPT1:"));
    EXPECT_EQ(device.UpdateJobNameSetting(), RWCString(c.narrowName));
    EXPECT_EQ(FindText(&document, 1031)->Text(), RWCString(c.narrowName));
    EXPECT_EQ(device.GetJobName(), RWWString(c.jobName));
    device.FlushPendingDocument();
    ASSERT_FALSE(device.head->calls.empty());
    EXPECT_EQ(static_cast<const GDocumentStart*>(device.head->calls[0].command)->GetAlternateName(),
              RWCString(c.narrowName));
    GOSFactory::SetInstance(nullptr);
  }

  JobDevice without;
  EXPECT_EQ(without.UpdateJobNameSetting(), RWCString());
  EXPECT_EQ(without.GetJobName().Length(), 0u);
}

TEST(JobSettings, GreyModeTwoNeedsTheWeightsOfTheDevice) {
  JobDevice device;
  device.SetGrayMode(2);
  EXPECT_EQ(device.GetGrayConversion(), &GrayStandard) << "no weights";
  auto* group = new GConfiguration(970);
  uint8_t weights[] = {1, 1, 1, 1};
  group->AddChild(new GBinaryData(weights, 4, 0, 971));
  device.Configuration().AddChild(group);
  device.SetGrayMode(2);
  EXPECT_EQ(device.GetGrayConversion(), &GrayWeighted);
  device.SetGrayMode(1);
  EXPECT_EQ(device.GetGrayConversion(), &GrayStandard) << "no tables";
}

}  // namespace
