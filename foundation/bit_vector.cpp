#include "foundation/bit_vector.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "foundation/byte_utilities.h"
#include "foundation/error.h"

namespace {

std::unique_ptr<uint8_t[]> NewBytes(uint32_t n) {
  const uint32_t byteCount = (n + 7) / 8;
  return byteCount == 0 ? nullptr : std::make_unique<uint8_t[]>(byteCount);
}

}  // namespace

GBitVector::GBitVector(uint32_t n) : bytes_(NewBytes(n)), n_(n) {}

GBitVector::GBitVector(uint32_t n, bool value) : GBitVector(n) { SetAll(value); }

GBitVector::GBitVector(const uint8_t* bytes, uint32_t n) : GBitVector(n) {
  if (n != 0) std::memcpy(bytes_.get(), bytes, ByteCount());
}

GBitVector::GBitVector(const GBitVector& other) : GBitVector(other.Data(), other.n_) {}

GBitVector& GBitVector::operator=(const GBitVector& other) {
  if (this != &other) {
    bytes_ = NewBytes(other.n_);
    n_ = other.n_;
    if (n_ != 0) std::memcpy(bytes_.get(), other.Data(), ByteCount());
  }
  return *this;
}

uint8_t GBitVector::LastByteMask() const { return n_ % 8 == 0 ? 0xFF : uint8_t((1u << (n_ % 8)) - 1); }

void GBitVector::SetAll(bool value) {
  if (n_ != 0) std::memset(bytes_.get(), value ? 0xFF : 0x00, ByteCount());
}

bool GBitVector::IsAll(bool value) const {
  if (n_ == 0) return true;
  const uint8_t whole = value ? 0xFF : 0x00;
  const uint32_t last = ByteCount() - 1;
  for (uint32_t i = 0; i < last; ++i) {
    if (bytes_[i] != whole) return false;
  }
  return (bytes_[last] & LastByteMask()) == (whole & LastByteMask());
}

bool GBitVector::Equals(const GBitVector& other) const {
  if (n_ != other.n_) return false;
  if (n_ == 0) return true;
  const uint32_t last = ByteCount() - 1;
  return std::memcmp(bytes_.get(), other.Data(), last) == 0 &&
         ((bytes_[last] ^ other.bytes_[last]) & LastByteMask()) == 0;
}

GBitVector GBitVector::operator~() const {
  GBitVector result(*this);
  for (uint32_t i = 0; i < ByteCount(); ++i) result.bytes_[i] = uint8_t(~bytes_[i]);
  return result;
}

GBitVector GBitVector::Combined(const GBitVector& other, ByteOperation operation) const {
  GBitVector result(*this);
  if (n_ != other.n_) RaiseInternalError(GInternalError(GMessage(MsgNeVecL(), n_, other.n_)));
  operation(result.bytes_.get(), other.Data(), std::min(ByteCount(), other.ByteCount()));
  return result;
}

GBitVector GBitVector::operator&(const GBitVector& other) const { return Combined(other, ByteArrayAnd); }
GBitVector GBitVector::operator|(const GBitVector& other) const { return Combined(other, ByteArrayOr); }
GBitVector GBitVector::operator^(const GBitVector& other) const { return Combined(other, ByteArrayXor); }

void GBitVector::Resize(uint32_t n) {
  if (n == n_) return;
  auto bytes = NewBytes(n);
  const uint32_t kept = std::min(ByteCount(), (n + 7) / 8);
  if (kept != 0) std::memcpy(bytes.get(), bytes_.get(), kept);
  // Growing from a count that ended inside a byte: the old byte's bits past
  // the old count become real bits and must read clear.
  if (n > n_ && n_ % 8 != 0) bytes[n_ / 8] &= LastByteMask();
  bytes_ = std::move(bytes);
  n_ = n;
}

uint32_t GBitVector::CountSet() const {
  if (n_ == 0) return 0;
  const uint32_t last = ByteCount() - 1;
  uint32_t count = 0;
  for (uint32_t i = 0; i < last; ++i) count += std::popcount(bytes_[i]);
  return count + std::popcount(uint8_t(bytes_[last] & LastByteMask()));
}

uint32_t GBitVector::Hash() const {
  uint32_t hash = n_;
  for (uint32_t i = 0; i < n_ / 8; ++i) hash = bytes_[i] ^ std::rotl(hash, 5);
  if (n_ % 8 != 0) hash = std::rotl(hash, 5) ^ (bytes_[n_ / 8] & LastByteMask());
  return hash;
}

bool GBitVector::CheckIndex(uint32_t i) const { return ::CheckIndex(i, n_); }
