#include "graphics/fonts/truetype/tt_font_file_imp.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <unordered_set>

#include "graphics/fonts/truetype/big_endian_span.h"
#include "graphics/fonts/truetype/glyph_cache.h"
#include "graphics/fonts/truetype/glyph_cache_node.h"
#include "graphics/fonts/truetype/tt_table_cache.h"
#include "graphics/fonts/truetype/tt_tables.h"
#include "graphics/fonts/truetype/vertical_substitution.h"
#include "model/os/fatal_error.h"
#include "model/os/lock.h"
#include "model/os/os_version.h"
#include "model/os/osfactry.h"
#include "model/os/unicode.h"

namespace {

constexpr const char kSourceName[] = "ttftfile";

// Composite glyphs name other glyphs; a font can make them name each other
// in a cycle, and the depth maxp claims is the font's own word. Real fonts
// nest components two or three deep, so the walk stops at a fixed depth.
constexpr uint32_t kMaxComponentDepth = 16;

// Component record flags.
constexpr uint16_t kArgsAreWords = 0x0001;
constexpr uint16_t kHasScale = 0x0008;
constexpr uint16_t kMoreComponents = 0x0020;
constexpr uint16_t kHasXYScale = 0x0040;
constexpr uint16_t kHasTwoByTwo = 0x0080;
// Components start after numberOfContours and the bounding box.
constexpr uint32_t kFirstComponent = 10;

// Encodings whose rendering gets the glyph index beside the code: 1 and 16
// to 23; the others render by code alone.
bool RendersByGlyphIndex(int32_t encoding) { return encoding == 1 || (encoding >= 16 && encoding <= 23); }

// A buffer handed to a cache: the cache takes the bytes over when the
// buffer owned them, else it gets a copy; the caller's buffer keeps
// pointing at the bytes. Null when a copy cannot be made.
std::unique_ptr<GByteBuffer> HandOver(GByteBuffer& buffer) {
  const uint32_t size = buffer.GetSize();
  uint8_t* data = buffer.Detach();
  if (data == nullptr && size != 0) return nullptr;
  return std::make_unique<GByteBuffer>(data, size, true);
}

// A new owned buffer of size bytes; null when memory runs out.
std::unique_ptr<GByteBuffer> NewBuffer(uint32_t size) {
  if (size == 0) return std::make_unique<GByteBuffer>(nullptr, 0, true);
  auto* data = new (std::nothrow) uint8_t[size];
  if (data == nullptr) return nullptr;
  return std::make_unique<GByteBuffer>(data, size, true);
}

// The code of the yen sign in Shift-JIS, whose glyph Japanese text needs
// early.
constexpr uint16_t kShiftJisYen = 165;

uint32_t HostMajorVersion() {
  GOSVersion version;
  if (GOSFactory* factory = GOSFactory::Instance()) {
    factory->GetOSVersion(version);
  } else {
    DetectOperatingSystem(version);
  }
  return version.version >> 16;
}

bool SameCache(const GObjectRef& a, const GObjectRef& b) {
  if (!a || !b) return !a && !b;
  return a.Get() == b.Get() || a->SameContent(*b);
}

}  // namespace

// The glyphs loaded whole during one LoadGlyph: a component named again is
// not walked again, so a font cannot make the walk repeat work.
struct GTTFontFileImp::ComponentWalk {
  std::unordered_set<uint16_t> loaded;
};

GTTFontFileImp::GTTFontFileImp(uint32_t fontKey) : fontKey_(fontKey) {
  if (GOSFactory* factory = GOSFactory::Instance()) lock_ = factory->CreateLock();
}

GTTFontFileImp::~GTTFontFileImp() = default;

void GTTFontFileImp::Lock() {
  if (lock_ && lock_->Lock() != 0) ReportFatalError(kFatalTypeShutdown, kFatalLockFailed, kSourceName, __LINE__);
  locked_ = true;
}

void GTTFontFileImp::Unlock() {
  locked_ = false;
  if (lock_ && lock_->Unlock() == GLock::kUnlockFailed) {
    ReportFatalError(kFatalTypeShutdown, kFatalUnlockFailed, kSourceName, __LINE__);
  }
}

void GTTFontFileImp::AddOwnerTo(std::vector<uint32_t>& owners, uint32_t owner) {
  if (std::find(owners.begin(), owners.end(), owner) == owners.end()) owners.push_back(owner);
}

