#include <algorithm>
#include <vector>

#include "graphics/bitmaps/byte_buffer.h"
#include "graphics/fonts/font.h"
#include "graphics/fonts/font_properties.h"
#include "graphics/fonts/scaled_font.h"
#include "graphics/fonts/text_string.h"
#include "graphics/fonts/truetype/tt_font_file.h"
#include "graphics/fonts/truetype/tt_tables.h"
#include "pclxl/borzan/borzan.h"
#include "pclxl/borzan/borzan_font_record.h"
#include "pclxl/borzan/glyph_components.h"
#include "pclxl/borzan/text_bytes.h"
#include "pclxl/borzan/xl_font_facts.h"
#include "pclxl/borzan/xl_font_format.h"
#include "pclxl/xl_font_operators.h"

namespace {

// Set in the style of a bitmap font made for the page at its scale.
constexpr int32_t kPageScaledStyle = 0x10000;
// The code the glyph of a missing character goes under, and the code of
// every component glyph sent for a composite.
constexpr uint16_t kNoCharacter = 0xFFFF;
// Component glyphs are marked as sent beside the character codes, above
// every 16-bit code.
constexpr uint32_t kGlyphMark = 0x10000;
// Printer memory a header and a glyph take beyond the bytes sent, as the
// printer's font store counts.
constexpr uint32_t kBitmapHeaderOverhead = 658;
constexpr uint32_t kTrueTypeHeaderOverhead = 682;
constexpr uint32_t kTrueTypeGlyphEstimate = 250;
constexpr int32_t kJapanese = 17;

// The tables the printer takes from the font file, in the order sent;
// the glyph-direction table is always sent, empty.
struct SentTable {
  uint32_t index;
  bool always;
};
constexpr SentTable kSentTables[] = {
    {tt_tables::kCvt, false},  {tt_tables::kFpgm, false}, {tt_tables::kGdir, true},
    {tt_tables::kHead, false}, {tt_tables::kMaxp, false}, {tt_tables::kPrep, false},
};
// Without these (or without outlines) the font cannot go out as TrueType.
constexpr uint32_t kNeededTables[] = {tt_tables::kHead, tt_tables::kMaxp, tt_tables::kHhea,
                                      tt_tables::kHmtx, tt_tables::kGlyf, tt_tables::kLoca};

std::span<const uint8_t> Contents(const std::unique_ptr<GByteBuffer>& buffer) {
  if (!buffer || buffer->GetData() == nullptr) return {};
  return {buffer->GetData(), buffer->GetSize()};
}

// Collects the outline records of a glyph and, before it, of the
// components it is built from that the record has not sent.
class OutlineCollector {
 public:
  OutlineCollector(GTTFontFile& file, GBorzanFontRef& record, bool vertical)
      : file_(file), record_(record), vertical_(vertical) {}

  // Whether the glyph could be read. Components nest two or three deep
  // in real fonts; a deeper chain is not followed further.
  bool Add(uint16_t glyph, uint16_t code, uint32_t depth = 0) {
    constexpr uint32_t kMaxDepth = 16;
    std::unique_ptr<GByteBuffer> outline;
    file_.GetGlyphData(0, false, glyph, outline);
    if (!outline) return false;
    for (uint16_t component : CompositeComponents(Contents(outline))) {
      if (depth >= kMaxDepth || record_.IsCodeSent(kGlyphMark + component)) continue;
      record_.MarkCodeSent(kGlyphMark + component);
      Add(component, kNoCharacter, depth + 1);
    }
    uint16_t advance = 0;
    int16_t leftSideBearing = 0;
    file_.GetHorizontalMetrics(0, glyph, advance, leftSideBearing);
    if (vertical_) {
      uint16_t advanceHeight = 0;
      int16_t topSideBearing = 0;
      file_.GetVerticalMetrics(0, glyph, advanceHeight, topSideBearing);
      records_.push_back(
          {code, xl_font::VerticalTrueTypeGlyph(glyph, leftSideBearing, advance, topSideBearing, Contents(outline))});
    } else {
      records_.push_back({code, xl_font::TrueTypeGlyph(glyph, leftSideBearing, advance, Contents(outline))});
    }
    return true;
  }

