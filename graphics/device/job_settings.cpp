// The job decisions of the graphics device of a job: what it decides at job
// start, the document and page states it builds from the document
// settings, media by size id, copies, job storage, the letterhead page and
// the job name.
#include <algorithm>
#include <array>
#include <optional>

#include "device/driver/tree_lookup.h"
#include "device/media/custom_media_size.h"
#include "device/media/media_builder.h"
#include "graphics/clips/transform_attribute.h"
#include "graphics/commands/document_command.h"
#include "graphics/commands/page_command.h"
#include "graphics/device/job_graphics_device.h"
#include "graphics/device/job_name.h"
#include "model/attributes/capabilities.h"
#include "model/attributes/configuration.h"
#include "model/attributes/range_attribute.h"
#include "model/attributes/state.h"
#include "model/attributes/string_attribute.h"
#include "model/attributes/value_attribute.h"
#include "model/objects/binary_data.h"
#include "model/os/osfactry.h"

namespace {

// Groups of the document settings.
constexpr int32_t kDocumentGroup = 362;
constexpr int32_t kPageGroup = 363;
constexpr int32_t kJobGroup = 364;
constexpr int32_t kFinishingGroup = 365;
constexpr int32_t kLayoutGroup = 329;

// Configuration entries.
constexpr int32_t kCapabilitiesEntry = 112;
constexpr int32_t kGrayDataGroup = 970;
constexpr int32_t kGrayWeightsKey = 971;
constexpr int32_t kGrayTablesKey = 972;
constexpr int32_t kJobNameMapKey = 1026;
constexpr int32_t kPassThroughSwitchKey = 1115;
constexpr int32_t kCopiesRangeKey = 199;
constexpr int32_t kPdlModeKey = 561;
constexpr int32_t kPdlSwitchKey = 562;
constexpr int32_t kPdlNameKey = 560;

// Settings.
constexpr int32_t kMediaKey = 259;
constexpr int32_t kMediaSizeKey = 260;
constexpr int32_t kFirstPagesTypeKey = 261;
constexpr int32_t kOtherPagesTypeKey = 262;
constexpr int32_t kFirstPagesSourceKey = 258;
constexpr int32_t kOtherPagesSourceKey = 263;
constexpr int32_t kSeparateFirstPagesKey = 264;
constexpr int32_t kOrientationKey = 265;
constexpr int32_t kPagesPerSheetKey = 266;
constexpr int32_t kScaleKey = 269;
constexpr int32_t kSubstituteKey = 270;
constexpr int32_t kSubstituteFlagKey = 271;
constexpr int32_t kSubstituteSizeKey = 272;
constexpr int32_t kSubstituteMediaKey = 273;
constexpr int32_t kFitKey = 279;
constexpr int32_t kFitSizeKey = 280;
constexpr int32_t kFitMediaKey = 281;
constexpr int32_t kResolutionGroupKey = 249;
constexpr int32_t kCoverPagesKey = 253;
constexpr int32_t kJobCopiesKey = 247;
constexpr int32_t kPageCopiesKey = 257;
constexpr int32_t kCopiesKey = 291;
constexpr int32_t kCollateKey = 292;
constexpr int32_t kTreatAsColourKey = 293;
constexpr int32_t kColourModeKey = 296;
constexpr int32_t kColourControlKey = 295;
constexpr int32_t kCopiesAtDeviceKey = 310;
constexpr int32_t kXResolutionKey = 323;
constexpr int32_t kYResolutionKey = 324;
constexpr int32_t kImageModeKey = 255;
constexpr int32_t kMarginsKey = 442;
constexpr int32_t kUncollatedKey = 451;
constexpr int32_t kXMarginKey = 501;
constexpr int32_t kYMarginKey = 502;
constexpr int32_t kPostScriptOutputAKey = 570;
constexpr int32_t kPostScriptOutputBKey = 571;
constexpr int32_t kGreyscaleKey = 585;
constexpr int32_t kCopiesStateKey = 600;
constexpr int32_t kGrayModeKey = 910;
constexpr int32_t kAutoSelectKey = 915;
constexpr int32_t kPortKindKey = 1012;
constexpr int32_t kUtf8NameKey = 1027;
constexpr int32_t kJobNameKey = 1031;
constexpr int32_t kFallbackNameKey = 1032;
constexpr int32_t kLetterheadKey = 1212;
constexpr int32_t kUniqueIdTextKey = 1213;
constexpr int32_t kUniqueIdKey = 1214;
// Job storage: the group, its mode and owner, its name and the entries.
constexpr int32_t kJobStorageGroup = 379;
constexpr int32_t kJobStorageOwnerKey = 381;
constexpr int32_t kJobStorageModeKey = 382;
constexpr int32_t kJobStorageNameKey = 383;
constexpr int32_t kJobStorageEntryNameKey = 384;
constexpr int32_t kJobStorageEntriesGroup = 366;
constexpr int32_t kJobStorageEntriesKey = 378;
constexpr int16_t kJobStorageOff = 2;

// The colour settings of the job group that the document state carries.
constexpr std::array kColourSettings = {293, 296, 297, 405};
constexpr std::array kColourControlSettings = {304, 295, 208, 227};
constexpr std::array kPostScriptSettings = {582, 584, 583, 570, 571, 605, 608};
constexpr std::array kPageSettingsOfDocument = {265, 260, 249, 253};
constexpr std::array kFinishingSettings = {975, 999, 1000, 1007, 1008, 1022, 1131};

// Application flags.
constexpr uint32_t kAppImageModeFull = 0x200000;
constexpr uint32_t kAppImageModeHalf = 0x400000;
constexpr uint32_t kAppImageCheck1 = 0x04000000;
constexpr uint32_t kAppImageCheck2 = 0x08000000;
constexpr uint32_t kAppNoCapabilityFlag = 0x800000;
constexpr uint32_t kAppNoPclXlFlags = 0x8;
constexpr uint32_t kAppLayoutCheck = 0x20000;

constexpr RWClassID kGeneratorClassID = 765;
constexpr RWClassID kPclXlClassID = 767;
constexpr RWClassID kPostScriptClassID = 768;

// Size ids of custom sizes.
constexpr int16_t kCustomSizeIds = 0x4000;
bool IsCustomSizeId(int16_t sizeId) { return sizeId >= kCustomSizeIds && sizeId <= GDriver::kLastCustomSizeId; }

// Comparisons of a setting that is absent are false.
bool Is(MPersistentObject* node, int32_t key, int16_t value) { return FindValue(node, key) == value; }
bool IsNot(MPersistentObject* node, int32_t key, int16_t value) {
  const std::optional<int16_t> found = FindValue(node, key);
  return found.has_value() && *found != value;
}

// Sets the value attribute of the key in node, adding one when absent.
void PutValue(MPersistentObject& node, int32_t key, int16_t value) {
  if (auto* attribute = FindAs<GValueAttribute>(&node, key); attribute != nullptr) {
    attribute->SetValue(value);
  } else {
    node.AddChild(new GValueAttribute(value, key));
  }
}

// Adds a deep copy of the node of the key below source, when there is one.
void AddCopy(MPersistentObject& target, MPersistentObject* source, int32_t key) {
  if (MPersistentObject* found = source != nullptr ? source->FindByKey(key) : nullptr; found != nullptr) {
    target.AddChild(found->DeepCopy());
  }
}

// Adds deep copies of every child of source.
void AddChildCopies(MPersistentObject& target, MPersistentObject* source) {
  if (source == nullptr) return;
  ForEachChildAs<MPersistentObject>(*source, [&target](MPersistentObject& child) {
    target.AddChild(child.DeepCopy());
    return true;
  });
}

// The bytes of the binary attribute of the key below node, empty when none.
std::span<const uint8_t> Bytes(MPersistentObject* node, int32_t key) {
  const auto* data = FindAs<GBinaryData>(node, key);
  if (data == nullptr || data->Data() == nullptr) return {};
  return {data->Data(), data->Length()};
}

RWCString TextOf(MPersistentObject* node, int32_t key) {
  const GStringAttribute* text = FindText(node, key);
  return text != nullptr ? text->Text() : RWCString();
}

// The port is local when its name begins with LPT, USB or DOT4, as the
// first occurrences of its letters tell.
bool IsLocalPort(const RWWString& port) {
  const auto at = [&port](const char* letters) {
    for (uint32_t i = 0; letters[i] != '\0'; ++i) {
      if (port.FindChar(static_cast<WideChar>(letters[i])) != i) return false;
    }
    return true;
  };
  return at("LPT") || at("USB") || at("DOT4");
}

}  // namespace

