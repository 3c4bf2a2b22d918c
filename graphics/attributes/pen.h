#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "graphics/colour/paint.h"
#include "model/attributes/graphic_state_attribute.h"
#include "model/objects/object_ref.h"

// How outlines are painted: a line width in device units and the paint
// they are drawn with (none is allowed). The pen holds one reference on
// its paint; copies share it. Every pen, plain, dashed or none, merges as
// a pen (base type 201), so a new pen in a state replaces the old one
// whatever its class.
//
// Stored part after the graphic-state attribute's: version 1; the width
// (16-bit); the paint as an object reference (the nil object when none).
class GPen : public GGraphicStateAttribute {
 public:
  // Width 1, no paint.
  GPen() : GPen(1, nullptr, 0) {}
  // Takes a reference on the paint.
  GPen(int16_t width, GPaint* paint, int32_t key) : GGraphicStateAttribute(key), width_(width), paint_(paint) {}
  GPen(const GPen& other) = default;
  GPen& operator=(const GPen& other) = delete;

  virtual void SetWidth(int16_t width) { width_ = width; }
  // Nothing happens for the paint already held; otherwise the old paint is
  // released (deleted when this was its last holder) and the new one
  // referenced. Null leaves the pen without a paint.
  virtual void SetPaint(GPaint* paint) { paint_ = paint; }
  virtual int16_t GetWidth() const { return width_; }
  virtual GPaint* GetPaint() const { return static_cast<GPaint*>(paint_.Get()); }

  RWCollectable* NewInstance() const override { return new GPen; }
  RWCollectable* Clone() const override { return new GPen(*this); }
  RWClassID ClassID() const override { return kGPenClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGPenClassID || GGraphicStateAttribute::IsKindOf(id); }
  RWClassID BaseTypeId() const override { return kGPenClassID; }
  // Same class, key and width, and the same paint (both none, or of equal
  // content).
  bool SameContent(const MPersistentObject& other) const override;
  // ApplyPen of the target.
  uint16_t SendTo(GPeripheral& target) override;

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  int16_t width_;
  GObjectRef paint_;
};

// Outlines are not painted: a pen of width 0 without paint.
//
// Stored part after the pen's: version 1.
class GNoPen : public GPen {
 public:
  GNoPen() : GPen(0, nullptr, 0) {}
  GNoPen(const GNoPen& other) = default;

  RWCollectable* NewInstance() const override { return new GNoPen; }
  RWCollectable* Clone() const override { return new GNoPen(*this); }
  RWClassID ClassID() const override { return kGNoPenClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGNoPenClassID || GPen::IsKindOf(id); }
  // Equal as pens, and this pen has no paint.
  bool SameContent(const MPersistentObject& other) const override;
  // ApplyNoPen of the target.
  uint16_t SendTo(GPeripheral& target) override;

 protected:
  void Fields(GFieldArchive& archive) override;
};

// A pen that draws dashes: the lengths of the dashes and gaps, in turn,
// and the offset into that pattern at which a line starts.
//
// Stored part after the pen's: version 1; the offset (16-bit); the dash
// count (32-bit); the lengths (16-bit each).
class GDashedPen : public GPen {
 public:
  // Width 0, no paint, no dashes, offset 0.
  GDashedPen() : GPen(0, nullptr, 0) {}
  // Takes the lengths over; the paint is referenced.
  GDashedPen(std::vector<uint16_t> dashes, int16_t width, GPaint* paint, int16_t offset, int32_t key)
      : GPen(width, paint, key), dashes_(std::move(dashes)), offset_(offset) {}
  GDashedPen(const GDashedPen& other) = default;

  // Null when there are no dashes.
  const uint16_t* GetDashArray() const { return dashes_.empty() ? nullptr : dashes_.data(); }
  uint32_t GetDashCount() const { return static_cast<uint32_t>(dashes_.size()); }
  int16_t GetDashOffset() const { return offset_; }

  RWCollectable* NewInstance() const override { return new GDashedPen; }
  RWCollectable* Clone() const override { return new GDashedPen(*this); }
  RWClassID ClassID() const override { return kGDashedPenClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGDashedPenClassID || GPen::IsKindOf(id); }
  // Equal as pens, with the same offset and the same lengths.
  bool SameContent(const MPersistentObject& other) const override;
  // ApplyDashedPen of the target.
  uint16_t SendTo(GPeripheral& target) override;

 protected:
  // The stored count is checked against the bytes left before the lengths
  // are read.
  void Fields(GFieldArchive& archive) override;

 private:
  std::vector<uint16_t> dashes_;
  int16_t offset_ = 0;
};
