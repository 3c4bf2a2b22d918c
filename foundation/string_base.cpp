#include "foundation/string_base.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>
#include <mutex>
#include <new>
#include <type_traits>

#include "foundation/error.h"
#include "foundation/rw_cstring.h"
#include "foundation/rw_wstring.h"
#include "foundation/sub_string.h"

namespace {

// Blocks come from operator new; a size past what the address space holds
// asks for the impossible, so the allocator fails as for any exhausted heap.
template <typename Char>
GBasicStringBlock<Char>* AllocateBlock(uint32_t capacity) {
  using Block = GBasicStringBlock<Char>;
  const uint64_t bytes = sizeof(Block) + (uint64_t{capacity} + 1) * sizeof(Char);
  const size_t request =
      bytes > std::numeric_limits<size_t>::max() ? std::numeric_limits<size_t>::max() : static_cast<size_t>(bytes);
  Block* block = new (::operator new(request)) Block{0, capacity, 0};
  block->Text()[0] = 0;
  return block;
}

template <typename Char>
void FreeBlock(GBasicStringBlock<Char>* block) {
  ::operator delete(block);
}

// Every position in [begin, end) of text, or RW_NPOS.
template <typename Char, typename Match>
uint32_t FirstWhere(const Char* text, uint32_t begin, uint32_t end, Match match) {
  for (uint32_t i = begin; i < end; ++i) {
    if (match(text[i])) return i;
  }
  return RW_NPOS;
}

template <typename Char, typename Match>
uint32_t LastWhere(const Char* text, uint32_t end, Match match) {
  for (uint32_t i = end; i > 0; --i) {
    if (match(text[i - 1])) return i - 1;
  }
  return RW_NPOS;
}

template <typename Char>
uint32_t FirstZeroOrLength(const Char* text, uint32_t length) {
  const uint32_t zero = FirstWhere(text, 0, length, [](Char c) { return c == 0; });
  return zero == RW_NPOS ? length : zero;
}

uint32_t RotateLeft5(uint32_t h) { return (h << 5) | (h >> 27); }

}  // namespace

// Construction and assignment.

template <typename Char>
GStringBase<Char>::GStringBase() {
  TakeEmpty();
}

template <typename Char>
GStringBase<Char>::GStringBase(const Char* text) : GStringBase(text, TextLength(text)) {}

template <typename Char>
GStringBase<Char>::GStringBase(const Char* text, uint32_t n) {
  if (text == nullptr) n = 0;
  std::copy_n(text, n, Start(n, n));
}

template <typename Char>
GStringBase<Char>::GStringBase(Char c, uint32_t count) {
  std::fill_n(Start(count, count), count, c);
}

template <typename Char>
GStringBase<Char>::GStringBase(Char c) {
  const uint32_t capacity = std::max<uint32_t>(Kind::Tuning().initialCapacity.load(std::memory_order_relaxed), 1);
  Start(capacity, 1)[0] = c;
}

template <typename Char>
GStringBase<Char>::GStringBase(GStringCapacity capacity) {
  Start(capacity.n, 0);
}

template <typename Char>
GStringBase<Char>::GStringBase(const ViewType& view) {
  const uint32_t n = view.Length();
  std::copy_n(view.Data(), n, Start(AdjustCapacity(n), n));
}

template <typename Char>
GStringBase<Char>::GStringBase(const GStringBase& other) : text_(other.text_) {
  AddReference(GetBlock()->refs, Kind::Lock());
}

template <typename Char>
GStringBase<Char>::~GStringBase() {
  Release();
}

template <typename Char>
GStringBase<Char>& GStringBase<Char>::operator=(const GStringBase& other) {
  if (other.text_ != text_) {
    AddReference(other.GetBlock()->refs, Kind::Lock());
    Release();
    text_ = other.text_;
  }
  return *this;
}

template <typename Char>
typename GStringBase<Char>::String& GStringBase<Char>::operator=(const Char* text) {
  const uint32_t n = TextLength(text);
  if (n != 0) return Replace(0, Length(), text, n);
  if (IsShared() || GetBlock() == Kind::EmptyBlock()) {
    Release();
    TakeEmpty();
  } else {
    SetLength(0);
  }
  return static_cast<String&>(*this);
}

