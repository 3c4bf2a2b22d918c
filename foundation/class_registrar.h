#pragma once

#include "foundation/rw_factory.h"

// Keeps one class registered with the factory for as long as it lives. Every
// persistent class has one static registrar in its source file, so that it
// registers while the module loads and leaves, ID first and then name, when
// the module unloads:
//
//   namespace {
//   const GClassRegistrar registrar(CreateCollectable<RWSet>, kRWSetClassID, "RWSet");
//   }
//
// Many classes are only ever made by the factory, so nothing refers to their
// units; the library that holds them links whole into every program (see
// qv_link_whole_library in cmake/QvClassRegistration.cmake) so that no
// registrar is left out.
class GClassRegistrar {
 public:
  // name must be static text: it is needed again at unload.
  GClassRegistrar(RWCreateFunction create, RWClassID id, const char* name);
  ~GClassRegistrar();
  GClassRegistrar(const GClassRegistrar&) = delete;
  GClassRegistrar& operator=(const GClassRegistrar&) = delete;

 private:
  RWClassID id_;
  const char* name_;
};

// The usual create function: a new default object of the class.
template <typename T>
RWCollectable* CreateCollectable() {
  return new T;
}