  std::vector<xl_font::CharRecord>& Records() { return records_; }

 private:
  GTTFontFile& file_;
  GBorzanFontRef& record_;
  bool vertical_;
  std::vector<xl_font::CharRecord> records_;
};

// A code of the string the record has not sent, and the font's own code
// that it stands for.
struct NewCode {
  uint16_t code;
  uint16_t source;
};

// The distinct codes of the re-coded string that the record has not sent,
// in order of first use; text holds the string in the font's own codes.
std::vector<NewCode> NewCodes(const GBorzanFontRef& record, const GTextString& text, const GTextString& codes) {
  std::vector<NewCode> found;
  std::vector<bool> seen(0x10000);
  for (uint16_t position = 0; position < codes.GetLength(); ++position) {
    const uint16_t code = codes.GetCodeAt(position);
    if (seen[code] || record.IsCodeSent(code)) continue;
    seen[code] = true;
    found.push_back({code, text.GetCodeAt(position)});
  }
  return found;
}

uint32_t SentCodeCount(const GBorzanFontRef& record) {
  uint32_t count = 0;
  record.ForEachSentCode([&](uint32_t code) {
    if (code < kGlyphMark) ++count;
    return 0;
  });
  return count;
}

}  // namespace

// The cache never evicts a font the printer holds, so the font being sent
// counts as one while room is made.
void GBorzan::MakeRoom(uint32_t bytes, GBorzanFontRef& sending) {
  GDownloadedFontCache* cache = DownloadedFontCache();
  const int32_t kind = sending.GetDownloadKind();
  sending.SetDownloadKind(GDownloadedFont::kResidentKind);
  while (cache != nullptr && MemoryBudget().Remaining() < bytes) {
    if (cache->EvictOne() == 0) break;
  }
  sending.SetDownloadKind(kind);
}

uint32_t GBorzan::SendHeaderBlocks(std::span<const xl_font::HeaderBlock> blocks) {
  uint32_t written = 0;
  for (const xl_font::HeaderBlock& block : blocks) {
    const auto length = static_cast<uint32_t>(block.data.size());
    uint32_t at = 0;
    for (uint16_t piece : xl_font::HeaderPieces(length, block.padding)) {
      xl_font::Bytes bytes(piece, 0);
      const uint32_t taken = std::min<uint32_t>(piece, length - at);
      std::copy_n(block.data.begin() + at, taken, bytes.begin());
      at += taken;
      XLReadFontHeader(Stream(), piece);
      XLWriteEmbeddedData(Stream(), bytes);
      written += piece;
    }
  }
  return written;
}

bool GBorzan::SendFontHeader(GFont& font, GBorzanFontRef& record, int32_t textEncoding) {
  if (record.GetDownloadKind() == GDownloadedFont::kBitmapKind) return SendBitmapHeader(font, record);
  return SendTrueTypeHeader(font, record, textEncoding);
}

bool GBorzan::SendBitmapHeader(GFont& font, GBorzanFontRef& record) {
  const uint16_t characters = xl_font::FontCharacters(font);
  const uint32_t estimate =
      (MemoryBudget().IsTracking() + xl_font::FontPageUnits(characters)) * 1024 + kBitmapHeaderOverhead;
  MakeRoom(estimate, record);
  XLBeginFontHeader(Stream(), Bytes(View(record.GetName())), 0);
  const xl_font::HeaderBlock blocks[] = {
      {xl_font::Header(xl_font::PclSymbolSet(record.GetEncoding()), xl_font::Technology::kBitmap, characters)},
      {xl_font::BitmapResolution(XResolution(), YResolution())},
      {xl_font::NullSegment()},
  };
  const uint32_t written = SendHeaderBlocks(blocks);
  XLEndFontHeader(Stream());
  record.AddGlyphs(characters);
  record.AddSize(written);
  record.AddSize(estimate);
  return true;
}

