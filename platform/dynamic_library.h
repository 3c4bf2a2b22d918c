#pragma once

#include <filesystem>

#include "platform/wide_char.h"

// Loadable modules of the operating system: shared objects through dlopen,
// DLLs through LoadLibraryW. The system counts the references to a module
// and unloads it when the last one is freed.
namespace platform {

using ModuleHandle = void*;

// Loads the module of that file name; null when it cannot be loaded.
ModuleHandle OpenModule(const WideChar* fileName);

// Takes one more reference to a module already loaded, so that whoever holds
// it may free it independently; answers the handle, or null on failure.
ModuleHandle AddModuleReference(ModuleHandle module);

// The address of the module's export of that name, or null.
void* FindExport(ModuleHandle module, const char* name);

// The full file name of the module; of the running program for null. Empty
// when the system cannot tell.
std::filesystem::path ModuleFileName(ModuleHandle module);

// Drops one reference; true when the system accepted it.
bool CloseModule(ModuleHandle module);

}  // namespace platform
