#include "model/attributes/capabilities.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "foundation/class_registrar.h"
#include "foundation/stored_count.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GCapabilities>, kGCapabilitiesClassID, kGCapabilitiesClassName);

// The most bits a set can have: the bit vector sizes its bytes as
// (count + 7) / 8 in 32 bits.
constexpr uint32_t kMaxBitCount = std::numeric_limits<uint32_t>::max() - 7;

bool ReadCount(GBinaryFile& file, uint32_t& count) { return file.Read(count); }
bool ReadCount(GVirtualInStream& stream, uint32_t& count) { return stream.GetULong(count).IsGood(); }
bool ReadBytes(GBinaryFile& file, uint8_t* bytes, uint32_t count) { return file.Read(bytes, count); }
bool ReadBytes(GVirtualInStream& stream, uint8_t* bytes, uint32_t count) {
  return stream.GetUChars(bytes, count).IsGood();
}

}  // namespace

GCapabilities::GCapabilities(int32_t key, uint32_t bitCount, uint32_t bit) : GCapabilities(key, bitCount) {
  SetBit(bit);
}

GCapabilities::GCapabilities(int32_t key, uint32_t bitCount, const uint32_t* bits, uint16_t length)
    : GCapabilities(key, bitCount) {
  SetBits(bits, length);
}

bool GCapabilities::AllInRange(const uint32_t* bits, uint16_t length) const {
  return std::all_of(bits, bits + length, [&](uint32_t bit) { return bit < bits_.Count(); });
}

bool GCapabilities::TestAll(const uint32_t* bits, uint16_t length) const {
  return std::all_of(bits, bits + length, [&](uint32_t bit) { return TestBit(bit); });
}

bool GCapabilities::TestAny(const uint32_t* bits, uint16_t length) const {
  return std::any_of(bits, bits + length, [&](uint32_t bit) { return TestBit(bit); });
}

void GCapabilities::GrowToHold(uint32_t bit) {
  if (bit >= bits_.Count()) bits_.Resize(bit + 1);
}

void GCapabilities::SetBit(uint32_t bit) { SetBits(&bit, 1); }

void GCapabilities::SetBits(const uint32_t* bits, uint16_t length) {
  for (const uint32_t* bit = bits; bit != bits + length; ++bit) {
    if (*bit >= kMaxBitCount) continue;
    GrowToHold(*bit);
    bits_.SetBit(*bit);
  }
}

void GCapabilities::ClearBit(uint32_t bit) { ClearBits(&bit, 1); }

void GCapabilities::ClearBits(const uint32_t* bits, uint16_t length) {
  for (const uint32_t* bit = bits; bit != bits + length; ++bit) {
    if (*bit < bits_.Count()) bits_.ClearBit(*bit);
  }
}

uint32_t GCapabilities::StoredSize() const { return MPersistentObject::StoredSize() + 8 + bits_.ByteCount(); }

bool GCapabilities::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* capabilities = SameClassAndKey<GCapabilities>(other);
  return capabilities != nullptr && capabilities->bits_ == bits_;
}

void GCapabilities::SaveContentsToFile(GBinaryFile& file) const {
  MPersistentObject::SaveContentsToFile(file);
  file.Write(FormatVersion());
  file.Write(bits_.Count());
  if (bits_.Count() != 0) file.Write(bits_.Data(), bits_.ByteCount());
}

void GCapabilities::SaveContentsToStream(GVirtualOutStream& stream) const {
  MPersistentObject::SaveContentsToStream(stream);
  stream.PutULong(FormatVersion()).PutULong(bits_.Count());
  if (bits_.Count() != 0) stream.PutUChars(bits_.Data(), bits_.ByteCount());
}

// The stored count is checked against the input left before the bytes are
// allocated.
template <typename Input>
void GCapabilities::RestoreBits(Input& input) {
  uint32_t count;
  if (!ReadVersion(input, FormatVersion()) || !ReadCount(input, count) || count == 0) return;
  const uint32_t byteCount = (count / 8) + (count % 8 != 0 ? 1 : 0);
  if (count > kMaxBitCount || !InputCanHold(input, byteCount, 1)) return;
  std::vector<uint8_t> bytes(byteCount);
  if (ReadBytes(input, bytes.data(), byteCount)) bits_ = GBitVector(bytes.data(), count);
}

void GCapabilities::RestoreContentsFromFile(GBinaryFile& file) {
  MPersistentObject::RestoreContentsFromFile(file);
  RestoreBits(file);
}

void GCapabilities::RestoreContentsFromStream(GVirtualInStream& stream) {
  MPersistentObject::RestoreContentsFromStream(stream);
  RestoreBits(stream);
}
