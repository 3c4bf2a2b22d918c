#include "device/attributes/value32_attribute.h"

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GValue32Attribute>, kGValue32AttributeClassID,
                                kGValue32AttributeClassName);

}  // namespace

void GValue32Attribute::Fields(GFieldArchive& archive) {
  GAttribute::Fields(archive);
  if (archive.Version(FormatVersion())) archive.UInt32(value_);
}

bool GValue32Attribute::SameContent(const MPersistentObject& other) const {
  const auto* attribute = SameClassAndKey<GValue32Attribute>(other);
  return attribute != nullptr && attribute->value_ == value_;
}