bool GTTFontFileImp::RemoveOwnerFrom(std::vector<uint32_t>& owners, uint32_t owner) {
  const auto found = std::find(owners.begin(), owners.end(), owner);
  if (found == owners.end()) return false;
  owners.erase(found);
  return true;
}

bool GTTFontFileImp::HasUser(uint32_t owner) const {
  return std::find(users_.begin(), users_.end(), owner) != users_.end();
}

GTTTableCache& GTTFontFileImp::TableCache() {
  if (!tableCache_) tableCache_ = new GTTTableCache;
  return static_cast<GTTTableCache&>(*tableCache_);
}

GGlyphCache& GTTFontFileImp::GlyphCache() {
  if (!glyphCache_) glyphCache_ = new GGlyphCache;
  return static_cast<GGlyphCache&>(*glyphCache_);
}

const GTTTableCache* GTTFontFileImp::GetTableCache() const {
  return static_cast<const GTTTableCache*>(tableCache_.Get());
}

const GGlyphCache* GTTFontFileImp::GetGlyphCache() const { return static_cast<const GGlyphCache*>(glyphCache_.Get()); }

int32_t GTTFontFileImp::HasRequiredTables(uint32_t context) {
  for (uint32_t index : tt_tables::kRequired) {
    if (GetTableSize(context, tt_tables::TagOf(index)) == 0) return 0;
  }
  return 1;
}

void GTTFontFileImp::CacheTable(uint32_t index, std::unique_ptr<GByteBuffer> buffer) {
  GTTTableCache& cache = TableCache();
  const uint32_t before = cache.GetCount();
  cache.Put(index, std::move(buffer));
  if (cache.GetCount() > before) ++changeCount_;
}

uint32_t GTTFontFileImp::ReadTable(uint32_t context, uint32_t index, uint32_t offset, bool cacheable,
                                   uint8_t* destination, uint32_t length) {
  const uint32_t tag = tt_tables::TagOf(index);
  if (tag == 0) return 0;
  const uint64_t end = uint64_t{offset} + length;
  if (const GTTTableCache* cache = GetTableCache()) {
    const std::unique_ptr<GByteBuffer> cached = cache->Get(index);
    if (cached && length != 0 && cached->GetSize() >= end) {
      std::memcpy(destination, cached->GetData() + offset, length);
      return length;
    }
  }
  if (cacheable && IsCachingAllowed() != 0) {
    const uint32_t size = GetTableSize(context, tag);
    if (size == 0) {
      CacheTable(index, NewBuffer(0));
      return 0;
    }
    if (end > size) return 0;
    if (size < tt_tables::kWholeTableLimit) {
      std::unique_ptr<GByteBuffer> whole;
      if (ReadWholeTable(context, tag, whole, size) != size || !whole || whole->GetSize() != size) return 0;
      if (length != 0) std::memcpy(destination, whole->GetData() + offset, length);
      CacheTable(index, std::move(whole));
      return length;
    }
  }
  return ReadTablePart(context, tag, offset, destination, length) == length ? length : 0;
}

uint32_t GTTFontFileImp::GetTable(uint32_t context, uint32_t index, bool cache, std::unique_ptr<GByteBuffer>& out) {
  out.reset();
  const uint32_t tag = tt_tables::TagOf(index);
  if (tag == 0) return 0;
  if (const GTTTableCache* cached = GetTableCache()) {
    if (std::unique_ptr<GByteBuffer> entry = cached->Get(index)) {
      if (entry->GetSize() == 0) return 0;
      out = std::move(entry);
      return out->GetSize();
    }
  }
  const uint32_t size = GetTableSize(context, tag);
  const bool caching = cache && IsCachingAllowed() != 0;
  if (size == 0) {
    if (caching) CacheTable(index, NewBuffer(0));
    return 0;
  }
  std::unique_ptr<GByteBuffer> whole;
  if (ReadWholeTable(context, tag, whole, size) != size || !whole || whole->GetSize() != size) return 0;
  if (caching && size < tt_tables::kWholeTableLimit) {
    if (std::unique_ptr<GByteBuffer> handed = HandOver(*whole)) CacheTable(index, std::move(handed));
  }
  out = std::move(whole);
  return size;
}

uint32_t GTTFontFileImp::GetTableLength(uint32_t context, uint32_t index) {
  if (const GTTTableCache* cache = GetTableCache()) {
    if (const std::unique_ptr<GByteBuffer> cached = cache->Get(index)) return cached->GetSize();
  }
  const uint32_t tag = tt_tables::TagOf(index);
  return tag == 0 ? 0 : GetTableSize(context, tag);
}

