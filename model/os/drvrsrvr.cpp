#include "model/os/drvrsrvr.h"

#include <utility>

#include "model/attributes/peripheral.h"
#include "model/attributes/resource_mapping.h"
#include "model/objects/model_stream.h"
#include "model/os/fatal_error.h"
#include "model/os/lock.h"
#include "model/os/osfactry.h"
#include "model/os/printer_identity.h"

namespace {

constexpr const char kSourceName[] = "drvrsrvr";

// Keys of the root of a driver data file.
constexpr int32_t kDeviceRootKey = 353;
constexpr int32_t kResourceMappingsKey = 191;
constexpr int32_t kOSTrayMapKey = 84;
constexpr int32_t kExtraMappingsKey = 194;

// The registered server, owned here; deleted when the process ends.
struct ServerOwner {
  std::atomic<GDriverServer*> server{nullptr};
  ~ServerOwner() { delete server.exchange(nullptr); }
};

ServerOwner owner;
std::atomic<GDriverServer::FontPoolClear> fontPoolClear{nullptr};

// The sides whose lock this thread holds: a release of memory asked for
// while one is held passes over it rather than wait for itself.
constexpr int kMostHeldSides = 4;
thread_local const void* heldSides[kMostHeldSides] = {};

bool HeldByThisThread(const void* side) {
  for (const void* held : heldSides) {
    if (held == side) return true;
  }
  return false;
}

void MarkHeld(const void* side, bool held) {
  for (const void*& slot : heldSides) {
    if (slot == (held ? nullptr : side)) {
      slot = held ? side : nullptr;
      return;
    }
  }
}

template <typename T>
std::unique_ptr<T> TakeChildOfKind(MPersistentObject& root, int32_t key) {
  std::unique_ptr<MPersistentObject> child(root.RemoveChildByKey(key));
  if (auto* typed = dynamic_cast<T*>(child.get())) {
    child.release();
    return std::unique_ptr<T>(typed);
  }
  return nullptr;
}

// Reads the driver's model from its data file: one stored object graph
// whose root holds the device root and the mapping lists under their keys.
// A child of another kind than its key calls for counts as missing.
bool LoadDriverObject(GOSFactory& factory, GDriverInterface& driver) {
  RWWString path;
  factory.GetDriverDataFile(path, driver);
  std::unique_ptr<GInputStream> stream = factory.NewFileInputStream(path, GOSFactory::kBinaryFormat);
  GVirtualInStream* in = stream ? stream->Stream() : nullptr;
  if (in == nullptr || !in->IsGood()) return false;
  MPersistentObject* read = nullptr;
  ReadObjectFromStream(*in, read);
  std::unique_ptr<MPersistentObject> root(read);
  stream.reset();
  if (!root || !root->IsKindOf(kGAttributeClassID)) return false;

  driver.SetSettingsRoot(TakeChildOfKind<GPeripheral>(*root, kDeviceRootKey));
  driver.SetResourceMappings(TakeChildOfKind<GResourceMappingList>(*root, kResourceMappingsKey));
  driver.SetOSTrayMap(TakeChildOfKind<GResourceMappingList>(*root, kOSTrayMapKey));
  std::unique_ptr<GResourceMappingList> extra = TakeChildOfKind<GResourceMappingList>(*root, kExtraMappingsKey);
  if (!extra) extra = std::make_unique<GResourceMappingList>(kExtraMappingsKey);
  driver.SetExtraMappings(std::move(extra));
  return true;
}

}  // namespace

// Holds a side's lock for a scope. A failed lock is fatal error 301 and a
// failed unlock 302; after a failed lock (which returns only under a test's
// exit hook) the caller leaves the side alone. Without a lock (no OS factory
// made one) the side is used unguarded.
class GDriverServer::SideLock {
 public:
  SideLock(Side& side, int32_t line) : side_(side) {
    GLock* lock = side.lock.load(std::memory_order_acquire);
    if (lock != nullptr && lock->Lock() != 0) {
      ReportFatalError(kFatalTypeShutdown, kFatalLockFailed, kSourceName, line);
      return;
    }
    held_ = true;
    MarkHeld(&side_, true);
  }
  ~SideLock() {
    if (!held_) return;
    GLock* lock = side_.lock.load(std::memory_order_acquire);
    // Still marked while a failed unlock is reported, so that the shutdown
    // the report runs passes over this side.
    if (lock != nullptr && lock->Unlock() == GLock::kUnlockFailed) {
      ReportFatalError(kFatalTypeShutdown, kFatalUnlockFailed, kSourceName, __LINE__);
    }
    MarkHeld(&side_, false);
  }
  SideLock(const SideLock&) = delete;
  SideLock& operator=(const SideLock&) = delete;

