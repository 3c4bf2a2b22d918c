#include "model/objects/selection_string.h"

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GSelectionString>, kGSelectionStringClassID,
                                kGSelectionStringClassName);

}  // namespace

bool GSelectionString::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* selection = SameClassAndKey<GSelectionString>(other);
  return selection != nullptr && selection->value_ == value_ && selection->text_ == text_;
}

void GSelectionString::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  archive.String(text_);
  archive.Int16(value_);
}
