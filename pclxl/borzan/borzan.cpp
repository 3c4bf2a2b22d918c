#include "pclxl/borzan/borzan.h"

#include <array>
#include <cstdio>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "device/driver/tree_lookup.h"
#include "device/media/media.h"
#include "foundation/class_registrar.h"
#include "graphics/bitmaps/dither_matrix.h"
#include "graphics/commands/document_command.h"
#include "graphics/commands/job_commands.h"
#include "graphics/commands/page_command.h"
#include "graphics/commands/pass_through_command.h"
#include "graphics/device/graphics_device.h"
#include "graphics/output/output_channel.h"
#include "model/attributes/configuration.h"
#include "model/attributes/state.h"
#include "model/attributes/string_attribute.h"
#include "model/attributes/value_attribute.h"
#include "model/objects/field_archive.h"
#include "model/objects/persistent_association.h"
#include "pclxl/borzan/borzan_font_cache.h"
#include "pclxl/borzan/borzan_glyph_code_mapper.h"
#include "pclxl/borzan/text_bytes.h"
#include "pclxl/xl_graphics_state_operators.h"
#include "pclxl/xl_session_operators.h"
#include "pclxl/xl_values.h"
#include "pipeline/document_channel.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GBorzan>, kGBorzanClassID, kGBorzanClassName);

// Job settings.
constexpr int32_t kDuplexKey = 253;
constexpr int32_t kPatternKey = 277;
constexpr int32_t kGreyKey = 296;
constexpr int32_t kImageTreatmentKey = 297;
constexpr int32_t kHalftoneKey = 325;
constexpr int32_t kPhotoOverrideKey = 405;
constexpr int32_t kTextKey = 442;
constexpr int32_t kVendorModeKey = 900;
constexpr int32_t kScreenKey = 910;
constexpr int32_t kScreenDetailKey = 911;
constexpr int32_t kMemoryTrackingKey = 932;
constexpr int32_t kVersionTextKey = 956;
constexpr int32_t kStrictMatrixKey = 1005;
constexpr int32_t kStrictMatrixSecondKey = 252;
constexpr int32_t kPhotoKindKey = 1012;
// Page settings.
constexpr int32_t kCopiesKey = 257;
constexpr int32_t kTrayKey = 258;
constexpr int32_t kMediumKey = 259;
constexpr int32_t kOrientationKey = 265;
// Configuration keys.
constexpr int32_t kTrayMapKey = 85;
constexpr int32_t kSizeMapKey = 192;
constexpr int32_t kDuplexByDeviceKey = 245;
constexpr int32_t kMajorClassKey = 561;
constexpr int32_t kMinorClassKey = 562;
constexpr int32_t kEscapeRuleKey = 1130;
// In the graphics device's configuration.
constexpr int32_t kPhotoAsIsKey = 1023;

constexpr uint32_t kClass20AppFlag = 0x2000;
constexpr uint32_t kVendorModeExtension = 0x71762002;
constexpr uint32_t kFineScreenExtension = 0x71762008;
constexpr uint32_t kSmoothScreenExtension = 0x71762009;
constexpr uint16_t kPassThroughTarget = 767;
constexpr int16_t kFirstCustomSize = 0x4000;
constexpr int16_t kLastCustomSize = 0x43E7;
constexpr uint32_t kVersionHigh = 0x00040002;
constexpr uint32_t kVersionLow = 0x00010008;

bool IsCustomSize(int16_t sizeId) { return sizeId >= kFirstCustomSize && sizeId <= kLastCustomSize; }

uint8_t LowByte(std::optional<int16_t> value) { return static_cast<uint8_t>(value.value_or(0) & 0xFF); }

}  // namespace

GBorzan::GBorzan() : stream_(NewStream()) { NewFontObjects(); }

GBorzan::GBorzan(const RWCString& name, GState* initialState, GConfiguration* configuration, int32_t key,
                 int32_t addOnListKey, int32_t addOnKind, int32_t addOnMode)
    : GPDLGenerator(name, initialState, configuration, key, addOnListKey, addOnKind, addOnMode), stream_(NewStream()) {
  GetDeviceFontList();
  NewFontObjects();
}

