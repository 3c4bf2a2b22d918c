#include "pipeline/filters/watermark_filter.h"

#include <memory>
#include <optional>

#include "device/driver/tree_lookup.h"
#include "device/media/media.h"
#include "foundation/class_registrar.h"
#include "graphics/commands/command_composite.h"
#include "graphics/commands/document_command.h"
#include "graphics/commands/page_command.h"
#include "graphics/device/graphics_device.h"
#include "model/attributes/state.h"
#include "model/attributes/string_attribute.h"
#include "model/objects/text_conversion.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GWatermarkFilter>, kGWatermarkFilterClassID,
                                kGWatermarkFilterClassName);

// The style bits of the description.
constexpr int16_t kBold = 0x1;
constexpr int16_t kItalic = 0x2;
constexpr int16_t kUnderline = 0x4;
constexpr int16_t kStrikeOut = 0x8;

// Full lightness would make the watermark vanish on white paper.
constexpr int16_t kPalestLightness = 232;

int32_t Flag(int16_t bits, int16_t bit) { return (bits & bit) != 0 ? 1 : 0; }

int32_t Value(MPersistentObject& description, int32_t key) { return ValueOr(&description, key, 0); }

RWWString WideText(MPersistentObject& description, int32_t key) {
  RWWString wide;
  if (const GStringAttribute* text = FindText(&description, key); text != nullptr) NarrowToWide(text->Text(), wide);
  return wide;
}

}  // namespace

GCommand* GWatermarkFilter::HandleCommand(GCommand* command) {
  if (command == nullptr) return nullptr;
  switch (command->ClassID()) {
    case kGPageStartClassID:
      ++pageCounter_;
      if (PageWanted()) KeepMedium(command->GetState());
      return command;
    case kGPageEndClassID:
      return PageWanted() ? PrecedeByWatermark(command) : command;
    default:
      return GPeripheral::HandleCommand(command);
  }
}

uint16_t GWatermarkFilter::DocumentStart(GDocumentStart& start) {
  pageCounter_ = 0;
  device_ = start.GetGraphicsDevice();
  GState* state = start.GetState();
  Configure(state != nullptr ? state->FindByKey(kDescriptionKey) : nullptr);
  if (mode_ == kOff) Disable();
  return 0;
}

uint16_t GWatermarkFilter::DocumentEnd(GDocumentEnd&) {
  ResetWatermark();
  return 0;
}

uint16_t GWatermarkFilter::JobAbort(GJobAbort&) {
  ResetWatermark();
  return 0;
}

void GWatermarkFilter::AdjustColor(int16_t lightness, int16_t& red, int16_t& green, int16_t& blue) const {
  const int16_t light = lightness == 255 ? kPalestLightness : lightness;
  const bool allOn = red != 0 && green != 0 && blue != 0;
  const bool grey = allOn || (device_ != nullptr && device_->IsGrayscaleJob() != 0);
  for (int16_t* component : {&red, &green, &blue}) *component = !grey && *component != 0 ? 255 : light;
}

void GWatermarkFilter::Fields(GFieldArchive& archive) {
  GPeripheral::Fields(archive);
  if (archive.IsRestoring()) ClearJob();
  archive.Version(FormatVersion());
}

void GWatermarkFilter::Configure(MPersistentObject* description) {
  mode_ = kOff;
  active_ = 0;
  pendingGraphic_ = GObjectRef();
  if (device_ == nullptr || description == nullptr) return;
  const std::optional<int16_t> pages = FindValue(description, kPagesKey);
  if (pages == 0) mode_ = kEveryPage;
  if (pages == 1) mode_ = kFirstPage;
  if (mode_ == kOff) return;
  if (FindValue(description, kOwnerKey) != 0) {
    mode_ = kOff;
    return;
  }
  active_ = 1;
  ReadSettings(*description);
}

