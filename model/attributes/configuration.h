#pragma once

#include <cstdint>

#include "model/objects/persistent_composite.h"

// The root container of a device description: installed options, media
// pools, trays, bins and the like. It holds no two equal children, except
// that nested configurations are always taken.
//
// Stored part: the composite's, then version 1 (read and not examined).
class GConfiguration : public MPersistentComposite {
 public:
  GConfiguration() = default;
  explicit GConfiguration(int32_t key) : MPersistentComposite(key) {}
  // Shares the children.
  GConfiguration(const GConfiguration& other) = default;
  GConfiguration& operator=(const GConfiguration& other) = default;

  RWCollectable* NewInstance() const override { return new GConfiguration; }
  RWCollectable* Clone() const override { return new GConfiguration(*this); }
  RWClassID ClassID() const override { return kGConfigurationClassID; }
  bool IsKindOf(RWClassID id) const override {
    return id == kGConfigurationClassID || MPersistentComposite::IsKindOf(id);
  }

  // Null is ignored. A node that is not a configuration and has the content
  // of a child held is let go of (deleted unless somebody else owns it);
  // otherwise it is appended.
  void AddChild(MPersistentObject* node) override;

 protected:
  // The base's part, then this class's version word, read and not examined.
  void Fields(GFieldArchive& archive) override;
};