// ---- Job start

int32_t GJobGraphicsDevice::StartJob() {
  jobStatus_ = kJobNormal;
  copies_ = 0;
  documentPending_ = 0;
  documentStarted_ = 0;
  currentColour_ = defaultColour_;
  capKind_ = defaultCapKind_;
  jointKind_ = defaultJointKind_;
  miterLimit_ = defaultMiterLimit_;
  MPersistentObject* job = Group(kJobGroup);
  treatAsColour_ = Is(job, kTreatAsColourKey, 1) ? 1 : 0;
  grayscaleJob_ = Is(job, kGreyscaleKey, 1) ? 1 : 0;
  GPeripheral* generator = FindGenerator();
  generatorClass_ = static_cast<int16_t>(generator != nullptr ? generator->ClassID() : kGeneratorClassID);
  postScriptJob_ = generator != nullptr && generator->IsKindOf(kPostScriptClassID) ? 1 : 0;
  fontMarker_ = 0x8000;
  DecidePassThrough(generator);
  DecidePostScriptOptions();
  DecideImageMode();
  DecidePageScaling();
  if (const std::optional<int16_t> colour = FindValue(job, kColourModeKey); colour) {
    colourMode_ = *colour == 0 ? 1 : *colour == 3 ? 2 : 0;
  }
  DecideCapabilityFlags(generator);
  DecideLayout();
  ResetDrawingState();
  return 0;
}

