#include "foundation/stream_utilities.h"

namespace {

// The cell exists before the read, so it is the caller's even when the read
// fails.
template <typename T, typename Read>
GVirtualInStream& ReadCell(GVirtualInStream& stream, T*& cell, Read read) {
  cell = new T();
  return (stream.*read)(*cell);
}

}  // namespace

GVirtualOutStream& StreamFlush(GVirtualOutStream& stream) { return stream.Flush(); }

GVirtualInStream& ReadIntoNewCell(GVirtualInStream& stream, char*& cell) {
  return ReadCell(stream, cell, &GVirtualInStream::GetChar);
}
GVirtualInStream& ReadIntoNewCell(GVirtualInStream& stream, uint8_t*& cell) {
  return ReadCell(stream, cell, &GVirtualInStream::GetUChar);
}
GVirtualInStream& ReadIntoNewCell(GVirtualInStream& stream, int16_t*& cell) {
  return ReadCell(stream, cell, &GVirtualInStream::GetShort);
}
GVirtualInStream& ReadIntoNewCell(GVirtualInStream& stream, uint16_t*& cell) {
  return ReadCell(stream, cell, &GVirtualInStream::GetUShort);
}
GVirtualInStream& ReadIntoNewCell(GVirtualInStream& stream, int32_t*& cell) {
  return ReadCell(stream, cell, &GVirtualInStream::GetInt);
}
GVirtualInStream& ReadIntoNewCell(GVirtualInStream& stream, uint32_t*& cell) {
  return ReadCell(stream, cell, &GVirtualInStream::GetUInt);
}
GVirtualInStream& ReadIntoNewCell(GVirtualInStream& stream, float*& cell) {
  return ReadCell(stream, cell, &GVirtualInStream::GetFloat);
}
GVirtualInStream& ReadIntoNewCell(GVirtualInStream& stream, double*& cell) {
  return ReadCell(stream, cell, &GVirtualInStream::GetDouble);
}
GVirtualInStream& ReadLongIntoNewCell(GVirtualInStream& stream, int32_t*& cell) {
  return ReadCell(stream, cell, &GVirtualInStream::GetLong);
}
GVirtualInStream& ReadULongIntoNewCell(GVirtualInStream& stream, uint32_t*& cell) {
  return ReadCell(stream, cell, &GVirtualInStream::GetULong);
}
