#include "model/store/persistent_composite_on_disk_imp.h"

#include <cstring>
#include <vector>

#include "foundation/binary_file.h"
#include "foundation/class_registrar.h"
#include "foundation/disk_btree.h"
#include "foundation/file_space_manager.h"
#include "foundation/persistence.h"
#include "foundation/rw/rwstore.h"
#include "model/store/open_store_list.h"
#include "model/store/persistent_composite_on_disk.h"
#include "model/store/record_iterator.h"
#include "model/store/record_proxy.h"
#include "model/store/store_files.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<MPersistentCompositeOnDiskImp>, kMPersistentCompositeOnDiskImpClassID,
                                kMPersistentCompositeOnDiskImpClassName);

using Lock = std::lock_guard<std::recursive_mutex>;

// A store that holds the most top-level records it may still takes the end
// of a page, and objects of class 703 right after one of class 702 or 661.
constexpr RWClassID kFollowerClassID = 703;
constexpr RWClassID kLeaderClassIDs[] = {702, 661};

// The class of the object stored last in any store, under StoreLock.
RWClassID classStoredLast = 0;

// The mode in which a file that exists is opened; without a mode, a missing
// file is created.
constexpr char kExistingFileMode[] = "rb+";

// The smallest object graph a block can hold: the start value and a class ID.
constexpr uint32_t kSmallestGraph = 6;

// A graph of size bytes written into a block of its own: the block holds
// the size header, the graph and at most 7 bytes more (rounding to whole
// words, and an extent too small to list that went with the block).
bool FillsBlock(uint32_t size, const GFileSpaceManager::Extent& block) {
  constexpr uint32_t kSizeHeader = 4;
  constexpr uint32_t kMostSlack = 7;
  return uint64_t{size} + kSizeHeader <= block.size && block.size - kSizeHeader - size <= kMostSlack;
}

bool IsNestedStore(RWClassID id) {
  return id == kMPersistentCompositeOnDiskClassID || id == kGCommandCompositeOnDiskClassID;
}

int CompareKeys(const char* nodeKey, const char* searchKey, size_t length) {
  return std::strncmp(nodeKey, searchKey, length);
}

// Every block holds an object graph of its own, written and read with
// tables of its own whatever save or restore runs on the thread: a store is
// opened, and its index read, while its handle is being restored.
using OwnGraph = GTablesSetAside;

}  // namespace

MPersistentCompositeOnDiskImp::MPersistentCompositeOnDiskImp() = default;

MPersistentCompositeOnDiskImp::MPersistentCompositeOnDiskImp(const RWCString& path, int32_t key, bool mayCreate)
    : MPersistentObject(key), path_(path), mayCreate_(mayCreate) {
  const Lock lock(StoreLock());
  GOpenStoreList::Instance().AddImplementation(this);
  OpenFile();
}

MPersistentCompositeOnDiskImp::~MPersistentCompositeOnDiskImp() {
  const Lock lock(StoreLock());
  GOpenStoreList::Instance().RemoveImplementation(this);
  CloseFile();
  // Nested stores that the records hold close while the lock is held.
  records_.ClearRecords();
}

void MPersistentCompositeOnDiskImp::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  archive.Version(FormatVersion());
}

bool MPersistentCompositeOnDiskImp::SameContent(const MPersistentObject& other) const {
  const auto* imp = dynamic_cast<const MPersistentCompositeOnDiskImp*>(&other);
  if (imp == nullptr || other.ClassID() != ClassID() || !MPersistentObject::SameContent(other)) return false;
  auto& mine = const_cast<GRecordComposite&>(records_);
  auto& theirs = const_cast<GRecordComposite&>(imp->records_);
  GDoubleLink* a = mine.ChildList()->Head()->next;
  GDoubleLink* b = theirs.ChildList()->Head()->next;
  for (; a != mine.ChildList()->Tail() && b != theirs.ChildList()->Tail(); a = a->next, b = b->next) {
    if (GRecordEntry::Of(a)->record.Get() != GRecordEntry::Of(b)->record.Get()) return false;
  }
  return a == mine.ChildList()->Tail() && b == theirs.ChildList()->Tail();
}

void MPersistentCompositeOnDiskImp::OpenFile() {
  const Lock lock(StoreLock());
  failed_ = 0;
  opening_ = true;
  if (!OpenStoreFile()) {
    // A file that is not a store is never written to.
    tree_.reset();
    manager_.reset();
    failed_ = 1;
  } else if (manager_->File().Failed()) {
    failed_ = 1;
  }
  opening_ = false;
}

