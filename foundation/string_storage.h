#pragma once

#include <cstdint>

class GBinaryFile;
class GVirtualInStream;

// Checks for the string restores: a stored count is untrusted, so before a
// block is made for it the input must still hold count values of
// elementSize bytes, and the block must have room for a terminator after
// them. A count that fails marks the input failed (InputCanHold) and
// answers false.
bool HoldsStoredCount(GVirtualInStream& in, uint32_t count, uint32_t elementSize);
bool HoldsStoredCount(GBinaryFile& file, uint32_t count, uint32_t elementSize);
