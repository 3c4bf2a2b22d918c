#include "foundation/text_stream.h"

#include <cctype>
#include <charconv>
#include <cstring>
#include <istream>
#include <limits>
#include <ostream>
#include <string>
#include <type_traits>

#include "foundation/error.h"
#include "foundation/message.h"

namespace {

constexpr int32_t kEnd = -1;
// Characters and escapes that would pass this column start a new line.
constexpr uint32_t kLineWidth = 80;
// Longer number tokens than these are malformed.
constexpr uint32_t kIntegerTokenSize = 32;
constexpr uint32_t kRealTokenSize = 64;

GByteChannel* ChannelOrNull(GByteChannel* channel) { return channel ? channel : &NullByteChannel(); }

bool IsSpace(int32_t c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(int32_t c) { return c >= '0' && c <= '9'; }

int32_t HexDigitValue(int32_t c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// What a character becomes in a number: chars are signed bytes, floats are
// written with the precision of a double.
int32_t Widen(char value) { return static_cast<signed char>(value); }
uint32_t Widen(uint8_t value) { return value; }
double Widen(float value) { return value; }
template <typename T>
T Widen(T value) {
  return value;
}

// Decimal text of one number and its line feed; the end of what was written.
template <typename T>
char* FormatNumber(char* out, char* end, T value) {
  std::to_chars_result result;
  if constexpr (std::is_floating_point_v<T>) {
    result = std::to_chars(out, end, value, std::chars_format::scientific, 16);
  } else {
    result = std::to_chars(out, end, value);
  }
  *result.ptr = '\n';
  return result.ptr + 1;
}

// The escape of a character that cannot stand for itself, or null.
const char* NamedEscape(uint8_t c) {
  switch (c) {
    case '\b':
      return "\\b";
    case '\t':
      return "\\t";
    case '\n':
      return "\\n";
    case '\f':
      return "\\f";
    case '\r':
      return "\\r";
    case '"':
      return "\\\"";
    case '\\':
      return "\\\\";
    case '{':
      return "\\[";
    case '}':
      return "\\]";
  }
  return nullptr;
}

uint8_t UnescapeNamed(int32_t c) {
  switch (c) {
    case '[':
      return '{';
    case ']':
      return '}';
    case 'b':
      return '\b';
    case 'f':
      return '\f';
    case 'n':
      return '\n';
    case 'r':
      return '\r';
    case 't':
      return '\t';
  }
  // A quote, a backslash and anything unknown stand for themselves.
  return static_cast<uint8_t>(c);
}

}  // namespace

GTextOutStream::GTextOutStream(GByteChannel* channel) : channel_(ChannelOrNull(channel)) {
  if (!channel) SetState(kBad);
}

GTextOutStream::GTextOutStream(std::ostream& stream) : GTextOutStream(stream.rdbuf()) {}

template <typename T>
void GTextOutStream::PutNumbers(const T* values, uint32_t count) {
  // Numbers are gathered a block at a time, so the channel sees few writes.
  constexpr size_t kLongestNumber = 40;
  char block[512];
  char* out = block;
  for (uint32_t i = 0; i < count; ++i) {
    if (out + kLongestNumber > block + sizeof block) {
      if (!WriteBytes(*channel_, block, static_cast<size_t>(out - block))) AddState(kFail);
      out = block;
    }
    out = FormatNumber(out, out + kLongestNumber - 1, Widen(values[i]));
  }
  if (!WriteBytes(*channel_, block, static_cast<size_t>(out - block))) AddState(kFail);
}

void GTextOutStream::PutPiece(const char* text, uint32_t length) {
  column_ += length;
  if (column_ > kLineWidth) {
    if (channel_->sputc('\n') == std::char_traits<char>::eof()) AddState(kFail);
    column_ = length;
  }
  for (uint32_t i = 0; i < length; ++i) {
    if (channel_->sputc(text[i]) == std::char_traits<char>::eof()) AddState(kFail);
  }
}

void GTextOutStream::PutEscaped(uint8_t c) {
  if (const char* escape = NamedEscape(c)) {
    PutPiece(escape, 2);
  } else if (c != ' ' && c != 0xFF && std::isprint(c)) {
    const char plain = static_cast<char>(c);
    PutPiece(&plain, 1);
  } else {
    static constexpr char kHex[] = "0123456789abcdef";
    const char escape[4] = {'\\', 'x', kHex[c >> 4], kHex[c & 0x0F]};
    PutPiece(escape, 4);
  }
}

GVirtualOutStream& GTextOutStream::PutString(const char* text, uint32_t count) {
  PutPiece("\"", 1);
  for (uint32_t i = 0; i < count; ++i) PutEscaped(static_cast<uint8_t>(text[i]));
  PutPiece("\"", 1);
  return *this;
}

GVirtualOutStream& GTextOutStream::PutCString(const char* text) {
  return PutString(text, static_cast<uint32_t>(std::strlen(text)));
}

GVirtualOutStream& GTextOutStream::PutUChar(uint8_t value) {
  PutEscaped(value);
  return *this;
}

GVirtualOutStream& GTextOutStream::PutChar(char value) { return PutUChar(static_cast<uint8_t>(value)); }

GVirtualOutStream& GTextOutStream::Flush() {
  if (channel_->pubsync() == -1) AddState(kBad);
  return *this;
}

GVirtualOutStream& GTextOutStream::PutUShort(uint16_t value) { return PutUShorts(&value, 1); }
GVirtualOutStream& GTextOutStream::PutShort(int16_t value) { return PutShorts(&value, 1); }
GVirtualOutStream& GTextOutStream::PutULong(uint32_t value) { return PutULongs(&value, 1); }
GVirtualOutStream& GTextOutStream::PutLong(int32_t value) { return PutLongs(&value, 1); }
GVirtualOutStream& GTextOutStream::PutUInt(uint32_t value) { return PutUInts(&value, 1); }
GVirtualOutStream& GTextOutStream::PutInt(int32_t value) { return PutInts(&value, 1); }
GVirtualOutStream& GTextOutStream::PutFloat(float value) { return PutFloats(&value, 1); }
GVirtualOutStream& GTextOutStream::PutDouble(double value) { return PutDoubles(&value, 1); }
GVirtualOutStream& GTextOutStream::PutUCharValue(uint8_t value) { return PutUChars(&value, 1); }
GVirtualOutStream& GTextOutStream::PutCharValue(char value) { return PutChars(&value, 1); }

GVirtualOutStream& GTextOutStream::PutDoubles(const double* values, uint32_t count) {
  PutNumbers(values, count);
  return *this;
}
GVirtualOutStream& GTextOutStream::PutFloats(const float* values, uint32_t count) {
  PutNumbers(values, count);
  return *this;
}
GVirtualOutStream& GTextOutStream::PutULongs(const uint32_t* values, uint32_t count) {
  PutNumbers(values, count);
  return *this;
}
GVirtualOutStream& GTextOutStream::PutLongs(const int32_t* values, uint32_t count) {
  PutNumbers(values, count);
  return *this;
}
GVirtualOutStream& GTextOutStream::PutUInts(const uint32_t* values, uint32_t count) {
  PutNumbers(values, count);
  return *this;
}
GVirtualOutStream& GTextOutStream::PutInts(const int32_t* values, uint32_t count) {
  PutNumbers(values, count);
  return *this;
}
GVirtualOutStream& GTextOutStream::PutUShorts(const uint16_t* values, uint32_t count) {
  PutNumbers(values, count);
  return *this;
}
GVirtualOutStream& GTextOutStream::PutShorts(const int16_t* values, uint32_t count) {
  PutNumbers(values, count);
  return *this;
}
GVirtualOutStream& GTextOutStream::PutUChars(const uint8_t* values, uint32_t count) {
  PutNumbers(values, count);
  return *this;
}
GVirtualOutStream& GTextOutStream::PutChars(const char* values, uint32_t count) {
  PutNumbers(values, count);
  return *this;
}

GTextInStream::GTextInStream(GByteChannel* channel) : channel_(ChannelOrNull(channel)) {
  if (!channel) SetState(kBad);
}

GTextInStream::GTextInStream(std::istream& stream) : GTextInStream(stream.rdbuf()) {}

int32_t GTextInStream::Peek() {
  const int c = channel_->sgetc();
  return c == std::char_traits<char>::eof() ? kEnd : static_cast<uint8_t>(c);
}

int32_t GTextInStream::Take() {
  const int c = channel_->sbumpc();
  if (c != std::char_traits<char>::eof()) return static_cast<uint8_t>(c);
  AddState(kEof | kFail);
  return kEnd;
}

bool GTextInStream::SkipWhiteSpace() {
  while (IsSpace(Peek())) Take();
  if (Peek() != kEnd) return true;
  AddState(kEof | kFail);
  return false;
}

template <typename Accept>
bool GTextInStream::ReadToken(char* token, uint32_t size, uint32_t& length, Accept accept) {
  length = 0;
  if (!SkipWhiteSpace()) return false;
  for (int32_t c = Peek(); c != kEnd && accept(c, length); c = Peek()) {
    if (length < size) token[length] = static_cast<char>(c);
    ++length;
    Take();
  }
  if (length == 0 || length > size) {
    AddState(kFail);
    return false;
  }
  return true;
}

// A decimal number with an optional sign. One that does not fit T sets
// failure and keeps its low-order bits; anything that is no number sets
// failure and reads as 0.
template <typename T>
T GTextInStream::ReadInteger() {
  char token[kIntegerTokenSize];
  uint32_t length = 0;
  const auto accept = [](int32_t c, uint32_t position) {
    return IsDigit(c) || (position == 0 && (c == '+' || c == '-'));
  };
  if (!ReadToken(token, sizeof token, length, accept)) return 0;
  const char* first = token[0] == '+' ? token + 1 : token;
  using Wide = std::conditional_t<std::is_signed_v<T>, int64_t, uint64_t>;
  Wide wide = 0;
  const auto [end, error] = std::from_chars(first, token + length, wide);
  if (error != std::errc() || end != token + length) {
    AddState(kFail);
    return 0;
  }
  if (wide < Wide{std::numeric_limits<T>::min()} || wide > Wide{std::numeric_limits<T>::max()}) AddState(kFail);
  return static_cast<T>(wide);
}

template <typename T>
T GTextInStream::ReadReal() {
  char token[kRealTokenSize];
  uint32_t length = 0;
  const auto accept = [](int32_t c, uint32_t) { return std::isalnum(c) || c == '.' || c == '+' || c == '-'; };
  if (!ReadToken(token, sizeof token, length, accept)) return 0;
  const char* first = token[0] == '+' && length > 1 && token[1] != '-' ? token + 1 : token;
  T value = 0;
  const auto [end, error] = std::from_chars(first, token + length, value, std::chars_format::general);
  if (error != std::errc() || end != token + length) {
    AddState(kFail);
    return 0;
  }
  return value;
}

template <typename T>
void GTextInStream::GetIntegers(T* values, uint32_t count) {
  for (uint32_t i = 0; i < count; ++i) values[i] = ReadInteger<T>();
}

template <typename T>
void GTextInStream::GetReals(T* values, uint32_t count) {
  for (uint32_t i = 0; i < count; ++i) values[i] = ReadReal<T>();
}

uint8_t GTextInStream::ReadHexByte() {
  uint32_t value = 0;
  uint32_t digits = 0;
  for (; digits < 2 && HexDigitValue(Peek()) >= 0; ++digits) value = value * 16 + HexDigitValue(Take());
  if (digits == 0) AddState(Peek() == kEnd ? kEof | kFail : kFail);
  return static_cast<uint8_t>(value);
}

uint8_t GTextInStream::ReadEscape() {
  const int32_t c = Take();
  if (c == kEnd) return 0xFF;
  return c == 'x' ? ReadHexByte() : UnescapeNamed(c);
}

// One character, plain or escaped, after white space (which a writer never
// leaves unescaped). At the end of the input it reads as 0xFF.
uint8_t GTextInStream::ReadCharacter() {
  if (!SkipWhiteSpace()) return 0xFF;
  const int32_t c = Take();
  return c == '\\' ? ReadEscape() : static_cast<uint8_t>(c);
}

// The next character inside a string; false at the closing quote or when
// the input has ended or failed.
bool GTextInStream::ReadStringCharacter(uint8_t& c) {
  while (IsSpace(Peek())) Take();
  const int32_t next = Peek();
  if (next == kEnd) {
    AddState(kEof | kFail);
    return false;
  }
  if (next == '"') {
    Take();
    return false;
  }
  c = ReadCharacter();
  return IsGood();
}

GVirtualInStream& GTextInStream::GetString(char* buffer, uint32_t size) {
  if (size != 0) buffer[0] = '\0';
  SkipWhiteSpace();
  const int32_t first = Take();
  if (!IsGood()) return *this;
  if (first != '"') {
    const char got[2] = {static_cast<char>(first), '\0'};
    RaiseExternalError(GExternalError(GMessage(MsgCoreSynStream(), "\"", got)));
  }
  uint32_t stored = 0;
  uint8_t c = 0;
  while (ReadStringCharacter(c)) {
    if (stored + 1 < size) {
      buffer[stored++] = static_cast<char>(c);
      continue;
    }
    // Too long for the buffer: the rest is skipped up to the closing quote.
    while (ReadStringCharacter(c)) {
    }
    AddState(kFail);
    break;
  }
  if (size != 0) buffer[stored] = '\0';
  return *this;
}

GVirtualInStream& GTextInStream::GetChar(char& value) {
  value = static_cast<char>(ReadCharacter());
  return *this;
}

GVirtualInStream& GTextInStream::GetUChar(uint8_t& value) {
  value = ReadCharacter();
  return *this;
}

GVirtualInStream& GTextInStream::GetCharValue(char& value) {
  value = static_cast<char>(ReadInteger<int32_t>());
  return *this;
}

GVirtualInStream& GTextInStream::GetUCharValue(uint8_t& value) {
  value = static_cast<uint8_t>(ReadInteger<uint32_t>());
  return *this;
}

int32_t GTextInStream::Get() {
  const int32_t value = ReadInteger<int32_t>();
  return IsGood() ? value : -1;
}

GVirtualInStream& GTextInStream::GetULong(uint32_t& value) { return GetULongs(&value, 1); }
GVirtualInStream& GTextInStream::GetUInt(uint32_t& value) { return GetUInts(&value, 1); }
GVirtualInStream& GTextInStream::GetUShort(uint16_t& value) { return GetUShorts(&value, 1); }
GVirtualInStream& GTextInStream::GetShort(int16_t& value) { return GetShorts(&value, 1); }
GVirtualInStream& GTextInStream::GetLong(int32_t& value) { return GetLongs(&value, 1); }
GVirtualInStream& GTextInStream::GetInt(int32_t& value) { return GetInts(&value, 1); }
GVirtualInStream& GTextInStream::GetFloat(float& value) { return GetFloats(&value, 1); }
GVirtualInStream& GTextInStream::GetDouble(double& value) { return GetDoubles(&value, 1); }

GVirtualInStream& GTextInStream::GetULongs(uint32_t* values, uint32_t count) {
  GetIntegers(values, count);
  return *this;
}
GVirtualInStream& GTextInStream::GetUInts(uint32_t* values, uint32_t count) {
  GetIntegers(values, count);
  return *this;
}
GVirtualInStream& GTextInStream::GetUShorts(uint16_t* values, uint32_t count) {
  GetIntegers(values, count);
  return *this;
}
GVirtualInStream& GTextInStream::GetShorts(int16_t* values, uint32_t count) {
  GetIntegers(values, count);
  return *this;
}
GVirtualInStream& GTextInStream::GetLongs(int32_t* values, uint32_t count) {
  GetIntegers(values, count);
  return *this;
}
GVirtualInStream& GTextInStream::GetInts(int32_t* values, uint32_t count) {
  GetIntegers(values, count);
  return *this;
}
GVirtualInStream& GTextInStream::GetFloats(float* values, uint32_t count) {
  GetReals(values, count);
  return *this;
}
GVirtualInStream& GTextInStream::GetDoubles(double* values, uint32_t count) {
  GetReals(values, count);
  return *this;
}

GVirtualInStream& GTextInStream::GetUChars(uint8_t* values, uint32_t count) {
  for (uint32_t i = 0; i < count; ++i) GetUCharValue(values[i]);
  return *this;
}

GVirtualInStream& GTextInStream::GetChars(char* values, uint32_t count) {
  for (uint32_t i = 0; i < count; ++i) GetCharValue(values[i]);
  return *this;
}

bool GTextInStream::CanHold(uint32_t count, uint32_t) {
  // Every value takes at least one character.
  return ChannelHolds(channel_, lookahead_, count);
}
