#pragma once

#include <cstdint>

#include "model/attributes/graphic_state_attribute.h"

// How the ends of open lines look.
//
// Stored part after the graphic-state attribute's: version 1; the kind
// (32-bit).
class GCap : public GGraphicStateAttribute {
 public:
  // The kinds the generators draw; other values are carried and draw
  // nothing.
  static constexpr int32_t kRound = 0;
  static constexpr int32_t kSquare = 1;
  static constexpr int32_t kFlat = 2;

  // Square.
  GCap() = default;
  GCap(int32_t kind, int32_t key) : GGraphicStateAttribute(key), kind_(kind) {}
  GCap(const GCap& other) = default;

  virtual int32_t GetKind() const { return kind_; }

  RWCollectable* NewInstance() const override { return new GCap; }
  RWCollectable* Clone() const override { return new GCap(*this); }
  RWClassID ClassID() const override { return kGCapClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGCapClassID || GGraphicStateAttribute::IsKindOf(id); }
  // Same class, key and kind.
  bool SameContent(const MPersistentObject& other) const override;
  // ApplyCap of the target.
  uint16_t SendTo(GPeripheral& target) override;

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  int32_t kind_ = kSquare;
};
