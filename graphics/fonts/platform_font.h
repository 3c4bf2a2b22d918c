#pragma once

#include <cstdint>
#include <span>

#include "model/objects/persistent_object.h"

// The rendering host's object that answers a font's width and metric
// queries, made by the OS factory once per font body (its font companion)
// and stored with the body as an object reference. Every query takes the
// body's context, the host's handle of the font.
class GPlatformFont : public MPersistentObject {
 public:
  // The widths of the codes first to last into widths (one per code, in
  // order); false when the host cannot answer for the whole range.
  virtual bool GetRangeWidths(uintptr_t context, uint16_t first, uint16_t last, std::span<int16_t> widths) = 0;
  // The width of one code; false when the font has none for it.
  virtual bool GetCodeWidth(uintptr_t context, uint16_t code, int16_t& width) = 0;
  // Two further metric queries, given the size the body derives from its
  // description and two values of the caller's.
  virtual int32_t QueryA(uintptr_t context, int16_t size, int32_t a, int32_t b) = 0;
  virtual int32_t QueryB(uintptr_t context, int16_t size, int32_t a, int32_t b) = 0;
};
