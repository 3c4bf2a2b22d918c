#include "model/attributes/attribute_composite.h"

#include <utility>
#include <vector>

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GAttributeComposite>, kGAttributeCompositeClassID,
                                kGAttributeCompositeClassName);

// The direct children of a node as counted references, so that a walk
// stays safe while what it calls changes the node.
std::vector<GObjectRef> Snapshot(MPersistentObject& node) {
  std::vector<GObjectRef> held;
  const std::unique_ptr<GIterator> children = node.NewChildIterator();
  while (children->Advance()) held.emplace_back(children->Current());
  return held;
}

}  // namespace

// Children are appended as read, without a kind test, as they were saved.
void GAttributeComposite::Fields(GFieldArchive& archive) {
  GAttribute::Fields(archive);
  if (archive.Version(FormatVersion())) archive.Children(children_.MutableChildren());
}

bool GAttributeComposite::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* composite = SameClassAndKey<GAttributeComposite>(other);
  return composite != nullptr && children_.SameContent(composite->children_);
}

void GAttributeComposite::AddChild(MPersistentObject* node) {
  if (node == nullptr) return;
  if (!node->IsKindOf(kGAttributeClassID)) {
    // Taking and dropping the node deletes it unless somebody else owns it.
    GObjectRef dropped(node);
    return;
  }
  children_.AddChild(node);
}

MPersistentObject* GAttributeComposite::RemoveChild(const MPersistentObject* node) {
  return children_.RemoveChild(node);
}

MPersistentObject* GAttributeComposite::RemoveChildByKey(int32_t key) { return children_.RemoveChildByKey(key); }

MPersistentObject* GAttributeComposite::RemoveChildByClassId(RWClassID id) {
  return children_.RemoveChildByClassId(id);
}

bool GAttributeComposite::ReplaceChildByKey(int32_t key, const MPersistentObject& object) {
  return children_.ReplaceChildByKey(key, object);
}

bool GAttributeComposite::ReplaceChildByClassId(RWClassID id, const MPersistentObject& object) {
  return children_.ReplaceChildByClassId(id, object);
}

bool GAttributeComposite::ReplaceChild(const MPersistentObject* node, const MPersistentObject& object) {
  return children_.ReplaceChild(node, object);
}

bool GAttributeComposite::ReplaceChildByKind(RWClassID id, const MPersistentObject& object) {
  return children_.ReplaceChildByKind(id, object);
}

void GAttributeComposite::RemoveAllChildren() { children_.RemoveAllChildren(); }

MPersistentObject* GAttributeComposite::FindByKey(int32_t key) { return children_.FindByKey(key); }

MPersistentObject* GAttributeComposite::FindByClassId(RWClassID id) { return children_.FindByClassId(id); }

MPersistentObject* GAttributeComposite::FindEqual(const MPersistentObject& other) {
  for (const GCountedPtr& element : Children()) {
    MPersistentObject* child = element.Get();
    if (child == nullptr) continue;
    if (child == &other) return child;
    if (MPersistentObject* found = child->FindEqual(other)) return found;
  }
  return nullptr;
}

MPersistentObject* GAttributeComposite::FindKindOf(RWClassID id) { return children_.FindKindOf(id); }

MPersistentObject& GAttributeComposite::CollectByClassId(RWClassID id, MPersistentObject& composite) {
  return children_.CollectByClassId(id, composite);
}

MPersistentObject& GAttributeComposite::CollectByKey(int32_t key, MPersistentObject& composite) {
  return children_.CollectByKey(key, composite);
}

MPersistentObject& GAttributeComposite::CollectKindOf(RWClassID id, MPersistentObject& composite) {
  return children_.CollectKindOf(id, composite);
}

MPersistentObject* GAttributeComposite::SelectByKey(int32_t key) {
  return NewSelection<GAttributeComposite>([&](MPersistentObject& selection) { CollectByKey(key, selection); });
}

MPersistentObject* GAttributeComposite::SelectByClassId(RWClassID id) {
  return NewSelection<GAttributeComposite>([&](MPersistentObject& selection) { CollectByClassId(id, selection); });
}

MPersistentObject* GAttributeComposite::SelectKindOf(RWClassID id) {
  return NewSelection<GAttributeComposite>([&](MPersistentObject& selection) { CollectKindOf(id, selection); });
}

int32_t GAttributeComposite::UpdateFrom(GAttribute* other) {
  if (other == nullptr) return 0;
  const uint32_t before = EntryCount();
  if (other->BaseTypeId() != BaseTypeId() || other->Key() != Key()) {
    AddChild(other->CloneObject());
  } else {
    for (const GObjectRef& child : Snapshot(*other)) {
      if (child) AddChild(child->CloneObject());
    }
  }
  return EntryCount() != before ? other->ChangedFlag() : 0;
}

uint16_t GAttributeComposite::SendTo(GPeripheral& target) {
  uint16_t status = 0;
  for (const GObjectRef& child : Snapshot(*this)) {
    auto* attribute = dynamic_cast<GAttribute*>(child.Get());
    if (attribute == nullptr || attribute->ChangedFlag() == 0) continue;
    const uint16_t sent = attribute->SendTo(target);
    if (sent != 0) status = sent;
  }
  SetChangedFlag(0);
  return status;
}

void GAttributeComposite::SetAllChanged(int32_t changed) {
  for (const GCountedPtr& child : Children()) {
    if (auto* attribute = dynamic_cast<GAttribute*>(child.Get())) attribute->SetChangedFlag(changed);
  }
  SetChangedFlag(changed);
}

void GAttributeComposite::MarkAllChanged() { SetAllChanged(1); }

void GAttributeComposite::ClearAllChanged() { SetAllChanged(0); }

void GAttributeComposite::ForEachChild(void (*function)(GCountedPtr& element, void* user), void* user) {
  children_.ForEachChild(function, user);
}

MPersistentObject* GAttributeComposite::FindFirstChild(bool (*function)(const GCountedPtr& element, void* user),
                                                       void* user) {
  return children_.FindFirstChild(function, user);
}

int32_t GAttributeComposite::IndexOfChild(RWClassID baseTypeId, int32_t key) const {
  for (uint32_t i = 0; i < Children().Count(); ++i) {
    const MPersistentObject* child = Children()[i].Get();
    if (child != nullptr && child->BaseTypeId() == baseTypeId && child->Key() == key) return static_cast<int32_t>(i);
  }
  return -1;
}

int32_t GAttributeComposite::IndexOfChild(const MPersistentObject* node) const {
  for (uint32_t i = 0; i < Children().Count(); ++i) {
    if (Children()[i].Get() == node) return static_cast<int32_t>(i);
  }
  return -1;
}

void GAttributeComposite::SetChildAt(uint32_t index, MPersistentObject* node) {
  children_.MutableChildren().Set(index, GCountedPtr(node));
}
