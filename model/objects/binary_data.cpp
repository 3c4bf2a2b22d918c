#include "model/objects/binary_data.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "foundation/class_registrar.h"
#include "foundation/stored_count.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GBinaryData>, kGBinaryDataClassID, kGBinaryDataClassName);

bool ReadHeader(GBinaryFile& file, uint32_t& length, int32_t& owned) { return file.Read(length) && file.Read(owned); }

bool ReadHeader(GVirtualInStream& stream, uint32_t& length, int32_t& owned) {
  return stream.GetULong(length).GetLong(owned).IsGood();
}

bool ReadBytes(GBinaryFile& file, uint8_t* bytes, uint32_t length) { return file.Read(bytes, length); }

bool ReadBytes(GVirtualInStream& stream, uint8_t* bytes, uint32_t length) {
  return stream.GetUChars(bytes, length).IsGood();
}

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

uint32_t GBinaryData::StoredSize() const { return MPersistentObject::StoredSize() + 12 + length_; }

bool GBinaryData::SameContent(const MPersistentObject& other) const {
  const auto* data = SameClassAndKey<GBinaryData>(other);
  return data != nullptr && data->length_ == length_ &&
         (length_ == 0 || data->data_ == data_ || std::memcmp(data->data_, data_, length_) == 0);
}

void GBinaryData::SaveContentsToFile(GBinaryFile& file) const {
  MPersistentObject::SaveContentsToFile(file);
  file.Write(FormatVersion());
  file.Write(length_);
  file.Write(owned_);
  if (length_ != 0) file.Write(data_, length_);
}

void GBinaryData::SaveContentsToStream(GVirtualOutStream& stream) const {
  MPersistentObject::SaveContentsToStream(stream);
  stream.PutULong(FormatVersion()).PutULong(length_).PutLong(owned_);
  if (length_ != 0) stream.PutUChars(data_, length_);
}

void GBinaryData::RestoreContentsFromFile(GBinaryFile& file) {
  MPersistentObject::RestoreContentsFromFile(file);
  if (ReadVersion(file, FormatVersion())) RestoreBlock(file);
}

void GBinaryData::RestoreContentsFromStream(GVirtualInStream& stream) {
  MPersistentObject::RestoreContentsFromStream(stream);
  if (ReadVersion(stream, FormatVersion())) RestoreBlock(stream);
}

// The stored length is checked against the input left before anything is
// allocated; a length the input cannot hold fails the restore and leaves the
// object empty.
template <typename Input>
void GBinaryData::RestoreBlock(Input& input) {
  Clear();
  uint32_t length;
  int32_t owned;
  if (!ReadHeader(input, length, owned)) return;
  if (length == 0) {
    owned_ = owned;
    return;
  }
  if (!InputCanHold(input, length, 1)) return;
  auto block = std::make_unique<uint8_t[]>(length);
  if (!ReadBytes(input, block.get(), length)) return;
  Hold(block.release(), length, owned, true);
}
