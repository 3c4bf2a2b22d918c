#include "graphics/display/text_string_graphic.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "foundation/class_registrar.h"
#include "graphics/clips/float_value.h"
#include "graphics/fonts/font.h"
#include "graphics/fonts/space_distributor.h"
#include "graphics/fonts/text_escapements.h"
#include "graphics/fonts/text_string.h"
#include "model/attributes/peripheral.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GTextStringGraphic>, kGTextStringGraphicClassID,
                                kGTextStringGraphicClassName);

GObjectRef CloneOf(const GObjectRef& object) {
  return GObjectRef(object ? static_cast<MPersistentObject*>(object->Clone()) : nullptr);
}

bool SameOrEqual(const GObjectRef& a, const GObjectRef& b) {
  if (a.Get() == b.Get()) return true;
  return a && b && a->SameContent(*b);
}

// The advances from one position to the next along one axis (the last
// one 0); none when the text does not move along it.
GCodeBlock<int16_t> Steps(std::span<const GPoint> positions, size_t count, int16_t GPoint::*axis) {
  const size_t known = std::min(positions.size(), count);
  std::vector<int16_t> steps(count);
  bool moves = false;
  for (size_t i = 0; i + 1 < known; ++i) {
    steps[i] = static_cast<int16_t>(positions[i + 1].*axis - positions[i].*axis);
    moves = moves || steps[i] != 0;
  }
  return moves ? GCodeBlock<int16_t>(std::move(steps)) : GCodeBlock<int16_t>();
}

// The codes of a run and their advances (empty when none were given).
struct TextRun {
  std::unique_ptr<GTextString> text;
  GCodeBlock<int16_t> advances;
};

bool IsDoubleByteEncoding(int32_t encoding) { return encoding >= 17 && encoding <= 23; }

bool IsLeadByte(int32_t encoding, uint8_t byte) {
  switch (encoding) {
    case 17:
      return (byte >= 129 && byte <= 159) || (byte >= 224 && byte <= 252);
    case 18:
    case 20:
      return byte >= 161 && byte <= 254;
    case 19:
    case 21:
    case 23:
      return byte >= 129 && byte <= 254;
    case 22:
      return byte >= 132 && byte <= 249;
    default:
      return false;
  }
}

// One code per byte, borrowed.
TextRun SingleByteRun(int32_t encoding, const uint8_t* bytes, const int16_t* advances, uint32_t length) {
  return {std::make_unique<GTextString>(GCodeBlock<uint8_t>(bytes, length), encoding),
          GCodeBlock<int16_t>(advances, length)};
}

// One code per unit; units that all fit a byte are narrowed to bytes.
TextRun SixteenBitRun(int32_t encoding, const uint16_t* units, const int16_t* advances, uint32_t length) {
  GCodeBlock<int16_t> given(advances, length);
  if (std::all_of(units, units + length, [](uint16_t unit) { return unit <= 0xFF; })) {
    return {std::make_unique<GTextString>(GCodeBlock<uint8_t>(std::vector<uint8_t>(units, units + length)), encoding),
            std::move(given)};
  }
  return {std::make_unique<GTextString>(GCodeBlock<uint16_t>(units, length), encoding), std::move(given)};
}

// A lead byte with a byte after it makes one code (and one advance, the
// sum of both); without any such pair the bytes stay single-byte codes.
TextRun DoubleByteRun(int32_t encoding, const uint8_t* bytes, const int16_t* advances, uint32_t length) {
  const auto pairsAt = [&](uint32_t i) { return IsLeadByte(encoding, bytes[i]) && i + 1 < length; };
  uint32_t count = 0;
  for (uint32_t i = 0; i < length; i += pairsAt(i) ? 2 : 1) ++count;
  if (count == length) return SingleByteRun(encoding, bytes, advances, length);
  std::vector<uint16_t> codes;
  std::vector<int16_t> summed;
  codes.reserve(count);
  for (uint32_t i = 0; i < length; ++i) {
    const bool pair = pairsAt(i);
    codes.push_back(pair ? static_cast<uint16_t>(bytes[i] << 8 | bytes[i + 1]) : bytes[i]);
    if (advances != nullptr) summed.push_back(static_cast<int16_t>(advances[i] + (pair ? advances[i + 1] : 0)));
    if (pair) ++i;
  }
  return {std::make_unique<GTextString>(GCodeBlock<uint16_t>(std::move(codes)), encoding),
          GCodeBlock<int16_t>(std::move(summed))};
}

