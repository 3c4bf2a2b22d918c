#pragma once

#include <cstdint>

// How much of the printer's memory the fonts a generator downloads may
// take. Every block of font data sent consumes its bytes, every font removed
// from the printer releases them; the generators remove fonts when a
// download would not fit. Running out is not an error: consuming clamps the
// usage at the limit and answers that nothing is left. The arithmetic never
// wraps: a usage above the limit counts as nothing left.
//
// The tracking value is a job setting that the generators read back in
// their download estimates.
class GPrinterMemoryBudget {
 public:
  static constexpr uint32_t kDefaultLimit = 1048576;

  // A new limit; nothing used.
  void SetLimit(uint32_t limit);
  // Nothing used; answers the limit.
  uint32_t ResetUsage();
  // Takes bytes when they fit, else everything; answers what is left.
  uint32_t Consume(uint32_t bytes);
  // Gives back bytes, at most what is used; answers what is left.
  uint32_t Release(uint32_t bytes);
  // The bytes left, 0 when the usage exceeds the limit.
  uint32_t Remaining() const;

  void SetTracking(int16_t value) { tracking_ = value; }
  int16_t IsTracking() const { return tracking_; }

  uint32_t Used() const { return used_; }
  uint32_t Limit() const { return limit_; }

 private:
  uint32_t used_ = 0;
  uint32_t limit_ = kDefaultLimit;
  int16_t tracking_ = 1;
};
