// Looks vertical forms up in arbitrary GSUB bytes: every offset and count of
// the table is followed, so every read must stay inside it. The seeds are
// hand-built tables of each substitution and coverage format.
#include <cstdint>
#include <vector>

#include "foundation/testing/fuzz_seeds.h"
#include "graphics/fonts/truetype/vertical_substitution.h"
#include "graphics/fuzz/vertical_substitution_fuzzer.h"
#include "graphics/tests/truetype_table_fixtures.h"

namespace {

using namespace tt_fixtures;

std::string Seed(const Bytes& table) { return std::string(table.begin(), table.end()); }

GFuzzSeeds Seeds() {
  const std::vector<GsubLookup> lookups = {
      {1,
       {SingleByDelta(Coverage1({5, 9, 12}), 100), SingleByList(Coverage2({{20, 22, 0}, {30, 30, 3}}), {1, 2, 3, 4})}},
      {1, {SingleByList(Coverage1({40, 41}), {140, 141})}},
      {4, {SingleByDelta(Coverage1({50}), 1)}},
  };
  return {
      Seed(Gsub(0x00010000, {{kLiga, {2}}, {kVert, {0, 1}}}, lookups)),
      Seed(Gsub(0x00001000, {{kVert, {1, 0, 2}}}, lookups)),
      Seed(Gsub(0x00010000, {{kVert, {2, 0}}}, lookups)),
  };
}

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // In a block of its own, so that a read past it is seen.
  const std::vector<uint8_t> gsub(data, data + size);
  for (const uint16_t glyph : VerticalFuzzGlyphs(gsub)) SubstituteVerticalGsub(gsub, glyph);
  return 0;
}