// Blocks and sharing.

template <typename Char>
void GStringBase<Char>::TakeEmpty() {
  Block* empty = Kind::EmptyBlock();
  AddReference(empty->refs, Kind::Lock());
  text_ = empty->Text();
}

template <typename Char>
void GStringBase<Char>::Release() {
  Block* block = GetBlock();
  if (ReleaseReference(block->refs, Kind::Lock()) == 0 && block != Kind::EmptyBlock()) FreeBlock(block);
}

template <typename Char>
bool GStringBase<Char>::IsShared() const {
  return ReadReference(GetBlock()->refs, Kind::Lock()) + 1u > 1u;
}

template <typename Char>
Char* GStringBase<Char>::Start(uint32_t capacity, uint32_t length) {
  if (capacity == 0) {
    TakeEmpty();
  } else {
    text_ = AllocateBlock<Char>(capacity)->Text();
  }
  SetLength(length);
  return text_;
}

template <typename Char>
Char* GStringBase<Char>::Reset(uint32_t capacity, uint32_t length) {
  Release();
  return Start(capacity, length);
}

template <typename Char>
void GStringBase<Char>::SetLength(uint32_t n) {
  // The shared empty block holds nothing and is never written.
  if (GetBlock() == Kind::EmptyBlock()) return;
  GetBlock()->length = n;
  text_[n] = 0;
}

template <typename Char>
void GStringBase<Char>::MoveTo(Block* fresh) {
  Release();
  text_ = fresh->Text();
}

template <typename Char>
Char& GStringBase<Char>::Scratch() {
  thread_local Char scratch;
  scratch = 0;
  return scratch;
}

template <typename Char>
uint32_t GStringBase<Char>::AdjustCapacity(uint32_t n) {
  GStringTuning& tuning = Kind::Tuning();
  const uint32_t initial = tuning.initialCapacity.load(std::memory_order_relaxed);
  if (n <= initial) return initial;
  const uint64_t step = std::max<uint32_t>(tuning.resizeIncrement.load(std::memory_order_relaxed), 1);
  const uint64_t rounded = initial + step * ((n - initial + step - 1) / step);
  // Rounding past the largest length would wrap to a block too small for n.
  return rounded > std::numeric_limits<uint32_t>::max() ? n : static_cast<uint32_t>(rounded);
}

template <typename Char>
uint32_t GStringBase<Char>::SetInitialCapacity(uint32_t n) {
  return Kind::Tuning().initialCapacity.exchange(n, std::memory_order_relaxed);
}

template <typename Char>
uint32_t GStringBase<Char>::SetResizeIncrement(uint32_t n) {
  return Kind::Tuning().resizeIncrement.exchange(n, std::memory_order_relaxed);
}

template <typename Char>
uint32_t GStringBase<Char>::SetMaxWaste(uint32_t n) {
  return Kind::Tuning().maxWaste.exchange(n, std::memory_order_relaxed);
}

template <typename Char>
uint32_t GStringBase<Char>::Capacity(uint32_t n) {
  const uint32_t length = Length();
  if (n > length && n != Capacity()) {
    Block* fresh = AllocateBlock<Char>(n);
    std::copy_n(text_, length + 1, fresh->Text());
    fresh->length = length;
    MoveTo(fresh);
  }
  return Capacity();
}

template <typename Char>
void GStringBase<Char>::MakeUnique() {
  if (!IsShared()) return;
  const uint32_t length = Length();
  Block* fresh = AllocateBlock<Char>(length);
  std::copy_n(text_, length + 1, fresh->Text());
  fresh->length = length;
  MoveTo(fresh);
}

template <typename Char>
typename GStringBase<Char>::String GStringBase<Char>::Copy() const {
  return String(text_, Length());
}

template <typename Char>
void GStringBase<Char>::Clobber(uint32_t n) {
  if (IsShared() || Capacity() < n) {
    Reset(n, 0);
  } else {
    SetLength(0);
  }
}

// Edits.

