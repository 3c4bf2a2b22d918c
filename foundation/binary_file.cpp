#include "foundation/binary_file.h"

#include <cstdint>
#include <cstring>
#include <limits>

namespace {

// The open mode kept with the name holds at most this many characters.
constexpr size_t kModeLength = 8;

template <typename T>
bool ReadCell(GBinaryFile& file, T*& cell) {
  cell = new T();
  return file.Read(*cell);
}

}  // namespace

GBinaryFile::GBinaryFile(const char* name, const char* mode) : name_(name) {
  if (mode) {
    Open(mode);
  } else if (!Open("rb+")) {
    Open("wb+");
  }
}

GBinaryFile::~GBinaryFile() {
  if (file_) std::fclose(file_);
}

bool GBinaryFile::Open(const char* mode) {
  mode_ = std::string(mode).substr(0, kModeLength);
  file_ = std::fopen(name_.c_str(), mode);
  last_ = LastTransfer::kNone;
  markedFailed_ = false;
  return file_ != nullptr;
}

bool GBinaryFile::Exists() const { return Exists(name_.c_str(), 0); }

bool GBinaryFile::Exists(const char* name) { return Exists(name, 0); }

int32_t GBinaryFile::Offset() const {
  if (!file_) return -1;
  const auto position = std::ftell(file_);
  if (position < 0 || position > std::numeric_limits<int32_t>::max()) return -1;
  return static_cast<int32_t>(position);
}

bool GBinaryFile::SeekTo(int32_t offset) {
  last_ = LastTransfer::kNone;
  return file_ && std::fseek(file_, offset, SEEK_SET) == 0;
}

bool GBinaryFile::SeekToEnd() {
  last_ = LastTransfer::kNone;
  return file_ && std::fseek(file_, 0, SEEK_END) == 0;
}

bool GBinaryFile::AtEnd() const { return file_ && std::feof(file_) != 0; }

bool GBinaryFile::Failed() const { return !file_ || markedFailed_ || std::ferror(file_) != 0; }

void GBinaryFile::ClearError() {
  markedFailed_ = false;
  if (file_) std::clearerr(file_);
}

bool GBinaryFile::Flush() {
  last_ = LastTransfer::kNone;
  return file_ && std::fflush(file_) == 0;
}

bool GBinaryFile::IsEmpty() { return Size() == 0; }

bool GBinaryFile::Erase() {
  const bool closed = file_ && std::fclose(file_) == 0;
  file_ = nullptr;
  const bool removed = std::remove(name_.c_str()) == 0;
  if (!closed || !removed) return false;
  file_ = std::fopen(name_.c_str(), "wb+");
  last_ = LastTransfer::kNone;
  markedFailed_ = false;
  return file_ != nullptr;
}

bool GBinaryFile::CanHold(uint32_t count, uint32_t elementSize) {
  const int64_t size = Size();
  const int32_t offset = Offset();
  if (size < 0 || offset < 0 || offset > size) return false;
  return uint64_t{count} * elementSize <= static_cast<uint64_t>(size - offset);
}

// The C library needs a seek between a write and a following read on the
// same stream, and the other way round.
void GBinaryFile::SwitchTo(LastTransfer transfer) {
  if (last_ != LastTransfer::kNone && last_ != transfer) std::fseek(file_, 0, SEEK_CUR);
  last_ = transfer;
}

bool GBinaryFile::ReadBytes(void* data, uint32_t count, uint32_t elementSize) {
  if (!file_) return false;
  SwitchTo(LastTransfer::kRead);
  return std::fread(data, elementSize, count, file_) == count;
}

bool GBinaryFile::WriteBytes(const void* data, uint32_t count, uint32_t elementSize) {
  if (!file_) return false;
  SwitchTo(LastTransfer::kWrite);
  return std::fwrite(data, elementSize, count, file_) == count;
}

bool GBinaryFile::ReadText(char* buffer, uint32_t size) {
  if (!file_ || size == 0) return false;
  SwitchTo(LastTransfer::kRead);
  for (uint32_t stored = 0;; ++stored) {
    const int c = std::getc(file_);
    if (c == EOF || c == 0) {
      buffer[stored] = '\0';
      return c == 0;
    }
    if (stored + 1 == size) {
      // No room for more than the terminator: the byte stays in the file.
      std::ungetc(c, file_);
      buffer[stored] = '\0';
      return false;
    }
    buffer[stored] = static_cast<char>(c);
  }
}

