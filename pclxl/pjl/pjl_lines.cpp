#include "pclxl/pjl/pjl_lines.h"

#include <cstdio>

#include "model/os/date_time.h"

namespace pjl {

const char* WordFor(std::initializer_list<ValueWord> table, int16_t value) {
  for (const ValueWord& entry : table) {
    if (entry.value == value) return entry.word;
  }
  return nullptr;
}

std::string Quoted(std::string_view text) {
  std::string quoted;
  quoted.reserve(text.size() + 2);
  quoted += '"';
  quoted += text;
  quoted += '"';
  return quoted;
}

void AppendCommand(std::string& header, std::string_view command) {
  header += "@PJL ";
  header += command;
  header += kLineEnd;
}

void AppendSet(std::string& header, std::string_view item) {
  header += "@PJL SET ";
  header += item;
  header += kLineEnd;
}

void AppendSet(std::string& header, std::string_view name, const char* value) {
  if (value == nullptr) return;
  AppendSet(header, std::string(name) + "=" + value);
}

void AppendComment(std::string& header, std::string_view text) { AppendCommand(header, "COMMENT " + Quoted(text)); }

std::string Decimal(int32_t value) { return std::to_string(value); }

std::string Hex2(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%02x", static_cast<unsigned>(value));
  return text;
}

std::string ZeroPadded(uint32_t value, int width) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*u", width, static_cast<unsigned>(value));
  return text;
}

std::string TimeDigits(const GDateTime& time) {
  return ZeroPadded(time.year, 4) + ZeroPadded(time.month, 2) + ZeroPadded(time.day, 2) + ZeroPadded(time.hour, 2) +
         ZeroPadded(time.minute, 2) + ZeroPadded(time.second, 2);
}

}  // namespace pjl
