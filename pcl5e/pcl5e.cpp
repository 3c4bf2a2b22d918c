#include "pcl5e/pcl5e.h"

#include <array>
#include <optional>
#include <span>
#include <string>
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
#include "model/attributes/capabilities.h"
#include "model/attributes/configuration.h"
#include "model/attributes/state.h"
#include "model/attributes/string_attribute.h"
#include "model/attributes/value_attribute.h"
#include "model/objects/field_archive.h"
#include "model/objects/persistent_association.h"
#include "model/objects/selection_string.h"
#include "pcl5e/pcl_templates.h"
#include "pclxl/borzan/text_bytes.h"
#include "pipeline/document_channel.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GPcl5e>, kGPcl5eClassID, kGPcl5eClassName);

// Job settings.
constexpr int32_t kDuplexKey = 253;
constexpr int32_t kPatternKey = 277;
constexpr int32_t kGreyKey = 296;
constexpr int32_t kImageTreatmentKey = 297;
constexpr int32_t kHalftoneKey = 325;
constexpr int32_t kLogicalPageKey = 442;
constexpr int32_t kEconomyKey = 900;
constexpr int32_t kPrintQualityKey = 901;
constexpr int32_t kScreenKey = 910;
constexpr int32_t kScreenDetailKey = 911;
constexpr int32_t kMemoryTrackingKey = 932;
constexpr int32_t kStrictMatrixKey = 1005;
constexpr int32_t kStrictMatrixSecondKey = 252;
constexpr int16_t kInvertedGrey = 3;
// Page settings.
constexpr int32_t kCopiesKey = 257;
constexpr int32_t kTrayKey = 258;
constexpr int32_t kMediaKey = 259;
constexpr int32_t kOrientationKey = 265;
// Configuration.
constexpr int32_t kTrayMapKey = 85;
constexpr int32_t kCapabilityGroupKey = 112;
constexpr int32_t kCapabilitiesKey = 136;
constexpr int32_t kMediaTableKey = 189;
constexpr int32_t kPaperSizeTableKey = 192;
constexpr int32_t kMediaTypeListKey = 196;
// In the graphics device's configuration.
constexpr int32_t kDuplexByDeviceKey = 245;

constexpr int16_t kCustomSize = 0x4000;
constexpr int16_t kLastCustomSize = 0x43E7;
constexpr int16_t kLargestMediaSize = 0x43E8;
constexpr int16_t kDefaultTrayCode = 7;
constexpr int32_t kPadBytes = 200;
constexpr int16_t kPatternReferenceY = 14;
// Back-side registration bits of the capability set.
constexpr uint32_t kBackSideAnyBit = 5;
constexpr uint32_t kBackSideTurnedBit = 6;
constexpr uint32_t kBackSideUprightBit = 7;

int16_t SizeIdOf(const GMedia& media) {
  const int16_t id = media.GetSizeId();
  return id > kCustomSize && id <= kLastCustomSize ? kCustomSize : id;
}

