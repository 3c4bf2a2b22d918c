#pragma once

#include <cstdint>

#include "foundation/string_kinds.h"

// A view of part of a string: the string object, a start and a length. It
// owns no characters and is valid only while the viewed string lives and is
// not assigned anew. The null view (start RW_NPOS, length 0) is what a failed
// search or an emptied trim answers.
//
// Assigning to a view replaces the viewed characters in the string.
template <typename Char>
class GSubStringBase {
 public:
  using Kind = GStringKind<Char>;
  using String = typename Kind::String;
  using ViewType = typename Kind::SubString;

  GSubStringBase(String* string, uint32_t start, uint32_t length)
      : string_(string), start_(start), length_(start == RW_NPOS ? 0 : length) {}
  GSubStringBase(const GSubStringBase&) = default;

  // Each replaces the viewed characters (Replace at the view's start over its
  // length) and takes the new length; a null view ignores them.
  ViewType& operator=(const GSubStringBase& other);
  ViewType& operator=(const String& text);
  ViewType& operator=(const Char* text);

  bool IsNull() const { return start_ == RW_NPOS; }
  uint32_t Start() const { return start_; }
  // The viewed characters, kept inside the string as it is now.
  uint32_t Length() const;
  const Char* Data() const;

  // Character i of the view, writable, after the index check and unsharing
  // the string; the unchecked form only unshares.
  Char& CharAt(uint32_t i);
  Char& CharAtUnchecked(uint32_t i);
  void MakeUpper();
  void MakeLower();

  // Same characters, same length; a null view counts as empty.
  friend bool operator==(const ViewType& a, const Char* b) { return a.Equals(b, String::TextLength(b)); }
  friend bool operator==(const ViewType& a, const String& b) { return a.Equals(b.Data(), b.Length()); }
  friend bool operator==(const ViewType& a, const ViewType& b) { return a.Equals(b.Data(), b.Length()); }

 private:
  void Assign(const Char* text, uint32_t n);
  bool Equals(const Char* text, uint32_t n) const;
  template <typename Map>
  void MapCharacters(Map map);

  String* string_;
  uint32_t start_;
  uint32_t length_;
};

class GSubString final : public GSubStringBase<char> {
 public:
  using GSubStringBase::GSubStringBase;
  using GSubStringBase::operator=;
};

class GWSubString final : public GSubStringBase<WideChar> {
 public:
  using GSubStringBase::GSubStringBase;
  using GSubStringBase::operator=;
};
