#pragma once

#include <cstdint>

class GBinaryFile;
class GVirtualInStream;

// Checks for the string restores: a stored count is untrusted, so before a
// block is made for it the input must still hold count values of
// elementSize bytes. A count that cannot be there marks the input the way a
// short read does (end of input and failure) and answers false.
bool HoldsStoredCount(GVirtualInStream& in, uint32_t count, uint32_t elementSize);
bool HoldsStoredCount(GBinaryFile& file, uint32_t count, uint32_t elementSize);
