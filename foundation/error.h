#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

#include "foundation/message.h"

class GStreamStateAdapter;

// The class library never throws. A fault becomes an error object that is
// handed to one process-wide, installable handler; the default handler shows
// the text and ends the process. Code after a raise keeps its data valid,
// because a handler installed by a test may return.
class GError {
 public:
  explicit GError(const char* text);
  explicit GError(const GMessage& message);
  // Copies text when ownsText is set; otherwise keeps the caller's pointer,
  // which must outlive the error.
  GError(const char* text, bool ownsText);
  GError(const GError& other);
  GError& operator=(const GError&) = delete;
  virtual ~GError();

  const char* Text() const { return text_; }
  bool OwnsText() const { return owned_ != nullptr; }

 private:
  void Adopt(const char* text);

  std::unique_ptr<char[]> owned_;
  const char* text_;
};

// Out of memory. The text is the static "[NOMEM]" format, never a copy,
// because there may be no memory to copy it into.
class GAllocationError : public GError {
 public:
  explicit GAllocationError(uint32_t requestedSize);
  uint32_t RequestedSize() const { return requestedSize_; }

 private:
  uint32_t requestedSize_;
};

// Faults caused outside the program: data read back that is not what was written.
class GExternalError : public GError {
 public:
  using GError::GError;
};

// A file read, write or seek that failed.
class GFileError : public GExternalError {
 public:
  enum Kind : int32_t { kSeek = 1, kRead = 2, kWrite = 3 };

  GFileError(const char* text, std::FILE* file, Kind kind);
  GFileError(const GMessage& message, std::FILE* file, Kind kind);
  std::FILE* File() const { return file_; }
  Kind ErrorKind() const { return kind_; }

 private:
  std::FILE* file_;
  Kind kind_;
};

// A virtual stream whose header or contents are bad.
class GStreamError : public GExternalError {
 public:
  GStreamError(const char* text, const GStreamStateAdapter* stream);
  GStreamError(const GMessage& message, const GStreamStateAdapter* stream);
  const GStreamStateAdapter* Stream() const { return stream_; }

 private:
  const GStreamStateAdapter* stream_;
};

// Faults of the program's own logic: a bad persistence reference, a class
// with no create function.
class GInternalError : public GError {
 public:
  using GError::GError;
};

// An index out of range.
class GBoundsError : public GInternalError {
 public:
  using GInternalError::GInternalError;
};

using GErrorHandler = void (*)(const GError* error);

// Installs a handler and returns the one it replaces; null restores the default.
GErrorHandler SetErrorHandler(GErrorHandler handler);

// Shows the error's text captioned "Fatal Error" and ends the process with 1.
void DefaultErrorHandler(const GError* error);

void RaiseError(const GError& error);
void RaiseAllocationError(const GAllocationError& error);
void RaiseExternalError(const GExternalError& error);
void RaiseFileError(const GFileError& error);
void RaiseStreamError(const GStreamError& error);
void RaiseInternalError(const GInternalError& error);
void RaiseBoundsError(const GBoundsError& error);

// The bounds check that strings, lists, vectors and collections share: true
// when index < count; otherwise raises "[NPOSINDEX]" for 0xFFFFFFFF or
// "[INDEXERR]" (index, count) and answers false, so the caller can leave
// without touching the element.
bool CheckIndex(uint32_t index, uint32_t count);
