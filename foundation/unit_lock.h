#pragma once

#include <cstdint>
#include <mutex>

// The lock of one source unit. Every reference count that the unit changes
// is changed through AddReference and ReleaseReference under it, so objects
// shared between threads keep exact counts. Each unit keeps one static
// instance.
//
// The instance is constant-initialised and sets its mutex up on first use:
// the Windows runtime cannot build a mutex at compile time, and static
// objects of other units may take the lock before this unit's own static
// constructors have run. For the same reason the mutex is never torn down;
// strings destroyed at exit still release through it.
class GUnitLock {
 public:
  constexpr GUnitLock() = default;
  GUnitLock(const GUnitLock&) = delete;
  GUnitLock& operator=(const GUnitLock&) = delete;

  // Lower-case so that std::lock_guard takes the lock.
  void lock() { Mutex().lock(); }
  void unlock() { Mutex().unlock(); }

 private:
  std::mutex& Mutex();

  std::once_flag ready_;
  alignas(std::mutex) unsigned char storage_[sizeof(std::mutex)] = {};
};

// Counts hold the number of owners minus one. AddReference adds an owner;
// ReleaseReference removes one and answers the count from before, so 0 tells
// the caller that it was the last owner and frees the object. Model objects
// start unowned at -1, hence the signed forms.
void AddReference(uint32_t& counter, GUnitLock& lock);
uint32_t ReleaseReference(uint32_t& counter, GUnitLock& lock);
void AddReference(int32_t& counter, GUnitLock& lock);
int32_t ReleaseReference(int32_t& counter, GUnitLock& lock);

// Reads a count that other threads change under the same lock. Taking the
// lock orders the read after their last change, so an owner that sees itself
// alone may write to the object that others have just let go of.
uint32_t ReadReference(const uint32_t& counter, GUnitLock& lock);
int32_t ReadReference(const int32_t& counter, GUnitLock& lock);