void GJobGraphicsDevice::DecidePassThrough(GPeripheral* generator) {
  passThroughAllowed_ = 0;
  GConfiguration* configuration = Configuration();
  if (generator == nullptr || !generator->IsKindOf(kPclXlClassID)) {
    passThroughAllowed_ = CapabilityBit(565, 0) == false ? 0 : 1;
    return;
  }
  const std::optional<int16_t> switchValue = FindValue(configuration, kPassThroughSwitchKey);
  if (!switchValue) return;
  GOSFactory* factory = GOSFactory::Instance();
  const uint32_t printerValue =
      factory != nullptr ? factory->GetPrinterDataDword(*this, RWWString("PassThrough"), 255) : 255;
  passThroughAllowed_ = (*switchValue == 0 && printerValue == 1) || (*switchValue == 1 && printerValue != 0) ? 1 : 0;
  const std::optional<int16_t> mode = FindValue(configuration, kPdlModeKey);
  if (passThroughAllowed_ != 0 && mode.has_value() && *mode <= 3) {
    PutValue(*configuration, kPdlModeKey, 3);
    PutValue(*configuration, kPdlSwitchKey, 0);
    if (GStringAttribute* name = FindText(configuration, kPdlNameKey); name != nullptr) {
      name->SetText(RWCString("PCL XL"));
    } else {
      configuration->AddChild(new GStringAttribute("PCL XL", kPdlNameKey));
    }
  } else {
    PutValue(*configuration, kPdlModeKey, 2);
    PutValue(*configuration, kPdlSwitchKey, 1);
  }
}

void GJobGraphicsDevice::DecidePostScriptOptions() {
  if (postScriptJob_ == 0) return;
  postScriptOptionA_ = -1;
  postScriptOptionB_ = 0;
  MPersistentObject* job = Group(kJobGroup);
  if (const std::optional<int16_t> a = FindValue(job, kPostScriptOutputAKey); a) {
    treatAsColour_ = 0;
    postScriptOptionA_ = 2;
    if (*a == 0) postScriptOptionA_ = GetConfigurationValue958() != 0 ? 1 : 0;
    if (*a == 1) {
      treatAsColour_ = 1;
      postScriptOptionA_ = 1;
    }
  }
  if (const std::optional<int16_t> b = FindValue(job, kPostScriptOutputBKey); b && *b >= 0 && *b <= 2) {
    postScriptOptionB_ = *b;
  }
}

void GJobGraphicsDevice::DecideImageMode() {
  const uint32_t flags = GetAppFlags();
  const std::optional<int16_t> mode = FindValue(Group(kJobGroup), kImageModeKey);
  if (mode && *mode >= 1 && *mode <= 3) {
    imageMode_ = *mode;
  } else {
    imageMode_ = (flags & kAppImageModeFull) != 0 ? 3 : (flags & kAppImageModeHalf) != 0 ? 2 : 1;
  }
  if (imageMode_ != 3 && (flags & kAppImageCheck1) != 0 && CapabilityBit(136, 1) == false) imageMode_ = 3;
  if (imageMode_ != 3 && (flags & kAppImageCheck2) != 0 && CapabilityBit(136, 2) == false) imageMode_ = 3;
}

void GJobGraphicsDevice::DecidePageScaling() {
  const std::optional<bool> bit = CapabilityBit(135, imageMode_ == 1 ? 1 : 4);
  if (!bit) return;
  GPeripheral* head = GetPipelineHead();
  pageScalingPossible_ = *bit || head == nullptr ? 0 : head->IsScalable();
}

