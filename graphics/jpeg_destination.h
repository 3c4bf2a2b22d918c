#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include <jpeglib.h>

// Takes count compressed bytes for the receiver that context points to;
// answers 0 when it took them, or a non-zero status, which ends the
// compression with the library's write error.
using JpegWriteFunction = int16_t (*)(void* context, const uint8_t* bytes, uint32_t count);

// Installs on a compressor a destination that collects the compressed bytes
// in a 4,096-byte block and hands every full block, and at the end the rest,
// to write with context. userValue is kept with the destination.
void SetJpegDestination(j_compress_ptr compressor, uint32_t userValue, JpegWriteFunction write, void* context);
