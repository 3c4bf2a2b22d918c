#pragma once

#include <cstdint>

#include "model/attributes/attribute.h"

// The base of the graphic-state and colour attributes (pens, brushes, caps,
// joints, clips, transforms, paints, colour treatment). Each of those
// classes hands itself to its own operation of the peripheral. Equality is
// the root's, keys alone whatever the classes, until a derived class
// compares its own fields.
//
// Stored part after the attribute's: version 1.
class GGraphicStateAttribute : public GAttribute {
 public:
  GGraphicStateAttribute() = default;
  explicit GGraphicStateAttribute(int32_t key) : GAttribute(key) {}

  bool IsKindOf(RWClassID id) const override {
    return id == kGGraphicStateAttributeClassID || GAttribute::IsKindOf(id);
  }

 protected:
  // The version word alone; derived classes' fields follow it.
  void Fields(GFieldArchive& archive) override;
};