GBorzan::GBorzan(const GBorzan& other) : GPDLGenerator(other), XLFlushSink(), stream_(NewStream()) {
  CopyOwnFields(other);
  GetDeviceFontList();
  NewFontObjects();
}

GBorzan& GBorzan::operator=(const GBorzan& other) {
  if (this == &other) return *this;
  if (OwnsOutputChannel()) BorrowOutputChannel(nullptr);
  GPDLGenerator::operator=(other);
  stream_ = NewStream();
  CopyOwnFields(other);
  GetDeviceFontList();
  NewFontObjects();
  return *this;
}

// Everything but the stream and the current medium, which belong to the
// job being written.
void GBorzan::CopyOwnFields(const GBorzan& other) {
  transparency_ = other.transparency_;
  penKind_ = other.penKind_;
  brushKind_ = other.brushKind_;
  fontDownload_ = other.fontDownload_;
  currentMedium_ = nullptr;
  xResolution_ = other.xResolution_;
  yResolution_ = other.yResolution_;
  colour_ = other.colour_;
  patterns_ = other.patterns_;
  ditherOff_ = other.ditherOff_;
  imageTreatment_ = other.imageTreatment_;
  photoOverride_ = other.photoOverride_;
  ditherMatrix_ = other.ditherMatrix_;
  textFlag_ = other.textFlag_;
  currentX_ = other.currentX_;
  currentY_ = other.currentY_;
  pageCopies_ = other.pageCopies_;
  currentMediaSource_ = other.currentMediaSource_;
  currentMediaType_ = other.currentMediaType_;
  sideCounter_ = other.sideCounter_;
  duplexControl_ = other.duplexControl_;
  currentDuplex_ = other.currentDuplex_;
  textState_ = other.textState_;
}

GBorzan::~GBorzan() = default;

XLStreamPtr GBorzan::NewStream() { return XLStreamPtr(XLCreateStream(kStreamBufferSize, this, 0)); }

bool GBorzan::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* generator = dynamic_cast<const GBorzan*>(&other);
  return generator != nullptr && generator->ClassID() == ClassID() && GPDLGenerator::SameContent(other) &&
         fontDownload_ == generator->fontDownload_ && colour_ == generator->colour_ &&
         currentX_ == generator->currentX_ && currentY_ == generator->currentY_;
}

uint16_t GBorzan::SendTo(GPeripheral& target) { return target.AddBorzan(*this); }

void GBorzan::ResetJob() {
  GPDLGenerator::ResetJob();
  sideCounter_ = kUnsetSide;
  currentDuplex_ = kUnsetSide;
}

// The stream's callback: the block goes to the channel while output is ok;
// the stream empties its buffer after this in any case.
int32_t GBorzan::Flush(GBufferedOutStream&, uint32_t, const uint8_t* bytes, int32_t count) {
  if (count <= 0) return 0;
  WriteOutput(bytes, static_cast<uint32_t>(count));
  return 0;
}

// Protocol class and font selection.

void GBorzan::GetProtocolClass(int32_t& major, int32_t& minor) {
  major = 2;
  minor = 0;
  const GGraphicsDevice* device = GetGraphicsDevice();
  if (device != nullptr && (device->GetAppFlags() & kClass20AppFlag) != 0) return;
  const std::optional<int16_t> configuredMajor = FindValue(GetConfiguration(), kMajorClassKey);
  const std::optional<int16_t> configuredMinor = FindValue(GetConfiguration(), kMinorClassKey);
  if (!configuredMajor || !configuredMinor) return;
  major = *configuredMajor;
  minor = *configuredMinor;
}

bool GBorzan::SupportsProtocolClass(int32_t major, int32_t minor) {
  int32_t ownMajor = 0;
  int32_t ownMinor = 0;
  GetProtocolClass(ownMajor, ownMinor);
  return ownMajor > major || (ownMajor == major && ownMinor >= minor);
}

