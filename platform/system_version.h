#pragma once

#include <cstdint>

#include "platform/wide_char.h"

// The version queries of the operating system, as the system answers them.
// Outside Windows there is no such system: every query fails, GetVersion
// answers 0 and the product-options key does not exist.
namespace platform {

struct SystemVersionInfo {
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t build = 0;
  uint32_t platformId = 0;
};

// GetVersionExW with a version record whose size field says recordSize bytes;
// false when the system refuses the query.
bool QueryVersionEx(uint32_t recordSize, SystemVersionInfo& info);

// GetVersion: major version in the low byte, minor in the second, the top bit
// set on systems that are not NT.
uint32_t QueryVersion();

// HKEY_LOCAL_MACHINE "SYSTEM\CurrentControlSet\Control\ProductOptions",
// opened for reading while the object lives.
class ProductOptionsKey {
 public:
  ProductOptionsKey();
  ~ProductOptionsKey();
  ProductOptionsKey(const ProductOptionsKey&) = delete;
  ProductOptionsKey& operator=(const ProductOptionsKey&) = delete;

  bool IsOpen() const { return key_ != nullptr; }
  // Reads the value's bytes into a buffer of size bytes; on success size
  // becomes the bytes read. False when the value is missing or larger.
  bool Read(const WideChar* name, uint8_t* buffer, uint32_t& size);

 private:
  void* key_ = nullptr;
};

}  // namespace platform
