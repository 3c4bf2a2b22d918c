#pragma once

#include <cstdint>

#include "foundation/rw_cstring.h"

// What a downloaded-font record asks of the generator that sent the font:
// to count the printer memory the font takes and gives back, and to delete
// the font on the printer. The page-description generator base implements
// it.
class GDownloadedFontOwner {
 public:
  // Both answer the bytes of the budget left.
  virtual uint32_t ConsumeMemory(uint32_t bytes) = 0;
  virtual uint32_t ReleaseMemory(uint32_t bytes) = 0;
  virtual uint16_t DeleteFont(const RWCString& fontName) = 0;

 protected:
  ~GDownloadedFontOwner() = default;
};
