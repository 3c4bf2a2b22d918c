#include "model/attributes/state.h"

#include <memory>
#include <vector>

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GState>, kGStateClassID, kGStateClassName);

// The attributes among a node's direct children, held while they are merged.
std::vector<GObjectRef> AttributeChildren(MPersistentObject& node) {
  std::vector<GObjectRef> held;
  const std::unique_ptr<GIterator> children = node.NewChildIterator();
  while (children->Advance()) {
    if (dynamic_cast<GAttribute*>(children->Current()) != nullptr) held.emplace_back(children->Current());
  }
  return held;
}

}  // namespace

void GState::AddChild(MPersistentObject* node) {
  if (node == nullptr) return;
  const int32_t index = node->IsKindOf(kGAttributeClassID) ? IndexOfChild(node->BaseTypeId(), node->Key()) : -1;
  if (index < 0) {
    GAttributeComposite::AddChild(node);
    return;
  }
  const MPersistentObject* held = Children()[static_cast<uint32_t>(index)].Get();
  if (held->SameContent(*node)) {
    // The caller may share the node: only this block's claim on it goes.
    GObjectRef dropped(node);
    return;
  }
  SetChildAt(static_cast<uint32_t>(index), node);
}

int32_t GState::UpdateFrom(GAttribute* other) {
  if (other == nullptr) return 0;
  if (other->BaseTypeId() != BaseTypeId() || other->Key() != Key()) {
    // Held while it is added, so that marking it is safe even when this
    // block let go of it.
    const GObjectRef hold(other);
    AddChild(other);
    other->SetChangedFlag(1);
    return IndexOfChild(other) >= 0 ? 1 : 0;
  }
  int32_t taken = 0;
  for (const GObjectRef& child : AttributeChildren(*other)) {
    if (Merge(*static_cast<GAttribute*>(child.Get()))) taken = 1;
  }
  return taken;
}

bool GState::Merge(GAttribute& child) {
  if (&child == this) return false;
  const int32_t index = IndexOfChild(child.BaseTypeId(), child.Key());
  if (index < 0) {
    GAttributeComposite::AddChild(&child);
  } else {
    MPersistentObject* held = Children()[static_cast<uint32_t>(index)].Get();
    if (auto* state = dynamic_cast<GState*>(held); state != nullptr && held->ClassID() == kGStateClassID) {
      return state->UpdateFrom(&child) != 0;
    }
    if (!held->DiffersFrom(child)) return false;
    SetChildAt(static_cast<uint32_t>(index), &child);
  }
  child.SetChangedFlag(1);
  return true;
}

void GState::Fields(GFieldArchive& archive) {
  GAttributeComposite::Fields(archive);
  archive.TrailingVersion(FormatVersion());
}
