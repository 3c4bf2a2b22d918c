#include "model/objects/selection_string.h"

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GSelectionString>, kGSelectionStringClassID,
                                kGSelectionStringClassName);

}  // namespace

uint32_t GSelectionString::StoredSize() const { return MPersistentObject::StoredSize() + 10 + text_.Length(); }

bool GSelectionString::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* selection = SameClassAndKey<GSelectionString>(other);
  return selection != nullptr && selection->value_ == value_ && selection->text_ == text_;
}

void GSelectionString::SaveContentsToFile(GBinaryFile& file) const {
  MPersistentObject::SaveContentsToFile(file);
  file.Write(FormatVersion());
  text_.SaveTo(file);
  file.Write(value_);
}

void GSelectionString::SaveContentsToStream(GVirtualOutStream& stream) const {
  MPersistentObject::SaveContentsToStream(stream);
  stream.PutULong(FormatVersion());
  text_.SaveTo(stream);
  stream.PutShort(value_);
}

void GSelectionString::RestoreContentsFromFile(GBinaryFile& file) {
  MPersistentObject::RestoreContentsFromFile(file);
  if (!ReadVersion(file, FormatVersion())) return;
  text_.RestoreFrom(file);
  file.Read(value_);
}

void GSelectionString::RestoreContentsFromStream(GVirtualInStream& stream) {
  MPersistentObject::RestoreContentsFromStream(stream);
  if (!ReadVersion(stream, FormatVersion())) return;
  text_.RestoreFrom(stream);
  stream.GetShort(value_);
}
