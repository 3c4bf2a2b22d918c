#pragma once

#include <cstdarg>
#include <cstdint>

#include "foundation/rw_wstring.h"
#include "model/objects/persistent_object.h"
#include "platform/dynamic_library.h"

// A library named by its file name, loaded on first use, through which the
// extension manager and the add-on peripherals call entry points by name.
// Only the name is stored; a restored library is loaded again when it is
// next used.
//
// Each loaded object holds its own reference to the module: a copy of a
// loaded library takes one more, so freeing or destroying one of them never
// unloads a module that another still uses.
//
// Stored contents after the base part: version 1, the name (a 32-bit count,
// then 16-bit units).
class GDynamicLibrary : public MPersistentObject {
 public:
  // An entry called through CallEntry reads the caller's further arguments
  // from the list it is given.
  using Entry = void* (*)(va_list arguments);
  // The second argument is pointer-sized: extensions are handed the
  // address of a table to fill in it.
  using Entry16 = uint16_t (*)(uint32_t first, void* second);

  GDynamicLibrary() = default;
  explicit GDynamicLibrary(const RWWString& name) : name_(name) {}
  // A new base part (key 0, a new serial number), the same name and, when
  // the source is loaded, a reference of its own to the same module.
  GDynamicLibrary(const GDynamicLibrary& other);
  // Key, serial number and name, and a reference of its own to the source's
  // module in place of the one it held.
  GDynamicLibrary& operator=(const GDynamicLibrary& other);
  ~GDynamicLibrary() override;

  RWCollectable* NewInstance() const override { return new GDynamicLibrary; }
  RWCollectable* Clone() const override { return new GDynamicLibrary(*this); }
  RWClassID ClassID() const override { return kGDynamicLibraryClassID; }
  // Same key, name, loaded flag and module.
  bool SameContent(const MPersistentObject& other) const override;

  // Loads the library when it is not loaded; answers the loaded flag.
  int32_t Load();
  // Frees the module when loaded.
  void Free();
  int32_t IsLoaded() const { return loaded_; }
  const RWWString& Name() const { return name_; }
  platform::ModuleHandle Handle() const { return module_; }

  // Loads when needed and calls the entry of that name with the further
  // arguments as a variable argument list; answers its result, or null when
  // the library cannot be loaded or has no such entry.
  void* CallEntry(const char* entryName, ...);
  // Loads when needed and calls the entry with the two arguments; answers
  // its result, or 0 when the library cannot be loaded or has no such entry.
  uint16_t CallEntry16(const char* entryName, uint32_t first, void* second);

 protected:
  // A restored library names what it names now; the module loaded before
  // belongs to the old name.
  void Fields(GFieldArchive& archive) override;

 private:
  // The address of the entry, loading first; null when there is none.
  void* FindEntry(const char* entryName);
  // Holds a reference of its own to the module that other holds, if any.
  void ShareModuleOf(const GDynamicLibrary& other);

  RWWString name_;
  int32_t loaded_ = 0;
  platform::ModuleHandle module_ = nullptr;
};
