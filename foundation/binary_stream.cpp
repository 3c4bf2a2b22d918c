#include "foundation/binary_stream.h"

#include <cstring>
#include <istream>
#include <ostream>

namespace {

GByteChannel* ChannelOrNull(GByteChannel* channel) { return channel ? channel : &NullByteChannel(); }

}  // namespace

GBinaryOutStream::GBinaryOutStream(GByteChannel* channel) : channel_(ChannelOrNull(channel)) {
  if (!channel) SetState(kBad);
}

GBinaryOutStream::GBinaryOutStream(std::ostream& stream) : GBinaryOutStream(stream.rdbuf()) {}

void GBinaryOutStream::PutRaw(const void* bytes, uint64_t count) {
  if (!WriteBytes(*channel_, bytes, static_cast<size_t>(count))) AddState(kFail);
}

void GBinaryOutStream::PutUnits(const void* values, uint32_t count, uint32_t unitSize) {
  PutRaw(values, uint64_t{count} * unitSize);
}

GVirtualOutStream& GBinaryOutStream::PutString(const char* text, uint32_t count) {
  PutUnits(&count, 1, sizeof count);
  PutRaw(text, count);
  return *this;
}

GVirtualOutStream& GBinaryOutStream::PutCString(const char* text) {
  return PutString(text, static_cast<uint32_t>(std::strlen(text)));
}

GVirtualOutStream& GBinaryOutStream::PutUShort(uint16_t value) { return PutUShorts(&value, 1); }
GVirtualOutStream& GBinaryOutStream::PutShort(int16_t value) { return PutShorts(&value, 1); }
GVirtualOutStream& GBinaryOutStream::PutULong(uint32_t value) { return PutULongs(&value, 1); }
GVirtualOutStream& GBinaryOutStream::PutLong(int32_t value) { return PutLongs(&value, 1); }
GVirtualOutStream& GBinaryOutStream::PutUInt(uint32_t value) { return PutUInts(&value, 1); }
GVirtualOutStream& GBinaryOutStream::PutInt(int32_t value) { return PutInts(&value, 1); }
GVirtualOutStream& GBinaryOutStream::PutFloat(float value) { return PutFloats(&value, 1); }
GVirtualOutStream& GBinaryOutStream::PutDouble(double value) { return PutDoubles(&value, 1); }

GVirtualOutStream& GBinaryOutStream::PutUChar(uint8_t value) {
  if (channel_->sputc(static_cast<char>(value)) == std::char_traits<char>::eof()) AddState(kFail);
  return *this;
}

GVirtualOutStream& GBinaryOutStream::PutChar(char value) { return PutUChar(static_cast<uint8_t>(value)); }
GVirtualOutStream& GBinaryOutStream::PutUCharValue(uint8_t value) { return PutUChar(value); }
GVirtualOutStream& GBinaryOutStream::PutCharValue(char value) { return PutUChar(static_cast<uint8_t>(value)); }

GVirtualOutStream& GBinaryOutStream::Flush() {
  if (channel_->pubsync() == -1) AddState(kBad);
  return *this;
}

GVirtualOutStream& GBinaryOutStream::PutDoubles(const double* values, uint32_t count) {
  PutUnits(values, count, sizeof *values);
  return *this;
}
GVirtualOutStream& GBinaryOutStream::PutFloats(const float* values, uint32_t count) {
  PutUnits(values, count, sizeof *values);
  return *this;
}
GVirtualOutStream& GBinaryOutStream::PutULongs(const uint32_t* values, uint32_t count) {
  PutUnits(values, count, sizeof *values);
  return *this;
}
GVirtualOutStream& GBinaryOutStream::PutLongs(const int32_t* values, uint32_t count) {
  PutUnits(values, count, sizeof *values);
  return *this;
}
GVirtualOutStream& GBinaryOutStream::PutUInts(const uint32_t* values, uint32_t count) {
  PutUnits(values, count, sizeof *values);
  return *this;
}
GVirtualOutStream& GBinaryOutStream::PutInts(const int32_t* values, uint32_t count) {
  PutUnits(values, count, sizeof *values);
  return *this;
}
GVirtualOutStream& GBinaryOutStream::PutUShorts(const uint16_t* values, uint32_t count) {
  PutUnits(values, count, sizeof *values);
  return *this;
}
GVirtualOutStream& GBinaryOutStream::PutShorts(const int16_t* values, uint32_t count) {
  PutUnits(values, count, sizeof *values);
  return *this;
}
GVirtualOutStream& GBinaryOutStream::PutUChars(const uint8_t* values, uint32_t count) {
  PutRaw(values, count);
  return *this;
}
GVirtualOutStream& GBinaryOutStream::PutChars(const char* values, uint32_t count) {
  PutRaw(values, count);
  return *this;
}

GBinaryInStream::GBinaryInStream(GByteChannel* channel) : channel_(ChannelOrNull(channel)) {
  if (!channel) SetState(kBad);
}

GBinaryInStream::GBinaryInStream(std::istream& stream) : GBinaryInStream(stream.rdbuf()) {}

