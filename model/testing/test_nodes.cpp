#include "model/testing/test_nodes.h"

#include "foundation/class_registrar.h"
#include "model/testing/test_peripheral.h"

namespace {

const GClassRegistrar bareRegistrar(CreateCollectable<BareNode>, BareNode::kID, "BareNode");
const GClassRegistrar valueRegistrar(CreateCollectable<ValueNode>, ValueNode::kID, "ValueNode");
const GClassRegistrar plainRegistrar(CreateCollectable<PlainCollectable>, PlainCollectable::kID, "PlainCollectable");
const GClassRegistrar otherRegistrar(CreateCollectable<OtherNode>, OtherNode::kID, "OtherNode");
const GClassRegistrar peripheralRegistrar(CreateCollectable<TestPeripheral>, TestPeripheral::kID, "TestPeripheral");

}  // namespace

bool ValueNode::SameContent(const MPersistentObject& other) const {
  const auto* node = SameClassAndKey<ValueNode>(other);
  return node != nullptr && node->value == value;
}

void ValueNode::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  if (archive.Version(FormatVersion())) archive.Int32(value);
}
