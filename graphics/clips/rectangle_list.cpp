#include "graphics/clips/rectangle_list.h"

#include <algorithm>

uint32_t GRectangleList::IndexOf(const GRectangle& rectangle) const {
  const auto found = std::find(entries_.begin(), entries_.end(), rectangle);
  return found == entries_.end() ? kNotFound : static_cast<uint32_t>(found - entries_.begin());
}

void GRectangleList::Add(const GRectangle& rectangle) {
  if (Count() >= capacity_) capacity_ += kGrowth;
  entries_.push_back(rectangle);
}

uint32_t GRectangleList::Occurrences(const GRectangle& rectangle) const {
  return static_cast<uint32_t>(std::count(entries_.begin(), entries_.end(), rectangle));
}

int32_t GRectangleList::Remove(const GRectangle& rectangle) {
  const uint32_t index = IndexOf(rectangle);
  if (index == kNotFound) return 0;
  entries_.erase(entries_.begin() + index);
  return 1;
}

uint32_t GRectangleList::RemoveAll(const GRectangle& rectangle) {
  return static_cast<uint32_t>(std::erase(entries_, rectangle));
}
