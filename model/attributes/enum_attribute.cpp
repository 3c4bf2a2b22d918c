#include "model/attributes/enum_attribute.h"

#include "foundation/class_registrar.h"
#include "model/attributes/peripheral.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GEnumAttribute>, kGEnumAttributeClassID, kGEnumAttributeClassName);

}  // namespace

void GEnumAttribute::Fields(GFieldArchive& archive) {
  // The children read replace the present ones, the current choice among
  // them; it is held until it has been looked for.
  const GObjectRef held(archive.IsRestoring() ? current_ : nullptr);
  GAttributeComposite::Fields(archive);
  GObjectRef choice(current_);
  if (archive.Version(FormatVersion()) && archive.Object(choice)) {
    if (archive.IsRestoring()) current_ = choice.Get();
    archive.UInt16(choiceClassId_);
  }
  if (archive.IsRestoring()) RepairCurrentChoice(-1);
}

bool GEnumAttribute::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* enumeration = SameClassAndKey<GEnumAttribute>(other);
  if (enumeration == nullptr || !GAttributeComposite::SameContent(other)) return false;
  if (enumeration->choiceClassId_ != choiceClassId_) return false;
  if (current_ == nullptr || enumeration->current_ == nullptr) return current_ == enumeration->current_;
  return current_->SameContent(*enumeration->current_);
}

void GEnumAttribute::AddChild(MPersistentObject* node) {
  if (node == nullptr) return;
  const bool refused = !node->IsKindOf(kGAttributeClassID) ||
                       (choiceClassId_ != 0 && node->ClassID() != choiceClassId_) || FindEqual(*node) != nullptr;
  if (refused) {
    // Taking and dropping the node deletes it unless somebody else owns it.
    GObjectRef dropped(node);
    return;
  }
  if (choiceClassId_ == 0) choiceClassId_ = node->ClassID();
  const uint32_t before = EntryCount();
  GAttributeComposite::AddChild(node);
  if (current_ == nullptr && EntryCount() > before) current_ = node;
}

void GEnumAttribute::RepairCurrentChoice(int32_t formerIndex) {
  if (current_ == nullptr || IndexOfChild(current_) >= 0) return;
  const GCountedPtrVector& choices = Children();
  if (formerIndex >= 0 && static_cast<uint32_t>(formerIndex) < choices.Count()) {
    current_ = choices[static_cast<uint32_t>(formerIndex)].Get();
  } else {
    current_ = choices.IsEmpty() ? nullptr : choices[0].Get();
  }
}

// A removed node goes to the caller alive, so the current choice can be
// looked for afterwards without holding it.
MPersistentObject* GEnumAttribute::RemoveChild(const MPersistentObject* node) {
  MPersistentObject* removed = GAttributeComposite::RemoveChild(node);
  RepairCurrentChoice(-1);
  return removed;
}

MPersistentObject* GEnumAttribute::RemoveChildByKey(int32_t key) {
  const MPersistentObject* node = FindByKey(key);
  return node != nullptr ? RemoveChild(node) : nullptr;
}

MPersistentObject* GEnumAttribute::RemoveChildByClassId(RWClassID id) {
  const MPersistentObject* node = FindByClassId(id);
  return node != nullptr ? RemoveChild(node) : nullptr;
}

void GEnumAttribute::RemoveAllChildren() {
  current_ = nullptr;
  GAttributeComposite::RemoveAllChildren();
}

// A replaced child is let go of and may be deleted: the current choice is
// held until it has been looked for.
template <typename Replace>
bool GEnumAttribute::KeepingCurrentChoice(const Replace& replace) {
  const GObjectRef held(current_);
  const int32_t formerIndex = current_ != nullptr ? IndexOfChild(current_) : -1;
  const bool replaced = replace();
  RepairCurrentChoice(formerIndex);
  return replaced;
}

bool GEnumAttribute::ReplaceChildByKey(int32_t key, const MPersistentObject& object) {
  return KeepingCurrentChoice([&] { return GAttributeComposite::ReplaceChildByKey(key, object); });
}

bool GEnumAttribute::ReplaceChildByClassId(RWClassID id, const MPersistentObject& object) {
  return KeepingCurrentChoice([&] { return GAttributeComposite::ReplaceChildByClassId(id, object); });
}

bool GEnumAttribute::ReplaceChild(const MPersistentObject* node, const MPersistentObject& object) {
  return KeepingCurrentChoice([&] { return GAttributeComposite::ReplaceChild(node, object); });
}

bool GEnumAttribute::ReplaceChildByKind(RWClassID id, const MPersistentObject& object) {
  return KeepingCurrentChoice([&] { return GAttributeComposite::ReplaceChildByKind(id, object); });
}

MPersistentObject* GEnumAttribute::DeepCopy() const {
  MPersistentObject* copy = GAttributeComposite::DeepCopy();
  auto* enumeration = dynamic_cast<GEnumAttribute*>(copy);
  if (enumeration == nullptr) return copy;
  enumeration->choiceClassId_ = choiceClassId_;
  // The copies were added in order, so the current choice's copy stands at
  // its index.
  const int32_t index = current_ != nullptr ? IndexOfChild(current_) : -1;
  const GCountedPtrVector& copies = enumeration->Children();
  if (index >= 0 && static_cast<uint32_t>(index) < copies.Count()) {
    enumeration->current_ = copies[static_cast<uint32_t>(index)].Get();
  }
  return copy;
}

MPersistentObject* GEnumAttribute::SetCurrentChoice(const MPersistentObject& object) {
  MPersistentObject* found = FindEqual(object);
  if (found == nullptr || IndexOfChild(found) < 0) return nullptr;
  return current_ = found;
}

MPersistentObject* GEnumAttribute::NextChoice() {
  const int32_t index = current_ != nullptr ? IndexOfChild(current_) : -1;
  if (index >= 0 && static_cast<uint32_t>(index) + 1 < Children().Count()) {
    current_ = Children()[static_cast<uint32_t>(index) + 1].Get();
  }
  return current_;
}

MPersistentObject* GEnumAttribute::PreviousChoice() {
  const int32_t index = current_ != nullptr ? IndexOfChild(current_) : -1;
  if (index > 0) current_ = Children()[static_cast<uint32_t>(index) - 1].Get();
  return current_;
}

uint16_t GEnumAttribute::SendTo(GPeripheral& target) {
  const uint16_t status = target.ApplyEnumAttribute(*this);
  SetChangedFlag(0);
  return status;
}
