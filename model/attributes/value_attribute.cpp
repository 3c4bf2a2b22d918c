#include "model/attributes/value_attribute.h"

#include "foundation/class_registrar.h"
#include "model/attributes/peripheral.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GValueAttribute>, kGValueAttributeClassID, kGValueAttributeClassName);

}  // namespace

uint32_t GValueAttribute::StoredSize() const { return GAttribute::StoredSize() + 6; }

bool GValueAttribute::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* attribute = SameClassAndKey<GValueAttribute>(other);
  return attribute != nullptr && attribute->value_ == value_;
}

void GValueAttribute::SaveContentsToFile(GBinaryFile& file) const {
  GAttribute::SaveContentsToFile(file);
  file.Write(FormatVersion());
  file.Write(value_);
}

void GValueAttribute::SaveContentsToStream(GVirtualOutStream& stream) const {
  GAttribute::SaveContentsToStream(stream);
  stream.PutULong(FormatVersion()).PutShort(value_);
}

void GValueAttribute::RestoreContentsFromFile(GBinaryFile& file) {
  GAttribute::RestoreContentsFromFile(file);
  if (ReadVersion(file, FormatVersion())) file.Read(value_);
}

void GValueAttribute::RestoreContentsFromStream(GVirtualInStream& stream) {
  GAttribute::RestoreContentsFromStream(stream);
  if (ReadVersion(stream, FormatVersion())) stream.GetShort(value_);
}

uint16_t GValueAttribute::SendTo(GPeripheral& target) { return target.ApplyValueAttribute(*this); }
