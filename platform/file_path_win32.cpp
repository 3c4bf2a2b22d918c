#include <string>

#include "platform/file_path.h"

namespace platform {

std::filesystem::path ToFilePath(const WideChar* name, uint32_t length) {
  return std::filesystem::path(std::wstring(name, length));
}

std::basic_string<WideChar> FromFilePath(const std::filesystem::path& path) { return path.native(); }

WideChar PathSeparator() { return L'\\'; }

}  // namespace platform
