#include "pcl5e/pcl_formatter.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>

#include "foundation/error.h"
#include "pcl5e/pcl_out_stream.h"

namespace {

constexpr int32_t kInt32Max = std::numeric_limits<int32_t>::max();
constexpr int32_t kInt32Min = std::numeric_limits<int32_t>::min();

// Truncation toward zero that is defined for every float: NaN gives 0 and
// values beyond the 32-bit range give its nearest end.
int32_t TruncateToInt32(float value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483648.0f) return kInt32Max;
  if (value < -2147483648.0f) return kInt32Min;
  return static_cast<int32_t>(value);
}

// Narrowing that is defined for every double: beyond the float range gives
// an infinity of the same sign.
float ToFloat(double value) {
  if (std::isnan(value)) return std::numeric_limits<float>::quiet_NaN();
  if (value > FLT_MAX) return std::numeric_limits<float>::infinity();
  if (value < -FLT_MAX) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

int32_t HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return 0;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsParameterLetter(char c) { return c >= 'A' && c <= 'H'; }

// The width character as a number, or -1 when it is no digit.
int32_t WidthOf(char c) { return IsDigit(c) ? c - '0' : -1; }

}  // namespace

void GPclFormatter::SetParameter(char letter, int32_t value) {
  const uint32_t index = static_cast<uint32_t>(static_cast<unsigned char>(letter)) - 'A';
  if (!CheckIndex(index, kParameterCount)) return;
  parameters_[index] = value;
}

int32_t GPclFormatter::Expand() {
  direct_ = 1;
  Run();
  return count_;
}

int32_t GPclFormatter::ExpandToBuffer(std::vector<uint8_t>& buffer) {
  buffer_ = &buffer;
  direct_ = 0;
  Run();
  buffer_ = nullptr;
  return count_;
}

void GPclFormatter::PutByte(uint8_t byte) {
  if (direct_ != 0) {
    if (stream_ != nullptr) PclStreamPutByte(*stream_, byte);
  } else {
    buffer_->push_back(byte);
  }
  if (count_ < kInt32Max) ++count_;
}

void GPclFormatter::Push(float value) {
  if (stackIndex_ < kStackCapacity) stack_[stackIndex_++] = value;
}

float GPclFormatter::Pop() { return stackIndex_ > 0 ? stack_[--stackIndex_] : 0.0f; }

void GPclFormatter::Run() {
  count_ = 0;
  stackIndex_ = 0;
  const std::string_view text = template_;
  size_t at = 0;
  while (at < text.size()) {
    const char c = text[at];
    if (c == '#') {
      if (text.size() - at < 3) return;
      PutByte(static_cast<uint8_t>(HexDigit(text[at + 1]) * 16 + HexDigit(text[at + 2])));
      at += 3;
      continue;
    }
    if (c != '%' || at + 1 == text.size()) {
      PutByte(static_cast<uint8_t>(c));
      ++at;
      continue;
    }

    const char kind = text[at + 1];
    at += 2;
    if (kind == '%') {
      PutByte('%');
    } else if (kind == '0') {
      PutByte(0);
    } else if (kind == 'f' || kind == 'i') {
      float value = 0.0f;
      if (!Evaluate(at, value) || !WriteValue(at, value, TruncateToInt32(value))) return;
      if (kind == 'i' && TruncateToInt32(value) == 0 && !SkipToMarker(at)) return;
    } else if (kind == 'e') {
      if (!SkipToMarker(at)) return;
    } else if (kind == 'E') {
      // The end of a conditional produces nothing.
    } else if (IsParameterLetter(kind) || IsDigit(kind)) {
      // The plain form carries an exact integer.
      int32_t integer = 0;
      if (IsParameterLetter(kind)) {
        integer = parameters_[kind - 'A'];
      } else {
        int64_t number = kind - '0';
        for (; at < text.size() && IsDigit(text[at]); ++at) {
          number = std::min<int64_t>(number * 10 + (text[at] - '0'), kInt32Max);
        }
        integer = static_cast<int32_t>(number);
      }
      while (at < text.size() && text[at] != '%') ++at;
      if (at == text.size()) return;
      ++at;
      if (!WriteValue(at, static_cast<float>(integer), integer)) return;
    } else {
      // A '%' that starts nothing is an ordinary byte.
      PutByte('%');
      --at;
    }
  }
}

// Reads the expression that starts at `at` up to its closing '%', leaving
// `at` after that '%'. Answers false when the text ends first.
bool GPclFormatter::Evaluate(size_t& at, float& result) {
  const std::string_view text = template_;
  while (at < text.size() && text[at] != '%') {
    const char c = text[at];
    if (IsDigit(c)) {
      double mantissa = 0.0;
      double scale = 1.0;
      bool point = false;
      for (; at < text.size(); ++at) {
        if (IsDigit(text[at])) {
          mantissa = mantissa * 10.0 + (text[at] - '0');
          if (point) scale *= 10.0;
        } else if (text[at] == '.' && !point) {
          point = true;
        } else {
          break;
        }
      }
      Push(ToFloat(mantissa / scale));
      continue;
    }
    ++at;
    if (IsParameterLetter(c)) {
      Push(static_cast<float>(parameters_[c - 'A']));
      continue;
    }
    switch (c) {
      case '+':
      case '-':
      case '*':
      case '/':
      case '<':
      case '=':
      case '>': {
        const float b = Pop();
        const float a = Pop();
        float value = 0.0f;
        switch (c) {
          case '+':
            value = a + b;
            break;
          case '-':
            value = a - b;
            break;
          case '*':
            value = a * b;
            break;
          case '/':
            value = b == 0.0f ? 0.0f : a / b;
            break;
          case '<':
            value = a < b ? 1.0f : 0.0f;
            break;
          case '=':
            value = a == b ? 1.0f : 0.0f;
            break;
          default:
            value = a > b ? 1.0f : 0.0f;
            break;
        }
        Push(value);
        break;
      }
      case '!':
        Push(Pop() == 0.0f ? 1.0f : 0.0f);
        break;
      case 'i':
        Push(std::trunc(Pop()));
        break;
      default:
        break;  // a separator
    }
  }
  if (at == text.size()) return false;
  ++at;
  result = Pop();
  return true;
}