bool MPersistentCompositeOnDiskImp::OpenStoreFile() {
  manager_ = std::make_unique<GFileSpaceManager>(path_.Data(), mayCreate_ ? nullptr : kExistingFileMode);
  GBinaryFile& file = manager_->File();
  if (!file.IsOpen() || !manager_->HasFreeList()) return false;
  const bool existed = std::strcmp(file.Mode(), kExistingFileMode) == 0;
  if (!existed) GStoreFiles::Instance().NoteCreated(path_);
  if (file.Failed()) return true;
  tree_ = std::make_unique<GDiskBTree>(*manager_, kCacheBlocks, 0, kKeyLength, false, -1, GDiskBTree::kHeaderStyle,
                                       kOrder, kMinimumFill);
  tree_->SetKeyCompare(CompareKeys);
  // Keys of another shape, or a tree that could not be read, mean the file
  // is no store.
  if (!tree_->IsOpen() || tree_->HasBinaryKeys()) return false;
  if (file.Failed()) return true;
  if (existed) {
    if (!LayoutIsSound()) Fail();
    RestoreIndex();
  } else {
    records_.ClearRecords();
  }
  return true;
}

// Every block the store reaches (the tree's header and nodes, each graph
// and the record index) is a block of its own, apart from the free space:
// otherwise the next allocation would write over a block in use. A store
// whose file is laid out otherwise is failed: it still reads its index and
// hands out what it can read, but writes nothing.
bool MPersistentCompositeOnDiskImp::LayoutIsSound() {
  std::vector<int32_t> offsets;
  if (!tree_->BlockOffsets(offsets)) return false;
  const size_t nodeBlocks = offsets.size();
  tree_->ForEach(
      [](const char*, int32_t value, void* user) { static_cast<std::vector<int32_t>*>(user)->push_back(value); },
      &offsets);
  RWCString found;
  int32_t index = -1;
  // Graphs without an index are out of reach, and writing an index would
  // leave them so for good.
  if (offsets.size() > nodeBlocks && !tree_->Find(kIndexKey, found, index)) {
    manager_->ReportDamage();
    return false;
  }
  std::vector<GFileSpaceManager::Extent> blocks(offsets.size());
  for (size_t i = 0; i < offsets.size(); ++i) {
    if (!manager_->BlockAt(offsets[i], blocks[i])) return false;
  }
  return manager_->AreApart(std::move(blocks));
}

// The index stays in the file while the store is open, so that a close
// that cannot write a new one leaves the file as readable as it was. An
// index that is not one whole graph filling its block (a stored count that
// cannot be there, a record that is not one) fails the store: writing it
// back would drop the records it could not read.
void MPersistentCompositeOnDiskImp::RestoreIndex() {
  RWCString found;
  int32_t offset = -1;
  GFileSpaceManager::Extent block{};
  if (!tree_->Find(kIndexKey, found, offset)) return;
  if (!manager_->BlockAt(offset, block)) {
    Fail();
    return;
  }
  GBinaryFile& file = manager_->File();
  const OwnGraph graph;
  if (!file.SeekTo(offset)) {
    Fail();
    return;
  }
  RestoreObjectInPlaceFromFile(file, &records_);
  const bool readWhole = !file.AtEnd() && !file.Failed();
  const uint32_t size = ObjectStoreSize(&records_);
  if (!readWhole || !FillsBlock(size, block)) {
    manager_->ReportDamage();
    Fail();
  }
}

void MPersistentCompositeOnDiskImp::CloseFile() {
  const Lock lock(StoreLock());
  if (manager_ != nullptr && tree_ != nullptr) WriteIndex();
  tree_.reset();
  manager_.reset();
}

// The new index is written whole, in a block of its own, before the tree
// names it; only then is the old one let go.
void MPersistentCompositeOnDiskImp::WriteIndex() {
  if (HasFailed()) return;
  GBinaryFile& file = manager_->File();
  const OwnGraph graph;
  const uint32_t size = ObjectStoreSize(&records_);
  const int32_t offset = manager_->Allocate(size);
  if (offset == -1 || !file.SeekTo(offset)) {
    Fail();
    return;
  }
  SaveObjectToFile(records_, file);
  if (file.Failed() || !file.Flush()) {
    Fail();
    return;
  }
  int32_t old = -1;
  if (!tree_->UpdateValue(kIndexKey, offset, old) && !tree_->Insert(kIndexKey, offset)) {
    Fail();
    return;
  }
  if (!file.Flush()) {
    Fail();
    return;
  }
  manager_->Deallocate(old);
}

