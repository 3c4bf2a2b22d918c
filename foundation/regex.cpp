#include "foundation/regex.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <new>
#include <vector>

#include "foundation/error.h"
#include "foundation/rw_cstring.h"

namespace {

constexpr uint32_t kSetCells = 16;
constexpr uint32_t kClassCells = 1 + kSetCells;

bool IsRepetitionChar(char c) { return c == '*' || c == '+' || c == '?'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsOctal(char c) { return c >= '0' && c <= '7'; }

void SetBit(uint16_t* set, uint8_t c) { set[c / 16] |= static_cast<uint16_t>(1u << (c % 16)); }

}  // namespace

// The pattern text being compiled and the position reached in it.
struct GRegex::Cursor {
  const char* text;
  uint32_t length;
  uint32_t at;

  bool AtEnd() const { return at >= length; }
  char Peek() const { return text[at]; }
};

// One compiled element: a literal, an anchor, "." or a class with its set.
struct GRegex::Element {
  uint16_t cells[kClassCells] = {};
  uint32_t size = 0;
  int32_t status = kValid;
};

// The text being searched and what the matcher has learnt about it. Whether
// the cells from a continuation (the cell after a repeated element) match at
// a position depends on nothing else, so each failure is remembered and
// never tried again; that keeps backtracking polynomial.
struct GRegex::Subject {
  const unsigned char* text;
  uint32_t begin;           // where the searched text starts (the start anchor holds here)
  uint32_t end;             // the string's length
  int16_t row[kCells + 1];  // -1 for a cell that is no continuation
  uint32_t rows = 0;
  std::vector<uint64_t> failed;

