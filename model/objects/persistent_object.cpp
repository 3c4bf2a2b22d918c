#include "model/objects/persistent_object.h"

#include <functional>

#include "foundation/persistence.h"
#include "model/objects/persistent_composite.h"
#include "model/objects/reference_reader.h"

namespace {

// Serial numbers are unique within the process, whatever thread constructs.
std::atomic<uint32_t> serialCounter{0};

}  // namespace

MPersistentObject::MPersistentObject() { NextSerialNumber(); }

MPersistentObject::MPersistentObject(int32_t key) : key_(key) { NextSerialNumber(); }

MPersistentObject::MPersistentObject(const MPersistentObject& other)
    : GArchivedCollectable(other), key_(other.key_), serialNumber_(other.serialNumber_) {}

MPersistentObject& MPersistentObject::operator=(const MPersistentObject& other) {
  if (this != &other) {
    key_ = other.key_;
    serialNumber_ = other.serialNumber_;
  }
  return *this;
}

void MPersistentObject::AddReference() { references_.fetch_add(1, std::memory_order_relaxed); }

int32_t MPersistentObject::ReleaseReference() { return references_.fetch_sub(1, std::memory_order_acq_rel); }

bool MPersistentObject::ReleaseIfSole() {
  int32_t sole = 0;
  return references_.compare_exchange_strong(sole, -1, std::memory_order_acq_rel);
}

void MPersistentObject::NextSerialNumber() {
  // The counter skips 0, which means "no serial number", also after it wraps.
  uint32_t current = serialCounter.load(std::memory_order_relaxed);
  uint32_t taken;
  do {
    taken = current == 0 ? 1 : current;
  } while (!serialCounter.compare_exchange_weak(current, taken + 1, std::memory_order_relaxed));
  serialNumber_ = taken;
}

void MPersistentObject::ClearSerialNumbers() {
  serialNumber_ = 0;
  if (AsComposite() == nullptr) return;
  const std::unique_ptr<GIterator> children = NewChildIterator();
  while (children->Advance()) {
    if (MPersistentObject* child = children->Current()) child->ClearSerialNumbers();
  }
}

int32_t MPersistentObject::Compare(const RWCollectable* other) const {
  if (other == this) return 0;
  return std::less<const RWCollectable*>()(this, other) ? -1 : 1;
}

bool MPersistentObject::Equals(const RWCollectable* other) const {
  const auto* object = dynamic_cast<const MPersistentObject*>(other);
  return object != nullptr && object->ClassID() == ClassID() && SameContent(*object);
}

void MPersistentObject::Fields(GFieldArchive& archive) {
  if (!archive.Version(FormatVersion())) return;
  auto key = static_cast<uint32_t>(key_);
  uint32_t serialNumber = serialNumber_;
  if (!archive.UInt32(key) || !archive.UInt32(serialNumber) || !archive.IsRestoring()) return;
  key_ = static_cast<int32_t>(key);
  if (serialNumber != 0) serialNumber_ = serialNumber;
}

bool MPersistentObject::IsKindOf(RWClassID id) const {
  return id == kMPersistentObjectClassID || IsOnClassChain(ClassID(), id);
}

bool MPersistentObject::SameContent(const MPersistentObject& other) const { return key_ == other.key_; }

void MPersistentObject::AddChild(MPersistentObject*) {}

void MPersistentObject::InsertFirstChild(MPersistentObject*) {}

MPersistentObject* MPersistentObject::RemoveChild(const MPersistentObject*) { return nullptr; }

MPersistentObject* MPersistentObject::RemoveChildByKey(int32_t) { return nullptr; }

MPersistentObject* MPersistentObject::RemoveChildByClassId(RWClassID) { return nullptr; }

bool MPersistentObject::ReplaceChildByKey(int32_t, const MPersistentObject&) { return false; }

bool MPersistentObject::ReplaceChildByClassId(RWClassID, const MPersistentObject&) { return false; }

bool MPersistentObject::ReplaceChild(const MPersistentObject*, const MPersistentObject&) { return false; }

bool MPersistentObject::ReplaceChildByKind(RWClassID, const MPersistentObject&) { return false; }

void MPersistentObject::AddShared(const GObjectRef&) {}

void MPersistentObject::InsertShared(const GObjectRef&) {}

GObjectRef MPersistentObject::FindSharedByNode(const MPersistentObject*) { return GObjectRef(); }

GObjectRef MPersistentObject::FindSharedByKey(int32_t) { return GObjectRef(); }

GObjectRef MPersistentObject::FindSharedByClassId(RWClassID) { return GObjectRef(); }

bool MPersistentObject::ReplaceSharedByKey(int32_t, const MPersistentObject&) { return false; }