// A store that failed keeps its file as it is; one without a file tries
// to open it again.
void MPersistentCompositeOnDiskImp::Reset() {
  const Lock lock(StoreLock());
  if (manager_ != nullptr) {
    if (HasFailed()) return;
    if (tree_ != nullptr) tree_->Clear();
    tree_.reset();
    manager_->File().Erase();
    manager_.reset();
  }
  // The records stood for objects of the erased file.
  records_.ClearRecords();
  OpenFile();
}

bool MPersistentCompositeOnDiskImp::HasFailed() const {
  const Lock lock(StoreLock());
  return failed_ != 0 || (manager_ != nullptr && (manager_->IsDamaged() || manager_->File().Failed()));
}

// Nothing more is written to the file of a failed store.
bool MPersistentCompositeOnDiskImp::Fail() {
  failed_ = 1;
  if (manager_ != nullptr) manager_->MarkDamaged();
  return false;
}

bool MPersistentCompositeOnDiskImp::FileIsUsable() const {
  return manager_ != nullptr && tree_ != nullptr && !manager_->File().Failed();
}

GRecord* MPersistentCompositeOnDiskImp::StoreObject(const MPersistentObject& object, bool replacing) {
  const Lock lock(StoreLock());
  GRecordRef record = StoreRecord(object, replacing, 0);
  if (!record) return nullptr;
  records_.AddRecord(record.Get());
  return record.Get();
}

bool MPersistentCompositeOnDiskImp::Admits(RWClassID id, bool replacing) const {
  if (replacing || records_.RecordCount() <= kMaxTopLevelRecords || id == kGPageEndClassID) return true;
  if (id != kFollowerClassID) return false;
  for (RWClassID leader : kLeaderClassIDs) {
    if (classStoredLast == leader) return true;
  }
  return false;
}

GRecordRef MPersistentCompositeOnDiskImp::StoreRecord(const MPersistentObject& object, bool replacing, uint32_t depth) {
  const RWClassID id = object.ClassID();
  if (failed_ != 0 || !FileIsUsable() || !Admits(id, replacing)) return GRecordRef();
  classStoredLast = id;
  if (IsNestedStore(id)) return StoreNestedStore(object);
  // The tree interface has no const forms; storing only reads the object.
  if (const_cast<MPersistentObject&>(object).AsComposite() != nullptr) {
    return StoreComposite(object, replacing, depth);
  }
  return StoreLeaf(object);
}

GRecordRef MPersistentCompositeOnDiskImp::StoreNestedStore(const MPersistentObject& object) {
  // A store kept inside itself would hold its own file open for ever.
  const auto* handle = dynamic_cast<const MPersistentCompositeOnDisk*>(&object);
  if (handle != nullptr && handle->Path() == path_) return GRecordRef();
  std::unique_ptr<MPersistentObject> copy;
  const MPersistentObject* written = UniquelyNumbered(object, copy);
  if (written == nullptr) return GRecordRef();
  GRecordRef record(new GRecordProxy(*written));
  return WriteObject(*written, *record) ? record : GRecordRef();
}

// The children go first, each in a block of its own; then the shell, a new
// composite of the class with the composite's key and serial number and no
// children.
GRecordRef MPersistentCompositeOnDiskImp::StoreComposite(const MPersistentObject& object, bool replacing,
                                                         uint32_t depth) {
  std::vector<GRecordRef> children;
  const std::unique_ptr<GIterator> iterator = const_cast<MPersistentObject&>(object).NewChildIterator();
  while (failed_ == 0 && iterator->Advance()) {
    const MPersistentObject* child = iterator->Current();
    if (child == nullptr) continue;
    GRecordRef record = StoreRecord(*child, replacing, depth + 1);
    if (record) children.push_back(std::move(record));
  }
  if (failed_ != 0) return GRecordRef();
  const std::unique_ptr<MPersistentObject> shell(object.NewObject());
  if (shell == nullptr) return GRecordRef();
  shell->SetKey(object.Key());
  shell->SetSerialNumber(object.SerialNumber());
  while (!KeyIsFree(shell->SerialNumber())) shell->NextSerialNumber();
  GRecordRef record(new GRecordComposite(*shell));
  for (const GRecordRef& child : children) record->AddRecord(child.Get());
  return WriteObject(*shell, *record) ? record : GRecordRef();
}