// The orientation code of the page from its angle in degrees.
uint8_t OrientationCode(int16_t degrees) {
  switch (degrees) {
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

bool IsTurned(uint8_t orientation) { return orientation == 1 || orientation == 3; }

// Dots to decipoints at a resolution, truncated.
int32_t Decipoints(int32_t dots, int32_t resolution) { return resolution != 0 ? dots * 720 / resolution : 0; }

GCapabilities* FindCapabilities(GConfiguration* configuration) {
  MPersistentObject* group = configuration != nullptr ? configuration->FindByKey(kCapabilityGroupKey) : nullptr;
  return FindAs<GCapabilities>(group, kCapabilitiesKey);
}

}  // namespace

GPcl5e::GPcl5e() { NewStream(); }

GPcl5e::GPcl5e(const RWCString& name, GState* initialState, GConfiguration* configuration, int32_t key,
               int32_t addOnListKey, int32_t addOnKind, int32_t addOnMode)
    : GPDLGenerator(name, initialState, configuration, key, addOnListKey, addOnKind, addOnMode) {
  NewStream();
  GetDeviceFontList();
}

GPcl5e::GPcl5e(const GPcl5e& other) : GPDLGenerator(other), GPclStreamSink() {
  NewStream();
  CopyOwnFields(other);
}

GPcl5e& GPcl5e::operator=(const GPcl5e& other) {
  if (this == &other) return *this;
  if (OwnsOutputChannel()) BorrowOutputChannel(nullptr);
  GPDLGenerator::operator=(other);
  NewStream();
  CopyOwnFields(other);
  return *this;
}

GPcl5e::~GPcl5e() = default;

// Everything but the stream, the current medium and the kept polygon,
// which belong to the job being written.
void GPcl5e::CopyOwnFields(const GPcl5e& other) {
  pclDirty_ = other.pclDirty_;
  gl2Dirty_ = other.gl2Dirty_;
  gl2Active_ = other.gl2Active_;
  gl2SetUp_ = other.gl2SetUp_;
  transformScalingSent_ = other.transformScalingSent_;
  drawingFlags_ = other.drawingFlags_;
  fillRule_ = other.fillRule_;
  logicalOperation_ = other.logicalOperation_;
  patternTransparency_ = other.patternTransparency_;
  sourceTransparency_ = other.sourceTransparency_;
  clipMode_ = other.clipMode_;
  sentClipMode_ = other.sentClipMode_;
  clipRectangle_ = other.clipRectangle_;
  edgeColourMode_ = other.edgeColourMode_;
  fillColourMode_ = other.fillColourMode_;
  sentPaperSize_ = other.sentPaperSize_;
  pageCounter_ = other.pageCounter_;
  duplexValue_ = other.duplexValue_;
  logicalPage_ = other.logicalPage_;
  capabilities_ = other.capabilities_;
  selectedPalette_ = other.selectedPalette_;
  programmedPalette_ = other.programmedPalette_;
  palette_ = other.palette_;
  penFill_ = other.penFill_;
  patternId_ = other.patternId_;
  sentOrientation_ = other.sentOrientation_;
  sentRotation_ = other.sentRotation_;
  cursorXUnknown_ = other.cursorXUnknown_;
  cursorYUnknown_ = other.cursorYUnknown_;
  currentMedia_ = nullptr;
  rotatedMedia_ = other.rotatedMedia_;
  xResolution_ = other.xResolution_;
  yResolution_ = other.yResolution_;
  colourModel_ = other.colourModel_;
  secondColourModel_ = other.secondColourModel_;
  deviceColourLevel_ = other.deviceColourLevel_;
  patternSetting_ = other.patternSetting_;
  halftoneSetting_ = other.halftoneSetting_;
  imageTreatment_ = other.imageTreatment_;
  ditherMatrix_ = other.ditherMatrix_;
  ownMatrix_ = other.ownMatrix_;
  transformScale_ = other.transformScale_;
  cursorX_ = other.cursorX_;
  cursorY_ = other.cursorY_;
  sentPaperSource_ = other.sentPaperSource_;
  mediaTypeName_ = other.mediaTypeName_;
  textState_ = other.textState_;
  copies_ = other.copies_;
  keptPolygon_ = nullptr;
}

void GPcl5e::NewStream() {
  stream_ = PclStreamCreate(kStreamBufferSize, this, 0);
  formatter_.SetStream(stream_.get());
}

bool GPcl5e::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* generator = dynamic_cast<const GPcl5e*>(&other);
  return generator != nullptr && generator->ClassID() == ClassID() && GPDLGenerator::SameContent(other) &&
         patternId_ == generator->patternId_ && colourModel_ == generator->colourModel_ &&
         secondColourModel_ == generator->secondColourModel_ && cursorX_ == generator->cursorX_ &&
         cursorY_ == generator->cursorY_;
}

uint16_t GPcl5e::SendTo(GPeripheral& target) { return target.AddPcl5e(*this); }

void GPcl5e::ResetJob() {
  GPDLGenerator::ResetJob();
  ResetFields();
}

// The reset values of everything a job changes; the resolutions, the
// capabilities and the settings read at document start stay.
void GPcl5e::ResetFields() {
  pclDirty_ = 0;
  gl2Dirty_ = 0;
  gl2Active_ = false;
  drawingFlags_ = kPenSet;
  fillRule_ = 0;
  logicalOperation_ = 240;
  patternTransparency_ = 1;
  sourceTransparency_ = 1;
  clipMode_ = kNoClip;
  edgeColourMode_ = 3;
  fillColourMode_ = 3;
  sentPaperSize_ = -1;
  pageCounter_ = -1;
  duplexValue_ = -1;
  selectedPalette_ = kNoPalette;
  programmedPalette_ = kNoPalette;
  penFill_ = PenFillCache();
  patternId_ = 1;
  sentRotation_ = -1;
  Output() = GGeneratorOutput();
  colourModel_ = 2;
  secondColourModel_ = 2;
  deviceColourLevel_ = 2;
  transformScale_ = GScale();
  sentPaperSource_ = -1;
  textState_ = TextState();
  copies_ = 1;
  keptPolygon_ = nullptr;
}

