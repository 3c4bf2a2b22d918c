#include <dlfcn.h>
#include <link.h>

#include <string>

#include "platform/dynamic_library.h"
#include "platform/file_path.h"

namespace platform {

ModuleHandle OpenModule(const WideChar* fileName) {
  if (fileName == nullptr || *fileName == 0) return nullptr;
  return dlopen(ToFilePath(fileName, std::char_traits<WideChar>::length(fileName)).c_str(), RTLD_NOW | RTLD_LOCAL);
}

ModuleHandle AddModuleReference(ModuleHandle module) {
  if (module == nullptr) return nullptr;
  // Opening the loaded module's own path again with RTLD_NOLOAD only counts
  // a reference; it never loads a second copy.
  link_map* map = nullptr;
  if (dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr || map->l_name == nullptr) return nullptr;
  return dlopen(map->l_name, RTLD_NOW | RTLD_NOLOAD);
}

void* FindExport(ModuleHandle module, const char* name) {
  if (module == nullptr || name == nullptr) return nullptr;
  return dlsym(module, name);
}

std::filesystem::path ModuleFileName(ModuleHandle module) {
  std::error_code error;
  if (module == nullptr) return std::filesystem::read_symlink("/proc/self/exe", error);
  link_map* map = nullptr;
  if (dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr || map->l_name == nullptr) return {};
  return std::filesystem::path(map->l_name);
}

bool CloseModule(ModuleHandle module) { return module != nullptr && dlclose(module) == 0; }

}  // namespace platform
