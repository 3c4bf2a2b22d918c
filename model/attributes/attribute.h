#pragma once

#include <cstdint>

#include "model/objects/persistent_object.h"

class GPeripheral;

// A setting: a keyed node of the settings tree with a changed flag, which
// hands itself to a stage of the render pipeline through SendTo. The flag
// is 1 in every new attribute, travels with copies and with the stored
// form, is taken over by merges and cleared once a composite or an
// enumeration has been sent.
//
// Stored part after the root's: version 1, the changed flag (32-bit).
class GAttribute : public MPersistentObject {
 public:
  GAttribute() = default;
  explicit GAttribute(int32_t key) : MPersistentObject(key) {}
  GAttribute(const GAttribute& other) = default;
  GAttribute& operator=(const GAttribute& other) = default;

  int32_t ChangedFlag() const { return changed_; }
  void SetChangedFlag(int32_t changed) { changed_ = changed; }

  bool IsKindOf(RWClassID id) const override { return id == kGAttributeClassID || MPersistentObject::IsKindOf(id); }

  // Merges another attribute into this one and answers 0 when nothing
  // changed, else the other's changed flag. A leaf takes over only the
  // other's identity (key and serial number) and flag, never its value, and
  // only when the two differ; composites add, replace or recurse.
  virtual int32_t UpdateFrom(GAttribute* other);
  // Hands this attribute to the target's operation for its kind and
  // answers that operation's status.
  virtual uint16_t SendTo(GPeripheral& target) = 0;

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  int32_t changed_ = 1;
};
