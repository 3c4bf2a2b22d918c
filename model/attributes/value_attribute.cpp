#include "model/attributes/value_attribute.h"

#include "foundation/class_registrar.h"
#include "model/attributes/peripheral.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GValueAttribute>, kGValueAttributeClassID, kGValueAttributeClassName);

}  // namespace

void GValueAttribute::Fields(GFieldArchive& archive) {
  GAttribute::Fields(archive);
  if (archive.Version(FormatVersion())) archive.Int16(value_);
}

bool GValueAttribute::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* attribute = SameClassAndKey<GValueAttribute>(other);
  return attribute != nullptr && attribute->value_ == value_;
}

uint16_t GValueAttribute::SendTo(GPeripheral& target) { return target.ApplyValueAttribute(*this); }
