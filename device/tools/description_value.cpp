#include "device/tools/description_value.h"

#include <charconv>

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

std::string QuoteText(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (byte < 0x20 || byte >= 0x7F) {
      quoted += "\\x";
      quoted += kHexDigits[byte >> 4];
      quoted += kHexDigits[byte & 0x0F];
    } else {
      quoted += c;
    }
  }
  return quoted + '"';
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<int64_t> ParseNumber(std::string_view written) {
  const bool negative = !written.empty() && written.front() == '-';
  if (negative) written.remove_prefix(1);
  int base = 10;
  if (written.size() > 2 && written[0] == '0' && (written[1] == 'x' || written[1] == 'X')) {
    written.remove_prefix(2);
    base = 16;
  }
  if (written.empty() || written.front() == '-' || written.front() == '+') return std::nullopt;
  uint64_t magnitude = 0;
  const auto [end, error] = std::from_chars(written.data(), written.data() + written.size(), magnitude, base);
  // Numbers of a description never pass 32 bits; wider ones are refused
  // later by the property's range.
  if (error != std::errc() || end != written.data() + written.size() || magnitude > (uint64_t{1} << 40)) {
    return std::nullopt;
  }
  const auto number = static_cast<int64_t>(magnitude);
  return negative ? -number : number;
}

ParsedValue ParseText(std::string_view written) {
  if (written.size() < 2 || written.front() != '"' || EndOfQuotedText(written, 0) != written.size()) {
    return {std::nullopt, "a text in double quotes"};
  }
  std::string text;
  for (size_t i = 1; i + 1 < written.size(); ++i) {
    if (written[i] != '\\') {
      text += written[i];
      continue;
    }
    const char escaped = written[++i];
    if (escaped == '"' || escaped == '\\') {
      text += escaped;
      continue;
    }
    const int high = i + 2 < written.size() ? HexDigit(written[i + 1]) : -1;
    const int low = high >= 0 ? HexDigit(written[i + 2]) : -1;
    if (escaped != 'x' || low < 0) return {std::nullopt, "an escape other than \\\", \\\\ or \\xHH"};
    text += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return {DescriptionValue(std::move(text)), {}};
}

}  // namespace

std::string FormatDescriptionValue(const DescriptionValue& value) {
  if (const auto* number = std::get_if<int64_t>(&value)) return std::to_string(*number);
  if (const auto* pair = std::get_if<DescriptionPair>(&value)) {
    return std::to_string(pair->first) + "x" + std::to_string(pair->second);
  }
  return QuoteText(std::get<std::string>(value));
}

size_t EndOfQuotedText(std::string_view text, size_t start) {
  for (size_t i = start + 1; i < text.size(); ++i) {
    if (text[i] == '\\') {
      ++i;
    } else if (text[i] == '"') {
      return i + 1;
    }
  }
  return std::string_view::npos;
}

ParsedValue ParseDescriptionValue(std::string_view written, const DescriptionValue& kind) {
  if (std::holds_alternative<std::string>(kind)) return ParseText(written);
  if (std::holds_alternative<int64_t>(kind)) {
    if (const std::optional<int64_t> number = ParseNumber(written)) return {DescriptionValue(*number), {}};
    return {std::nullopt, "a number"};
  }
  // A pair: two decimal numbers around the first 'x'.
  const size_t x = written.find('x');
  if (x != std::string_view::npos) {
    const std::optional<int64_t> first = ParseNumber(written.substr(0, x));
    const std::optional<int64_t> second = ParseNumber(written.substr(x + 1));
    if (first && second) return {DescriptionValue(DescriptionPair(*first, *second)), {}};
  }
  return {std::nullopt, "a pair of numbers written AxB"};
}
