#pragma once

#include <cstdint>

// A local date and time as the OS factory answers it.
struct GDateTime {
  uint16_t year = 0;   // four digits
  uint16_t month = 0;  // 1 to 12
  uint16_t day = 0;
  uint16_t hour = 0;
  uint16_t minute = 0;
  uint16_t second = 0;
  uint16_t milliseconds = 0;  // always 0
  uint16_t dayOfWeek = 0;     // 0 = Sunday

  bool operator==(const GDateTime& other) const = default;
};

// The time moved by a number of minutes: the hour and minute carry into
// each other, and each day that the hour runs outside 0 to 23 moves the date
// one day back or forward across month and year ends (leap years counted).
// The day of the week is left as it was.
GDateTime ShiftDateTime(const GDateTime& time, int16_t minutes);
