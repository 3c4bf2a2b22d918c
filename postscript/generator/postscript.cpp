#include "postscript/generator/postscript.h"

#include <cmath>
#include <optional>
#include <span>
#include <string_view>
#include <utility>

#include "device/colour/colour_settings.h"
#include "device/colour/tintwise_attribute.h"
#include "device/driver/tree_lookup.h"
#include "device/media/media.h"
#include "foundation/class_registrar.h"
#include "graphics/bitmaps/dither_matrix.h"
#include "graphics/clips/transform_attribute.h"
#include "graphics/commands/document_command.h"
#include "graphics/commands/download_header_command.h"
#include "graphics/commands/job_commands.h"
#include "graphics/commands/page_command.h"
#include "graphics/commands/pass_through_command.h"
#include "graphics/device/graphics_device.h"
#include "graphics/output/output_channel.h"
#include "model/attributes/configuration.h"
#include "model/attributes/state.h"
#include "model/attributes/value_attribute.h"
#include "model/objects/field_archive.h"
#include "model/objects/persistent_association.h"
#include "model/objects/text_conversion.h"
#include "pipeline/document_channel.h"
#include "postscript/library/procedure_sets.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GPostScript>, kGPostScriptClassID, kGPostScriptClassName);

// Job settings (group 246).
constexpr int32_t kCopiesKey = 247;
constexpr int32_t kOutputBinKey = 248;
constexpr int32_t kResolutionGroupKey = 249;
constexpr int32_t kPostRenderingKey = 250;
constexpr int32_t kEconoModeKey = 252;
constexpr int32_t kDuplexKey = 253;
constexpr int32_t kPatternKey = 277;
constexpr int32_t kColourControlKey = 295;
constexpr int32_t kGreyKey = 296;
constexpr int32_t kColourTableChoiceKey = 304;
constexpr int32_t kXResolutionKey = 323;
constexpr int32_t kYResolutionKey = 324;
constexpr int32_t kPreRenderingKey = 325;
constexpr int32_t kExtendedAreaKey = 442;
constexpr int32_t kTrueTypeFormatKey = 570;
constexpr int32_t kDeviceFontFilterKey = 571;
constexpr int32_t kBinaryKey = 574;
constexpr int32_t kMirrorKey = 575;
constexpr int32_t kNegativeKey = 576;
constexpr int32_t kHeaderCtrlDKey = 577;
constexpr int32_t kTrailerCtrlDKey = 578;
constexpr int32_t kASCII85Key = 580;
constexpr int32_t kErrorHandlerKey = 581;
constexpr int32_t kHalftoneOffKey = 582;
constexpr int32_t kScreenFrequencyKey = 583;
constexpr int32_t kScreenAngleKey = 584;
constexpr int32_t kRawModeKey = 600;
constexpr int32_t kSetupString1Key = 605;
constexpr int32_t kSetupString2Key = 608;
// The colour-treatment table chosen by setting 304.
constexpr int32_t kFirstPageColourTable = 208;
// In the current state, beside the groups.
constexpr int32_t kOutputBinKindKey = 213;
// Page settings (group 256).
constexpr int32_t kPageCopiesKey = 257;
constexpr int32_t kTrayKey = 258;
constexpr int32_t kMediumKey = 259;
constexpr int32_t kOrientationKey = 265;
constexpr int32_t kRotatedMediaKey = 954;
// Configuration keys.
constexpr int32_t kTrayMapKey = 85;
constexpr int32_t kSizeTableKey = 192;
constexpr int32_t kDitherMatricesKey = 330;
constexpr int32_t kPageStringTable1 = 537;
constexpr int32_t kPageStringTable2 = 533;
constexpr int32_t kSetupStringTable1 = 607;
constexpr int32_t kSetupStringTable2 = 609;

constexpr uint16_t kPassThroughTarget = 768;
constexpr int32_t kResendProcedures = 19;
constexpr uint32_t kAppFlag30 = 1U << 30;
// Media positions of the tray map: 253 is the manual feed slot, which the
// page device knows as position 3 with manual feed.
constexpr int16_t kManualFeedSlot = 253;
constexpr int16_t kManualFeedPosition = 3;
constexpr int16_t kFirstCustomSize = 0x4000;
constexpr int16_t kLastCustomSize = 17383;

std::string_view View(const RWCString& text) { return {text.Data(), text.Length()}; }

