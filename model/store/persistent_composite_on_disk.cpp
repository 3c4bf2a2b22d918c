#include "model/store/persistent_composite_on_disk.h"

#include <cstdio>
#include <mutex>

#include "foundation/binary_file.h"
#include "foundation/class_registrar.h"
#include "foundation/stored_count.h"
#include "foundation/virtual_stream.h"
#include "model/store/open_store_list.h"
#include "model/store/persistent_composite_on_disk_imp.h"
#include "model/store/store_files.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<MPersistentCompositeOnDisk>, kMPersistentCompositeOnDiskClassID,
                                kMPersistentCompositeOnDiskClassName);

using Lock = std::lock_guard<std::recursive_mutex>;

// How many stores may be opened inside each other, each read while opening
// the one before: a bound for stored files that name each other in a chain.
constexpr uint32_t kMaxNestedOpens = 16;

MPersistentCompositeOnDiskImp& ImplementationOf(const GObjectRef& implementation) {
  return static_cast<MPersistentCompositeOnDiskImp&>(*implementation);
}

}  // namespace

MPersistentCompositeOnDisk::MPersistentCompositeOnDisk() = default;

MPersistentCompositeOnDisk::MPersistentCompositeOnDisk(const RWWString& path, int32_t option, int32_t key)
    : MPersistentObject(key), path_(path.ToMultibyte()), option_(option) {
  Open(path_);
}

// The copy of an open handle is an open handle of its own, with its own
// entry in the list, so that closing either leaves the other's intact.
MPersistentCompositeOnDisk::MPersistentCompositeOnDisk(const MPersistentCompositeOnDisk& other)
    : MPersistentObject(other),
      path_(other.path_),
      option_(other.option_),
      failed_(other.failed_),
      fromData_(other.fromData_) {
  const Lock lock(StoreLock());
  implementation_ = other.implementation_;
  if (other.state_ == kOpen) Open(path_);
}

// The file goes only when a store of this process created it and no
// implementation holds it any more: another handle may still use it.
MPersistentCompositeOnDisk::~MPersistentCompositeOnDisk() {
  const Lock lock(StoreLock());
  Close();
  implementation_ = nullptr;
  GStoreFiles& files = GStoreFiles::Instance();
  if (option_ == kDeleteFile && files.WasCreated(path_) &&
      GOpenStoreList::Instance().ImplementationOf(path_) == nullptr && std::remove(path_.Data()) == 0) {
    files.NoteDeleted(path_);
  }
}

void MPersistentCompositeOnDisk::Open(const RWCString& path) {
  const Lock lock(StoreLock());
  if (state_ == kOpen) return;
  state_ = kOpen;
  path_ = path;
  if (fromData_ && !GStoreFiles::Instance().MayOpenFromData(path_)) return Refuse();
  GOpenStoreList& list = GOpenStoreList::Instance();
  if (GOpenStoreEntry* entry = list.FirstEntry(path_)) {
    implementation_ = entry->implementation;
    list.AddEntry(entry, path_, implementation_);
  } else if (MPersistentCompositeOnDiskImp* alive = list.ImplementationOf(path_)) {
    // Held by handles that are closed; still the one implementation of the
    // file, unless it is reading its file right now.
    if (alive->IsOpening()) return Refuse();
    implementation_ = GObjectRef(alive);
    list.AddEntry(nullptr, path_, implementation_);
  } else {
    if (list.OpeningCount() >= kMaxNestedOpens) return Refuse();
    implementation_ = GObjectRef(new MPersistentCompositeOnDiskImp(path_, Key(), !fromData_));
    list.AddEntry(nullptr, path_, implementation_);
  }
}

void MPersistentCompositeOnDisk::Refuse() {
  implementation_ = nullptr;
  failed_ = 1;
}

void MPersistentCompositeOnDisk::Close() {
  const Lock lock(StoreLock());
  if (state_ == kClosed) return;
  state_ = kClosed;
  // A refused open made no entry.
  if (!implementation_) return;
  GOpenStoreList& list = GOpenStoreList::Instance();
  list.RemoveFirstEntry(path_);
  if (list.FirstEntry(path_) == nullptr) implementation_ = nullptr;
}

GObjectRef MPersistentCompositeOnDisk::GetImplementation() {
  if (state_ != kOpen) Open(path_);
  return implementation_;
}

template <typename Call>
auto MPersistentCompositeOnDisk::Forward(Call call) {
  using Result = decltype(call(std::declval<MPersistentCompositeOnDiskImp&>()));
  const Lock lock(StoreLock());
  const GObjectRef implementation = GetImplementation();
  if (!implementation) return Result();
  return call(ImplementationOf(implementation));
}

const MPersistentCompositeOnDiskImp* MPersistentCompositeOnDisk::Implementation() const {
  return static_cast<const MPersistentCompositeOnDiskImp*>(implementation_.Get());
}

void MPersistentCompositeOnDisk::FileName(RWCString& name) {
  name = path_;
  Forward([&name](MPersistentCompositeOnDiskImp& implementation) { implementation.FileName(name); });
}

