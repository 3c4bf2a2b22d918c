#include "model/attributes/string_attribute.h"

#include "foundation/class_registrar.h"
#include "model/attributes/peripheral.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GStringAttribute>, kGStringAttributeClassID,
                                kGStringAttributeClassName);

}  // namespace

GStringAttribute::GStringAttribute(const char* text, int32_t key) : GAttribute(key) { SetText(text); }

void GStringAttribute::SetText(const char* text) { text_ = RWCString(text != nullptr ? text : ""); }

void GStringAttribute::Fields(GFieldArchive& archive) {
  GAttribute::Fields(archive);
  if (archive.Version(FormatVersion())) archive.String(text_);
}

bool GStringAttribute::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* attribute = SameClassAndKey<GStringAttribute>(other);
  return attribute != nullptr && attribute->text_ == text_;
}

uint16_t GStringAttribute::SendTo(GPeripheral& target) { return target.ApplyStringAttribute(*this); }
