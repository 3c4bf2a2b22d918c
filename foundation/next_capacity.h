#pragma once

#include <cstdint>

// The growth rule of the library's growable buffers: the next capacity, in
// elements, for a buffer of n elements of elementSize bytes. Small buffers
// start at 16, others double while they stay below 2 GB and then grow about
// halfway towards the largest count that fits. A buffer that cannot grow
// raises the overflow error and gets 0.
uint32_t NextCapacity(uint32_t n, uint32_t elementSize);
