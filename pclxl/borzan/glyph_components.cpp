#include "pclxl/borzan/glyph_components.h"

#include <optional>

#include "graphics/fonts/truetype/big_endian_span.h"

namespace {

// Component record flags.
constexpr uint16_t kArgsAreWords = 0x0001;
constexpr uint16_t kHasScale = 0x0008;
constexpr uint16_t kMoreComponents = 0x0020;
constexpr uint16_t kHasXYScale = 0x0040;
constexpr uint16_t kHasTwoByTwo = 0x0080;
// Records start after the contour count and the bounding box.
constexpr uint64_t kFirstRecord = 10;

uint64_t RecordSize(uint16_t flags) {
  uint64_t size = 4 + ((flags & kArgsAreWords) != 0 ? 4 : 2);
  if ((flags & kHasTwoByTwo) != 0) return size + 8;
  if ((flags & kHasXYScale) != 0) return size + 4;
  if ((flags & kHasScale) != 0) return size + 2;
  return size;
}

}  // namespace

std::vector<uint16_t> CompositeComponents(std::span<const uint8_t> glyph) {
  const GBigEndianSpan bytes(glyph);
  std::vector<uint16_t> components;
  const std::optional<int16_t> contours = bytes.S16(0);
  if (!contours || *contours >= 0) return components;
  for (uint64_t at = kFirstRecord;;) {
    const std::optional<uint16_t> flags = bytes.U16(at);
    const std::optional<uint16_t> component = bytes.U16(at + 2);
    if (!flags || !component || !bytes.Holds(at, RecordSize(*flags))) return components;
    components.push_back(*component);
    if ((*flags & kMoreComponents) == 0) return components;
    at += RecordSize(*flags);
  }
}
