#include <windows.h>

#include "model/os/semaphore_lock.h"

struct GSemaphoreLock::Semaphore {
  HANDLE handle = CreateSemaphoreW(nullptr, 1, 1, nullptr);
  ~Semaphore() {
    if (handle != nullptr) CloseHandle(handle);
  }
};

GSemaphoreLock::GSemaphoreLock() : semaphore_(std::make_unique<Semaphore>()) {}

GSemaphoreLock::~GSemaphoreLock() = default;

int32_t GSemaphoreLock::Unlock() { return ReleaseSemaphore(semaphore_->handle, 1, nullptr) ? 0 : kUnlockFailed; }

int32_t GSemaphoreLock::Lock() { return WaitForSingleObject(semaphore_->handle, INFINITE) == WAIT_OBJECT_0 ? 0 : -1; }
