#pragma once

#include <cstdint>

// The state word that every virtual stream shares through a virtual base.
class GStreamStateAdapter {
 public:
  enum : uint32_t { kEof = 1, kFail = 2, kBad = 4 };

  virtual ~GStreamStateAdapter() = default;

  virtual bool IsEof() const { return (state_ & kEof) != 0; }
  virtual bool IsFail() const { return (state_ & kFail) != 0; }
  virtual bool IsBad() const { return (state_ & kBad) != 0; }
  virtual bool IsGood() const { return state_ == 0; }
  virtual uint32_t State() const { return state_; }
  virtual uint32_t SetState(uint32_t state) { return state_ = state; }

 private:
  uint32_t state_ = 0;
};
