// Tests of the font catalogue reader over catalogues that an independent
// script wrote (make_font_catalogues.py): the slot's font list, the
// per-font callback, and catalogues that are short, cut or malformed.
#include "device/fonts/font_catalogue_reader.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "device/fonts/device_font_description.h"
#include "device/fonts/mass_storage_slot.h"
#include "device/tests/font_catalogues.h"
#include "device/tests/mass_storage_test_support.h"
#include "foundation/little_endian.h"
#include "foundation/testing/scratch_files.h"
#include "foundation/testing/string_printers.h"

namespace {

constexpr int32_t kFlashSlot = 4;  // "FlashFonts1"
constexpr int32_t kDiskSlot = 2;   // "DiskFonts1"

GDeviceFontDescription Font(const char* face, const char* device, int32_t primary, std::initializer_list<int32_t> sets,
                            uint16_t weight, int32_t italic, int32_t family, int32_t pitch, int32_t format,
                            int16_t height, int32_t location) {
  GIntArray symbolSets;
  for (int32_t code : sets) symbolSets.Add(code);
  return GDeviceFontDescription(face, device, primary, symbolSets, weight, italic, family, pitch, format, height, 0,
                                location);
}

// The visible fonts of "several_fonts" as a slot of the location holds
// them; Marlow and Glyphs carry the DIMM flag, which flaggedLocation
// reflects.
std::vector<GDeviceFontDescription> SeveralFonts(int32_t location, int32_t flaggedLocation) {
  return {
      Font("Marlow", "Marlow,MarlowPS,", 16, {4, 7, 16}, 700, 1, 32, 1, 2, 0, flaggedLocation),
      Font("LinePrinter", "LinePrinter,", 16, {16}, 400, 0, 48, 1, 0, 16, location),
      Font("Glyphs", "Glyphs,", 16, {4, 16, 0}, 400, 0, 0, 1, 5, 0, flaggedLocation),
      Font("Tern", "Tern,", 0, {0}, 400, 0, 0, 0, 1, 0, location),
  };
}

std::vector<std::string> FaceNames(const GDeviceFontList& list) {
  std::vector<std::string> names;
  for (const GDeviceFontDescription& font : list) names.emplace_back(font.GetFaceName().Data());
  return names;
}

// What a callback was handed, font by font.
struct SeenFonts {
  std::vector<std::string> displayNames;
  std::vector<std::string> deviceNames;
  std::vector<std::string> records;
};

int32_t RecordOnce(const RWCString& displayName, const RWCString& deviceName, std::span<const uint8_t> record,
                   void* user) {
  auto& seen = *static_cast<SeenFonts*>(user);
  seen.displayNames.emplace_back(displayName.Data(), displayName.Length());
  seen.deviceNames.emplace_back(deviceName.Data(), deviceName.Length());
  seen.records.emplace_back(record.begin(), record.end());
  return 1;
}

// Answers the font's number of symbol-set codes.
int32_t AnswerCodeCount(const RWCString&, const RWCString&, std::span<const uint8_t> record, void*) {
  return LoadLittle16(&record[24]);
}

class FontCatalogueReaderTest : public MassStorageTest {
 protected:
  // A reader of the slot whose catalogue holds the bytes, opened.
  std::unique_ptr<GFontCatalogueReader> OpenReader(int32_t slot, const std::string& bytes) {
    file_.Store(bytes);
    StoreSlotValue(FindMassStorageSlot(slot)->name, file_.Path());
    auto reader = std::make_unique<GFontCatalogueReader>(slot, driver_);
    int32_t key = 0;
    EXPECT_NE(reader->OpenCatalogue(key), nullptr);
    EXPECT_EQ(key, FindMassStorageSlot(slot)->listKey);
    return reader;
  }

  ScratchFile file_;
};

TEST_F(FontCatalogueReaderTest, ReadsTheVisibleFontsIntoTheSlotsList) {
  const auto reader = OpenReader(kFlashSlot, FontCatalogue("several_fonts"));
  const std::unique_ptr<GDeviceFontList> list = reader->ReadFontList();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->Key(), 418);
  EXPECT_EQ(list->GetCatalogueCount(), 7u);
  EXPECT_EQ(reader->GetRecordCount(), 7u);
  const std::vector<GDeviceFontDescription> expected =
      SeveralFonts(GDeviceFontDescription::kFlash, GDeviceFontDescription::kFlash);
  ASSERT_EQ(list->GetCount(), expected.size());
  for (uint32_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(expected[i].GetFaceName().Data());
    GDeviceFontDescription font;
    ASSERT_TRUE(list->GetDescription(i, font));
    EXPECT_EQ(font.GetFaceName(), expected[i].GetFaceName());
    EXPECT_EQ(font.GetSymbolSets(), expected[i].GetSymbolSets());
    EXPECT_EQ(font.GetPrimarySymbolSet(), expected[i].GetPrimarySymbolSet());
    EXPECT_TRUE(font.SameContent(expected[i]));
  }
}

