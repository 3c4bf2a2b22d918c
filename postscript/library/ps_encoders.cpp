#include "postscript/library/ps_encoders.h"

#include <array>
#include <cmath>
#include <cstdio>

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// The whole part of a real: every finite float fits a double's integral
// printing, so large values come out as their digits, never as a wrapped
// 16- or 32-bit integer.
std::string Whole(double whole) {
  std::array<char, 64> text{};
  std::snprintf(text.data(), text.size(), "%.0f", whole);
  return text.data();
}

// The five base-85 digits of a group, most significant first.
std::array<char, 5> Base85Digits(uint32_t group) {
  std::array<char, 5> digits{};
  for (size_t i = digits.size(); i-- > 0;) {
    digits[i] = static_cast<char>(group % 85 + 33);
    group /= 85;
  }
  return digits;
}

std::string Fraction(uint32_t fraction) {
  std::array<char, 16> text{};
  std::snprintf(text.data(), text.size(), ".%04u", fraction);
  return text.data();
}

}  // namespace

void AppendHex(std::span<const uint8_t> bytes, std::string& out) {
  const size_t start = out.size();
  out.resize(start + 2 * bytes.size());
  char* digit = out.data() + start;
  for (const uint8_t byte : bytes) {
    *digit++ = kHexDigits[byte >> 4];
    *digit++ = kHexDigits[byte & 0x0F];
  }
}

void PSASCII85Encoder::Encode(std::span<const uint8_t> bytes, std::string& out) {
  for (const uint8_t byte : bytes) {
    group_ = (group_ << 8) | byte;
    if (++count_ == 4) EmitGroup(out);
  }
}

void PSASCII85Encoder::EmitGroup(std::string& out) {
  if (group_ == 0) {
    out += 'z';
    ++column_;
  } else {
    out.append(Base85Digits(group_).data(), 5);
    column_ += 5;
  }
  count_ = 0;
  group_ = 0;
  EndLineIfFull(out);
}

void PSASCII85Encoder::EndLineIfFull(std::string& out) {
  if (column_ < kLineLength) return;
  out += "\r\n";
  column_ = 0;
}

// A partial group is padded with zero bytes at the low end and written
// as the first count + 1 of its five characters; "z" never stands for it.
void PSASCII85Encoder::Finish(std::string& out) {
  if (count_ > 0) {
    out.append(Base85Digits(group_ << (8 * (4 - count_))).data(), count_ + 1);
  }
  out += "~>";
  Clear();
}

void AppendTBCP(std::span<const uint8_t> bytes, std::string& out) {
  for (const uint8_t byte : bytes) {
    switch (byte) {
      case 0x01:
      case 0x03:
      case 0x04:
      case 0x05:
      case 0x11:
      case 0x13:
      case 0x14:
      case 0x1B:
      case 0x1C:
        out += '\x01';
        out += static_cast<char>(byte ^ 0x40);
        break;
      default:
        out += static_cast<char>(byte);
        break;
    }
  }
}

std::optional<PSReal> SplitReal(float value) {
  if (!std::isfinite(value)) return std::nullopt;
  const double magnitude = std::fabs(static_cast<double>(value));
  PSReal real;
  real.whole = std::floor(magnitude);
  double fraction = std::round((magnitude - real.whole) * 10000.0);
  if (fraction >= 10000.0) {
    real.whole += 1;
    fraction = 0;
  }
  real.fraction = static_cast<uint32_t>(fraction);
  real.negative = std::signbit(value) && (real.whole != 0 || real.fraction != 0);
  return real;
}

std::string DocumentReal(const PSReal& real) {
  std::string text(1, real.negative ? '-' : ' ');
  if (real.whole != 0 || real.fraction == 0) text += Whole(real.whole);
  if (real.fraction != 0) text += Fraction(real.fraction);
  return text + ' ';
}

std::string OperandReal(const PSReal& real) { return DocumentReal(real).substr(real.negative ? 0 : 1); }

std::string DscValue(std::string_view text, size_t maxLength) {
  std::string value(text.substr(0, maxLength));
  for (char& c : value) {
    const auto byte = static_cast<uint8_t>(c);
    if (byte < 0x20 || byte == 0x7F) c = ' ';
  }
  return value;
}

std::string PSString(std::string_view text) {
  std::string literal = "(";
  for (const char c : text) {
    const auto byte = static_cast<uint8_t>(c);
    if (c == '\\' || c == '(' || c == ')') {
      literal += '\\';
      literal += c;
    } else if (byte < 0x20 || byte >= 0x7F) {
      std::array<char, 8> escape{};
      std::snprintf(escape.data(), escape.size(), "\\%03o", byte);
      literal += escape.data();
    } else {
      literal += c;
    }
  }
  return literal + ')';
}