  bool Held() const { return held_; }

 private:
  Side& side_;
  bool held_ = false;
};

GDriverServer::GDriverServer() {
  if (GOSFactory* factory = GOSFactory::Instance()) {
    factory->CreateChecked(uiSide_.lock);
    factory->CreateChecked(renderSide_.lock);
  }
  delete owner.server.exchange(this, std::memory_order_acq_rel);
}

// Nobody else uses a server that is being destroyed, so its tables are
// emptied without its locks, which a fatal error may have left taken.
GDriverServer::~GDriverServer() {
  GDriverServer* self = this;
  owner.server.compare_exchange_strong(self, nullptr);
  for (Side* side : {&uiSide_, &renderSide_}) {
    side->cached.reset();
    std::unique_ptr<GHandleTable::Entry> entries = side->table.TakeAll();
    while (entries) entries = std::move(entries->next);
    delete side->lock.exchange(nullptr);
  }
}

GDriverServer* GDriverServer::Instance() { return owner.server.load(std::memory_order_acquire); }

void CreateDriverServer() {
  if (GDriverServer::Instance() == nullptr) new GDriverServer;
}

GDriverServer::FontPoolClear GDriverServer::SetFontPoolClear(FontPoolClear clear) {
  return fontPoolClear.exchange(clear);
}

uint32_t GDriverServer::Register(Table table, std::unique_ptr<GDriverInterface> object) {
  const uint32_t candidate = HashHandle(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(object.get())));
  std::unique_ptr<GHandleTable::Entry> entry = GHandleTable::NewEntry(std::move(object));
  Side& side = SideOf(table);
  SideLock lock(side, __LINE__);
  if (!lock.Held()) return 0;
  return side.table.Insert(std::move(entry), candidate);
}

// The cached object when it belongs to the same driver as the key, taken
// out of the cache.
std::unique_ptr<GDriverInterface> GDriverServer::TakeCachedFor(Side& side, const GDriverKey& key) {
  SideLock lock(side, __LINE__);
  if (!lock.Held() || !side.cached) return nullptr;
  const std::unique_ptr<GDriverKey> cachedKey = side.cached->CreatePrinterIdentity();
  if (!cachedKey || !cachedKey->IsSameDriver(key)) return nullptr;
  return std::move(side.cached);
}

GDriverInterface* GDriverServer::OpenOn(Table table, std::unique_ptr<GDriverKey> key, uint32_t& handle) {
  GOSFactory* factory = GOSFactory::Instance();
  if (!key || factory == nullptr) return nullptr;
  std::unique_ptr<GDriverInterface> object = TakeCachedFor(SideOf(table), *key);
  if (object) {
    // Re-targeted outside the lock: the object is out of the cache and
    // belongs to this call alone.
    object->Invalidate(*key);
  } else {
    object = table == kUITable ? factory->CreateDriverObject(*key) : factory->CreateRenderDriverObject(*key);
    if (!object || !LoadDriverObject(*factory, *object)) return nullptr;
  }
  key.reset();
  GDriverInterface* opened = object.get();
  const uint32_t registered = Register(table, std::move(object));
  if (registered == 0) return nullptr;
  handle = registered;
  return opened;
}

GUIDriver* GDriverServer::Open(std::unique_ptr<GDriverKey> key, uint32_t& handle) {
  GDriverInterface* object = OpenOn(kUITable, std::move(key), handle);
  return object != nullptr ? object->AsUIDriver() : nullptr;
}

