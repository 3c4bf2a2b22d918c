#include "pclxl/generator/pdl_generator.h"

#include <optional>

#include "device/driver/tree_lookup.h"
#include "device/fonts/device_font_description.h"
#include "device/fonts/device_font_list_composite.h"
#include "graphics/bitmaps/dither_matrix.h"
#include "graphics/commands/command.h"
#include "graphics/commands/document_command.h"
#include "model/attributes/configuration.h"
#include "model/attributes/state.h"
#include "model/attributes/string_attribute.h"
#include "model/attributes/value_attribute.h"
#include "model/objects/persistent_association.h"
#include "pclxl/generator/device_font_request.h"
#include "pclxl/generator/generator_output.h"
#include "pipeline/document_channel.h"

namespace {

GCommand* Current(const GObjectRef& held) { return static_cast<GCommand*>(held.Get()); }

GCommand* HandBack(GObjectRef& held) { return static_cast<GCommand*>(GCommand::GiveUp(held)); }

// An error or no-op answered by an earlier stage goes on as it is.
bool PassesUntouched(const GCommand& command) {
  return command.ClassID() == kGNoCommandClassID || command.ClassID() == kGErrorCommandClassID;
}

// The ends of a page or document leave the add-ons before the language
// closes its own page or stream, so that what they add still gets in.
bool ChildrenGoFirst(const GCommand& command) {
  return command.ClassID() == kGDocumentEndClassID || command.ClassID() == kGPageEndClassID;
}

}  // namespace

GPDLGenerator::GPDLGenerator(const RWCString& name, GState* initialState, GConfiguration* configuration, int32_t key,
                             int32_t addOnListKey, int32_t addOnKind, int32_t addOnMode)
    : GPeripheralComposite(name, initialState, configuration, key, addOnListKey, addOnKind, addOnMode) {}

GPDLGenerator::GPDLGenerator(const GPDLGenerator& other)
    : GPeripheralComposite(other),
      GPaintTarget(other),
      GFontEscapeCheck(other),
      output_(other.output_),
      inJob_(other.inJob_),
      inScanLines_(other.inScanLines_),
      pathDepth_(other.pathDepth_),
      definingClip_(other.definingClip_),
      progress_(other.progress_) {}

GPDLGenerator& GPDLGenerator::operator=(const GPDLGenerator& other) {
  if (this == &other) return *this;
  GPeripheralComposite::operator=(other);
  output_ = other.output_;
  inJob_ = other.inJob_;
  inScanLines_ = other.inScanLines_;
  pathDepth_ = other.pathDepth_;
  definingClip_ = other.definingClip_;
  progress_ = other.progress_;
  ResetUncopied();
  return *this;
}

GPDLGenerator::~GPDLGenerator() = default;

void GPDLGenerator::ResetUncopied() {
  fontCache_.reset();
  glyphMapper_.reset();
  fontCounters_ = {};
  device_ = nullptr;
  deviceFontList_ = nullptr;
  budget_ = GPrinterMemoryBudget();
}

bool GPDLGenerator::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  if (!GPeripheralComposite::SameContent(other)) return false;
  const auto* generator = dynamic_cast<const GPDLGenerator*>(&other);
  return generator != nullptr && inJob_ == generator->inJob_ && inScanLines_ == generator->inScanLines_ &&
         pathDepth_ == generator->pathDepth_ && definingClip_ == generator->definingClip_ &&
         progress_ == generator->progress_;
}

// Commands.

void GPDLGenerator::ApplyChangedAttributes(int32_t key) {
  applyingAttributes_ = true;
  GPeripheralComposite::ApplyChangedAttributes(key);
  applyingAttributes_ = false;
}

void GPDLGenerator::NotifyChanged(GPeripheral* changed) {
  RebuildConfiguration();
  ShareStatesWithChildren();
  GPeripheral::NotifyChanged(changed);
}