int32_t GBorzan::IsFontEscapeUsable(const RWCString& selection) {
  const std::string_view text = View(selection);
  const bool hasBang = text.find('!') != std::string_view::npos;
  if (ValueOr(GetConfiguration(), kEscapeRuleKey, 0) != 1) return hasBang ? 1 : 0;
  if (!SupportsProtocolClass(3, 0)) return 0;
  return hasBang || text.find('\x1B') != std::string_view::npos ? 1 : 0;
}

// The raster-operation codes of the mix modes 1 to 16 as PCL XL takes them.
GGrayFunction GBorzan::GrayConversion() const {
  const GGraphicsDevice* device = GetGraphicsDevice();
  return device != nullptr ? device->GetGrayConversion() : GrayStandard;
}

uint16_t GBorzan::LookupFontCode(int32_t mixMode) {
  static constexpr FontCodeTable kCodes = {204, 1, 2, 3, 84, 221, 86, 87, 168, 169, 170, 171, 252, 253, 252, 51};
  return LookupIn(kCodes, mixMode);
}

void GBorzan::WriteStreamHeader(bool noComment) {
  std::string comment;
  if (!noComment) {
    comment = " Generated by the QV PCL XL printer driver";
    if (const GStringAttribute* version = FindText(JobSettings(), kVersionTextKey); version != nullptr) {
      const std::string_view text = View(version->Text());
      if (const size_t last = text.rfind(';'); last != std::string_view::npos) {
        comment += ' ';
        comment += text.substr(last);
      }
    } else {
      std::array<char, 48> number{};
      std::snprintf(number.data(), number.size(), " Version %u.%u.%u.%u", kVersionHigh >> 16, kVersionHigh & 0xFFFF,
                    kVersionLow >> 16, kVersionLow & 0xFFFF);
      comment += number.data();
    }
  }
  int32_t major = 0;
  int32_t minor = 0;
  GetProtocolClass(major, minor);
  XLWriteStreamHeader(stream_.get(), major, minor, comment);
}

// The job.

uint16_t GBorzan::DocumentStart(GDocumentStart& start) {
  if (const uint16_t status = GPDLGenerator::DocumentStart(start); status != 0) return status;
  WriteStreamHeader(false);
  NewFontObjects();
  ReadJobSettings();
  ApplyPhotoOverride();
  ChooseDitherMatrix();
  BeginSession();
  currentMediaSource_ = kNoMediaSource;
  currentMediaType_.clear();
  if (const std::optional<int16_t> mode = FindValue(JobSettings(), kVendorModeKey)) {
    XLVendorUnique(stream_.get(), kVendorModeExtension, LowByte(mode));
  }
  if (const std::optional<int16_t> tracking = FindValue(JobSettings(), kMemoryTrackingKey)) {
    MemoryBudget().SetTracking(*tracking);
  }
  sideCounter_ = 0;
  JobSettings()->ClearAllChanged();
  EnterDocument();
  WriteRawJobStrings([this] { FlushStream(); });
  return TakeStatus();
}

// A job starts with no font on the printer: the fonts of an earlier job
// are forgotten and the names and use stamps count from 0 again.
void GBorzan::NewFontObjects() {
  SetDownloadedFontCache(std::make_unique<GBorzanFontCache>());
  SetGlyphCodeMapper(std::make_unique<GBorzanGlyphCodeMapper>());
  FontCounters() = {};
}

void GBorzan::ReadJobSettings() {
  GState* job = JobSettings();
  if (const auto grey = FindValue(job, kGreyKey)) colour_ = *grey == 0;
  if (const auto text = FindValue(job, kTextKey)) textFlag_ = *text == 1;
  ReadJobResolution(xResolution_, yResolution_);
  if (const auto pattern = FindValue(job, kPatternKey)) patterns_ = *pattern == 1;
  ditherOff_ = FindValue(job, kHalftoneKey) == 2;
  if (const auto treatment = FindValue(job, kImageTreatmentKey)) imageTreatment_ = static_cast<uint16_t>(*treatment);
  currentDuplex_ = static_cast<uint16_t>(ValueOr(job, kDuplexKey, 0));
}

