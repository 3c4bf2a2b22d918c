#pragma once

#include <cstdint>

#include "graphics/fonts/testing/memory_font_data.h"
#include "graphics/fonts/truetype/sfnt_file.h"
#include "graphics/fonts/truetype/tt_tables.h"

// A whole table of a font file, for the seeds of the font fuzz targets;
// empty when the file has none or it cannot be read.
inline memory_font::Bytes ReadSfntTable(GSfntFile& file, const char (&tag)[5]) {
  memory_font::Bytes bytes(file.TableSize(tt_tables::MakeTag(tag)));
  if (!file.Read(tt_tables::MakeTag(tag), 0, bytes.data(), static_cast<uint32_t>(bytes.size()))) bytes.clear();
  return bytes;
}
