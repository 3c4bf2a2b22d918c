#include "graphics/display/graphic_composite.h"

#include <vector>

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GGraphicComposite>, kGGraphicCompositeClassID,
                                kGGraphicCompositeClassName);

}  // namespace

bool GGraphicComposite::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  if (other.ClassID() != ClassID() || !GCommand::SameContent(other)) return false;
  return children_.SameContent(static_cast<const GGraphicComposite&>(other).children_);
}

void GGraphicComposite::AddChild(MPersistentObject* node) {
  // Held while it is added, so that a refused node nobody owns goes.
  const GObjectRef held(node);
  if (IsGraphic(node)) children_.AddChild(node);
}

void GGraphicComposite::OwnData() {
  const GCountedPtrVector& children = children_.Children();
  for (uint32_t i = 0; i < children.Count(); ++i) {
    if (IsGraphic(children[i].Get())) static_cast<GGraphic*>(children[i].Get())->OwnData();
  }
}

void GGraphicComposite::Fields(GFieldArchive& archive) {
  GGraphic::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  archive.ObjectValue(children_);
  if (archive.IsRestoring()) DropNonGraphics();
}

// Empty slots go too: every child must be a graphic that can be drawn.
void GGraphicComposite::DropNonGraphics() {
  const GCountedPtrVector& children = children_.Children();
  std::vector<GObjectRef> graphics;
  for (uint32_t i = 0; i < children.Count(); ++i) {
    if (IsGraphic(children[i].Get())) graphics.emplace_back(children[i].Get());
  }
  if (graphics.size() == children.Count()) return;
  children_.RemoveAllChildren();
  for (const GObjectRef& graphic : graphics) children_.AddChild(graphic.Get());
}
