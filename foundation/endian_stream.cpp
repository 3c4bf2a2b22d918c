#include "foundation/endian_stream.h"

#include <algorithm>
#include <bit>
#include <ios>
#include <istream>
#include <ostream>

#include "foundation/error.h"
#include "foundation/message.h"

namespace {

constexpr uint8_t kMagic[3] = {0x65, 0x73, 0x01};
constexpr uint32_t kHeaderSize = 9;
// Writers declare type sizes of 1 to 8 bytes; anything else is not a header.
constexpr uint32_t kLargestStoredSize = 8;

void ReverseEach(uint8_t* bytes, uint64_t count, uint32_t unitSize) {
  for (uint64_t i = 0; i < count; ++i) std::reverse(bytes + i * unitSize, bytes + (i + 1) * unitSize);
}

}  // namespace

uint32_t MachineByteOrder() { return std::endian::native == std::endian::little ? 0 : 1; }

GEndianOutStream::GEndianOutStream(GByteChannel* channel, uint32_t byteOrder)
    : GBinaryOutStream(channel), byteOrder_(byteOrder <= 1 ? byteOrder : MachineByteOrder()) {
  // The header must be the first thing in the channel.
  if (Channel().pubseekoff(0, std::ios::end, std::ios::out) != std::streampos(0)) {
    RaiseStreamError(GStreamError(GMessage(MsgStream()), this));
    AddState(kFail | kBad);
    return;
  }
  WriteHeader();
}

GEndianOutStream::GEndianOutStream(std::ostream& stream, uint32_t byteOrder)
    : GEndianOutStream(stream.rdbuf(), byteOrder) {}

void GEndianOutStream::WriteHeader() {
  const uint8_t header[kHeaderSize] = {
      kMagic[0],
      kMagic[1],
      kMagic[2],
      static_cast<uint8_t>(byteOrder_),
      sizeof(int16_t),
      sizeof(int32_t),
      sizeof(int32_t),   // long is 32 bits
      2,                 // a wide character is one UTF-16 unit
      sizeof(uint32_t),  // string lengths
  };
  PutRaw(header, sizeof header);
}

void GEndianOutStream::PutUnits(const void* values, uint32_t count, uint32_t unitSize) {
  if (byteOrder_ == MachineByteOrder() || unitSize == 1) {
    GBinaryOutStream::PutUnits(values, count, unitSize);
    return;
  }
  // Reordered a block at a time, so the channel sees few large writes.
  uint8_t block[512];
  const uint32_t perBlock = sizeof block / unitSize;
  const uint8_t* bytes = static_cast<const uint8_t*>(values);
  for (uint32_t done = 0; done < count;) {
    const uint32_t n = std::min(perBlock, count - done);
    std::copy_n(bytes + uint64_t{done} * unitSize, n * unitSize, block);
    ReverseEach(block, n, unitSize);
    PutRaw(block, n * unitSize);
    done += n;
  }
}

GEndianInStream::GEndianInStream(GByteChannel* channel) : GBinaryInStream(channel), byteOrder_(MachineByteOrder()) {
  if (ReadHeader()) return;
  RaiseStreamError(GStreamError(GMessage(MsgStream()), this));
  AddState(kFail | kBad);
}

GEndianInStream::GEndianInStream(std::istream& stream) : GEndianInStream(stream.rdbuf()) {}

bool GEndianInStream::ReadHeader() {
  uint8_t header[kHeaderSize];
  for (uint8_t& byte : header) {
    const int32_t next = NextByte();
    if (!IsGood()) return false;
    byte = static_cast<uint8_t>(next);
  }
  if (!std::equal(kMagic, kMagic + 3, header)) return false;
  const uint8_t* sizes = header + 4;
  const uint8_t* end = header + kHeaderSize;
  if (!std::all_of(sizes, end, [](uint8_t s) { return s >= 1 && s <= kLargestStoredSize; })) {
    return false;
  }
  byteOrder_ = header[3] != 0 ? 1 : 0;
  shortSize_ = sizes[0];
  intSize_ = sizes[1];
  longSize_ = sizes[2];
  wideCharSize_ = sizes[3];
  sizeTypeSize_ = sizes[4];
  return true;
}

uint32_t GEndianInStream::WriterSize(Width width, uint32_t nativeSize) const {
  switch (width) {
    case Width::kShort:
      return shortSize_;
    case Width::kInt:
      return intSize_;
    case Width::kLong:
      return longSize_;
    case Width::kSize:
      return sizeTypeSize_;
    case Width::kRaw:
      break;
  }
  return nativeSize;
}

void GEndianInStream::GetUnits(void* values, uint32_t count, uint32_t unitSize, Width width, bool isSigned) {
  uint8_t* bytes = static_cast<uint8_t*>(values);
  const uint32_t writerSize = WriterSize(width, unitSize);
  if (writerSize == unitSize) {
    GetRaw(bytes, uint64_t{count} * unitSize);
    if (byteOrder_ != MachineByteOrder()) ReverseEach(bytes, count, unitSize);
    return;
  }
  for (uint32_t i = 0; i < count; ++i) {
    uint8_t* value = bytes + uint64_t{i} * unitSize;
    if (IsEof()) {
      std::fill_n(value, unitSize, 0);
    } else {
      GetConverted(value, unitSize, writerSize, isSigned);
    }
  }
}

// One integer stored in writerSize bytes, delivered in nativeSize bytes. The
// high-order bytes that do not fit must repeat the sign (or be zero), else
// the value does not fit: failure is set and the low-order bytes are kept.
void GEndianInStream::GetConverted(uint8_t* value, uint32_t nativeSize, uint32_t writerSize, bool isSigned) {
  uint8_t stored[kLargestStoredSize] = {};
  GetRaw(stored, writerSize);
  if (byteOrder_ == 1) std::reverse(stored, stored + writerSize);
  // stored now holds the least significant byte first.
  const uint32_t kept = std::min(nativeSize, writerSize);
  const bool negative = isSigned && (stored[kept - 1] & 0x80) != 0;
  const uint8_t fill = negative ? 0xFF : 0x00;
  for (uint32_t k = kept; k < writerSize; ++k) {
    if (stored[k] != fill) AddState(kFail);
  }
  uint8_t native[kLargestStoredSize];
  std::copy_n(stored, kept, native);
  std::fill(native + kept, native + nativeSize, fill);
  if (MachineByteOrder() == 1) std::reverse(native, native + nativeSize);
  std::copy_n(native, nativeSize, value);
}

GVirtualInStream& GEndianInStream::GetString(char* buffer, uint32_t size) {
  uint32_t count = 0;
  GetUnits(&count, 1, sizeof count, Width::kSize, false);
  if (!IsGood()) {
    if (size != 0) buffer[0] = '\0';
    AddState(kFail | kBad);
    return *this;
  }
  GetCountedChars(buffer, size, count);
  return *this;
}

bool GEndianInStream::CanHold(uint32_t count, uint32_t elementSize) {
  // A value may be stored narrower than its native size; never narrower
  // than the smallest size the header declares.
  const uint32_t smallest = std::min({shortSize_, intSize_, longSize_, sizeTypeSize_, elementSize});
  return HoldsBytes(uint64_t{count} * smallest);
}
