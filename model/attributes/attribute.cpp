#include "model/attributes/attribute.h"

uint32_t GAttribute::StoredSize() const { return MPersistentObject::StoredSize() + 8; }

void GAttribute::SaveContentsToFile(GBinaryFile& file) const {
  MPersistentObject::SaveContentsToFile(file);
  file.Write(FormatVersion());
  file.Write(changed_);
}

void GAttribute::SaveContentsToStream(GVirtualOutStream& stream) const {
  MPersistentObject::SaveContentsToStream(stream);
  stream.PutULong(FormatVersion()).PutLong(changed_);
}

void GAttribute::RestoreContentsFromFile(GBinaryFile& file) {
  MPersistentObject::RestoreContentsFromFile(file);
  if (ReadVersion(file, FormatVersion())) file.Read(changed_);
}

void GAttribute::RestoreContentsFromStream(GVirtualInStream& stream) {
  MPersistentObject::RestoreContentsFromStream(stream);
  if (ReadVersion(stream, FormatVersion())) stream.GetLong(changed_);
}

int32_t GAttribute::UpdateFrom(GAttribute* other) {
  if (other == nullptr || !DiffersFrom(*other)) return 0;
  MPersistentObject::operator=(*other);
  changed_ = other->changed_;
  return changed_;
}
