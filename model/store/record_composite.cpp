#include "model/store/record_composite.h"

#include <utility>

#include "foundation/binary_file.h"
#include "foundation/class_registrar.h"
#include "foundation/persistence.h"
#include "foundation/rw/rwstore.h"
#include "foundation/string_storage.h"
#include "foundation/virtual_stream.h"
#include "model/objects/reference_reader.h"
#include "model/store/persistent_composite_on_disk_imp.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GRecordComposite>, kGRecordCompositeClassID,
                                kGRecordCompositeClassName);

// The fewest bytes a stored object reference takes: a back-reference in a
// file, and '@' with an index in a binary stream.
constexpr uint32_t kFileReferenceSize = 6;
constexpr uint32_t kStreamReferenceSize = 5;

bool ReadCount(GBinaryFile& file, uint32_t& count) { return file.Read(count); }

bool ReadCount(GVirtualInStream& stream, uint32_t& count) { return stream.GetULong(count).IsGood(); }

bool IsGood(GBinaryFile& file) { return !file.AtEnd() && !file.Failed(); }

bool IsGood(GVirtualInStream& stream) { return stream.IsGood(); }

// A file keeps no state of its own to mark.
void Fail(GBinaryFile&) {}

void Fail(GVirtualInStream& stream) { stream.SetState(stream.State() | GStreamStateAdapter::kFail); }

RWCollectable* ReadReference(GBinaryFile& file) {
  RWCollectable* object = nullptr;
  ReadObjectFromFile(file, object);
  return object;
}

RWCollectable* ReadReference(GVirtualInStream& stream) {
  RWCollectable* object = nullptr;
  ReadObjectFromStream(stream, object);
  return object;
}

// Calls visit with each record of the list, in order. A record list is only
// read here, though the list hands out its links without const.
template <typename Visit>
void VisitRecords(const GDoubleLinkedList& records, Visit visit) {
  auto& list = const_cast<GDoubleLinkedList&>(records);
  for (GDoubleLink* link = list.Head()->next; link != list.Tail(); link = link->next) {
    visit(*GRecordEntry::Of(link)->record);
  }
}

}  // namespace

GRecordComposite::GRecordComposite(const MPersistentObject& object) : GRecord(object) {}

GRecordComposite::GRecordComposite(const GRecordComposite& other) : GRecord(other) {
  VisitRecords(other.records_, [this](GRecord& record) { AddRecord(&record); });
}

GRecordComposite::~GRecordComposite() { ClearRecords(); }

uint32_t GRecordComposite::StoredSize() const {
  uint32_t size = GRecord::StoredSize() + 8;
  VisitRecords(records_, [&size](const GRecord& record) { size += ObjectStoreSize(&record); });
  return size;
}

void GRecordComposite::SaveContentsToFile(GBinaryFile& file) const {
  GRecord::SaveContentsToFile(file);
  file.Write(kFormatVersion);
  file.Write(records_.Count());
  VisitRecords(records_, [&file](const GRecord& record) { WriteObjectToFile(&record, file); });
}

void GRecordComposite::SaveContentsToStream(GVirtualOutStream& stream) const {
  GRecord::SaveContentsToStream(stream);
  stream.PutULong(kFormatVersion).PutULong(records_.Count());
  VisitRecords(records_, [&stream](const GRecord& record) { WriteObjectToStream(&record, stream); });
}

void GRecordComposite::RestoreContentsFromFile(GBinaryFile& file) {
  uint32_t version;
  if (RestoreRecord(file) && file.Read(version) && version == kFormatVersion) {
    RestoreRecords(file, kFileReferenceSize);
  }
}

void GRecordComposite::RestoreContentsFromStream(GVirtualInStream& stream) {
  uint32_t version;
  if (RestoreRecord(stream) && stream.GetULong(version).IsGood() && version == kFormatVersion) {
    RestoreRecords(stream, kStreamReferenceSize);
  }
}

// Every record of a stored list appears once: a child must be a record that
// its own reference made. Anything else (a record named again, which would
// share or cycle, or an object of another kind) stops the restore; the
// records read before it stay.
template <typename Input>
void GRecordComposite::RestoreRecords(Input& input, uint32_t minimumReferenceSize) {
  ClearRecords();
  uint32_t count;
  if (!ReadCount(input, count) || !HoldsStoredCount(input, count, minimumReferenceSize)) return;
  // Keeps what is refused alive until the restore ends, as later
  // references of the same restore may still name it.
  const GReferenceReader session(nullptr);
  for (uint32_t i = 0; i < count; ++i) {
    const GFreshReadProbe probe;
    RWCollectable* read = ReadReference(input);
    const bool fresh = probe.Fresh(read);
    auto* record = fresh ? dynamic_cast<GRecord*>(read) : nullptr;
    if (record == nullptr) {
      if (fresh) GReferenceReader::Discard(read);
      Fail(input);
      return;
    }
    AddRecord(record);
    if (!IsGood(input)) return;
  }
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
