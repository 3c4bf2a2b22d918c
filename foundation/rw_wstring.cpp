#include "foundation/rw_wstring.h"

#include <algorithm>
#include <array>
#include <cwctype>
#include <memory>
#include <string>

#include "foundation/binary_file.h"
#include "foundation/error.h"
#include "foundation/string_storage.h"
#include "foundation/virtual_stream.h"
#include "platform/code_page.h"

namespace {

GUnitLock wideLock;
GEmptyStringBlock<WideChar> wideEmpty;
GStringTuning wideTuning;

// Stored code units move through a buffer of 16-bit values in chunks of this
// many, so that no wide character is read through another type.
constexpr uint32_t kChunkUnits = 256;

// Calls move (first, n, chunk) over count units in chunks until it answers false.
template <typename Move>
void InChunks(uint32_t count, Move move) {
  uint16_t chunk[kChunkUnits];
  for (uint64_t first = 0; first < count; first += kChunkUnits) {
    const auto at = static_cast<uint32_t>(first);
    if (!move(at, std::min(kChunkUnits, count - at), chunk)) return;
  }
}

// Conversions from multibyte text of fewer than this many bytes stay off the heap.
constexpr uint32_t kStackUnits = 64;

}  // namespace

GUnitLock& GStringKind<WideChar>::Lock() { return wideLock; }
GWStringBlock* GStringKind<WideChar>::EmptyBlock() { return &wideEmpty.header; }
GStringTuning& GStringKind<WideChar>::Tuning() { return wideTuning; }

int GStringKind<WideChar>::FoldedOrder(WideChar c) { return static_cast<uint16_t>(ToLower(c)); }
// Simple case mappings keep characters of the 16-bit range inside it.
WideChar GStringKind<WideChar>::ToUpper(WideChar c) { return static_cast<WideChar>(std::towupper(c)); }
WideChar GStringKind<WideChar>::ToLower(WideChar c) { return static_cast<WideChar>(std::towlower(c)); }
uint32_t GStringKind<WideChar>::HashFolded(WideChar c) { return static_cast<uint16_t>(ToUpper(c)); }

bool GStringKind<WideChar>::CheckViewIndex(uint32_t index, uint32_t length) {
  if (index < length) return true;
  // The range names the last index that would have been good.
  RaiseBoundsError(GBoundsError(GMessage(MsgIndex(), index, length - 1)));
  return false;
}

RWWString::RWWString(const char* text) : RWWString(text, RWCString::TextLength(text)) {}

RWWString::RWWString(const char* text, uint32_t n) { Widen(text, n, n); }

RWWString::RWWString(const RWCString& text) { Widen(text.Data(), text.Length(), text.Length()); }

RWWString::RWWString(char c) {
  Widen(&c, 1, std::max<uint32_t>(wideTuning.initialCapacity.load(std::memory_order_relaxed), 1));
}

void RWWString::Widen(const char* text, uint32_t n, uint32_t capacity) {
  if (text == nullptr) n = 0;
  std::transform(text, text + n, Reset(n == 0 ? 0 : capacity, n),
                 [](char c) { return static_cast<WideChar>(static_cast<unsigned char>(c)); });
}

RWWString RWWString::FromMultibyte(const char* text) { return FromMultibyte(text, RWCString::TextLength(text)); }

RWWString RWWString::FromMultibyte(const RWCString& text) { return FromMultibyte(text.Data(), text.Length()); }

RWWString RWWString::FromMultibyte(const char* text, uint32_t n) {
  if (text == nullptr || n == 0) return RWWString();
  // A byte yields at most one code unit in every code page the system runs on.
  std::array<WideChar, kStackUnits> small;
  std::unique_ptr<WideChar[]> large;
  WideChar* buffer = small.data();
  if (n >= kStackUnits) {
    large = std::make_unique<WideChar[]>(size_t{n} + 1);
    buffer = large.get();
  }
  const int32_t units = platform::MultibyteToWide(text, n, buffer, n);
  if (units < 0) return RWWString();
  return RWWString(buffer, static_cast<uint32_t>(units));
}

