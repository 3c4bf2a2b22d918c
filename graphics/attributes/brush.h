#pragma once

#include <cstdint>

#include "graphics/colour/paint.h"
#include "model/attributes/graphic_state_attribute.h"
#include "model/objects/object_ref.h"

// How areas are filled: the paint they are filled with (none is allowed).
// The brush holds one reference on its paint; copies share it. Brushes
// merge as one family (base type 251).
//
// Stored part after the graphic-state attribute's: version 1; the paint as
// an object reference (the nil object when none).
class GBrush : public GGraphicStateAttribute {
 public:
  GBrush() = default;
  // Takes a reference on the paint.
  GBrush(GPaint* paint, int32_t key) : GGraphicStateAttribute(key), paint_(paint) {}
  GBrush(const GBrush& other) = default;
  GBrush& operator=(const GBrush& other) = delete;

  // Nothing happens for the paint already held; otherwise the old paint is
  // released (deleted when this was its last holder) and the new one
  // referenced. Null leaves the brush without a paint.
  virtual void SetPaint(GPaint* paint) { paint_ = paint; }
  virtual GPaint* GetPaint() const { return static_cast<GPaint*>(paint_.Get()); }

  RWCollectable* NewInstance() const override { return new GBrush; }
  RWCollectable* Clone() const override { return new GBrush(*this); }
  RWClassID ClassID() const override { return kGBrushClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGBrushClassID || GGraphicStateAttribute::IsKindOf(id); }
  RWClassID BaseTypeId() const override { return kGBrushClassID; }
  // Same class and key, and the same paint (both none, or of equal
  // content).
  bool SameContent(const MPersistentObject& other) const override;
  // ApplyBrush of the target.
  uint16_t SendTo(GPeripheral& target) override;

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  GObjectRef paint_;
};

// Areas are not filled.
//
// Stored part after the brush's: version 1.
class GNoBrush : public GBrush {
 public:
  GNoBrush() = default;
  GNoBrush(const GNoBrush& other) = default;

  RWCollectable* NewInstance() const override { return new GNoBrush; }
  RWCollectable* Clone() const override { return new GNoBrush(*this); }
  RWClassID ClassID() const override { return kGNoBrushClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGNoBrushClassID || GBrush::IsKindOf(id); }
  // Same class and key: a paint, which nothing reads, is not compared.
  bool SameContent(const MPersistentObject& other) const override;
  // ApplyNoBrush of the target.
  uint16_t SendTo(GPeripheral& target) override;

 protected:
  void Fields(GFieldArchive& archive) override;
};
