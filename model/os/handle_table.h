#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "model/os/driver_interface.h"

// A table from 32-bit handles to the driver objects it owns: 64 buckets,
// each a singly linked list, a handle's bucket being the handle modulo 64.
// Handles are never 0 and unique within the table. The table takes no lock
// and never allocates while it is changed: an entry is made beforehand
// (NewEntry), so that the caller can make it outside its lock.
class GHandleTable {
 public:
  static constexpr uint32_t kBucketCount = 64;

  struct Entry {
    std::unique_ptr<Entry> next;
    uint32_t handle = 0;
    std::unique_ptr<GDriverInterface> object;
  };

  GHandleTable() = default;
  GHandleTable(const GHandleTable&) = delete;
  GHandleTable& operator=(const GHandleTable&) = delete;
  ~GHandleTable();

  static std::unique_ptr<Entry> NewEntry(std::unique_ptr<GDriverInterface> object);

  // Files the entry under the first handle from the candidate on that is not
  // taken (a candidate of 0 counts as 1, and the search goes on at 1 after
  // 0xFFFFFFFF); answers that handle.
  uint32_t Insert(std::unique_ptr<Entry> entry, uint32_t candidate);
  // The object under the handle, or null.
  GDriverInterface* Find(uint32_t handle) const;
  // Takes the object under the handle out of the table; null when the
  // handle is not registered.
  std::unique_ptr<GDriverInterface> Remove(uint32_t handle);
  // The handle of the object, searched in bucket order; false when absent.
  bool FindHandleOf(const GDriverInterface* object, uint32_t& handle) const;
  // Calls visit with each object in bucket order, each bucket in list order,
  // until it answers non-zero; answers that answer, or 0.
  template <typename Visit>
  int32_t VisitUntil(Visit visit) const {
    for (const std::unique_ptr<Entry>& head : buckets_) {
      for (const Entry* entry = head.get(); entry != nullptr; entry = entry->next.get()) {
        if (const int32_t answer = visit(*entry->object)) return answer;
      }
    }
    return 0;
  }
  // Takes every entry out, from the last bucket to the first; the table is
  // then empty and the caller owns the entries, chained through next.
  std::unique_ptr<Entry> TakeAll();

  uint32_t Count() const { return count_; }

 private:
  std::array<std::unique_ptr<Entry>, kBucketCount> buckets_;
  uint32_t count_ = 0;
};

// The first handle tried for an object: its address as a 32-bit number,
// folded as value XOR (value >> 16).
uint32_t HashHandle(uint32_t value);
