#pragma once

#include <cstdint>

class GBinaryFile;

// Positioned transfers of the disk storage (file-space manager, free lists,
// disk B-tree): every one reports its failure through the installed error
// handler as a file error of its kind. Stored numbers are little-endian
// (foundation/little_endian.h).

// "[SEEKERR] Seek error" (kind 1), "[READERR] Read error" (kind 2) and
// "[WRITEERR] Write error" (kind 3), raised with the file's stdio stream. A
// block whose contents cannot be what was written is reported as a read
// error too: the file did not give back a usable block.
void RaiseSeekError(GBinaryFile& file);
void RaiseReadError(GBinaryFile& file);
void RaiseWriteError(GBinaryFile& file);

// Seeks to offset and reads or writes size bytes there; true when all of it
// was done, else the seek, read or write error has been raised.
bool ReadBlockAt(GBinaryFile& file, int32_t offset, uint8_t* data, uint32_t size);
bool WriteBlockAt(GBinaryFile& file, int32_t offset, const uint8_t* data, uint32_t size);
