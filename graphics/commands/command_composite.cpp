#include "graphics/commands/command_composite.h"

#include <vector>

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GCommandComposite>, kGCommandCompositeClassID,
                                kGCommandCompositeClassName);

bool IsCommandNode(const MPersistentObject* node) { return node != nullptr && node->IsKindOf(kGCommandClassID); }

}  // namespace

bool GCommandComposite::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  if (other.ClassID() != ClassID() || !GCommand::SameContent(other)) return false;
  return children_.SameContent(static_cast<const GCommandComposite&>(other).children_);
}

template <typename Add>
void GCommandComposite::AddCommand(MPersistentObject* node, const Add& add) {
  // Held while it is added, so that a refused node nobody owns goes.
  const GObjectRef held(node);
  if (!IsCommandNode(node)) return;
  add(node);
  SetChanged(true);
}

void GCommandComposite::AddChild(MPersistentObject* node) {
  AddCommand(node, [this](MPersistentObject* command) { children_.AddChild(command); });
}

void GCommandComposite::InsertFirstChild(MPersistentObject* node) {
  AddCommand(node, [this](MPersistentObject* command) { children_.InsertFirstChild(command); });
}

MPersistentObject* GCommandComposite::RemoveChild(const MPersistentObject* node) {
  return Changed(children_.RemoveChild(node));
}

MPersistentObject* GCommandComposite::RemoveChildByKey(int32_t key) { return Changed(children_.RemoveChildByKey(key)); }

MPersistentObject* GCommandComposite::RemoveChildByClassId(RWClassID id) {
  return Changed(children_.RemoveChildByClassId(id));
}

bool GCommandComposite::ReplaceChildByKey(int32_t key, const MPersistentObject& object) {
  return Changed(children_.ReplaceChildByKey(key, object));
}

bool GCommandComposite::ReplaceChildByClassId(RWClassID id, const MPersistentObject& object) {
  return Changed(children_.ReplaceChildByClassId(id, object));
}

bool GCommandComposite::ReplaceChild(const MPersistentObject* node, const MPersistentObject& object) {
  return Changed(children_.ReplaceChild(node, object));
}

bool GCommandComposite::ReplaceChildByKind(RWClassID id, const MPersistentObject& object) {
  return Changed(children_.ReplaceChildByKind(id, object));
}

void GCommandComposite::OwnData() {
  children_.ForEachChild(
      [](GCountedPtr& child, void*) {
        if (IsCommandNode(child.Get())) static_cast<GCommand*>(child.Get())->OwnData();
      },
      nullptr);
}

void GCommandComposite::Fields(GFieldArchive& archive) {
  GCommand::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  archive.ObjectValue(children_);
  if (!archive.IsRestoring()) return;
  DropNonCommands();
  SetChanged(false);
}

// Empty slots go too: every child of the list must be a command that a
// stage can be handed.
void GCommandComposite::DropNonCommands() {
  struct Sorted {
    std::vector<GObjectRef> commands;
    bool strangers = false;
  } sorted;
  children_.ForEachChild(
      [](GCountedPtr& child, void* user) {
        auto& into = *static_cast<Sorted*>(user);
        if (IsCommandNode(child.Get())) {
          into.commands.emplace_back(child.Get());
        } else {
          into.strangers = true;
        }
      },
      &sorted);
  if (!sorted.strangers) return;
  children_.RemoveAllChildren();
  for (const GObjectRef& command : sorted.commands) children_.AddChild(command.Get());
}
