#include "device/attributes/display_string_attribute.h"

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GDisplayStringAttribute>, kGDisplayStringAttributeClassID,
                                kGDisplayStringAttributeClassName);

}  // namespace

void GDisplayStringAttribute::Fields(GFieldArchive& archive) {
  GAttribute::Fields(archive);
  if (archive.Version(FormatVersion())) archive.ObjectValue(displayString_);
}

bool GDisplayStringAttribute::SameContent(const MPersistentObject& other) const {
  const auto* attribute = SameClassAndKey<GDisplayStringAttribute>(other);
  return attribute != nullptr && attribute->displayString_.SameContent(displayString_);
}