template <typename Char>
template <typename Put>
void GStringBase<Char>::Edit(uint32_t pos, uint32_t removed, uint32_t inserted, bool sourceInside, bool exactFit,
                             Put put) {
  Block* block = GetBlock();
  const uint32_t length = block->length;
  pos = std::min(pos, length);
  removed = std::min(removed, length - pos);
  const uint32_t kept = length - removed;
  if (inserted > std::numeric_limits<uint32_t>::max() - kept) {
    // No string of that length can exist; refuse before anything is copied.
    RaiseAllocationError(GAllocationError(std::numeric_limits<uint32_t>::max()));
    return;
  }
  const uint32_t newLength = kept + inserted;
  const uint32_t tail = kept - pos;
  const uint32_t maxWaste = Kind::Tuning().maxWaste.load(std::memory_order_relaxed);
  const bool wasteful = newLength < length && block->capacity - newLength > maxWaste;
  if (block->capacity < newLength || wasteful || sourceInside || IsShared()) {
    Block* fresh = AllocateBlock<Char>(exactFit ? newLength : AdjustCapacity(newLength));
    Char* target = fresh->Text();
    std::copy_n(text_, pos, target);
    put(target + pos);
    std::copy_n(text_ + pos + removed, tail, target + pos + inserted);
    fresh->length = newLength;
    target[newLength] = 0;
    MoveTo(fresh);
  } else {
    std::memmove(text_ + pos + inserted, text_ + pos + removed, tail * sizeof(Char));
    put(text_ + pos);
    SetLength(newLength);
  }
}

template <typename Char>
typename GStringBase<Char>::String& GStringBase<Char>::Replace(uint32_t pos, uint32_t removed, const Char* text,
                                                               uint32_t inserted) {
  if (text == nullptr) inserted = 0;
  // Text taken from this string's own characters would move under the copy.
  const std::less<const Char*> before;
  const bool inside = text != nullptr && !before(text, text_) && before(text, text_ + Length());
  Edit(pos, removed, inserted, inside, false, [&](Char* to) { std::copy_n(text, inserted, to); });
  return static_cast<String&>(*this);
}

template <typename Char>
typename GStringBase<Char>::String& GStringBase<Char>::Append(const Char* text, uint32_t n) {
  return Replace(Length(), 0, text, n);
}

template <typename Char>
typename GStringBase<Char>::String& GStringBase<Char>::Append(const Char* text) {
  return Append(text, TextLength(text));
}

template <typename Char>
typename GStringBase<Char>::String& GStringBase<Char>::Append(const String& other) {
  return Append(other.Data(), other.Length());
}

template <typename Char>
typename GStringBase<Char>::String& GStringBase<Char>::Append(Char c, uint32_t n) {
  if (n != 0) Edit(Length(), 0, n, false, true, [&](Char* to) { std::fill_n(to, n, c); });
  return static_cast<String&>(*this);
}

template <typename Char>
typename GStringBase<Char>::String& GStringBase<Char>::Prepend(const Char* text, uint32_t n) {
  return Replace(0, 0, text, n);
}

template <typename Char>
typename GStringBase<Char>::String& GStringBase<Char>::Prepend(const Char* text) {
  return Prepend(text, TextLength(text));
}

template <typename Char>
typename GStringBase<Char>::String& GStringBase<Char>::Prepend(const String& other) {
  return Prepend(other.Data(), other.Length());
}

template <typename Char>
typename GStringBase<Char>::String& GStringBase<Char>::Prepend(Char c, uint32_t n) {
  if (n != 0) Edit(0, 0, n, false, false, [&](Char* to) { std::fill_n(to, n, c); });
  return static_cast<String&>(*this);
}

template <typename Char>
typename GStringBase<Char>::String& GStringBase<Char>::Insert(uint32_t pos, const Char* text) {
  return Replace(pos, 0, text, TextLength(text));
}

template <typename Char>
void GStringBase<Char>::Resize(uint32_t n) {
  const uint32_t length = Length();
  if (n < length) {
    Replace(n, length - n, nullptr, 0);
  } else {
    Append(Char(' '), n - length);
  }
}

template <typename Char>
void GStringBase<Char>::MakeUpper() {
  MakeUnique();
  std::transform(text_, text_ + Length(), text_, Kind::ToUpper);
}

