#include "foundation/collectable_association.h"

#include "foundation/binary_file.h"
#include "foundation/class_registrar.h"
#include "foundation/persistence.h"
#include "foundation/rw/rwstore.h"
#include "foundation/virtual_stream.h"

namespace {

// Registered with the class factory under their class IDs and names.
const GClassRegistrar associationRegistrar(CreateCollectable<RWCollectableAssociation>,
                                           kRWCollectableAssociationClassID, "RWCollectableAssociation");
const GClassRegistrar idAssociationRegistrar(CreateCollectable<RWCollectableIDAssociation>,
                                             kRWCollectableIDAssociationClassID, "RWCollectableIDAssociation");

// The reference sizes of the objects, counted in one table so that an
// object met twice counts as a back-reference, as the save writes it.
template <typename... Objects>
uint32_t ReferenceSizes(const Objects*... objects) {
  GSizeTableGuard table;
  return (ObjectStoreSize(objects) + ...);
}

// Restores one reference into a fresh variable, unless the input has
// already failed.
RWCollectable* ReadReference(GVirtualInStream& stream) {
  RWCollectable* object = nullptr;
  if (stream.IsGood()) RestoreObjectFromStream(stream, object);
  return object;
}

RWCollectable* ReadReference(GBinaryFile& file) {
  RWCollectable* object = nullptr;
  if (!file.Failed() && !file.AtEnd()) RestoreObjectFromFile(file, object);
  return object;
}

int32_t Sign(int64_t value) { return value < 0 ? -1 : (value > 0 ? 1 : 0); }

}  // namespace

RWCollectable* RWCollectableAssociation::NewInstance() const { return new RWCollectableAssociation; }

RWCollectable* RWCollectableAssociation::Clone() const { return new RWCollectableAssociation(*this); }

uint32_t RWCollectableAssociation::StoredSize() const { return ReferenceSizes(key_, value_); }

// An association without a key (as the factory makes it) has nothing to
// stand for, so it answers for itself, by address, rather than handing the
// other object a null to dereference.

int32_t RWCollectableAssociation::Compare(const RWCollectable* other) const {
  // Without a key, or against nothing, it orders by address.
  if (key_ == nullptr || other == nullptr) return RWCollectable::Compare(other);
  return -Sign(other->Compare(key_));
}

uint32_t RWCollectableAssociation::HashValue() const {
  return key_ != nullptr ? key_->HashValue() : RWCollectable::HashValue();
}

bool RWCollectableAssociation::Equals(const RWCollectable* other) const {
  if (key_ == nullptr || other == nullptr) return other == this;
  return other->Equals(key_);
}

void RWCollectableAssociation::RestoreContentsFromStream(GVirtualInStream& stream) {
  key_ = value_ = nullptr;
  key_ = ReadReference(stream);
  value_ = ReadReference(stream);
}

void RWCollectableAssociation::RestoreContentsFromFile(GBinaryFile& file) {
  key_ = value_ = nullptr;
  key_ = ReadReference(file);
  value_ = ReadReference(file);
}

void RWCollectableAssociation::SaveContentsToStream(GVirtualOutStream& stream) const {
  WriteObjectToStream(key_, stream);
  WriteObjectToStream(value_, stream);
}

void RWCollectableAssociation::SaveContentsToFile(GBinaryFile& file) const {
  WriteObjectToFile(key_, file);
  WriteObjectToFile(value_, file);
}

RWCollectable* RWCollectableAssociation::SetValue(RWCollectable* value) {
  RWCollectable* old = value_;
  value_ = value;
  return old;
}

RWCollectable* RWCollectableIDAssociation::NewInstance() const { return new RWCollectableIDAssociation; }

RWCollectable* RWCollectableIDAssociation::Clone() const { return new RWCollectableIDAssociation(*this); }

uint32_t RWCollectableIDAssociation::StoredSize() const { return sizeof(RWClassID) + ReferenceSizes(Value()); }

int32_t RWCollectableIDAssociation::Compare(const RWCollectable* other) const {
  const auto* association = dynamic_cast<const RWCollectableIDAssociation*>(other);
  if (association == nullptr) return RWCollectable::Compare(other);
  return Sign(int32_t{id_} - int32_t{association->id_});
}

uint32_t RWCollectableIDAssociation::HashValue() const { return uint32_t{id_} ^ (uint32_t{id_} >> 3); }

bool RWCollectableIDAssociation::Equals(const RWCollectable* other) const {
  const auto* association = dynamic_cast<const RWCollectableIDAssociation*>(other);
  return association != nullptr && association->id_ == id_;
}

void RWCollectableIDAssociation::RestoreContentsFromStream(GVirtualInStream& stream) {
  SetValue(nullptr);
  id_ = 0;
  stream.GetUShort(id_);
  SetValue(ReadReference(stream));
}

void RWCollectableIDAssociation::RestoreContentsFromFile(GBinaryFile& file) {
  SetValue(nullptr);
  id_ = 0;
  if (file.Read(id_)) SetValue(ReadReference(file));
}

void RWCollectableIDAssociation::SaveContentsToStream(GVirtualOutStream& stream) const {
  stream.PutUShort(id_);
  WriteObjectToStream(Value(), stream);
}

void RWCollectableIDAssociation::SaveContentsToFile(GBinaryFile& file) const {
  file.Write(id_);
  WriteObjectToFile(Value(), file);
}
