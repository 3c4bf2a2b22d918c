#pragma once

#include <cstdint>
#include <memory>

class RWCString;

// A small regular-expression engine over narrow text. A pattern is compiled
// once into a fixed array of 16-bit cells and then searched for, leftmost
// first, with greedy repetition and backtracking.
//
// Pattern syntax: a literal character (backslash escapes \b \e \f \n \r \s \t,
// \xHH, \^C for a control character, \ooo octal); "." any character but a
// newline; "[...]" a class, "[^...]" its complement, "a-z" ranges; "*", "+"
// and "?" after an element; "^" first and "$" last anchor the match.
//
// A cell below 0x100 is a literal byte; the others are the codes below. A
// repetition cell stands before the element it repeats, and a class cell is
// followed by a 256-bit set in 16 cells (bit c % 16 of cell c / 16).
class GRegex {
 public:
  enum Status : int32_t { kValid = 0, kBadPattern = 1, kNoBuffer = 2, kTooLong = 3 };

  static constexpr uint32_t kCells = 256;
  static constexpr uint16_t kEnd = 0x8000;
  static constexpr uint16_t kEndAnchor = 0x8024;
  static constexpr uint16_t kZeroOrMore = 0x802A;
  static constexpr uint16_t kOneOrMore = 0x802B;
  static constexpr uint16_t kAnyChar = 0x802E;
  static constexpr uint16_t kOptional = 0x803F;
  static constexpr uint16_t kClass = 0x805B;
  static constexpr uint16_t kStartAnchor = 0x805E;

  // Compiles the pattern; the status tells whether it could be.
  explicit GRegex(const char* pattern);
  explicit GRegex(const RWCString& pattern);
  GRegex(const GRegex& other);
  GRegex& operator=(const GRegex& other);
  GRegex& operator=(const char* pattern);
  GRegex& operator=(const RWCString& pattern);
  ~GRegex();

  // The compiler's status; reading it resets it to kValid.
  int32_t TakeStatus();
  // The compiled cells, kCells of them; null when there was no room for them.
  const uint16_t* Cells() const { return cells_.get(); }

  // Position in text of the first match at or after start, with its length
  // through length (which may be null); RW_NPOS and 0 without one. Searching
  // with an expression whose status is not kValid raises "[BADRE]" and
  // answers RW_NPOS.
  uint32_t Search(const RWCString& text, uint32_t* length, uint32_t start = 0) const;

 private:
  struct Cursor;
  struct Element;
  struct Subject;

  void Assign(const char* pattern, uint32_t length);
  int32_t Compile(const char* pattern, uint32_t length);
  bool FollowedBySameElement(const Cursor& cursor, uint32_t last, uint32_t written) const;
  static Element ParseElement(Cursor& cursor, bool atStart);
  static uint8_t ParseChar(Cursor& cursor);
  static bool ParseClass(Cursor& cursor, uint16_t* set);

  bool MatchAt(Subject& subject, uint32_t cell, uint32_t position, uint32_t* end) const;
  bool MatchRepetition(Subject& subject, uint32_t cell, uint32_t position, uint32_t* end) const;
  bool MatchOne(const Subject& subject, uint32_t cell, uint32_t* position) const;
  // The number of cells of the element at cell; 0 when it runs past the end.
  uint32_t ElementSize(uint32_t cell) const;
  // Whether the element at cell consumes one character whenever it matches.
  bool IsConsuming(uint32_t cell) const;

  std::unique_ptr<uint16_t[]> cells_;
  int32_t status_ = kValid;
};