bool MPersistentCompositeOnDisk::HasFailed() {
  const Lock lock(StoreLock());
  if (state_ == kOpen && implementation_) failed_ = ImplementationOf(implementation_).HasFailed() ? 1 : 0;
  return failed_ != 0;
}

void MPersistentCompositeOnDisk::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  int32_t state = state_;
  RWCString path = path_;
  int32_t option = option_;
  if (!archive.Int32(state) || !archive.String(path) || !archive.Int32(option) || !archive.IsRestoring()) return;
  const Lock lock(StoreLock());
  Close();
  option_ = option;
  fromData_ = true;
  Open(path);
  // A handle that does not open fails a stream it came from (settings from
  // outside are refused whole); a store file that names one is still read
  // whole, and the handle itself answers HasFailed.
  if (!implementation_ && !archive.IsRestoringFromFile()) archive.FailInput();
}

bool MPersistentCompositeOnDisk::SameContent(const MPersistentObject& other) const {
  const auto* handle = dynamic_cast<const MPersistentCompositeOnDisk*>(&other);
  return handle != nullptr && other.ClassID() == ClassID() && handle->path_ == path_ && handle->state_ == state_ &&
         handle->implementation_.Get() == implementation_.Get() && handle->option_ == option_;
}

void MPersistentCompositeOnDisk::AddShared(const GObjectRef& node) {
  Forward([&node](MPersistentCompositeOnDiskImp& implementation) { implementation.AddShared(node); });
}

void MPersistentCompositeOnDisk::InsertShared(const GObjectRef& node) {
  Forward([&node](MPersistentCompositeOnDiskImp& implementation) { implementation.InsertShared(node); });
}

GObjectRef MPersistentCompositeOnDisk::FindSharedByNode(const MPersistentObject* node) {
  return Forward(
      [node](MPersistentCompositeOnDiskImp& implementation) { return implementation.FindSharedByNode(node); });
}

GObjectRef MPersistentCompositeOnDisk::FindSharedByKey(int32_t key) {
  return Forward([key](MPersistentCompositeOnDiskImp& implementation) { return implementation.FindSharedByKey(key); });
}

GObjectRef MPersistentCompositeOnDisk::FindSharedByClassId(RWClassID id) {
  return Forward(
      [id](MPersistentCompositeOnDiskImp& implementation) { return implementation.FindSharedByClassId(id); });
}

bool MPersistentCompositeOnDisk::ReplaceSharedByKey(int32_t key, const MPersistentObject& object) {
  return Forward([key, &object](MPersistentCompositeOnDiskImp& implementation) {
    return implementation.ReplaceSharedByKey(key, object);
  });
}

bool MPersistentCompositeOnDisk::ReplaceSharedByClassId(RWClassID id, const MPersistentObject& object) {
  return Forward([id, &object](MPersistentCompositeOnDiskImp& implementation) {
    return implementation.ReplaceSharedByClassId(id, object);
  });
}

bool MPersistentCompositeOnDisk::ReplaceShared(const MPersistentObject& old, const MPersistentObject& object) {
  return Forward([&old, &object](MPersistentCompositeOnDiskImp& implementation) {
    return implementation.ReplaceShared(old, object);
  });
}

void MPersistentCompositeOnDisk::RemoveAllChildren() {
  Forward([](MPersistentCompositeOnDiskImp& implementation) { implementation.RemoveAllChildren(); });
}

GObjectRef MPersistentCompositeOnDisk::SharedIfKey(int32_t key) {
  return Forward([key](MPersistentCompositeOnDiskImp& implementation) { return implementation.SharedIfKey(key); });
}

GObjectRef MPersistentCompositeOnDisk::SharedIfClassId(RWClassID id) {
  return Forward([id](MPersistentCompositeOnDiskImp& implementation) { return implementation.SharedIfClassId(id); });
}

GObjectRef MPersistentCompositeOnDisk::SharedIfEqual(const MPersistentObject& other) {
  return Forward(
      [&other](MPersistentCompositeOnDiskImp& implementation) { return implementation.SharedIfEqual(other); });
}

// Counting opens a closed handle, as every child operation does.
uint32_t MPersistentCompositeOnDisk::EntryCount() const {
  return const_cast<MPersistentCompositeOnDisk*>(this)->Forward(
      [](MPersistentCompositeOnDiskImp& implementation) { return implementation.EntryCount(); });
}

uint32_t MPersistentCompositeOnDisk::NodeCount() const { return EntryCount(); }

std::unique_ptr<GIterator> MPersistentCompositeOnDisk::NewChildIterator() {
  std::unique_ptr<GIterator> iterator =
      Forward([](MPersistentCompositeOnDiskImp& implementation) { return implementation.NewChildIterator(); });
  if (iterator == nullptr) iterator = std::make_unique<GEmptyIterator>();
  return iterator;
}

// The function runs outside the lock (see the implementation's walk).
void MPersistentCompositeOnDisk::ForEachChild(void (*function)(GCountedPtr& element, void* user), void* user) {
  GObjectRef implementation = Forward([](MPersistentCompositeOnDiskImp& imp) { return GObjectRef(&imp); });
  if (implementation) ImplementationOf(implementation).ForEachChild(function, user);
  const Lock lock(StoreLock());
  implementation = nullptr;
}
