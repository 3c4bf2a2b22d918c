#pragma once

#include <cstdint>
#include <vector>

#include "graphics/row_filter.h"
#include "graphics/testing/memory_row_source.h"

// One call of GRowFilter::ReadRow as a test sees it.
struct ReadRowResult {
  int32_t answer = 0;
  uint16_t row = 0;
  uint8_t repeat = 0;
  uint8_t rows = 0;
  std::vector<uint8_t> bytes;
  // False when the stage delivered more than its GetMaxRowBytes or wrote past
  // them into the guard bytes that follow the buffer.
  bool withinMaximum = true;
};

// Calls stage.ReadRow count times, each into a fresh buffer of the stage's
// maximum row bytes followed by guard bytes, and answers what each call gave.
std::vector<ReadRowResult> ReadRows(GRowFilter& stage, uint32_t count);

// The bytes of all results, one after the other.
std::vector<uint8_t> Concatenate(const std::vector<ReadRowResult>& results);

// Puts stage behind a MemoryRowSource of rows (8 bits per pixel, as wide as
// the longest row), opens it and reads one result per row; answers nothing
// when Open fails.
std::vector<ReadRowResult> PackRows(GRowFilter& stage, const std::vector<MemoryRowSource::Row>& rows);