// The capability bits this generator acts on, from the configuration's
// capability set; without one the flags stay as they are. Read at document
// start, when the configuration is the job's, and on restore.
void GPcl5e::ReadDeviceCapabilities() {
  const GCapabilities* capabilities = FindCapabilities(GetConfiguration());
  if (capabilities == nullptr) return;
  static constexpr std::array<Capability, 9> kKept = {
      kFontCapability,           kPatternPenCapability,    kMergeControlCapability, kSwappedLandscapeCapability,
      kNoCentringCapability,     kRectangleFormCapability, kCustomPaperACapability, kCustomPaperCommandCapability,
      kNoDuplexCommandCapability};
  capabilities_ = 0;
  for (const Capability bit : kKept) {
    if (capabilities->TestBit(bit)) capabilities_ |= 1U << bit;
  }
}

// The stream's callback: the block goes to the channel while writing is
// enabled; the stream empties its buffer after this in any case.
int32_t GPcl5e::Flush(GBufferedOutStream&, uint32_t, const uint8_t* bytes, int32_t count) {
  if (count <= 0) return 0;
  WriteOutput(bytes, static_cast<uint32_t>(count));
  return 0;
}

void GPcl5e::FlushStream() {
  if (stream_ != nullptr) PclStreamFlush(*stream_);
}

void GPcl5e::Send(std::string_view text, std::initializer_list<int32_t> parameters) {
  if (stream_ == nullptr) return;
  char letter = 'A';
  for (const int32_t value : parameters) formatter_.SetParameter(letter++, value);
  formatter_.SetTemplate(text);
  formatter_.Expand();
}

void GPcl5e::SendBytes(std::string_view bytes) {
  if (stream_ == nullptr) return;
  PclStreamWrite(*stream_, reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<int32_t>(bytes.size()));
}

// The job.

uint16_t GPcl5e::DocumentStart(GDocumentStart& start) {
  if (const uint16_t status = GPDLGenerator::DocumentStart(start); status != 0) return status;
  ReadDeviceCapabilities();
  ReadJobSettings();
  ChooseDitherMatrix();
  Send(HasCapability(kPatternPenCapability) ? pcl_template::kJobStartWithResolution : pcl_template::kJobStart,
       {yResolution_});
  GState* job = JobSettings();
  if (const auto quality = FindValue(job, kPrintQualityKey)) Send(pcl_template::kPrintQuality, {*quality});
  if (const auto economy = FindValue(job, kEconomyKey)) Send(pcl_template::kEconomyMode, {*economy});
  if (const auto tracking = FindValue(job, kMemoryTrackingKey)) MemoryBudget().SetTracking(*tracking);
  sentPaperSource_ = -1;
  mediaTypeName_.clear();
  pageCounter_ = 0;
  EnterDocument();
  WriteRawJobStrings([this] { FlushStream(); });
  return TakeStatus();
}

void GPcl5e::ReadJobSettings() {
  GState* job = JobSettings();
  ReadJobResolution(xResolution_, yResolution_);
  patternSetting_ = FindValue(job, kPatternKey) == 1;
  halftoneSetting_ = FindValue(job, kHalftoneKey) == 2;
  imageTreatment_ = ValueOr(job, kImageTreatmentKey, 0);
  duplexValue_ = ValueOr(job, kDuplexKey, 0);
  logicalPage_ = FindValue(job, kLogicalPageKey) == 1;
}