bool MPersistentObject::ReplaceSharedByClassId(RWClassID, const MPersistentObject&) { return false; }

void MPersistentObject::RemoveAllChildren() {}

MPersistentObject* MPersistentObject::FindByKey(int32_t key) { return key_ == key ? this : nullptr; }

MPersistentObject* MPersistentObject::FindByClassId(RWClassID id) { return ClassID() == id ? this : nullptr; }

MPersistentObject* MPersistentObject::FindEqual(const MPersistentObject& other) {
  return SameContent(other) ? this : nullptr;
}

MPersistentObject* MPersistentObject::FindKindOf(RWClassID id) { return IsKindOf(id) ? this : nullptr; }

MPersistentObject& MPersistentObject::CollectByClassId(RWClassID id, MPersistentObject& composite) {
  if (ClassID() == id) composite.AddChild(this);
  return composite;
}

MPersistentObject& MPersistentObject::CollectByKey(int32_t key, MPersistentObject& composite) {
  if (key_ == key) composite.AddChild(this);
  return composite;
}

MPersistentObject& MPersistentObject::CollectKindOf(RWClassID id, MPersistentObject& composite) {
  if (IsKindOf(id)) composite.AddChild(this);
  return composite;
}

MPersistentObject* MPersistentObject::SelectIf(bool passes) {
  if (!passes) return nullptr;
  auto* selection = new MPersistentComposite;
  selection->AddChild(this);
  return selection;
}

MPersistentObject* MPersistentObject::SelectByKey(int32_t key) { return SelectIf(key_ == key); }

MPersistentObject* MPersistentObject::SelectByClassId(RWClassID id) { return SelectIf(ClassID() == id); }

MPersistentObject* MPersistentObject::SelectKindOf(RWClassID id) { return SelectIf(IsKindOf(id)); }

GObjectRef MPersistentObject::SharedIfKey(int32_t key) { return GObjectRef(key_ == key ? this : nullptr); }

GObjectRef MPersistentObject::SharedIfClassId(RWClassID id) { return GObjectRef(ClassID() == id ? this : nullptr); }

GObjectRef MPersistentObject::SharedIfEqual(const MPersistentObject& other) {
  return GObjectRef(SameContent(other) ? this : nullptr);
}

MPersistentObject* MPersistentObject::AsComposite() { return nullptr; }

uint32_t MPersistentObject::EntryCount() const { return 1; }

uint32_t MPersistentObject::NodeCount() const { return 1; }

std::unique_ptr<GIterator> MPersistentObject::NewChildIterator() { return std::make_unique<GEmptyIterator>(); }

MPersistentObject* MPersistentObject::DeepCopy() const {
  auto* self = const_cast<MPersistentObject*>(this);
  if (self->AsComposite() == nullptr) return CloneObject();
  MPersistentObject* copy = NewObject();
  if (copy == nullptr) return nullptr;
  copy->SetKey(key_);
  const std::unique_ptr<GIterator> children = self->NewChildIterator();
  while (children->Advance()) {
    const MPersistentObject* child = children->Current();
    copy->AddChild(child != nullptr ? child->DeepCopy() : nullptr);
  }
  return copy;
}

namespace {

// A collectable that should be a model object; one that is not is deleted.
MPersistentObject* AsModelObject(RWCollectable* object) {
  auto* model = dynamic_cast<MPersistentObject*>(object);
  if (model == nullptr) delete object;
  return model;
}

}  // namespace

MPersistentObject* MPersistentObject::CloneObject() const { return AsModelObject(Clone()); }

MPersistentObject* MPersistentObject::NewObject() const { return AsModelObject(NewInstance()); }

namespace {

// Reads a root through the collectable form, inside one model restore so
// that everything below it is read under the same rules.
template <typename Input>
MPersistentObject* ReadAccepted(Input& input, bool (*accepts)(const MPersistentObject&),
                                Input& (*read)(Input&, RWCollectable*&)) {
  const GReferenceReader restore(nullptr);
  RWCollectable* collectable = nullptr;
  read(input, collectable);
  auto* object = dynamic_cast<MPersistentObject*>(collectable);
  if (object != nullptr && accepts(*object)) return object;
  if (collectable != nullptr) GReferenceReader::Discard(collectable);
  return nullptr;
}

}  // namespace

MPersistentObject* ReadModelObject(GBinaryFile& file, bool (*accepts)(const MPersistentObject&)) {
  return ReadAccepted<GBinaryFile>(file, accepts, ReadObjectFromFile);
}

MPersistentObject* ReadModelObject(GVirtualInStream& stream, bool (*accepts)(const MPersistentObject&)) {
  return ReadAccepted<GVirtualInStream>(stream, accepts, ReadObjectFromStream);
}
