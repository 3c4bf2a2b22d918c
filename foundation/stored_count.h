#pragma once

#include <cstdint>

class GBinaryFile;
class GVirtualInStream;

// The one rule for counts and lengths read from stored data. Stored data is
// untrusted, so a count is checked against the bytes the input still holds
// before anything is allocated for it or looped over it; a count that cannot
// be there marks the input failed, the same way for both kinds of input (a
// stream's failure bit, a file's failed flag), so that every caller up the
// restore sees the failure when it tests the input. Every reader of stored
// counts goes through InputCanHold; the overloads let one template serve the
// file and the stream.

// Nothing has failed and the end was not reached.
bool InputIsGood(const GBinaryFile& file);
bool InputIsGood(const GVirtualInStream& stream);

// Marks the input failed.
void FailInput(GBinaryFile& file);
void FailInput(GVirtualInStream& stream);

// True when the input left can hold count items of at least size bytes each
// (in the stream's encoding); otherwise marks the input failed and answers
// false. A stream over a channel that cannot seek reads ahead to answer.
bool InputCanHold(GBinaryFile& file, uint32_t count, uint32_t size);
bool InputCanHold(GVirtualInStream& stream, uint32_t count, uint32_t size);
