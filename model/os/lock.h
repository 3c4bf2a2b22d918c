#pragma once

#include <cstdint>

// A lock that the OS factory hands out. It serialises threads between Lock
// and Unlock; its owner decides what it guards. Users treat a failed Lock as
// fatal error 301 and a failed Unlock as fatal error 302.
class GLock {
 public:
  static constexpr int32_t kUnlockFailed = -2;

  GLock() = default;
  GLock(const GLock&) = delete;
  GLock& operator=(const GLock&) = delete;
  virtual ~GLock() = default;

  // 0 on success, kUnlockFailed on failure; any other value is no failure.
  virtual int32_t Unlock() = 0;
  // Waits without a time limit; 0 on success, any other value on failure.
  virtual int32_t Lock() = 0;
};