// The value object of the association whose key object is a value
// attribute of key 0 holding number.
MPersistentObject* MappedValue(MAssociationList* map, int16_t number) {
  if (map == nullptr) return nullptr;
  const GObjectRef keyObject(new GValueAttribute(number, 0));
  return map->FindValue(keyObject.Get());
}

std::optional<int16_t> MappedNumber(MAssociationList* map, int16_t number) {
  const auto* value = dynamic_cast<GValueAttribute*>(MappedValue(map, number));
  if (value == nullptr) return std::nullopt;
  return value->Value();
}

uint8_t OrientationOf(int16_t degrees) {
  switch (degrees) {
    case 90:
      return PSLIBContext::kLandscape;
    case 180:
      return PSLIBContext::kReversePortrait;
    case 270:
      return PSLIBContext::kReverseLandscape;
    default:
      return PSLIBContext::kPortrait;
  }
}

// Dots at a resolution to points, rounded.
int16_t Points(int16_t dots, uint16_t resolution) {
  if (resolution == 0) return 0;
  return static_cast<int16_t>(std::floor(static_cast<double>(dots) / resolution * 72.0 + 0.5));
}

}  // namespace

GPostScript::GPostScript() : context_(std::make_unique<PSLIBContext>(static_cast<PSLIBSink*>(this))) {}

GPostScript::GPostScript(const RWCString& name, GState* initialState, GConfiguration* configuration, int32_t key,
                         int32_t addOnListKey, int32_t addOnKind, int32_t addOnMode)
    : GPDLGenerator(name, initialState, configuration, key, addOnListKey, addOnKind, addOnMode),
      context_(std::make_unique<PSLIBContext>(static_cast<PSLIBSink*>(this))) {
  GetDeviceFontList();
}

GPostScript::GPostScript(const GPostScript& other)
    : GPDLGenerator(other), PSLIBSink(), context_(std::make_unique<PSLIBContext>(static_cast<PSLIBSink*>(this))) {
  CopyOwnFields(other);
  GetDeviceFontList();
}

GPostScript& GPostScript::operator=(const GPostScript& other) {
  if (this == &other) return *this;
  if (OwnsOutputChannel()) BorrowOutputChannel(nullptr);
  GPDLGenerator::operator=(other);
  context_ = std::make_unique<PSLIBContext>(static_cast<PSLIBSink*>(this));
  CopyOwnFields(other);
  GetDeviceFontList();
  return *this;
}

GPostScript::~GPostScript() = default;

void GPostScript::CopyOwnFields(const GPostScript& other) {
  optionA_ = other.optionA_;
  xResolution_ = other.xResolution_;
  yResolution_ = other.yResolution_;
  colour_ = other.colour_;
  patterns_ = other.patterns_;
  enhancedResolution_ = other.enhancedResolution_;
  compression_ = other.compression_;
  ditherEntry_ = other.ditherEntry_;
  currentX_ = other.currentX_;
  currentY_ = other.currentY_;
  deviceFontFilter_ = other.deviceFontFilter_;
  currentMedia_ = nullptr;
  ClearJobState();
}

void GPostScript::ClearJobState() {
  rawMode_ = 0;
  appFlag0_ = false;
  appFlag30_ = false;
  coordinateMode_ = kNoCoordinates;
  originTranslated_ = false;
}

bool GPostScript::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* generator = dynamic_cast<const GPostScript*>(&other);
  return generator != nullptr && generator->ClassID() == ClassID() && GPDLGenerator::SameContent(other) &&
         optionA_ == generator->optionA_ && colour_ == generator->colour_ && currentX_ == generator->currentX_ &&
         currentY_ == generator->currentY_;
}

uint16_t GPostScript::SendTo(GPeripheral& target) { return target.AddPostScript(*this); }

void GPostScript::ResetJob() {
  GPDLGenerator::ResetJob();
  context_->Reset();
  ClearJobState();
}

// The context's full buffers and flushes: to the channel while output is
// ok; the context empties its buffer after this in any case.
void GPostScript::Write(const uint8_t* bytes, uint32_t count) { WriteOutput(bytes, count); }

int32_t GPostScript::ImageScalingMode() const {
  if (colour_ || enhancedResolution_ || xResolution_ == 1200 || yResolution_ == 1200) return kPlainScaling;
  return ditherEntry_ != nullptr ? kDitheredScaling : kPlainScaling;
}

