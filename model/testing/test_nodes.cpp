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

void ValueNode::SaveContentsToFile(GBinaryFile& file) const {
  MPersistentObject::SaveContentsToFile(file);
  file.Write(FormatVersion());
  file.Write(value);
}

void ValueNode::SaveContentsToStream(GVirtualOutStream& stream) const {
  MPersistentObject::SaveContentsToStream(stream);
  stream.PutULong(FormatVersion()).PutLong(value);
}

void ValueNode::RestoreContentsFromFile(GBinaryFile& file) {
  MPersistentObject::RestoreContentsFromFile(file);
  if (ReadVersion(file, FormatVersion())) file.Read(value);
}

void ValueNode::RestoreContentsFromStream(GVirtualInStream& stream) {
  MPersistentObject::RestoreContentsFromStream(stream);
  if (ReadVersion(stream, FormatVersion())) stream.GetLong(value);
}
