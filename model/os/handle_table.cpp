#include "model/os/handle_table.h"

#include <utility>

GHandleTable::~GHandleTable() {
  // Long bucket lists are unlinked one entry at a time, not by recursion.
  std::unique_ptr<Entry> entries = TakeAll();
  while (entries) entries = std::move(entries->next);
}

std::unique_ptr<GHandleTable::Entry> GHandleTable::NewEntry(std::unique_ptr<GDriverInterface> object) {
  auto entry = std::make_unique<Entry>();
  entry->object = std::move(object);
  return entry;
}

uint32_t GHandleTable::Insert(std::unique_ptr<Entry> entry, uint32_t candidate) {
  uint32_t handle = candidate == 0 ? 1 : candidate;
  while (Find(handle) != nullptr) {
    if (++handle == 0) handle = 1;
  }
  entry->handle = handle;
  std::unique_ptr<Entry>& head = buckets_[handle % kBucketCount];
  entry->next = std::move(head);
  head = std::move(entry);
  ++count_;
  return handle;
}

GDriverInterface* GHandleTable::Find(uint32_t handle) const {
  for (const Entry* entry = buckets_[handle % kBucketCount].get(); entry != nullptr; entry = entry->next.get()) {
    if (entry->handle == handle) return entry->object.get();
  }
  return nullptr;
}

std::unique_ptr<GDriverInterface> GHandleTable::Remove(uint32_t handle) {
  for (std::unique_ptr<Entry>* link = &buckets_[handle % kBucketCount]; *link; link = &(*link)->next) {
    if ((*link)->handle != handle) continue;
    std::unique_ptr<Entry> entry = std::move(*link);
    *link = std::move(entry->next);
    --count_;
    return std::move(entry->object);
  }
  return nullptr;
}

bool GHandleTable::FindHandleOf(const GDriverInterface* object, uint32_t& handle) const {
  for (const std::unique_ptr<Entry>& head : buckets_) {
    for (const Entry* entry = head.get(); entry != nullptr; entry = entry->next.get()) {
      if (entry->object.get() != object) continue;
      handle = entry->handle;
      return true;
    }
  }
  return false;
}

std::unique_ptr<GHandleTable::Entry> GHandleTable::TakeAll() {
  std::unique_ptr<Entry> all;
  std::unique_ptr<Entry>* tail = &all;
  for (uint32_t bucket = kBucketCount; bucket-- > 0;) {
    *tail = std::move(buckets_[bucket]);
    while (*tail) tail = &(*tail)->next;
  }
  count_ = 0;
  return all;
}

uint32_t HashHandle(uint32_t value) { return value ^ (value >> 16); }
