#include "device/settings/settings_default_tree.h"

#include <cstdint>

#include "device/media/custom_media_size.h"
#include "device/settings/settings_keys.h"
#include "model/attributes/configuration.h"
#include "model/attributes/string_attribute.h"
#include "model/attributes/value_attribute.h"
#include "model/os/driver_interface.h"

namespace {

struct TemplateText {
  int32_t key;
  const char* text;
};

struct TemplateValue {
  int32_t key;
  int16_t value;
};

// A new watermark: its texts, then its values, in this order.
constexpr TemplateText kWatermarkTexts[] = {{384, ""}, {385, ""}, {386, "Arial"}};
constexpr TemplateValue kWatermarkValues[] = {{387, 0}, {388, 0}, {389, 0}, {390, 20}, {392, 0}, {393, 0}, {394, 0},
                                              {396, 0}, {397, 0}, {403, 0}, {398, 0},  {399, 0}, {400, 0}, {1112, 0}};

// A deep copy of the device description's composite with the key, under
// another key; null when the description has no such attribute composite.
std::unique_ptr<MPersistentObject> CopyOfConfigurationNode(GConfiguration* configuration, int32_t key, int32_t newKey) {
  auto* found = configuration != nullptr ? dynamic_cast<GAttributeComposite*>(configuration->FindByKey(key)) : nullptr;
  if (found == nullptr) return nullptr;
  std::unique_ptr<MPersistentObject> copy(found->DeepCopy());
  copy->SetKey(newKey);
  return copy;
}

std::unique_ptr<MPersistentObject> QuickSetPool(GConfiguration* configuration) {
  std::unique_ptr<MPersistentObject> quickSet = CopyOfConfigurationNode(configuration, kQuickSetSettingsKey, 0);
  if (!quickSet) quickSet = std::make_unique<GAttributeComposite>(0);
  quickSet->AddChild(new GStringAttribute("", kQuickSetNameKey));
  quickSet->AddChild(new GValueAttribute(0, kQuickSetPerUserKey));
  auto pool = std::make_unique<GAttributeComposite>(kQuickSetPoolKey);
  pool->AddChild(quickSet.release());
  return pool;
}

std::unique_ptr<MPersistentObject> WatermarkTemplate() {
  auto watermark = std::make_unique<GAttributeComposite>(kWatermarkKey);
  for (const TemplateText& text : kWatermarkTexts) watermark->AddChild(new GStringAttribute(text.text, text.key));
  for (const TemplateValue& value : kWatermarkValues) {
    watermark->AddChild(new GValueAttribute(value.value, value.key));
  }
  return watermark;
}

// Into the first composite with the key below the root; a template without
// such a place is dropped.
void AddBelow(GAttributeComposite& root, int32_t key, std::unique_ptr<MPersistentObject> node) {
  MPersistentObject* place = root.FindByKey(key);
  if (place != nullptr && place->AsComposite() != nullptr) place->AddChild(node.release());
}

}  // namespace

std::unique_ptr<GAttributeComposite> BuildSettingsDefaultTree(GDriverInterface& driver) {
  GConfiguration* configuration = driver.GetConfiguration();
  auto root = std::make_unique<GAttributeComposite>();
  std::unique_ptr<MPersistentObject> settings =
      CopyOfConfigurationNode(configuration, kSettingsTemplateKey, kDocumentSettingsKey);
  if (settings) root->AddChild(settings.release());
  root->AddChild(new GAttributeComposite(kImportedSettingsKey));
  root->AddChild(QuickSetPool(configuration).release());
  AddBelow(*root, kWatermarkPoolKey, WatermarkTemplate());
  AddBelow(*root, kCustomSizePoolKey, std::make_unique<GCustomMediaSize>(kCustomSizeTemplateKey));
  return root;
}
