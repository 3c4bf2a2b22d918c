#include "graphics/fonts/glyph_code_mapper.h"

namespace {

// Latin-1, general punctuation and the half/full-width forms go to the
// printer as they are.
bool PassesThrough(uint16_t code) { return code <= 0x00FF || (code >= 0x2000 && code <= 0x20FF) || code >= 0xFF00; }

}  // namespace

uint16_t GGlyphCodeMapper::Map(uint16_t code) {
  if (PassesThrough(code)) return code;
  if (!pages_) pages_ = std::make_unique<PageTable>();
  std::unique_ptr<Page>& page = (*pages_)[(code >> 8) - 1];
  if (!page) page = std::make_unique<Page>(Page{});
  uint16_t& entry = (*page)[code & 0xFF];
  if (entry != 0) return entry;
  entry = nextCode_;
  Advance();
  return entry;
}

void GGlyphCodeMapper::Reset() {
  pages_.reset();
  nextCode_ = kFirstCode;
}