void GJobGraphicsDevice::DecideCapabilityFlags(GPeripheral* generator) {
  if (FindAs<MPersistentObject>(Configuration(), kCapabilitiesEntry) == nullptr) return;
  capabilityFlag1_ = CapabilityBit(113, 1).value_or(false) ? 1 : 0;
  const bool appFlag = (GetAppFlags() & kAppNoCapabilityFlag) != 0;
  if (CapabilityBit(120, 9) == false || TestImageMode(0) || (appFlag && capabilityFlag1_ == 0)) {
    capabilityFlag1_ = 0;
  } else {
    capabilityFlag2_ = 1;
  }
  if (generator != nullptr && generator->IsKindOf(kPclXlClassID) && (GetAppFlags() & kAppNoPclXlFlags) != 0) {
    capabilityFlag1_ = 0;
    capabilityFlag2_ = 0;
  }
}

void GJobGraphicsDevice::DecideLayout() {
  layoutDisabled_ = 0;
  if (postScriptJob_ == 0 || (GetAppFlags() & kAppLayoutCheck) == 0) return;
  const bool fit = IsNot(GetDocumentSettings(), kFitKey, 0);
  layoutDisabled_ = fit || IsNot(Group(kLayoutGroup), kPagesPerSheetKey, 0) ? 1 : 0;
}

bool GJobGraphicsDevice::TestImageMode(int32_t flag) const { return imageMode_ == 3 || (imageMode_ == 2 && flag == 0); }

void GJobGraphicsDevice::SetGrayMode(int32_t mode) {
  MPersistentObject* grayData = FindAs<MPersistentObject>(Configuration(), kGrayDataGroup);
  if (mode == 2) {
    if (const std::span<const uint8_t> weights = Bytes(grayData, kGrayWeightsKey); weights.size() >= 4) {
      SetGrayWeights(weights.first<4>());
      SetGrayConversion(GrayWeighted);
      return;
    }
  }
  if (mode == 1) {
    if (const std::span<const uint8_t> tables = Bytes(grayData, kGrayTablesKey); tables.size() >= kGrayTablesSize) {
      SetGrayTables(tables.first<kGrayTablesSize>());
      SetGrayConversion(GrayFromTables);
      return;
    }
  }
  SetGrayConversion(GrayStandard);
}

// ---- Document state

std::unique_ptr<GState> GJobGraphicsDevice::BuildDocumentState() {
  SplitCopies(FindAs<GAttributeComposite>(GetDocumentSettings(), kJobGroup),
              FindAs<GAttributeComposite>(GetDocumentSettings(), kDocumentGroup),
              FindAs<GAttributeComposite>(GetDocumentSettings(), kPageGroup),
              FindAs<GAttributeComposite>(GetDocumentSettings(), kFinishingGroup));
  auto state = std::make_unique<GState>(GDocumentCommand::kStateKey);
  AddChildCopies(*state, Group(kDocumentGroup));
  AddCopy(*state, GetDocumentSettings(), kMarginsKey);
  AddPortKind(*state);
  if (Is(Group(kFinishingGroup), kAutoSelectKey, 1) && Is(state.get(), kSubstituteKey, 0)) {
    SelectMediaAutomatically(*state);
  }
  AddMedia(*state);
  ResolveMediaSetting(*state, kSubstituteKey, kSubstituteSizeKey, kSubstituteMediaKey, false);
  ResolveMediaSetting(*state, kFitKey, kFitSizeKey, kFitMediaKey, layoutDisabled_ != 0);
  AddColourSettings(*state);
  state->AddChild(GetJobStorageState().release());
  state->AddChild(new GValueAttribute(static_cast<int16_t>(copies_), kCopiesStateKey));
  return state;
}

void GJobGraphicsDevice::ResolveMediaSetting(GState& state, int32_t flagKey, int32_t sizeKey, int32_t mediaKey,
                                             bool refused) {
  const std::optional<int16_t> flag = FindValue(&state, flagKey);
  const bool asked = flagKey == kFitKey ? flag == 1 || flag == 2 : flag == 1;
  if (!asked) return;
  const GObjectRef size(state.RemoveChildByKey(sizeKey));
  const auto* sizeValue = dynamic_cast<const GValueAttribute*>(size.Get());
  std::unique_ptr<GMedia> medium = sizeValue != nullptr ? ResolveMediaById(sizeValue->Value()) : nullptr;
  if (refused || medium == nullptr) {
    PutValue(state, flagKey, 0);
    return;
  }
  medium->SetKey(mediaKey);
  state.AddChild(medium.release());
}

