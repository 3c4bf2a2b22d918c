#include "device/settings/settings_codec.h"

#include <limits>

#include "device/settings/compact_leaves.h"
#include "device/settings/compact_lists.h"
#include "device/settings/compact_stream.h"
#include "device/settings/settings_default_tree.h"
#include "device/settings/settings_tree_reader.h"

namespace {

// The node type of a composite or list by its base type ID; 0 for any other
// class.
uint8_t CompositeType(RWClassID baseTypeId) {
  switch (baseTypeId) {
    case kGAttributeCompositeClassID:
      return kCompactComposite;
    case kGStateClassID:
      return kCompactState;
    case kGEnumAttributeClassID:
      return kCompactEnumeration;
    case kGDeviceFontListCompositeClassID:
      return kCompactFontLists;
    case kMAssociationListClassID:
      return kCompactAssociations;
    case kGResourceMappingListClassID:
      return kCompactMappings;
    default:
      return 0;
  }
}

bool IsList(uint8_t type) {
  return type == kCompactFontLists || type == kCompactAssociations || type == kCompactMappings;
}

class NodeWriter {
 public:
  explicit NodeWriter(GCompactOutput& out) : out_(out) {}

  // A null node is written as nothing and succeeds.
  bool WriteNode(const MPersistentObject* node) {
    if (node == nullptr) return true;
    const uint8_t type = CompositeType(node->BaseTypeId());
    if (type == 0) return false;
    out_.Byte(type);
    out_.Version(kCompactVersion);
    out_.Key(node->Key());
    const uint32_t lengthAt = out_.Position();
    out_.UShort(0);
    const bool written = WriteChildren(type, *node);
    const uint32_t end = out_.Position();
    const uint32_t length = end - lengthAt + 2;
    out_.Seek(lengthAt);
    out_.UShort(static_cast<uint16_t>(length));
    out_.Seek(end);
    out_.Byte(kCompactEnd);
    return written && length <= std::numeric_limits<uint16_t>::max() && out_.IsGood();
  }

 private:
  // Stops at the first child that cannot be written. Iterating changes
  // nothing in the node.
  bool WriteChildren(uint8_t type, const MPersistentObject& node) {
    const std::unique_ptr<GIterator> children = const_cast<MPersistentObject&>(node).NewChildIterator();
    while (children->Advance()) {
      const MPersistentObject* child = children->Current();
      if (child != nullptr && !WriteChild(type, *child)) return false;
    }
    return true;
  }

  // A list holds only its own entries; an attribute composite holds
  // composites, lists and leaves.
  bool WriteChild(uint8_t parentType, const MPersistentObject& child) {
    if (IsList(parentType)) return WriteCompactListEntry(parentType, child, out_);
    if (CompositeType(child.BaseTypeId()) != 0) return WriteNode(&child);
    return WriteCompactLeaf(child, out_);
  }

  GCompactOutput& out_;
};

}  // namespace

GSettingsCodec::GSettingsCodec() = default;

GSettingsCodec::~GSettingsCodec() = default;

int32_t GSettingsCodec::Write(const MPersistentObject& tree, GVirtualOutStream& stream, GOutputStream& owner,
                              int32_t mode) {
  GCompactEncoding encoding;
  if (!EncodingOfMode(mode, encoding) || CompositeType(tree.BaseTypeId()) == 0) return 0;
  GCompactOutput out(stream, owner, encoding);
  out.Signature();
  return NodeWriter(out).WriteNode(&tree) ? 1 : 0;
}

std::unique_ptr<MPersistentObject> GSettingsCodec::Read(GVirtualInStream& stream, GInputStream& owner,
                                                        GDriverInterface& driver, int32_t mode) {
  GCompactEncoding encoding;
  if (!EncodingOfMode(mode, encoding)) return nullptr;
  const std::lock_guard<std::mutex> lock(defaultsLock_);
  if (!defaults_) defaults_ = BuildSettingsDefaultTree(driver);
  GCompactInput in(stream, owner, encoding);
  uint8_t type = 0;
  if (!in.Signature() || !in.Byte(type)) return nullptr;
  if (IsList(type)) return ReadCompactList(type, in);
  return GSettingsTreeReader(in, *defaults_).ReadRoot(type);
}
