#pragma once

#include "foundation/rw_cstring.h"
#include "model/objects/slot_vector.h"

// Texts match when they hold the same bytes.
inline bool SameElement(const RWCString& a, const RWCString& b) { return a == b; }

// A growable list of narrow texts, matched by content.
class GCStringVector : public GSlotVector<RWCString> {
 public:
  explicit GCStringVector(uint32_t capacity = kGrowth) : GSlotVector(capacity) {}
};