// Fonts and paints.

uint16_t GPostScript::DeleteFont(const RWCString&) { return TakeStatus(); }
uint16_t GPostScript::SetPenPaint(GPaint&) { return TakeStatus(); }
uint16_t GPostScript::SetPenColor(GColorPaint&) { return TakeStatus(); }
uint16_t GPostScript::SetBrushPaint(GPaint&) { return TakeStatus(); }
uint16_t GPostScript::SetBrushColor(GColorPaint&) { return TakeStatus(); }

// The document.

uint16_t GPostScript::DocumentStart(GDocumentStart& start) {
  if (const uint16_t status = GPDLGenerator::DocumentStart(start); status != 0) return status;
  ReadAppFlags();
  rawMode_ = ValueOr(JobSettings(), kRawModeKey, 0);
  if (rawMode_ == 0) {
    RWCString title;
    WideToNarrow(start.GetDocumentName(), title);
    context_->SetTitle(View(title));
    context_->SetDeferredMediaSelection(true);
  }
  ReadOutputSettings();
  ReadDataSettings();
  ReadFontSettings();
  ReadPageDeviceSettings();
  ChooseDitherEntry();
  lastMediaSource_ = -1;
  lastMediaType_.clear();
  pageCount_ = 0;
  headerPending_ = true;
  FontCounters()[0] = 0;
  FontCounters()[1] = 0;
  JobSettings()->ClearAllChanged();
  EnterDocument();
  return TakeStatus();
}

void GPostScript::ReadAppFlags() {
  const GGraphicsDevice* device = GetGraphicsDevice();
  const uint32_t flags = device != nullptr ? device->GetAppFlags() : 0;
  appFlag0_ = (flags & 1U) != 0;
  appFlag30_ = (flags & kAppFlag30) != 0;
}

// The error handler, colour model, set-up strings, mirror and negative.
// A negative page is printed in grey with the printer's ink and colour
// matching switched off, whatever the colour setting says.
void GPostScript::ReadOutputSettings() {
  GState* job = JobSettings();
  PSLIBContext& context = *context_;
  if (const auto handler = FindValue(job, kErrorHandlerKey)) context.SetErrorHandlerFlag(*handler == 1);
  if (const auto grey = FindValue(job, kGreyKey)) {
    colour_ = *grey == 0;
    context.SetCMYK(colour_);
  }
  if (GConfiguration* configuration = GetConfiguration(); configuration != nullptr) {
    if (const auto setup = FindValue(job, kSetupString1Key)) {
      context.SetSetupString1(View(GetTableText(kSetupStringTable1, *configuration, *setup)));
    }
    if (const auto setup = FindValue(job, kSetupString2Key)) {
      context.SetSetupString2(View(GetTableText(kSetupStringTable2, *configuration, *setup)));
    }
  }
  if (const auto mirror = FindValue(job, kMirrorKey)) context.SetMirror(*mirror == 1);
  if (const auto negative = FindValue(job, kNegativeKey)) {
    context.SetNegative(*negative == 1);
    if (*negative == 1) {
      context.SetSetupString1("<< /CMYKInkSet 0 >> setpagedevice\r\n");
      context.SetSetupString2("<< /SpotColorMatching false >> setpagedevice\r\n");
      context.SetCMYK(false);
      colour_ = false;
    }
  }
}

// How data goes (binary, ASCII85 or hex), the halftone screen, patterns
// and image compression.
void GPostScript::ReadDataSettings() {
  GState* job = JobSettings();
  PSLIBContext& context = *context_;
  if (const auto binary = FindValue(job, kBinaryKey)) context.SetBinaryMode(*binary == 0 && rawMode_ == 0);
  if (const auto ascii85 = FindValue(job, kASCII85Key)) {
    context.SetASCII85(*ascii85 == 1);
    compression_ = *ascii85 != 0 ? 1 : 0;
  }
  if (const auto halftoneOff = FindValue(job, kHalftoneOffKey)) {
    context.SetHalftone(*halftoneOff != 1);
    if (*halftoneOff != 1) {
      if (const auto angle = FindValue(job, kScreenAngleKey)) context.SetScreenAngle(static_cast<uint16_t>(*angle));
      if (const auto frequency = FindValue(job, kScreenFrequencyKey)) {
        context.SetScreenFrequency(static_cast<uint16_t>(*frequency));
      }
    }
  }
  if (const auto pattern = FindValue(job, kPatternKey)) patterns_ = *pattern == 1;
}

