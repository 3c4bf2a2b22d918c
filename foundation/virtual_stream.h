#pragma once

#include <cstdint>

#include "foundation/stream_state_adapter.h"

// The typed output and input interfaces through which every object saves and
// restores its fields. The encoding (raw binary, byte-swapping binary or
// portable text) is the implementation's business; callers write values in
// one order and read them back in the same order, then test IsGood.
//
// Names follow the stored widths: Short is 16 bits, Int and Long are 32 bits
// (two names because the byte-swapping reader converts them by different
// stored sizes), Char is one byte written as a character and CharValue one
// byte written as a number.

// The state word of a virtual stream: failure also answers true when the
// stream is bad, as a stream whose integrity is lost cannot be trusted to
// have delivered anything.
class GVirtualStreamState : public virtual GStreamStateAdapter {
 public:
  bool IsFail() const override { return (State() & (kFail | kBad)) != 0; }

  // 1 in every stream of this library; string saving picks its counted form
  // when it is nonzero.
  uint32_t FormatVersion() const { return formatVersion_; }

 protected:
  // Sets the given bits on top of the current state.
  void AddState(uint32_t bits) { SetState(State() | bits); }

 private:
  uint32_t formatVersion_ = 1;
};

class GVirtualOutStream : public GVirtualStreamState {
 public:
  // A counted string: the count, then the characters.
  virtual GVirtualOutStream& PutString(const char* text, uint32_t count) = 0;
  virtual GVirtualOutStream& PutUShort(uint16_t value) = 0;
  virtual GVirtualOutStream& PutShort(int16_t value) = 0;
  virtual GVirtualOutStream& PutULong(uint32_t value) = 0;
  virtual GVirtualOutStream& PutLong(int32_t value) = 0;
  virtual GVirtualOutStream& PutUInt(uint32_t value) = 0;
  virtual GVirtualOutStream& PutInt(int32_t value) = 0;
  virtual GVirtualOutStream& PutFloat(float value) = 0;
  virtual GVirtualOutStream& PutDouble(double value) = 0;
  // One character, written as a character.
  virtual GVirtualOutStream& PutUChar(uint8_t value) = 0;
  virtual GVirtualOutStream& PutChar(char value) = 0;
  // A counted string of the NUL-terminated text's length.
  virtual GVirtualOutStream& PutCString(const char* text) = 0;
  // Hands buffered bytes to the channel; a failure makes the stream bad.
  virtual GVirtualOutStream& Flush() = 0;

  // Arrays: the elements back to back, no count.
  virtual GVirtualOutStream& PutDoubles(const double* values, uint32_t count) = 0;
  virtual GVirtualOutStream& PutFloats(const float* values, uint32_t count) = 0;
  virtual GVirtualOutStream& PutULongs(const uint32_t* values, uint32_t count) = 0;
  virtual GVirtualOutStream& PutLongs(const int32_t* values, uint32_t count) = 0;
  virtual GVirtualOutStream& PutUInts(const uint32_t* values, uint32_t count) = 0;
  virtual GVirtualOutStream& PutInts(const int32_t* values, uint32_t count) = 0;
  virtual GVirtualOutStream& PutUShorts(const uint16_t* values, uint32_t count) = 0;
  virtual GVirtualOutStream& PutShorts(const int16_t* values, uint32_t count) = 0;
  virtual GVirtualOutStream& PutUChars(const uint8_t* values, uint32_t count) = 0;
  // One character, written as a number.
  virtual GVirtualOutStream& PutUCharValue(uint8_t value) = 0;
  // Characters written as numbers, no count.
  virtual GVirtualOutStream& PutChars(const char* values, uint32_t count) = 0;
  virtual GVirtualOutStream& PutCharValue(char value) = 0;
};

class GVirtualInStream : public GVirtualStreamState {
 public:
  // Arrays of a count the caller knows.
  virtual GVirtualInStream& GetULongs(uint32_t* values, uint32_t count) = 0;
  virtual GVirtualInStream& GetUInts(uint32_t* values, uint32_t count) = 0;
  virtual GVirtualInStream& GetUShorts(uint16_t* values, uint32_t count) = 0;
  virtual GVirtualInStream& GetUChars(uint8_t* values, uint32_t count) = 0;
  virtual GVirtualInStream& GetShorts(int16_t* values, uint32_t count) = 0;
  virtual GVirtualInStream& GetLongs(int32_t* values, uint32_t count) = 0;
  virtual GVirtualInStream& GetInts(int32_t* values, uint32_t count) = 0;
  virtual GVirtualInStream& GetFloats(float* values, uint32_t count) = 0;
  virtual GVirtualInStream& GetDoubles(double* values, uint32_t count) = 0;
  virtual GVirtualInStream& GetChars(char* values, uint32_t count) = 0;
  // One character read as a number.
  virtual GVirtualInStream& GetUCharValue(uint8_t& value) = 0;
  virtual GVirtualInStream& GetCharValue(char& value) = 0;
  // The next character as 0..255, or -1 at the end of the input.
  virtual int32_t Get() = 0;
  // A counted string into a buffer of size bytes, always NUL-terminated when
  // size is nonzero. A string longer than size - 1 is cut and sets failure.
  virtual GVirtualInStream& GetString(char* buffer, uint32_t size) = 0;
  virtual GVirtualInStream& GetULong(uint32_t& value) = 0;
  virtual GVirtualInStream& GetUInt(uint32_t& value) = 0;
  virtual GVirtualInStream& GetUShort(uint16_t& value) = 0;
  // One character read as a character.
  virtual GVirtualInStream& GetUChar(uint8_t& value) = 0;
  virtual GVirtualInStream& GetShort(int16_t& value) = 0;
  virtual GVirtualInStream& GetLong(int32_t& value) = 0;
  virtual GVirtualInStream& GetInt(int32_t& value) = 0;
  virtual GVirtualInStream& GetFloat(float& value) = 0;
  virtual GVirtualInStream& GetDouble(double& value) = 0;
  virtual GVirtualInStream& GetChar(char& value) = 0;

  // Stored counts are untrusted. Before allocating room for count values
  // whose native size is elementSize bytes, a reader asks whether the input
  // that is left can hold them in this stream's encoding; false means the
  // count is corrupt and the read must fail without allocating. Over a
  // channel that cannot seek the stream reads ahead to find out, in bounded
  // chunks as the bytes arrive, and answers false at the end of the input.
  virtual bool CanHold(uint32_t count, uint32_t elementSize) = 0;
};
