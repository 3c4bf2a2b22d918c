#pragma once

#include <cstdint>
#include <vector>

#include "graphics/point.h"

// The points of a shape: either borrowed from the caller, who keeps them
// alive while the shape reads them, or a copy that the array owns. The
// points read start at the access position, which lies past the start of
// the storage when leading points were skipped.
//
// Copying keeps the kind: a copy of an owning array owns its own copy of
// the points; a copy of a borrowing array borrows the same points. An
// array without points counts as owning.
class GPointArray {
 public:
  GPointArray() = default;
  // Borrows count points at points.
  GPointArray(const GPoint* points, uint32_t count);
  // Owns the points.
  explicit GPointArray(std::vector<GPoint> points);
  GPointArray(const GPointArray& other);
  GPointArray& operator=(const GPointArray& other);

  bool IsOwned() const { return borrowed_ == nullptr; }
  // Where the points are kept, and where reading starts.
  const GPoint* Storage() const { return IsOwned() ? owned_.data() : borrowed_; }
  const GPoint* Points() const { return Count() == 0 ? nullptr : Storage() + skipped_; }
  uint32_t Count() const { return count_; }
  // The point at the index among those read; null past the last.
  const GPoint* At(uint32_t index) const { return index < count_ ? Points() + index : nullptr; }
  // Whether both arrays read the same points of the same storage.
  bool SharesPoints(const GPointArray& other) const { return Count() > 0 && Points() == other.Points(); }

  // Moves the access position past the first point.
  void SkipFirst();
  // Replaces borrowed points by a copy that the array owns; without memory
  // for the copy the array keeps borrowing.
  void OwnData();

 private:
  std::vector<GPoint> owned_;
  const GPoint* borrowed_ = nullptr;
  uint32_t skipped_ = 0;
  uint32_t count_ = 0;
};