// The job's matrix among the configuration's; an inverted-grey job prints
// with the negated cells, kept in a copy of its own so that the shared
// matrix stays as every other job finds it.
void GPcl5e::ChooseDitherMatrix() {
  const std::vector<GObjectRef> matrices = ConfiguredDitherMatrices();
  GState* job = JobSettings();
  const bool strict = FindValue(job, kStrictMatrixKey) == 1 && FindValue(job, kStrictMatrixSecondKey) == 1;
  ditherMatrix_ =
      FindSharedDitherMatrix(xResolution_, yResolution_, static_cast<uint16_t>(ValueOr(job, kScreenKey, 0) & 0xFF),
                             static_cast<uint16_t>(ValueOr(job, kHalftoneKey, 0) & 0xFF),
                             static_cast<uint16_t>(ValueOr(job, kScreenDetailKey, 0)), matrices, -1, strict);
  ownMatrix_ = nullptr;
  if (ditherMatrix_ == nullptr || FindValue(job, kGreyKey) != kInvertedGrey) return;
  auto* negated = static_cast<GDitherMatrix*>(ditherMatrix_->Clone());
  ownMatrix_ = negated;
  for (uint32_t row = 0; row < negated->GetHeight(); ++row) {
    for (uint32_t column = 0; column < negated->GetWidth(); ++column) {
      negated->SetCell(row, column, static_cast<uint8_t>(-negated->GetCell(row, column)));
    }
  }
  ditherMatrix_ = negated;
}

// The job ends with the last page's form feed: nothing more is sent.
uint16_t GPcl5e::DocumentEnd(GDocumentEnd&) {
  WriteRawJobStrings([this] { FlushStream(); });
  LeaveJob();
  if (DownloadedFontCache() != nullptr) DownloadedFontCache()->UnloadAll();
  ResetTextState();
  FlushStream();
  SetInJob(false);
  const uint16_t status = TakeStatus();
  if (OwnsOutputChannel() && OutputChannel() != nullptr) {
    if (const uint16_t closed = OutputChannel()->Close(); closed != 0) return closed;
  }
  return status;
}

uint16_t GPcl5e::JobAbort(GJobAbort& abort) {
  LeaveJob();
  if (IsInJob()) {
    if (DownloadedFontCache() != nullptr) DownloadedFontCache()->UnloadAll();
    FlushStream();
    ForgetAbortedJob();
  }
  GPeripheral::JobAbort(abort);
  return TakeStatus();
}

uint16_t GPcl5e::PadOutput(GCommand&) {
  static constexpr std::array<char, kPadBytes> kZeros{};
  SendBytes({kZeros.data(), kZeros.size()});
  FlushStream();
  const uint16_t status = TakeStatus();
  if (status != 0) return status;
  return OutputChannel() != nullptr ? OutputChannel()->End() : 0;
}

uint16_t GPcl5e::PassThrough(GPassThroughCommand& data) {
  if (data.GetValue2() != kPassThroughTarget) return 0;
  FlushStream();
  if (OutputChannel() == nullptr) return kNoOutputChannel;
  uint32_t written = 0;
  return OutputChannel()->Write(data.GetData(), data.GetLength(), written);
}

// Pages.

uint16_t GPcl5e::PageStart(GPageStart& start) {
  if (const uint16_t status = GPDLGenerator::PageStart(start); status != 0) return status;
  GOutputChannel* channel = OutputChannel();
  if (channel == nullptr) return kNoOutputChannel;
  if (pageCounter_ != 0) {
    if (const uint16_t status = channel->End(); status != 0) return status;
  }
  if (const uint16_t status = channel->Begin(); status != 0) return status;
  LeaveGL2(0, true);
  TakeInitialGraphicState();
  copies_ = static_cast<uint16_t>(ValueOr(PageSettings(), kCopiesKey, 1));
  ResetTextState();
  uint8_t orientation = OrientationCode(ValueOr(PageSettings(), kOrientationKey, 0));
  ResetPageCaches(orientation);
  SetOrientation(orientation);
  if (duplexValue_ == 0 && pageCounter_ % 2 == 1) ++pageCounter_;
  SendDuplexMode();
  SendPaperSource();
  const bool custom = SendMedia(orientation);
  Send(pcl_template::kTopMarginZero);
  const int32_t width = PatternWidth();
  const int32_t originX = currentMedia_ != nullptr ? currentMedia_->GetPrintableOrigin().x : 0;
  const int32_t phase = ((originX - 1) % width + width) % width;
  SetCursor(static_cast<int16_t>(width - phase), kPatternReferenceY, true, true);
  Send(pcl_template::kPushCursor);
  SendPageFrame(custom, orientation);
  SendBackSideRegistration(orientation);
  EnterPage();
  return TakeStatus();
}

// What the printer forgets, or may have changed, between pages.
void GPcl5e::ResetPageCaches(uint8_t orientation) {
  penFill_ = PenFillCache();
  sentRotation_ = -1;
  cursorXUnknown_ = true;
  cursorYUnknown_ = true;
  sentOrientation_ = static_cast<uint8_t>(~orientation);
  selectedPalette_ = kNoPalette;
  programmedPalette_ = kNoPalette;
}

