#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>

#include "foundation/byte_channel.h"
#include "foundation/lookahead_channel.h"
#include "foundation/virtual_stream.h"

// Raw binary form: every value is its bytes in the machine's byte order (2
// for shorts, 4 for int, long and float, 8 for double, 1 for characters
// whether written as characters or as numbers). A counted string is a 4-byte
// count and the characters; arrays are their elements back to back.
class GBinaryOutStream : public GVirtualOutStream {
 public:
  // Writes to the channel, which must outlive the stream; a null channel
  // gives a bad stream.
  explicit GBinaryOutStream(GByteChannel* channel);
  // Writes to the character stream's channel.
  explicit GBinaryOutStream(std::ostream& stream);

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

  GByteChannel& Channel() const { return *channel_; }

 protected:
  // Writes count values of unitSize bytes each, held in machine order. The
  // byte-swapping form reorders them here.
  virtual void PutUnits(const void* values, uint32_t count, uint32_t unitSize);
  // Writes bytes as they are; a short write sets failure.
  void PutRaw(const void* bytes, uint64_t count);

 private:
  GByteChannel* channel_;
};

class GBinaryInStream : public GVirtualInStream {
 public:
  explicit GBinaryInStream(GByteChannel* channel);
  explicit GBinaryInStream(std::istream& stream);

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

  GByteChannel& Channel() const { return *channel_; }

 protected:
  // How the writer of the data may have sized a value of a type. The raw
  // form reads every type at its native size; the byte-swapping form
  // converts from the sizes its header declares.
  enum class Width { kRaw, kShort, kInt, kLong, kSize };

  // Reads count values of unitSize bytes each into machine order. Missing
  // bytes read as 0 and set end-of-input and failure.
  virtual void GetUnits(void* values, uint32_t count, uint32_t unitSize, Width width, bool isSigned);
  // Reads bytes as they are; answers whether all arrived, setting
  // end-of-input and failure when not.
  bool GetRaw(void* bytes, uint64_t count);
  // The next byte, or -1 with end-of-input and failure set.
  int32_t NextByte();
  // The characters of a counted string whose count was read: at most
  // size - 1 of them into the buffer, the rest skipped with failure set.
  void GetCountedChars(char* buffer, uint32_t size, uint32_t count);
  // Whether count bytes are left to read; see ChannelHolds.
  bool HoldsBytes(uint64_t count);

 private:
  GByteChannel* channel_;
  std::unique_ptr<GLookaheadChannel> lookahead_;
};
