#include "device/fonts/device_font_list_composite.h"

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GDeviceFontListComposite>, kGDeviceFontListCompositeClassID,
                                kGDeviceFontListCompositeClassName);

bool IsPlainComposite(const RWCollectable& object) { return object.ClassID() == kMPersistentCompositeClassID; }

}  // namespace

GDeviceFontListComposite::GDeviceFontListComposite()
    : MPersistentObject(kDefaultKey), lists_(new MPersistentComposite) {}

GDeviceFontListComposite::GDeviceFontListComposite(const GDeviceFontListComposite& other)
    : MPersistentObject(other), lists_(new MPersistentComposite(other.Lists())) {}

GDeviceFontListComposite& GDeviceFontListComposite::operator=(const GDeviceFontListComposite& other) {
  if (this == &other) return *this;
  MPersistentObject::operator=(other);
  lists_ = new MPersistentComposite(other.Lists());
  return *this;
}

void GDeviceFontListComposite::AddCopiesOf(const GDeviceFontListComposite& other) {
  for (const GCountedPtr& list : other.Lists().Children()) {
    if (list.Get() != nullptr) AddList(list->DeepCopy());
  }
}

void GDeviceFontListComposite::MergeFrom(const GDeviceFontListComposite& other) {
  for (const GCountedPtr& list : other.Lists().Children()) {
    if (list.Get() != nullptr && !ReplaceList(list->Key(), *list.Get())) InsertFirstList(list->DeepCopy());
  }
}

GDeviceFontListComposite* GDeviceFontListComposite::DeepClone() const {
  auto* copy = new GDeviceFontListComposite(*this);
  copy->lists_ = Lists().DeepCopy();
  return copy;
}

bool GDeviceFontListComposite::SameContent(const MPersistentObject& other) const {
  const auto* composite = SameClassAndKey<GDeviceFontListComposite>(other);
  return composite != nullptr && Lists().SameContent(composite->Lists());
}

void GDeviceFontListComposite::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  if (!archive.IsRestoring()) {
    archive.Object(lists_);
    return;
  }
  RemoveAll();
  RWCollectable* read = archive.ReadFreshObject(IsPlainComposite);
  if (read != nullptr) lists_ = static_cast<MPersistentComposite*>(read);
}