int32_t GPcl5e::PatternWidth() const {
  return ditherMatrix_ != nullptr && ditherMatrix_->GetWidth() != 0 ? ditherMatrix_->GetWidth() : 1;
}

// The duplex mode changes only on a front side (or to simplex), unless the
// printer's own set-up handles it.
void GPcl5e::SendDuplexMode() {
  if (HasCapability(kNoDuplexCommandCapability)) return;
  GGraphicsDevice* device = GetGraphicsDevice();
  if (device != nullptr && ValueOr(device->GetConfiguration(), kDuplexByDeviceKey, 0) != 0) return;
  const std::optional<int16_t> duplex = FindValue(PageSettings(), kDuplexKey);
  if (!duplex || *duplex == duplexValue_ || (*duplex != 0 && pageCounter_ % 2 != 0)) return;
  duplexValue_ = *duplex;
  Send(pcl_template::kDuplexMode, {duplexValue_ == 1 ? 2 : duplexValue_ == 2 ? 1 : 0});
}

void GPcl5e::SendPaperSource() {
  const auto* tray = dynamic_cast<GValueAttribute*>(PageSettings()->FindByKey(kTrayKey));
  if (tray == nullptr || tray->Value() == sentPaperSource_) return;
  sentPaperSource_ = tray->Value();
  auto* map = FindAs<MAssociationList>(GetConfiguration(), kTrayMapKey);
  const auto* code = dynamic_cast<GValueAttribute*>(FindMappedValue(map, tray->Value()));
  Send(pcl_template::kPaperSource, {code != nullptr ? code->Value() : kDefaultTrayCode});
}

bool GPcl5e::SendMedia(uint8_t& orientation) {
  auto* media = dynamic_cast<GMedia*>(PageSettings()->FindByKey(kMediaKey));
  auto* sizes = FindAs<MAssociationList>(GetConfiguration(), kPaperSizeTableKey);
  if (media == nullptr || media->ClassID() != kGMediaClassID || sizes == nullptr) return false;
  currentMedia_ = media;
  const int16_t sizeId = SizeIdOf(*media);
  const auto* entry = dynamic_cast<GSelectionString*>(FindMappedValue(sizes, sizeId));
  const bool custom = entry == nullptr || entry->Value() >= kCustomSize;
  const bool variantA = HasCapability(kCustomPaperACapability);
  const bool sizeCommand = HasCapability(kCustomPaperCommandCapability);
  if (variantA && custom && orientation == 3) {
    orientation = 1;
    SetOrientation(orientation);
  }
  const int16_t degrees = ValueOr(PageSettings(), kOrientationKey, 0);
  if (media->GetOrientation() != degrees) {
    rotatedMedia_ = *media;
    if (GGraphicsDevice* device = GetGraphicsDevice()) {
      if (std::unique_ptr<GMedia> turned =
              device->ResolveMediaBySize(media->GetSizeId(), degrees, xResolution_, yResolution_)) {
        rotatedMedia_ = *turned;
      }
    }
    currentMedia_ = &rotatedMedia_;
  }
  SendMediaType(*currentMedia_);
  ++pageCounter_;
  Send(pcl_template::kPrintDirectionUpright);
  if (sizeId != sentPaperSize_ || sentPaperSize_ == kCustomSize) {
    sentPaperSize_ = sizeId;
    if (custom && !variantA && sizeCommand) {
      const GDotPair paper = currentMedia_->GetPaperSize();
      const bool turned = IsTurned(orientation);
      Send(pcl_template::kCustomPaperSize,
           {turned ? paper.y : paper.x, turned ? paper.x : paper.y, xResolution_, yResolution_});
    }
    if (entry != nullptr) {
      Send(View(entry->Text()));
    } else {
      Send(pcl_template::kFixedPaperSize);
    }
    if (duplexValue_ != 0 && pageCounter_ % 2 == 0) ++pageCounter_;
  } else if (variantA && custom) {
    Send(pcl_template::kFixedPaperSize);
  }
  if (custom && !variantA && sizeCommand) SendCustomMargins(*currentMedia_, orientation);
  if (custom && !variantA && !sizeCommand) SendRegistration(orientation);
  if (!custom && !variantA && !sizeCommand) Send(pcl_template::kNoOffsets);
  return custom;
}