bool GBinaryFile::Read(char& value) { return ReadBytes(&value, 1, sizeof value); }
bool GBinaryFile::Read(uint8_t& value) { return ReadBytes(&value, 1, sizeof value); }
bool GBinaryFile::Read(int16_t& value) { return ReadBytes(&value, 1, sizeof value); }
bool GBinaryFile::Read(uint16_t& value) { return ReadBytes(&value, 1, sizeof value); }
bool GBinaryFile::Read(int32_t& value) { return ReadBytes(&value, 1, sizeof value); }
bool GBinaryFile::Read(uint32_t& value) { return ReadBytes(&value, 1, sizeof value); }
bool GBinaryFile::Read(float& value) { return ReadBytes(&value, 1, sizeof value); }
bool GBinaryFile::Read(double& value) { return ReadBytes(&value, 1, sizeof value); }
bool GBinaryFile::Read(char* values, uint32_t count) { return ReadBytes(values, count, sizeof *values); }
bool GBinaryFile::Read(uint8_t* values, uint32_t count) { return ReadBytes(values, count, sizeof *values); }
bool GBinaryFile::Read(int16_t* values, uint32_t count) { return ReadBytes(values, count, sizeof *values); }
bool GBinaryFile::Read(uint16_t* values, uint32_t count) { return ReadBytes(values, count, sizeof *values); }
bool GBinaryFile::Read(int32_t* values, uint32_t count) { return ReadBytes(values, count, sizeof *values); }
bool GBinaryFile::Read(uint32_t* values, uint32_t count) { return ReadBytes(values, count, sizeof *values); }
bool GBinaryFile::Read(float* values, uint32_t count) { return ReadBytes(values, count, sizeof *values); }
bool GBinaryFile::Read(double* values, uint32_t count) { return ReadBytes(values, count, sizeof *values); }

bool GBinaryFile::Write(char value) { return WriteBytes(&value, 1, sizeof value); }
bool GBinaryFile::Write(uint8_t value) { return WriteBytes(&value, 1, sizeof value); }
bool GBinaryFile::Write(int16_t value) { return WriteBytes(&value, 1, sizeof value); }
bool GBinaryFile::Write(uint16_t value) { return WriteBytes(&value, 1, sizeof value); }
bool GBinaryFile::Write(int32_t value) { return WriteBytes(&value, 1, sizeof value); }
bool GBinaryFile::Write(uint32_t value) { return WriteBytes(&value, 1, sizeof value); }
bool GBinaryFile::Write(float value) { return WriteBytes(&value, 1, sizeof value); }
bool GBinaryFile::Write(double value) { return WriteBytes(&value, 1, sizeof value); }
bool GBinaryFile::Write(const char* values, uint32_t count) { return WriteBytes(values, count, sizeof *values); }
bool GBinaryFile::Write(const uint8_t* values, uint32_t count) { return WriteBytes(values, count, sizeof *values); }
bool GBinaryFile::Write(const int16_t* values, uint32_t count) { return WriteBytes(values, count, sizeof *values); }
bool GBinaryFile::Write(const uint16_t* values, uint32_t count) { return WriteBytes(values, count, sizeof *values); }
bool GBinaryFile::Write(const int32_t* values, uint32_t count) { return WriteBytes(values, count, sizeof *values); }
bool GBinaryFile::Write(const uint32_t* values, uint32_t count) { return WriteBytes(values, count, sizeof *values); }
bool GBinaryFile::Write(const float* values, uint32_t count) { return WriteBytes(values, count, sizeof *values); }
bool GBinaryFile::Write(const double* values, uint32_t count) { return WriteBytes(values, count, sizeof *values); }

bool GBinaryFile::Write(const char* text) { return WriteBytes(text, static_cast<uint32_t>(std::strlen(text) + 1), 1); }

bool ReadIntoNewCell(GBinaryFile& file, char*& cell) { return ReadCell(file, cell); }
bool ReadIntoNewCell(GBinaryFile& file, uint8_t*& cell) { return ReadCell(file, cell); }
bool ReadIntoNewCell(GBinaryFile& file, int16_t*& cell) { return ReadCell(file, cell); }
bool ReadIntoNewCell(GBinaryFile& file, uint16_t*& cell) { return ReadCell(file, cell); }
bool ReadIntoNewCell(GBinaryFile& file, int32_t*& cell) { return ReadCell(file, cell); }
bool ReadIntoNewCell(GBinaryFile& file, uint32_t*& cell) { return ReadCell(file, cell); }
bool ReadIntoNewCell(GBinaryFile& file, float*& cell) { return ReadCell(file, cell); }
bool ReadIntoNewCell(GBinaryFile& file, double*& cell) { return ReadCell(file, cell); }
