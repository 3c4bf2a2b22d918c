#pragma once

#include <cstdint>
#include <memory>

#include "model/attributes/attribute_composite.h"

class GCompactInput;

// Reads the composites of a settings tree from the compact settings format
// and merges each with its node of a default tree: a stored child is kept
// when the default node has a child of its key and base type (or a rule
// below takes it anyway), and every default child that nothing stored
// replaced is added as a deep copy after the stored ones. So stored data of
// an older or another device description still gives a complete, current
// tree.
//
// A child that cannot be read (an unknown type, a composite whose key the
// defaults lack, input that ends) ends its parent's reading: the rest of
// the parent's bytes, as its length field gives them but never past the
// end of the input, are skipped, and the defaults fill the gap.
class GSettingsTreeReader {
 public:
  GSettingsTreeReader(GCompactInput& in, MPersistentObject& defaultRoot) : in_(in), defaultRoot_(defaultRoot) {}

  // The composite of the type whose type byte has been read, found by its
  // key below the default root; null when the type is no composite or the
  // key has no default node.
  std::unique_ptr<GAttributeComposite> ReadRoot(uint8_t type) { return ReadNode(type, defaultRoot_, 0); }

 private:
  std::unique_ptr<GAttributeComposite> ReadNode(uint8_t type, MPersistentObject& defaultParent, uint32_t depth);
  std::unique_ptr<GAttribute> ReadChild(uint8_t type, MPersistentObject& defaults, uint32_t depth);

  GCompactInput& in_;
  MPersistentObject& defaultRoot_;
};
