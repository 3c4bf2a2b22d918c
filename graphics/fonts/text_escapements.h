#pragma once

#include <cstdint>

#include "graphics/fonts/code_block.h"
#include "model/objects/persistent_object.h"

class GFloatValue;

// The advance of every glyph of a text run, in x and in y (signed 16-bit
// device units). Either array may be absent: every advance in that
// direction is then 0.
//
// Stored part after the root's: version 1; the count (16-bit); the
// x-present flag (32-bit) and, when 1, count 16-bit x advances; the
// y-present flag and, when 1, count 16-bit y advances.
class GTextEscapements : public MPersistentObject {
 public:
  // No arrays, count 0.
  GTextEscapements() = default;
  // Takes over both arrays as they are (an empty one is absent).
  GTextEscapements(GCodeBlock<int16_t> x, GCodeBlock<int16_t> y, uint16_t count);
  // Advances along a baseline turned by the angle (degrees, counter-clockwise
  // with y growing downwards): the right angles move the advances to the
  // other axis or negate them exactly; any other angle places each glyph
  // from the rounded running sum of the advances, so that the rounding
  // error does not build up along the run.
  GTextEscapements(const GFloatValue& angle, GCodeBlock<int16_t> advances);
  // Owns copies of both arrays.
  GTextEscapements(const GTextEscapements& other) = default;

  uint16_t GetCount() const { return count_; }
  // The advance at an index below the count; 0 without that array.
  int16_t GetXAdvance(uint16_t index) const { return x_.At(index); }
  int16_t GetYAdvance(uint16_t index) const { return y_.At(index); }
  // The arrays, null when absent.
  const int16_t* GetXAdvances() const { return x_.Data(); }
  const int16_t* GetYAdvances() const { return y_.Data(); }
  // Stores one advance; a non-zero value on a run without that array makes
  // an array of zeros first.
  void SetXAdvance(uint16_t index, int16_t value) { SetAdvance(x_, index, value); }
  void SetYAdvance(uint16_t index, int16_t value) { SetAdvance(y_, index, value); }

  RWCollectable* NewInstance() const override { return new GTextEscapements; }
  RWCollectable* Clone() const override { return new GTextEscapements(*this); }
  RWClassID ClassID() const override { return kGTextEscapementsClassID; }
  bool IsKindOf(RWClassID id) const override {
    return id == kGTextEscapementsClassID || MPersistentObject::IsKindOf(id);
  }
  // The same class and key, equal counts and, in each direction, both
  // arrays absent or both present with equal values.
  bool SameContent(const MPersistentObject& other) const override;

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  void SetAdvance(GCodeBlock<int16_t>& advances, uint16_t index, int16_t value);
  // The present flag and, when set, the count's advances.
  bool AdvanceFields(GFieldArchive& archive, GCodeBlock<int16_t>& advances);

  GCodeBlock<int16_t> x_;
  GCodeBlock<int16_t> y_;
  uint16_t count_ = 0;
};
