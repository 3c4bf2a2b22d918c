#pragma once

#include <cstdint>

#include "pclxl/borzan/borzan.h"

// The PCL XL generator with the pattern-paint operations answering 0 and
// writing nothing, for tests that need none.
// It stores nothing beyond the generator's part.
class TestBorzan : public GBorzan {
 public:
  static constexpr RWClassID kID = 0x7EB8;
  static constexpr const char* kName = "TestBorzan";

  TestBorzan() = default;
  TestBorzan(GState* initialState, GConfiguration* configuration)
      : GBorzan(RWCString("PCLXL"), initialState, configuration, 101, 64, 6, 2) {}
  TestBorzan(const TestBorzan& other) = default;
  TestBorzan& operator=(const TestBorzan& other) = default;

  RWCollectable* NewInstance() const override { return new TestBorzan; }
  RWCollectable* Clone() const override { return new TestBorzan(*this); }
  RWClassID ClassID() const override { return kID; }
  bool IsKindOf(RWClassID id) const override { return id == kID || GBorzan::IsKindOf(id); }

  uint16_t SetPenPaint(GPaint&) override { return 0; }
  uint16_t SetBrushPaint(GPaint&) override { return 0; }
};