template <typename Char>
void GStringBase<Char>::MakeLower() {
  MakeUnique();
  std::transform(text_, text_ + Length(), text_, Kind::ToLower);
}

template <typename Char>
bool GStringBase<Char>::CheckIndex(uint32_t i) const {
  return ::CheckIndex(i, Length());
}

template <typename Char>
Char& GStringBase<Char>::CharAt(uint32_t i) {
  if (!CheckIndex(i)) return Scratch();
  MakeUnique();
  return text_[i];
}

// Queries.

template <typename Char>
uint32_t GStringBase<Char>::TextLength(const Char* text) {
  if (text == nullptr) return 0;
  uint32_t n = 0;
  while (text[n] != 0) ++n;
  return n;
}

template <typename Char>
bool GStringBase<Char>::Equals(const Char* text, uint32_t n) const {
  return Length() == n && std::equal(text_, text_ + n, text);
}

template <typename Char>
int GStringBase<Char>::Compare(const Char* text, int caseFlag) const {
  if (text == nullptr) text = Kind::EmptyBlock()->Text();
  const auto order = caseFlag ? Kind::FoldedOrder : Kind::Order;
  const uint32_t length = Length();
  uint32_t i = 0;
  for (; text[i] != 0; ++i) {
    if (i == length) return -1;
    const int mine = order(text_[i]);
    const int theirs = order(text[i]);
    if (mine != theirs) return mine > theirs ? 1 : -1;
  }
  return length > i ? 1 : 0;
}

template <typename Char>
int GStringBase<Char>::Compare(const String& other, int caseFlag) const {
  const uint32_t length = Length();
  const uint32_t otherLength = other.Length();
  const uint32_t common = std::min(length, otherLength);
  if (caseFlag == 0) {
    // Bytes in storage order; the result is handed on as it comes.
    const int bytes = std::memcmp(text_, other.Data(), size_t{common} * sizeof(Char));
    if (bytes != 0) return bytes;
  } else {
    for (uint32_t i = 0; i < common; ++i) {
      const int mine = Kind::FoldedOrder(text_[i]);
      const int theirs = Kind::FoldedOrder(other.Data()[i]);
      if (mine != theirs) return mine > theirs ? 1 : -1;
    }
  }
  if (length == otherLength) return 0;
  return length > otherLength ? 1 : -1;
}

template <typename Char>
uint32_t GStringBase<Char>::Find(const Char* pattern, uint32_t m, uint32_t start, int caseFlag) const {
  const uint32_t length = Length();
  if (uint64_t{start} + m > length) return RW_NPOS;
  if (m == 0) return start;
  if (pattern == nullptr) return RW_NPOS;
  const auto order = caseFlag ? Kind::FoldedOrder : Kind::Order;
  const auto same = [&](Char a, Char b) { return order(a) == order(b); };
  for (uint32_t i = start; i <= length - m; ++i) {
    if (std::equal(pattern, pattern + m, text_ + i, same)) return i;
  }
  return RW_NPOS;
}

template <typename Char>
uint32_t GStringBase<Char>::FindChar(Char c) const {
  return FirstWhere(text_, 0, FirstZeroOrLength(text_, Length()), [c](Char x) { return x == c; });
}

template <typename Char>
uint32_t GStringBase<Char>::FindLastChar(Char c) const {
  return LastWhere(text_, FirstZeroOrLength(text_, Length()), [c](Char x) { return x == c; });
}

template <typename Char>
uint32_t GStringBase<Char>::FindCharInLength(Char c) const {
  return FirstWhere(text_, 0, Length(), [c](Char x) { return x == c; });
}

template <typename Char>
uint32_t GStringBase<Char>::FindLastCharInLength(Char c) const {
  return LastWhere(text_, Length(), [c](Char x) { return x == c; });
}

template <typename Char>
uint32_t GStringBase<Char>::FindAnyOf(const Char* set) const {
  return FindAnyOf(set, TextLength(set));
}

template <typename Char>
uint32_t GStringBase<Char>::FindAnyOf(const Char* set, uint32_t count) const {
  if (set == nullptr) return RW_NPOS;
  return FirstWhere(text_, 0, Length(), [&](Char x) { return std::find(set, set + count, x) != set + count; });
}

