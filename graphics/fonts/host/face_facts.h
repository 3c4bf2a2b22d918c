#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "foundation/rw_cstring.h"

class GTTFontFile;

// What the font host reads of a TrueType face to describe it: the family
// name (name ID 1), the em size, and the style and coverage that OS/2 and
// post give. The tables come through the TrueType reader and are checked
// as they are read.
struct GHostFaceFacts {
  std::u16string family;
  uint16_t unitsPerEm = 0;
  uint16_t weight = 400;
  bool italic = false;
  bool fixedPitch = false;
  uint16_t firstCode = 0x20;
  uint16_t lastCode = 0xFF;

  // None when head has no usable em size or name no family name.
  static std::optional<GHostFaceFacts> Read(GTTFontFile& file, uint32_t context);

  // The family name as narrow text: ASCII kept, every other character '?'.
  RWCString NarrowFamily() const;
};

// The family name in a name table: the Windows Unicode record of name ID
// 1, else the Macintosh Roman one (its ASCII part); empty when there is
// none or it lies outside the table.
std::u16string ReadFamilyName(const uint8_t* table, uint32_t size);
