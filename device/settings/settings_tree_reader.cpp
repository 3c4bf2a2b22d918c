#include "device/settings/settings_tree_reader.h"

#include <unordered_map>

#include "device/settings/compact_leaves.h"
#include "device/settings/compact_stream.h"
#include "device/settings/settings_keys.h"
#include "model/attributes/enum_attribute.h"
#include "model/attributes/state.h"

namespace {

// Nodes nested deeper than this read as nothing. A default node that is a
// leaf finds itself by its key, so nesting is not bounded by the defaults.
constexpr uint32_t kMaxDepth = 256;

// The direct children of a default node: key -> base type ID, and whether
// a stored child of that key was taken.
struct DefaultChild {
  RWClassID baseTypeId;
  bool seen;
};
using DefaultTable = std::unordered_map<int32_t, DefaultChild>;

// Calls visit with each direct child of the node.
template <typename Visit>
void ForEachChild(MPersistentObject& node, const Visit& visit) {
  const std::unique_ptr<GIterator> children = node.NewChildIterator();
  while (children->Advance()) {
    if (MPersistentObject* child = children->Current()) visit(*child);
  }
}

bool NeverTakenFromStream(int32_t nodeKey, int32_t childKey, bool is16Bit) {
  if (nodeKey != kDocumentSettingsKey || !is16Bit) return false;
  return childKey == kInstalledOptionsKey || childKey == kStoredGroupKey || childKey == kOtherStoredGroupKey ||
         childKey == kDevmodeOnlyGroupKey;
}

// A duplicate key keeps the first child's base type.
DefaultTable TableOf(MPersistentObject& defaults, int32_t nodeKey, bool is16Bit) {
  DefaultTable table;
  ForEachChild(defaults, [&](MPersistentObject& child) {
    if (NeverTakenFromStream(nodeKey, child.Key(), is16Bit)) return;
    table.try_emplace(child.Key(), DefaultChild{child.BaseTypeId(), false});
  });
  return table;
}

bool Accepts(const DefaultTable& table, int32_t nodeKey, const GAttribute& child) {
  const int32_t key = child.Key();
  const RWClassID baseTypeId = child.BaseTypeId();
  if (nodeKey == kExtensionListKey) return false;
  const auto found = table.find(key);
  if (found != table.end() && found->second.baseTypeId == baseTypeId) return true;
  if (key == kCustomSizeNameKey || nodeKey == kImportedSettingsKey || key == kImportedSettingsKey) return true;
  return (nodeKey == kUserSourceNamesKey || nodeKey == kBinNamesKey) && baseTypeId == kGStringAttributeClassID;
}

// Templates that only give stored entries their defaults are never added.
bool IsTemplate(int32_t key) { return key == kWatermarkKey || key == kCustomSizeTemplateKey; }

void AddMissingDefaults(GAttributeComposite& node, MPersistentObject& defaults, const DefaultTable& table) {
  ForEachChild(defaults, [&](MPersistentObject& child) {
    const auto found = table.find(child.Key());
    if (IsTemplate(child.Key()) || (found != table.end() && found->second.seen)) return;
    node.AddChild(child.DeepCopy());
  });
}

std::unique_ptr<GAttributeComposite> NewComposite(uint8_t type, int32_t key) {
  switch (type) {
    case kCompactComposite:
      return std::make_unique<GAttributeComposite>(key);
    case kCompactState:
      return std::make_unique<GState>(key);
    case kCompactEnumeration:
      return std::make_unique<GEnumAttribute>(key);
    default:
      return nullptr;
  }
}

}  // namespace

std::unique_ptr<GAttributeComposite> GSettingsTreeReader::ReadNode(uint8_t type, MPersistentObject& defaultParent,
                                                                   uint32_t depth) {
  in_.Version();
  const int32_t key = in_.Key();
  const uint32_t lengthAt = in_.Position();
  const uint16_t length = in_.UShort();
  if (!in_.IsGood() || depth > kMaxDepth) return nullptr;
  MPersistentObject* defaults = defaultParent.FindByKey(key);
  std::unique_ptr<GAttributeComposite> node = NewComposite(type, key);
  if (defaults == nullptr || !node) return nullptr;

  DefaultTable table = TableOf(*defaults, key, in_.Is16Bit());
  uint8_t childType = kCompactEnd;
  while (in_.Byte(childType) && childType != kCompactEnd) {
    std::unique_ptr<GAttribute> child = ReadChild(childType, *defaults, depth + 1);
    if (!child) {
      in_.SkipTo(lengthAt + length - 1);
      break;
    }
    if (!Accepts(table, key, *child)) continue;
    table.try_emplace(child->Key(), DefaultChild{child->BaseTypeId(), false}).first->second.seen = true;
    node->AddChild(child.release());
  }
  AddMissingDefaults(*node, *defaults, table);
  return node;
}

std::unique_ptr<GAttribute> GSettingsTreeReader::ReadChild(uint8_t type, MPersistentObject& defaults, uint32_t depth) {
  if (type == kCompactComposite || type == kCompactState || type == kCompactEnumeration) {
    return ReadNode(type, defaults, depth);
  }
  return ReadCompactLeaf(type, in_);
}
