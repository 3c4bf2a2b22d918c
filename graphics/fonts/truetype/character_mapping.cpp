#include "graphics/fonts/truetype/character_mapping.h"

#include <algorithm>
#include <array>
#include <optional>

#include "graphics/fonts/truetype/big_endian_span.h"
#include "model/os/unicode.h"

namespace {

constexpr uint16_t kPlatformWindows = 3;
constexpr uint32_t kEncodingRecordSize = 8;
constexpr uint32_t kFirstEncodingRecord = 4;

// Windows cmap encoding IDs.
constexpr uint16_t kIdSymbol = 0;
constexpr uint16_t kIdUnicode = 1;
constexpr uint16_t kIdShiftJis = 2;
constexpr uint16_t kIdPrc = 3;
constexpr uint16_t kIdBig5 = 4;
constexpr uint16_t kIdWansung = 5;
constexpr uint16_t kIdJohab = 6;

// The Windows encoding IDs that serve an encoding, best first. Encodings
// without a row (glyph indices, Unicode and the single-byte code pages)
// want the Unicode subtable.
struct GCharacterMapPreference {
  int32_t encoding;
  uint8_t count;
  std::array<uint16_t, 2> ids;

  std::span<const uint16_t> Ids() const { return std::span(ids).first(count); }
};

// clang-format off
constexpr GCharacterMapPreference kPreferences[] = {
    {tt_encoding::kSymbol,              1, {kIdSymbol}},
    {tt_encoding::kShiftJis,            2, {kIdShiftJis, kIdUnicode}},
    {tt_encoding::kPrc,                 2, {kIdPrc, kIdUnicode}},
    {tt_encoding::kPrc + 1,             2, {kIdPrc, kIdUnicode}},
    {tt_encoding::kBig5,                2, {kIdBig5, kIdUnicode}},
    {tt_encoding::kWansung,             2, {kIdWansung, kIdUnicode}},
    {tt_encoding::kWansungAlternative,  2, {kIdWansung, kIdUnicode}},
    {tt_encoding::kJohab,               2, {kIdJohab, kIdUnicode}},
};
// clang-format on
constexpr GCharacterMapPreference kUnicodePreference{0, 1, {kIdUnicode}};

std::span<const uint16_t> PreferredIds(int32_t encoding) {
  const auto* row = std::find_if(std::begin(kPreferences), std::end(kPreferences),
                                 [encoding](const GCharacterMapPreference& p) { return p.encoding == encoding; });
  return row != std::end(kPreferences) ? row->Ids() : kUnicodePreference.Ids();
}

// Position of an encoding ID in the preference list; IDs outside the list
// rank after all of it.
size_t Rank(std::span<const uint16_t> preferred, uint16_t id) {
  return static_cast<size_t>(std::find(preferred.begin(), preferred.end(), id) - preferred.begin());
}

// The encoding that a Windows encoding ID's subtable is indexed by, for
// converting Unicode input to it.
std::optional<int32_t> MultiByteEncodingOf(uint16_t id) {
  switch (id) {
    case kIdShiftJis:
      return tt_encoding::kShiftJis;
    case kIdPrc:
      return tt_encoding::kPrc;
    case kIdBig5:
      return tt_encoding::kBig5;
    case kIdWansung:
      return tt_encoding::kWansungAlternative;
    case kIdJohab:
      return tt_encoding::kJohab;
    default:
      return std::nullopt;
  }
}

// The OS/2 values the code adjustment reads: usFirstCharIndex's top nibble
// (the private-use page of symbol fonts) and usLastCharIndex.
struct GCharacterRange {
  uint16_t high;
  uint16_t last;
};

std::optional<GCharacterRange> ReadCharacterRange(GBigEndianSpan os2) {
  const std::optional<uint16_t> first = os2.U16(64);
  const std::optional<uint16_t> last = os2.U16(66);
  if (!first || !last) return std::nullopt;
  return GCharacterRange{static_cast<uint16_t>(*first & 0xF000), *last};
}

class GCodeAdjustment {
 public:
  GCodeAdjustment(GCharacterRange range, int32_t encoding, GUnicodeConverter* converter, uint32_t osMajorVersion)
      : range_(range), encoding_(encoding), converter_(converter), osMajorVersion_(osMajorVersion) {}

  // The code in the subtable's encoding; none when the subtable cannot
  // serve the input.
  std::optional<uint16_t> Adjust(uint16_t encodingId, uint16_t code) const {
    switch (encodingId) {
      case kIdSymbol:
        return Symbol(code);
      case kIdUnicode:
        return Unicode(code);
      default:
        return MultiByte(encodingId, code);
    }
  }

