#include "graphics/display/point_array.h"

#include <new>
#include <utility>

GPointArray::GPointArray(const GPoint* points, uint32_t count) {
  if (points == nullptr || count == 0) return;
  borrowed_ = points;
  count_ = count;
}

GPointArray::GPointArray(std::vector<GPoint> points)
    : owned_(std::move(points)), count_(static_cast<uint32_t>(owned_.size())) {}

// Only the points read are copied, so the copy starts at its storage.
GPointArray::GPointArray(const GPointArray& other) : borrowed_(other.borrowed_), count_(other.count_) {
  if (other.IsOwned()) {
    owned_.assign(other.Points(), other.Points() + other.count_);
  } else {
    skipped_ = other.skipped_;
  }
}

GPointArray& GPointArray::operator=(const GPointArray& other) {
  if (this != &other) {
    GPointArray copy(other);
    std::swap(owned_, copy.owned_);
    borrowed_ = copy.borrowed_;
    skipped_ = copy.skipped_;
    count_ = copy.count_;
  }
  return *this;
}

void GPointArray::SkipFirst() {
  if (count_ == 0) return;
  ++skipped_;
  --count_;
}

void GPointArray::OwnData() {
  if (IsOwned()) return;
  try {
    owned_.assign(Points(), Points() + count_);
  } catch (const std::bad_alloc&) {
    return;
  }
  borrowed_ = nullptr;
  skipped_ = 0;
}
