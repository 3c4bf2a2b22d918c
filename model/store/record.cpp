#include "model/store/record.h"

#include <charconv>
#include <utility>

#include "foundation/class_registrar.h"
#include "foundation/unit_lock.h"
#include "model/objects/persistent_object.h"
#include "model/store/persistent_composite_on_disk_imp.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GRecord>, kGRecordClassID, kGRecordClassName);

// Every record's count changes under this lock, whatever kind of record.
GUnitLock recordLock;

}  // namespace

GRecordMatch GRecordMatch::ClassId(RWClassID id) {
  GRecordMatch match(Kind::kClassId);
  match.id_ = id;
  return match;
}

GRecordMatch GRecordMatch::Key(int32_t key) {
  GRecordMatch match(Kind::kKey);
  match.key_ = key;
  return match;
}

GRecordMatch GRecordMatch::Same(const MPersistentObject& object) {
  GRecordMatch match(Kind::kSame);
  match.object_ = &object;
  return match;
}

bool GRecordMatch::Matches(const GRecord& record) const {
  switch (kind_) {
    case Kind::kClassId:
      return record.ObjectClassID() == id_;
    case Kind::kKey:
      return record.Key() == key_;
    case Kind::kSame:
      return record.SerialNumber() == object_->SerialNumber();
  }
  return false;
}

GObjectRef GRecordMatch::TakeFrom(MPersistentObject& store) const {
  switch (kind_) {
    case Kind::kClassId:
      return store.FindSharedByClassId(id_);
    case Kind::kKey:
      return store.FindSharedByKey(key_);
    case Kind::kSame:
      return store.FindSharedByNode(object_);
  }
  return GObjectRef();
}

GObjectRef GRecordMatch::FetchFrom(MPersistentObject& store) const {
  switch (kind_) {
    case Kind::kClassId:
      return store.SharedIfClassId(id_);
    case Kind::kKey:
      return store.SharedIfKey(key_);
    case Kind::kSame:
      return store.SharedIfEqual(*object_);
  }
  return GObjectRef();
}

// Nested stores are never asked to replace by identity (see GRecordProxy).
bool GRecordMatch::ReplaceIn(MPersistentObject& store, const MPersistentObject& object) const {
  switch (kind_) {
    case Kind::kClassId:
      return store.ReplaceSharedByClassId(id_, object);
    case Kind::kKey:
      return store.ReplaceSharedByKey(key_, object);
    case Kind::kSame:
      return false;
  }
  return false;
}

GRecord::GRecord(const MPersistentObject& object)
    : classId_(object.ClassID()), serialNumber_(object.SerialNumber()), key_(object.Key()) {}

GRecord::GRecord(const GRecord& other)
    : GArchivedCollectable(other), classId_(other.classId_), serialNumber_(other.serialNumber_), key_(other.key_) {}

void GRecord::Fields(GFieldArchive& archive) {
  if (!archive.Version(kFormatVersion)) return;
  RWClassID classId = classId_;
  uint32_t serialNumber = serialNumber_;
  int32_t key = key_;
  if (!archive.UInt16(classId) || !archive.UInt32(serialNumber) || !archive.Int32(key) || !archive.IsRestoring()) {
    return;
  }
  classId_ = classId;
  serialNumber_ = serialNumber;
  key_ = key;
}

void GRecord::AddReference() { ::AddReference(references_, recordLock); }

int32_t GRecord::ReleaseReference() { return ::ReleaseReference(references_, recordLock); }

RWCString GRecord::KeyString() const { return KeyString(serialNumber_); }

RWCString GRecord::KeyString(uint32_t serialNumber) {
  char text[8];
  const auto end = std::to_chars(text, text + sizeof text, serialNumber, 16).ptr;
  return RWCString(text, static_cast<uint32_t>(end - text));
}

GDoubleLinkedList* GRecord::ChildList() { return nullptr; }

void GRecord::AddRecord(GRecord*) {}

GObjectRef GRecord::TakeIfClassId(RWClassID id, MPersistentCompositeOnDiskImp& store) {
  return Take(GRecordMatch::ClassId(id), store);
}

GObjectRef GRecord::TakeIfKey(int32_t key, MPersistentCompositeOnDiskImp& store) {
  return Take(GRecordMatch::Key(key), store);
}

GObjectRef GRecord::TakeIfSame(const MPersistentObject& object, MPersistentCompositeOnDiskImp& store) {
  return Take(GRecordMatch::Same(object), store);
}

bool GRecord::ReplaceIfClassId(RWClassID id, const MPersistentObject& object, MPersistentCompositeOnDiskImp& store) {
  return Replace(GRecordMatch::ClassId(id), object, store);
}

bool GRecord::ReplaceIfKey(int32_t key, const MPersistentObject& object, MPersistentCompositeOnDiskImp& store) {
  return Replace(GRecordMatch::Key(key), object, store);
}

bool GRecord::ReplaceIfSame(const MPersistentObject& old, const MPersistentObject& object,
                            MPersistentCompositeOnDiskImp& store) {
  return Replace(GRecordMatch::Same(old), object, store);
}

GObjectRef GRecord::FetchIfClassId(RWClassID id, MPersistentCompositeOnDiskImp& store) {
  return Fetch(GRecordMatch::ClassId(id), store);
}

GObjectRef GRecord::FetchIfKey(int32_t key, MPersistentCompositeOnDiskImp& store) {
  return Fetch(GRecordMatch::Key(key), store);
}

GObjectRef GRecord::FetchIfSame(const MPersistentObject& object, MPersistentCompositeOnDiskImp& store) {
  return Fetch(GRecordMatch::Same(object), store);
}

GObjectRef GRecord::Take(const GRecordMatch& match, MPersistentCompositeOnDiskImp& store) {
  return match.Matches(*this) ? store.TakeObject(*this) : GObjectRef();
}

GObjectRef GRecord::Fetch(const GRecordMatch& match, MPersistentCompositeOnDiskImp& store) {
  return match.Matches(*this) ? store.FetchObject(*this) : GObjectRef();
}

bool GRecord::Replace(const GRecordMatch& match, const MPersistentObject& object,
                      MPersistentCompositeOnDiskImp& store) {
  return match.Matches(*this) && store.ReplaceObject(*this, object);
}

uint32_t GRecord::ObjectCount() const { return 1; }

GRecordRef::GRecordRef(GRecord* record) : record_(record) {
  if (record_ != nullptr) record_->AddReference();
}

GRecordRef& GRecordRef::operator=(GRecordRef other) noexcept {
  std::swap(record_, other.record_);
  return *this;
}

void GRecordRef::Reset() {
  GRecord* record = std::exchange(record_, nullptr);
  if (record != nullptr && record->ReleaseReference() == 0) delete record;
}
