// Makes bitmaps from arbitrary run-length data and reads every row in
// every mode: the expansion and the scan lines must stay inside their
// buffers, and each row must be the expanded block's row. Input: the depth
// (bit 0: 4 bits, else 8), the width and height (1 to 64 each), the row
// alignment, then the run-length stream. The seeds are the run-length BMP
// files of the bitmap tests.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/testing/fuzz_seeds.h"
#include "graphics/bitmaps/bitmap.h"
#include "graphics/bitmaps/run_length_decoder.h"
#include "graphics/testing/bmp_fixtures.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

GFuzzSeeds Seeds() {
  GFuzzSeeds seeds;
  for (const GBmpFixture& fixture : kBmpFixtures) {
    const uint32_t compression = BmpField(fixture.file, 30);
    if (compression != 1 && compression != 2) continue;
    const std::string header{static_cast<char>(compression == 2 ? 1 : 0),
                             static_cast<char>(BmpField(fixture.file, 18) - 1),
                             static_cast<char>(BmpField(fixture.file, 22) - 1), 4};
    seeds.push_back(header + std::string(fixture.file.substr(BmpField(fixture.file, 10))));
  }
  return seeds;
}

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  const bool fourBits = (data[0] & 1) != 0;
  const auto width = static_cast<int16_t>(1 + data[1] % 64);
  const auto height = static_cast<int16_t>(1 + data[2] % 64);
  const std::span<const uint8_t> stream(data + 4, size - 4);
  // The stream in a block of its own, so that a read past it is seen.
  std::vector<uint8_t> copy(stream.begin(), stream.end());

  GBitmapDescription description;
  description.ownsData = false;
  description.data = copy.data();
  description.dataSize = static_cast<uint32_t>(copy.size());
  description.rowAlignment = data[3];
  description.bounds = {0, 0, width, height};
  description.bitsPerComponent = fourBits ? 4 : 8;
  description.compression = fourBits ? 1 : 2;
  description.bottomUp = (data[0] & 2) != 0;
  description.mirrored = (data[0] & 4) != 0;
  const GBitmap bitmap(description);
  const GBitmapImp& body = *bitmap.GetBody();
  Check(!bitmap.IsCompressed());
  Check(bitmap.GetDataSize() == body.GetStride() * (uint32_t(height) + 1));

  const std::vector<uint8_t> block =
      DecodeRunLength(stream, fourBits ? 4 : 8, uint32_t(width), body.GetStride(), bitmap.GetDataSize());
  Check(std::memcmp(block.data(), bitmap.GetData(), block.size()) == 0);
  const uint32_t span = bitmap.GetSpanBytes(0, width);
  std::vector<uint8_t> row(span);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t mode = 0; mode <= 4; ++mode) Check(bitmap.GetScanLine(row, 0, width, y, mode) == span);
    if (description.mirrored) continue;
    const uint32_t stored = description.bottomUp ? uint32_t(height - y - 1) : uint32_t(y);
    Check(std::memcmp(row.data(), block.data() + stored * body.GetStride(), span) == 0);
  }
  return 0;
}
