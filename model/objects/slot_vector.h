#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>

#include "foundation/error.h"
#include "foundation/message.h"

// A growable array of element slots with a count of the slots in use: the
// shape of a composite's child vector and of a list of texts. Every slot
// holds an element; those past the count are empty. An insertion into a
// full vector adds kGrowth slots, removals never shrink it.
//
// Elements match by SameElement(a, b), which each element type defines:
// pointee identity for counted pointers, equal bytes for texts.
template <typename Element>
class GSlotVector {
 public:
  static constexpr uint32_t kGrowth = 64;

  explicit GSlotVector(uint32_t capacity) : slots_(std::make_unique<Element[]>(capacity)), capacity_(capacity) {}
  // The source's capacity, holding copies of its elements.
  GSlotVector(const GSlotVector& other) : GSlotVector(other.capacity_) { CopyFrom(other); }
  GSlotVector& operator=(const GSlotVector& other) {
    if (this != &other) {
      GSlotVector copy(other);
      std::swap(slots_, copy.slots_);
      std::swap(capacity_, copy.capacity_);
      std::swap(count_, copy.count_);
    }
    return *this;
  }
  virtual ~GSlotVector() = default;

  // Index of the first matching element, -1 when none.
  virtual int32_t IndexOf(const Element& element) const {
    const Element* found = std::find_if(begin(), end(), [&](const Element& e) { return SameElement(e, element); });
    return found == end() ? -1 : static_cast<int32_t>(found - begin());
  }
  virtual void Append(const Element& element) { InsertAt(count_, element); }
  virtual uint32_t CountOf(const Element& element) const {
    return static_cast<uint32_t>(
        std::count_if(begin(), end(), [&](const Element& e) { return SameElement(e, element); }));
  }
  // Removes the first matching element; false when there is none.
  virtual bool Remove(const Element& element) {
    const int32_t index = IndexOf(element);
    if (index < 0) return false;
    RemoveAt(static_cast<uint32_t>(index));
    return true;
  }
  // Removes every matching element, keeping the others in order; answers
  // how many went.
  virtual uint32_t RemoveAll(const Element& element) {
    // The element may be one of the slots: match against a copy.
    const Element match(element);
    Element* kept = std::remove_if(begin(), end(), [&](const Element& e) { return SameElement(e, match); });
    const auto removed = static_cast<uint32_t>(end() - kept);
    std::fill(kept, end(), Element());
    count_ -= removed;
    return removed;
  }

  uint32_t Count() const { return count_; }
  uint32_t Capacity() const { return capacity_; }
  bool IsEmpty() const { return count_ == 0; }

  // Reallocates to n slots, keeping the first min(count, n) elements.
  void Resize(uint32_t n) {
    if (n == capacity_) return;
    auto fresh = std::make_unique<Element[]>(n);
    count_ = std::min(count_, n);
    std::move(begin(), end(), fresh.get());
    slots_ = std::move(fresh);
    capacity_ = n;
  }

  // Stores the element at index (0 .. count), the later ones moving up.
  void InsertAt(uint32_t index, const Element& element) {
    if (index > count_ && !CheckIndex(index)) return;
    if (count_ == capacity_) Resize(count_ + kGrowth);
    std::move_backward(slots_.get() + index, end(), end() + 1);
    slots_[index] = element;
    ++count_;
  }

  // Takes the element out, the later ones moving down; an empty element
  // after a failed index check.
  Element RemoveAt(uint32_t index) {
    if (!CheckIndex(index)) return Element();
    Element removed(std::move(slots_[index]));
    std::move(slots_.get() + index + 1, end(), slots_.get() + index);
    slots_[--count_] = Element();
    return removed;
  }

  // Replaces the element at index.
  void Set(uint32_t index, const Element& element) {
    if (CheckIndex(index)) slots_[index] = element;
  }

  // Empties the vector and gives it the given capacity.
  void Clear(uint32_t capacity) {
    std::fill(begin(), end(), Element());
    count_ = 0;
    Resize(capacity);
  }

  // Raises the bounds error "[INDEXERR] ..." unless index < count; an index
  // of -1 is reported as 4294967295 like any other.
  bool CheckIndex(uint32_t index) const {
    if (index < count_) return true;
    RaiseBoundsError(GBoundsError(GMessage(MsgIndexErr(), index, count_)));
    return false;
  }

  // The element at index; an empty element after a failed index check.
  const Element& At(uint32_t index) const {
    static const Element empty{};
    return CheckIndex(index) ? slots_[index] : empty;
  }
  const Element& operator[](uint32_t index) const { return At(index); }

  Element* begin() { return slots_.get(); }
  Element* end() { return slots_.get() + count_; }
  const Element* begin() const { return slots_.get(); }
  const Element* end() const { return slots_.get() + count_; }

 private:
  void CopyFrom(const GSlotVector& other) {
    std::copy(other.begin(), other.end(), slots_.get());
    count_ = other.count_;
  }

  std::unique_ptr<Element[]> slots_;
  uint32_t capacity_;
  uint32_t count_ = 0;
};
