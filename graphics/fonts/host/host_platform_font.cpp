#include "graphics/fonts/host/host_platform_font.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <memory>

#include "foundation/class_registrar.h"
#include "graphics/fonts/truetype/big_endian_span.h"
#include "graphics/fonts/truetype/tt_font_file.h"
#include "graphics/fonts/truetype/tt_tables.h"
#include "model/objects/field_archive.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GHostPlatformFont>, kGHostPlatformFontClassID,
                                kGHostPlatformFontClassName);

// advance x em / unitsPerEm, rounded half away from zero, within 16 bits.
int16_t Scale(uint16_t advance, int16_t em, uint16_t unitsPerEm) {
  const int64_t product = static_cast<int64_t>(advance) * em * 2;
  const int64_t magnitude = (std::llabs(product) / unitsPerEm + 1) / 2;
  const int64_t scaled = product < 0 ? -magnitude : magnitude;
  return static_cast<int16_t>(
      std::clamp<int64_t>(scaled, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max()));
}

}  // namespace

GHostPlatformFont::GHostPlatformFont(GTTFontFile* file, int16_t em, int32_t encoding)
    : file_(file), em_(em), encoding_(encoding) {}

GTTFontFile* GHostPlatformFont::GetFontFile() const { return static_cast<GTTFontFile*>(file_.Get()); }

std::optional<uint16_t> GHostPlatformFont::UnitsPerEm(uint32_t context) const {
  GTTFontFile* file = GetFontFile();
  std::unique_ptr<GByteBuffer> head;
  if (file == nullptr || file->GetTable(context, tt_tables::kHead, true, head) == 0 || !head) return std::nullopt;
  const std::optional<uint16_t> units = GBigEndianSpan(head->GetData(), head->GetSize()).U16(18);
  if (!units || *units == 0) return std::nullopt;
  return units;
}

bool GHostPlatformFont::Width(uint32_t context, uint16_t unitsPerEm, uint16_t code, int16_t& width) const {
  GTTFontFile& file = *GetFontFile();
  const uint16_t glyph = file.GetGlyphIndex(context, false, code, encoding_);
  uint16_t advance = 0;
  int16_t bearing = 0;
  if (glyph == 0 || file.GetHorizontalMetrics(context, glyph, advance, bearing) == 0) return false;
  width = Scale(advance, em_, unitsPerEm);
  return true;
}

bool GHostPlatformFont::GetRangeWidths(uintptr_t context, uint16_t first, uint16_t last, std::span<int16_t> widths) {
  const auto fontContext = static_cast<uint32_t>(context);
  const std::optional<uint16_t> unitsPerEm = UnitsPerEm(fontContext);
  if (!unitsPerEm || last < first || widths.size() < static_cast<size_t>(last - first) + 1) return false;
  for (uint32_t code = first; code <= last; ++code) {
    if (!Width(fontContext, *unitsPerEm, static_cast<uint16_t>(code), widths[code - first])) return false;
  }
  return true;
}

bool GHostPlatformFont::GetCodeWidth(uintptr_t context, uint16_t code, int16_t& width) {
  const auto fontContext = static_cast<uint32_t>(context);
  const std::optional<uint16_t> unitsPerEm = UnitsPerEm(fontContext);
  return unitsPerEm && Width(fontContext, *unitsPerEm, code, width);
}

bool GHostPlatformFont::SameContent(const MPersistentObject& other) const {
  const auto* font = SameClassAndKey<GHostPlatformFont>(other);
  if (font == nullptr || font->em_ != em_ || font->encoding_ != encoding_) return false;
  const GTTFontFile* mine = GetFontFile();
  const GTTFontFile* theirs = font->GetFontFile();
  if (mine == nullptr || theirs == nullptr) return mine == theirs;
  return mine == theirs || mine->SameContent(*theirs);
}

void GHostPlatformFont::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  archive.ObjectOf<GTTFontFile>(file_);
  archive.Int16(em_);
  archive.Int32(encoding_);
}
