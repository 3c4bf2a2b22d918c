#include "graphics/fonts/text_string.h"

#include <utility>
#include <vector>

#include "foundation/class_registrar.h"
#include "graphics/fonts/glyph_code_mapper.h"
#include "model/os/unicode.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GTextString>, kGTextStringClassID, kGTextStringClassName);

template <typename T, typename Convert>
GCodeBlock<T> Converted(const GTextString& source, Convert convert) {
  std::vector<T> codes(source.GetLength());
  for (uint16_t i = 0; i < source.GetLength(); ++i) codes[i] = static_cast<T>(convert(source.GetCodeAt(i)));
  return GCodeBlock<T>(std::move(codes));
}

// The converter's answer, 0 without a converter.
uint16_t FromUnicode(uint16_t code, int32_t encoding) {
  GUnicodeConverter* converter = GetUnicodeConverter();
  return converter != nullptr ? converter->FromUnicode(code, encoding) : 0;
}

uint16_t ToUnicode(uint16_t code, int32_t encoding) {
  GUnicodeConverter* converter = GetUnicodeConverter();
  return converter != nullptr ? converter->ToUnicode(code, encoding) : 0;
}

}  // namespace

GTextString::GTextString(GCodeBlock<uint8_t> codes, int32_t encoding)
    : bytes_(std::move(codes)), length_(static_cast<uint16_t>(bytes_.Count())), codeSize_(1), encoding_(encoding) {}

GTextString::GTextString(GCodeBlock<uint16_t> codes, int32_t encoding)
    : units_(std::move(codes)), length_(static_cast<uint16_t>(units_.Count())), codeSize_(2), encoding_(encoding) {}

// The first rule that fits the two encodings decides.
GTextString::GTextString(const GTextString& source, int32_t encoding, GGlyphCodeMapper* mapper)
    : length_(source.length_), encoding_(encoding) {
  const int32_t from = source.encoding_;
  if (from == encoding) {
    bytes_ = source.bytes_;
    units_ = source.units_;
    codeSize_ = source.codeSize_;
  } else if (encoding == kMappedEncoding) {
    // Bytes need no mapping; 16-bit codes get the device codes.
    codeSize_ = source.codeSize_;
    bytes_ = source.bytes_;
    if (codeSize_ == 2) {
      units_ = Converted<uint16_t>(source, [mapper](uint16_t code) { return mapper ? mapper->Map(code) : 0; });
    }
  } else if (from == kGlyphIndexEncoding || from == kMappedEncoding || encoding == kGlyphIndexEncoding) {
    // Glyph indices and device codes belong to one font; they have no
    // character to convert.
    codeSize_ = 1;
    bytes_ = GCodeBlock<uint8_t>(std::vector<uint8_t>(length_));
  } else if (from == kUnicodeEncoding && IsSingleByteEncoding(encoding)) {
    codeSize_ = 1;
    bytes_ = Converted<uint8_t>(source, [encoding](uint16_t code) { return FromUnicode(code, encoding) & 0xFF; });
  } else if (encoding == kUnicodeEncoding) {
    codeSize_ = 2;
    units_ = Converted<uint16_t>(source, [from](uint16_t code) { return ToUnicode(code, from); });
  } else {
    codeSize_ = 2;
    units_ = Converted<uint16_t>(source, [encoding](uint16_t code) { return FromUnicode(code, encoding); });
  }
}

bool GTextString::IsSingleByteEncoding(int32_t encoding) {
  return (encoding >= 3 && encoding <= 12) || encoding == 14 || encoding == 15 || (encoding >= 24 && encoding <= 52);
}

const void* GTextString::GetCodes() const {
  if (codeSize_ == 1) return bytes_.Data();
  if (codeSize_ == 2) return units_.Data();
  return nullptr;
}

uint16_t GTextString::GetCodeAt(uint16_t position) const {
  if (codeSize_ == 1) return bytes_.At(position);
  if (codeSize_ == 2) return units_.At(position);
  return 0;
}

void GTextString::MakeOwned() {
  bytes_.MakeOwned();
  units_.MakeOwned();
}

bool GTextString::SameContent(const MPersistentObject& other) const {
  const auto* text = SameClassAndKey<GTextString>(other);
  return text != nullptr && length_ == text->length_ && codeSize_ == text->codeSize_ && encoding_ == text->encoding_ &&
         bytes_.SameElements(text->bytes_) && units_.SameElements(text->units_);
}

void GTextString::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  if (!(archive.UInt16(length_) && archive.Int32(codeSize_) && archive.Int32(encoding_))) return;
  if (archive.IsRestoring()) {
    bytes_ = {};
    units_ = {};
  }
  if (codeSize_ == 1) bytes_.Fields(archive, length_);
  if (codeSize_ == 2) units_.Fields(archive, length_);
}
