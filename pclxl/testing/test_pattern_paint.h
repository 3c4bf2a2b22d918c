#pragma once

#include <cstdint>
#include <utility>

#include "graphics/bitmaps/bitmap.h"
#include "graphics/colour/paint.h"

// A paint that draws with a bitmap, as a paint kind from outside the system
// would bring one: it answers the pattern queries with what it was made
// with and hands itself to the target's pattern-paint operations. Its
// stored part is the paint's alone (the bitmap is not stored).
class TestPatternPaint : public GPaint {
 public:
  static constexpr RWClassID kID = 0x7EC0;

  TestPatternPaint() = default;
  TestPatternPaint(GBitmap bitmap, bool deviceResolution, bool opaque)
      : bitmap_(std::move(bitmap)), deviceResolution_(deviceResolution), opaque_(opaque) {}

  RWCollectable* NewInstance() const override { return new TestPatternPaint; }
  RWCollectable* Clone() const override { return new TestPatternPaint(*this); }
  RWClassID ClassID() const override { return kID; }
  bool IsKindOf(RWClassID id) const override { return id == kID || GPaint::IsKindOf(id); }

  uint16_t ApplyAsPen(GPaintTarget& target) override { return target.SetPenPaint(*this); }
  uint16_t ApplyAsBrush(GPaintTarget& target) override { return target.SetBrushPaint(*this); }

  const GBitmap* GetPatternBitmap() const override { return &bitmap_; }
  bool IsDeviceResolution() const override { return deviceResolution_; }
  bool IsOpaque() const override { return opaque_; }

 private:
  GBitmap bitmap_;
  bool deviceResolution_ = false;
  bool opaque_ = true;
};
