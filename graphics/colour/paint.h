#pragma once

#include <cstdint>

#include "model/objects/persistent_object.h"

class GBitmap;
class GColorPaint;
class GPaint;

// What a paint applies itself to: the page-description generators, which
// turn each kind of paint into their own pen and brush sources. A paint
// calls the one operation for its kind (double dispatch), so the generators
// need no class test. The generators stand above this library and derive
// from this interface; each operation answers a 16-bit status, 0 for
// success.
class GPaintTarget {
 public:
  virtual uint16_t SetPenColor(GColorPaint& paint) = 0;
  virtual uint16_t SetBrushColor(GColorPaint& paint) = 0;
  // A paint that draws with a bitmap (see GPaint's pattern queries).
  virtual uint16_t SetPenPaint(GPaint& paint) = 0;
  virtual uint16_t SetBrushPaint(GPaint& paint) = 0;

 protected:
  GPaintTarget() = default;
  GPaintTarget(const GPaintTarget&) = default;
  GPaintTarget& operator=(const GPaintTarget&) = default;
  ~GPaintTarget() = default;
};

// What pens and brushes paint with. Equality is the root's (keys).
//
// Stored part after the root's: version 1.
class GPaint : public MPersistentObject {
 public:
  bool IsKindOf(RWClassID id) const override { return id == kGPaintClassID || MPersistentObject::IsKindOf(id); }

  // Hands this paint to the target's pen or brush operation for its kind
  // and answers that operation's status.
  virtual uint16_t ApplyAsPen(GPaintTarget& target) = 0;
  virtual uint16_t ApplyAsBrush(GPaintTarget& target) = 0;

  // What a paint that draws with a bitmap tells the generators: the bitmap
  // (none for a solid paint), whether the pattern is to be sized for the
  // device's resolution, and whether it covers what lies beneath. The
  // system builds only solid paints; a paint kind that brings a bitmap
  // answers all three.
  virtual const GBitmap* GetPatternBitmap() const { return nullptr; }
  virtual bool IsDeviceResolution() const { return false; }
  virtual bool IsOpaque() const { return true; }

 protected:
  GPaint() = default;
  GPaint(const GPaint& other) = default;
  GPaint& operator=(const GPaint& other) = default;

  void Fields(GFieldArchive& archive) override;
};

// Whether two paint slots hold the same: both empty, or paints of equal
// content. Pens and brushes compare their paints so.
bool SamePaint(const GPaint* left, const GPaint* right);
