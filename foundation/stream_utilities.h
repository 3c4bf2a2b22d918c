#pragma once

#include <cstdint>

#include "foundation/virtual_stream.h"

// Flushes the stream and answers it.
GVirtualOutStream& StreamFlush(GVirtualOutStream& stream);

// Each reads one value into a new heap cell of the value's type through the
// stream's read of that type and stores the cell in the caller's pointer; the
// caller owns the cell (delete) and tests the stream's state. Int and long
// share a C++ type but not a stored size in the byte-swapping form, so the
// long forms have their own names.
GVirtualInStream& ReadIntoNewCell(GVirtualInStream& stream, char*& cell);
GVirtualInStream& ReadIntoNewCell(GVirtualInStream& stream, uint8_t*& cell);
GVirtualInStream& ReadIntoNewCell(GVirtualInStream& stream, int16_t*& cell);
GVirtualInStream& ReadIntoNewCell(GVirtualInStream& stream, uint16_t*& cell);
GVirtualInStream& ReadIntoNewCell(GVirtualInStream& stream, int32_t*& cell);
GVirtualInStream& ReadIntoNewCell(GVirtualInStream& stream, uint32_t*& cell);
GVirtualInStream& ReadIntoNewCell(GVirtualInStream& stream, float*& cell);
GVirtualInStream& ReadIntoNewCell(GVirtualInStream& stream, double*& cell);
GVirtualInStream& ReadLongIntoNewCell(GVirtualInStream& stream, int32_t*& cell);
GVirtualInStream& ReadULongIntoNewCell(GVirtualInStream& stream, uint32_t*& cell);