// Without setting 570 fonts go as Type 1, as for any value but the Type 42
// and Type 3 choices.
void GPostScript::ReadFontSettings() {
  GState* job = JobSettings();
  trueTypeFormat_ = kType1Download;
  if (const auto format = FindValue(job, kTrueTypeFormatKey); format && !appFlag30_) {
    if (*format == 0) {
      GGraphicsDevice* device = GetGraphicsDevice();
      const bool type42 = device == nullptr || device->GetConfigurationValue958() == 0;
      trueTypeFormat_ = type42 ? kType42Download : kType1Download;
    } else if (*format == 2) {
      trueTypeFormat_ = kType3Download;
    }
  }
  fontNumbering_ = false;
  if (const auto filter = FindValue(job, kDeviceFontFilterKey)) deviceFontFilter_ = static_cast<uint16_t>(*filter);
}

void GPostScript::ReadPageDeviceSettings() {
  GState* job = JobSettings();
  PSLIBContext& context = *context_;
  MPersistentObject* resolution = job->FindByKey(kResolutionGroupKey);
  const std::optional<int16_t> x = FindValue(resolution, kXResolutionKey);
  const std::optional<int16_t> y = FindValue(resolution, kYResolutionKey);
  xResolution_ = x && y ? *x : kDefaultResolution;
  yResolution_ = x && y ? *y : kDefaultResolution;
  context.SetResolution(xResolution_, yResolution_);
  enhancedResolution_ = FindValue(job, kPreRenderingKey) == 2;
  context.SetPreRenderingEnhance(enhancedResolution_ ? 2 : 1);
  context.SetEconoMode(ValueOr(job, kEconoModeKey, 0));
  context.SetDuplex(ValueOr(job, kDuplexKey, 0));
  context.SetOutputBin(ValueOr(job, kOutputBinKey, 1), ValueOr(GetCurrentState(), kOutputBinKindKey, 2));
  context.SetPostRenderingEnhance(ValueOr(job, kPostRenderingKey, 4));
  const int16_t copies = ValueOr(job, kCopiesKey, 1);
  context.SetNumCopies(copies);
  context.SetCollate(copies > 1);
}

// The first matrix made for the x resolution, else the last one; none
// without the list.
void GPostScript::ChooseDitherEntry() {
  ditherEntry_ = nullptr;
  MPersistentObject* list = GetConfiguration() != nullptr ? GetConfiguration()->FindByKey(kDitherMatricesKey) : nullptr;
  if (list == nullptr) return;
  ForEachChildAs<GDitherMatrix>(*list, [&](GDitherMatrix& matrix) {
    ditherEntry_ = &matrix;
    return matrix.GetSelector1() != static_cast<uint16_t>(xResolution_);
  });
}

uint16_t GPostScript::DocumentEnd(GDocumentEnd&) {
  LeaveJob();
  if (GDownloadedFontCache* cache = DownloadedFontCache(); cache != nullptr) {
    const uint32_t used = cache->GetTotalSize();
    cache->UnloadAll();
    MemoryBudget().Release(used);
  }
  if (rawMode_ == 0) context_->WriteDocumentTrailer(FindValue(JobSettings(), kTrailerCtrlDKey) == 1);
  type3ProceduresSent_ = false;
  type42ProceduresSent_ = false;
  FontCounters()[0] = 0;
  FontCounters()[1] = 0;
  pageFont_ = PageFontRecord();
  context_->Flush();
  SetInJob(false);
  uint16_t status = TakeStatus();
  if (OwnsOutputChannel() && OutputChannel() != nullptr) {
    if (const uint16_t closed = OutputChannel()->Close(); closed != 0) status = closed;
  }
  coordinateMode_ = kNoCoordinates;
  return status;
}

uint16_t GPostScript::JobAbort(GJobAbort& abort) {
  LeaveJob();
  if (IsInJob()) {
    if (GDownloadedFontCache* cache = DownloadedFontCache(); cache != nullptr) cache->UnloadAll();
    context_->Flush();
    ResetPathDepth();
    SetDefiningClip(false);
    SetInJob(false);
    SetInScanLines(false);
    FontCounters() = {};
  }
  GPeripheral::JobAbort(abort);
  return TakeStatus();
}

// Pass-through data and the procedures.

