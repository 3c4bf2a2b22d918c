// Feeds arbitrary rows through the PackBits, delta-row and adaptive stages
// and checks that no stage delivers more than its maximum and that every
// output decodes back to its input. Input: the stage, inversion, the
// padding multiple (two bytes), the row width, then rows, each a repeat
// count byte and the row. The seeds are rows of a scanned page: blank,
// runs, literal stretches and rows that change a little from the last.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "foundation/testing/fuzz_seeds.h"
#include "graphics/adaptive_row_compressor.h"
#include "graphics/delta_row_compressor.h"
#include "graphics/packbits_row_compressor.h"
#include "graphics/testing/pcl_row_decoders.h"
#include "graphics/testing/read_rows.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Check(bool condition) {
  if (!condition) std::abort();
}

// The rows as the printer should end up with them.
std::vector<Bytes> Expected(const std::vector<MemoryRowSource::Row>& rows, bool invert, size_t width,
                            bool expandRepeats) {
  std::vector<Bytes> expected;
  for (const MemoryRowSource::Row& row : rows) {
    Bytes bytes = row.bytes;
    if (invert)
      for (uint8_t& b : bytes) b = static_cast<uint8_t>(~b);
    bytes.resize(width, 0);
    expected.insert(expected.end(), expandRepeats ? row.repeat : 1, bytes);
  }
  return expected;
}

GFuzzSeeds Seeds() {
  constexpr size_t kWidth = 24;
  std::string rows;
  for (int row = 0; row < 6; ++row) {
    std::string bytes(kWidth, '\0');
    for (size_t i = 0; i < kWidth; ++i) {
      if (row == 1) bytes[i] = static_cast<char>(i < 12 ? 0xFF : 0x00);
      if (row >= 2) bytes[i] = static_cast<char>(i * 37 + row * (i % 5 == 0 ? 1 : 0));
    }
    rows += static_cast<char>(row == 0 ? 3 : 0) + bytes;
  }
  GFuzzSeeds seeds;
  for (uint8_t kind = 0; kind < 3; ++kind) {
    seeds.push_back(std::string{static_cast<char>(kind), 0, 8, 0, static_cast<char>(kWidth - 1)} + rows);
    seeds.push_back(std::string{static_cast<char>(kind), 1, 1, 0, static_cast<char>(kWidth - 1)} + rows);
  }
  return seeds;
}

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 5) return 0;
  const uint8_t kind = data[0] % 3;
  const bool invert = (data[1] & 1) != 0;
  const uint16_t multiple = static_cast<uint16_t>(data[2] | (data[3] & 0x03) << 8);
  const size_t width = 1 + data[4] % 200;
  std::span<const uint8_t> rest(data + 5, size - 5);
  std::vector<MemoryRowSource::Row> rows;
  while (rest.size() > width && rows.size() < 64) {
    rows.push_back({Bytes(rest.begin() + 1, rest.begin() + 1 + static_cast<ptrdiff_t>(width)),
                    static_cast<uint8_t>(1 + rest[0] % 4)});
    rest = rest.subspan(width + 1);
  }
  if (rows.empty()) return 0;
  const size_t padded = multiple > 1 && width % multiple != 0 ? width + multiple - width % multiple : width;

  std::unique_ptr<GRowFilter> stage;
  if (kind == 0)
    stage = std::make_unique<GPackBitsRowCompressor>(multiple, invert);
  else if (kind == 1)
    stage = std::make_unique<GDeltaRowCompressor>(multiple, invert, 1);
  else
    stage = std::make_unique<GAdaptiveRowCompressor>(multiple, invert);
  const std::vector<ReadRowResult> results = PackRows(*stage, rows);
  Check(results.size() == rows.size());
  for (const ReadRowResult& result : results) Check(result.withinMaximum && result.answer == 0);

  if (kind == 0) {
    const std::vector<Bytes> expected = Expected(rows, invert, padded, false);
    for (size_t i = 0; i < rows.size(); ++i) Check(UnpackBits(results[i].bytes) == expected[i]);
  } else if (kind == 1) {
    const std::vector<Bytes> expected = Expected(rows, invert, width, false);
    Bytes seed(width, 0);
    for (size_t i = 0; i < rows.size(); ++i) {
      const std::span<const uint8_t> packed(results[i].bytes);
      Check(packed.size() >= 2 && (packed[0] | packed[1] << 8) == static_cast<int>(packed.size() - 2));
      Check(ApplyDeltaRow(packed.subspan(2), seed) && seed == expected[i]);
    }
  } else {
    Check(DecodeAdaptiveBlocks(Concatenate(results), padded) == Expected(rows, invert, padded, true));
  }
  return 0;
}
