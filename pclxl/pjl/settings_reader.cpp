#include "pclxl/pjl/settings_reader.h"

#include "device/media/media.h"
#include "model/attributes/string_attribute.h"
#include "model/attributes/value_attribute.h"
#include "model/objects/persistent_association.h"
#include "model/objects/selection_string.h"
#include "model/os/osfactry.h"

namespace pjl {

namespace {

const RWCString* TextOf(MPersistentObject* object) {
  if (auto* selection = dynamic_cast<GSelectionString*>(object)) return &selection->Text();
  if (auto* text = dynamic_cast<GStringAttribute*>(object)) return &text->Text();
  return nullptr;
}

}  // namespace

MPersistentObject* Find(MPersistentObject* root, int32_t key) {
  return root != nullptr ? root->FindByKey(key) : nullptr;
}

GValueAttribute* FindValueAttribute(MPersistentObject* root, int32_t key) {
  return dynamic_cast<GValueAttribute*>(Find(root, key));
}

std::optional<int16_t> FindValue(MPersistentObject* root, int32_t key) {
  if (const GValueAttribute* value = FindValueAttribute(root, key)) return value->Value();
  return std::nullopt;
}

bool ValueIs(MPersistentObject* root, int32_t key, int16_t value) { return FindValue(root, key) == value; }

const RWCString* FindText(MPersistentObject* root, int32_t key) {
  if (auto* text = dynamic_cast<GStringAttribute*>(Find(root, key))) return &text->Text();
  return nullptr;
}

bool Has(MPersistentObject* root, int32_t key) { return Find(root, key) != nullptr; }

const RWCString* MappedText(MPersistentObject* root, int32_t listKey, int16_t value) {
  auto* list = dynamic_cast<MAssociationList*>(Find(root, listKey));
  if (list == nullptr) return nullptr;
  const GValueAttribute probe(value, 0);
  return TextOf(list->FindValue(&probe));
}

void SetValueIfPresent(MPersistentObject* root, int32_t key, int16_t value) {
  if (GValueAttribute* attribute = FindValueAttribute(root, key)) attribute->SetValue(value);
}

std::string ToStd(const RWCString& text) { return std::string(text.Data(), text.Length()); }

std::optional<int16_t> MediumSizeId(MPersistentObject* settings) {
  MPersistentObject* found = Find(settings, 259);
  if (found == nullptr || !found->IsKindOf(kGMediaClassID)) return std::nullopt;
  return static_cast<GMedia*>(found)->GetSizeId();
}

GOSVersion CurrentOSVersion() {
  GOSVersion version;
  if (GOSFactory* factory = GOSFactory::Instance()) return factory->GetOSVersion(version);
  DetectOperatingSystem(version);
  return version;
}

bool LocalTime(GDateTime& now, GDateTime& shifted, int16_t& offset) {
  GOSFactory* factory = GOSFactory::Instance();
  return factory != nullptr && factory->GetLocalTime(now, shifted, offset) != 0;
}

}  // namespace pjl
