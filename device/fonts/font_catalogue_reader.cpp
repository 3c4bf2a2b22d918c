#include "device/fonts/font_catalogue_reader.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <vector>

#include "device/fonts/device_font_description.h"
#include "device/fonts/int_array.h"
#include "device/fonts/mass_storage_slot.h"
#include "foundation/little_endian.h"

namespace {

// The fixed part of a font record and the offsets of its fields.
constexpr uint32_t kRecordSize = 28;
constexpr uint32_t kNameLengthField = 4;
constexpr uint32_t kNameOffsetField = 6;
constexpr uint32_t kDeviceNameLengthField = 10;
constexpr uint32_t kDeviceNameOffsetField = 12;
constexpr uint32_t kWeightField = 16;
constexpr uint32_t kItalicField = 18;
constexpr uint32_t kPitchAndFamilyField = 20;
constexpr uint32_t kFormatField = 21;
constexpr uint32_t kHeightField = 22;
constexpr uint32_t kCodeCountField = 24;
constexpr uint32_t kFirstCodeField = 26;

constexpr uint8_t kPitchBit = 0x01;
constexpr uint8_t kDimmFlag = 0x04;
constexpr uint8_t kHiddenBit = 0x80;
constexpr uint8_t kFormatBits = 0x7F;

// Catalogue symbol-set codes and the internal codes they stand for.
struct SymbolSetMapping {
  uint16_t catalogueCode;
  int32_t internalCode;
};

// clang-format off
constexpr SymbolSetMapping kSymbolSets[] = {
    {5, 3},
    {101, 4}, {102, 4}, {106, 4}, {107, 4}, {210, 4},
    {103, 5}, {208, 5},
    {105, 6}, {152, 6}, {212, 6},
    {55, 7}, {153, 7}, {211, 7},
    {57, 8}, {213, 8},
    {51, 9}, {52, 9}, {53, 9}, {54, 9}, {58, 9}, {214, 9},
    {56, 12}, {215, 12},
    {108, 14}, {151, 14}, {209, 14},
    {201, 15},
    {207, 16},
    {202, 17},
    {203, 18},
    {204, 19},
    {217, 20},
    {205, 21},
    {216, 22},
    {206, 23},
    {6, 53},
    {8, 54},
    {7, 55},
};
// clang-format on

// The catalogue code that stands for the internal default symbol set; a
// font of several symbol sets lists the default among them unless it has
// this one.
constexpr uint16_t kDefaultSymbolSetCode = 207;
constexpr int32_t kDefaultSymbolSet = 16;
// The internal code whose presence second in a font's list leaves the
// first code primary.
constexpr int32_t kKeepsFirstPrimary = 3;

constexpr uint16_t kBoldWeight = 700;

// The family codes that the pitch-and-family byte's high nibble can give.
bool IsFamily(uint8_t family) { return family >= 0x10 && family <= 0x50; }

// Format codes of the record and the formats of a description.
int32_t FormatOf(uint8_t code) {
  switch (code) {
    case 2:
      return 1;
    case 3:
      return 2;
    case 4:
      return 5;
    default:
      return 0;
  }
}

// The symbol sets of the record's count codes, as internal codes, and
// the primary one among them. A font of several symbol sets whose second
// is not 3 has the default one as primary and lists it.
void ReadSymbolSets(const std::vector<uint8_t>& record, uint16_t count, GIntArray& sets, int32_t& primary) {
  bool listsDefault = false;
  for (uint32_t i = 0; i < count; ++i) {
    const uint16_t code = LoadLittle16(&record[kFirstCodeField + 2 * i]);
    listsDefault = listsDefault || code == kDefaultSymbolSetCode;
    sets.Add(MapSymbolSetCode(code));
  }
  if (count == 1 || sets[1] == kKeepsFirstPrimary) {
    primary = sets[0];
    return;
  }
  primary = kDefaultSymbolSet;
  if (!listsDefault) sets.Add(kDefaultSymbolSet);
}

// The font that the record (with its further codes) and its two texts
// describe, in a slot whose fonts live at slotLocation.
GDeviceFontDescription Describe(const std::vector<uint8_t>& record, const RWCString& name, const RWCString& deviceName,
                                int32_t slotLocation) {
  GIntArray symbolSets;
  int32_t primary = 0;
  ReadSymbolSets(record, LoadLittle16(&record[kCodeCountField]), symbolSets, primary);
  const uint8_t pitchAndFamily = record[kPitchAndFamilyField];
  const uint8_t family = pitchAndFamily & 0xF0;
  const int32_t format = FormatOf(record[kFormatField] & kFormatBits);
  // A font of no scalable format is a bitmap font, which always carries
  // the pitch flag.
  const int32_t pitchFlag = format == 0 ? 1 : pitchAndFamily & kPitchBit;
  const int32_t location = slotLocation == GDeviceFontDescription::kDimm && (pitchAndFamily & kDimmFlag) != 0
                               ? GDeviceFontDescription::kFlaggedDimm
                               : slotLocation;
  return GDeviceFontDescription(name, deviceName, primary, symbolSets, LoadLittle16(&record[kWeightField]),
                                static_cast<int16_t>(LoadLittle16(&record[kItalicField])),
                                IsFamily(family) ? family : 0, pitchFlag, format,
                                static_cast<int16_t>(LoadLittle16(&record[kHeightField])), 0, location);
}

}  // namespace

