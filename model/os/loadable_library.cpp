#include "model/os/loadable_library.h"

GLoadableLibrary::GLoadableLibrary(const RWWString& name, void* userData) : name_(name), userData_(userData) {}

GLoadableLibrary::~GLoadableLibrary() = default;

void GLoadableLibrary::SetModule(platform::ModuleHandle module) {
  module_ = module;
  loaded_ = module != nullptr ? 1 : 0;
}
