#include "model/objects/display_string.h"

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GDisplayString>, kGDisplayStringClassID, kGDisplayStringClassName);

RWCString TextOrEmpty(const char* text) { return text != nullptr ? RWCString(text) : RWCString(); }

}  // namespace

GDisplayString::GDisplayString(int16_t stringId, const char* defaultText, const char* moduleName)
    : stringId_(stringId), defaultText_(TextOrEmpty(defaultText)), moduleName_(TextOrEmpty(moduleName)) {}

bool GDisplayString::SameContent(const MPersistentObject& other) const {
  const auto* display = SameClassAndKey<GDisplayString>(other);
  return display != nullptr && display->stringId_ == stringId_ && display->defaultText_ == defaultText_ &&
         display->moduleName_ == moduleName_;
}

void GDisplayString::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  archive.String(moduleName_);
  archive.String(defaultText_);
  auto stringId = static_cast<uint16_t>(stringId_);
  if (archive.UInt16(stringId) && archive.IsRestoring()) stringId_ = static_cast<int16_t>(stringId);
}
