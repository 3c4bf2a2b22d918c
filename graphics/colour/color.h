#pragma once

#include <cstdint>

#include "model/objects/persistent_object.h"

// A colour value. It adds to the model object only the fourth component
// that every colour carries beside its own ones, and a copy into another
// colour of the same class; equality is the root's (keys).
//
// Stored part after the root's: version 1.
class GColor : public MPersistentObject {
 public:
  bool IsKindOf(RWClassID id) const override { return id == kGColorClassID || MPersistentObject::IsKindOf(id); }

  virtual void SetFourth(uint8_t fourth) = 0;
  virtual uint8_t GetFourth() const = 0;
  // Makes target a copy of this colour (key and serial number included);
  // a target of another class is left as it is.
  virtual void CopyTo(GColor& target) const = 0;

 protected:
  GColor() = default;
  GColor(const GColor& other) = default;
  GColor& operator=(const GColor& other) = default;

  void Fields(GFieldArchive& archive) override;
};
