#pragma once

#include <mutex>
#include <string>
#include <unordered_map>

#include "foundation/rw_collectable.h"
#include "foundation/rw_cstring.h"

// A function without arguments that makes a new default object of one class
// (or answers null for a class that must not be made on its own).
using RWCreateFunction = RWCollectable* (*)();

// The process-wide map from class IDs and class names to the create
// functions of the collectable classes, through which a restore rebuilds an
// object from the class it finds in stored data.
//
// IDs and names are two independent indexes: the first registration of an ID
// and the first registration of a name win, later ones are ignored. Every
// operation takes the factory's lock, so look-ups may run on several threads
// while classes come and go; create functions run after the lock is let go.
class RWFactory {
 public:
  RWFactory() = default;
  RWFactory(const RWFactory&) = delete;
  RWFactory& operator=(const RWFactory&) = delete;

  void AddCreator(RWCreateFunction create, RWClassID id, const RWStringID& name);
  void RemoveID(RWClassID id);
  void RemoveName(const RWStringID& name);

  // Null when the class is not registered.
  RWCreateFunction CreateFunctionOfID(RWClassID id) const;
  RWCreateFunction CreateFunctionOfName(const RWStringID& name) const;
  RWCollectable* CreateByID(RWClassID id) const;
  RWCollectable* CreateByName(const RWStringID& name) const;

  // "NoID" and 0x8000 when nothing is registered under the key.
  RWStringID NameOfID(RWClassID id) const;
  RWClassID IDOfName(const RWStringID& name) const;

  // No ID and no name is registered.
  bool IsEmpty() const;

 private:
  struct Entry {
    RWCreateFunction create;
    RWClassID id;
    RWStringID name;
  };

  static std::string NameKey(const RWCString& name) { return std::string(name.Data(), name.Length()); }

  mutable std::mutex lock_;
  std::unordered_map<RWClassID, Entry> byID_;
  std::unordered_map<std::string, Entry> byName_;
};

// The factory of the process, made on first use.
RWFactory* GetFactory();
// Deletes the factory; the next registration makes a new one.
void DestroyFactory();

// Registers a class; without a name it is known as "No_RWStringID".
void FactoryAddCreator(RWCreateFunction create, RWClassID id, const RWStringID& name);
void FactoryAddCreatorNoName(RWCreateFunction create, RWClassID id);

// A new object of the class, or null when the class is not registered or no
// factory exists.
RWCollectable* FactoryCreateByID(RWClassID id);
RWCollectable* FactoryCreateByName(const RWStringID& name);

// Remove one of the two entries of a class. The removal that leaves the
// factory empty destroys it and hands the small-block pool's cached blocks
// back to the heap, so nothing of the library outlives its last class.
void FactoryRemoveID(RWClassID id);
void FactoryRemoveName(const RWStringID& name);

// "NoID" and 0x8000 when the key is not registered or no factory exists.
RWStringID FactoryNameOfID(RWClassID id);
RWClassID FactoryIDOfName(const RWStringID& name);
