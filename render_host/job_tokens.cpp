#include "render_host/job_tokens.h"

#include <charconv>
#include <cmath>

#include "render_host/utf8.h"

namespace {

constexpr double kLargestLength = 100000;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// The length of the well-formed UTF-8 sequence at the start of bytes, or 0.
size_t Utf8SequenceLength(std::string_view bytes) {
  const auto lead = static_cast<uint8_t>(bytes[0]);
  if (lead < 0x80) return 1;
  size_t length = 0;
  uint32_t code = 0;
  uint32_t lowest = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, code = lead & 0x1F, lowest = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, code = lead & 0x0F, lowest = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, code = lead & 0x07, lowest = 0x10000;
  } else {
    return 0;
  }
  if (bytes.size() < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    const auto c = static_cast<uint8_t>(bytes[i]);
    if ((c & 0xC0) != 0x80) return 0;
    code = code << 6 | (c & 0x3F);
  }
  const bool scalar = code >= lowest && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
  return scalar ? length : 0;
}

// The escape after a backslash at line[at]; at moves past it.
std::string Escape(std::string_view line, size_t& at, std::string& text) {
  if (at >= line.size()) return "the string ends in a backslash";
  const char c = line[at++];
  switch (c) {
    case '"':
    case '\\':
      text.push_back(c);
      return {};
    case 'n':
      text.push_back('\n');
      return {};
    case 't':
      text.push_back('\t');
      return {};
    case 'u':
      break;
    default:
      return std::string("unknown escape \\") + c;
  }
  const size_t close = line.find('}', at);
  if (at >= line.size() || line[at] != '{' || close == std::string_view::npos || close - at < 2 || close - at > 7) {
    return "\\u must be followed by 1 to 6 hex digits in braces";
  }
  uint32_t code = 0;
  const auto [end, error] = std::from_chars(line.data() + at + 1, line.data() + close, code, 16);
  if (error != std::errc() || end != line.data() + close || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
    return "\\u{" + std::string(line.substr(at + 1, close - at - 1)) + "} is not a Unicode character";
  }
  AppendUtf8(code, text);
  at = close + 1;
  return {};
}

// The quoted string that starts at line[at] (after the quote); at moves
// past the closing quote.
std::string QuotedString(std::string_view line, size_t& at, std::string& text) {
  while (at < line.size()) {
    const char c = line[at];
    if (c == '"') {
      ++at;
      return {};
    }
    if (c == '\\') {
      ++at;
      if (std::string problem = Escape(line, at, text); !problem.empty()) return problem;
      continue;
    }
    const size_t length = Utf8SequenceLength(line.substr(at));
    if (length == 0) return "the string is not valid UTF-8";
    text.append(line.substr(at, length));
    at += length;
  }
  return "the string has no closing quote";
}

}  // namespace

std::string SplitJobLine(std::string_view line, std::vector<GJobToken>& tokens) {
  tokens.clear();
  size_t at = 0;
  while (true) {
    while (at < line.size() && IsBlank(line[at])) ++at;
    if (at == line.size()) return {};
    if (line[at] == '#' && (at + 1 == line.size() || IsBlank(line[at + 1]))) return {};
    GJobToken token;
    if (line[at] == '"') {
      token.quoted = true;
      ++at;
      if (std::string problem = QuotedString(line, at, token.text); !problem.empty()) return problem;
      if (at < line.size() && !IsBlank(line[at])) return "a quoted string must be followed by a space";
    } else {
      const size_t start = at;
      while (at < line.size() && !IsBlank(line[at])) ++at;
      token.text = line.substr(start, at - start);
    }
    tokens.push_back(std::move(token));
  }
}

GJobArguments::GJobArguments(std::vector<GJobToken> tokens, std::string_view directive)
    : tokens_(std::move(tokens)), directive_(directive) {}

const GJobToken* GJobArguments::Next() { return next_ < tokens_.size() ? &tokens_[next_] : nullptr; }