 private:
  static constexpr bool IsSingleByte(uint16_t code) { return code < 0x100; }

  uint16_t Symbol(uint16_t code) const {
    if (range_.high != 0) return IsSingleByte(code) ? static_cast<uint16_t>(code | range_.high) : code;
    if (IsSingleByte(range_.last) || encoding_ == tt_encoding::kUnicode) return code;
    if (osMajorVersion_ <= 4 && encoding_ == tt_encoding::kSymbol) return code;
    return ToUnicode(code);
  }

  uint16_t Unicode(uint16_t code) const {
    if (encoding_ == tt_encoding::kUnicode || encoding_ == tt_encoding::kSymbol) return code;
    if (range_.high == 0xF000) return IsSingleByte(code) ? static_cast<uint16_t>(code | 0xF000) : code;
    return ToUnicode(code);
  }

  std::optional<uint16_t> MultiByte(uint16_t encodingId, uint16_t code) const {
    if (encoding_ != tt_encoding::kUnicode) return code;
    const std::optional<int32_t> target = MultiByteEncodingOf(encodingId);
    if (!target) return std::nullopt;
    return converter_ != nullptr ? converter_->FromUnicode(code, *target) : 0;
  }

  uint16_t ToUnicode(uint16_t code) const { return converter_ != nullptr ? converter_->ToUnicode(code, encoding_) : 0; }

  GCharacterRange range_;
  int32_t encoding_;
  GUnicodeConverter* converter_;
  uint32_t osMajorVersion_;
};

// A looked-up glyph ID: 0 means no glyph, others are shifted by idDelta.
uint16_t ApplyDelta(uint16_t glyph, uint16_t delta) { return glyph == 0 ? 0 : static_cast<uint16_t>(glyph + delta); }

// Segment mapping to delta values. The arrays follow the 14-byte header:
// endCode[segCount], a 2-byte pad, startCode, idDelta and idRangeOffset,
// then the glyph ID array that idRangeOffset points into.
class GFormat4Subtable {
 public:
  explicit GFormat4Subtable(GBigEndianSpan table)
      : table_(table),
        segCount_(table.U16(6).value_or(0) / 2u),
        arraysInside_(table.Holds(kEndCodes, 8ull * segCount_ + 2)) {}

  uint16_t GlyphOf(uint16_t code) const {
    if (!arraysInside_) return 0;
    const std::optional<uint32_t> segment = FirstSegmentEndingAtOrAfter(code);
    if (!segment) return 0;
    const uint16_t start = Value(kStartCodes, *segment);
    if (start > code) return 0;
    const uint16_t delta = Value(kIdDeltas, *segment);
    const uint16_t rangeOffset = Value(kIdRangeOffsets, *segment);
    if (rangeOffset == 0) return static_cast<uint16_t>(code + delta);
    const uint64_t entry = Offset(kIdRangeOffsets, *segment) + rangeOffset + 2ull * (code - start);
    const std::optional<uint16_t> glyph = table_.U16(entry);
    return glyph ? ApplyDelta(*glyph, delta) : 0;
  }

 private:
  static constexpr uint64_t kEndCodes = 14;
  // The other arrays, numbered by their distance from the end codes.
  static constexpr uint32_t kStartCodes = 1;
  static constexpr uint32_t kIdDeltas = 2;
  static constexpr uint32_t kIdRangeOffsets = 3;
  // Segment counts up to this are searched linearly only.
  static constexpr uint32_t kLinearSearchLimit = 7;

  uint64_t Offset(uint32_t array, uint32_t segment) const {
    const uint64_t pad = array == 0 ? 0 : 2;
    return kEndCodes + pad + 2ull * segCount_ * array + 2ull * segment;
  }
  // Only called once the arrays are known to lie inside.
  uint16_t Value(uint32_t array, uint32_t segment) const { return *table_.U16(Offset(array, segment)); }
  uint16_t EndCode(uint32_t segment) const { return Value(0, segment); }

  // The first segment whose end code is at least the code: a binary search
  // over the ascending end codes narrows a long list, a linear step
  // finishes; neither goes beyond the segCount segments.
  std::optional<uint32_t> FirstSegmentEndingAtOrAfter(uint16_t code) const {
    uint32_t low = 0;
    if (segCount_ > kLinearSearchLimit) {
      uint32_t high = segCount_;
      while (low < high) {
        const uint32_t middle = low + (high - low) / 2;
        if (EndCode(middle) < code) {
          low = middle + 1;
        } else {
          high = middle;
        }
      }
    }
    for (uint32_t segment = low; segment < segCount_; ++segment) {
      if (EndCode(segment) >= code) return segment;
    }
    return std::nullopt;
  }