// A list of the printer's media types names each by its code; a printer
// without one takes the name itself.
void GPcl5e::SendMediaType(const GMedia& media) {
  const std::string_view name = View(media.GetMediaType());
  if (name.empty() || name == mediaTypeName_) return;
  if (MPersistentObject* list = FindAs<MPersistentObject>(GetConfiguration(), kMediaTypeListKey)) {
    ForEachChildAs<GSelectionString>(*list, [&](GSelectionString& type) {
      if (View(type.Text()) != name) return true;
      Send(pcl_template::kMediaTypeByNumber, {type.Value()});
      return false;
    });
  } else {
    Send(pcl_template::kMediaTypeByName, {static_cast<int32_t>(name.size()) + 1});
    SendBytes(name);
  }
  mediaTypeName_ = name;
}

// The printable area of a custom page as a logical-page record, unless it
// has the printer's standard margins on both sides.
void GPcl5e::SendCustomMargins(const GMedia& media, uint8_t orientation) {
  const int32_t margin = IsTurned(orientation) ? xResolution_ / 5 : xResolution_ / 4;
  const int32_t originX = media.GetPrintableOrigin().x;
  const int32_t right = media.GetPaperSize().x - media.GetPrintableSize().x - originX;
  if (originX == margin && right == margin) return;
  const int32_t left = Decipoints(originX, xResolution_);
  const int32_t width = Decipoints(media.GetPrintableSize().x, xResolution_);
  const int32_t height = Decipoints(media.GetPaperSize().y, yResolution_);
  const std::array<uint8_t, 16> record = {0x1B,
                                          '&',
                                          'a',
                                          '1',
                                          '0',
                                          'W',
                                          static_cast<uint8_t>(left >> 8),
                                          static_cast<uint8_t>(left),
                                          0,
                                          0,
                                          orientation,
                                          0,
                                          static_cast<uint8_t>(width >> 8),
                                          static_cast<uint8_t>(width),
                                          static_cast<uint8_t>(height >> 8),
                                          static_cast<uint8_t>(height)};
  PclStreamWrite(*stream_, record.data(), static_cast<int32_t>(record.size()));
}

// The largest medium the printer takes, at the page's orientation and the
// job's resolution, from the configuration's media table.
const GMedia* GPcl5e::LargestMedia(int16_t degrees) {
  const GMedia* found = nullptr;
  if (MPersistentObject* table = FindAs<MPersistentObject>(GetConfiguration(), kMediaTableKey)) {
    ForEachChildAs<GMedia>(*table, [&](GMedia& media) {
      if (media.GetSizeId() != kLargestMediaSize || media.GetOrientation() != degrees ||
          media.GetXResolution() != xResolution_ || media.GetYResolution() != yResolution_) {
        return true;
      }
      found = &media;
      return false;
    });
  }
  return found != nullptr ? found : currentMedia_;
}

// Places a custom page on the printer's largest medium: the page length
// and text length, and the offsets that centre the page on the sheet (or
// put it at the printer's edge), which alternate with the side of the
// sheet for duplex printing.
void GPcl5e::SendRegistration(uint8_t orientation) {
  int16_t degrees = static_cast<int16_t>(orientation * 90);
  if (HasCapability(kSwappedLandscapeCapability) && IsTurned(orientation))
    degrees = static_cast<int16_t>(360 - degrees);
  const GMedia& page = *currentMedia_;
  const GMedia& largest = *LargestMedia(degrees);
  const int32_t w = Decipoints(page.GetPaperSize().x, xResolution_);
  const int32_t h = Decipoints(page.GetPaperSize().y, yResolution_);
  const int32_t ah = Decipoints(page.GetPrintableSize().y, yResolution_);
  const int32_t aw = Decipoints(page.GetPrintableSize().x, xResolution_);
  const int32_t f = Decipoints(page.GetPaperSize().x + xResolution_ / 6, xResolution_);
  const int32_t mw = Decipoints(largest.GetPaperSize().x, largest.GetXResolution());
  const int32_t mh = Decipoints(largest.GetPaperSize().y, largest.GetYResolution());
  GGraphicsDevice* device = GetGraphicsDevice();
  const bool deviceDuplex = device != nullptr && ValueOr(device->GetConfiguration(), kDuplexByDeviceKey, 0) != 0;
  const bool both = deviceDuplex && duplexValue_ != 0;
  const bool edge = HasCapability(kNoCentringCapability);
  const bool even = pageCounter_ % 2 == 0;
  int32_t left = 0;
  int32_t top = 0;
  switch (degrees) {
    case 90:
      left = even ? (edge ? 0 : both ? (h - mh) / 2 : (mh - h) / 2) : (edge ? h - mh : (h - mh) / 2);
      top = even ? (both ? 0 : mw - w) : 0;
      break;
    case 180:
      left = even ? (edge ? 0 : both ? (f - mw) / 2 : (mw - f) / 2) : (edge ? mw - f : (f - mw) / 2);
      top = even ? (both ? h - mh : 0) : h - mh;
      break;
    case 270:
      left = even ? (edge ? h - mh : both ? (mh - h) / 2 : (h - mh) / 2) : (edge ? 0 : (mh - h) / 2);
      top = even ? (both ? w - mw : 0) : w - mw;
      break;
    default:
      left = even ? (edge ? f - mw : both ? (mw - f) / 2 : (f - mw) / 2) : (edge ? 0 : (mw - f) / 2);
      top = even ? (both ? 0 : mh - h) : 0;
      break;
  }
  const bool turned = degrees == 90 || degrees == 270;
  Send(pcl_template::kJobSeparationAndTray, {turned ? h : w, turned ? aw : ah, left, top});
}