void GWatermarkFilter::ReadSettings(MPersistentObject& description) {
  GWatermarkDescription& d = description_;
  d.text = WideText(description, kTextKey);
  d.textLength = static_cast<int32_t>(d.text.Length());
  d.faceName = WideText(description, kFaceNameKey);
  d.characterSet = Value(description, kCharacterSetKey);
  const auto style = static_cast<int16_t>(Value(description, kStyleKey));
  d.weight = Flag(style, kBold) != 0 ? 700 : 400;
  d.italic = Flag(style, kItalic);
  d.underline = Flag(style, kUnderline);
  d.strikeOut = Flag(style, kStrikeOut);
  d.width = Value(description, kWidthKey);
  d.pointSize = static_cast<int16_t>(Value(description, kPointSizeKey));
  d.angleMode = Value(description, kAngleModeKey);
  d.customAngle = Value(description, kCustomAngleKey);
  d.placement1 = Value(description, kPlacement1Key);
  d.placement2 = Value(description, kPlacement2Key);
  auto red = static_cast<int16_t>(Value(description, kRedKey));
  auto green = static_cast<int16_t>(Value(description, kGreenKey));
  auto blue = static_cast<int16_t>(Value(description, kBlueKey));
  d.lightness = static_cast<int16_t>(Value(description, kLightnessKey));
  AdjustColor(d.lightness, red, green, blue);
  d.colour = GRGBColor(static_cast<uint8_t>(red), static_cast<uint8_t>(green), static_cast<uint8_t>(blue), 255);
}

void GWatermarkFilter::DrawWatermark() {
  pendingGraphic_ = GObjectRef();
  const auto* medium = static_cast<const GMedia*>(pageMedium_.Get());
  if (active_ == 0 || medium == nullptr) return;
  if (font_ == 0) {
    description_.height = medium->GetXResolution() * description_.pointSize / -72;
    font_ = device_->CreateWatermarkFont(description_, medium->GetPaperSize(), fontExtent_);
  }
  if (font_ == 0) return;
  std::unique_ptr<GCommand> graphic =
      device_->MakeWatermarkGraphic(description_.text, font_, fontExtent_, description_.colour, *medium,
                                    static_cast<int16_t>(description_.characterSet));
  pendingGraphic_ = GObjectRef(graphic.release());
  device_->ReleaseWatermarkFont(&font_);
}

void GWatermarkFilter::ReleaseFont() {
  pendingGraphic_ = GObjectRef();
  if (active_ != 0 && device_ != nullptr) device_->ReleaseWatermarkFont(&font_);
}

void GWatermarkFilter::ResetWatermark() {
  ReleaseFont();
  pageMedium_ = GObjectRef();
  nextMedium_ = GObjectRef();
}

bool GWatermarkFilter::PageWanted() const { return mode_ == kEveryPage || (mode_ == kFirstPage && pageCounter_ == 1); }

void GWatermarkFilter::KeepMedium(GState* pageState) {
  if (pageState == nullptr) return;
  nextMedium_ = GObjectRef();
  const auto* medium = dynamic_cast<const GMedia*>(pageState->FindByKey(kPageMediumKey));
  if (medium == nullptr) return;
  nextMedium_ = GObjectRef(static_cast<MPersistentObject*>(medium->Clone()));
  if (!pageMedium_) pageMedium_ = GObjectRef(static_cast<MPersistentObject*>(medium->Clone()));
}

GCommand* GWatermarkFilter::PrecedeByWatermark(GCommand* pageEnd) {
  pageMedium_ = nextMedium_;
  nextMedium_ = GObjectRef();
  if (!pendingGraphic_) DrawWatermark();
  if (!pendingGraphic_) return pageEnd;
  GObjectRef held(pageEnd);
  auto* composite = new GCommandComposite;
  composite->AddChild(pendingGraphic_.Get());
  composite->AddChild(pageEnd);
  pendingGraphic_ = GObjectRef();
  held = composite;
  return static_cast<GCommand*>(GCommand::GiveUp(held));
}

void GWatermarkFilter::ClearJob() {
  device_ = nullptr;
  pageCounter_ = 0;
  mode_ = kOff;
  active_ = 0;
  pendingGraphic_ = GObjectRef();
  pageMedium_ = GObjectRef();
  nextMedium_ = GObjectRef();
  font_ = 0;
}
