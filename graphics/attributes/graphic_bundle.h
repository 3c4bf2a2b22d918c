#pragma once

#include <cstdint>

#include "model/attributes/state.h"

class GBrush;
class GCap;
class GClip;
class GFillMode;
class GJoint;
class GPen;
class GRasterOperation;

// The drawing state a graphic is painted with: a state block (key 244)
// holding at most one attribute of each kind under the kind's fixed key.
// Setting an attribute goes through the state's AddChild, so it replaces
// the held one of its family or, when the two are equal, is let go of and
// the held one stays with its changed flag; a stage then sends only what
// really changed. The transform and other attributes are added with the
// plain state operations.
//
// Stored part: the state's, then version 1.
class GGraphicBundle : public GState {
 public:
  // The key of each kind.
  static constexpr int32_t kBrushKey = 154;
  static constexpr int32_t kPenKey = 160;
  static constexpr int32_t kCapKey = 166;
  static constexpr int32_t kJointKey = 172;
  static constexpr int32_t kClipKey = 177;
  static constexpr int32_t kFillModeKey = 182;
  static constexpr int32_t kRasterOperationKey = 183;

  // The graphic state's key in a stage's state, no children.
  GGraphicBundle();
  // Shares the other's children.
  GGraphicBundle(const GGraphicBundle& other) = default;

  // Each Set gives the attribute its kind's key and adds it; the bundle
  // owns it from then on (an equal one is released, so a caller that
  // still holds it keeps it).
  virtual void SetBrush(GBrush* brush);
  virtual void SetCap(GCap* cap);
  virtual void SetClip(GClip* clip);
  virtual void SetFillMode(GFillMode* mode);
  virtual void SetJoint(GJoint* joint);
  virtual void SetPen(GPen* pen);
  virtual void SetRasterOperation(GRasterOperation* operation);

  // Each Remove detaches the child under its kind's key and hands it to the
  // caller: the child itself, or a clone when others still hold it; null
  // when there is none.
  virtual GBrush* RemoveBrush();
  virtual GCap* RemoveCap();
  virtual GClip* RemoveClip();
  virtual GFillMode* RemoveFillMode();
  virtual GJoint* RemoveJoint();
  virtual GPen* RemovePen();
  virtual GRasterOperation* RemoveRasterOperation();

  // Each Get answers the child under its kind's key, still the bundle's;
  // null when there is none.
  virtual GBrush* GetBrush();
  virtual GCap* GetCap();
  virtual GClip* GetClip();
  virtual GFillMode* GetFillMode();
  virtual GJoint* GetJoint();
  virtual GPen* GetPen();
  virtual GRasterOperation* GetRasterOperation();

  RWCollectable* NewInstance() const override { return new GGraphicBundle; }
  RWCollectable* Clone() const override { return new GGraphicBundle(*this); }
  RWClassID ClassID() const override { return kGGraphicBundleClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGGraphicBundleClassID || GState::IsKindOf(id); }
  // Of the state family: a bundle that a graphic carries merges attribute
  // by attribute into a stage's graphic state, rather than nesting in it
  // as one child whose attributes are sent only while they are new.
  RWClassID BaseTypeId() const override { return kGStateClassID; }

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  void Set(GAttribute* attribute, int32_t key);
  // The direct child under the key when it is a T: a child of another
  // class under a kind's key (only a stored bundle can hold one) is neither
  // answered nor removed.
  template <typename T>
  T* Get(int32_t key);
  template <typename T>
  T* Remove(int32_t key);
};