TextRun RunOf(int32_t encoding, const void* units, const int16_t* advances, uint32_t length) {
  if (units == nullptr) length = 0;
  if (encoding == GTextString::kGlyphIndexEncoding || encoding == GTextString::kUnicodeEncoding) {
    return SixteenBitRun(encoding, static_cast<const uint16_t*>(units), advances, length);
  }
  const auto* bytes = static_cast<const uint8_t*>(units);
  if (IsDoubleByteEncoding(encoding)) return DoubleByteRun(encoding, bytes, advances, length);
  return SingleByteRun(encoding, bytes, advances, length);
}

// The font's widths of the codes; zeros without a font or where it has
// none.
GCodeBlock<int16_t> MeasuredAdvances(GFont* font, const GTextString& text) {
  std::vector<int16_t> widths(text.GetLength());
  if (font != nullptr && font->GetBody() != nullptr) font->GetTextWidths(text, widths);
  widths.resize(text.GetLength());
  return GCodeBlock<int16_t>(std::move(widths));
}

// Break glyphs (the font's break code) get the break spacing, the others
// the character spacing.
void AddSpacing(GSpaceDistributor& distributor, const GFont* font, const GTextString& text,
                GCodeBlock<int16_t>& advances) {
  int16_t* values = advances.MutableData();
  for (uint32_t i = 0; i < advances.Count(); ++i) {
    const bool isBreak = font != nullptr && text.GetCodeAt(static_cast<uint16_t>(i)) == font->GetBreakCode();
    const int16_t spacing = isBreak ? distributor.NextBreakSpacing() : distributor.NextCharacterSpacing();
    values[i] = static_cast<int16_t>(values[i] + spacing);
  }
}

int16_t Sum(const GCodeBlock<int16_t>& advances) {
  int16_t total = 0;
  for (uint32_t i = 0; i < advances.Count(); ++i) total = static_cast<int16_t>(total + advances.At(i));
  return total;
}

// A range of codes, of which only those whose low byte lies in the second
// range count.
struct UserDefinedArea {
  int32_t encoding;
  uint16_t first;
  uint16_t last;
  uint8_t lowFirst = 0x00;
  uint8_t lowLast = 0xFF;
};

constexpr UserDefinedArea kUserDefinedAreas[] = {
    {16, 0xE000, 0xEDE7},           {17, 0xF040, 0xF9FC},           {18, 0x9A41, 0xA0FE},
    {18, 0xAA41, 0xAFFE},           {18, 0xF8A1, 0xFEFE},           {19, 0xA100, 0xA7FF, 64, 126},
    {19, 0xA100, 0xA7FF, 128, 160}, {19, 0xAA00, 0xAFFF, 161, 254}, {19, 0xF800, 0xFEFF, 161, 254},
    {21, 0xC9A1, 0xC9FE},           {21, 0xFEA1, 0xFEFE},           {23, 0x8140, 0x8DFE},
    {23, 0x8E40, 0xA0FE},           {23, 0xC6A1, 0xC8FE},           {23, 0xFA40, 0xFEFE},
};

bool IsUserDefined(int32_t encoding, uint16_t code) {
  const uint8_t low = code & 0xFF;
  return std::any_of(std::begin(kUserDefinedAreas), std::end(kUserDefinedAreas), [&](const UserDefinedArea& area) {
    return area.encoding == encoding && code >= area.first && code <= area.last && low >= area.lowFirst &&
           low <= area.lowLast;
  });
}

}  // namespace

GTextStringGraphic::GTextStringGraphic(GFont* font, GCodeBlock<uint16_t> codes, int32_t encoding,
                                       std::span<const GPoint> positions, uint32_t options, GGraphicBundle* state)
    : GGraphic(state, 0), font_(font), options_(options) {
  if (!positions.empty()) position_ = positions.front();
  const size_t count = codes.Count();
  auto* text = new GTextString(std::move(codes), encoding);
  text_ = text;
  escapements_ =
      new GTextEscapements(Steps(positions, count, &GPoint::x), Steps(positions, count, &GPoint::y), text->GetLength());
}

