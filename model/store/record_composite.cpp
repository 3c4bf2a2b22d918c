#include "model/store/record_composite.h"

#include <utility>

#include "foundation/class_registrar.h"
#include "model/store/persistent_composite_on_disk_imp.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GRecordComposite>, kGRecordCompositeClassID,
                                kGRecordCompositeClassName);

// Calls visit with each record of the list, in order. A record list is only
// read here, though the list hands out its links without const.
template <typename Visit>
void VisitRecords(const GDoubleLinkedList& records, Visit visit) {
  auto& list = const_cast<GDoubleLinkedList&>(records);
  for (GDoubleLink* link = list.Head()->next; link != list.Tail(); link = link->next) {
    visit(*GRecordEntry::Of(link)->record);
  }
}

bool IsRecord(const RWCollectable& object) { return dynamic_cast<const GRecord*>(&object) != nullptr; }

// A composite record's child records as the archive stores a child list.
class StoredRecords {
 public:
  explicit StoredRecords(GRecordComposite& composite) : composite_(composite) {}

  uint32_t Count() const { return composite_.RecordCount(); }
  template <typename Visit>
  void ForEach(Visit visit) const {
    VisitRecords(*composite_.ChildList(), [&visit](const GRecord& record) { visit(&record); });
  }
  void Clear() { composite_.ClearRecords(); }
  bool ReadChild(GFieldArchive& archive) {
    auto* record = static_cast<GRecord*>(archive.ReadFreshObject(IsRecord));
    if (record == nullptr) return false;
    composite_.AddRecord(record);
    return archive.Good();
  }

 private:
  GRecordComposite& composite_;
};

}  // namespace

GRecordComposite::GRecordComposite(const MPersistentObject& object) : GRecord(object) {}

GRecordComposite::GRecordComposite(const GRecordComposite& other) : GRecord(other) {
  VisitRecords(other.records_, [this](GRecord& record) { AddRecord(&record); });
}

GRecordComposite::~GRecordComposite() { ClearRecords(); }

void GRecordComposite::Fields(GFieldArchive& archive) {
  GRecord::Fields(archive);
  if (!archive.Version(kFormatVersion)) return;
  StoredRecords list(*this);
  archive.ChildList(list);
}

void GRecordComposite::AddRecord(GRecord* record) {
  auto* entry = new GRecordEntry;
  entry->record = GRecordRef(record);
  records_.InsertAfter(LastLink(), &entry->link);
}

GObjectRef GRecordComposite::Take(const GRecordMatch& match, MPersistentCompositeOnDiskImp& store) {
  if (match.Matches(*this)) return store.TakeObject(*this);
  return TakeFromChildren(match, store);
}

GObjectRef GRecordComposite::Fetch(const GRecordMatch& match, MPersistentCompositeOnDiskImp& store) {
  if (match.Matches(*this)) return store.FetchObject(*this);
  return FetchFromChildren(match, store);
}

bool GRecordComposite::Replace(const GRecordMatch& match, const MPersistentObject& object,
                               MPersistentCompositeOnDiskImp& store) {
  if (match.Matches(*this) && store.ReplaceObject(*this, object)) return true;
  return ReplaceInChildren(match, object, store);
}

GObjectRef GRecordComposite::TakeFromChildren(const GRecordMatch& match, MPersistentCompositeOnDiskImp& store) {
  for (GDoubleLink* link = records_.Head()->next; link != records_.Tail(); link = link->next) {
    GRecordEntry* entry = GRecordEntry::Of(link);
    GRecord& child = *entry->record;
    if (match.Matches(child)) {
      GObjectRef taken = child.Take(match, store);
      RemoveEntry(entry);
      return taken;
    }
    if (GObjectRef found = child.Take(match, store)) return found;
  }
  return GObjectRef();
}

GObjectRef GRecordComposite::FetchFromChildren(const GRecordMatch& match, MPersistentCompositeOnDiskImp& store) {
  for (GDoubleLink* link = records_.Head()->next; link != records_.Tail(); link = link->next) {
    GRecord& child = *GRecordEntry::Of(link)->record;
    if (match.Matches(child)) return child.Fetch(match, store);
    if (GObjectRef found = child.Fetch(match, store)) return found;
  }
  return GObjectRef();
}

bool GRecordComposite::ReplaceInChildren(const GRecordMatch& match, const MPersistentObject& object,
                                         MPersistentCompositeOnDiskImp& store) {
  for (GDoubleLink* link = records_.Head()->next; link != records_.Tail(); link = link->next) {
    GRecordEntry* entry = GRecordEntry::Of(link);
    GRecord& child = *entry->record;
    if (match.Matches(child)) {
      GDoubleLink* lastBefore = store.Records().LastLink();
      const bool replaced = child.Replace(match, object, store);
      if (replaced) TakeOverReplacement(*entry, lastBefore, store);
      return replaced;
    }
    if (child.Replace(match, object, store)) return true;
  }
  return false;
}

// A replacement deeper down has already moved its own record into place, so
// only a record appended by the child's own replacement is still there.
void GRecordComposite::TakeOverReplacement(GRecordEntry& entry, GDoubleLink* lastBefore,
                                           MPersistentCompositeOnDiskImp& store) {
  GRecordComposite& index = store.Records();
  GDoubleLink* last = index.LastLink();
  if (last == lastBefore || last == index.records_.Head()) return;
  GRecordEntry* appended = GRecordEntry::Of(last);
  entry.record = std::move(appended->record);
  index.RemoveEntry(appended);
}

uint32_t GRecordComposite::ObjectCount() const {
  uint32_t count = 0;
  VisitRecords(records_, [&count](const GRecord& record) { count += record.ObjectCount(); });
  return count;
}

void GRecordComposite::ClearRecords() {
  while (!records_.IsEmpty()) RemoveEntry(GRecordEntry::Of(records_.Head()->next));
}

void GRecordComposite::RemoveEntry(GRecordEntry* entry) {
  records_.Remove(&entry->link);
  delete entry;
}