// Every slot reads its catalogue path from the printer value named after
// it, keys its list and places its fonts by the slot's kind.
TEST_F(FontCatalogueReaderTest, EachSlotKeysAndPlacesItsFonts) {
  struct Case {
    int32_t slot;
    const WideChar* valueName;
    int32_t listKey;
    int32_t location;
    int32_t flaggedLocation;
  };
  constexpr int32_t kRom = GDeviceFontDescription::kRomAddOn, kDisk = GDeviceFontDescription::kDisk,
                    kFlash = GDeviceFontDescription::kFlash, kDimm = GDeviceFontDescription::kDimm,
                    kFlagged = GDeviceFontDescription::kFlaggedDimm;
  const Case cases[] = {
      {0, QV_WIDE("ROMAddOnFonts1"), 416, kRom, kRom},  {1, QV_WIDE("ROMAddOnFonts2"), 417, kRom, kRom},
      {2, QV_WIDE("DiskFonts1"), 420, kDisk, kDisk},    {3, QV_WIDE("DiskFonts2"), 421, kDisk, kDisk},
      {4, QV_WIDE("FlashFonts1"), 418, kFlash, kFlash}, {5, QV_WIDE("FlashFonts2"), 419, kFlash, kFlash},
      {6, QV_WIDE("DIMMFonts1"), 422, kDimm, kFlagged}, {7, QV_WIDE("DIMMFonts2"), 423, kDimm, kFlagged},
      {8, QV_WIDE("DIMMFonts3"), 428, kDimm, kFlagged}, {9, QV_WIDE("DIMMFonts4"), 429, kDimm, kFlagged},
  };
  ScratchFile catalogue(FontCatalogue("several_fonts"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.slot);
    factory_->Store().Clear();
    StoreSlotValue(c.valueName, catalogue.Path());
    GFontCatalogueReader reader(c.slot, driver_);
    int32_t key = 0;
    ASSERT_NE(reader.OpenCatalogue(key), nullptr);
    EXPECT_EQ(key, c.listKey);
    const std::unique_ptr<GDeviceFontList> list = reader.ReadFontList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Key(), c.listKey);
    const std::vector<GDeviceFontDescription> expected = SeveralFonts(c.location, c.flaggedLocation);
    ASSERT_EQ(list->GetCount(), expected.size());
    uint32_t i = 0;
    for (const GDeviceFontDescription& font : *list) {
      SCOPED_TRACE(font.GetFaceName().Data());
      EXPECT_EQ(font.GetLocation(), expected[i].GetLocation());
      EXPECT_TRUE(font.SameContent(expected[i++]));
    }
  }
}

TEST_F(FontCatalogueReaderTest, HandsEveryFontToTheCallbackAndSumsItsAnswers) {
  const auto reader = OpenReader(kDiskSlot, FontCatalogue("several_fonts"));
  SeenFonts seen;
  EXPECT_EQ(reader->ForEachFont(RecordOnce, &seen), 5);
  // The hidden font comes too; bold and italic fonts carry the endings.
  EXPECT_EQ(seen.displayNames, (std::vector<std::string>{"Marlow -Bd -It", "LinePrinter", "Hidden", "Glyphs", "Tern"}));
  EXPECT_EQ(seen.deviceNames,
            (std::vector<std::string>{"Marlow,MarlowPS,", "LinePrinter,", "Hidden,", "Glyphs,", "Tern,"}));
  // Each record comes with its further symbol-set codes: 26 bytes and two
  // per code, as its first word says.
  ASSERT_EQ(seen.records.size(), 5u);
  for (const std::string& record : seen.records) {
    ASSERT_GE(record.size(), 28u);
    const auto* bytes = reinterpret_cast<const uint8_t*>(record.data());
    EXPECT_EQ(record.size(), LoadLittle32(bytes));
    EXPECT_EQ(record.size(), 26u + 2u * LoadLittle16(bytes + 24));
  }
  // The total starts afresh on each walk and sums the answers: the code
  // counts 2, 1, 2, 3 and 1.
  EXPECT_EQ(reader->ForEachFont(AnswerCodeCount, nullptr), 9);
  EXPECT_EQ(reader->ForEachFont(nullptr, nullptr), 0);
}

