#include "device/driver/driver.h"

#include <utility>

#include "device/driver/tree_lookup.h"
#include "model/attributes/configuration.h"
#include "model/attributes/string_attribute.h"
#include "model/attributes/value_attribute.h"
#include "model/objects/persistent_association.h"
#include "model/objects/text_conversion.h"

namespace {

// Keys of the device description.
constexpr int32_t kListedMediaKey = 192;
constexpr int32_t kResolutionListKey = 206;
constexpr int32_t kXResolutionKey = 323;
constexpr int32_t kYResolutionKey = 324;
constexpr int32_t kCachedSettingKey = 339;
constexpr int32_t kConfigurationTextKey = 401;
constexpr int32_t kValue958Key = 958;
constexpr int32_t kExtensionSwitchKey = 984;
constexpr int32_t kNameListKey = 1132;

// Ids above this are custom sizes.
constexpr uint16_t kLastFixedMediaId = 0x3FFF;
// ClassifyMediaId's answers.
constexpr int32_t kListedMedia = 1;
constexpr int32_t kUnlistedMedia = 2;

// Whether an association of the list maps the media id: its key object is a
// value attribute holding the id.
bool ListsMediaId(MPersistentObject& list, uint16_t mediaId) {
  return !ForEachChildAs<MPersistentAssociation>(list, [mediaId](MPersistentAssociation& association) {
    const auto* key = dynamic_cast<const GValueAttribute*>(association.Key());
    return key == nullptr || static_cast<uint16_t>(key->Value()) != mediaId;
  });
}

}  // namespace

GDriver::GDriver() : extensionManager_(GDriverExtensionManager::Create(*this)) {}

GDriver::~GDriver() {
  if (extensionManager_ != nullptr) extensionManager_->Clear();
}

void GDriver::SetPrinterNames(const RWWString& printerName, const RWWString& driverName, const RWWString& portName) {
  printerName_ = printerName;
  driverName_ = driverName;
  portName_ = portName;
}

void GDriver::SetSettingsRoot(std::unique_ptr<GPeripheral> root) { deviceRoot_ = std::move(root); }

void GDriver::SetResourceMappings(std::unique_ptr<GResourceMappingList> mappings) {
  resourceMappings_ = std::move(mappings);
}

void GDriver::SetOSTrayMap(std::unique_ptr<GResourceMappingList> mappings) { osTrayMap_ = std::move(mappings); }

void GDriver::SetExtraMappings(std::unique_ptr<GResourceMappingList> mappings) { extraMappings_ = std::move(mappings); }

GAttributeComposite* GDriver::LoadCurrentSettings() {
  if (currentSettings_ == nullptr) currentSettings_ = LoadSettings();
  return currentSettings_.get();
}

void GDriver::Invalidate(const GDriverKey&) {
  setting339Stale_ = 1;
  privateMediaPool_.reset();
}

int32_t GDriver::ReleaseCachedMemory() { return 0; }

int32_t GDriver::GetCachedSetting339() {
  if (setting339Stale_ != 0) {
    GConfiguration* rootConfiguration = deviceRoot_ != nullptr ? deviceRoot_->GetConfiguration() : nullptr;
    setting339_ = ValueOr(rootConfiguration, kCachedSettingKey, static_cast<int16_t>(setting339_));
    setting339Stale_ = 0;
  }
  return setting339_;
}

int32_t GDriver::IsRemotePrinter() { return 0; }

bool GDriver::HasOptionPair(int16_t x, int16_t y) {
  MPersistentObject* resolutions = FindInConfiguration(kResolutionListKey);
  if (resolutions == nullptr) return false;
  return !ForEachChildAs<MPersistentObject>(*resolutions, [x, y](MPersistentObject& entry) {
    return FindValue(&entry, kXResolutionKey) != x || FindValue(&entry, kYResolutionKey) != y;
  });
}

int32_t GDriver::OSIdToDeviceId(uint16_t osId, int16_t& deviceId) {
  const GResourceMapping* mapping = resourceMappings_ != nullptr ? resourceMappings_->FindByOsId(osId) : nullptr;
  if (mapping == nullptr) return 0;
  deviceId = mapping->DeviceId();
  return 1;
}

