#include "model/attributes/capabilities.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GCapabilities>, kGCapabilitiesClassID, kGCapabilitiesClassName);

// The most bits a set can have: the bit vector sizes its bytes as
// (count + 7) / 8 in 32 bits.
constexpr uint32_t kMaxBitCount = std::numeric_limits<uint32_t>::max() - 7;

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

// The bit count, then the bytes that hold the bits; the byte count is
// checked against the input left before the bytes are allocated.
void GCapabilities::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  uint32_t count = bits_.Count();
  if (!archive.UInt32(count) || count == 0) return;
  const uint32_t byteCount = (count / 8) + (count % 8 != 0 ? 1 : 0);
  if (count > kMaxBitCount || !archive.Holds(byteCount, 1)) return;
  std::vector<uint8_t> bytes(byteCount);
  if (!archive.IsRestoring()) std::copy_n(bits_.Data(), byteCount, bytes.begin());
  if (archive.Bytes(bytes.data(), byteCount) && archive.IsRestoring()) bits_ = GBitVector(bytes.data(), count);
}

bool GCapabilities::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* capabilities = SameClassAndKey<GCapabilities>(other);
  return capabilities != nullptr && capabilities->bits_ == bits_;
}
