// Reads the host's description of a face (family name, em size, style and
// coverage) from arbitrary head, name, OS/2 and post tables through the
// TrueType reader: every read must stay inside its table, a face with a
// usable family record must get a family, and a described face must have an
// em size and a family. Input: the lengths of head, name and OS/2 (16-bit
// big-endian each), then those tables, the rest as post. The seeds are the
// four tables of DejaVu Sans and Liberation Serif.
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <optional>
#include <string>

#include "foundation/testing/fuzz_seeds.h"
#include "graphics/fonts/host/face_facts.h"
#include "graphics/fonts/testing/memory_font_data.h"
#include "graphics/fonts/testing/system_fonts.h"
#include "graphics/fonts/truetype/big_endian_span.h"
#include "graphics/fonts/truetype/sfnt_file.h"
#include "graphics/fonts/truetype/tt_font_file.h"
#include "graphics/fonts/truetype/tt_font_pool.h"
#include "graphics/fonts/truetype/tt_tables.h"
#include "graphics/fuzz/sfnt_table.h"

namespace {

using memory_font::Bytes;
using memory_font::PutU16;
using tt_tables::MakeTag;

constexpr size_t kHeaderSize = 6;
constexpr char kSizedTables[][5] = {"head", "name", "OS/2"};

void Check(bool condition) {
  if (!condition) std::abort();
}

// The font's four tables as an input; empty when a table is too long for
// its length field.
std::string Seed(const char* path) {
  GSfntFile file;
  if (!file.Open(path)) return {};
  Bytes lengths;
  Bytes tables;
  for (const auto& tag : kSizedTables) {
    const Bytes table = ReadSfntTable(file, tag);
    if (table.size() > 0xFFFF) return {};
    PutU16(lengths, static_cast<uint16_t>(table.size()));
    tables.insert(tables.end(), table.begin(), table.end());
  }
  const Bytes post = ReadSfntTable(file, "post");
  tables.insert(tables.end(), post.begin(), post.end());
  lengths.insert(lengths.end(), tables.begin(), tables.end());
  return std::string(lengths.begin(), lengths.end());
}

GFuzzSeeds Seeds() {
  GFuzzSeeds seeds;
  for (const char* path : {system_fonts::kDejaVuSans, system_fonts::kLiberationSerif}) {
    std::string seed = Seed(path);
    if (!seed.empty()) seeds.push_back(std::move(seed));
  }
  return seeds;
}

// Whether some record of name ID 1 holds at least one character that lies
// inside the table: two bytes for Windows, one for Macintosh. Worked out
// from the record layout directly, not through the reader's own walk.
bool HasUsableFamilyRecord(const Bytes& name) {
  const GBigEndianSpan table(name.data(), name.size());
  const uint32_t count = table.U16(2).value_or(0);
  const uint32_t storage = table.U16(4).value_or(0);
  for (uint64_t record = 6; record + 12 <= name.size() && count > (record - 6) / 12; record += 12) {
    const uint16_t platform = *table.U16(record);
    const uint16_t length = *table.U16(record + 8);
    const uint64_t start = uint64_t{storage} + *table.U16(record + 10);
    if (*table.U16(record + 6) != 1 || start + length > name.size()) continue;
    if ((platform == 3 && length >= 2) || (platform == 1 && length >= 1)) return true;
  }
  return false;
}

GTTFontPool& Pool() {
  static GTTFontPool pool;
  return pool;
}

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < kHeaderSize) return 0;
  const GBigEndianSpan input(data, size);
  auto* font = new MemoryFontData(Pool().NextKey());
  size_t at = kHeaderSize;
  for (size_t i = 0; i < std::size(kSizedTables); ++i) {
    const uint16_t length = *input.U16(2 * i);
    if (!input.Holds(at, length)) {
      delete font;
      return 0;
    }
    // Each table in a block of its own, so that a read past it is seen.
    font->tables[MakeTag(kSizedTables[i])] = Bytes(data + at, data + at + length);
    at += length;
  }
  font->tables[MakeTag("post")] = Bytes(data + at, data + size);
  const Bytes name = font->tables[MakeTag("name")];
  const std::unique_ptr<GTTFontFile> file(Pool().NewFontFile(font));

  const std::u16string family = ReadFamilyName(name.data(), static_cast<uint32_t>(name.size()));
  Check(family.size() <= name.size());
  Check(family.empty() != HasUsableFamilyRecord(name));
  const std::optional<GHostFaceFacts> facts = GHostFaceFacts::Read(*file, font->GetFontKey());
  if (facts) {
    Check(facts->unitsPerEm != 0);
    Check(facts->family == family);
    Check(facts->NarrowFamily().Length() == facts->family.size());
  }
  return 0;
}
