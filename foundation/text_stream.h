#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>

#include "foundation/byte_channel.h"
#include "foundation/lookahead_channel.h"
#include "foundation/virtual_stream.h"

// Portable text form. Numbers are decimal, one per line; floating point is
// scientific with 16 fractional digits, as "%.16e" writes it in the "C"
// locale. Characters and strings are written with escapes ("\n", "\[" for
// '{', "\x20" for a space ...), strings between double quotes, and a line
// feed is inserted before a character that would pass column 80. Reading
// skips white space, so the inserted line feeds are harmless.
class GTextOutStream : public GVirtualOutStream {
 public:
  explicit GTextOutStream(GByteChannel* channel);
  explicit GTextOutStream(std::ostream& stream);

  GVirtualOutStream& PutString(const char* text, uint32_t count) override;
  GVirtualOutStream& PutUShort(uint16_t value) override;
  GVirtualOutStream& PutShort(int16_t value) override;
  GVirtualOutStream& PutULong(uint32_t value) override;
  GVirtualOutStream& PutLong(int32_t value) override;
  GVirtualOutStream& PutUInt(uint32_t value) override;
  GVirtualOutStream& PutInt(int32_t value) override;
  GVirtualOutStream& PutFloat(float value) override;
  GVirtualOutStream& PutDouble(double value) override;
  GVirtualOutStream& PutUChar(uint8_t value) override;
  GVirtualOutStream& PutChar(char value) override;
  GVirtualOutStream& PutCString(const char* text) override;
  GVirtualOutStream& Flush() override;
  GVirtualOutStream& PutDoubles(const double* values, uint32_t count) override;
  GVirtualOutStream& PutFloats(const float* values, uint32_t count) override;
  GVirtualOutStream& PutULongs(const uint32_t* values, uint32_t count) override;
  GVirtualOutStream& PutLongs(const int32_t* values, uint32_t count) override;
  GVirtualOutStream& PutUInts(const uint32_t* values, uint32_t count) override;
  GVirtualOutStream& PutInts(const int32_t* values, uint32_t count) override;
  GVirtualOutStream& PutUShorts(const uint16_t* values, uint32_t count) override;
  GVirtualOutStream& PutShorts(const int16_t* values, uint32_t count) override;
  GVirtualOutStream& PutUChars(const uint8_t* values, uint32_t count) override;
  GVirtualOutStream& PutUCharValue(uint8_t value) override;
  GVirtualOutStream& PutChars(const char* values, uint32_t count) override;
  GVirtualOutStream& PutCharValue(char value) override;

  // Characters written since the last line break inside strings and
  // characters; numbers do not count.
  uint32_t Column() const { return column_; }

 private:
  template <typename T>
  void PutNumbers(const T* values, uint32_t count);
  void PutEscaped(uint8_t c);
  void PutPiece(const char* text, uint32_t length);

  GByteChannel* channel_;
  uint32_t column_ = 0;
};

class GTextInStream : public GVirtualInStream {
 public:
  explicit GTextInStream(GByteChannel* channel);
  explicit GTextInStream(std::istream& stream);

  GVirtualInStream& GetULongs(uint32_t* values, uint32_t count) override;
  GVirtualInStream& GetUInts(uint32_t* values, uint32_t count) override;
  GVirtualInStream& GetUShorts(uint16_t* values, uint32_t count) override;
  GVirtualInStream& GetUChars(uint8_t* values, uint32_t count) override;
  GVirtualInStream& GetShorts(int16_t* values, uint32_t count) override;
  GVirtualInStream& GetLongs(int32_t* values, uint32_t count) override;
  GVirtualInStream& GetInts(int32_t* values, uint32_t count) override;
  GVirtualInStream& GetFloats(float* values, uint32_t count) override;
  GVirtualInStream& GetDoubles(double* values, uint32_t count) override;
  GVirtualInStream& GetChars(char* values, uint32_t count) override;
  GVirtualInStream& GetUCharValue(uint8_t& value) override;
  GVirtualInStream& GetCharValue(char& value) override;
  // The next number as an int, -1 when the input has ended.
  int32_t Get() override;
  GVirtualInStream& GetString(char* buffer, uint32_t size) override;
  GVirtualInStream& GetULong(uint32_t& value) override;
  GVirtualInStream& GetUInt(uint32_t& value) override;
  GVirtualInStream& GetUShort(uint16_t& value) override;
  GVirtualInStream& GetUChar(uint8_t& value) override;
  GVirtualInStream& GetShort(int16_t& value) override;
  GVirtualInStream& GetLong(int32_t& value) override;
  GVirtualInStream& GetInt(int32_t& value) override;
  GVirtualInStream& GetFloat(float& value) override;
  GVirtualInStream& GetDouble(double& value) override;
  GVirtualInStream& GetChar(char& value) override;
  bool CanHold(uint32_t count, uint32_t elementSize) override;

 private:
  template <typename T>
  void GetIntegers(T* values, uint32_t count);
  template <typename T>
  void GetReals(T* values, uint32_t count);
  template <typename T>
  T ReadInteger();
  template <typename T>
  T ReadReal();
  // Collects a token of characters that pass accept; false when none came.
  template <typename Accept>
  bool ReadToken(char* token, uint32_t size, uint32_t& length, Accept accept);
  bool SkipWhiteSpace();
  int32_t Peek();
  int32_t Take();
  uint8_t ReadCharacter();
  uint8_t ReadEscape();
  uint8_t ReadHexByte();
  bool ReadStringCharacter(uint8_t& c);
  void SkipLineFeeds();

  GByteChannel* channel_;
  std::unique_ptr<GLookaheadChannel> lookahead_;
};