void GPcl5e::SendPageFrame(bool custom, uint8_t orientation) {
  const GMedia* media = currentMedia_;
  const GDotPair origin = media != nullptr ? media->GetPrintableOrigin() : GDotPair{};
  const GDotPair printable = media != nullptr ? media->GetPrintableSize() : GDotPair{};
  if (logicalPage_ && media != nullptr) {
    Send(pcl_template::kEdgeToEdgePageRecord,
         {orientation, printable.x, printable.y, media->GetXResolution(), media->GetYResolution(), origin.x, 0});
  }
  const bool variantA = custom && HasCapability(kCustomPaperACapability);
  GDotPair frame = printable;
  if (variantA) {
    frame = {static_cast<int16_t>(media->GetPaperSize().x - xResolution_ / 2),
             static_cast<int16_t>(media->GetPaperSize().y - yResolution_ / 2)};
  }
  Send(pcl_template::kPictureFrameSize, {frame.x, frame.y, xResolution_, yResolution_});
  if (variantA && orientation == 1) Send(pcl_template::kPictureFrameAnchorRotated);
  SetCursor(0, origin.y, true, true);
  Send(pcl_template::kPictureFrameAnchor);
}

// A printer that registers the back side of a sheet by its far edge gets
// the margin it must move the image by.
void GPcl5e::SendBackSideRegistration(uint8_t orientation) {
  const GCapabilities* capabilities = FindCapabilities(GetConfiguration());
  if (capabilities == nullptr || currentMedia_ == nullptr) return;
  const bool any = capabilities->TestBit(kBackSideAnyBit);
  if (IsTurned(orientation) && (any || capabilities->TestBit(kBackSideTurnedBit))) {
    Send(pcl_template::kBackSideRegistration, {Decipoints(currentMedia_->GetFarMargins().x, xResolution_)});
  } else if (!IsTurned(orientation) && (any || capabilities->TestBit(kBackSideUprightBit))) {
    Send(pcl_template::kBackSideRegistration, {Decipoints(currentMedia_->GetPrintableOrigin().y, yResolution_)});
  }
}

uint16_t GPcl5e::PageEnd(GPageEnd&) {
  LeaveGL2(0, false);
  EnterDocument();
  Send(pcl_template::kCopiesFormFeed, {ValueOr(PageSettings(), kCopiesKey, 1)});
  FlushStream();
  ResetPathDepth();
  SetDefiningClip(false);
  currentMedia_ = nullptr;
  return TakeStatus();
}

// Stored form.

void GPcl5e::Fields(GFieldArchive& archive) {
  GPDLGenerator::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  if (archive.IsRestoring()) {
    NewStream();
    GetDeviceFontList();
    ReadDeviceCapabilities();
  }
  archive.Int16(patternId_);
  archive.UInt16(Output().PendingStatus());
  archive.Bool32(Output().OutputOk());
  archive.UInt16(xResolution_);
  archive.UInt16(yResolution_);
  archive.Int32(colourModel_);
  archive.Int32(secondColourModel_);
}
