#pragma once

#include <algorithm>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "model/objects/field_archive.h"

// The elements of a text run (character codes or advances): either
// borrowed from the caller, who keeps them alive while the run reads them,
// or a block that the record owns. A record without elements holds nothing
// and owns nothing. Whatever changes elements first makes the record own
// them, so that borrowed elements are never written.
//
// A copy of a record always owns its own copy of the elements: a run that
// is copied must outlive the caller's buffer.
template <typename T>
class GCodeBlock {
  static_assert(std::is_same_v<T, uint8_t> || std::is_same_v<T, uint16_t> || std::is_same_v<T, int16_t>,
                "codes are 8- or 16-bit, advances signed 16-bit");

 public:
  GCodeBlock() = default;
  // Borrows count elements at data.
  GCodeBlock(const T* data, uint32_t count) {
    if (data == nullptr || count == 0) return;
    borrowed_ = data;
    count_ = count;
  }
  // Owns the elements.
  explicit GCodeBlock(std::vector<T> elements)
      : owned_(std::move(elements)), count_(static_cast<uint32_t>(owned_.size())) {}
  GCodeBlock(const GCodeBlock& other) : GCodeBlock(std::vector<T>(other.Data(), other.Data() + other.count_)) {}
  GCodeBlock& operator=(const GCodeBlock& other) {
    if (this != &other) *this = GCodeBlock(other);
    return *this;
  }
  GCodeBlock(GCodeBlock&& other) noexcept { *this = std::move(other); }
  GCodeBlock& operator=(GCodeBlock&& other) noexcept {
    owned_ = std::move(other.owned_);
    borrowed_ = other.borrowed_;
    count_ = other.count_;
    other.owned_.clear();
    other.borrowed_ = nullptr;
    other.count_ = 0;
    return *this;
  }

  bool IsEmpty() const { return count_ == 0; }
  bool IsOwned() const { return count_ != 0 && borrowed_ == nullptr; }
  uint32_t Count() const { return count_; }
  // The first element; null without elements.
  const T* Data() const {
    if (count_ == 0) return nullptr;
    return borrowed_ != nullptr ? borrowed_ : owned_.data();
  }
  // The element at the index; 0 past the last.
  T At(uint32_t index) const { return index < count_ ? Data()[index] : T{0}; }
  // The same elements: the same data, or equal counts and equal elements.
  bool SameElements(const GCodeBlock& other) const {
    return Data() == other.Data() || (count_ == other.count_ && std::equal(Data(), Data() + count_, other.Data()));
  }

  // Replaces borrowed elements by a copy that the record owns.
  void MakeOwned() {
    if (borrowed_ == nullptr) return;
    owned_.assign(borrowed_, borrowed_ + count_);
    borrowed_ = nullptr;
  }
  // The elements for changing, owned first; null without elements.
  T* MutableData() {
    MakeOwned();
    return count_ == 0 ? nullptr : owned_.data();
  }
  // Stores the value at the index, the elements owned first; an index past
  // the last changes nothing.
  void Set(uint32_t index, T value) {
    if (index < count_) MutableData()[index] = value;
  }

  // count elements, each in its stored width. Saving writes 0 for elements
  // past the record's own; restoring checks the count against the bytes
  // left, then reads an owned block of count elements (kept only when all
  // of them were read).
  bool Fields(GFieldArchive& archive, uint32_t count) {
    if (!archive.IsRestoring()) {
      for (uint32_t i = 0; i < count; ++i) {
        T value = At(i);
        if (!Element(archive, value)) return false;
      }
      return true;
    }
    if (!archive.Holds(count, sizeof(T))) return false;
    std::vector<T> elements(count);
    for (T& value : elements) {
      if (!Element(archive, value)) return false;
    }
    *this = GCodeBlock(std::move(elements));
    return true;
  }

 private:
  static bool Element(GFieldArchive& archive, T& value) {
    if constexpr (std::is_same_v<T, uint8_t>) {
      return archive.UInt8(value);
    } else if constexpr (std::is_same_v<T, uint16_t>) {
      return archive.UInt16(value);
    } else {
      return archive.Int16(value);
    }
  }

  std::vector<T> owned_;
  const T* borrowed_ = nullptr;
  uint32_t count_ = 0;
};
