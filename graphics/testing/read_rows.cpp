#include "graphics/testing/read_rows.h"

#include <algorithm>

namespace {

constexpr uint32_t kGuardBytes = 32;
constexpr uint8_t kGuardValue = 0xA5;

}  // namespace

std::vector<ReadRowResult> ReadRows(GRowFilter& stage, uint32_t count) {
  std::vector<ReadRowResult> results;
  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t maximum = stage.GetMaxRowBytes();
    std::vector<uint8_t> buffer(maximum + kGuardBytes, kGuardValue);
    ReadRowResult result;
    result.repeat = 1;
    result.rows = 1;
    uint32_t length = 0;
    result.answer = stage.ReadRow(buffer.data(), result.row, length, result.repeat, result.rows);
    result.withinMaximum = length <= maximum && std::all_of(buffer.begin() + maximum, buffer.end(),
                                                            [](uint8_t b) { return b == kGuardValue; });
    result.bytes.assign(buffer.begin(), buffer.begin() + std::min(length, maximum));
    results.push_back(std::move(result));
  }
  return results;
}

std::vector<uint8_t> Concatenate(const std::vector<ReadRowResult>& results) {
  std::vector<uint8_t> bytes;
  for (const ReadRowResult& result : results) bytes.insert(bytes.end(), result.bytes.begin(), result.bytes.end());
  return bytes;
}

std::vector<ReadRowResult> PackRows(GRowFilter& stage, const std::vector<MemoryRowSource::Row>& rows) {
  size_t width = 0;
  for (const MemoryRowSource::Row& row : rows) width = std::max(width, row.bytes.size());
  const GRectangle bounds{0, 0, static_cast<int16_t>(width), static_cast<int16_t>(rows.size())};
  MemoryRowSource source(bounds, 8, rows);
  stage.SetSource(&source);
  std::vector<ReadRowResult> results;
  if (stage.Open() != 0) results = ReadRows(stage, static_cast<uint32_t>(rows.size()));
  stage.SetSource(nullptr);
  return results;
}
