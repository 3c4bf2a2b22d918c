#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "model/os/driver_interface.h"
#include "model/os/handle_table.h"

class GDriverKey;
class GGraphicsDevice;
class GLock;
class GUIDriver;

// The process-wide registry of driver objects. Every entry point asks it for
// the driver object of its printer and hands the object back; the server
// makes objects through the OS factory, loads their model from the printer
// driver's data file, hands out 32-bit handles for them, keeps the most
// recently closed object of each side for reuse, and frees memory on request
// of the new handler.
//
// Two independent sides, each a handle table with its own lock and its own
// cached object: the user-interface side (the Drv entry points' hosts) and
// the rendering side (graphics devices). No operation holds both locks.
// When memory runs out while a thread holds a side's lock (an allocation
// inside a driver object's own code), the release that the new handler asks
// for passes over that side instead of waiting for its own lock.
class GDriverServer {
 public:
  enum Table : int32_t { kUITable = 1, kRenderTable = 2 };

  // Registers the new server as the instance, deleting the one before.
  GDriverServer();
  GDriverServer(const GDriverServer&) = delete;
  GDriverServer& operator=(const GDriverServer&) = delete;
  // Deletes every object of both tables and both cached objects.
  virtual ~GDriverServer();

  static GDriverServer* Instance();

  // The user-interface object of the printer of the key: the cached object
  // when it belongs to the same driver (re-targeted to the key), else a new
  // one from the OS factory loaded from the driver's data file. The key is
  // the server's in every case. On success the handle is written; null, the
  // handle untouched, when no object could be had.
  GUIDriver* Open(std::unique_ptr<GDriverKey> key, uint32_t& handle);
  // The user-interface object registered under the handle, or null.
  GUIDriver* LookupHandle(uint32_t handle);
  // Takes the handle's object out of its table; it becomes the cached object
  // of its side (the one cached before is deleted), or is deleted while the
  // server shuts down. Closing a handle that is not registered is fatal
  // error 501 of type 1, unless the server is shutting down.
  void Close(uint32_t handle);

  // The same for the rendering side, whose objects the OS factory makes with
  // CreateRenderDriverObject.
  GGraphicsDevice* OpenRender(std::unique_ptr<GDriverKey> key, uint32_t& handle);
  GGraphicsDevice* FindRenderObject(uint32_t handle);
  // As Close; when the render table is then empty, the TrueType font pool is
  // cleared and the shutdown flag reset.
  void CloseRender(uint32_t handle);

  // Registers an object in a table under a new handle and answers it; 0
  // when the table's lock failed.
  uint32_t Register(Table table, std::unique_ptr<GDriverInterface> object);
  // 1 and the handle of the object in the table, or 0.
  int32_t FindHandleOf(Table table, const GDriverInterface* object, uint32_t& handle);

  // Deletes the cached objects; 1 when there was one.
  int32_t ReleaseCachedObjects();
  // Frees what it can for the new handler: the cached objects, else memory
  // of the registered objects; non-zero when something was released.
  int32_t ReleaseMemory();
  // From now on closed objects are deleted rather than cached; deletes the
  // cached objects.
  void Shutdown();
  // Deletes every registered object of both tables.
  void ClearTables();

  // What the server calls to clear the TrueType font pool when the render
  // table becomes empty; the graphics model installs it. Answers the one
  // installed before.
  using FontPoolClear = void (*)();
  static FontPoolClear SetFontPoolClear(FontPoolClear clear);

 private:
  struct Side {
    std::atomic<GLock*> lock{nullptr};
    GHandleTable table;
    std::unique_ptr<GDriverInterface> cached;
  };
  class SideLock;

  Side& SideOf(Table table) { return table == kUITable ? uiSide_ : renderSide_; }
  GDriverInterface* OpenOn(Table table, std::unique_ptr<GDriverKey> key, uint32_t& handle);
  std::unique_ptr<GDriverInterface> TakeCachedFor(Side& side, const GDriverKey& key);
  GDriverInterface* FindOn(Table table, uint32_t handle);
  // Takes the handle's object out of its table into the side's cache (or
  // deletes it while shutting down); an unknown handle is fatal error 501.
  void Unregister(Table table, uint32_t handle);
  int32_t ReleaseCachedObject(Side& side);
  int32_t ReleaseMemoryOf(Side& side);
  void ClearTable(Side& side, bool releaseJobResources);

  Side uiSide_;
  Side renderSide_;
  std::atomic<int32_t> shutdown_{0};
};

// Creates the driver server when none exists.
void CreateDriverServer();
