#include <windows.h>

#include "platform/dynamic_library.h"

namespace platform {

ModuleHandle OpenModule(const WideChar* fileName) {
  if (fileName == nullptr || *fileName == 0) return nullptr;
  return LoadLibraryW(fileName);
}

ModuleHandle AddModuleReference(ModuleHandle module) {
  if (module == nullptr) return nullptr;
  // A module handle is the module's base address, so asking for the module
  // that holds that address counts one more reference to the same module.
  HMODULE again = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, static_cast<LPCWSTR>(module), &again)) {
    return nullptr;
  }
  return again;
}

void* FindExport(ModuleHandle module, const char* name) {
  if (module == nullptr || name == nullptr) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

std::filesystem::path ModuleFileName(ModuleHandle module) {
  wchar_t name[MAX_PATH];
  const DWORD length = GetModuleFileNameW(static_cast<HMODULE>(module), name, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return std::filesystem::path(std::wstring(name, length));
}

bool CloseModule(ModuleHandle module) { return module != nullptr && FreeLibrary(static_cast<HMODULE>(module)) != 0; }

}  // namespace platform
