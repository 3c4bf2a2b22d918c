#pragma once

#include <cstdint>
#include <span>

class GUnicodeConverter;

// Character codes that reach the TrueType reader carry an encoding number
// that names what the codes mean.
namespace tt_encoding {
inline constexpr int32_t kGlyphIndex = 1;  // the codes are glyph indices
inline constexpr int32_t kSymbol = 3;      // the symbol code page
inline constexpr int32_t kUnicode = 16;
inline constexpr int32_t kShiftJis = 17;
inline constexpr int32_t kPrc = 18;      // and 19: simplified Chinese
inline constexpr int32_t kWansung = 20;  // and 21: Korean
inline constexpr int32_t kWansungAlternative = 21;
inline constexpr int32_t kJohab = 22;
inline constexpr int32_t kBig5 = 23;  // traditional Chinese
}  // namespace tt_encoding

// The cmap subtable chosen for an encoding: its format (the subtable's first
// 16-bit value), its offset inside the cmap table, and the platform and
// encoding IDs of its encoding record.
struct GCharacterMapChoice {
  bool found = false;
  uint16_t format = 0;
  uint32_t offset = 0;
  uint16_t platformId = 0;
  uint16_t encodingId = 0;

  bool operator==(const GCharacterMapChoice& other) const = default;
};

// Chooses among the Windows subtables of a cmap table the one that serves
// the encoding best: the first Windows record, replaced by a later one only
// when its encoding ID comes earlier in the encoding's preference list, and
// the walk ends once the first preference is held. A font with any Windows
// subtable therefore always answers one. Not found when the table holds no
// Windows record, or the chosen record's subtable lies outside the table.
GCharacterMapChoice SelectCharacterMap(std::span<const uint8_t> cmap, int32_t encoding);

// The glyph of a code in the chosen subtable of cmap: the code is first
// brought into the subtable's encoding (symbol fonts use the private range
// that OS/2's usFirstCharIndex names; other code pages go through the
// converter, which may be null, and then every conversion answers 0), then
// looked up in format 4 or 2. osMajorVersion is the host system's major
// version: systems up to 4 keep symbol codes as they are. 0 when there is
// no glyph, when the subtable's format is neither 4 nor 2, or when cmap or
// OS/2 is too short for what the lookup needs.
uint16_t LookUpGlyph(std::span<const uint8_t> cmap, std::span<const uint8_t> os2, const GCharacterMapChoice& choice,
                     uint16_t code, int32_t encoding, GUnicodeConverter* converter, uint32_t osMajorVersion);