template <typename Char>
uint32_t GStringBase<Char>::Hash(int caseFlag) const {
  const uint32_t length = Length();
  uint32_t h = length;
  if (caseFlag != 0) {
    for (uint32_t i = 0; i < length; ++i) h = Kind::HashFolded(text_[i]) ^ RotateLeft5(h);
    return h;
  }
  // Whole 32-bit groups read least significant character first, then the
  // characters left over gathered into one word.
  constexpr uint32_t kPerWord = sizeof(uint32_t) / sizeof(Char);
  constexpr uint32_t kBits = 8 * sizeof(Char);
  const uint32_t whole = length - length % kPerWord;
  for (uint32_t i = 0; i < whole; i += kPerWord) {
    uint32_t word = 0;
    for (uint32_t k = kPerWord; k > 0; --k) {
      word = (word << kBits) | static_cast<std::make_unsigned_t<Char>>(text_[i + k - 1]);
    }
    h = word ^ RotateLeft5(h);
  }
  if (whole == length) return h;
  uint32_t rest = 0;
  for (uint32_t i = whole; i < length; ++i) rest = (rest << kBits) | Kind::HashTail(text_[i]);
  return RotateLeft5(h) ^ rest;
}

template <typename Char>
bool GStringBase<Char>::IsAscii() const {
  return std::all_of(text_, text_ + Length(), [](Char c) { return static_cast<std::make_unsigned_t<Char>>(c) <= 127; });
}

// Views.

template <typename Char>
typename GStringBase<Char>::ViewType GStringBase<Char>::MakeView(uint32_t start, uint32_t n) const {
  return ViewType(const_cast<String*>(static_cast<const String*>(this)), start, n);
}

template <typename Char>
typename GStringBase<Char>::ViewType GStringBase<Char>::Slice(uint32_t pos, uint32_t n) {
  return MakeView(pos, n);
}

template <typename Char>
const typename GStringBase<Char>::ViewType GStringBase<Char>::Slice(uint32_t pos, uint32_t n) const {
  return MakeView(pos, n);
}

template <typename Char>
typename GStringBase<Char>::ViewType GStringBase<Char>::SubString(const Char* pattern, uint32_t start, int caseFlag) {
  const uint32_t m = TextLength(pattern);
  const uint32_t at = Find(pattern, m, start, caseFlag);
  return MakeView(at, at == RW_NPOS ? 0 : m);
}

template <typename Char>
const typename GStringBase<Char>::ViewType GStringBase<Char>::SubString(const Char* pattern, uint32_t start,
                                                                        int caseFlag) const {
  return const_cast<GStringBase*>(this)->SubString(pattern, start, caseFlag);
}

template <typename Char>
typename GStringBase<Char>::ViewType GStringBase<Char>::Trim(int flags, Char c) {
  uint32_t begin = 0;
  uint32_t end = Length();
  if (flags & 1) {
    while (begin < end && text_[begin] == c) ++begin;
  }
  if (flags & 2) {
    while (end > begin && text_[end - 1] == c) --end;
  }
  return begin == end ? MakeView(RW_NPOS, 0) : MakeView(begin, end - begin);
}

template <typename Char>
const typename GStringBase<Char>::ViewType GStringBase<Char>::Trim(int flags, Char c) const {
  return const_cast<GStringBase*>(this)->Trim(flags, c);
}

template <typename Char>
typename GStringBase<Char>::String GStringBase<Char>::Concatenate(const Char* a, uint32_t na, const Char* b,
                                                                  uint32_t nb) {
  // A total past the largest length is left to Append to refuse.
  const uint32_t total = nb > std::numeric_limits<uint32_t>::max() - na ? na : na + nb;
  String result(GStringCapacity{AdjustCapacity(total)});
  result.Append(a, na);
  result.Append(b, nb);
  return result;
}

template <typename Char>
typename GStringBase<Char>::String GStringBase<Char>::Mapped(const String& text, void (GStringBase::*map)()) {
  String copy(text);
  (copy.*map)();
  return copy;
}

template class GStringBase<char>;
template class GStringBase<WideChar>;