void GJobGraphicsDevice::AddColourSettings(GState& state) {
  MPersistentObject* job = Group(kJobGroup);
  for (int32_t key : kColourSettings) AddCopy(state, job, key);
  if (FindAs<MPersistentObject>(job, kColourControlKey) != nullptr) {
    for (int32_t key : kColourControlSettings) AddCopy(state, job, key);
  }
  if (const std::optional<int16_t> grayMode = FindValue(job, kGrayModeKey); grayMode) {
    AddCopy(state, job, kGrayModeKey);
    SetGrayMode(*grayMode == 22 ? 1 : 0);
  }
  AddCopy(state, job, 911);
  if (postScriptJob_ == 0) return;
  for (int32_t key : kPostScriptSettings) AddCopy(state, job, key);
}

void GJobGraphicsDevice::AddPortKind(GState& state) {
  state.AddChild(new GValueAttribute(IsLocalPort(GetText3()) ? 1 : 3, kPortKindKey));
}

void GJobGraphicsDevice::SelectMediaAutomatically(GState& state) {
  MPersistentObject* resolution = FindAs<MPersistentObject>(&state, kResolutionGroupKey);
  const GResolution at{static_cast<uint16_t>(ValueOr(resolution, kXResolutionKey, 600)),
                       static_cast<uint16_t>(ValueOr(resolution, kYResolutionKey, 600))};
  const int16_t size = ValueOr(&state, kOrientationKey, 0);
  const int16_t source = ValueOr(&state, kMediaSizeKey, 1);
  uint16_t osId = 0;
  if (DeviceIdToOSId(source, osId) == 0 || IsPaperSupported(size, at, 0, osId) != 0) return;
  const int16_t mapped = MapPaperSizeId(GetDocumentSettings(), source);
  PutValue(state, kSubstituteSizeKey, mapped == 22 || mapped == 39 ? 23 : mapped == 44 ? 43 : 1);
  PutValue(state, kSubstituteFlagKey, 1);
  PutValue(state, kSubstituteKey, 1);
  PutValue(state, kPagesPerSheetKey, 1);
  PutValue(state, kScaleKey, 100);
  if (CapabilityBit(135, 0) != true) PutValue(state, kTreatAsColourKey, 0);
  if (IsNot(&state, kFitKey, 0)) PutValue(state, kFitKey, 0);
}

int32_t GJobGraphicsDevice::FirstPagesCount(int32_t single) {
  MPersistentObject* document = Group(kDocumentGroup);
  if (!IsNot(document, kCoverPagesKey, 0) || !Is(document, kFitKey, 0)) return single;
  const std::optional<int16_t> perSheet = FindValue(Group(kLayoutGroup), kPagesPerSheetKey);
  return (perSheet ? 2 * *perSheet : 2) + single - 1;
}

void GJobGraphicsDevice::AddMedia(GState& state) {
  const GObjectRef attribute(state.RemoveChildByKey(kMediaSizeKey));
  if (!attribute) return;
  const auto* size = dynamic_cast<const GValueAttribute*>(attribute.Get());
  std::unique_ptr<GMedia> medium = size != nullptr ? ResolveMediaById(size->Value()) : nullptr;
  if (medium == nullptr) {
    state.AddChild(attribute.Get());
    return;
  }
  medium->SetKey(kMediaKey);
  MPersistentObject* job = Group(kJobGroup);
  const bool firstPages =
      pageCount_ < FirstPagesCount(2) || mediaOverride_ != 0 || IsNot(job, kSeparateFirstPagesKey, 1);
  if (const GStringAttribute* type = FindText(job, firstPages ? kFirstPagesTypeKey : kOtherPagesTypeKey); type) {
    medium->SetMediaType(type->Text());
  }
  if (pageCount_ != 0) {
    const GDotPair origin = medium->GetPrintableOrigin();
    state.AddChild(new GTransformAttribute(0, GPoint{origin.x, origin.y}, GScale{1.0F, 1.0F}));
  }
  state.AddChild(medium.release());
}

// ---- Copies

