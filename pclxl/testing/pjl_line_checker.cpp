#include "pclxl/testing/pjl_line_checker.h"

#include <cctype>
#include <optional>

namespace {

constexpr std::string_view kUEL = "\x1B%-12345X";

// A cursor over one line (without its CR LF) that fails with a reason.
class LineParser {
 public:
  // Starts at position start of the line.
  LineParser(std::string_view line, size_t start) : line_(line), position_(start) {}

  bool AtEnd() const { return position_ == line_.size(); }
  const std::string& Error() const { return error_; }

  bool Fail(const std::string& reason) {
    if (error_.empty()) error_ = reason + " at column " + std::to_string(position_ + 1);
    return false;
  }

  void SkipSpace() {
    while (!AtEnd() && (line_[position_] == ' ' || line_[position_] == '\t')) ++position_;
  }
  bool RequireSpace() {
    if (AtEnd() || (line_[position_] != ' ' && line_[position_] != '\t')) return Fail("white space expected");
    SkipSpace();
    return true;
  }

  // Letters, digits, '_' and '-', starting with a letter.
  std::string Word() {
    const size_t start = position_;
    if (AtEnd() || !std::isalpha(static_cast<unsigned char>(line_[position_]))) return {};
    while (!AtEnd() && IsWordByte(line_[position_])) ++position_;
    return std::string(line_.substr(start, position_ - start));
  }

  bool Keyword(std::string_view keyword) {
    const size_t start = position_;
    if (Word() == keyword) return true;
    position_ = start;
    return Fail("expected " + std::string(keyword));
  }

  bool Equals() {
    SkipSpace();
    if (AtEnd() || line_[position_] != '=') return Fail("'=' expected");
    ++position_;
    SkipSpace();
    return true;
  }

  bool QuotedString(std::string* content = nullptr) {
    if (AtEnd() || line_[position_] != '"') return Fail("'\"' expected");
    const size_t start = ++position_;
    while (!AtEnd() && line_[position_] != '"') {
      if (IsControl(line_[position_])) return Fail("control byte in a string");
      ++position_;
    }
    if (AtEnd()) return Fail("unterminated string");
    if (content != nullptr) *content = std::string(line_.substr(start, position_ - start));
    ++position_;
    return true;
  }

  bool Number() {
    const size_t start = position_;
    if (!AtEnd() && (line_[position_] == '+' || line_[position_] == '-')) ++position_;
    const size_t digits = position_;
    while (!AtEnd() && std::isdigit(static_cast<unsigned char>(line_[position_]))) ++position_;
    if (position_ == digits) {
      position_ = start;
      return false;
    }
    if (!AtEnd() && line_[position_] == '.') {
      ++position_;
      while (!AtEnd() && std::isdigit(static_cast<unsigned char>(line_[position_]))) ++position_;
    }
    return true;
  }

  bool Value() {
    if (!AtEnd() && line_[position_] == '"') return QuotedString();
    if (Number()) return true;
    if (!Word().empty()) return true;
    return Fail("value expected");
  }

  bool End() {
    SkipSpace();
    return AtEnd() || Fail("unexpected text");
  }

  // The rest of the line, which must hold no control byte.
  bool Text() {
    for (; !AtEnd(); ++position_) {
      if (IsControl(line_[position_])) return Fail("control byte in a comment");
    }
    return true;
  }

  // Up to the next ',' or the end.
  std::string_view Field() {
    const size_t start = position_;
    while (!AtEnd() && line_[position_] != ',') ++position_;
    return line_.substr(start, position_ - start);
  }
  bool Comma() {
    if (AtEnd() || line_[position_] != ',') return Fail("',' expected");
    ++position_;
    return true;
  }

 private:
  static bool IsWordByte(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-'; }
  static bool IsControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte < 0x20 && byte != '\t') || byte == 0x7F;
  }

  std::string_view line_;
  size_t position_ = 0;
  std::string error_;
};

// Hexadecimal digits; upper-case letters only where allowed.
bool IsHex(std::string_view text, bool upperCase) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (!std::isxdigit(byte) || (!upperCase && std::isupper(byte))) return false;
  }
  return true;
}

bool CheckUsage(LineParser& p) {
  if (!p.Equals()) return false;
  const std::string_view code = p.Field();
  if (!code.empty()) {
    if (code.size() != 4) return p.Fail("device code of four capitals expected");
    for (const char c : code) {
      if (!std::isupper(static_cast<unsigned char>(c))) return p.Fail("device code of four capitals expected");
    }
  }
  for (int field = 0; field < 5; ++field) {
    if (!p.Comma()) return false;
    const std::string_view value = p.Field();
    if (value != "(n/a)" && !IsHex(value, false)) return p.Fail("hexadecimal usage field expected");
  }
  return p.End();
}

bool CheckNamed(LineParser& p) {
  p.SkipSpace();
  if (p.AtEnd()) return true;
  return p.Keyword("NAME") && p.Equals() && p.QuotedString() && p.End();
}

// Checks the command after "@PJL"; sets entered for ENTER LANGUAGE.
bool CheckCommand(LineParser& p, bool& entered) {
  if (p.AtEnd()) return true;
  if (!p.RequireSpace()) return false;
  if (p.AtEnd()) return true;
  const std::string command = p.Word();
  if (command == "COMMENT") return p.AtEnd() || (p.RequireSpace() && p.Text());
  if (command == "JOB" || command == "EOJ") return CheckNamed(p);
  if (command == "ENTER") {
    entered = true;
    if (!(p.RequireSpace() && p.Keyword("LANGUAGE") && p.Equals())) return false;
    return (!p.Word().empty() || p.Fail("language expected")) && p.End();
  }
  if (command == "SET") {
    if (!p.RequireSpace()) return false;
    if (p.Word().empty()) return p.Fail("variable expected");
    return p.Equals() && p.Value() && p.End();
  }
  if (command == "RDYMSG" || command == "OPMSG") {
    return p.RequireSpace() && p.Keyword("DISPLAY") && p.Equals() && p.QuotedString() && p.End();
  }
  if (command == "DMINFO") {
    std::string hex;
    if (!(p.RequireSpace() && p.Keyword("ASCIIHEX") && p.Equals() && p.QuotedString(&hex))) return false;
    if (hex.size() % 2 != 0 || !IsHex(hex, true)) return p.Fail("pairs of hexadecimal digits expected");
    return p.End();
  }
  if (command == "USAGE") return CheckUsage(p);
  return p.Fail("unknown command '" + command + "'");
}

}  // namespace

std::string CheckPJL(std::string_view text) {
  size_t lineNumber = 1;
  bool entered = false;
  while (!text.empty()) {
    if (text.substr(0, kUEL.size()) == kUEL) {
      text.remove_prefix(kUEL.size());
      entered = false;
      continue;
    }
    const std::string where = "line " + std::to_string(lineNumber) + ": ";
    if (entered) return where + "language data after ENTER LANGUAGE";
    const size_t end = text.find("\r\n");
    if (end == std::string_view::npos) return where + "no CR LF at the end of the line";
    const std::string_view line = text.substr(0, end);
    if (line.substr(0, 4) != "@PJL") return where + "a line must start with @PJL";
    LineParser parser(line, 4);
    if (!CheckCommand(parser, entered)) return where + parser.Error();
    text.remove_prefix(end + 2);
    ++lineNumber;
  }
  return {};
}
