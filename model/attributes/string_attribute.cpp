#include "model/attributes/string_attribute.h"

#include "foundation/class_registrar.h"
#include "model/attributes/peripheral.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GStringAttribute>, kGStringAttributeClassID,
                                kGStringAttributeClassName);

}  // namespace

GStringAttribute::GStringAttribute(const char* text, int32_t key) : GAttribute(key) { SetText(text); }

void GStringAttribute::SetText(const char* text) { text_ = RWCString(text != nullptr ? text : ""); }

uint32_t GStringAttribute::StoredSize() const { return GAttribute::StoredSize() + 8 + text_.Length(); }

bool GStringAttribute::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* attribute = SameClassAndKey<GStringAttribute>(other);
  return attribute != nullptr && attribute->text_ == text_;
}

void GStringAttribute::SaveContentsToFile(GBinaryFile& file) const {
  GAttribute::SaveContentsToFile(file);
  file.Write(FormatVersion());
  text_.SaveTo(file);
}

void GStringAttribute::SaveContentsToStream(GVirtualOutStream& stream) const {
  GAttribute::SaveContentsToStream(stream);
  stream.PutULong(FormatVersion());
  text_.SaveTo(stream);
}

void GStringAttribute::RestoreContentsFromFile(GBinaryFile& file) {
  GAttribute::RestoreContentsFromFile(file);
  if (ReadVersion(file, FormatVersion())) text_.RestoreFrom(file);
}

void GStringAttribute::RestoreContentsFromStream(GVirtualInStream& stream) {
  GAttribute::RestoreContentsFromStream(stream);
  if (ReadVersion(stream, FormatVersion())) text_.RestoreFrom(stream);
}

uint16_t GStringAttribute::SendTo(GPeripheral& target) { return target.ApplyStringAttribute(*this); }
