#include "graphics/fonts/truetype/vertical_substitution.h"

#include <iterator>
#include <optional>

#include "graphics/fonts/truetype/big_endian_span.h"

namespace {

// The one mort layout that vertical fonts use, byte by byte up to the
// lookup's entry count; -1 marks the bytes that vary between fonts (the
// chain's and the subtable's lengths).
// clang-format off
constexpr int16_t kMortLayout[] = {
    0x00, 0x01, 0x00, 0x00,  0x00, 0x00, 0x00, 0x01,  // version 1.0, one chain
    0x00, 0x00, 0x00, 0x01,  -1,   -1,   -1,   -1,    // chain: default flags 1, length
    0x00, 0x03, 0x00, 0x01,                           // three feature entries, one subtable
    0x00, 0x03, 0x00, 0x00,  0x00, 0x00, 0x00, 0x01,  0xFF, 0xFF, 0xFF, 0xFF,  // feature (3, 0)
    0x00, 0x03, 0x00, 0x01,  0x00, 0x00, 0x00, 0x00,  0xFF, 0xFF, 0xFF, 0xFE,  // feature (3, 1)
    0x00, 0x08, 0x00, 0x00,  0x00, 0x00, 0x00, 0x00,  0x00, 0x00, 0x00, 0x00,  // feature (8, 0)
    -1,   -1,   0x80, 0x04,  0x00, 0x00, 0x00, 0x01,  // subtable: length, vertical non-contextual, flags 1
    0x00, 0x06, 0x00, 0x04,                           // lookup: single table, 4-byte entries
};
// clang-format on
// The lookup's entry count follows the layout; its entries begin after the
// lookup's search fields.
constexpr uint64_t kMortEntryCount = std::size(kMortLayout);
static_assert(kMortEntryCount == 68);
constexpr uint64_t kMortEntries = 76;
constexpr uint64_t kMortEntrySize = 4;

bool HasMortLayout(GBigEndianSpan mort) {
  if (mort.Size() <= kMortEntries) return false;
  for (uint64_t offset = 0; offset < std::size(kMortLayout); ++offset) {
    if (kMortLayout[offset] >= 0 && *mort.U8(offset) != kMortLayout[offset]) return false;
  }
  return true;
}

constexpr uint32_t kGsubVersion = 0x00010000;
// Some fonts were written with the version's halves swapped.
constexpr uint32_t kGsubVersionSwapped = 0x00001000;
constexpr uint32_t kVerticalTag = 0x76657274;  // 'vert'
constexpr uint16_t kSingleSubstitution = 1;
constexpr uint64_t kFeatureRecordSize = 6;

// The coverage index of a glyph in a coverage table; none when the glyph is
// not covered or the table cannot be read.
std::optional<uint16_t> CoverageIndex(GBigEndianSpan gsub, uint64_t coverage, uint16_t glyph) {
  const std::optional<uint16_t> format = gsub.U16(coverage);
  const std::optional<uint16_t> count = gsub.U16(coverage + 2);
  if (!format || !count) return std::nullopt;
  if (*format == 1) {
    for (uint16_t index = 0; index < *count; ++index) {
      const std::optional<uint16_t> covered = gsub.U16(coverage + 4 + 2ull * index);
      if (!covered) return std::nullopt;
      if (*covered == glyph) return index;
    }
  } else if (*format == 2) {
    for (uint16_t range = 0; range < *count; ++range) {
      const uint64_t record = coverage + 4 + 6ull * range;
      const std::optional<uint16_t> start = gsub.U16(record);
      const std::optional<uint16_t> end = gsub.U16(record + 2);
      const std::optional<uint16_t> startIndex = gsub.U16(record + 4);
      if (!start || !end || !startIndex) return std::nullopt;
      if (*start <= glyph && glyph <= *end) return static_cast<uint16_t>(*startIndex + (glyph - *start));
    }
  }
  return std::nullopt;
}

// What one single-substitution subtable says of a glyph.
struct GSubstitutionStep {
  enum Kind { kNotCovered, kSubstituted, kStop } kind;
  uint16_t glyph = 0;
};

GSubstitutionStep SubstituteInSubtable(GBigEndianSpan gsub, uint64_t subtable, uint16_t glyph) {
  const std::optional<uint16_t> format = gsub.U16(subtable);
  const std::optional<uint16_t> coverageOffset = gsub.U16(subtable + 2);
  const std::optional<uint16_t> value = gsub.U16(subtable + 4);  // delta, or the glyph count
  if (!format || !coverageOffset || !value || (*format != 1 && *format != 2)) return {GSubstitutionStep::kStop};
  const std::optional<uint16_t> index = CoverageIndex(gsub, subtable + *coverageOffset, glyph);
  if (!index) return {GSubstitutionStep::kNotCovered};
  if (*format == 1) return {GSubstitutionStep::kSubstituted, static_cast<uint16_t>(glyph + *value)};
  if (*index >= *value) return {GSubstitutionStep::kStop};
  const std::optional<uint16_t> substitute = gsub.U16(subtable + 6 + 2ull * *index);
  if (!substitute) return {GSubstitutionStep::kStop};
  return {GSubstitutionStep::kSubstituted, *substitute};
}

// The lookup's subtables in order, while they are single substitutions.
GSubstitutionStep SubstituteInLookup(GBigEndianSpan gsub, uint64_t lookup, uint16_t glyph) {
  const std::optional<uint16_t> type = gsub.U16(lookup);
  const std::optional<uint16_t> subtableCount = gsub.U16(lookup + 4);
  if (!type || !subtableCount || *type != kSingleSubstitution) return {GSubstitutionStep::kStop};
  for (uint16_t i = 0; i < *subtableCount; ++i) {
    const std::optional<uint16_t> offset = gsub.U16(lookup + 6 + 2ull * i);
    if (!offset) return {GSubstitutionStep::kStop};
    const GSubstitutionStep step = SubstituteInSubtable(gsub, lookup + *offset, glyph);
    if (step.kind != GSubstitutionStep::kNotCovered) return step;
  }
  return {GSubstitutionStep::kNotCovered};
}

// The offset of the first 'vert' feature table; none without one.
std::optional<uint64_t> VerticalFeature(GBigEndianSpan gsub) {
  const std::optional<uint16_t> featureList = gsub.U16(6);
  if (!featureList) return std::nullopt;
  const std::optional<uint16_t> count = gsub.U16(*featureList);
  if (!count) return std::nullopt;
  for (uint16_t i = 0; i < *count; ++i) {
    const uint64_t record = *featureList + 2 + kFeatureRecordSize * i;
    const std::optional<uint32_t> tag = gsub.U32(record);
    const std::optional<uint16_t> offset = gsub.U16(record + 4);
    if (!tag || !offset) return std::nullopt;
    if (*tag == kVerticalTag) return uint64_t{*featureList} + *offset;
  }
  return std::nullopt;
}

}  // namespace