GRecordRef MPersistentCompositeOnDiskImp::StoreLeaf(const MPersistentObject& object) {
  std::unique_ptr<MPersistentObject> copy;
  const MPersistentObject* written = UniquelyNumbered(object, copy);
  if (written == nullptr) return GRecordRef();
  GRecordRef record(new GRecord(*written));
  return WriteObject(*written, *record) ? record : GRecordRef();
}

const MPersistentObject* MPersistentCompositeOnDiskImp::UniquelyNumbered(const MPersistentObject& object,
                                                                         std::unique_ptr<MPersistentObject>& copy) {
  if (KeyIsFree(object.SerialNumber())) return &object;
  copy.reset(object.CloneObject());
  if (copy == nullptr) return nullptr;
  do {
    copy->NextSerialNumber();
  } while (!KeyIsFree(copy->SerialNumber()));
  return copy.get();
}

bool MPersistentCompositeOnDiskImp::KeyIsFree(uint32_t serialNumber) {
  return serialNumber != 0 && !HasKey(serialNumber);
}

bool MPersistentCompositeOnDiskImp::HasKey(uint32_t serialNumber) {
  RWCString found;
  int32_t offset;
  return tree_->Find(GRecord::KeyString(serialNumber).Data(), found, offset);
}

bool MPersistentCompositeOnDiskImp::WriteObject(const MPersistentObject& object, const GRecord& record) {
  GBinaryFile& file = manager_->File();
  const OwnGraph graph;
  const uint32_t size = ObjectStoreSize(&object);
  const int32_t offset = manager_->Allocate(size);
  if (offset == -1 || !file.SeekTo(offset)) return Fail();
  WriteObjectToFile(&object, file);
  // A graph larger than its class said would have run into the next block.
  if (file.Failed() || file.Offset() - offset > static_cast<int64_t>(size)) return Fail();
  if (!tree_->Insert(record.KeyString().Data(), offset)) {
    manager_->Deallocate(offset);
    return Fail();
  }
  return true;
}

GObjectRef MPersistentCompositeOnDiskImp::TakeObject(GRecord& record) { return RetrieveObject(record, true); }

GObjectRef MPersistentCompositeOnDiskImp::FetchObject(GRecord& record) { return RetrieveObject(record, false); }

// A failed store still hands out what it can read, but takes nothing out
// of its file.
GObjectRef MPersistentCompositeOnDiskImp::RetrieveObject(GRecord& record, bool take) {
  const Lock lock(StoreLock());
  if (manager_ == nullptr || tree_ == nullptr) return GObjectRef();
  const RWCString key = record.KeyString();
  RWCString found;
  int32_t offset = -1;
  const bool remove = take && !HasFailed();
  const bool present = remove ? tree_->Remove(key.Data(), found, offset) : tree_->Find(key.Data(), found, offset);
  GObjectRef object;
  if (present && HoldsGraph(offset)) {
    object = ReadObjectAt(offset);
    // The store holds no nil objects: a block that reads as none is damaged.
    if (!object) {
      manager_->ReportDamage();
      Fail();
    } else if (remove) {
      manager_->Deallocate(offset);
    }
    AttachChildren(object, record, take);
  }
  if (manager_->File().Failed() || manager_->IsDamaged()) Fail();
  return object;
}

// An offset that the tree gives is checked before use: a damaged file may
// point anywhere.
bool MPersistentCompositeOnDiskImp::HoldsGraph(int32_t offset) {
  if (manager_->HoldsBlock(offset, kSmallestGraph)) return true;
  manager_->ReportDamage();
  return Fail();
}

GObjectRef MPersistentCompositeOnDiskImp::ReadObjectAt(int32_t offset) {
  GBinaryFile& file = manager_->File();
  const OwnGraph graph;
  if (!file.SeekTo(offset)) return GObjectRef();
  MPersistentObject* object = nullptr;
  ReadObjectFromFile(file, object);
  return GObjectRef(object);
}