int32_t GDriver::DeviceIdToOSId(int16_t deviceId, uint16_t& osId) {
  const GResourceMapping* mapping =
      resourceMappings_ != nullptr ? resourceMappings_->FindByDeviceId(deviceId) : nullptr;
  if (mapping == nullptr) return 0;
  osId = mapping->OsId();
  return 1;
}

int32_t GDriver::EnumerateMediaNames(FormCallback, void*, int32_t, GAttributeComposite*) { return 0; }

int32_t GDriver::EnumerateForms(FormCallback, void*, int32_t, GAttributeComposite*) { return 0; }

int32_t GDriver::ValidateMediaSelection(GAttributeComposite* settings, uint16_t mediaId) {
  const std::optional<GSettingsGeometry> geometry = FindGeometry(settings);
  if (!geometry) return 0;
  return ClassifyMediaId(settings, mediaId, geometry->orientation, geometry->x, geometry->y);
}

int32_t GDriver::ClassifyMediaId(GAttributeComposite*, uint16_t mediaId, int32_t, uint16_t, uint16_t) {
  if (mediaId > kLastFixedMediaId) return kUnlistedMedia;
  MPersistentObject* listed = FindInConfiguration(kListedMediaKey);
  if (listed == nullptr) return kListedMedia;
  return ListsMediaId(*listed, mediaId) ? kListedMedia : kUnlistedMedia;
}

RWWString GDriver::GetConfigurationText401() {
  RWWString wide;
  if (const GStringAttribute* text = FindText(GetConfiguration(), kConfigurationTextKey)) {
    NarrowToWide(text->Text(), wide);
  }
  return wide;
}

int16_t GDriver::MapPaperSizeId(GAttributeComposite*, int16_t id) { return id; }

uint16_t GDriver::LoadExtension(const RWCString& path, int32_t unload) {
  const int16_t enabled = ValueOr(GetConfiguration(), kExtensionSwitchKey, 0);
  if (path.Length() == 0) return static_cast<uint16_t>(enabled);
  if (enabled == 0) return kExtensionsDisabled;
  if (extensionManager_ == nullptr) return kNoExtensionManager;
  return unload != 0 ? extensionManager_->UnregisterExtension(path) : extensionManager_->RegisterExtension(path);
}

int32_t GDriver::EnumerateBuiltinForms(FormCallback, void*, int32_t, GAttributeComposite*) { return 0; }

int32_t GDriver::IsBuiltinForm(const GCustomMediaSize&, GAttributeComposite*) { return 0; }

int32_t GDriver::PaperIdToFormIndex(int16_t, int32_t&) { return 0; }

GPeripheral* GDriver::GetPipelineHead() const { return FindAs<GPeripheral>(deviceRoot_.get(), kPipelineHeadKey); }

GConfiguration* GDriver::GetConfiguration() {
  GPeripheral* head = GetPipelineHead();
  return head != nullptr ? head->GetConfiguration() : nullptr;
}

GPeripheral* GDriver::FindGenerator() const {
  GPeripheral* head = GetPipelineHead();
  return head != nullptr ? dynamic_cast<GPeripheral*>(head->FindKindOf(kGPDLGeneratorClassID)) : nullptr;
}

GMediaPool* GDriver::GetDeviceMediaPool() { return FindAs<GMediaPool>(GetConfiguration(), kDeviceMediaPoolKey); }

MPersistentObject* GDriver::GetBinPool() { return FindInConfiguration(kBinPoolKey); }

MPersistentObject* GDriver::FindInConfiguration(int32_t key) {
  GConfiguration* configuration = GetConfiguration();
  return configuration != nullptr ? configuration->FindByKey(key) : nullptr;
}

int32_t GDriver::GetConfigurationValue958() { return ValueOr(GetConfiguration(), kValue958Key, 0); }

bool GDriver::IsNotInNameList(const RWCString& text) {
  MPersistentObject* names = FindInConfiguration(kNameListKey);
  if (names == nullptr) return true;
  return ForEachChildAs<GStringAttribute>(*names, [&text](GStringAttribute& name) { return !(name.Text() == text); });
}
