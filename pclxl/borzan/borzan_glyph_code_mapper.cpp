#include "pclxl/borzan/borzan_glyph_code_mapper.h"

void GBorzanGlyphCodeMapper::Advance() {
  const auto next = static_cast<uint16_t>(NextCode() + 1);
  SetNextCode(next == kReservedFirst ? kReservedEnd : next);
}
