#include "model/objects/binary_data.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GBinaryData>, kGBinaryDataClassID, kGBinaryDataClassName);

}  // namespace

GBinaryData::GBinaryData(uint8_t* data, uint32_t length, int32_t owned, int32_t key) : MPersistentObject(key) {
  Hold(data, length, owned, owned != 0);
}

GBinaryData::GBinaryData(const GBinaryData& other) : MPersistentObject() {
  if (other.length_ == 0) return;
  auto* copy = new uint8_t[other.length_];
  std::copy_n(other.data_, other.length_, copy);
  Hold(copy, other.length_, 1, true);
}

GBinaryData::~GBinaryData() { Clear(); }

void GBinaryData::Hold(uint8_t* data, uint32_t length, int32_t owned, bool frees) {
  data_ = data;
  length_ = length;
  owned_ = owned;
  frees_ = frees;
}

void GBinaryData::SetData(uint8_t* data, uint32_t length, int32_t owned) {
  if (data != data_) Clear();
  Hold(data, length, owned, owned != 0);
}

uint8_t* GBinaryData::Detach() {
  uint8_t* data = data_;
  Hold(nullptr, 0, 0, false);
  return data;
}

void GBinaryData::Clear() {
  if (frees_) delete[] data_;
  Hold(nullptr, 0, 0, false);
}

bool GBinaryData::SameContent(const MPersistentObject& other) const {
  const auto* data = SameClassAndKey<GBinaryData>(other);
  return data != nullptr && data->length_ == length_ &&
         (length_ == 0 || data->data_ == data_ || std::memcmp(data->data_, data_, length_) == 0);
}

void GBinaryData::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  if (!archive.IsRestoring()) {
    archive.UInt32(length_);
    archive.Int32(owned_);
    archive.Bytes(data_, length_);
    return;
  }
  Clear();
  uint32_t length = 0;
  int32_t owned = 0;
  if (!archive.UInt32(length) || !archive.Int32(owned)) return;
  if (length == 0) {
    owned_ = owned;
    return;
  }
  if (!archive.Holds(length, 1)) return;
  auto block = std::make_unique<uint8_t[]>(length);
  if (archive.Bytes(block.get(), length)) Hold(block.release(), length, owned, true);
}