template <typename T>
bool GTTFontFileImp::ReadHeaderValue(uint32_t context, HeaderValue<T>& value, uint32_t index, uint32_t offset) {
  if (value.valid) return true;
  std::array<uint8_t, 2> bytes{};
  if (ReadTable(context, index, offset, false, bytes.data(), 2) != 2) return false;
  value.value = static_cast<T>(*GBigEndianSpan(bytes.data(), 2).U16(0));
  value.valid = true;
  ++changeCount_;
  return true;
}

int32_t GTTFontFileImp::GetGlyphCount(uint32_t context, uint16_t& count) {
  if (!ReadHeaderValue(context, numGlyphs_, tt_tables::kMaxp, 4)) return 0;
  count = numGlyphs_.value;
  return 1;
}

int32_t GTTFontFileImp::GetTypoDescender(uint32_t context, int16_t& descender) {
  if (!ReadHeaderValue(context, typoDescender_, tt_tables::kOs2, 70)) return 0;
  descender = typoDescender_.value;
  return 1;
}

int32_t GTTFontFileImp::GetFontBox(uint32_t context, int16_t& xMin, int16_t& yMin, int16_t& xMax, int16_t& yMax) {
  std::array<uint8_t, 8> bytes{};
  if (ReadTable(context, tt_tables::kHead, 36, true, bytes.data(), 8) != 8) return 0;
  const GBigEndianSpan box(bytes.data(), bytes.size());
  xMin = *box.S16(0);
  yMin = *box.S16(2);
  xMax = *box.S16(4);
  yMax = *box.S16(6);
  return 8;
}

int32_t GTTFontFileImp::GetHorizontalMetrics(uint32_t context, uint16_t glyph, uint16_t& advanceWidth,
                                             int16_t& leftSideBearing) {
  if (!ReadHeaderValue(context, numberOfHMetrics_, tt_tables::kHhea, 34)) return 0;
  return GetMetrics(context, glyph, tt_tables::kHmtx, numberOfHMetrics_.value, advanceWidth, leftSideBearing);
}

int32_t GTTFontFileImp::GetVerticalMetrics(uint32_t context, uint16_t glyph, uint16_t& advanceHeight,
                                           int16_t& topSideBearing) {
  if (!ReadHeaderValue(context, numOfLongVerMetrics_, tt_tables::kVhea, 34)) return 0;
  return GetMetrics(context, glyph, tt_tables::kVmtx, numOfLongVerMetrics_.value, advanceHeight, topSideBearing);
}

// Glyphs below count have a long metric (advance, bearing); the rest share
// the last advance and have their bearing in the array after the long
// metrics. A count of 0 leaves no advance to give: the answer is 0 rather
// than a read of a long metric the font does not have.
int32_t GTTFontFileImp::GetMetrics(uint32_t context, uint16_t glyph, uint32_t metricsTable, uint16_t count,
                                   uint16_t& advance, int16_t& bearing) {
  if (count == 0) return 0;
  const uint32_t advanceAt = 4 * uint32_t{std::min<uint16_t>(glyph, count - 1)};
  const uint32_t bearingAt = glyph < count ? 4 * uint32_t{glyph} + 2 : 2 * (uint32_t{count} + glyph);
  std::array<uint8_t, 2> advanceBytes{};
  std::array<uint8_t, 2> bearingBytes{};
  if (ReadTable(context, metricsTable, advanceAt, true, advanceBytes.data(), 2) != 2 ||
      ReadTable(context, metricsTable, bearingAt, false, bearingBytes.data(), 2) != 2) {
    return 0;
  }
  advance = *GBigEndianSpan(advanceBytes.data(), 2).U16(0);
  bearing = *GBigEndianSpan(bearingBytes.data(), 2).S16(0);
  return 1;
}

// head's indexToLocFormat is a 16-bit big-endian value, 0 or 1: its low
// byte, the second of the two, tells the formats apart.
bool GTTFontFileImp::GetLocaFormat(uint32_t context, uint8_t& format) {
  if (locaFormat_ == kLocaFormatUnknown) {
    std::array<uint8_t, 2> bytes{};
    if (ReadTable(context, tt_tables::kHead, 50, true, bytes.data(), 2) != 2) return false;
    const uint16_t value = *GBigEndianSpan(bytes.data(), 2).U16(0);
    if (value > 1) return false;
    locaFormat_ = static_cast<uint8_t>(value);
  }
  format = locaFormat_;
  return format <= 1;
}