GTextStringGraphic::GTextStringGraphic(GFont* font, int32_t encoding, const void* units, const int16_t* advances,
                                       uint32_t options, uint32_t length, uint32_t position,
                                       GSpaceDistributor* distributor, GGraphicBundle* state)
    : GGraphic(state, 0),
      font_(font),
      options_(options),
      position_{static_cast<int16_t>(position & 0xFFFF), static_cast<int16_t>(position >> 16)} {
  // The run's length is 16-bit.
  TextRun run = RunOf(encoding, units, advances, std::min<uint32_t>(length, 0xFFFF));
  if (run.advances.IsEmpty()) run.advances = MeasuredAdvances(font, *run.text);
  if (distributor != nullptr && distributor->IsActive()) AddSpacing(*distributor, font, *run.text, run.advances);
  totalAdvance_ = Sum(run.advances);
  const GFloatValue angle = font != nullptr ? font->GetFloatMetric2() : GFloatValue();
  text_ = run.text.release();
  escapements_ = new GTextEscapements(angle, std::move(run.advances));
}

GTextStringGraphic::GTextStringGraphic(const GTextStringGraphic& other)
    : GGraphic(other),
      font_(CloneOf(other.font_)),
      text_(CloneOf(other.text_)),
      escapements_(CloneOf(other.escapements_)),
      totalAdvance_(other.totalAdvance_),
      options_(other.options_),
      position_(other.position_) {}

GFont* GTextStringGraphic::GetFont() const { return static_cast<GFont*>(font_.Get()); }

GTextString* GTextStringGraphic::GetText() const { return static_cast<GTextString*>(text_.Get()); }

GTextEscapements* GTextStringGraphic::GetEscapements() const {
  return static_cast<GTextEscapements*>(escapements_.Get());
}

void GTextStringGraphic::SetFont(GFont* font) { font_ = font; }

int32_t GTextStringGraphic::ContainsUserDefinedCode() const {
  const GTextString* text = GetText();
  if (text == nullptr || text->GetCodeSize() != 2) return 0;
  for (uint16_t i = 0; i < text->GetLength(); ++i) {
    if (IsUserDefined(text->GetEncoding(), text->GetCodeAt(i))) return 1;
  }
  return 0;
}

int32_t GTextStringGraphic::ContainsAnyCode(const uint16_t* list) const {
  const GTextString* text = GetText();
  if (list == nullptr || text == nullptr) return 0;
  const uint16_t* first = list + 1;
  const uint16_t* last = first + list[0];
  for (uint16_t i = 0; i < text->GetLength(); ++i) {
    const uint16_t code = text->GetCodeAt(i);
    const uint16_t* found = std::find_if(first, last, [code](uint16_t entry) { return entry >= code; });
    if (found != last && *found == code) return 1;
  }
  return 0;
}

// A font restored from a spooled job has no body until the job's font
// database gives it one, and must not be asked before.
void GTextStringGraphic::PrepareText() const {
  GFont* font = GetFont();
  GTextString* text = GetText();
  if (font != nullptr && font->GetBody() != nullptr && text != nullptr) {
    font->PrepareText(*text, font->GetKind() == 1 ? 1 : 2);
  }
}

void GTextStringGraphic::OwnData() {
  PrepareText();
  if (GTextString* text = GetText()) text->MakeOwned();
  if (GTextEscapements* escapements = GetEscapements()) escapements->MakeOwned();
}

bool GTextStringGraphic::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  if (other.ClassID() != ClassID() || !GGraphic::SameContent(other)) return false;
  const auto& text = static_cast<const GTextStringGraphic&>(other);
  return totalAdvance_ == text.totalAdvance_ && position_ == text.position_ && SameOrEqual(font_, text.font_) &&
         SameOrEqual(text_, text.text_) && SameOrEqual(escapements_, text.escapements_);
}

uint16_t GTextStringGraphic::DispatchTo(GPeripheral& peripheral) { return peripheral.DrawTextString(*this); }

void GTextStringGraphic::Fields(GFieldArchive& archive) {
  if (!archive.IsRestoring()) PrepareText();
  GGraphic::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  archive.ObjectOf<GFont>(font_) && archive.ObjectOf<GTextString>(text_) &&
      archive.ObjectOf<GTextEscapements>(escapements_) && archive.Int16(totalAdvance_) && archive.UInt32(options_) &&
      archive.Int16(position_.x) && archive.Int16(position_.y);
}
