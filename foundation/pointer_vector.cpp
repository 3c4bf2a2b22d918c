#include "foundation/pointer_vector.h"

#include <algorithm>

#include "foundation/error.h"

namespace {

// Entries are value-initialised: a new entry never holds a stray address.
std::unique_ptr<void* []> NewEntries(uint32_t n) { return n == 0 ? nullptr : std::make_unique<void*[]>(n); }

}  // namespace

GPointerVector::GPointerVector(uint32_t n, void* fill) : count_(n), items_(NewEntries(n)) { Fill(fill); }

GPointerVector::GPointerVector(const GPointerVector& other) : count_(other.count_), items_(NewEntries(other.count_)) {
  std::copy_n(other.items_.get(), count_, items_.get());
}

GPointerVector& GPointerVector::operator=(const GPointerVector& other) {
  if (this != &other) {
    items_ = NewEntries(other.count_);
    count_ = other.count_;
    std::copy_n(other.items_.get(), count_, items_.get());
  }
  return *this;
}

void GPointerVector::Fill(void* value) { std::fill_n(items_.get(), count_, value); }

void GPointerVector::Reshape(uint32_t n) {
  if (n == count_) return;
  auto items = NewEntries(n);
  std::copy_n(items_.get(), std::min(count_, n), items.get());
  items_ = std::move(items);
  count_ = n;
}

void GPointerVector::Resize(uint32_t n) { Reshape(n); }

bool GPointerVector::CheckIndex(uint32_t i) const { return ::CheckIndex(i, count_); }
