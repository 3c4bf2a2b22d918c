#include "device/testing/test_peripheral_composite.h"

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<TestPeripheralComposite>, TestPeripheralComposite::kID,
                                TestPeripheralComposite::kName);

}  // namespace

bool TestPeripheralComposite::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* composite = SameClassAndKey<TestPeripheralComposite>(other);
  return composite != nullptr && TestPeripheral::SameContent(other) && children_.SameContent(composite->children_);
}

MPersistentObject* TestPeripheralComposite::DeepCopy() const {
  auto* copy = static_cast<TestPeripheralComposite*>(TestPeripheral::DeepCopy());
  copy->children_.RemoveAllChildren();
  for (const GCountedPtr& child : Children()) {
    if (child.Get() != nullptr) copy->children_.AddChild(child->DeepCopy());
  }
  return copy;
}

void TestPeripheralComposite::Fields(GFieldArchive& archive) {
  TestPeripheral::Fields(archive);
  if (archive.Version(FormatVersion())) archive.Children(children_.MutableChildren());
}