  GBigEndianSpan table_;
  uint32_t segCount_;
  bool arraysInside_;
};

// High-byte mapping through a table of 256 subheader keys (byte offsets
// into the subheader array that follows them) and 8-byte subheaders
// {firstCode, entryCount, idDelta, idRangeOffset}.
uint16_t LookUpFormat2(GBigEndianSpan table, uint16_t code) {
  constexpr uint64_t kKeys = 6;
  constexpr uint64_t kSubheaders = kKeys + 2 * 256;
  const uint16_t highByte = code >> 8;
  const std::optional<uint16_t> key = table.U16(kKeys + 2ull * highByte);
  if (!key) return 0;
  // A two-byte code whose lead byte has no subheader of its own is looked
  // up by that lead byte in subheader 0.
  const bool leadByteAlone = code >= 0x100 && *key == 0;
  const uint16_t byte = leadByteAlone ? highByte : code & 0xFF;
  const uint64_t subheader = kSubheaders + *key;
  const std::optional<uint16_t> firstCode = table.U16(subheader);
  const std::optional<uint16_t> entryCount = table.U16(subheader + 2);
  const std::optional<uint16_t> delta = table.U16(subheader + 4);
  const std::optional<uint16_t> rangeOffset = table.U16(subheader + 6);
  if (!firstCode || !entryCount || !delta || !rangeOffset) return 0;
  if (byte < *firstCode || byte - *firstCode >= *entryCount) return 0;
  const std::optional<uint16_t> glyph = table.U16(subheader + 6 + *rangeOffset + 2ull * (byte - *firstCode));
  return glyph ? ApplyDelta(*glyph, *delta) : 0;
}

uint16_t LookUpCode(GBigEndianSpan subtable, uint16_t format, uint16_t code) {
  switch (format) {
    case 4:
      return GFormat4Subtable(subtable).GlyphOf(code);
    case 2:
      return LookUpFormat2(subtable, code);
    default:
      return 0;
  }
}

struct GEncodingRecord {
  uint16_t platformId;
  uint16_t encodingId;
  uint32_t offset;
};

std::optional<GEncodingRecord> ReadEncodingRecord(GBigEndianSpan cmap, uint32_t index) {
  const uint64_t at = kFirstEncodingRecord + uint64_t{kEncodingRecordSize} * index;
  if (!cmap.Holds(at, kEncodingRecordSize)) return std::nullopt;
  return GEncodingRecord{*cmap.U16(at), *cmap.U16(at + 2), *cmap.U32(at + 4)};
}

}  // namespace

GCharacterMapChoice SelectCharacterMap(std::span<const uint8_t> cmap, int32_t encoding) {
  const GBigEndianSpan table(cmap);
  const std::span<const uint16_t> preferred = PreferredIds(encoding);
  const uint16_t tableCount = table.U16(2).value_or(0);
  std::optional<GEncodingRecord> chosen;
  for (uint32_t index = 0; index < tableCount; ++index) {
    const std::optional<GEncodingRecord> record = ReadEncodingRecord(table, index);
    if (!record) break;
    if (record->platformId != kPlatformWindows) continue;
    if (!chosen || Rank(preferred, record->encodingId) < Rank(preferred, chosen->encodingId)) chosen = record;
    if (chosen->encodingId == preferred.front()) break;
  }
  if (!chosen) return {};
  const std::optional<uint16_t> format = table.U16(chosen->offset);
  if (!format) return {};
  return {.found = true,
          .format = *format,
          .offset = chosen->offset,
          .platformId = chosen->platformId,
          .encodingId = chosen->encodingId};
}

uint16_t LookUpGlyph(std::span<const uint8_t> cmap, std::span<const uint8_t> os2, const GCharacterMapChoice& choice,
                     uint16_t code, int32_t encoding, GUnicodeConverter* converter, uint32_t osMajorVersion) {
  if (!choice.found) return 0;
  const std::optional<GCharacterRange> range = ReadCharacterRange(GBigEndianSpan(os2));
  if (!range) return 0;
  const GCodeAdjustment adjustment(*range, encoding, converter, osMajorVersion);
  const std::optional<uint16_t> adjusted = adjustment.Adjust(choice.encodingId, code);
  if (!adjusted) return 0;
  return LookUpCode(GBigEndianSpan(cmap).From(choice.offset), choice.format, *adjusted);
}
