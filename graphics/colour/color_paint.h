#pragma once

#include <cstdint>

#include "graphics/colour/paint.h"
#include "graphics/colour/rgb_color.h"
#include "model/objects/object_ref.h"

// A solid colour, the one paint the system builds. It owns its colour,
// which may be absent.
//
// Stored part after the paint's: version 1; the colour as an object
// reference (the nil object when there is none).
class GColorPaint : public GPaint {
 public:
  GColorPaint() = default;
  // Takes the colour over.
  explicit GColorPaint(GColor* color) : color_(color) {}
  // Key and serial number; the colour is cloned.
  GColorPaint(const GColorPaint& other);
  GColorPaint& operator=(const GColorPaint& other) = delete;

  // Deletes the colour held (unless it is the same) and takes the new one
  // over; null leaves the paint without a colour.
  void SetColor(GColor* color) { color_ = color; }
  GColor* GetColor() const { return static_cast<GColor*>(color_.Get()); }

  // The target's SetPenColor and SetBrushColor.
  uint16_t ApplyAsPen(GPaintTarget& target) override { return target.SetPenColor(*this); }
  uint16_t ApplyAsBrush(GPaintTarget& target) override { return target.SetBrushColor(*this); }

  RWCollectable* NewInstance() const override { return new GColorPaint; }
  RWCollectable* Clone() const override { return new GColorPaint(*this); }
  RWClassID ClassID() const override { return kGColorPaintClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGColorPaintClassID || GPaint::IsKindOf(id); }
  // Same class and key; when both paints have a colour, equal colours (a
  // paint without a colour equals any paint of its key).
  bool SameContent(const MPersistentObject& other) const override;

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  GObjectRef color_;
};
