#include "model/os/date_time.h"

namespace {

bool IsLeapYear(int32_t year) { return year % 4 == 0 && (year % 400 == 0 || year % 100 != 0); }

int32_t DaysInMonth(int32_t year, int32_t month) {
  static constexpr int32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month == 2 && IsLeapYear(year)) return 29;
  return month >= 1 && month <= 12 ? kDays[month - 1] : 31;
}

void DayBack(GDateTime& time) {
  if (time.day > 1) {
    --time.day;
    return;
  }
  if (time.month > 1) {
    --time.month;
  } else {
    time.month = 12;
    --time.year;
  }
  time.day = static_cast<uint16_t>(DaysInMonth(time.year, time.month));
}

void DayForward(GDateTime& time) {
  if (time.day < DaysInMonth(time.year, time.month)) {
    ++time.day;
    return;
  }
  time.day = 1;
  if (time.month < 12) {
    ++time.month;
  } else {
    time.month = 1;
    ++time.year;
  }
}

}  // namespace

GDateTime ShiftDateTime(const GDateTime& time, int16_t minutes) {
  GDateTime shifted = time;
  int32_t hour = time.hour + minutes / 60;
  int32_t minute = time.minute + minutes % 60;
  if (minute < 0) {
    minute += 60;
    --hour;
  } else if (minute >= 60) {
    minute -= 60;
    ++hour;
  }
  for (; hour < 0; hour += 24) DayBack(shifted);
  for (; hour >= 24; hour -= 24) DayForward(shifted);
  shifted.hour = static_cast<uint16_t>(hour);
  shifted.minute = static_cast<uint16_t>(minute);
  return shifted;
}