bool GTTFontFileImp::GetGlyphRange(uint32_t context, uint16_t glyph, uint32_t& offset, uint32_t& length) {
  uint8_t format = 0;
  if (!GetLocaFormat(context, format)) return false;
  std::array<uint8_t, 8> bytes{};
  const GBigEndianSpan loca(bytes.data(), bytes.size());
  uint64_t start = 0;
  uint64_t next = 0;
  if (format == 0) {
    if (ReadTable(context, tt_tables::kLoca, 2 * uint32_t{glyph}, true, bytes.data(), 4) != 4) return false;
    start = 2 * uint64_t{*loca.U16(0)};
    next = 2 * uint64_t{*loca.U16(2)};
  } else {
    if (ReadTable(context, tt_tables::kLoca, 4 * uint32_t{glyph}, true, bytes.data(), 8) != 8) return false;
    start = *loca.U32(0);
    next = *loca.U32(4);
  }
  offset = static_cast<uint32_t>(start);
  length = next > start ? static_cast<uint32_t>(next - start) : 0;
  return true;
}

uint32_t GTTFontFileImp::GetGlyphDataOffset(uint32_t context, uint16_t glyph) {
  uint32_t offset = 0;
  uint32_t length = 0;
  return GetGlyphRange(context, glyph, offset, length) ? offset : 0;
}

uint32_t GTTFontFileImp::GetGlyphData(uint32_t context, bool cache, uint16_t glyph, std::unique_ptr<GByteBuffer>& out) {
  out.reset();
  if (GetCachedOutline(glyph, out) != 0) return out->GetSize();
  uint32_t offset = 0;
  uint32_t length = 0;
  if (!GetGlyphRange(context, glyph, offset, length)) return 0;
  // The outline must lie inside glyf before anything is allocated for it.
  if (uint64_t{offset} + length > GetTableLength(context, tt_tables::kGlyf)) return 0;
  std::unique_ptr<GByteBuffer> outline = NewBuffer(length);
  if (!outline) return 0;
  if (length != 0 && ReadTable(context, tt_tables::kGlyf, offset, true, outline->GetData(), length) != length) return 0;
  if (cache && length != 0) {
    if (std::unique_ptr<GByteBuffer> handed = HandOver(*outline)) CacheGlyph(glyph, std::move(handed), nullptr);
  }
  out = std::move(outline);
  return length;
}

uint32_t GTTFontFileImp::CacheGlyph(uint16_t glyph, std::unique_ptr<GByteBuffer> outline,
                                    std::unique_ptr<GByteBuffer> image) {
  GGlyphCache& cache = GlyphCache();
  const uint32_t before = cache.GetCount();
  cache.Put(glyph, std::make_unique<GGlyphCacheNode>(std::move(outline), std::move(image)));
  if (cache.GetCount() > before) ++changeCount_;
  return cache.GetCount();
}

int32_t GTTFontFileImp::GetCachedOutline(uint16_t glyph, std::unique_ptr<GByteBuffer>& out) const {
  const GGlyphCache* cache = GetGlyphCache();
  const GGlyphCacheNode* node = cache != nullptr ? cache->Get(glyph) : nullptr;
  out = node != nullptr ? node->GetOutline() : nullptr;
  return out ? 1 : 0;
}

int32_t GTTFontFileImp::GetCachedImage(uint16_t glyph, std::unique_ptr<GByteBuffer>& out) const {
  const GGlyphCache* cache = GetGlyphCache();
  const GGlyphCacheNode* node = cache != nullptr ? cache->Get(glyph) : nullptr;
  out = node != nullptr ? node->GetImage() : nullptr;
  return out ? 1 : 0;
}

uint32_t GTTFontFileImp::GetGlyphImage(uint32_t context, bool cache, uint16_t glyph, uint16_t code,
                                       std::unique_ptr<GByteBuffer>& out, uint32_t sourceValue, int32_t encoding,
                                       const GFontInfo* fontInfo) {
  if (GetCachedImage(glyph, out) != 0) return out->GetSize();
  const uint32_t length = RenderGlyph(context, cache, glyph, code, out, sourceValue, encoding, fontInfo);
  if (cache && out && out->GetSize() != 0) {
    if (std::unique_ptr<GByteBuffer> handed = HandOver(*out)) CacheGlyph(glyph, nullptr, std::move(handed));
  }
  return length;
}