// The photo override of the job chooses the image treatment; the photo
// kind says what an automatic choice means.
void GBorzan::ApplyPhotoOverride() {
  const std::optional<int16_t> override = FindValue(JobSettings(), kPhotoOverrideKey);
  if (!override) return;
  photoOverride_ = static_cast<uint16_t>(*override);
  const int16_t kind = ValueOr(JobSettings(), kPhotoKindKey, 3);
  switch (*override) {
    case 1: {
      GGraphicsDevice* device = GetGraphicsDevice();
      const bool asIs = device != nullptr && device->GetConfiguration() != nullptr &&
                        device->GetConfiguration()->FindByKey(kPhotoAsIsKey) != nullptr;
      imageTreatment_ = asIs ? 0 : 4;
      break;
    }
    case 2:
      imageTreatment_ = 512;
      break;
    case 0:
      if (kind == 1 || kind == 2) imageTreatment_ = 512;
      if (kind == 3) imageTreatment_ = 4;
      break;
    default:
      break;
  }
}

void GBorzan::ChooseDitherMatrix() {
  const std::vector<GObjectRef> matrices = ConfiguredDitherMatrices();
  GState* job = JobSettings();
  const bool strict = FindValue(job, kStrictMatrixKey) == 1 && FindValue(job, kStrictMatrixSecondKey) == 1;
  ditherMatrix_ = FindSharedDitherMatrix(
      xResolution_, yResolution_, LowByte(FindValue(job, kHalftoneKey)), LowByte(FindValue(job, kScreenKey)),
      static_cast<uint16_t>(ValueOr(job, kScreenDetailKey, 0)), matrices, -1, strict);
}

void GBorzan::BeginSession() {
  XLBeginSession(stream_.get(), {xResolution_, yResolution_}, 0, 3);
  XLOpenDataSource(stream_.get(), 0, 1);
}

uint16_t GBorzan::DocumentEnd(GDocumentEnd&) {
  WriteRawJobStrings([this] { FlushStream(); });
  LeaveJob();
  CloseSession();
  ResetTextState();
  FlushStream();
  SetInJob(false);
  if (OwnsOutputChannel() && OutputChannel() != nullptr) {
    if (const uint16_t status = OutputChannel()->Close(); status != 0) {
      TakeStatus();
      return status;
    }
  }
  return TakeStatus();
}

void GBorzan::CloseSession() {
  XLCloseDataSource(stream_.get());
  XLEndSession(stream_.get());
}

uint16_t GBorzan::JobAbort(GJobAbort& abort) {
  LeaveJob();
  if (IsInJob()) {
    CloseSession();
    FlushStream();
    ForgetAbortedJob();
  }
  GPeripheral::JobAbort(abort);
  return TakeStatus();
}

// Written straight into the stream so that the padding has its exact size:
// a Comment whose data is 120 letters H, 126 bytes in all.
uint16_t GBorzan::PadOutput(GCommand&) {
  constexpr size_t kLetters = 120;
  std::array<uint8_t, kLetters + 6> padding{};
  padding[0] = 0xC8;
  padding[1] = 0xC0;
  padding[2] = kLetters;
  for (size_t i = 0; i < kLetters; ++i) padding[3 + i] = 'H';
  padding[kLetters + 3] = 0xF8;
  padding[kLetters + 4] = static_cast<uint8_t>(XLAttr::CommentData);
  padding[kLetters + 5] = static_cast<uint8_t>(XLOp::Comment);
  XLWriteRawBytes(stream_.get(), padding);
  FlushStream();
  const uint16_t status = TakeStatus();
  if (status != 0) return status;
  return OutputChannel() != nullptr ? OutputChannel()->End() : 0;
}

uint16_t GBorzan::PassThrough(GPassThroughCommand& data) {
  if (data.GetValue2() != kPassThroughTarget) return 0;
  FlushStream();
  XLPassThrough(stream_.get(), {data.GetData(), data.GetLength()});
  return 0;
}

// Pages.