bool GBinaryInStream::GetRaw(void* bytes, uint64_t count) {
  const size_t got = ReadBytes(*channel_, bytes, static_cast<size_t>(count));
  if (got == count) return true;
  std::memset(static_cast<char*>(bytes) + got, 0, static_cast<size_t>(count - got));
  AddState(kEof | kFail);
  return false;
}

void GBinaryInStream::GetUnits(void* values, uint32_t count, uint32_t unitSize, Width, bool) {
  GetRaw(values, uint64_t{count} * unitSize);
}

int32_t GBinaryInStream::NextByte() {
  const int next = channel_->sbumpc();
  if (next != std::char_traits<char>::eof()) return static_cast<uint8_t>(next);
  AddState(kEof | kFail);
  return -1;
}

void GBinaryInStream::GetCountedChars(char* buffer, uint32_t size, uint32_t count) {
  if (size == 0) {
    SkipBytes(*channel_, count);
    AddState(kFail);
    return;
  }
  const uint32_t kept = count < size ? count : size - 1;
  GetRaw(buffer, kept);
  buffer[kept] = '\0';
  if (kept == count || !IsGood()) return;
  // Too long for the buffer: the rest is skipped so the next value lines up.
  const uint64_t rest = uint64_t{count} - kept;
  if (SkipBytes(*channel_, rest) < rest) AddState(kEof);
  AddState(kFail);
}

GVirtualInStream& GBinaryInStream::GetString(char* buffer, uint32_t size) {
  uint32_t count = 0;
  GetUnits(&count, 1, sizeof count, Width::kSize, false);
  if (!IsGood()) {
    if (size != 0) buffer[0] = '\0';
    return *this;
  }
  GetCountedChars(buffer, size, count);
  return *this;
}

int32_t GBinaryInStream::Get() { return NextByte(); }

GVirtualInStream& GBinaryInStream::GetUChar(uint8_t& value) {
  // At the end of the data the character reads as 0xFF.
  value = static_cast<uint8_t>(NextByte());
  return *this;
}

GVirtualInStream& GBinaryInStream::GetChar(char& value) {
  value = static_cast<char>(NextByte());
  return *this;
}

GVirtualInStream& GBinaryInStream::GetUCharValue(uint8_t& value) { return GetUChar(value); }
GVirtualInStream& GBinaryInStream::GetCharValue(char& value) { return GetChar(value); }

GVirtualInStream& GBinaryInStream::GetULong(uint32_t& value) { return GetULongs(&value, 1); }
GVirtualInStream& GBinaryInStream::GetUInt(uint32_t& value) { return GetUInts(&value, 1); }
GVirtualInStream& GBinaryInStream::GetUShort(uint16_t& value) { return GetUShorts(&value, 1); }
GVirtualInStream& GBinaryInStream::GetShort(int16_t& value) { return GetShorts(&value, 1); }
GVirtualInStream& GBinaryInStream::GetLong(int32_t& value) { return GetLongs(&value, 1); }
GVirtualInStream& GBinaryInStream::GetInt(int32_t& value) { return GetInts(&value, 1); }
GVirtualInStream& GBinaryInStream::GetFloat(float& value) { return GetFloats(&value, 1); }
GVirtualInStream& GBinaryInStream::GetDouble(double& value) { return GetDoubles(&value, 1); }

GVirtualInStream& GBinaryInStream::GetULongs(uint32_t* values, uint32_t count) {
  GetUnits(values, count, sizeof *values, Width::kLong, false);
  return *this;
}
GVirtualInStream& GBinaryInStream::GetUInts(uint32_t* values, uint32_t count) {
  GetUnits(values, count, sizeof *values, Width::kInt, false);
  return *this;
}
GVirtualInStream& GBinaryInStream::GetUShorts(uint16_t* values, uint32_t count) {
  GetUnits(values, count, sizeof *values, Width::kShort, false);
  return *this;
}
GVirtualInStream& GBinaryInStream::GetShorts(int16_t* values, uint32_t count) {
  GetUnits(values, count, sizeof *values, Width::kShort, true);
  return *this;
}
GVirtualInStream& GBinaryInStream::GetLongs(int32_t* values, uint32_t count) {
  GetUnits(values, count, sizeof *values, Width::kLong, true);
  return *this;
}
GVirtualInStream& GBinaryInStream::GetInts(int32_t* values, uint32_t count) {
  GetUnits(values, count, sizeof *values, Width::kInt, true);
  return *this;
}
GVirtualInStream& GBinaryInStream::GetFloats(float* values, uint32_t count) {
  GetUnits(values, count, sizeof *values, Width::kRaw, true);
  return *this;
}
GVirtualInStream& GBinaryInStream::GetDoubles(double* values, uint32_t count) {
  GetUnits(values, count, sizeof *values, Width::kRaw, true);
  return *this;
}
GVirtualInStream& GBinaryInStream::GetUChars(uint8_t* values, uint32_t count) {
  GetRaw(values, count);
  return *this;
}
GVirtualInStream& GBinaryInStream::GetChars(char* values, uint32_t count) {
  GetRaw(values, count);
  return *this;
}

bool GBinaryInStream::CanHold(uint32_t count, uint32_t elementSize) {
  return HoldsBytes(uint64_t{count} * elementSize);
}

bool GBinaryInStream::HoldsBytes(uint64_t count) { return ChannelHolds(channel_, lookahead_, count); }
