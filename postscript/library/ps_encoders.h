#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// The byte encoders of the PostScript output: hexadecimal digits, ASCII85
// groups, the quoting of the Tagged Binary Communications Protocol and the
// text of real numbers. They append to a string and keep no hidden state,
// so the output context, the tests and the benchmarks share them.

// Two upper-case digits a byte, high nibble first.
void AppendHex(std::span<const uint8_t> bytes, std::string& out);

// Adobe's ASCII85 with the "z" form for a group of four zero bytes. Bytes
// may come in any number of calls; the open group waits for the next call
// or for Finish. Lines break after kLineLength characters or more, the
// column carrying over from call to call, so that short calls cannot build
// one endless line.
class PSASCII85Encoder {
 public:
  static constexpr uint32_t kLineLength = 65;

  void Encode(std::span<const uint8_t> bytes, std::string& out);
  // The open group of n bytes as n + 1 characters, then "~>"; the encoder
  // is empty again afterwards.
  void Finish(std::string& out);
  void Clear() { *this = PSASCII85Encoder(); }
  uint32_t OpenBytes() const { return count_; }

 private:
  void EmitGroup(std::string& out);
  void EndLineIfFull(std::string& out);

  uint32_t count_ = 0;
  uint32_t group_ = 0;
  uint32_t column_ = 0;
};

// The bytes that the protocol reserves (0x01, 0x03, 0x04, 0x05, 0x11, 0x13,
// 0x14, 0x1B, 0x1C) become 0x01 followed by the byte XOR 0x40.
void AppendTBCP(std::span<const uint8_t> bytes, std::string& out);

// A real number split for writing: its sign, its whole part and four
// decimal digits of fraction, rounded at the fourth digit (0.12 as a float
// gives 1200; 0.99996 carries into the whole part). Negative zero, and a
// negative value that rounds to zero, count as positive. No value for
// infinities and NaN, which PostScript cannot read back.
struct PSReal {
  bool negative = false;
  double whole = 0;
  uint32_t fraction = 0;
};
std::optional<PSReal> SplitReal(float value);

// The two shapes of a real, each followed by one blank. The document form
// starts with a sign character, a blank or "-" (" 2 ", " .5000 ",
// "-1.2500 "); the operand form writes "-" only ("2 ", ".5000 ",
// "-1.2500 "). The whole part is written in full, however large.
std::string DocumentReal(const PSReal& real);
std::string OperandReal(const PSReal& real);

// A value for a structuring comment: control characters (which would end
// the comment line or confuse a spooler) become blanks, and the value is
// cut to maxLength bytes so that the comment line stays within the
// 255-character limit of the conventions.
std::string DscValue(std::string_view text, size_t maxLength);

// A PostScript string literal: "(", the text with backslash, parentheses
// and bytes outside printable ASCII escaped ("\\", "\(", "\)", "\ooo"),
// ")".
std::string PSString(std::string_view text);
