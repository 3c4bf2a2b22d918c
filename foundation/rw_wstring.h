#pragma once

#include <cstdint>

#include "foundation/rw_cstring.h"
#include "foundation/string_base.h"
#include "foundation/sub_string.h"
#include "platform/wide_char.h"

// The wide string: UTF-16 code units in a shared, copy-on-write block (see
// GStringBase). It is the type of every name, key, file name and
// user-interface text.
//
// Two ways lead from narrow text to a wide string. The constructors from
// 8-bit text widen each byte to one code unit (no code page); FromMultibyte
// converts multibyte text in the ANSI code page.
class RWWString : public GStringBase<WideChar> {
 public:
  using GStringBase::GStringBase;
  using GStringBase::operator=;
  using GStringBase::Replace;

  explicit RWWString(const char* text);
  RWWString(const char* text, uint32_t n);
  explicit RWWString(const RWCString& text);
  // Capacity as for one code unit.
  explicit RWWString(char c);

  // The conversion of multibyte text; empty when the text does not convert.
  static RWWString FromMultibyte(const char* text);
  static RWWString FromMultibyte(const char* text, uint32_t n);
  static RWWString FromMultibyte(const RWCString& text);

  // Replaces n units at pos (taken as the end when past it) by text.
  RWWString& Replace(uint32_t pos, uint32_t n, const WideChar* text);
  bool Contains(const WideChar* text, int caseFlag = 0) const;

  // The text in the ANSI code page; empty when it does not convert.
  RWCString ToMultibyte() const;
  // The low byte of each code unit.
  RWCString ToAscii() const;

  // Stored form, on a virtual stream and in a binary file alike: the 32-bit
  // count, then the code units (in the machine's byte order in a file).
  void SaveTo(GVirtualOutStream& out) const;
  void SaveTo(GBinaryFile& file) const;
  // A count that cannot be read, or that the input cannot hold, leaves the
  // string as it was; the stream or file then reports the failure.
  void RestoreFrom(GVirtualInStream& in);
  void RestoreFrom(GBinaryFile& file);

 private:
  void Widen(const char* text, uint32_t n, uint32_t capacity);
  // Clobbers the block for count units and fills it through read, which
  // moves chunks of 16-bit values and answers whether they arrived.
  template <typename Read>
  void RestoreUnits(uint32_t count, Read read);
};

extern template class GStringBase<WideChar>;

// Case-insensitive comparisons of two NUL-terminated wide texts through
// towupper, whole or over at most n units: negative, 0 or positive.
int CompareWideNoCase(const WideChar* a, const WideChar* b);
int CompareWideNoCase(const WideChar* a, const WideChar* b, uint32_t n);
