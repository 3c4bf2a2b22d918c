#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// Fixed-width values and byte arrays at the current position of a named file,
// in the machine's byte order, through stdio's buffered file functions. Every
// operation answers true or false; the class never raises errors itself.
// Int and long are both 32 bits here, so one overload serves both.
class GBinaryFile {
 public:
  // With a mode, opens the file with it. Without one, opens an existing file
  // for reading and writing ("rb+") and, failing that, creates it ("wb+").
  // When no mode succeeds the file stays closed (IsOpen is false).
  explicit GBinaryFile(const char* name, const char* mode = nullptr);
  ~GBinaryFile();
  GBinaryFile(const GBinaryFile&) = delete;
  GBinaryFile& operator=(const GBinaryFile&) = delete;

  bool IsOpen() const { return file_ != nullptr; }
  std::FILE* File() const { return file_; }
  const char* Name() const { return name_.c_str(); }
  // The mode given, or the last one tried (at most 8 characters).
  const char* Mode() const { return mode_.c_str(); }

  // Whether the name exists on disk; the static forms test a given name,
  // optionally for an access mode (2 write, 4 read, 6 both).
  bool Exists() const;
  static bool Exists(const char* name);
  static bool Exists(const char* name, int32_t accessMode);

  // Current position; -1 when it is unknown or past 2 GB.
  int32_t Offset() const;
  bool SeekTo(int32_t offset);
  bool SeekToEnd();
  // The end-of-file and error flags of the stream, and clearing both.
  // Failed also answers true once a reader has marked the file failed.
  bool AtEnd() const;
  bool Failed() const;
  void ClearError();
  // Marks the file failed, as a read error would: a reader that finds the
  // data malformed (a stored count the file cannot hold, a bad reference)
  // says so to whoever tests Failed next. ClearError and reopening clear it.
  void MarkFailed() { markedFailed_ = true; }
  bool Flush();
  // The open file's size is 0.
  bool IsEmpty();
  // Closes and deletes the file, then creates it again empty ("wb+").
  bool Erase();

  // The size of the open file in bytes, buffered writes included; -1 when
  // it cannot be found. Implemented per platform.
  int64_t Size();

  // Stored lengths are untrusted: true when the bytes from the current
  // position to the end of the file can hold count values of elementSize
  // bytes. Readers check a length with it before allocating.
  bool CanHold(uint32_t count, uint32_t elementSize);

  bool Read(char& value);
  bool Read(uint8_t& value);
  bool Read(int16_t& value);
  bool Read(uint16_t& value);
  bool Read(int32_t& value);
  bool Read(uint32_t& value);
  bool Read(float& value);
  bool Read(double& value);
  bool Read(char* values, uint32_t count);
  bool Read(uint8_t* values, uint32_t count);
  bool Read(int16_t* values, uint32_t count);
  bool Read(uint16_t* values, uint32_t count);
  bool Read(int32_t* values, uint32_t count);
  bool Read(uint32_t* values, uint32_t count);
  bool Read(float* values, uint32_t count);
  bool Read(double* values, uint32_t count);
  // NUL-terminated text into a buffer of size bytes: the bytes up to and
  // including the first zero byte. The buffer is always terminated (when
  // size is nonzero); false when no zero byte came within size bytes or
  // before the end of the file.
  bool ReadText(char* buffer, uint32_t size);

  bool Write(char value);
  bool Write(uint8_t value);
  bool Write(int16_t value);
  bool Write(uint16_t value);
  bool Write(int32_t value);
  bool Write(uint32_t value);
  bool Write(float value);
  bool Write(double value);
  bool Write(const char* values, uint32_t count);
  bool Write(const uint8_t* values, uint32_t count);
  bool Write(const int16_t* values, uint32_t count);
  bool Write(const uint16_t* values, uint32_t count);
  bool Write(const int32_t* values, uint32_t count);
  bool Write(const uint32_t* values, uint32_t count);
  bool Write(const float* values, uint32_t count);
  bool Write(const double* values, uint32_t count);
  // NUL-terminated text with its terminator.
  bool Write(const char* text);

 private:
  enum class LastTransfer { kNone, kRead, kWrite };

  bool Open(const char* mode);
  bool ReadBytes(void* data, uint32_t count, uint32_t elementSize);
  bool WriteBytes(const void* data, uint32_t count, uint32_t elementSize);
  void SwitchTo(LastTransfer transfer);

  std::string name_;
  std::string mode_;
  std::FILE* file_ = nullptr;
  LastTransfer last_ = LastTransfer::kNone;
  bool markedFailed_ = false;
};

// Reads one value into a new heap cell of its type, stored in cell; the
// caller owns the cell (delete). The answer is the read's.
bool ReadIntoNewCell(GBinaryFile& file, char*& cell);
bool ReadIntoNewCell(GBinaryFile& file, uint8_t*& cell);
bool ReadIntoNewCell(GBinaryFile& file, int16_t*& cell);
bool ReadIntoNewCell(GBinaryFile& file, uint16_t*& cell);
bool ReadIntoNewCell(GBinaryFile& file, int32_t*& cell);
bool ReadIntoNewCell(GBinaryFile& file, uint32_t*& cell);
bool ReadIntoNewCell(GBinaryFile& file, float*& cell);
bool ReadIntoNewCell(GBinaryFile& file, double*& cell);
