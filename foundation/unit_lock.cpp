#include "foundation/unit_lock.h"

#include <new>

std::mutex& GUnitLock::Mutex() {
  std::call_once(ready_, [this] { new (storage_) std::mutex; });
  return *std::launder(reinterpret_cast<std::mutex*>(storage_));
}

namespace {

template <typename Count>
void Add(Count& counter, GUnitLock& lock) {
  std::lock_guard<GUnitLock> guard(lock);
  ++counter;
}

template <typename Count>
Count Release(Count& counter, GUnitLock& lock) {
  std::lock_guard<GUnitLock> guard(lock);
  return counter--;
}

template <typename Count>
Count Read(const Count& counter, GUnitLock& lock) {
  std::lock_guard<GUnitLock> guard(lock);
  return counter;
}

}  // namespace

void AddReference(uint32_t& counter, GUnitLock& lock) { Add(counter, lock); }
uint32_t ReleaseReference(uint32_t& counter, GUnitLock& lock) { return Release(counter, lock); }
void AddReference(int32_t& counter, GUnitLock& lock) { Add(counter, lock); }
int32_t ReleaseReference(int32_t& counter, GUnitLock& lock) { return Release(counter, lock); }
uint32_t ReadReference(const uint32_t& counter, GUnitLock& lock) { return Read(counter, lock); }
int32_t ReadReference(const int32_t& counter, GUnitLock& lock) { return Read(counter, lock); }