// Writes the value with the output letter and width character at `at`,
// leaving `at` after them. Answers false when the text ends first.
bool GPclFormatter::WriteValue(size_t& at, float value, int32_t integer) {
  const std::string_view text = template_;
  if (at == text.size()) return false;
  const char letter = text[at++];
  if (letter == 's') return true;
  if (at == text.size()) return false;
  const int32_t width = WidthOf(text[at++]);
  if (width < 0) return true;
  switch (letter) {
    case 'A':
      WriteDecimal(integer, width);
      break;
    case 'F':
      WriteFixed(value, integer, width);
      break;
    case 'G':
      WritePolylineEncoded(value, width);
      break;
    case 'I':
      WriteBinary(integer, width, true);
      break;
    default:
      WriteBinary(integer, width, false);
      break;
  }
  return true;
}

// Skips to just after the next %e or %E at the outermost level; a %i opens a
// level that the next %E closes, and %% is passed over as a pair. Answers
// false, with `at` at the end, when no marker follows.
bool GPclFormatter::SkipToMarker(size_t& at) const {
  const std::string_view text = template_;
  int32_t depth = 0;
  while (text.size() - at >= 2) {
    if (text[at] != '%') {
      ++at;
      continue;
    }
    const char marker = text[at + 1];
    at += 2;
    if (marker == 'i') {
      ++depth;
    } else if (marker == 'E') {
      if (depth == 0) return true;
      --depth;
    } else if (marker == 'e' && depth == 0) {
      return true;
    }
  }
  at = text.size();
  return false;
}

// Width 0 writes every digit; widths 1 to 7 pad with zeros after the sign to
// at least that many characters; other widths write nothing.
void GPclFormatter::WriteDecimal(int32_t value, int32_t width) {
  if (width > 7) return;
  char digits[10];
  int32_t n = 0;
  int64_t magnitude = value < 0 ? -static_cast<int64_t>(value) : value;
  do {
    digits[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  const int32_t sign = value < 0 ? 1 : 0;
  if (sign != 0) PutByte('-');
  for (int32_t pad = width - sign - n; pad > 0; --pad) PutByte('0');
  while (n > 0) PutByte(static_cast<uint8_t>(digits[--n]));
}

// The integer part, a point and the first `width` of four fraction digits; a
// negative value keeps its sign when its integer part is 0.
void GPclFormatter::WriteFixed(float value, int32_t integer, int32_t width) {
  if (value < 0.0f && integer == 0) {
    PutByte('-');
    PutByte('0');
  } else {
    WriteDecimal(integer, 0);
  }
  PutByte('.');
  const int32_t fraction = std::clamp(TruncateToInt32(std::fabs(value - std::trunc(value)) * 10000.0f), 0, 9999);
  const char digits[4] = {static_cast<char>('0' + fraction / 1000), static_cast<char>('0' + fraction / 100 % 10),
                          static_cast<char>('0' + fraction / 10 % 10), static_cast<char>('0' + fraction % 10)};
  for (int32_t i = 0; i < std::min(width, 4); ++i) PutByte(static_cast<uint8_t>(digits[i]));
}

// Widths 1 to 3 write that many low bytes, 0 and 4 all four; other widths
// write nothing.
void GPclFormatter::WriteBinary(int32_t value, int32_t width, bool bigEndian) {
  if (width > 4) return;
  const int32_t n = width == 0 ? 4 : width;
  const uint32_t bits = static_cast<uint32_t>(value);
  for (int32_t i = 0; i < n; ++i) {
    const int32_t byteIndex = bigEndian ? n - 1 - i : i;
    PutByte(static_cast<uint8_t>(bits >> (8 * byteIndex)));
  }
}

// The GL/2 polyline encoding of value with fractionBits binary fraction
// digits: the sign goes to the lowest bit, then base-64 digits follow least
// significant first, the last one alone in the terminator range.
void GPclFormatter::WritePolylineEncoded(float value, int32_t fractionBits) {
  const int64_t v = TruncateToInt32(std::ldexp(value, fractionBits));
  uint64_t code = v >= 0 ? 2 * static_cast<uint64_t>(v) : 2 * static_cast<uint64_t>(-v) + 1;
  while (code >= 64) {
    PutByte(static_cast<uint8_t>(63 + code % 64));
    code /= 64;
  }
  PutByte(static_cast<uint8_t>(191 + code));
}
