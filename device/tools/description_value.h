#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

// One value of a device description's property: a number, a pair of
// numbers written "WIDTHxHEIGHT", or a text in double quotes.
using DescriptionPair = std::pair<int64_t, int64_t>;
using DescriptionValue = std::variant<int64_t, DescriptionPair, std::string>;

// The value's written form: a decimal number, "AxB", or the text quoted with
// '"' and '\' escaped and every byte outside printable ASCII as "\xHH".
std::string FormatDescriptionValue(const DescriptionValue& value);

// Reads a number ("-12", "0x1F"), a pair of decimals ("600x600") or a quoted text, of
// the kind that the sample shows, from the whole of the written form; an
// error text in place of a value when it is not one.
struct ParsedValue {
  std::optional<DescriptionValue> value;
  std::string error;
};
ParsedValue ParseDescriptionValue(std::string_view written, const DescriptionValue& kind);

// Where a quoted text that starts at text[start] ends: the index after its
// closing quote, or npos when it does not close on the line.
size_t EndOfQuotedText(std::string_view text, size_t start);
