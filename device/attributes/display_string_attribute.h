#pragma once

#include <cstdint>

#include "model/attributes/attribute.h"
#include "model/objects/display_string.h"

// A settings node that carries one text to show (a string resource with a
// default text). No stage of the pipeline takes it: SendTo hands nothing on
// and answers 0.
//
// Stored part after the attribute's: version 1, the display string as an
// object reference.
class GDisplayStringAttribute : public GAttribute {
 public:
  GDisplayStringAttribute() = default;
  GDisplayStringAttribute(int32_t key, int16_t resourceId, const char* defaultText, const char* moduleName)
      : GAttribute(key), displayString_(resourceId, defaultText, moduleName) {}
  GDisplayStringAttribute(int16_t resourceId, const char* defaultText, const char* moduleName)
      : GDisplayStringAttribute(0, resourceId, defaultText, moduleName) {}
  GDisplayStringAttribute(const GDisplayStringAttribute& other) = default;
  GDisplayStringAttribute& operator=(const GDisplayStringAttribute& other) = default;

  const GDisplayString& GetDisplayString() const { return displayString_; }
  void SetDisplayString(const GDisplayString& text) { displayString_ = text; }

  RWCollectable* NewInstance() const override { return new GDisplayStringAttribute; }
  RWCollectable* Clone() const override { return new GDisplayStringAttribute(*this); }
  RWClassID ClassID() const override { return kGDisplayStringAttributeClassID; }
  bool IsKindOf(RWClassID id) const override {
    return id == kGDisplayStringAttributeClassID || GAttribute::IsKindOf(id);
  }
  // Same class and key, and display strings of the same content.
  bool SameContent(const MPersistentObject& other) const override;
  uint16_t SendTo(GPeripheral&) override { return 0; }

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  GDisplayString displayString_;
};
