#include "device/attributes/option_list_attribute.h"

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar optMediaRegistrar(CreateCollectable<GOptMediaComposite>, kGOptMediaCompositeClassID,
                                        kGOptMediaCompositeClassName);
const GClassRegistrar bookletRegistrar(CreateCollectable<GBookletComposite>, kGBookletCompositeClassID,
                                       kGBookletCompositeClassName);

}  // namespace

uint16_t GOptionListAttribute::GetEntry(int16_t index) const {
  if (index < 0 || static_cast<size_t>(index) >= entries_.size()) return kNoEntry;
  return entries_[static_cast<size_t>(index)];
}

bool GOptionListAttribute::SameContent(const MPersistentObject& other) const {
  const auto* list = SameClassAndKey<GOptionListAttribute>(other);
  return list != nullptr && list->selector_ == selector_ && list->entries_ == entries_;
}

void GOptionListAttribute::Fields(GFieldArchive& archive) {
  GAttribute::Fields(archive);
  // The version word is read whatever it holds: selector and extra value
  // follow it in every version, the entries only up to this one.
  uint32_t version = FormatVersion();
  if (!archive.UInt32(version)) return;
  archive.UInt16(selector_);
  archive.UInt16(extraValue_);
  if (version > FormatVersion()) return;
  uint32_t count = static_cast<uint32_t>(entries_.size());
  if (archive.IsRestoring()) entries_.clear();
  if (!archive.Count(count, sizeof(uint16_t))) return;
  entries_.resize(count);
  for (uint16_t& entry : entries_) {
    if (!archive.UInt16(entry)) {
      entries_.clear();
      return;
    }
  }
}