void GJobGraphicsDevice::SplitCopies(GAttributeComposite* jobGroup, GAttributeComposite* documentGroup,
                                     GAttributeComposite* pageGroup, GAttributeComposite* finishingGroup) {
  const int16_t copies = ValueOr(jobGroup, kCopiesKey, 1);
  if (documentGroup != nullptr) {
    const GObjectRef old(documentGroup->RemoveChildByKey(kCopiesKey));
    AddCopy(*documentGroup, jobGroup, kCopiesKey);
  }
  const bool atJobLevel = Is(finishingGroup, kCopiesAtDeviceKey, 1) &&
                          (Is(jobGroup, kCollateKey, 1) || Is(finishingGroup, kUncollatedKey, 1));
  if (documentGroup != nullptr) PutValue(*documentGroup, kJobCopiesKey, atJobLevel ? copies : 1);
  if (pageGroup != nullptr) PutValue(*pageGroup, kPageCopiesKey, atJobLevel ? 1 : copies);
}

int32_t GJobGraphicsDevice::SetCopies(int32_t requested, int32_t& granted) {
  int32_t copies = requested < 0 ? 1 : requested;
  if (const auto* range = FindAs<GRangeAttribute>(Configuration(), kCopiesRangeKey); range != nullptr) {
    copies = std::min<int32_t>(copies, range->Max());
  }
  granted = copies;
  copies_ = copies;
  auto* job = FindAs<GAttributeComposite>(GetDocumentSettings(), kJobGroup);
  const int32_t previous = ValueOr(job, kCopiesKey, 0);
  if (job != nullptr) PutValue(*job, kCopiesKey, static_cast<int16_t>(copies));
  SplitCopies(job, FindAs<GAttributeComposite>(GetDocumentSettings(), kDocumentGroup),
              FindAs<GAttributeComposite>(GetDocumentSettings(), kPageGroup),
              FindAs<GAttributeComposite>(GetDocumentSettings(), kFinishingGroup));
  return previous;
}

// ---- Page state

std::unique_ptr<GState> GJobGraphicsDevice::BuildPageState() {
  auto state = std::make_unique<GState>(GPageCommand::kStateKey);
  AddChildCopies(*state, Group(kPageGroup));
  for (int32_t key : kPageSettingsOfDocument) AddCopy(*state, Group(kDocumentGroup), key);
  MPersistentObject* job = Group(kJobGroup);
  if (FirstPagesCount(1) >= pageCount_ || IsNot(job, kSeparateFirstPagesKey, 1) || mediaOverride_ != 0) {
    AddCopy(*state, job, kFirstPagesSourceKey);
  } else if (MPersistentObject* other = FindAs<MPersistentObject>(job, kOtherPagesSourceKey); other != nullptr) {
    MPersistentObject* copy = other->DeepCopy();
    copy->SetKey(kFirstPagesSourceKey);
    state->AddChild(copy);
  }
  AddMedia(*state);
  if (pageCount_ == 1 && Is(Group(kFinishingGroup), kLetterheadKey, 1)) TestLetterhead(*state);
  return state;
}

void GJobGraphicsDevice::TestLetterhead(GState& pageState) {
  if (!Is(Group(kLayoutGroup), kPagesPerSheetKey, 1)) return;
  const auto* medium = FindAs<GMedia>(&pageState, kMediaKey);
  if (medium == nullptr) return;
  const RWCString& type = medium->GetMediaType();
  if (!(type == "Letterhead" || type == "Preprinted") || !Is(&pageState, kCoverPagesKey, 0)) return;
  PutValue(pageState, kCoverPagesKey, 2);
  letterheadPending_ = 1;
}

uint16_t GJobGraphicsDevice::EmitLetterheadBlankPage() {
  if (letterheadPending_ == 0) return 0;
  --pageCount_;
  if (const uint16_t status = Process(StartPage().release()); status != 0) return status;
  letterheadPending_ = 0;
  return Process(EndPage().release());
}

// ---- Media

std::unique_ptr<GMedia> GJobGraphicsDevice::ResolveSizeId(int16_t sizeId, int32_t orientation, uint16_t xResolution,
                                                          uint16_t yResolution, bool withSettingsMargins) {
  std::unique_ptr<GMedia> medium;
  if (!IsCustomSizeId(sizeId)) {
    GMediaPool* pool = GetMediaPool();
    const GMedia* found = pool != nullptr ? pool->FindBySizeId(sizeId, orientation, xResolution, yResolution) : nullptr;
    if (found != nullptr) medium.reset(static_cast<GMedia*>(found->Clone()));
  } else {
    medium = CustomMedium(sizeId, orientation, xResolution, yResolution, withSettingsMargins);
  }
  if (medium != nullptr && Is(GetDocumentSettings(), kMarginsKey, 1)) ApplyMarginSettings(medium);
  return medium;
}