uint16_t GPostScript::PassThrough(GPassThroughCommand& data) {
  if (data.GetValue2() != kPassThroughTarget) return 0;
  if (rawMode_ == 0) SendFontProcedures(false);
  coordinateMode_ = kApplicationCoordinates;
  context_->Flush();
  const std::span<const uint8_t> bytes(data.GetData(), data.GetLength());
  if (rawMode_ == 0) return context_->WriteDataBytes(bytes);
  GOutputChannel* channel = OutputChannel();
  if (channel == nullptr) return kNoOutputChannel;
  uint32_t written = 0;
  const uint16_t status =
      bytes.empty() ? 0 : channel->Write(bytes.data(), static_cast<uint32_t>(bytes.size()), written);
  if (GState* graphicState = FindStateFor(kGraphicStateKey); graphicState != nullptr) graphicState->RemoveAllChildren();
  return status;
}

uint16_t GPostScript::DownloadHeader(GDownloadHeaderCommand& command) {
  if (command.GetData() == kResendProcedures) {
    context_->DownloadProcset(PSLIBContext::kStandardProcsetAgain);
    return 0;
  }
  context_->DownloadProcset(PSLIBContext::kStandardProcset);
  if (rawMode_ != 0) SendFontProcedures(true);
  return 0;
}

void GPostScript::SendFontProcedures(bool withEncodings) {
  if (type3ProceduresSent_ && type42ProceduresSent_) return;
  std::string name;
  context_->ProcsetName(PSLIBContext::kStandardProcset, name);
  context_->WriteText(name + " begin\r\n");
  context_->WriteText(Type3Procedures());
  context_->WriteText(Type42Procedures());
  if (withEncodings) context_->WriteText(EncodingVectors());
  context_->WriteText("\r\n end\r\n");
  type3ProceduresSent_ = true;
  type42ProceduresSent_ = true;
}

// Pages.

uint16_t GPostScript::PageStart(GPageStart& start) {
  if (const uint16_t status = GPDLGenerator::PageStart(start); status != 0) return status;
  GOutputChannel* channel = OutputChannel();
  if (channel == nullptr) return kNoOutputChannel;
  if (pageCount_ != 0) {
    if (const uint16_t status = channel->End(); status != 0) return status;
  }
  if (const uint16_t status = channel->Begin(); status != 0) return status;
  TakeInitialGraphicState();
  pageFont_ = PageFontRecord();
  if (rawMode_ == 0) {
    ReadPageCopiesAndOrientation();
    SelectMediaSource();
  }
  SetPageSizeFor(SelectMedia());
  SetColourStrings();
  ++pageCount_;
  WriteHeaderIfPending();
  if (rawMode_ == 0) context_->WritePageHeader();
  PageSettings()->ClearAllChanged();
  EnterPage();
  return TakeStatus();
}

void GPostScript::ReadPageCopiesAndOrientation() {
  GState* page = PageSettings();
  if (const int16_t copies = ValueOr(page, kPageCopiesKey, 0); copies >= 2) {
    context_->SetNumCopies(copies);
    context_->SetCollate(false);
  }
  context_->SetOrientation(OrientationOf(ValueOr(page, kOrientationKey, 0)));
}

// The tray map gives the page device's media position of a tray; the
// positions that select nothing are not sent.
void GPostScript::SelectMediaSource() {
  const std::optional<int16_t> tray = FindValue(PageSettings(), kTrayKey);
  if (!tray || *tray == lastMediaSource_) return;
  lastMediaSource_ = *tray;
  const std::optional<int16_t> mapped = MappedNumber(FindAs<MAssociationList>(GetConfiguration(), kTrayMapKey), *tray);
  int16_t position = mapped ? static_cast<int16_t>(*mapped & 0xFF) : PSLIBContext::kNoMediaPosition;
  const bool manual = position == kManualFeedSlot;
  if (manual) position = kManualFeedPosition;
  if (position == PSLIBContext::kNoMediaPosition || position == PSLIBContext::kAnyMediaPosition) return;
  context_->SetManualFeed(manual);
  context_->SetMediaPosition(position);
}

