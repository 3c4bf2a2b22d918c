#include "model/store/open_store_list.h"

#include <algorithm>

#include "foundation/rw_collectable.h"
#include "model/store/persistent_composite_on_disk_imp.h"

namespace {

GOpenStoreEntry* EntryOf(GDoubleLink* link) { return reinterpret_cast<GOpenStoreEntry*>(link); }

// Empties the list when the process ends, releasing the implementations
// that only the list still holds, which writes their record indexes back.
// The list itself is never destroyed: handles that static objects hold may
// still close after this.
struct GOpenStoreListCleaner {
  ~GOpenStoreListCleaner() {
    const std::lock_guard<std::recursive_mutex> lock(StoreLock());
    GOpenStoreList::Instance().Empty();
  }
};

}  // namespace

std::recursive_mutex& StoreLock() {
  // Never destroyed, so that handles closing at exit can still take it.
  static auto* lock = new std::recursive_mutex;
  return *lock;
}

namespace {

// Closing a store at exit writes its record index, which uses the nil
// object; made before the cleaner, the nil object outlives it.
GOpenStoreList* MakeList() {
  RWCollectable::Nil();
  static const GOpenStoreListCleaner cleaner;
  return new GOpenStoreList;
}

}  // namespace

GOpenStoreList& GOpenStoreList::Instance() {
  static GOpenStoreList* const list = MakeList();
  return *list;
}

GOpenStoreEntry* GOpenStoreList::FirstEntry(const RWCString& fileName) {
  for (GDoubleLink* link = entries_.Head()->next; link != entries_.Tail(); link = link->next) {
    if (EntryOf(link)->fileName == fileName) return EntryOf(link);
  }
  return nullptr;
}

void GOpenStoreList::AddEntry(GOpenStoreEntry* position, const RWCString& fileName, const GObjectRef& implementation) {
  auto* entry = new GOpenStoreEntry{{}, fileName, implementation};
  entries_.InsertAfter(position != nullptr ? &position->link : entries_.Tail()->previous, &entry->link);
}

bool GOpenStoreList::RemoveFirstEntry(const RWCString& fileName) {
  GOpenStoreEntry* entry = FirstEntry(fileName);
  if (entry == nullptr) return false;
  Remove(entry);
  return true;
}

void GOpenStoreList::Empty() {
  while (!entries_.IsEmpty()) Remove(EntryOf(entries_.Head()->next));
}

// The entry leaves the list before its reference goes: letting go may close
// the file, which closes nested stores, which change the list.
void GOpenStoreList::Remove(GOpenStoreEntry* entry) {
  entries_.Remove(&entry->link);
  delete entry;
}

void GOpenStoreList::AddImplementation(MPersistentCompositeOnDiskImp* implementation) {
  implementations_.push_back(implementation);
}

void GOpenStoreList::RemoveImplementation(MPersistentCompositeOnDiskImp* implementation) {
  std::erase(implementations_, implementation);
}

MPersistentCompositeOnDiskImp* GOpenStoreList::ImplementationOf(const RWCString& fileName) const {
  const auto found =
      std::find_if(implementations_.begin(), implementations_.end(),
                   [&fileName](const auto* implementation) { return implementation->Path() == fileName; });
  return found != implementations_.end() ? *found : nullptr;
}

uint32_t GOpenStoreList::OpeningCount() const {
  return static_cast<uint32_t>(std::count_if(implementations_.begin(), implementations_.end(),
                                             [](const auto* implementation) { return implementation->IsOpening(); }));
}