GCommand* GPDLGenerator::ProcessCommand(GCommand* command) {
  GObjectRef held(command);
  if (command == nullptr || PassesUntouched(*command)) return HandBack(held);
  if (ChildrenGoFirst(*command)) {
    held = GPeripheralComposite::ProcessCommand(command);
    if (!PassesUntouched(*Current(held))) held = HandleCommand(Current(held));
    return HandBack(held);
  }
  held = HandleCommand(command);
  if (Current(held) == command) held = GPeripheralComposite::ProcessCommand(command);
  return HandBack(held);
}

uint16_t GPDLGenerator::DocumentStart(GDocumentStart& start) {
  inJob_ = true;
  if (IsProgressSuppressed()) progress_ = false;
  device_ = start.GetGraphicsDevice();
  if (const uint16_t status = TakeDocumentChannel(*this, start); status != 0) return status;
  ApplyMemoryLimit();
  return 0;
}

void GPDLGenerator::ApplyMemoryLimit() {
  const std::optional<int16_t> units = FindValue(GetConfiguration(), kMemoryLimitKey);
  if (units.has_value() && *units >= 0) {
    budget_.SetLimit(static_cast<uint32_t>(*units) * kMemoryUnit);
  } else {
    budget_.ResetUsage();
  }
}

uint16_t GPDLGenerator::PageStart(GPageStart&) { return 0; }

uint16_t GPDLGenerator::ApplyStringAttribute(GStringAttribute&) { return 0; }

// Memory and fonts.

uint32_t GPDLGenerator::ReleaseMemory(uint32_t bytes) { return budget_.Release(bytes); }

uint32_t GPDLGenerator::ConsumeMemory(uint32_t bytes) { return budget_.Consume(bytes); }

int32_t GPDLGenerator::GetFontCapabilities(const GFont&) { return 1; }

int32_t GPDLGenerator::MatchDeviceFont(GDeviceFontRequest& request, int32_t, int32_t, uint16_t& code) {
  code = 0;
  request.deviceFont = nullptr;
  return 1;
}

int32_t GPDLGenerator::MatchRequestAnswer(int32_t kind) {
  if (kind == 0) return 32;
  if (kind == 1 || kind == 2) return 48;
  return kNoDeviceFontSearch;
}

int32_t GPDLGenerator::DeviceFontFoundAnswer(const GDeviceFontDescription& found) {
  const int32_t location = found.GetValue68();
  return location >= GDeviceFontDescription::kDimm && location <= GDeviceFontDescription::kFlaggedDimm
             ? kDimmFontFound
             : kDeviceFontFound;
}

uint16_t GPDLGenerator::LookupFontCode(int32_t mixMode) { return LookupIn(kMixModeCodes, mixMode); }

uint16_t GPDLGenerator::LookupIn(const FontCodeTable& table, int32_t mixMode) {
  return table[(static_cast<uint32_t>(mixMode) - 1U) & 15U];
}

int32_t GPDLGenerator::IsFontEscapeUsable(const RWCString&) { return 0; }

GDeviceFontListComposite* GPDLGenerator::GetDeviceFontList() {
  GDeviceFontListComposite* list = FindAs<GDeviceFontListComposite>(GetConfiguration(), kDeviceFontListKey);
  deviceFontList_ = list != nullptr ? list : new GDeviceFontListComposite;
  return DeviceFontListInUse();
}

GDeviceFontListComposite* GPDLGenerator::DeviceFontListInUse() const {
  return static_cast<GDeviceFontListComposite*>(deviceFontList_.Get());
}

// Settings and the job's frame.

MPersistentObject* GPDLGenerator::FindMappedValue(MAssociationList* map, int16_t number) {
  if (map == nullptr) return nullptr;
  const GObjectRef keyObject(new GValueAttribute(number, 0));
  return map->FindValue(keyObject.Get());
}