RWWString& RWWString::Replace(uint32_t pos, uint32_t n, const WideChar* text) {
  return Replace(pos, n, text, TextLength(text));
}

bool RWWString::Contains(const WideChar* text, int caseFlag) const {
  return Find(text, TextLength(text), 0, caseFlag) != RW_NPOS;
}

RWCString RWWString::ToMultibyte() const {
  const uint64_t size = uint64_t{Length()} * platform::MaxBytesPerChar() + 1;
  if (size > 0xFFFFFFFFu) return RWCString();
  std::unique_ptr<char[]> buffer = std::make_unique<char[]>(size);
  const int32_t bytes = platform::WideToMultibyte(Data(), Length(), buffer.get(), static_cast<uint32_t>(size));
  if (bytes < 0) return RWCString();
  return RWCString(buffer.get(), static_cast<uint32_t>(bytes));
}

RWCString RWWString::ToAscii() const {
  std::string narrow(Length(), '\0');
  std::transform(Data(), Data() + Length(), narrow.begin(), [](WideChar c) { return static_cast<char>(c); });
  return RWCString(narrow.data(), Length());
}

int CompareWideNoCase(const WideChar* a, const WideChar* b) { return CompareWideNoCase(a, b, RW_NPOS); }

int CompareWideNoCase(const WideChar* a, const WideChar* b, uint32_t n) {
  for (uint32_t i = 0; i < n; ++i) {
    const int mine = static_cast<uint16_t>(GStringKind<WideChar>::ToUpper(a[i]));
    const int theirs = static_cast<uint16_t>(GStringKind<WideChar>::ToUpper(b[i]));
    // The terminator orders before every character, so a text that ends
    // first is the smaller one.
    if (mine != theirs) return mine > theirs ? 1 : -1;
    if (mine == 0) return 0;
  }
  return 0;
}

void RWWString::SaveTo(GVirtualOutStream& out) const {
  out.PutUInt(Length());
  InChunks(Length(), [&](uint32_t first, uint32_t n, uint16_t* chunk) {
    std::copy_n(Data() + first, n, chunk);
    return out.PutUShorts(chunk, n).IsGood();
  });
}

void RWWString::SaveTo(GBinaryFile& file) const {
  if (!file.Write(Length())) return;
  InChunks(Length(), [&](uint32_t first, uint32_t n, uint16_t* chunk) {
    std::copy_n(Data() + first, n, chunk);
    return file.Write(chunk, n);
  });
}

template <typename Read>
void RWWString::RestoreUnits(uint32_t count, Read read) {
  Clobber(count);
  if (count == 0) return;
  WideChar* text = MutableText();
  // Units that never arrive read as zeros, never as what the block held.
  std::fill_n(text, count, WideChar(0));
  InChunks(count, [&](uint32_t first, uint32_t n, uint16_t* chunk) {
    if (!read(chunk, n)) return false;
    std::transform(chunk, chunk + n, text + first, [](uint16_t unit) { return static_cast<WideChar>(unit); });
    return true;
  });
  SetLength(count);
}

void RWWString::RestoreFrom(GVirtualInStream& in) {
  uint32_t count = 0;
  in.GetUInt(count);
  if (!in.IsGood() || !HoldsStoredCount(in, count, sizeof(uint16_t))) return;
  RestoreUnits(count, [&](uint16_t* chunk, uint32_t n) { return in.GetUShorts(chunk, n).IsGood(); });
}

void RWWString::RestoreFrom(GBinaryFile& file) {
  uint32_t count = 0;
  if (!file.Read(count) || !HoldsStoredCount(file, count, sizeof(uint16_t))) return;
  RestoreUnits(count, [&](uint16_t* chunk, uint32_t n) { return file.Read(chunk, n); });
}
