#pragma once

#include <cstdint>
#include <memory>

#include "model/os/lock.h"

// The lock of the OS factories: a semaphore whose initial and maximum count
// are 1. Unlike a mutex it belongs to no thread, so one thread may take it and
// another release it; releasing it while it is free fails, as releasing a
// semaphore beyond its maximum does.
class GSemaphoreLock : public GLock {
 public:
  GSemaphoreLock();
  ~GSemaphoreLock() override;

  // 0, or kUnlockFailed when the semaphore was not taken.
  int32_t Unlock() override;
  // 0, or -1 when the wait fails.
  int32_t Lock() override;

 private:
  struct Semaphore;
  std::unique_ptr<Semaphore> semaphore_;
};
