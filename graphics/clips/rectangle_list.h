#pragma once

#include <cstdint>
#include <vector>

#include "graphics/rectangle.h"

// Rectangles in order, with a capacity that grows in steps of 64 entries
// (the capacity is part of a copy, as the list's owner sizes it up front).
// Two rectangles are equal when all four values are.
class GRectangleList {
 public:
  static constexpr uint32_t kNotFound = 0xFFFFFFFF;

  explicit GRectangleList(uint32_t capacity = 1) : capacity_(capacity) {}
  GRectangleList(const GRectangleList& other) = default;
  GRectangleList& operator=(const GRectangleList& other) = default;
  virtual ~GRectangleList() = default;

  // The index of the first rectangle equal to the given one; kNotFound
  // when none.
  virtual uint32_t IndexOf(const GRectangle& rectangle) const;
  // Appends; a full list grows by 64 entries first.
  virtual void Add(const GRectangle& rectangle);
  virtual uint32_t Occurrences(const GRectangle& rectangle) const;
  // Removes the first equal entry and answers 1; 0 when there is none.
  virtual int32_t Remove(const GRectangle& rectangle);
  // Removes every equal entry, keeping the others in order; answers how
  // many went.
  virtual uint32_t RemoveAll(const GRectangle& rectangle);

  uint32_t Capacity() const { return capacity_; }
  uint32_t Count() const { return static_cast<uint32_t>(entries_.size()); }
  const GRectangle& operator[](uint32_t index) const { return entries_[index]; }
  bool operator==(const GRectangleList& other) const { return entries_ == other.entries_; }
  void Clear() { entries_.clear(); }

 private:
  static constexpr uint32_t kGrowth = 64;

  uint32_t capacity_;
  std::vector<GRectangle> entries_;
};
