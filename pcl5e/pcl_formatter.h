#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "pcl5e/pcl_out_stream.h"

// Expands a PCL or GL/2 command template with up to eight integer parameters
// into bytes, either into the generator's output stream or into a caller's
// buffer.
//
// Template language (everything else is copied byte for byte):
//   #hh            one byte from two hexadecimal digits (a non-digit counts as 0)
//   %%  %0         a '%' byte, a zero byte
//   %f expr %Lw    evaluate a reverse-Polish expression in single precision and
//                  write it with output letter L and width character w
//   %X %Lw         plain form: X is a parameter letter other than E (%E ends a
//                  conditional) or a decimal number, written as an exact integer
//   %i expr %Lw    conditional: written like %f; a value that truncates to 0
//                  skips to the matching %e; reaching %e skips to the matching %E
//
// Expression tokens: A-H push a parameter, a digit run with at most one '.'
// pushes a number, + - * / < = > pop two values and push one, ! and i
// (truncate) replace the top; anything else separates numbers.
//
// Output letters: A decimal, F fixed point with up to four fraction digits,
// I big-endian and H (and every other letter) little-endian binary integers,
// G the GL/2 polyline-encoded number, s nothing (and no width character).
//
// Templates may come from stored configuration, so expansion is total: it
// stops at the end of the text, keeps the stack within its hundred slots (a
// push onto a full stack is dropped, a pop from an empty one gives 0), answers
// 0 for a division by zero, saturates out-of-range values when they become
// integers (NaN becomes 0) and ends where a construct is cut off by the end of
// the text.
class GPclFormatter {
 public:
  static constexpr int32_t kParameterCount = 8;
  static constexpr int32_t kStackCapacity = 100;

  // The template of the next expansions; the text must outlive them.
  void SetTemplate(std::string_view text) { template_ = text; }
  // Destination of Expand; without a stream its bytes are counted only.
  void SetStream(PclOutStream* stream) { stream_ = stream; }
  // letter is 'A' to 'H'; any other raises the index error and changes
  // nothing. Parameters keep their values between expansions.
  void SetParameter(char letter, int32_t value);

  // Expands the template into the stream and answers the number of bytes
  // produced (also those the stream dropped because of its error).
  int32_t Expand();
  // Appends the expansion to buffer, which grows as needed, and answers the
  // number of bytes appended. No terminator is added.
  int32_t ExpandToBuffer(std::vector<uint8_t>& buffer);

 private:
  void Run();
  void PutByte(uint8_t byte);
  void Push(float value);
  float Pop();

  bool Evaluate(size_t& at, float& result);
  bool WriteValue(size_t& at, float value, int32_t integer);
  bool SkipToMarker(size_t& at) const;

  void WriteDecimal(int32_t value, int32_t width);
  void WriteFixed(float value, int32_t integer, int32_t width);
  void WriteBinary(int32_t value, int32_t width, bool bigEndian);
  void WritePolylineEncoded(float value, int32_t fractionBits);

  std::string_view template_;
  PclOutStream* stream_ = nullptr;
  std::vector<uint8_t>* buffer_ = nullptr;
  int32_t count_ = 0;
  int32_t direct_ = 0;
  std::array<int32_t, kParameterCount> parameters_{};
  std::array<float, kStackCapacity> stack_{};
  int32_t stackIndex_ = 0;
};
