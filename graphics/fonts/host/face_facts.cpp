#include "graphics/fonts/host/face_facts.h"

#include <memory>
#include <utility>

#include "graphics/fonts/truetype/big_endian_span.h"
#include "graphics/fonts/truetype/tt_font_file.h"
#include "graphics/fonts/truetype/tt_tables.h"

namespace {

constexpr uint16_t kFamilyNameId = 1;
constexpr uint16_t kWindowsPlatform = 3;
constexpr uint16_t kMacintoshPlatform = 1;
constexpr uint32_t kNameRecordSize = 12;

// The record's text: UTF-16BE for Windows, one byte a character for
// Macintosh Roman (bytes above 0x7F become '?').
std::u16string RecordText(GBigEndianSpan text, bool wide) {
  std::u16string name;
  if (wide) {
    for (uint64_t at = 0; at + 2 <= text.Size(); at += 2) name.push_back(static_cast<char16_t>(*text.U16(at)));
  } else {
    for (uint64_t at = 0; at < text.Size(); ++at) {
      const uint8_t c = *text.U8(at);
      name.push_back(c < 0x80 ? c : u'?');
    }
  }
  return name;
}

// The bytes of a table through the reader; empty when it has none.
GBigEndianSpan TableOf(GTTFontFile& file, uint32_t context, uint32_t index, std::unique_ptr<GByteBuffer>& holder) {
  if (file.GetTable(context, index, true, holder) == 0 || !holder) return GBigEndianSpan();
  return GBigEndianSpan(holder->GetData(), holder->GetSize());
}

}  // namespace

std::u16string ReadFamilyName(const uint8_t* table, uint32_t size) {
  const GBigEndianSpan name(table, size);
  const std::optional<uint16_t> count = name.U16(2);
  const std::optional<uint16_t> storage = name.U16(4);
  if (!count || !storage) return {};
  std::u16string fallback;
  for (uint32_t i = 0; i < *count; ++i) {
    const GBigEndianSpan record = name.Slice(6 + static_cast<uint64_t>(i) * kNameRecordSize, kNameRecordSize);
    if (record.Size() == 0) break;
    const bool windows = *record.U16(0) == kWindowsPlatform;
    const bool macintosh = *record.U16(0) == kMacintoshPlatform && fallback.empty();
    if (*record.U16(6) != kFamilyNameId || (!windows && !macintosh)) continue;
    const GBigEndianSpan text = name.Slice(static_cast<uint64_t>(*storage) + *record.U16(10), *record.U16(8));
    // A Windows record too short for one character names nothing: the
    // search goes on rather than ending with an empty family.
    std::u16string family = RecordText(text, windows);
    if (windows && !family.empty()) return family;
    if (macintosh) fallback = std::move(family);
  }
  return fallback;
}

std::optional<GHostFaceFacts> GHostFaceFacts::Read(GTTFontFile& file, uint32_t context) {
  GHostFaceFacts facts;
  std::unique_ptr<GByteBuffer> holder;
  const GBigEndianSpan head = TableOf(file, context, tt_tables::kHead, holder);
  facts.unitsPerEm = head.U16(18).value_or(0);
  if (facts.unitsPerEm == 0) return std::nullopt;

  const GBigEndianSpan name = TableOf(file, context, tt_tables::kName, holder);
  facts.family = ReadFamilyName(name.Data(), static_cast<uint32_t>(name.Size()));
  if (facts.family.empty()) return std::nullopt;

  const GBigEndianSpan os2 = TableOf(file, context, tt_tables::kOs2, holder);
  facts.weight = os2.U16(4).value_or(facts.weight);
  facts.italic = (os2.U16(62).value_or(0) & 1) != 0;
  facts.firstCode = os2.U16(64).value_or(facts.firstCode);
  facts.lastCode = os2.U16(66).value_or(facts.lastCode);

  const GBigEndianSpan post = TableOf(file, context, tt_tables::kPost, holder);
  facts.fixedPitch = post.U32(12).value_or(0) != 0;
  return facts;
}

RWCString GHostFaceFacts::NarrowFamily() const {
  std::string narrow;
  for (char16_t c : family) narrow.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return RWCString(narrow.data(), static_cast<uint32_t>(narrow.size()));
}
