#pragma once

#include <cstdint>

#include "graphics/point.h"
#include "model/attributes/attribute.h"

// A pair of scale factors.
struct GScale {
  float x = 1.0F;
  float y = 1.0F;

  bool operator==(const GScale&) const = default;
};

// Moves, turns and scales what a page draws: the origin goes to the
// offset, then the page turns by the angle (degrees), then it is scaled by
// the two factors. Kept as a plain child of a graphic bundle.
//
// Stored part after the attribute's: version 1; angle, x offset, y offset
// (16-bit each); x scale, y scale (32-bit floats).
class GTransformAttribute : public GAttribute {
 public:
  // No turn, no offset, scale 1.
  GTransformAttribute() = default;
  GTransformAttribute(int16_t angle, const GPoint& offset, const GScale& scale)
      : angle_(angle), offset_(offset), scale_(scale) {}
  GTransformAttribute(const GTransformAttribute& other) = default;

  virtual void SetScale(const GScale& scale) { scale_ = scale; }
  virtual void SetOffset(const GPoint& offset) { PointCopy(offset_, offset); }
  virtual void SetAngle(int16_t angle) { angle_ = angle; }
  // Takes the other's angle, offset and scale, keeping its own key and
  // flags.
  void SetValues(const GTransformAttribute& other) {
    SetAngle(other.GetAngle());
    SetOffset(other.GetOffset());
    SetScale(other.GetScale());
  }
  virtual GScale GetScale() const { return scale_; }
  virtual GPoint GetOffset() const { return offset_; }
  virtual int16_t GetAngle() const { return angle_; }

  RWCollectable* NewInstance() const override { return new GTransformAttribute; }
  RWCollectable* Clone() const override { return new GTransformAttribute(*this); }
  RWClassID ClassID() const override { return kGTransformAttributeClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGTransformAttributeClassID || GAttribute::IsKindOf(id); }
  // Same class, key, angle, scales and offsets.
  bool SameContent(const MPersistentObject& other) const override;
  // ApplyTransform of the target.
  uint16_t SendTo(GPeripheral& target) override;

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  int16_t angle_ = 0;
  GPoint offset_;
  GScale scale_;
};

// A new transform (key 0) that applies inner first and outer after it:
// the angles add; each offset is the outer one plus the inner one times the
// outer scale, truncated toward zero (the inner offset is not turned by the
// outer angle); the scales multiply. Sums wrap in 16 bits.
GTransformAttribute* ComposeTransforms(const GTransformAttribute& outer, const GTransformAttribute& inner);
