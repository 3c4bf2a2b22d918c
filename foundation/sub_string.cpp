#include "foundation/sub_string.h"

#include <algorithm>

#include "foundation/rw_cstring.h"
#include "foundation/rw_wstring.h"

template <typename Char>
typename GSubStringBase<Char>::ViewType& GSubStringBase<Char>::operator=(const GSubStringBase& other) {
  Assign(other.Data(), other.Length());
  return static_cast<ViewType&>(*this);
}

template <typename Char>
typename GSubStringBase<Char>::ViewType& GSubStringBase<Char>::operator=(const String& text) {
  Assign(text.Data(), text.Length());
  return static_cast<ViewType&>(*this);
}

template <typename Char>
typename GSubStringBase<Char>::ViewType& GSubStringBase<Char>::operator=(const Char* text) {
  Assign(text, String::TextLength(text));
  return static_cast<ViewType&>(*this);
}

template <typename Char>
void GSubStringBase<Char>::Assign(const Char* text, uint32_t n) {
  if (IsNull()) return;
  string_->Replace(start_, length_, text, n);
  length_ = n;
}

template <typename Char>
uint32_t GSubStringBase<Char>::Length() const {
  const uint32_t available = string_->Length();
  if (IsNull() || start_ >= available) return 0;
  return std::min(length_, available - start_);
}

template <typename Char>
const Char* GSubStringBase<Char>::Data() const {
  return string_->Data() + (IsNull() ? 0 : std::min(start_, string_->Length()));
}

template <typename Char>
bool GSubStringBase<Char>::Equals(const Char* text, uint32_t n) const {
  return Length() == n && std::equal(Data(), Data() + n, text);
}

template <typename Char>
Char& GSubStringBase<Char>::CharAt(uint32_t i) {
  if (!Kind::CheckViewIndex(i, Length())) return String::Scratch();
  return CharAtUnchecked(i);
}

template <typename Char>
Char& GSubStringBase<Char>::CharAtUnchecked(uint32_t i) {
  string_->MakeUnique();
  return string_->MutableText()[start_ + i];
}

template <typename Char>
template <typename Map>
void GSubStringBase<Char>::MapCharacters(Map map) {
  const uint32_t n = Length();
  if (n == 0) return;
  string_->MakeUnique();
  Char* first = string_->MutableText() + start_;
  std::transform(first, first + n, first, map);
}

template <typename Char>
void GSubStringBase<Char>::MakeUpper() {
  MapCharacters(Kind::ToUpper);
}

template <typename Char>
void GSubStringBase<Char>::MakeLower() {
  MapCharacters(Kind::ToLower);
}

template class GSubStringBase<char>;
template class GSubStringBase<WideChar>;
