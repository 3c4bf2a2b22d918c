#pragma once

#include <cstdint>

#include "foundation/rw_wstring.h"
#include "platform/dynamic_library.h"

// The base of objects that load a companion library on demand (the helper
// and mini-installer loaders). The derived class loads, initialises, shuts
// down and unloads the library; this part only keeps its state.
class GLoadableLibrary {
 public:
  GLoadableLibrary(const RWWString& name, void* userData);
  GLoadableLibrary(const GLoadableLibrary&) = delete;
  GLoadableLibrary& operator=(const GLoadableLibrary&) = delete;
  // Unloading is the derived class's task, done in its own destructor.
  virtual ~GLoadableLibrary();

  // Initialises the loaded library and shuts it down again.
  virtual int32_t Initialize() = 0;
  virtual int32_t Shutdown() = 0;

  bool IsLoaded() const { return loaded_ != 0; }

 protected:
  const RWWString& Name() const { return name_; }
  void* UserData() const { return userData_; }
  RWWString& Path() { return path_; }
  platform::ModuleHandle Module() const { return module_; }
  // Records the module the derived class loaded (null when it freed it).
  void SetModule(platform::ModuleHandle module);

 private:
  RWWString name_;
  void* userData_;
  int32_t loaded_ = 0;
  RWWString path_;
  platform::ModuleHandle module_ = nullptr;
};
