#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/wide_char.h"

// File names are UTF-16 text everywhere in the system; the file system takes
// them in its own form (UTF-16 on Windows, UTF-8 bytes elsewhere).
namespace platform {

std::filesystem::path ToFilePath(const WideChar* name, uint32_t length);
// The path as UTF-16 text; bytes that are no UTF-8 become U+FFFD.
std::basic_string<WideChar> FromFilePath(const std::filesystem::path& path);

// The separator between the parts of a path on this system.
WideChar PathSeparator();

}  // namespace platform
