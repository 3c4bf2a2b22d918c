#pragma once

#include <cstdint>

#include "foundation/string_base.h"
#include "foundation/sub_string.h"

class GBinaryFile;
class GRegex;
class GVirtualInStream;
class GVirtualOutStream;

// The narrow string: 8-bit characters in a shared, copy-on-write block (see
// GStringBase). It serves narrow literals, registry and printer-language
// text, class names and the persistence code. A string may hold zero bytes
// of its own inside its length.
class RWCString : public GStringBase<char> {
 public:
  using GStringBase::GStringBase;
  using GStringBase::operator=;

  // Order in the current locale's collation against text.
  int Collate(const char* text) const;
  // The locale's collation transform of the text; empty when it fails.
  RWCString CollationKey() const;
  // Multibyte characters up to the length or the first zero byte; RW_NPOS on
  // an invalid sequence or a character that runs past the length.
  uint32_t MultibyteLength() const;

  // Stored form on a virtual stream: the length, then the text as a counted
  // string (as bare characters for a stream of format version 0). In a
  // binary file: the 32-bit length, then the bytes.
  void SaveTo(GVirtualOutStream& out) const;
  void SaveTo(GBinaryFile& file) const;
  // A length that cannot be read, or that the input cannot hold, leaves the
  // string as it was; the stream or file then reports the failure.
  void RestoreFrom(GVirtualInStream& in);
  void RestoreFrom(GBinaryFile& file);

  // The first match of an expression at or after start: its position (RW_NPOS
  // without one) and length, or a view of it (the null view without one).
  uint32_t Index(const GRegex& expression, uint32_t* length, uint32_t start) const;
  uint32_t Index(const GRegex& expression, uint32_t start = 0) const;
  GSubString SliceMatching(const GRegex& expression, uint32_t start = 0);
};

// The name of a class as the class factory knows it.
class RWStringID : public RWCString {
 public:
  RWStringID(const char* name) : RWCString(name) {}
};

extern template class GStringBase<char>;
