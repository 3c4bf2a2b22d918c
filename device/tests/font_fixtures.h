#pragma once

#include <cstdint>
#include <sstream>
#include <string>

#include "device/fonts/device_font_description.h"
#include "device/tests/stored_bytes.h"
#include "foundation/binary_stream.h"
#include "model/testing/round_trip.h"

// A bold italic bitmap font in a DIMM, with three symbol sets.
inline GDeviceFontDescription Courier(int32_t key = 0) {
  GIntArray symbolSets;
  for (int32_t code : {277, 14, -1}) symbolSets.Add(code);
  GDeviceFontDescription font("Courier", "Courier,CourierPS,", 277, symbolSets, 700, 1, 48, 1, 0, 12, 9,
                              GDeviceFontDescription::kDimm);
  font.SetKey(key);
  return font;
}

// A scalable font on disk without symbol sets.
inline GDeviceFontDescription Univers() {
  return GDeviceFontDescription("Univers", "Univers,", 14, GIntArray(), 400, 0, 16, 0, 1, 0, 0,
                                GDeviceFontDescription::kDisk);
}

// Courier's own fields from its version word on, as the given version
// stores them.
inline std::string CourierFields(uint32_t version) {
  std::string bytes = Words({version, 7}) + "Courier" + Words({18}) + "Courier,CourierPS," +
                      Words({277, 3, 277, 14, 0xFFFFFFFF}) + Shorts({700}) + Words({1, 48, 1, 0}) + Shorts({12});
  if (version >= 2) bytes += Shorts({9}) + Words({4});
  return bytes;
}

// The two places an object's own part is stored: a binary file and a
// binary virtual stream, whose strings carry their length twice.
enum class GContentsForm { kFile, kStream };
inline constexpr GContentsForm kContentsForms[] = {GContentsForm::kFile, GContentsForm::kStream};

inline const char* ContentsFormName(GContentsForm form) { return form == GContentsForm::kFile ? "file" : "stream"; }

inline std::string SaveContents(GContentsForm form, const RWCollectable& object) {
  if (form == GContentsForm::kFile) return SaveContentsToFileBytes(object);
  std::stringbuf channel(std::ios::out | std::ios::binary);
  {
    GBinaryOutStream stream(&channel);
    object.SaveContentsToStream(stream);
    stream.Flush();
  }
  return channel.str();
}

inline void RestoreContents(GContentsForm form, RWCollectable& object, const std::string& bytes) {
  if (form == GContentsForm::kFile) {
    RestoreContentsFromFileBytes(object, bytes);
  } else {
    RestoreContentsFromStreamBytes(object, bytes);
  }
}

// The bytes with the 32-bit word at offset replaced.
inline std::string WithWord(std::string bytes, size_t offset, uint32_t word) {
  return bytes.replace(offset, 4, Words({word}));
}
