#include "foundation/next_capacity.h"

#include "foundation/error.h"

uint32_t NextCapacity(uint32_t n, uint32_t elementSize) {
  if (n < 16) return 16;
  const uint64_t bytes = uint64_t{n} * elementSize;
  if (bytes <= 0x7FFFFFFFu) return 2 * n;
  if (bytes < 0xFFFFFFFDu) return static_cast<uint32_t>(0xFFFFFFFFu / (2 * uint64_t{elementSize})) + n / 2;
  static const char kWhat[] = "Buffer may not resize larger than";
  RaiseBoundsError(GBoundsError(GMessage(MsgCoreOverflow(), int{sizeof kWhat - 1}, kWhat, 0xFFFFFFFFu)));
  return 0;
}
