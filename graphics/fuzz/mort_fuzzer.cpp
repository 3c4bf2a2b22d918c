// Looks vertical forms up in arbitrary mort bytes: a table that is not of
// the one layout that is read, or whose entries run past its end, leaves
// every glyph as it is. The seeds are hand-built tables of that layout.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "foundation/testing/fuzz_seeds.h"
#include "graphics/fonts/truetype/vertical_substitution.h"
#include "graphics/fuzz/vertical_substitution_fuzzer.h"
#include "graphics/tests/truetype_table_fixtures.h"

namespace {

using namespace tt_fixtures;

std::string Seed(const Bytes& table) { return std::string(table.begin(), table.end()); }

GFuzzSeeds Seeds() {
  return {
      Seed(tt_fixtures::Mort({{5, 50}, {7, 70}, {5, 55}, {0xFFFF, 0xFFFF}})),
      Seed(tt_fixtures::Mort({{0x100, 0x2000}})),
  };
}

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // In a block of its own, so that a read past it is seen.
  const std::vector<uint8_t> mort(data, data + size);
  const bool entriesInside = size > 76 && 76 + 4 * size_t{static_cast<uint16_t>(data[68] << 8 | data[69])} <= size;
  for (const uint16_t glyph : VerticalFuzzGlyphs(mort)) {
    const uint16_t substitute = SubstituteVerticalMort(mort, glyph);
    if (!entriesInside && substitute != glyph) std::abort();
    // A font with mort never takes GSUB's answer, even from the same bytes.
    if (SubstituteVertical(mort, mort, glyph) != substitute) std::abort();
  }
  return 0;
}
