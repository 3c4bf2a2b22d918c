#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <streambuf>

// The byte channel under every virtual stream: the platform's buffered
// stream buffer, with a put area for single bytes (overflow when full) and a
// get area (refilled by underflow). Memory and file variants are
// GMemoryByteChannel and std::filebuf. The virtual streams do their own
// formatting, so no locale of the channel is ever consulted.
using GByteChannel = std::streambuf;

// A channel that holds nothing and accepts nothing; streams built on a null
// channel use it, so that every transfer fails instead of crashing.
GByteChannel& NullByteChannel();

// Writes count bytes. When the channel takes fewer, it is synchronised and
// the rest is offered again while that makes progress. True when every byte
// was taken.
bool WriteBytes(GByteChannel& channel, const void* data, size_t count);

// Reads count bytes, refilling while that makes progress; answers how many
// arrived.
size_t ReadBytes(GByteChannel& channel, void* data, size_t count);

// Skips count bytes in blocks; answers how many were skipped.
uint64_t SkipBytes(GByteChannel& channel, uint64_t count);

// The bytes left to read, from the read position to the end; none when the
// channel cannot seek, as then nothing tells how many are still to come.
std::optional<uint64_t> SeekableRemainingBytes(GByteChannel& channel);