uint16_t GBorzan::PageStart(GPageStart& start) {
  if (const uint16_t status = GPDLGenerator::PageStart(start); status != 0) return status;
  GOutputChannel* channel = OutputChannel();
  if (channel == nullptr) return kNoOutputChannel;
  if (sideCounter_ != 0) {
    if (const uint16_t status = channel->End(); status != 0) return status;
  }
  if (const uint16_t status = channel->Begin(); status != 0) return status;
  // Every page starts from the job's initial graphic state. BeginPage
  // resets the printer's graphics state: whatever the graphic state holds,
  // also what equals the last page's, is sent again before the page's
  // first drawing.
  if (GState* graphicState = TakeInitialGraphicState(); graphicState != nullptr) graphicState->MarkAllChanged();
  ResetTextState();
  SendDitherVendorCode();
  pageCopies_ = static_cast<uint16_t>(ValueOr(PageSettings(), kCopiesKey, static_cast<int16_t>(pageCopies_)));
  SendOrientation();
  if (currentDuplex_ == 0 && sideCounter_ % 2 == 1) ++sideCounter_;
  SendDuplexMode();
  SendMediaSource();
  SendMediaSize();
  XLWriteOperator(stream_.get(), XLOp::BeginPage);
  SendColourTreatment();
  DownloadDitherMatrix();
  XLSetClipMode(stream_.get(), 0);
  PageSettings()->ClearAllChanged();
  EnterPage();
  return TakeStatus();
}

// Two fine screens of the 600-dot matrices are chosen by the printer's
// own extension rather than downloaded.
void GBorzan::SendDitherVendorCode() {
  if (ditherMatrix_ == nullptr || ditherMatrix_->GetTag() != 0 || ditherMatrix_->GetSelector3() != 2 ||
      ditherMatrix_->GetSelector1() != 600) {
    return;
  }
  if (ditherMatrix_->GetSelector4() == 18) XLVendorUnique(stream_.get(), kFineScreenExtension);
  if (ditherMatrix_->GetSelector4() == 22) XLVendorUnique(stream_.get(), kSmoothScreenExtension);
}

uint8_t GBorzan::Orientation() {
  switch (ValueOr(PageSettings(), kOrientationKey, 0)) {
    case 90:
      return 1;
    case 180:
      return 2;
    case 270:
      return 3;
    default:
      return 0;
  }
}

void GBorzan::SendOrientation() {
  XLWriteUByte(stream_.get(), Orientation());
  XLWriteAttribute(stream_.get(), XLAttr::Orientation);
}

// The duplex mode is sent when it changes, and only on a front side (or
// when duplex printing ends), unless the printer's own set-up handles it.
void GBorzan::SendDuplexMode() {
  if (!duplexControl_) return;
  GGraphicsDevice* device = GetGraphicsDevice();
  if (device != nullptr && ValueOr(device->GetConfiguration(), kDuplexByDeviceKey, 0) != 0) return;
  const uint16_t duplex = static_cast<uint16_t>(ValueOr(PageSettings(), kDuplexKey, 0));
  if (duplex == currentDuplex_ || (duplex != 0 && sideCounter_ % 2 != 0)) return;
  currentDuplex_ = duplex;
  const bool twoSided = duplex == 1 || duplex == 2;
  XLWriteUByte(stream_.get(), duplex == 2 ? 1 : 0);
  XLWriteAttribute(stream_.get(), twoSided ? XLAttr::DuplexPageMode : XLAttr::SimplexPageMode);
}

// A custom size is sent with its tray every time, since the printer takes
// the size of a custom sheet from the tray it draws it from.
void GBorzan::SendMediaSource() {
  const auto* tray = dynamic_cast<GValueAttribute*>(PageSettings()->FindByKey(kTrayKey));
  if (tray == nullptr) return;
  const auto* medium = dynamic_cast<GMedia*>(PageSettings()->FindByKey(kMediumKey));
  const bool custom = medium != nullptr && IsCustomSize(medium->GetSizeId());
  const auto trayValue = static_cast<uint16_t>(tray->Value());
  if (trayValue == currentMediaSource_ && !custom) return;
  currentMediaSource_ = trayValue;
  auto* map = FindAs<MAssociationList>(GetConfiguration(), kTrayMapKey);
  const auto* source = dynamic_cast<GValueAttribute*>(FindMappedValue(map, tray->Value()));
  XLWriteUByte(stream_.get(), source != nullptr ? static_cast<uint8_t>(source->Value()) : 0);
  XLWriteAttribute(stream_.get(), XLAttr::MediaSource);
}

