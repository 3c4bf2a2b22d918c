#include "graphics/fonts/truetype/cached_bytes.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "model/objects/field_archive.h"

GCachedBytes::GCachedBytes(const GCachedBytes& other) {
  if (other.length_ == 0) return;
  data_.reset(new (std::nothrow) uint8_t[other.length_]);
  if (!data_) return;
  std::copy_n(other.data_.get(), other.length_, data_.get());
  length_ = other.length_;
}

bool GCachedBytes::Take(GByteBuffer& buffer) {
  const uint32_t length = buffer.GetSize();
  data_.reset(buffer.Detach());
  length_ = data_ ? length : 0;
  return length_ == length;
}

std::unique_ptr<GByteBuffer> GCachedBytes::View() const {
  // An empty view holds nothing of the cache's, so it counts as owning its
  // (absent) data.
  return std::make_unique<GByteBuffer>(data_.get(), length_, length_ == 0);
}

bool GCachedBytes::SameBytes(const GCachedBytes& other) const {
  return length_ == other.length_ && (length_ == 0 || std::memcmp(data_.get(), other.data_.get(), length_) == 0);
}

bool GCachedBytes::Fields(GFieldArchive& archive) {
  if (!archive.IsRestoring()) return archive.UInt32(length_) && archive.Bytes(data_.get(), length_);
  data_.reset();
  length_ = 0;
  uint32_t length = 0;
  if (!archive.UInt32(length) || !archive.Holds(length, 1)) return false;
  if (length == 0) return true;
  auto data = std::make_unique<uint8_t[]>(length);
  if (!archive.Bytes(data.get(), length)) return false;
  data_ = std::move(data);
  length_ = length;
  return true;
}

bool PresentFlag(GFieldArchive& archive, bool& present) {
  int32_t flag = present ? 1 : 0;
  if (!archive.Int32(flag)) return false;
  present = flag == 1;
  return true;
}