std::pair<int16_t, int16_t> GPostScript::SelectMedia() {
  MPersistentObject* found = PageSettings()->FindByKey(kMediumKey);
  if (found == nullptr) found = JobSettings()->FindByKey(kMediumKey);
  auto* media = dynamic_cast<GMedia*>(found);
  if (media == nullptr || media->ClassID() != kGMediaClassID) return {kDefaultPageWidth, kDefaultPageHeight};
  currentMedia_ = media;
  const std::string_view type = View(media->GetMediaType());
  if (!type.empty() && type != lastMediaType_) {
    if (rawMode_ == 0) context_->SetMediaType(type);
    lastMediaType_ = type;
  }
  const GDotPair paper = media->GetPaperSize();
  return {Points(paper.x, media->GetXResolution()), Points(paper.y, media->GetYResolution())};
}

// A size the printer does not list as a standard sheet (no entry in the
// size table, or a custom size) may be fed turned when the page asks for
// it. Each page decides for itself, so that a turned custom sheet does not
// turn the standard sheets after it.
void GPostScript::SetPageSizeFor(std::pair<int16_t, int16_t> size) {
  if (rawMode_ != 0) return;
  context_->SetRotatedMedia(ValueOr(PageSettings(), kRotatedMediaKey, 0) != 0 && currentMedia_ != nullptr &&
                            !IsStandardSize(currentMedia_->GetSizeId()) && coordinateMode_ != kApplicationCoordinates);
  context_->SetPageSize(size.first, size.second);
}

bool GPostScript::IsStandardSize(int16_t sizeId) {
  if (sizeId > kFirstCustomSize && sizeId <= kLastCustomSize) sizeId = kFirstCustomSize;
  MPersistentObject* entry = MappedValue(FindAs<MAssociationList>(GetConfiguration(), kSizeTableKey), sizeId);
  const auto* number = dynamic_cast<GValueAttribute*>(entry);
  return entry != nullptr && (number == nullptr || number->Value() < kFirstCustomSize);
}

// The page strings of the colour-treatment table: each of its six bytes
// (three rows of two) names a text of the printer's string tables.
void GPostScript::SetColourStrings() {
  GState* job = JobSettings();
  GConfiguration* configuration = GetConfiguration();
  if (configuration == nullptr || job->FindByKey(kColourControlKey) == nullptr) return;
  const int16_t choice = ValueOr(job, kColourTableChoiceKey, 0);
  const bool firstPageTable = (choice == 10 && pageCount_ == 0) || (choice == 9 && pageCount_ != 0);
  const auto* table = FindAs<GTintwiseAttribute>(job, firstPageTable ? kFirstPageColourTable : kColourControlKey);
  if (table == nullptr) return;
  std::array<std::string, 6> strings;
  for (int32_t row = 0; row < 3; ++row) {
    for (int32_t column = 0; column < 2; ++column) {
      uint8_t cell = 0;
      if (!table->GetSettingByte(row, column, cell)) continue;
      const int32_t tableKey = column == 0 ? kPageStringTable1 : kPageStringTable2;
      strings[static_cast<size_t>(row * 2 + column)] = View(GetTableText(tableKey, *configuration, cell));
    }
  }
  context_->SetPageStrings(strings);
}

void GPostScript::WriteHeaderIfPending() {
  if (!headerPending_) return;
  if (rawMode_ != 0) {
    coordinateMode_ = kApplicationCoordinates;
  } else {
    if (const auto extended = FindValue(JobSettings(), kExtendedAreaKey); extended && *extended >= 0) {
      context_->SetExtendedPrintArea(*extended != 0);
    }
    context_->WriteDocumentHeader(FindValue(JobSettings(), kHeaderCtrlDKey) == 1);
    coordinateMode_ = kDeviceCoordinates;
  }
  headerPending_ = false;
  type3ProceduresSent_ = false;
  type42ProceduresSent_ = false;
  FontCounters() = {};
}

uint16_t GPostScript::PageEnd(GPageEnd&) {
  EnterDocument();
  if (rawMode_ == 0) {
    context_->WritePageTrailer();
    context_->Flush();
  }
  ResetPathDepth();
  SetDefiningClip(false);
  currentMedia_ = nullptr;
  return TakeStatus();
}

// Stored form.

void GPostScript::Fields(GFieldArchive& archive) {
  GPDLGenerator::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  archive.Int16(optionA_);
  archive.UInt16(Output().PendingStatus());
  archive.Bool32(Output().OutputOk());
  archive.Int16(xResolution_);
  archive.Int16(yResolution_);
  archive.Bool32(colour_);
  if (archive.IsRestoring()) GetDeviceFontList();
}