TEST_F(FontCatalogueReaderTest, ShortOrMalformedCataloguesGiveWhatCanBeRead) {
  struct Case {
    const char* name;
    bool listed;  // false: no header, so no list and no callback
    std::vector<std::string> faces;
  };
  const Case cases[] = {
      {"no_fonts", true, {}},
      {"sixteen_codes", true, {"First", "Second", "Third"}},
      {"seventeen_codes", true, {"First", "Third"}},
      {"no_codes", true, {"First", "Third"}},
      {"truncated", true, {"First", "Second"}},
      {"offset_past_file", true, {"First"}},
      {"header_too_short", false, {}},
      {"table_past_header", false, {}},
      {"header_past_file", false, {}},
      {"thirty_five_bytes", false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto reader = OpenReader(kDiskSlot, FontCatalogue(c.name));
    const std::unique_ptr<GDeviceFontList> list = reader->ReadFontList();
    SeenFonts seen;
    EXPECT_EQ(reader->ForEachFont(RecordOnce, &seen), static_cast<int32_t>(c.faces.size()));
    EXPECT_EQ(seen.displayNames, c.faces);
    if (!c.listed) {
      EXPECT_EQ(list, nullptr);
      EXPECT_EQ(reader->GetRecordCount(), 0u);
      continue;
    }
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(FaceNames(*list), c.faces);
    EXPECT_EQ(list->GetCatalogueCount(), 3u);
    EXPECT_EQ(list->Key(), 420);
  }
}

TEST_F(FontCatalogueReaderTest, ReadsNothingWithoutAnOpenCatalogue) {
  ScratchFile catalogue(FontCatalogue("several_fonts"));
  SeenFonts seen;
  {
    SCOPED_TRACE("no path");
    GFontCatalogueReader reader(kDiskSlot, driver_);
    int32_t key = 0;
    EXPECT_EQ(reader.OpenCatalogue(key), nullptr);
    EXPECT_EQ(key, 420);
    EXPECT_EQ(reader.ReadFontList(), nullptr);
    EXPECT_EQ(reader.ForEachFont(RecordOnce, &seen), 0);
  }
  {
    SCOPED_TRACE("missing file");
    StoreSlotValue(QV_WIDE("DiskFonts1"), std::string(catalogue.Path()) + ".missing");
    GFontCatalogueReader reader(kDiskSlot, driver_);
    int32_t key = 0;
    EXPECT_EQ(reader.OpenCatalogue(key), nullptr);
    EXPECT_TRUE(reader.ReadCatalogueHeader(key).empty());
    EXPECT_EQ(key, 0);
  }
  {
    SCOPED_TRACE("closed again");
    StoreSlotValue(QV_WIDE("DiskFonts1"), catalogue.Path());
    GFontCatalogueReader reader(kDiskSlot, driver_);
    int32_t key = 0;
    ASSERT_NE(reader.OpenCatalogue(key), nullptr);
    reader.CloseCatalogue();
    EXPECT_EQ(reader.ReadFontList(), nullptr);
    EXPECT_EQ(reader.ForEachFont(RecordOnce, &seen), 0);
  }
  {
    SCOPED_TRACE("no slot");
    GFontCatalogueReader reader(kNoMassStorageSlot, driver_);
    int32_t key = -1;
    EXPECT_EQ(reader.OpenCatalogue(key), nullptr);
    EXPECT_EQ(key, 0);
  }
  EXPECT_TRUE(seen.displayNames.empty());
}

TEST_F(FontCatalogueReaderTest, ReadsTheHeaderWholeAndAgainAfterReopening) {
  const std::string bytes = FontCatalogue("several_fonts");
  const auto reader = OpenReader(kFlashSlot, bytes);
  EXPECT_EQ(reader->GetRecordCount(), 0u);
  int32_t key = 0;
  const std::span<const uint8_t> header = reader->ReadCatalogueHeader(key);
  EXPECT_EQ(key, 418);
  // The header runs to where the font blocks begin.
  ASSERT_EQ(header.size(), LoadLittle32(reinterpret_cast<const uint8_t*>(bytes.data()) + 4));
  EXPECT_EQ(std::string(header.begin(), header.end()), bytes.substr(0, header.size()));
  EXPECT_EQ(reader->GetRecordCount(), 7u);
  // A failed read drops the header held before.
  reader->CloseCatalogue();
  EXPECT_TRUE(reader->ReadCatalogueHeader(key).empty());
  EXPECT_EQ(key, 0);
  EXPECT_EQ(reader->GetRecordCount(), 0u);
  ASSERT_NE(reader->OpenCatalogue(key), nullptr);
  EXPECT_EQ(reader->ReadFontList()->GetCount(), 4u);
}

TEST(SymbolSetCode, MapsCatalogueCodesToInternalOnes) {
  struct Case {
    const char* name;
    uint16_t code;
    int32_t expected;
  };
  // 6, 7 and 8 map to 53, 55 and 54, out of order.
  const Case cases[] = {
      {"lowest_mapped", 5, 3},
      {"six", 6, 53},
      {"seven", 7, 55},
      {"eight", 8, 54},
      {"default_set", 207, 16},
      {"last_of_a_group", 214, 9},
      {"highest_mapped", 217, 20},
      {"unknown_between", 104, 0},
      {"zero", 0, 0},
      {"largest_code", 0xFFFF, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(MapSymbolSetCode(c.code), c.expected);
  }
}

TEST(FontDisplayName, AppendsBoldThenItalic) {
  struct Case {
    const char* name;
    uint16_t weight;
    int32_t italic;
    const char* expected;
  };
  const Case cases[] = {
      {"regular", 699, 0, "Face"},
      {"bold", 700, 0, "Face -Bd"},
      {"heaviest_weight", 0xFFFF, 0, "Face -Bd"},
      {"italic", 400, -1, "Face -It"},
      {"bold_italic", 900, 1, "Face -Bd -It"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RWCString name("Face");
    BuildFontDisplayName(name, c.weight, c.italic);
    EXPECT_EQ(name, c.expected);
  }
}

}  // namespace
