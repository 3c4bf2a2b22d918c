#pragma once

#include <cstdint>

class GBinaryFile;

// Byte-level helpers of the disk storage (file-space manager, free lists,
// disk B-tree): stored numbers are little-endian and are put together byte
// by byte, and every positioned transfer reports its failure through the
// installed error handler as a file error of its kind.

inline uint16_t LoadLittle16(const uint8_t* bytes) { return static_cast<uint16_t>(bytes[0] | bytes[1] << 8); }

inline uint32_t LoadLittle32(const uint8_t* bytes) {
  return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24;
}

inline int32_t LoadLittle32Signed(const uint8_t* bytes) { return static_cast<int32_t>(LoadLittle32(bytes)); }

inline void StoreLittle16(uint8_t* bytes, uint16_t value) {
  bytes[0] = static_cast<uint8_t>(value);
  bytes[1] = static_cast<uint8_t>(value >> 8);
}

inline void StoreLittle32(uint8_t* bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

inline void StoreLittle32(uint8_t* bytes, int32_t value) { StoreLittle32(bytes, static_cast<uint32_t>(value)); }

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
