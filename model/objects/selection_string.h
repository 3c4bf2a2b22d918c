#pragma once

#include <cstdint>

#include "foundation/rw_cstring.h"
#include "model/objects/persistent_object.h"

// A 16-bit value with a narrow text, such as one choice of a list.
//
// Stored contents after the base part: version 1, the text, the value
// (signed 16-bit).
class GSelectionString : public MPersistentObject {
 public:
  GSelectionString() = default;
  GSelectionString(const RWCString& text, int16_t value, int32_t key)
      : MPersistentObject(key), text_(text), value_(value) {}

  RWCollectable* NewInstance() const override { return new GSelectionString; }
  RWCollectable* Clone() const override { return new GSelectionString(*this); }
  RWClassID ClassID() const override { return kGSelectionStringClassID; }
  // Equal values and equal texts.
  bool SameContent(const MPersistentObject& other) const override;

  const RWCString& Text() const { return text_; }
  int16_t Value() const { return value_; }

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  RWCString text_;
  int16_t value_ = 0;
};