std::unique_ptr<GMedia> GJobGraphicsDevice::CustomMedium(int16_t sizeId, int32_t orientation, uint16_t xResolution,
                                                         uint16_t yResolution, bool atSettings) {
  std::unique_ptr<GMedia> medium;
  GConfiguration* configuration = Configuration();
  auto* sizes = FindAs<MPersistentObject>(configuration, GDriver::kCustomSizesKey);
  if (sizes == nullptr) return medium;
  ForEachChildAs<GCustomMediaSize>(*sizes, [&](GCustomMediaSize& size) {
    if (size.GetId() != sizeId) return true;
    medium = atSettings && GetDocumentSettings() != nullptr
                 ? BuildMediaForSizeAttribute(size, *GetDocumentSettings(), *configuration)
                 : BuildMediaWithMargins(size, *configuration, xResolution, yResolution, orientation);
    return false;
  });
  return medium;
}

std::unique_ptr<GMedia> GJobGraphicsDevice::ResolveMediaById(int16_t sizeId) {
  MPersistentObject* settings = GetDocumentSettings();
  MPersistentObject* resolution = FindAs<MPersistentObject>(settings, kResolutionGroupKey);
  return ResolveSizeId(sizeId, ValueOr(settings, kOrientationKey, 0),
                       static_cast<uint16_t>(ValueOr(resolution, kXResolutionKey, 600)),
                       static_cast<uint16_t>(ValueOr(resolution, kYResolutionKey, 600)), true);
}

std::unique_ptr<GMedia> GJobGraphicsDevice::ResolveMediaBySize(int16_t sizeId, int32_t orientation,
                                                               uint16_t xResolution, uint16_t yResolution) {
  return ResolveSizeId(sizeId, orientation, xResolution, yResolution, false);
}

void GJobGraphicsDevice::ResolveMedia(GMedia& medium, int32_t orientation) {
  if (NormalizeAngle(medium.GetOrientation()) == orientation) return;
  const int16_t sizeId = medium.GetSizeId();
  const uint16_t x = medium.GetXResolution();
  const uint16_t y = medium.GetYResolution();
  std::unique_ptr<GMedia> resolved = IsCustomSizeId(sizeId) ? nullptr : ResolveMediaBySize(sizeId, orientation, x, y);
  if (resolved == nullptr) resolved = CustomMedium(sizeId, orientation, x, y, false);
  if (resolved == nullptr) return;
  resolved->SetKey(medium.Key());
  medium = *resolved;
}

void GJobGraphicsDevice::ApplyMarginSettings(std::unique_ptr<GMedia>& medium) {
  MPersistentObject* settings = GetDocumentSettings();
  const bool upright = medium->GetOrientation() == 0 || medium->GetOrientation() == 180;
  const int32_t xSetting = ValueOr(settings, upright ? kXMarginKey : kYMarginKey, 0);
  const int32_t ySetting = ValueOr(settings, upright ? kYMarginKey : kXMarginKey, 0);
  const auto xMargin = static_cast<int16_t>(medium->GetXResolution() * xSetting / 10000);
  const auto yMargin = static_cast<int16_t>(medium->GetYResolution() * ySetting / 10000);
  const GDotPair paper = medium->GetPaperSize();
  const GMedia& old = *medium;
  medium = std::make_unique<GMedia>(
      old.GetName(), paper,
      GDotPair{static_cast<int16_t>(paper.x - 2 * xMargin), static_cast<int16_t>(paper.y - 2 * yMargin)},
      GDotPair{xMargin, yMargin}, old.GetOrientation(), old.GetSizeId(), old.GetXResolution(), old.GetYResolution(),
      GMedia::kDefaultKey, old.GetExtraValue(), old.GetFirstText().Data(), old.GetMediaType().Data());
}

// ---- Job storage

std::unique_ptr<GAttributeComposite> GJobGraphicsDevice::FindJobStorageEntry() {
  MPersistentObject* storage = FindAs<MPersistentObject>(Group(kJobGroup), kJobStorageGroup);
  const std::optional<int16_t> mode = FindValue(storage, kJobStorageModeKey);
  const std::optional<int16_t> owner = FindValue(storage, kJobStorageOwnerKey);
  const RWCString name = TextOf(storage, kJobStorageNameKey);
  if (!mode || *mode == kJobStorageOff || !owner || name.Length() == 0 || *owner != 0) return nullptr;
  MPersistentObject* entries = FindAs<MPersistentObject>(
      FindAs<MPersistentObject>(GetDocumentSettings(), kJobStorageEntriesGroup), kJobStorageEntriesKey);
  std::unique_ptr<GAttributeComposite> found;
  if (entries == nullptr) return found;
  ForEachChildAs<GAttributeComposite>(*entries, [&](GAttributeComposite& entry) {
    if (TextOf(&entry, kJobStorageEntryNameKey) != name) return true;
    found.reset(static_cast<GAttributeComposite*>(entry.Clone()));
    AddCopy(*found, storage, kJobStorageModeKey);
    AddCopy(*found, storage, kJobStorageOwnerKey);
    return false;
  });
  return found;
}

