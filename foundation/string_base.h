#pragma once

#include <cstdint>

#include "foundation/string_kinds.h"

// The copy-on-write string that RWCString (8-bit characters) and RWWString
// (UTF-16 code units) are made of. A string is one pointer, to the text of a
// heap block whose header lies just before it; copies share the block, and
// every edit that would write into a shared block first takes a private copy.
//
// Positions and lengths are unsigned 32-bit; RW_NPOS means "no position".
// Case flags are 1 to fold letter case, 0 to compare exactly.
template <typename Char>
class GStringBase {
 public:
  using Kind = GStringKind<Char>;
  using String = typename Kind::String;
  using ViewType = typename Kind::SubString;
  using Block = GBasicStringBlock<Char>;

  // Empty strings share the kind's empty block; text constructors make a
  // block that fits exactly; one character gets the initial capacity.
  GStringBase();
  GStringBase(const Char* text);
  GStringBase(const Char* text, uint32_t n);
  GStringBase(Char c, uint32_t count);
  explicit GStringBase(Char c);
  explicit GStringBase(GStringCapacity capacity);
  // A copy of the viewed characters in a block of rounded capacity.
  GStringBase(const ViewType& view);
  GStringBase(const GStringBase& other);
  ~GStringBase();

  GStringBase& operator=(const GStringBase& other);
  // Empty text keeps a block that this string owns alone, with length 0.
  String& operator=(const Char* text);

  uint32_t Length() const { return GetBlock()->length; }
  const Char* Data() const { return text_; }
  uint32_t Capacity() const { return GetBlock()->capacity; }
  // Reallocates to exactly n when n exceeds the length and differs from the
  // capacity; answers the capacity.
  uint32_t Capacity(uint32_t n);

  // The core edit: replaces `removed` characters at pos by `inserted`
  // characters of text (none when text is null). A pos past the end is taken
  // as the end.
  String& Replace(uint32_t pos, uint32_t removed, const Char* text, uint32_t inserted);
  String& Append(const Char* text, uint32_t n);
  String& Append(const Char* text);
  String& Append(const String& other);
  String& Append(Char c, uint32_t n);
  String& Prepend(const Char* text, uint32_t n);
  String& Prepend(const Char* text);
  String& Prepend(const String& other);
  String& Prepend(Char c, uint32_t n);
  String& Insert(uint32_t pos, const Char* text);
  // Cuts to n characters, or pads with blanks up to n.
  void Resize(uint32_t n);

  // Three-way comparisons; see the kinds for how characters order.
  int Compare(const Char* text, int caseFlag = 0) const;
  int Compare(const String& other, int caseFlag = 0) const;

  // First position at or after start where the pattern of m characters
  // occurs; start itself for an empty pattern.
  uint32_t Find(const Char* pattern, uint32_t m, uint32_t start = 0, int caseFlag = 0) const;
  // These two stop at the first zero character; the InLength forms search
  // the whole length.
  uint32_t FindChar(Char c) const;
  uint32_t FindLastChar(Char c) const;
  uint32_t FindCharInLength(Char c) const;
  uint32_t FindLastCharInLength(Char c) const;
  // First character that is one of the set's.
  uint32_t FindAnyOf(const Char* set) const;
  uint32_t FindAnyOf(const Char* set, uint32_t count) const;

  uint32_t Hash(int caseFlag = 0) const;
  bool IsAscii() const;

  void MakeUpper();
  void MakeLower();
  // Raises the bounds error unless i < Length(); answers whether i is good.
  bool CheckIndex(uint32_t i) const;
  // Character i, writable, after the index check and unsharing. A failed
  // check hands out a scratch character, so a returning error handler never
  // leads to a write out of range.
  Char& CharAt(uint32_t i);

  // Views. Slice is not checked; SubString views the first match; Trim
  // leaves out leading (flag 1) and trailing (flag 2) runs of c. Both answer
  // the null view when there is nothing to show.
  ViewType Slice(uint32_t pos, uint32_t n);
  const ViewType Slice(uint32_t pos, uint32_t n) const;
  ViewType SubString(const Char* pattern, uint32_t start = 0, int caseFlag = 0);
  const ViewType SubString(const Char* pattern, uint32_t start = 0, int caseFlag = 0) const;
  ViewType Trim(int flags, Char c);
  const ViewType Trim(int flags, Char c) const;

  // Gives the string a private, exact-fit block when it shares one.
  void MakeUnique();
  // A copy with a block of its own.
  String Copy() const;
  // Readies the block to be filled with n characters by a restore: length
  // 0 in a block of at least n that no other string shares (for n = 0 it
  // may be the empty block).
  void Clobber(uint32_t n);

  // The capacity of a block that must hold n characters: the initial
  // capacity, or above it the next step of the resize increment.
  static uint32_t AdjustCapacity(uint32_t n);
  static uint32_t SetInitialCapacity(uint32_t n);
  static uint32_t SetResizeIncrement(uint32_t n);
  static uint32_t SetMaxWaste(uint32_t n);

  friend bool operator==(const String& a, const Char* b) { return a.Equals(b, TextLength(b)); }
  friend bool operator==(const String& a, const String& b) { return a.Equals(b.Data(), b.Length()); }
  friend String operator+(const String& a, const Char* b) {
    return Concatenate(a.Data(), a.Length(), b, TextLength(b));
  }
  friend String operator+(const Char* a, const String& b) {
    return Concatenate(a, TextLength(a), b.Data(), b.Length());
  }
  friend String operator+(const String& a, const String& b) {
    return Concatenate(a.Data(), a.Length(), b.Data(), b.Length());
  }

  // Copies with every character mapped through the locale's upper or lower case.
  friend String ToUpper(const String& text) { return Mapped(text, &String::MakeUpper); }
  friend String ToLower(const String& text) { return Mapped(text, &String::MakeLower); }
  // Hash with the case flag 0, for hash tables keyed by strings.
  friend uint32_t StringHash(const String& text) { return text.Hash(0); }

  // Length of NUL-terminated text; 0 for null.
  static uint32_t TextLength(const Char* text);

 protected:
  // Lets go of the block and takes a fresh one of the given capacity (the
  // empty block for 0) holding `length` characters still to be written; the
  // text to write them to is the answer.
  Char* Reset(uint32_t capacity, uint32_t length);
  // For the kinds' own edits, on a block that this string owns alone.
  Char* MutableText() { return text_; }
  void SetLength(uint32_t n);

 private:
  template <typename>
  friend class GSubStringBase;

  Block* GetBlock() const { return Block::OfText(text_); }
  // Where CharAt points after a failed index check.
  static Char& Scratch();
  bool IsShared() const;
  // The first block of a new string: fresh of the given capacity, or the
  // empty block for 0, holding `length` characters still to be written.
  Char* Start(uint32_t capacity, uint32_t length);
  void TakeEmpty();
  void Release();
  void MoveTo(Block* fresh);
  bool Equals(const Char* text, uint32_t n) const;
  // The edit behind Replace, Append and Prepend: `inserted` characters,
  // written by put, at pos in place of `removed`.
  template <typename Put>
  void Edit(uint32_t pos, uint32_t removed, uint32_t inserted, bool sourceInside, bool exactFit, Put put);
  ViewType MakeView(uint32_t start, uint32_t n) const;
  static String Concatenate(const Char* a, uint32_t na, const Char* b, uint32_t nb);
  static String Mapped(const String& text, void (GStringBase::*map)());

  Char* text_;
};