void GBorzan::SendMediaSize() {
  auto* medium = dynamic_cast<GMedia*>(PageSettings()->FindByKey(kMediumKey));
  auto* sizes = FindAs<MAssociationList>(GetConfiguration(), kSizeMapKey);
  if (medium == nullptr || medium->ClassID() != kGMediaClassID || sizes == nullptr) return;
  currentMedium_ = medium;
  const std::string_view type = View(medium->GetMediaType());
  if (!type.empty() && type != currentMediaType_) {
    XLWriteUByteArray(stream_.get(), Bytes(type));
    XLWriteAttribute(stream_.get(), XLAttr::MediaType);
    currentMediaType_ = type;
  }
  ++sideCounter_;
  const int16_t sizeId = IsCustomSize(medium->GetSizeId()) ? kFirstCustomSize : medium->GetSizeId();
  if (const auto* name = dynamic_cast<GStringAttribute*>(FindMappedValue(sizes, sizeId))) {
    XLWriteUByteArray(stream_.get(), Bytes(View(name->Text())));
    XLWriteAttribute(stream_.get(), XLAttr::MediaSize);
    return;
  }
  SendCustomSize(*medium);
}

void GBorzan::SendCustomSize(const GMedia& medium) {
  const GDotPair paper = medium.GetPaperSize();
  float width = static_cast<float>(paper.x) / static_cast<float>(medium.GetXResolution());
  float height = static_cast<float>(paper.y) / static_cast<float>(medium.GetYResolution());
  const uint8_t orientation = Orientation();
  if (orientation == 1 || orientation == 3) std::swap(width, height);
  XLWriteXY(stream_.get(), XLPair<float>{width, height});
  XLWriteAttribute(stream_.get(), XLAttr::CustomMediaSize);
  XLWriteUByte(stream_.get(), 0);
  XLWriteAttribute(stream_.get(), XLAttr::CustomMediaSizeUnits);
  if (currentDuplex_ != 0 && sideCounter_ % 2 == 0) ++sideCounter_;
}

void GBorzan::DownloadDitherMatrix() {
  if (ditherMatrix_ == nullptr || ditherMatrix_->GetTag() == 0) return;
  const uint16_t width = ditherMatrix_->GetWidth();
  const uint16_t height = ditherMatrix_->GetHeight();
  XLSetHalftoneMethodMatrix(stream_.get(), {width, height}, 2, 0);
  std::vector<uint8_t> cells;
  cells.reserve(static_cast<size_t>(width) * height);
  for (uint32_t row = 0; row < height; ++row) {
    for (uint32_t column = 0; column < width; ++column) cells.push_back(ditherMatrix_->GetCell(row, column));
  }
  XLWriteEmbeddedData(stream_.get(), cells);
}

uint16_t GBorzan::PageEnd(GPageEnd&) {
  EnterDocument();
  XLEndPage(stream_.get(), static_cast<uint16_t>(ValueOr(PageSettings(), kCopiesKey, 1)));
  FlushStream();
  ResetPathDepth();
  SetDefiningClip(false);
  currentMedium_ = nullptr;
  return TakeStatus();
}

// Stored form.

void GBorzan::Fields(GFieldArchive& archive) {
  GPDLGenerator::Fields(archive);
  if (archive.IsRestoring()) {
    GetDeviceFontList();
    NewFontObjects();
  }
  if (!archive.Version(FormatVersion())) return;
  archive.UInt16(fontDownload_);
  archive.UInt16(Output().PendingStatus());
  archive.Bool32(Output().OutputOk());
  archive.UInt16(xResolution_);
  archive.UInt16(yResolution_);
  archive.Bool32(colour_);
}