void GPDLGenerator::ReadJobResolution(uint16_t& x, uint16_t& y) {
  constexpr int32_t kResolutionGroupKey = 249;
  constexpr uint16_t kDefaultResolution = 600;
  MPersistentObject* group = FindAs<MPersistentObject>(FindStateFor(kDocumentStateKey), kResolutionGroupKey);
  const std::optional<int16_t> xValue = FindValue(group, 323);
  const std::optional<int16_t> yValue = FindValue(group, 324);
  x = xValue && yValue ? static_cast<uint16_t>(*xValue) : kDefaultResolution;
  y = xValue && yValue ? static_cast<uint16_t>(*yValue) : kDefaultResolution;
}

std::vector<GObjectRef> GPDLGenerator::ConfiguredDitherMatrices() {
  constexpr int32_t kDitherMatricesKey = 330;
  std::vector<GObjectRef> matrices;
  if (MPersistentObject* list = FindAs<MPersistentObject>(GetConfiguration(), kDitherMatricesKey)) {
    ForEachChildAs<GDitherMatrix>(*list, [&](GDitherMatrix& matrix) {
      matrices.emplace_back(&matrix);
      return true;
    });
  }
  return matrices;
}

void GPDLGenerator::WriteRawJobStrings(const std::function<void()>& flush) {
  constexpr int32_t kRawStringsKey = 986;
  MPersistentObject* strings = FindAs<MPersistentObject>(FindStateFor(kDocumentStateKey), kRawStringsKey);
  if (strings == nullptr) return;
  flush();
  ForEachChildAs<GStringAttribute>(*strings, [&](GStringAttribute& text) {
    output_.Write(OutputChannel(), reinterpret_cast<const uint8_t*>(text.Text().Data()), text.Text().Length(), false);
    return true;
  });
}

GState* GPDLGenerator::TakeInitialGraphicState() {
  GState* initial = GetInitialState();
  if (MPersistentObject* bundle = initial != nullptr ? initial->FindByKey(kGraphicStateKey) : nullptr) {
    GetCurrentState()->AddChild(bundle->DeepCopy());
    // The new states that the change installs forget the cached sub-states.
    NotifyChanged(this);
  }
  GState* graphicState = FindStateFor(kGraphicStateKey);
  GState* page = FindStateFor(kPageStateKey);
  MPersistentObject* transform = page != nullptr ? page->FindKindOf(kGTransformAttributeClassID) : nullptr;
  if (graphicState != nullptr && transform != nullptr) {
    const GObjectRef copy(transform->DeepCopy());
    auto* attribute = static_cast<GAttribute*>(copy.Get());
    attribute->SetChangedFlag(1);
    graphicState->UpdateFrom(attribute);
  }
  return graphicState;
}

GScale GPDLGenerator::CurrentTransformScale() {
  GScale scale;
  GState* graphicState = FindStateFor(kGraphicStateKey);
  const auto* transform =
      graphicState != nullptr
          ? dynamic_cast<GTransformAttribute*>(graphicState->FindKindOf(kGTransformAttributeClassID))
          : nullptr;
  if (transform == nullptr) return scale;
  const GScale held = transform->GetScale();
  if (held.x != 0) scale.x = held.x;
  if (held.y != 0) scale.y = held.y;
  return scale;
}

void GPDLGenerator::ForgetAbortedJob() {
  inJob_ = false;
  inScanLines_ = false;
  pathDepth_ = 0;
  definingClip_ = false;
  fontCounters_[1] = 0;
  fontCounters_[2] = 0;
}

// Stored form.

void GPDLGenerator::Fields(GFieldArchive& archive) {
  GPeripheralComposite::Fields(archive);
  if (archive.IsRestoring()) {
    fontCache_.reset();
    glyphMapper_.reset();
  }
  if (!archive.Version(FormatVersion())) return;
  archive.Bool32(inJob_);
  archive.Bool32(inScanLines_);
  archive.Int16(pathDepth_);
  archive.Bool32(definingClip_);
}
