#include "device/text/char_in_range_table.h"

#include <cstddef>
#include <optional>

namespace {

// The words of a table, each read only when the table holds all of it.
class TableWords {
 public:
  explicit TableWords(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  std::optional<uint16_t> At(size_t offset) const {
    if (offset >= bytes_.size() || bytes_.size() - offset < 2) return std::nullopt;
    return static_cast<uint16_t>(bytes_[offset] | bytes_[offset + 1] << 8);
  }

 private:
  std::span<const uint8_t> bytes_;
};

constexpr size_t kSegmentsTimesTwo = 2;
constexpr size_t kSearchRange = 4;
constexpr size_t kEntrySelector = 6;
constexpr size_t kRangeShift = 8;
constexpr size_t kEndCodes = 10;

// Moves from the first end code towards the segment of the character with
// the header's search hints; every end code passed lies below the
// character. Nothing when a word the hints point at is missing.
std::optional<size_t> SkipLowerSegments(const TableWords& words, uint16_t character) {
  const auto searchRange = words.At(kSearchRange);
  const auto entrySelector = words.At(kEntrySelector);
  const auto rangeShift = words.At(kRangeShift);
  if (!searchRange || !entrySelector || !rangeShift) return std::nullopt;
  size_t position = kEndCodes;
  const auto pivot = words.At(position + *searchRange);
  if (!pivot) return std::nullopt;
  if (*pivot <= character) position += *rangeShift;
  size_t step = *searchRange;
  for (uint16_t levels = *entrySelector >> 1; levels > 3; --levels) {
    step >>= 1;
    const auto code = words.At(position + step);
    if (!code) return std::nullopt;
    if (*code >= character) break;
    position += step;
  }
  return position;
}

}  // namespace

bool CharInRangeTable(WideChar character, std::span<const uint8_t> table) {
  const TableWords words(table);
  const auto segmentsTimesTwo = words.At(kSegmentsTimesTwo);
  // An odd count would put the start codes between words.
  if (!segmentsTimesTwo || *segmentsTimesTwo % 2 != 0) return false;
  const uint16_t code = static_cast<uint16_t>(character);
  const size_t span = *segmentsTimesTwo;
  const size_t endCodesEnd = kEndCodes + span;

  std::optional<size_t> position = kEndCodes;
  if (span >= 16) position = SkipLowerSegments(words, code);
  if (!position) return false;
  for (size_t at = *position; at < endCodesEnd; at += 2) {
    const auto end = words.At(at);
    if (!end) return false;
    if (*end < code) continue;
    const auto start = words.At(at + span + 2);
    return start && *start <= code;
  }
  return false;
}
