#include "model/objects/display_string.h"

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GDisplayString>, kGDisplayStringClassID, kGDisplayStringClassName);

RWCString TextOrEmpty(const char* text) { return text != nullptr ? RWCString(text) : RWCString(); }

}  // namespace

GDisplayString::GDisplayString(int16_t stringId, const char* defaultText, const char* moduleName)
    : stringId_(stringId), defaultText_(TextOrEmpty(defaultText)), moduleName_(TextOrEmpty(moduleName)) {}

uint32_t GDisplayString::StoredSize() const {
  return MPersistentObject::StoredSize() + 14 + defaultText_.Length() + moduleName_.Length();
}

bool GDisplayString::SameContent(const MPersistentObject& other) const {
  const auto* display = SameClassAndKey<GDisplayString>(other);
  return display != nullptr && display->stringId_ == stringId_ && display->defaultText_ == defaultText_ &&
         display->moduleName_ == moduleName_;
}

void GDisplayString::SaveContentsToFile(GBinaryFile& file) const {
  MPersistentObject::SaveContentsToFile(file);
  file.Write(FormatVersion());
  moduleName_.SaveTo(file);
  defaultText_.SaveTo(file);
  file.Write(static_cast<uint16_t>(stringId_));
}

void GDisplayString::SaveContentsToStream(GVirtualOutStream& stream) const {
  MPersistentObject::SaveContentsToStream(stream);
  stream.PutULong(FormatVersion());
  moduleName_.SaveTo(stream);
  defaultText_.SaveTo(stream);
  stream.PutUShort(static_cast<uint16_t>(stringId_));
}

void GDisplayString::RestoreContentsFromFile(GBinaryFile& file) {
  MPersistentObject::RestoreContentsFromFile(file);
  if (!ReadVersion(file, FormatVersion())) return;
  moduleName_.RestoreFrom(file);
  defaultText_.RestoreFrom(file);
  uint16_t stringId;
  if (file.Read(stringId)) stringId_ = static_cast<int16_t>(stringId);
}

void GDisplayString::RestoreContentsFromStream(GVirtualInStream& stream) {
  MPersistentObject::RestoreContentsFromStream(stream);
  if (!ReadVersion(stream, FormatVersion())) return;
  moduleName_.RestoreFrom(stream);
  defaultText_.RestoreFrom(stream);
  uint16_t stringId;
  if (stream.GetUShort(stringId).IsGood()) stringId_ = static_cast<int16_t>(stringId);
}