bool GJobArguments::Fail(std::string_view expected) {
  error_ = directive_ + ": expected " + std::string(expected);
  if (const GJobToken* token = Next()) {
    error_ += ", found " + (token->quoted ? "\"" + token->text + "\"" : "'" + token->text + "'");
  } else {
    error_ += " at the end of the line";
  }
  return false;
}

bool GJobArguments::TakeWord(std::string_view word) {
  const GJobToken* token = Next();
  if (token == nullptr || token->quoted || token->text != word) return false;
  ++next_;
  return true;
}

bool GJobArguments::Word(std::string_view what, std::string& word) {
  const GJobToken* token = Next();
  if (token == nullptr || token->quoted) return Fail(what);
  word = token->text;
  ++next_;
  return true;
}

bool GJobArguments::String(std::string_view what, std::string& text) {
  const GJobToken* token = Next();
  if (token == nullptr || !token->quoted) return Fail(std::string(what) + " in double quotes");
  text = token->text;
  ++next_;
  return true;
}

bool GJobArguments::Length(std::string_view what, double& points) {
  const std::string expected = std::string(what) + " (a length: a number with pt, mm, cm or in)";
  const GJobToken* token = Next();
  if (token == nullptr || token->quoted) return Fail(expected);
  const std::string_view text = token->text;
  double number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || !std::isfinite(number)) return Fail(expected);
  const std::string_view unit = text.substr(static_cast<size_t>(end - text.data()));
  if (unit == "mm") {
    number *= 72 / 25.4;
  } else if (unit == "cm") {
    number *= 72 / 2.54;
  } else if (unit == "in") {
    number *= 72;
  } else if (!unit.empty() && unit != "pt") {
    return Fail(expected);
  }
  if (std::fabs(number) > kLargestLength) return Fail(std::string(what) + " within 100000 points");
  points = number;
  ++next_;
  return true;
}

bool GJobArguments::PositiveLength(std::string_view what, double& points) {
  const size_t at = next_;
  if (!Length(what, points)) return false;
  if (points > 0) return true;
  next_ = at;
  return Fail(std::string(what) + " above 0");
}

bool GJobArguments::Point(std::string_view what, GJobPoint& point) {
  return Length(std::string(what) + " x", point.x) && Length(std::string(what) + " y", point.y);
}

bool GJobArguments::Box(GJobPoint& corner, double& width, double& height) {
  return Point("the corner", corner) && PositiveLength("the width", width) && PositiveLength("the height", height);
}

bool GJobArguments::Integer(std::string_view what, int32_t lowest, int32_t highest, int32_t& value) {
  const std::string expected =
      std::string(what) + " (a whole number from " + std::to_string(lowest) + " to " + std::to_string(highest) + ")";
  const GJobToken* token = Next();
  if (token == nullptr || token->quoted) return Fail(expected);
  const std::string_view text = token->text;
  int32_t number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end != text.data() + text.size() || number < lowest || number > highest) {
    return Fail(expected);
  }
  value = number;
  ++next_;
  return true;
}

bool GJobArguments::Colour(std::string_view what, GJobColour& colour) {
  const std::string expected = std::string(what) + " (#rrggbb)";
  const GJobToken* token = Next();
  if (token == nullptr || token->quoted || token->text.size() != 7 || token->text[0] != '#') return Fail(expected);
  uint32_t value = 0;
  const char* digits = token->text.data() + 1;
  const auto [end, error] = std::from_chars(digits, digits + 6, value, 16);
  if (error != std::errc() || end != digits + 6) return Fail(expected);
  colour = {static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
  ++next_;
  return true;
}

bool GJobArguments::Choice(std::string_view what, std::initializer_list<std::string_view> choices, size_t& index) {
  std::string expected = std::string(what) + " (";
  for (std::string_view choice : choices) expected.append(choice).append(choice == *(choices.end() - 1) ? ")" : ", ");
  const GJobToken* token = Next();
  if (token == nullptr || token->quoted) return Fail(expected);
  for (size_t i = 0; i < choices.size(); ++i) {
    if (token->text == *(choices.begin() + i)) {
      index = i;
      ++next_;
      return true;
    }
  }
  return Fail(expected);
}

bool GJobArguments::End() { return AtEnd() || Fail("the end of the line"); }
