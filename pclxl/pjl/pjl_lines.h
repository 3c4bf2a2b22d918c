#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

// The pieces every line of a PJL job header is made of.
struct GDateTime;

namespace pjl {

// The universal exit language sequence, which leaves any printer language.
inline constexpr std::string_view kUEL = "\x1B%-12345X";
inline constexpr std::string_view kLineEnd = "\r\n";

// A value of a table that maps setting values to PJL words.
struct ValueWord {
  int16_t value;
  const char* word;
};
// The word of the value, null when the table lacks it.
const char* WordFor(std::initializer_list<ValueWord> table, int16_t value);

// The text in double quotes.
std::string Quoted(std::string_view text);
// "@PJL " command, then the line end.
void AppendCommand(std::string& header, std::string_view command);
// "@PJL SET " item, then the line end.
void AppendSet(std::string& header, std::string_view item);
// The SET line of name=value, nothing when value is null.
void AppendSet(std::string& header, std::string_view name, const char* value);
// "@PJL COMMENT " and the quoted text.
void AppendComment(std::string& header, std::string_view text);
// A number in decimal, or in hexadecimal (lower case) with at least two
// digits.
std::string Decimal(int32_t value);
std::string Hex2(uint32_t value);
// The number with at least width digits, zeros in front.
std::string ZeroPadded(uint32_t value, int width);
// The time as 14 digits: year, month, day, hour, minute, second.
std::string TimeDigits(const GDateTime& time);

}  // namespace pjl