bool GBorzan::SendTrueTypeHeader(GFont& font, GBorzanFontRef& record, int32_t textEncoding) {
  GTTFontFile* file = font.GetTrueTypeFile();
  if (file == nullptr || std::any_of(std::begin(kNeededTables), std::end(kNeededTables),
                                     [&](uint32_t index) { return file->GetTableLength(0, index) == 0; })) {
    return false;
  }
  const bool vertical = xl_font::IsVertical(font);
  int16_t rotation = xl_font::kNoVerticalRotation;
  if (vertical) {
    if (file->GetTypoDescender(0, rotation) == 0) rotation = xl_font::kNoVerticalRotation;
    const bool metrics =
        file->GetTableLength(0, tt_tables::kVhea) != 0 && file->GetTableLength(0, tt_tables::kVmtx) != 0;
    record.SetVerticalMetrics(metrics ? 1 : 0);
  }
  std::vector<std::unique_ptr<GByteBuffer>> held;
  std::vector<xl_font::SfntTable> tables;
  for (const SentTable& sent : kSentTables) {
    std::unique_ptr<GByteBuffer> table;
    file->GetTable(0, sent.index, true, table);
    if (!sent.always && Contents(table).empty()) continue;
    tables.push_back({tt_tables::TagOf(sent.index), Contents(table)});
    held.push_back(std::move(table));
  }
  std::vector<xl_font::HeaderBlock> global = xl_font::GlobalTrueType(tables);
  uint32_t globalSize = 0;
  for (const xl_font::HeaderBlock& block : global)
    globalSize += static_cast<uint32_t>(block.data.size()) + block.padding;
  const uint16_t characters = xl_font::FontCharacters(font);
  const uint32_t estimate =
      ((MemoryBudget().IsTracking() + xl_font::FontPageUnits(characters)) * 256 + characters) * 4 + globalSize +
      kTrueTypeHeaderOverhead;
  MakeRoom(estimate, record);

  const int32_t characterSet =
      FontPropertyValue(font.GetFontInfo(), font.GetMetricsRecord(), GFontProperty::kOwnEncoding);
  std::vector<xl_font::HeaderBlock> blocks;
  blocks.push_back(
      {xl_font::Header(xl_font::PclSymbolSet(record.GetEncoding()), xl_font::Technology::kTrueType, characters)});
  std::move(global.begin(), global.end(), std::back_inserter(blocks));
  if (auto galley = xl_font::GalleyCharacters(characterSet, record.GetEncoding())) blocks.push_back({*galley});
  if (vertical) {
    if (auto list = xl_font::ChooseVerticalList(characterSet, textEncoding)) {
      blocks.push_back({xl_font::VerticalExclusions(*list)});
    }
    if (rotation != xl_font::kNoVerticalRotation) blocks.push_back({xl_font::VerticalRotation(rotation)});
  }
  blocks.push_back({xl_font::NullSegment()});
  XLBeginFontHeader(Stream(), Bytes(View(record.GetName())), 0);
  const uint32_t written = SendHeaderBlocks(blocks);
  XLEndFontHeader(Stream());
  record.AddGlyphs(characters);
  record.AddSize(written);
  record.AddSize(estimate);
  SendSpecialGlyphs(font, record);
  return true;
}

void GBorzan::SendCharRecords(GBorzanFontRef& record, std::span<const xl_font::CharRecord> records, uint32_t estimate) {
  if (records.empty()) return;
  MakeRoom(estimate, record);
  XLBeginChar(Stream(), Bytes(View(record.GetName())));
  uint32_t written = 0;
  for (const xl_font::CharRecord& character : records) {
    XLReadChar(Stream(), character.code, static_cast<uint32_t>(character.data.size()));
    XLWriteEmbeddedData(Stream(), character.data);
    written += static_cast<uint32_t>(character.data.size());
  }
  XLEndChar(Stream());
  record.AddSize(written);
  record.AddSize(estimate);
}