  Subject(const RWCString& string, uint32_t start)
      : text(reinterpret_cast<const unsigned char*>(string.Data())), begin(start), end(string.Length()) {
    std::fill_n(row, kCells + 1, int16_t{-1});
  }
  size_t Bit(uint32_t cell, uint32_t position) const {
    return static_cast<size_t>(row[cell]) * (end - begin + 1) + (position - begin);
  }
  bool HasFailed(uint32_t cell, uint32_t position) const {
    if (failed.empty() || row[cell] < 0) return false;
    const size_t bit = Bit(cell, position);
    return (failed[bit / 64] >> (bit % 64)) & 1u;
  }
  void MarkFailed(uint32_t cell, uint32_t position) {
    if (row[cell] < 0) return;
    if (failed.empty()) failed.assign((static_cast<size_t>(rows) * (end - begin + 1) + 63) / 64, 0);
    const size_t bit = Bit(cell, position);
    failed[bit / 64] |= uint64_t{1} << (bit % 64);
  }
};

GRegex::GRegex(const char* pattern) : cells_(new (std::nothrow) uint16_t[kCells]()) {
  Assign(pattern, pattern ? static_cast<uint32_t>(std::strlen(pattern)) : 0);
}

GRegex::GRegex(const RWCString& pattern) : cells_(new (std::nothrow) uint16_t[kCells]()) {
  Assign(pattern.Data(), pattern.Length());
}

GRegex::GRegex(const GRegex& other) : cells_(new (std::nothrow) uint16_t[kCells]()) { *this = other; }

GRegex& GRegex::operator=(const GRegex& other) {
  if (this == &other) return *this;
  if (!cells_) cells_.reset(new (std::nothrow) uint16_t[kCells]());
  status_ = other.status_;
  if (!cells_) {
    status_ = kNoBuffer;
  } else if (other.cells_) {
    std::copy_n(other.cells_.get(), kCells, cells_.get());
  } else {
    cells_[0] = kEnd;
  }
  return *this;
}

GRegex& GRegex::operator=(const char* pattern) {
  Assign(pattern, pattern ? static_cast<uint32_t>(std::strlen(pattern)) : 0);
  return *this;
}

GRegex& GRegex::operator=(const RWCString& pattern) {
  Assign(pattern.Data(), pattern.Length());
  return *this;
}

GRegex::~GRegex() = default;

int32_t GRegex::TakeStatus() {
  const int32_t status = status_;
  status_ = kValid;
  return status;
}

void GRegex::Assign(const char* pattern, uint32_t length) {
  status_ = std::min<int32_t>(Compile(pattern, length), kTooLong);
}

// Every way out leaves an end cell after what was written, so the cells
// always form an expression the matcher can walk, even one whose status was
// taken and ignored.
int32_t GRegex::Compile(const char* pattern, uint32_t length) {
  if (length == 0 || IsRepetitionChar(pattern[0])) {
    if (cells_) cells_[0] = kEnd;
    return kBadPattern;
  }
  if (!cells_) return kNoBuffer;
  Cursor cursor{pattern, length, 0};
  uint32_t written = 0;
  uint32_t last = 0;  // where the element (or repetition) written last starts
  const auto fail = [&](int32_t status) {
    cells_[written] = kEnd;
    return status;
  };
  while (!cursor.AtEnd()) {
    if (written >= kCells - 1) return fail(kTooLong);
    const char c = cursor.Peek();
    if (IsRepetitionChar(c)) {
      const uint16_t operand = cells_[last];
      if (operand == kEndAnchor || operand == kStartAnchor || operand == kZeroOrMore || operand == kOneOrMore ||
          operand == kOptional) {
        return fail(kTooLong);
      }
      const uint16_t repetition = c == '*' ? kZeroOrMore : c == '+' ? kOneOrMore : kOptional;
      ++cursor.at;
      if (c != '+' && FollowedBySameElement(cursor, last, written)) {
        // x*x and x?x become x followed by x* or x?: the optional copy is
        // the following one, so that "?", which never gives back what it
        // took, cannot starve the required copy.
        cells_[written] = repetition;
        last = written;
      } else {
        std::copy_backward(cells_.get() + last, cells_.get() + written, cells_.get() + written + 1);
        cells_[last] = repetition;
      }
      ++written;
      continue;
    }
    // A class and the end cell after it must both fit.
    if (c == '[' && written + kClassCells >= kCells) return fail(kTooLong);
    const Element element = ParseElement(cursor, written == 0);
    if (element.status != kValid) return fail(element.status);
    std::copy_n(element.cells, element.size, cells_.get() + written);
    last = written;
    written += element.size;
  }
  cells_[written] = kEnd;
  return kValid;
}

// Whether the pattern goes on with a plain copy of the literal or class just
// written (one that no repetition of its own follows).
bool GRegex::FollowedBySameElement(const Cursor& cursor, uint32_t last, uint32_t written) const {
  if (cells_[last] >= 0x100 && cells_[last] != kClass) return false;
  Cursor next = cursor;
  if (next.AtEnd() || IsRepetitionChar(next.Peek())) return false;
  const Element element = ParseElement(next, false);
  if (element.status != kValid || element.size != written - last) return false;
  if (!std::equal(element.cells, element.cells + element.size, cells_.get() + last)) return false;
  return next.AtEnd() || !IsRepetitionChar(next.Peek());
}

GRegex::Element GRegex::ParseElement(Cursor& cursor, bool atStart) {
  Element element;
  element.size = 1;
  const char c = cursor.Peek();
  if (c == '$' && cursor.at + 1 == cursor.length) {
    element.cells[0] = kEndAnchor;
    ++cursor.at;
  } else if (c == '^' && atStart) {
    element.cells[0] = kStartAnchor;
    ++cursor.at;
  } else if (c == '.') {
    element.cells[0] = kAnyChar;
    ++cursor.at;
  } else if (c == '[') {
    ++cursor.at;
    element.cells[0] = kClass;
    element.size = kClassCells;
    if (!ParseClass(cursor, element.cells + 1)) element.status = kBadPattern;
  } else {
    element.cells[0] = ParseChar(cursor);
  }
  return element;
}

uint8_t GRegex::ParseChar(Cursor& cursor) {
  const char c = cursor.text[cursor.at++];
  if (c != '\\') return static_cast<uint8_t>(c);
  if (cursor.AtEnd()) return '\\';
  const char escaped = cursor.text[cursor.at++];
  switch (std::tolower(static_cast<unsigned char>(escaped))) {
    case 'b':
      return 8;
    case 'e':
      return 27;
    case 'f':
      return 12;
    case 'n':
      return 10;
    case 'r':
      return 13;
    case 's':
      return 32;
    case 't':
      return 9;
    case 'x': {
      int value = -1;
      for (int digits = 0; digits < 2 && !cursor.AtEnd() && HexValue(cursor.Peek()) >= 0; ++digits) {
        value = (value < 0 ? 0 : value * 16) + HexValue(cursor.text[cursor.at++]);
      }
      return static_cast<uint8_t>(value < 0 ? escaped : value);
    }
    case '^':
      if (cursor.AtEnd()) return '^';
      return static_cast<uint8_t>(std::toupper(static_cast<unsigned char>(cursor.text[cursor.at++])) - 64);
    default:
      break;
  }
  if (!IsOctal(escaped)) return static_cast<uint8_t>(escaped);
  int value = escaped - '0';
  for (int digits = 1; digits < 3 && !cursor.AtEnd() && IsOctal(cursor.Peek()); ++digits) {
    value = value * 8 + (cursor.text[cursor.at++] - '0');
  }
  return static_cast<uint8_t>(value);
}

// Reads a class after its "[" up to and including the "]" into a 256-bit
// set; false for "[]" and for a class that the pattern does not close.
bool GRegex::ParseClass(Cursor& cursor, uint16_t* set) {
  std::fill_n(set, kSetCells, 0);
  if (cursor.AtEnd() || cursor.Peek() == ']') return false;
  const bool negated = cursor.Peek() == '^';
  if (negated) ++cursor.at;
  while (!cursor.AtEnd() && cursor.Peek() != ']') {
    const uint8_t first = ParseChar(cursor);
    uint8_t last = first;
    if (cursor.at + 1 < cursor.length && cursor.Peek() == '-' && cursor.text[cursor.at + 1] != ']') {
      ++cursor.at;
      last = ParseChar(cursor);
    }
    for (uint32_t c = std::min(first, last); c <= std::max(first, last); ++c) SetBit(set, static_cast<uint8_t>(c));
  }
  if (cursor.AtEnd()) return false;
  ++cursor.at;
  if (negated) {
    for (uint32_t i = 0; i < kSetCells; ++i) set[i] = static_cast<uint16_t>(~set[i]);
  }
  return true;
}

uint32_t GRegex::Search(const RWCString& text, uint32_t* length, uint32_t start) const {
  if (length) *length = 0;
  if (status_ != kValid) {
    RaiseInternalError(GInternalError(GMessage(MsgBadRe())));
    return RW_NPOS;
  }
  if (!cells_ || start > text.Length()) return RW_NPOS;
  Subject subject(text, start);
  // One row of remembered failures per continuation of "*" and "+".
  for (uint32_t cell = 0; cell < kCells && cells_[cell] != kEnd;) {
    const uint16_t code = cells_[cell];
    const uint32_t size = (code == kZeroOrMore || code == kOneOrMore || code == kOptional) ? 1 : ElementSize(cell);
    if (size == 0) break;
    if ((code == kZeroOrMore || code == kOneOrMore) && cell + 1 < kCells) {
      const uint32_t continuation = cell + 1 + ElementSize(cell + 1);
      if (continuation <= kCells) subject.row[continuation] = static_cast<int16_t>(subject.rows++);
    }
    cell += size;
  }
  const bool anchored = cells_[0] == kStartAnchor;
  const uint32_t last = anchored ? start : text.Length();
  for (uint32_t position = start; position <= last; ++position) {
    uint32_t end = 0;
    if (MatchAt(subject, anchored ? 1 : 0, position, &end)) {
      if (length) *length = end - position;
      return position;
    }
  }
  return RW_NPOS;
}

bool GRegex::MatchAt(Subject& subject, uint32_t cell, uint32_t position, uint32_t* end) const {
  for (;;) {
    if (cell >= kCells) return false;
    const uint16_t code = cells_[cell];
    if (code == kEnd) {
      *end = position;
      return true;
    }
    if (code == kZeroOrMore || code == kOneOrMore) return MatchRepetition(subject, cell, position, end);
    if (code == kOptional) {
      const uint32_t size = ElementSize(cell + 1);
      if (size == 0) return false;
      MatchOne(subject, cell + 1, &position);
      cell += 1 + size;
      continue;
    }
    const uint32_t size = ElementSize(cell);
    if (size == 0 || !MatchOne(subject, cell, &position)) return false;
    cell += size;
  }
}

// Greedy repetition: take as many as possible, then give them back one at
// a time until the rest of the expression matches.
bool GRegex::MatchRepetition(Subject& subject, uint32_t cell, uint32_t position, uint32_t* end) const {
  const uint32_t element = cell + 1;
  if (!IsConsuming(element)) return false;
  const uint32_t rest = element + ElementSize(element);
  if (cells_[cell] == kOneOrMore && !MatchOne(subject, element, &position)) return false;
  const uint32_t lowest = position;
  while (MatchOne(subject, element, &position)) {
  }
  if (rest < kCells && cells_[rest] == kEnd) {
    *end = position;
    return true;
  }
  for (uint32_t candidate = position;; --candidate) {
    if (!subject.HasFailed(rest, candidate)) {
      if (MatchAt(subject, rest, candidate, end)) return true;
      subject.MarkFailed(rest, candidate);
    }
    if (candidate == lowest) return false;
  }
}

bool GRegex::MatchOne(const Subject& subject, uint32_t cell, uint32_t* position) const {
  const uint16_t code = cells_[cell];
  const uint32_t at = *position;
  if (code == kEndAnchor) return at == subject.end;
  if (code == kStartAnchor) return at == subject.begin;
  if (at >= subject.end) return false;
  const unsigned char c = subject.text[at];
  bool matched = false;
  if (code < 0x100) {
    matched = c == code;
  } else if (code == kAnyChar) {
    matched = c != '\n';
  } else if (code == kClass) {
    matched = (cells_[cell + 1 + c / 16] >> (c % 16)) & 1u;
  }
  if (matched) *position = at + 1;
  return matched;
}

uint32_t GRegex::ElementSize(uint32_t cell) const {
  if (cell >= kCells) return 0;
  if (cells_[cell] != kClass) return 1;
  return cell + kClassCells <= kCells ? kClassCells : 0;
}

bool GRegex::IsConsuming(uint32_t cell) const {
  if (ElementSize(cell) == 0) return false;
  const uint16_t code = cells_[cell];
  return code < 0x100 || code == kAnyChar || code == kClass;
}

// The string's searches for an expression live with the engine, so the
// string itself needs no more than a declaration of it.
uint32_t RWCString::Index(const GRegex& expression, uint32_t* length, uint32_t start) const {
  return expression.Search(*this, length, start);
}

uint32_t RWCString::Index(const GRegex& expression, uint32_t start) const {
  return expression.Search(*this, nullptr, start);
}

GSubString RWCString::SliceMatching(const GRegex& expression, uint32_t start) {
  uint32_t length = 0;
  const uint32_t position = expression.Search(*this, &length, start);
  return Slice(position, length);
}