// Nested stores join their parent as shared children; the others as
// children. Without a composite to join, the children are still taken out.
void MPersistentCompositeOnDiskImp::AttachChildren(const GObjectRef& object, GRecord& record, bool take) {
  GDoubleLinkedList* children = record.ChildList();
  if (children == nullptr) return;
  const bool joinable = object && object->AsComposite() != nullptr;
  for (GDoubleLink* link = children->Head()->next; link != children->Tail(); link = link->next) {
    GRecord& childRecord = *GRecordEntry::Of(link)->record;
    const GObjectRef child = take ? TakeObject(childRecord) : FetchObject(childRecord);
    if (!child || !joinable) continue;
    if (IsNestedStore(child->ClassID())) {
      object->AddShared(child);
    } else {
      object->AddChild(child.Get());
    }
  }
}

bool MPersistentCompositeOnDiskImp::ReplaceObject(GRecord& record, const MPersistentObject& object) {
  const Lock lock(StoreLock());
  if (!FileIsUsable() || !HasKey(record.SerialNumber())) return false;
  TakeObject(record);
  return StoreObject(object, true) != nullptr;
}

void MPersistentCompositeOnDiskImp::AddShared(const GObjectRef& node) {
  if (!node) return;
  const Lock lock(StoreLock());
  StoreObject(*node, false);
}

void MPersistentCompositeOnDiskImp::InsertShared(const GObjectRef& node) { AddShared(node); }

GObjectRef MPersistentCompositeOnDiskImp::FindSharedByNode(const MPersistentObject* node) {
  if (node == nullptr) return GObjectRef();
  const Lock lock(StoreLock());
  return records_.TakeFromChildren(GRecordMatch::Same(*node), *this);
}

GObjectRef MPersistentCompositeOnDiskImp::FindSharedByKey(int32_t key) {
  const Lock lock(StoreLock());
  return records_.TakeFromChildren(GRecordMatch::Key(key), *this);
}

GObjectRef MPersistentCompositeOnDiskImp::FindSharedByClassId(RWClassID id) {
  const Lock lock(StoreLock());
  return records_.TakeFromChildren(GRecordMatch::ClassId(id), *this);
}

bool MPersistentCompositeOnDiskImp::ReplaceSharedByKey(int32_t key, const MPersistentObject& object) {
  const Lock lock(StoreLock());
  return records_.ReplaceInChildren(GRecordMatch::Key(key), object, *this);
}

bool MPersistentCompositeOnDiskImp::ReplaceSharedByClassId(RWClassID id, const MPersistentObject& object) {
  const Lock lock(StoreLock());
  return records_.ReplaceInChildren(GRecordMatch::ClassId(id), object, *this);
}

bool MPersistentCompositeOnDiskImp::ReplaceShared(const MPersistentObject& old, const MPersistentObject& object) {
  const Lock lock(StoreLock());
  return records_.ReplaceInChildren(GRecordMatch::Same(old), object, *this);
}

void MPersistentCompositeOnDiskImp::RemoveAllChildren() { Reset(); }

GObjectRef MPersistentCompositeOnDiskImp::SharedIfKey(int32_t key) {
  const Lock lock(StoreLock());
  return records_.FetchFromChildren(GRecordMatch::Key(key), *this);
}

GObjectRef MPersistentCompositeOnDiskImp::SharedIfClassId(RWClassID id) {
  const Lock lock(StoreLock());
  return records_.FetchFromChildren(GRecordMatch::ClassId(id), *this);
}

GObjectRef MPersistentCompositeOnDiskImp::SharedIfEqual(const MPersistentObject& other) {
  const Lock lock(StoreLock());
  return records_.FetchFromChildren(GRecordMatch::Same(other), *this);
}

uint32_t MPersistentCompositeOnDiskImp::EntryCount() const {
  const Lock lock(StoreLock());
  return records_.ObjectCount();
}

uint32_t MPersistentCompositeOnDiskImp::NodeCount() const { return EntryCount(); }

std::unique_ptr<GIterator> MPersistentCompositeOnDiskImp::NewChildIterator() {
  return std::make_unique<GRecordIterator>(*this);
}

// The function runs outside the lock, on the records as they were when the
// walk began; a child taken out meanwhile is left out.
void MPersistentCompositeOnDiskImp::ForEachChild(void (*function)(GCountedPtr& element, void* user), void* user) {
  std::vector<GRecordRef> records;
  {
    const Lock lock(StoreLock());
    GDoubleLinkedList& list = *records_.ChildList();
    for (GDoubleLink* link = list.Head()->next; link != list.Tail(); link = link->next) {
      records.push_back(GRecordEntry::Of(link)->record);
    }
  }
  for (const GRecordRef& record : records) {
    GCountedPtr element(FetchObject(*record));
    if (!element.IsEmpty()) function(element, user);
  }
}
