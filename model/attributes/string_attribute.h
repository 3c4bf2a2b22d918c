#pragma once

#include <cstdint>

#include "foundation/rw_cstring.h"
#include "model/attributes/attribute.h"

// A setting that holds one narrow text, shared copy-on-write with the
// strings it was set from.
//
// Stored part after the attribute's: version 1, the text (32-bit length,
// then the bytes).
class GStringAttribute : public GAttribute {
 public:
  GStringAttribute() = default;
  // A null text gives the empty one.
  GStringAttribute(const char* text, int32_t key);
  GStringAttribute(const RWCString& text, int32_t key) : GAttribute(key), text_(text) {}
  GStringAttribute(const GStringAttribute& other) = default;
  // Key, serial number, changed flag and text.
  GStringAttribute& operator=(const GStringAttribute& other) = default;

  const RWCString& Text() const { return text_; }
  // Shares the source's text.
  void SetText(const RWCString& text) { text_ = text; }
  // Copies the text; null gives the empty text.
  void SetText(const char* text);

  RWCollectable* NewInstance() const override { return new GStringAttribute; }
  RWCollectable* Clone() const override { return new GStringAttribute(*this); }
  RWClassID ClassID() const override { return kGStringAttributeClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGStringAttributeClassID || GAttribute::IsKindOf(id); }
  // Same class and key, same length and bytes.
  bool SameContent(const MPersistentObject& other) const override;
  // ApplyStringAttribute of the target.
  uint16_t SendTo(GPeripheral& target) override;

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  RWCString text_;
};