void GBorzan::SendSpecialGlyphs(GFont& font, GBorzanFontRef& record) {
  GTTFontFile& file = *font.GetTrueTypeFile();
  const bool vertical = xl_font::IsVertical(font);
  OutlineCollector collector(file, record, vertical && record.HasVerticalMetrics() != 0);
  if (collector.Add(0, kNoCharacter)) record.MarkCodeSent(kNoCharacter);
  const int32_t characterSet =
      FontPropertyValue(font.GetFontInfo(), font.GetMetricsRecord(), GFontProperty::kOwnEncoding);
  const int32_t encoding = record.GetEncoding();
  if (characterSet == kJapanese && (encoding == kJapanese || encoding == GTextString::kMappedEncoding ||
                                    encoding == GTextString::kUnicodeEncoding)) {
    // The yen sign, or the half-width middle dot, that the galley
    // characters stand in for.
    const bool unicode = encoding == GTextString::kUnicodeEncoding;
    const uint16_t code = unicode ? 0xFF65 : 165;
    const uint16_t glyph = file.GetGlyphIndex(0, vertical, code, unicode ? GTextString::kUnicodeEncoding : kJapanese);
    if (glyph != 0 && collector.Add(glyph, code)) record.MarkCodeSent(code);
  }
  const auto count = static_cast<uint32_t>(collector.Records().size());
  SendCharRecords(record, collector.Records(), count * kTrueTypeGlyphEstimate);
}

void GBorzan::SendGlyphs(GFont& font, GBorzanFontRef& record, const GTextString& text, const GTextString& codes) {
  std::vector<NewCode> fresh = NewCodes(record, text, codes);
  if (fresh.empty()) return;
  if (record.GetGlyphCount() < SentCodeCount(record) + fresh.size()) {
    record.Unload();
    fresh = NewCodes(record, text, codes);
  }
  if (record.GetSize() == 0 && !SendFontHeader(font, record, text.GetEncoding())) return;
  const auto count = static_cast<uint32_t>(fresh.size());
  if (record.GetDownloadKind() == GDownloadedFont::kBitmapKind) {
    const bool pageScaled = (FontPropertyValue(font.GetFontInfo(), font.GetMetricsRecord(), GFontProperty::kItalic) &
                             kPageScaledStyle) != 0;
    const GScale scale = pageScaled ? CurrentTransformScale() : GScale();
    GScaledFont scaled(font, scale.x, scale.y);
    std::vector<xl_font::CharRecord> records;
    for (const auto [code, source] : fresh) {
      GGlyphMetrics metrics;
      std::unique_ptr<GByteBuffer> image;
      if (scaled.GetGlyphImage(source, 0, metrics, image) == 0) continue;
      const xl_font::BitmapPlacement placement{metrics.xOffset, metrics.yOffset, metrics.width, metrics.height};
      std::optional<xl_font::Bytes> glyph = xl_font::BitmapGlyph(placement, Contents(image));
      if (!glyph) continue;
      records.push_back({code, std::move(*glyph)});
      record.MarkCodeSent(code);
    }
    const auto size = static_cast<uint32_t>(std::max<int16_t>(scaled.GetHeight(), 0));
    SendCharRecords(record, records, count * (size / 8) * size);
    return;
  }
  GTTFontFile* file = font.GetTrueTypeFile();
  if (file == nullptr) return;
  const bool vertical = xl_font::IsVertical(font);
  OutlineCollector collector(*file, record, vertical && record.HasVerticalMetrics() != 0);
  for (const auto [code, source] : fresh) {
    const uint16_t glyph = file->GetGlyphIndex(0, vertical, source, text.GetEncoding());
    if (collector.Add(glyph, code)) record.MarkCodeSent(code);
  }
  SendCharRecords(record, collector.Records(), count * kTrueTypeGlyphEstimate);
}