// One font record as read, with its further codes, and the font it
// describes.
struct GFontCatalogueReader::Font {
  std::vector<uint8_t> record;
  GDeviceFontDescription description;
};

int32_t MapSymbolSetCode(uint16_t code) {
  const auto found = std::find_if(std::begin(kSymbolSets), std::end(kSymbolSets),
                                  [code](const SymbolSetMapping& mapping) { return mapping.catalogueCode == code; });
  return found == std::end(kSymbolSets) ? 0 : found->internalCode;
}

void BuildFontDisplayName(RWCString& name, uint16_t weight, int32_t italic) {
  if (weight >= kBoldWeight) name.Append(" -Bd");
  if (italic != 0) name.Append(" -It");
}

std::unique_ptr<GDeviceFontList> GFontCatalogueReader::ReadFontList() {
  if (!HasCatalogue()) return nullptr;
  auto list = std::make_unique<GDeviceFontList>(ListKey());
  const Visit add = [](const Font& font, void* context) {
    static_cast<GDeviceFontList*>(context)->AddDescription(font.description);
  };
  if (!Walk(false, add, list.get())) return nullptr;
  list->SetCatalogueCount(GetRecordCount());
  return list;
}

int32_t GFontCatalogueReader::ForEachFont(FontCallback callback, void* user) {
  if (!HasCatalogue()) return 0;
  struct Context {
    FontCallback callback;
    void* user;
    uint32_t total;
  } context{callback, user, 0};
  const Visit call = [](const Font& font, void* data) {
    auto& context = *static_cast<Context*>(data);
    const GDeviceFontDescription& description = font.description;
    RWCString displayName = description.GetFaceName();
    BuildFontDisplayName(displayName, description.GetWeight(), description.GetItalic());
    // Summed modulo 2^32: a callback's answers cannot overflow the total.
    if (context.callback) {
      context.total +=
          static_cast<uint32_t>(context.callback(displayName, description.GetDeviceName(), font.record, context.user));
    }
  };
  Walk(true, call, &context);
  return static_cast<int32_t>(context.total);
}

bool GFontCatalogueReader::HasCatalogue() {
  if (!File()) return false;
  if (!Header().empty()) return true;
  int32_t key = 0;
  return !ReadCatalogueHeader(key).empty();
}

bool GFontCatalogueReader::Walk(bool includeHidden, Visit visit, void* context) {
  GBinaryFile& file = *File();
  if (!file.SeekTo(0) || !file.SeekTo(static_cast<int32_t>(Header().size()))) return false;
  for (uint32_t i = 0; i < FontRecordCount(); ++i) {
    Font font;
    bool skip = false;
    if (!ReadFont(FontRecordOffset(i), includeHidden, font, skip)) break;
    if (!skip) visit(font, context);
  }
  return true;
}

bool GFontCatalogueReader::ReadFont(uint32_t offset, bool includeHidden, Font& font, bool& skip) {
  GBinaryFile& file = *File();
  std::vector<uint8_t>& record = font.record;
  record.resize(kRecordSize);
  if (offset > static_cast<uint32_t>(std::numeric_limits<int32_t>::max()) ||
      !file.SeekTo(static_cast<int32_t>(offset)) || !file.Read(record.data(), kRecordSize))
    return false;
  const uint16_t codeCount = LoadLittle16(&record[kCodeCountField]);
  skip = (!includeHidden && (record[kFormatField] & kHiddenBit) != 0) || codeCount == 0 ||
         codeCount > kMaximumSymbolSetCodes;
  if (skip) return true;
  // The further codes follow the record directly.
  const uint32_t furtherBytes = 2u * (codeCount - 1u);
  record.resize(kRecordSize + furtherBytes);
  if (furtherBytes != 0 && !file.Read(record.data() + kRecordSize, furtherBytes)) return false;

  RWCString name;
  RWCString deviceName;
  if (!ReadText(offset, LoadLittle32(&record[kNameOffsetField]), LoadLittle16(&record[kNameLengthField]), name) ||
      !ReadText(offset, LoadLittle32(&record[kDeviceNameOffsetField]), LoadLittle16(&record[kDeviceNameLengthField]),
                deviceName))
    return false;
  const GMassStorageSlot* slot = FindMassStorageSlot(Slot());
  font.description = Describe(record, name, deviceName, slot ? slot->location : 0);
  return true;
}

bool GFontCatalogueReader::ReadText(uint32_t recordOffset, uint32_t blockOffset, uint16_t length, RWCString& text) {
  text = RWCString();
  if (length == 0) return true;
  const uint64_t start = uint64_t{recordOffset} + blockOffset;
  if (start > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) return false;
  std::vector<char> block(length);
  GBinaryFile& file = *File();
  if (!file.SeekTo(static_cast<int32_t>(start)) || !file.Read(block.data(), length)) return false;
  const auto end = std::find(block.begin(), block.end(), '\0');
  text = RWCString(block.data(), static_cast<uint32_t>(end - block.begin()));
  return true;
}
