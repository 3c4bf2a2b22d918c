#include "model/store/record_iterator.h"

#include <mutex>

#include "model/store/open_store_list.h"
#include "model/store/persistent_composite_on_disk_imp.h"
#include "model/store/record_composite.h"

namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

}  // namespace

GRecordIterator::GRecordIterator(MPersistentCompositeOnDiskImp& store)
    : store_(&store), position_(*store.Records().ChildList()) {}

GRecordIterator::~GRecordIterator() {
  const Lock lock(StoreLock());
  current_ = nullptr;
  store_ = nullptr;
}

MPersistentCompositeOnDiskImp& GRecordIterator::Store() const {
  return static_cast<MPersistentCompositeOnDiskImp&>(*store_);
}

GDoubleLinkedList& GRecordIterator::Records() const { return *Store().Records().ChildList(); }

MPersistentObject* GRecordIterator::Current() {
  const Lock lock(StoreLock());
  if (!current_) current_ = CurrentShared();
  return current_.Get();
}

bool GRecordIterator::Advance() {
  const Lock lock(StoreLock());
  current_ = nullptr;
  if (position_.Advance() != nullptr) return true;
  position_.Reset(Records());
  return false;
}

bool GRecordIterator::Retreat() {
  const Lock lock(StoreLock());
  current_ = nullptr;
  return position_.Retreat() != nullptr;
}

void GRecordIterator::Reset() {
  const Lock lock(StoreLock());
  current_ = nullptr;
  position_.Reset(Records());
}

GObjectRef GRecordIterator::CurrentShared() {
  const Lock lock(StoreLock());
  GDoubleLink* link = position_.Current();
  return link != nullptr ? Store().FetchObject(*GRecordEntry::Of(link)->record) : GObjectRef();
}

void GRecordIterator::RemoveCurrent() {
  const Lock lock(StoreLock());
  current_ = nullptr;
  GDoubleLink* link = position_.Current();
  if (link == nullptr) return;
  GRecordEntry* entry = GRecordEntry::Of(link);
  Store().TakeObject(*entry->record);
  position_.Retreat();
  Store().Records().RemoveEntry(entry);
}

void GRecordIterator::Insert(MPersistentObject* node) { ReplaceCurrent(node); }

void GRecordIterator::ReplaceCurrent(MPersistentObject* node) {
  // A node that nobody owned is the iterator's to delete once it is stored.
  const GObjectRef held(node);
  const Lock lock(StoreLock());
  current_ = nullptr;
  GDoubleLink* link = position_.Current();
  if (link == nullptr || !held) return;
  GRecordEntry* entry = GRecordEntry::Of(link);
  GDoubleLink* lastBefore = Store().Records().LastLink();
  if (Store().ReplaceObject(*entry->record, *held)) GRecordComposite::TakeOverReplacement(*entry, lastBefore, Store());
}