GGraphicsDevice* GDriverServer::OpenRender(std::unique_ptr<GDriverKey> key, uint32_t& handle) {
  GDriverInterface* object = OpenOn(kRenderTable, std::move(key), handle);
  return object != nullptr ? object->AsGraphicsDevice() : nullptr;
}

GDriverInterface* GDriverServer::FindOn(Table table, uint32_t handle) {
  Side& side = SideOf(table);
  SideLock lock(side, __LINE__);
  return lock.Held() ? side.table.Find(handle) : nullptr;
}

GUIDriver* GDriverServer::LookupHandle(uint32_t handle) {
  GDriverInterface* object = FindOn(kUITable, handle);
  return object != nullptr ? object->AsUIDriver() : nullptr;
}

GGraphicsDevice* GDriverServer::FindRenderObject(uint32_t handle) {
  GDriverInterface* object = FindOn(kRenderTable, handle);
  return object != nullptr ? object->AsGraphicsDevice() : nullptr;
}

void GDriverServer::Unregister(Table table, uint32_t handle) {
  Side& side = SideOf(table);
  std::unique_ptr<GDriverInterface> toDelete;
  bool found = false;
  {
    SideLock lock(side, __LINE__);
    if (!lock.Held()) return;
    std::unique_ptr<GDriverInterface> object = side.table.Remove(handle);
    found = object != nullptr;
    if (found && shutdown_.load() == 0) {
      object->ReleaseJobResources();
      toDelete = std::exchange(side.cached, std::move(object));
    } else {
      toDelete = std::move(object);
    }
  }
  toDelete.reset();
  if (!found && shutdown_.load() == 0) {
    ReportFatalError(kFatalTypeExit, kFatalUnknownHandle, kSourceName, __LINE__);
  }
}

void GDriverServer::Close(uint32_t handle) { Unregister(kUITable, handle); }

void GDriverServer::CloseRender(uint32_t handle) {
  Unregister(kRenderTable, handle);
  SideLock lock(renderSide_, __LINE__);
  if (!lock.Held() || renderSide_.table.Count() != 0) return;
  if (FontPoolClear clear = fontPoolClear.load()) clear();
  shutdown_ = 0;
}

int32_t GDriverServer::FindHandleOf(Table table, const GDriverInterface* object, uint32_t& handle) {
  Side& side = SideOf(table);
  SideLock lock(side, __LINE__);
  return lock.Held() && side.table.FindHandleOf(object, handle) ? 1 : 0;
}

int32_t GDriverServer::ReleaseCachedObject(Side& side) {
  if (HeldByThisThread(&side)) return 0;
  SideLock lock(side, __LINE__);
  if (!lock.Held() || !side.cached) return 0;
  side.cached.reset();
  return 1;
}

int32_t GDriverServer::ReleaseCachedObjects() {
  const int32_t ui = ReleaseCachedObject(uiSide_);
  const int32_t render = ReleaseCachedObject(renderSide_);
  return ui | render;
}

int32_t GDriverServer::ReleaseMemoryOf(Side& side) {
  if (HeldByThisThread(&side)) return 0;
  SideLock lock(side, __LINE__);
  if (!lock.Held()) return 0;
  return side.table.VisitUntil([](GDriverInterface& object) { return object.ReleaseCachedMemory(); });
}

int32_t GDriverServer::ReleaseMemory() {
  if (ReleaseCachedObjects() != 0) return 1;
  const int32_t released = ReleaseMemoryOf(uiSide_);
  return released != 0 ? released : ReleaseMemoryOf(renderSide_);
}

void GDriverServer::Shutdown() {
  shutdown_ = 1;
  ReleaseCachedObjects();
}

void GDriverServer::ClearTable(Side& side, bool releaseJobResources) {
  std::unique_ptr<GHandleTable::Entry> entries;
  {
    SideLock lock(side, __LINE__);
    if (!lock.Held()) return;
    if (releaseJobResources) {
      side.table.VisitUntil([](GDriverInterface& object) {
        object.ReleaseJobResources();
        return 0;
      });
    }
    entries = side.table.TakeAll();
  }
  while (entries) entries = std::move(entries->next);
}

void GDriverServer::ClearTables() {
  ClearTable(uiSide_, false);
  ClearTable(renderSide_, true);
}
