#include "model/attributes/configuration.h"

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GConfiguration>, kGConfigurationClassID, kGConfigurationClassName);

}  // namespace

void GConfiguration::AddChild(MPersistentObject* node) {
  if (node == nullptr) return;
  if (dynamic_cast<GConfiguration*>(node) == nullptr) {
    for (const GCountedPtr& child : Children()) {
      if (child.IsEmpty() || !node->SameContent(*child.Get())) continue;
      GObjectRef dropped(node);
      return;
    }
  }
  MPersistentComposite::AddChild(node);
}

void GConfiguration::Fields(GFieldArchive& archive) {
  MPersistentComposite::Fields(archive);
  archive.TrailingVersion(FormatVersion());
}
