// Chooses cmap subtables and looks codes up in arbitrary cmap and OS/2
// bytes, for every encoding family and both kinds of system: every read
// must stay inside the tables. Input: the OS/2 length (one byte), the OS/2
// bytes, then the cmap table. The seeds are small hand-built fonts' tables
// of each subtable format and encoding.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "foundation/testing/fuzz_seeds.h"
#include "graphics/fonts/truetype/character_mapping.h"
#include "graphics/tests/truetype_table_fixtures.h"
#include "model/os/unicode.h"

namespace {

using namespace tt_fixtures;

void Check(bool condition) {
  if (!condition) std::abort();
}

// Conversions that answer codes elsewhere in the 16-bit range.
class ScramblingConverter : public GUnicodeConverter {
 public:
  uint16_t ToUnicode(uint16_t code, int32_t encoding) override {
    return static_cast<uint16_t>(code * 31 + static_cast<uint16_t>(encoding));
  }
  uint16_t FromUnicode(uint16_t unicode, int32_t encoding) override {
    return static_cast<uint16_t>(unicode ^ (0x8000 | static_cast<uint16_t>(encoding)));
  }
  int32_t ConvertString(const WideChar*, RWCString&, uint32_t) override { return 0; }
  int32_t NarrowToWide(const char*, WideChar*, uint32_t) override { return 0; }
  void ConvertToCodePage(const WideChar*, char*, uint32_t, uint32_t) override {}
};

std::string Seed(const Bytes& os2, const Bytes& cmap) {
  std::string seed(1, static_cast<char>(os2.size()));
  seed.append(os2.begin(), os2.end());
  seed.append(cmap.begin(), cmap.end());
  return seed;
}

GFuzzSeeds Seeds() {
  const Bytes format4 = Format4({{0x20, 0x7E, 0xFFE3, {}}, {0x3000, 0x3003, 5, {0, 7, 8, 9}}, {0xFFFF, 0xFFFF, 1, {}}});
  const Bytes format2 = Format2({{0x81, 1}, {0x82, 2}}, {{0x20, 0, {1, 2, 3}}, {0x40, 10, {1, 0, 2}}, {0x9F, 3, {4}}});
  const Bytes unicode = Os2(0x20, 0xFFFF);
  return {
      Seed(unicode, Cmap({{3, 1, format4}})),
      Seed(unicode, Cmap({{1, 0, Format6(0, {1, 2})}, {3, 1, format4}, {3, 2, format2}})),
      Seed(unicode, Cmap({{3, 1, format4}, {3, 10, Format12(0, 0x10FFFF, 1)}})),
      Seed(Os2(0xF020, 0xF0FF), Cmap({{3, 0, format4}})),
      Seed(Os2(0x20, 0x2122), Cmap({{3, 0, format4}})),
      Seed(unicode, Cmap({{3, 3, format2}, {3, 4, format4}, {3, 5, format2}, {3, 6, format4}})),
  };
}

constexpr int32_t kEncodings[] = {1, 3, 16, 17, 18, 19, 20, 21, 22, 23, 1252};

// Codes worth looking up: the single bytes, a sweep of the range, and the
// 16-bit values of the input itself (which name its segments' bounds).
std::vector<uint16_t> Codes(std::span<const uint8_t> cmap) {
  std::vector<uint16_t> codes;
  for (uint32_t code = 0; code < 0x100; ++code) codes.push_back(static_cast<uint16_t>(code));
  for (uint32_t code = 0x100; code <= 0xFFFF; code += 0x1F3) codes.push_back(static_cast<uint16_t>(code));
  for (size_t i = 0; i + 1 < cmap.size() && codes.size() < 1024; i += 2) {
    const auto value = static_cast<uint16_t>(cmap[i] << 8 | cmap[i + 1]);
    codes.insert(codes.end(), {static_cast<uint16_t>(value - 1), value, static_cast<uint16_t>(value + 1)});
  }
  return codes;
}

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const size_t os2Size = std::min<size_t>(data[0], size - 1);
  // Each table in a block of its own, so that a read past it is seen.
  const std::vector<uint8_t> os2(data + 1, data + 1 + os2Size);
  const std::vector<uint8_t> cmap(data + 1 + os2Size, data + size);
  const std::vector<uint16_t> codes = Codes(cmap);
  ScramblingConverter converter;
  for (const int32_t encoding : kEncodings) {
    const GCharacterMapChoice choice = SelectCharacterMap(cmap, encoding);
    if (choice.found) {
      Check(choice.platformId == 3);
      Check(choice.offset + 2 <= cmap.size());
    } else {
      Check(LookUpGlyph(cmap, os2, choice, 0x41, encoding, &converter, 5) == 0);
    }
    for (const uint16_t code : codes) {
      for (const uint32_t osMajor : {4u, 5u}) {
        LookUpGlyph(cmap, os2, choice, code, encoding, &converter, osMajor);
        LookUpGlyph(cmap, os2, choice, code, encoding, nullptr, osMajor);
      }
    }
  }
  return 0;
}