int32_t GTTFontFileImp::LoadGlyph(uint32_t context, uint16_t glyph, uint16_t code, bool render, int32_t encoding,
                                  const GFontInfo* fontInfo, const GByteBuffer* image) {
  ComponentWalk walk;
  return LoadGlyphIn(walk, context, glyph, code, render, encoding, fontInfo, image, 0);
}

int32_t GTTFontFileImp::LoadGlyphIn(ComponentWalk& walk, uint32_t context, uint16_t glyph, uint16_t code, bool render,
                                    int32_t encoding, const GFontInfo* fontInfo, const GByteBuffer* image,
                                    uint32_t depth) {
  if (depth > kMaxComponentDepth) return 0;
  std::unique_ptr<GByteBuffer> outline;
  GetGlyphData(context, true, glyph, outline);
  if (!outline) return 0;
  const std::optional<int16_t> contours = GBigEndianSpan(outline->GetData(), outline->GetSize()).S16(0);
  if (contours && *contours < 0 && walk.loaded.count(glyph) == 0) {
    if (!LoadComponents(walk, context, *outline, code, encoding, fontInfo, depth)) return 0;
  }
  walk.loaded.insert(glyph);
  if (!render || image != nullptr) return 1;
  const uint16_t rendered = RendersByGlyphIndex(encoding) ? glyph : code;
  std::unique_ptr<GByteBuffer> made;
  return RenderGlyph(context, true, rendered, code, made, 0, encoding, fontInfo) != 0 ? 1 : 0;
}

// Every component record is checked against the outline's length; a
// record that runs past it fails the glyph.
bool GTTFontFileImp::LoadComponents(ComponentWalk& walk, uint32_t context, const GByteBuffer& outline, uint16_t code,
                                    int32_t encoding, const GFontInfo* fontInfo, uint32_t depth) {
  const GBigEndianSpan bytes(outline.GetData(), outline.GetSize());
  // Marks the components as never rendered.
  const GByteBuffer marker(nullptr, 0, false);
  uint64_t at = kFirstComponent;
  for (;;) {
    const std::optional<uint16_t> flags = bytes.U16(at);
    const std::optional<uint16_t> component = bytes.U16(at + 2);
    if (!flags || !component) return false;
    uint64_t size = 4 + ((*flags & kArgsAreWords) != 0 ? 4 : 2);
    if ((*flags & kHasTwoByTwo) != 0) {
      size += 8;
    } else if ((*flags & kHasXYScale) != 0) {
      size += 4;
    } else if ((*flags & kHasScale) != 0) {
      size += 2;
    }
    if (!bytes.Holds(at, size)) return false;
    if (LoadGlyphIn(walk, context, *component, code, false, encoding, fontInfo, &marker, depth + 1) == 0) return false;
    if ((*flags & kMoreComponents) == 0) return true;
    at += size;
  }
}

int32_t GTTFontFileImp::Preload(uint32_t context, int32_t encoding) {
  if (preloaded_) return 1;
  for (uint32_t index : tt_tables::kPreload) {
    if (GetTableCache() != nullptr && GetTableCache()->Get(index)) continue;
    const uint32_t tag = tt_tables::TagOf(index);
    const uint32_t size = GetTableSize(context, tag);
    if (size == 0) {
      CacheTable(index, NewBuffer(0));
      continue;
    }
    std::unique_ptr<GByteBuffer> whole;
    if (ReadWholeTable(context, tag, whole, size) == size && whole && whole->GetSize() == size) {
      CacheTable(index, std::move(whole));
    }
  }
  LoadGlyph(context, 0, 0, false, 0, nullptr, nullptr);
  if (encoding == tt_encoding::kShiftJis) {
    LoadGlyph(context, GetGlyphIndex(context, false, kShiftJisYen, encoding), kShiftJisYen, false, 0, nullptr, nullptr);
  }
  preloaded_ = true;
  return 1;
}

void GTTFontFileImp::UpdateFrom(GTTFontFileImp& other) {
  if (other.tableCache_) TableCache().UpdateFrom(static_cast<GTTTableCache&>(*other.tableCache_));
  if (other.glyphCache_) GlyphCache().UpdateFrom(static_cast<GGlyphCache&>(*other.glyphCache_));
  locaFormat_ = other.locaFormat_;
  firstGroup_ = other.firstGroup_;
  secondGroup_ = other.secondGroup_;
  numGlyphs_ = other.numGlyphs_;
  typoDescender_ = other.typoDescender_;
  numberOfHMetrics_ = other.numberOfHMetrics_;
  numOfLongVerMetrics_ = other.numOfLongVerMetrics_;
}

