#include "model/attributes/attribute.h"

void GAttribute::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  if (archive.Version(FormatVersion())) archive.Int32(changed_);
}

int32_t GAttribute::UpdateFrom(GAttribute* other) {
  if (other == nullptr || !DiffersFrom(*other)) return 0;
  MPersistentObject::operator=(*other);
  changed_ = other->changed_;
  return changed_;
}
