#include "device/query/pml_descriptor.h"

#include <algorithm>

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GPMLDescriptor>, kGPMLDescriptorClassID, kGPMLDescriptorClassName);

}  // namespace

bool GPMLDescriptor::LessThan(const GPMLDescriptor& other) const {
  return std::lexicographical_compare(name_.Data(), name_.Data() + name_.Length(), other.name_.Data(),
                                      other.name_.Data() + other.name_.Length());
}

bool GPMLDescriptor::SameContent(const MPersistentObject& other) const {
  const auto* descriptor = SameClassAndKey<GPMLDescriptor>(other);
  return descriptor != nullptr && descriptor->name_ == name_;
}

void GPMLDescriptor::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  archive.WideString(name_);
  archive.Int32(value_);
  archive.String(data_);
}