uint16_t SubstituteVertical(std::span<const uint8_t> mort, std::span<const uint8_t> gsub, uint16_t glyph) {
  if (!mort.empty()) return SubstituteVerticalMort(mort, glyph);
  if (!gsub.empty()) return SubstituteVerticalGsub(gsub, glyph);
  return glyph;
}

uint16_t SubstituteVerticalMort(std::span<const uint8_t> mort, uint16_t glyph) {
  const GBigEndianSpan table(mort);
  if (!HasMortLayout(table)) return glyph;
  const uint16_t count = *table.U16(kMortEntryCount);
  if (!table.Holds(kMortEntries, kMortEntrySize * count)) return glyph;
  for (uint16_t i = 0; i < count; ++i) {
    const uint64_t entry = kMortEntries + kMortEntrySize * i;
    if (*table.U16(entry) == glyph) return *table.U16(entry + 2);
  }
  return glyph;
}

uint16_t SubstituteVerticalGsub(std::span<const uint8_t> gsub, uint16_t glyph) {
  const GBigEndianSpan table(gsub);
  if (table.Size() < 10) return glyph;
  const uint32_t version = *table.U32(0);
  if (version != kGsubVersion && version != kGsubVersionSwapped) return glyph;
  const std::optional<uint64_t> feature = VerticalFeature(table);
  const uint16_t lookupList = *table.U16(8);
  const std::optional<uint16_t> lookupCount = table.U16(lookupList);
  if (!feature || !lookupCount) return glyph;
  const std::optional<uint16_t> indexCount = table.U16(*feature + 2);
  if (!indexCount) return glyph;
  for (uint16_t i = 0; i < *indexCount; ++i) {
    const std::optional<uint16_t> index = table.U16(*feature + 4 + 2ull * i);
    if (!index || *index >= *lookupCount) return glyph;
    const std::optional<uint16_t> lookup = table.U16(lookupList + 2 + 2ull * *index);
    if (!lookup) return glyph;
    const GSubstitutionStep step = SubstituteInLookup(table, uint64_t{lookupList} + *lookup, glyph);
    if (step.kind == GSubstitutionStep::kSubstituted) return step.glyph;
    if (step.kind == GSubstitutionStep::kStop) return glyph;
  }
  return glyph;
}
