#pragma once

#include <cstdint>
#include <memory>

// A fixed-length vector of pointers, reshaped only on request; the bucket
// array of the hash tables.
class GPointerVector {
 public:
  explicit GPointerVector(uint32_t n = 0, void* fill = nullptr);
  GPointerVector(const GPointerVector& other);
  GPointerVector& operator=(const GPointerVector& other);

  uint32_t Count() const { return count_; }
  void* const* Data() const { return items_.get(); }
  void*& operator[](uint32_t i) { return items_[i]; }
  void* operator[](uint32_t i) const { return items_[i]; }

  void Fill(void* value);
  // Changes the length, keeping the first min(old, n) entries; entries past
  // the old length are null.
  void Reshape(uint32_t n);
  // The same as Reshape: new entries are null either way, so that no entry
  // ever holds a stray address.
  void Resize(uint32_t n);
  // True when i < Count(); raises the bounds error otherwise.
  bool CheckIndex(uint32_t i) const;

 private:
  uint32_t count_;
  std::unique_ptr<void*[]> items_;
};