bool GTTFontFileImp::SameContent(const MPersistentObject& other) const {
  const auto* font = dynamic_cast<const GTTFontFileImp*>(&other);
  return font != nullptr && MPersistentObject::SameContent(other) && changeCount_ == font->changeCount_ &&
         fontKey_ == font->fontKey_ && locaFormat_ == font->locaFormat_ && firstGroup_ == font->firstGroup_ &&
         secondGroup_ == font->secondGroup_ && numGlyphs_ == font->numGlyphs_ &&
         typoDescender_ == font->typoDescender_ && numberOfHMetrics_ == font->numberOfHMetrics_ &&
         numOfLongVerMetrics_ == font->numOfLongVerMetrics_ && SameCache(tableCache_, font->tableCache_) &&
         SameCache(glyphCache_, font->glyphCache_);
}

namespace {

void GroupFields(GFieldArchive& archive, GTTFontFileImp::SourceGroup& group) {
  archive.Bool32(group.valid);
  archive.Int16(group.first);
  archive.Int16(group.second);
  archive.UInt16(group.third);
}

void ValueField(GFieldArchive& archive, GTTFontFileImp::HeaderValue<uint16_t>& value) {
  archive.Bool32(value.valid);
  archive.UInt16(value.value);
}

void ValueField(GFieldArchive& archive, GTTFontFileImp::HeaderValue<int16_t>& value) {
  archive.Bool32(value.valid);
  archive.Int16(value.value);
}

}  // namespace

void GTTFontFileImp::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  archive.UInt32(changeCount_);
  archive.UInt32(fontKey_);
  archive.UInt8(locaFormat_);
  GroupFields(archive, firstGroup_);
  GroupFields(archive, secondGroup_);
  ValueField(archive, numGlyphs_);
  ValueField(archive, typoDescender_);
  ValueField(archive, numberOfHMetrics_);
  ValueField(archive, numOfLongVerMetrics_);
  archive.ObjectOf<GTTTableCache>(tableCache_);
  archive.ObjectOf<GGlyphCache>(glyphCache_);
}

std::span<const uint8_t> GTTFontFileImp::TableBytes(uint32_t context, uint32_t index,
                                                    std::unique_ptr<GByteBuffer>& holder) {
  if (GetTable(context, index, true, holder) == 0 || !holder) return {};
  return {holder->GetData(), holder->GetSize()};
}

void GTTFontFileImp::SelectCharacterMap(const GByteBuffer& cmap, int32_t encoding, GCharacterMapChoice& choice) {
  choice = ::SelectCharacterMap({cmap.GetData(), cmap.GetSize()}, encoding);
}

uint16_t GTTFontFileImp::GetGlyphIndex(uint32_t context, bool vertical, uint16_t code, int32_t encoding) {
  if (encoding == tt_encoding::kGlyphIndex) {
    uint16_t count = 0;
    if (GetGlyphCount(context, count) == 0 || code < count) return code;
  }
  std::unique_ptr<GByteBuffer> os2;
  std::unique_ptr<GByteBuffer> cmap;
  if (TableBytes(context, tt_tables::kOs2, os2).empty() || TableBytes(context, tt_tables::kCmap, cmap).empty()) {
    return 0;
  }
  GCharacterMapChoice choice;
  SelectCharacterMap(*cmap, encoding, choice);
  if (!choice.found) return 0;
  const uint16_t glyph = LookUpGlyph({cmap->GetData(), cmap->GetSize()}, {os2->GetData(), os2->GetSize()}, choice, code,
                                     encoding, GetUnicodeConverter(), HostMajorVersion());
  if (!vertical) return glyph;
  std::unique_ptr<GByteBuffer> mort;
  std::unique_ptr<GByteBuffer> gsub;
  const std::span<const uint8_t> mortBytes = TableBytes(context, tt_tables::kMort, mort);
  // GSUB is not read when mort decides.
  const std::span<const uint8_t> gsubBytes =
      mortBytes.empty() ? TableBytes(context, tt_tables::kGsub, gsub) : std::span<const uint8_t>();
  return SubstituteVertical(mortBytes, gsubBytes, glyph);
}
