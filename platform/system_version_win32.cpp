#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/system_version.h"

namespace platform {

bool QueryVersionEx(uint32_t recordSize, SystemVersionInfo& info) {
  // The record is at least as large as the extended version record, whatever
  // size its size field claims, so the system never writes past it.
  std::vector<uint8_t> record(std::max<size_t>(recordSize, sizeof(OSVERSIONINFOEXW)));
  auto* version = reinterpret_cast<OSVERSIONINFOW*>(record.data());
  version->dwOSVersionInfoSize = recordSize;
  if (!GetVersionExW(version)) return false;
  info.major = version->dwMajorVersion;
  info.minor = version->dwMinorVersion;
  info.build = version->dwBuildNumber;
  info.platformId = version->dwPlatformId;
  return true;
}

uint32_t QueryVersion() { return GetVersion(); }

ProductOptionsKey::ProductOptionsKey() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\ProductOptions", 0, KEY_READ, &key) ==
      ERROR_SUCCESS) {
    key_ = key;
  }
}

ProductOptionsKey::~ProductOptionsKey() {
  if (key_ != nullptr) RegCloseKey(static_cast<HKEY>(key_));
}

bool ProductOptionsKey::Read(const WideChar* name, uint8_t* buffer, uint32_t& size) {
  if (key_ == nullptr) return false;
  DWORD bytes = size;
  if (RegQueryValueExW(static_cast<HKEY>(key_), name, nullptr, nullptr, buffer, &bytes) != ERROR_SUCCESS) return false;
  size = bytes;
  return true;
}

}  // namespace platform
