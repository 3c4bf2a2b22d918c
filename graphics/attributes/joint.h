#pragma once

#include <cstdint>

#include "model/attributes/graphic_state_attribute.h"

// How lines meet at corners. A miter join is always a GMiterJoint, which
// carries the miter limit that the generators send with it; a plain joint
// built for a miter holds "none" instead. Joints merge as one family (base
// type 351).
//
// Stored part after the graphic-state attribute's: version 1; the kind
// (32-bit).
class GJoint : public GGraphicStateAttribute {
 public:
  static constexpr int32_t kMiter = 0;
  static constexpr int32_t kRound = 1;
  static constexpr int32_t kBevel = 2;
  static constexpr int32_t kNone = 3;

  // None.
  GJoint() = default;
  // A miter kind is stored as none.
  GJoint(int32_t kind, int32_t key) : GGraphicStateAttribute(key), kind_(kind == kMiter ? kNone : kind) {}
  GJoint(const GJoint& other) = default;

  // Stores the kind as it is, a miter too.
  virtual void SetKind(int32_t kind) { kind_ = kind; }
  virtual int32_t GetKind() const { return kind_; }

  RWCollectable* NewInstance() const override { return new GJoint; }
  RWCollectable* Clone() const override { return new GJoint(*this); }
  RWClassID ClassID() const override { return kGJointClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGJointClassID || GGraphicStateAttribute::IsKindOf(id); }
  RWClassID BaseTypeId() const override { return kGJointClassID; }
  // Same class, key and kind.
  bool SameContent(const MPersistentObject& other) const override;
  // ApplyJoint of the target.
  uint16_t SendTo(GPeripheral& target) override;

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  int32_t kind_ = kNone;
};

// A miter join with its limit.
//
// Stored part after the joint's: version 1; the limit (32-bit float).
class GMiterJoint : public GJoint {
 public:
  // Limit 0.
  GMiterJoint() : GMiterJoint(0.0F, 0) {}
  GMiterJoint(float limit, int32_t key);
  GMiterJoint(const GMiterJoint& other) = default;

  float GetLimit() const { return limit_; }

  RWCollectable* NewInstance() const override { return new GMiterJoint; }
  RWCollectable* Clone() const override { return new GMiterJoint(*this); }
  RWClassID ClassID() const override { return kGMiterJointClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGMiterJointClassID || GJoint::IsKindOf(id); }
  // Equal as joints, with the same limit.
  bool SameContent(const MPersistentObject& other) const override;
  // ApplyMiterJoint of the target.
  uint16_t SendTo(GPeripheral& target) override;

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  float limit_;
};
