#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "model/objects/persistent_object.h"

class GStringAttribute;

// Lookups in the device description and the settings, which find nodes by
// key depth first. A missing node, or one of another kind, finds nothing.

// The value of the value attribute of that key below node (null finds
// nothing).
std::optional<int16_t> FindValue(MPersistentObject* node, int32_t key);
// The same, or fallback.
inline int16_t ValueOr(MPersistentObject* node, int32_t key, int16_t fallback) {
  return FindValue(node, key).value_or(fallback);
}
// The text attribute of that key below node.
GStringAttribute* FindText(MPersistentObject* node, int32_t key);
// The node of that key below node, when it is a T.
template <typename T>
T* FindAs(MPersistentObject* node, int32_t key) {
  return node != nullptr ? dynamic_cast<T*>(node->FindByKey(key)) : nullptr;
}

// The orientation (265) and the resolution (323 and 324 of group 249) of
// settings; empty when one of them is missing.
struct GSettingsGeometry {
  int32_t orientation;
  uint16_t x;
  uint16_t y;
};
std::optional<GSettingsGeometry> FindGeometry(MPersistentObject* settings);

// Calls visit with each direct child of node that is a T, in order, until
// it answers false; answers false when a visit did.
template <typename T, typename Visit>
bool ForEachChildAs(MPersistentObject& node, Visit visit) {
  const std::unique_ptr<GIterator> children = node.NewChildIterator();
  while (children->Advance()) {
    T* child = dynamic_cast<T*>(children->Current());
    if (child != nullptr && !visit(*child)) return false;
  }
  return true;
}
