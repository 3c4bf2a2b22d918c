#pragma once

#include <cstdint>
#include <span>

#include "platform/wide_char.h"

// Whether a character lies in one of the ranges of a character table, such
// as the table of the characters a device can show. The table is a block of
// little-endian 16-bit words laid out as a TrueType cmap format-4 subtable
// from its language word on:
//   word 0        not used (the language)
//   word 1        S, the segment count times 2
//   words 2 to 4  search range, entry selector and range shift: the hints
//                 of a binary search over the end codes
//   S/2 words     segment end codes, ascending
//   one word      pad
//   S/2 words     segment start codes
// True when the first segment whose end code is not below the character
// starts at or below it. The table's own size bounds every read, whatever
// its header claims: a search that needs a word the table does not hold,
// or an odd segment count, answers false.
bool CharInRangeTable(WideChar character, std::span<const uint8_t> table);
