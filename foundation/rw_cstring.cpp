#include "foundation/rw_cstring.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "foundation/binary_file.h"
#include "foundation/error.h"
#include "foundation/string_storage.h"
#include "foundation/virtual_stream.h"
#include "platform/code_page.h"

namespace {

GUnitLock narrowLock;
GEmptyStringBlock<char> narrowEmpty;
GStringTuning narrowTuning;

}  // namespace

GUnitLock& GStringKind<char>::Lock() { return narrowLock; }
GStringBlock* GStringKind<char>::EmptyBlock() { return &narrowEmpty.header; }
GStringTuning& GStringKind<char>::Tuning() { return narrowTuning; }

int GStringKind<char>::FoldedOrder(char c) { return static_cast<signed char>(ToLower(c)); }
char GStringKind<char>::ToUpper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }
char GStringKind<char>::ToLower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }
uint32_t GStringKind<char>::HashFolded(char c) {
  return static_cast<uint32_t>(std::toupper(static_cast<unsigned char>(c)));
}
bool GStringKind<char>::CheckViewIndex(uint32_t index, uint32_t length) { return CheckIndex(index, length); }

int RWCString::Collate(const char* text) const { return std::strcoll(Data(), text ? text : ""); }

RWCString RWCString::CollationKey() const {
  const size_t needed = std::strxfrm(nullptr, Data(), 0);
  std::vector<char> key(needed + 1);
  if (std::strxfrm(key.data(), Data(), key.size()) >= key.size()) return RWCString();
  return RWCString(key.data());
}

uint32_t RWCString::MultibyteLength() const {
  const uint32_t length = Length();
  uint32_t count = 0;
  for (uint32_t i = 0; i < length && Data()[i] != 0; ++count) {
    const int32_t bytes = platform::MultibyteCharLength(Data() + i, length - i);
    if (bytes <= 0) return RW_NPOS;
    i += static_cast<uint32_t>(bytes);
  }
  return count;
}

void RWCString::SaveTo(GVirtualOutStream& out) const {
  out.PutUInt(Length());
  if (out.FormatVersion() != 0) {
    out.PutString(Data(), Length());
  } else {
    out.PutChars(Data(), Length());
  }
}

void RWCString::RestoreFrom(GVirtualInStream& in) {
  uint32_t length = 0;
  in.GetUInt(length);
  if (!in.IsGood() || !HoldsStoredCount(in, length, 1)) return;
  Clobber(length);
  // An empty string may hold the shared empty block, which is never written;
  // its counted form still has to be read.
  char nothing[1];
  char* text = length == 0 ? nothing : MutableText();
  // A stored text shorter than its stated length leaves zeros behind, never
  // what the block held before.
  std::fill_n(text, length + 1, '\0');
  if (in.FormatVersion() != 0) {
    in.GetString(text, length + 1);
  } else {
    in.GetChars(text, length);
  }
  SetLength(length);
}

void RWCString::SaveTo(GBinaryFile& file) const {
  if (file.Write(Length())) file.Write(Data(), Length());
}

void RWCString::RestoreFrom(GBinaryFile& file) {
  uint32_t length = 0;
  if (!file.Read(length) || !HoldsStoredCount(file, length, 1)) return;
  Clobber(length);
  if (length == 0) return;
  char* text = MutableText();
  if (!file.Read(text, length)) std::fill_n(text, length, '\0');
  SetLength(length);
}
