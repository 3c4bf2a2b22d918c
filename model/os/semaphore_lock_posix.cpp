#include <condition_variable>
#include <mutex>

#include "model/os/semaphore_lock.h"

struct GSemaphoreLock::Semaphore {
  std::mutex mutex;
  std::condition_variable released;
  bool free = true;
};

GSemaphoreLock::GSemaphoreLock() : semaphore_(std::make_unique<Semaphore>()) {}

GSemaphoreLock::~GSemaphoreLock() = default;

int32_t GSemaphoreLock::Unlock() {
  {
    std::lock_guard guard(semaphore_->mutex);
    if (semaphore_->free) return kUnlockFailed;
    semaphore_->free = true;
  }
  semaphore_->released.notify_one();
  return 0;
}

int32_t GSemaphoreLock::Lock() {
  std::unique_lock guard(semaphore_->mutex);
  semaphore_->released.wait(guard, [this] { return semaphore_->free; });
  semaphore_->free = false;
  return 0;
}