std::unique_ptr<GAttributeComposite> GJobGraphicsDevice::GetJobStorageState() {
  std::unique_ptr<GAttributeComposite> state = FindJobStorageEntry();
  if (state != nullptr) {
    state->SetKey(kJobStorageGroup);
    return state;
  }
  state = std::make_unique<GAttributeComposite>(kJobStorageGroup);
  state->AddChild(new GValueAttribute(kJobStorageOff, kJobStorageModeKey));
  return state;
}

// ---- Settings of another source

void GJobGraphicsDevice::ReloadSettings() {
  GAttributeComposite* settings = GetDocumentSettings();
  if (settings == nullptr) return;
  for (int32_t key : {kDocumentGroup, kPageGroup, kJobGroup}) {
    const GObjectRef removed(settings->RemoveChildByKey(key));
  }
  if (const std::unique_ptr<GAttributeComposite> reloaded = GetReloadedSettings(); reloaded != nullptr) {
    AddChildCopies(*settings, reloaded.get());
  }
  SplitCopies(FindAs<GAttributeComposite>(settings, kJobGroup), FindAs<GAttributeComposite>(settings, kDocumentGroup),
              FindAs<GAttributeComposite>(settings, kPageGroup),
              FindAs<GAttributeComposite>(settings, kFinishingGroup));
}

void GJobGraphicsDevice::TakeFinishingSettings(GJobGraphicsDevice& other) {
  MPersistentObject* from = other.Group(kDocumentGroup);
  MPersistentObject* to = Group(kDocumentGroup);
  if (from == nullptr || to == nullptr) return;
  for (int32_t key : kFinishingSettings) {
    GObjectRef moved(from->RemoveChildByKey(key));
    if (!moved) continue;
    const GObjectRef old(to->RemoveChildByKey(key));
    to->AddChild(moved.Get());
  }
}

// ---- Job name

RWCString GJobGraphicsDevice::UpdateJobNameSetting() {
  MPersistentObject* document = Group(kDocumentGroup);
  GStringAttribute* setting = FindText(document, kJobNameKey);
  if (setting == nullptr) {
    jobName_ = RWWString();
    return narrowJobName_;
  }
  GJobNameSources sources;
  GOSFactory* factory = GOSFactory::Instance();
  GDateTime now;
  GDateTime shifted;
  int16_t offset = 0;
  if (factory != nullptr) factory->GetLocalTime(now, shifted, offset);
  sources.documentName = documentName_;
  sources.fallbackName = TextOf(document, kFallbackNameKey);
  sources.timeStamp = FormatTimeStamp(now);
  sources.appendUniqueId = Is(document, kUniqueIdKey, 1) && TextOf(document, kUniqueIdTextKey).Length() != 0;
  if (sources.appendUniqueId && factory != nullptr) {
    factory->GetPrinterDataString(sources.uniqueId, *this, RWWString("JobStorageUniqueID"), RWWString("1"));
  }
  sources.utf8 = Is(document, kUtf8NameKey, 1);
  sources.characterMap = Bytes(Configuration(), kJobNameMapKey);
  sources.codePage = codePage_;
  const GJobName name = ComputeJobName(sources);
  jobName_ = name.wide;
  narrowJobName_ = name.narrow;
  setting->SetText(narrowJobName_);
  return narrowJobName_;
}

// ---- Settings access

MPersistentObject* GJobGraphicsDevice::Group(int32_t key) {
  return FindAs<MPersistentObject>(GetDocumentSettings(), key);
}

GConfiguration* GJobGraphicsDevice::Configuration() { return GetConfiguration(); }

std::optional<bool> GJobGraphicsDevice::CapabilityBit(int32_t key, uint32_t bit) {
  const auto* capabilities = FindAs<GCapabilities>(FindAs<MPersistentObject>(Configuration(), kCapabilitiesEntry), key);
  if (capabilities == nullptr) return std::nullopt;
  return capabilities->TestBit(bit);
}

GState* GJobGraphicsDevice::CachedDocumentState() {
  if (!documentState_) documentState_ = GObjectRef(BuildDocumentState().release());
  return static_cast<GState*>(documentState_.Get());
}
