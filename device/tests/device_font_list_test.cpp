// Tests of the font list of one storage slot: finding descriptions, the
// lookup tables, equality and the stored forms of all three versions.
#include "device/fonts/device_font_list.h"

#include <gtest/gtest.h>

#include <string>

#include "device/tests/font_fixtures.h"
#include "foundation/testing/recording_error_handler.h"
#include "model/attributes/string_attribute.h"
#include "model/objects/persistable_number.h"
#include "model/objects/persistent_association.h"
#include "model/testing/round_trip.h"

namespace {

MAssociationList* Table(uint32_t id, const char* text) {
  auto* table = new MAssociationList;
  table->Put(new MPersistentAssociation(new GPersistableULong(id), new GStringAttribute(text, 0), 0));
  return table;
}

// Courier and Univers in a list of slot 5 with both tables.
GDeviceFontList TwoFonts() {
  GDeviceFontList list(5);
  list.AddDescription(Courier());
  list.AddDescription(Univers());
  list.SetCatalogueCount(2);
  list.SetFirstTable(Table(9, "#1B(s1p#HEIGHTv0s0b4099T"));
  list.SetSecondTable(Table(0x10001, "#1B(19U"));
  return list;
}

bool IsScalable(const GDeviceFontDescription& font, void*) { return font.GetValue60() == 1; }
bool HasFaceName(const GDeviceFontDescription& font, void* name) {
  return font.GetFaceName() == static_cast<const char*>(name);
}

TEST(DeviceFontList, FindsDescriptionsByPredicateInOrder) {
  const GDeviceFontList list = TwoFonts();
  ASSERT_EQ(list.GetCount(), 2u);
  const GDeviceFontDescription* found = nullptr;
  ASSERT_TRUE(list.FindDescription(IsScalable, nullptr, found));
  EXPECT_EQ(found->GetFaceName(), "Univers");
  EXPECT_EQ(list.FindIndex(IsScalable, nullptr), 1);
  char courier[] = "Courier";
  EXPECT_EQ(list.FindIndex(HasFaceName, courier), 0);
  char missing[] = "Arial";
  const GDeviceFontDescription* untouched = found;
  EXPECT_FALSE(list.FindDescription(HasFaceName, missing, untouched));
  EXPECT_EQ(untouched, found);
  EXPECT_EQ(list.FindIndex(HasFaceName, missing), -1);

  GDeviceFontDescription target;
  EXPECT_TRUE(list.GetDescription(0, target));
  EXPECT_TRUE(target.SameContent(Courier()));
  EXPECT_FALSE(list.GetDescription(2, target));
  EXPECT_TRUE(target.SameContent(Courier()));
  uint32_t walked = 0;
  for (const GDeviceFontDescription& font : list) walked += font.GetSymbolSets().Count();
  EXPECT_EQ(walked, 3u);
}

TEST(DeviceFontList, LooksIdsUpInEachTable) {
  GDeviceFontList list = TwoFonts();
  ASSERT_NE(list.LookupInFirstList(9), nullptr);
  EXPECT_EQ(*list.LookupInFirstList(9), "#1B(s1p#HEIGHTv0s0b4099T");
  EXPECT_EQ(list.LookupInFirstList(10), nullptr);
  ASSERT_NE(list.LookupInSecondList(0x10001), nullptr);
  EXPECT_EQ(*list.LookupInSecondList(0x10001), "#1B(19U");
  // Each id goes to its own table only.
  EXPECT_EQ(list.LookupInSecondList(9), nullptr);
  const GDeviceFontList copy = list;
  list.Clear();
  EXPECT_EQ(list.LookupInFirstList(9), nullptr);
  EXPECT_EQ(list.LookupInSecondList(0x10001), nullptr);
  EXPECT_EQ(list.GetCount(), 0u);
  EXPECT_EQ(list.GetCatalogueCount(), 0u);
  // The copy kept tables of its own.
  ASSERT_NE(copy.LookupInFirstList(9), nullptr);
  EXPECT_EQ(copy.GetCatalogueCount(), 2u);
}

TEST(DeviceFontList, EqualityIgnoresTheCatalogueCount) {
  const GDeviceFontList base = TwoFonts();
  GDeviceFontList recounted = TwoFonts();
  recounted.SetCatalogueCount(40);
  EXPECT_TRUE(base.SameContent(recounted));

  GDeviceFontList noSecondTable = TwoFonts();
  noSecondTable.SetSecondTable(nullptr);
  GDeviceFontList otherText = TwoFonts();
  otherText.SetFirstTable(Table(9, "other"));
  GDeviceFontList oneFont(5);
  oneFont.AddDescription(Courier());
  GDeviceFontList otherSlot = TwoFonts();
  otherSlot.SetKey(6);
  struct Case {
    const char* name;
    const GDeviceFontList& other;
  };
  const Case cases[] = {
      {"second_table_missing", noSecondTable},
      {"first_table_text", otherText},
      {"fewer_descriptions", oneFont},
      {"other_slot", otherSlot},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(base.SameContent(c.other));
    EXPECT_FALSE(c.other.SameContent(base));
  }
}

TEST(DeviceFontList, RoundTripsWithAndWithoutTables) {
  GDeviceFontList noTables(3);
  noTables.AddDescription(Univers());
  const GDeviceFontList lists[] = {TwoFonts(), noTables, GDeviceFontList(1)};
  for (const GDeviceFontList& list : lists) {
    SCOPED_TRACE(list.GetCount());
    EXPECT_TRUE(RoundTrips(list));
    EXPECT_EQ(list.StoredSize(), SaveContentsToFileBytes(list).size());
  }
}

// The list's own part: root part and version (16 bytes), the count, each
// description as an object reference, then the catalogue count and the two
// tables as the version has them.
struct StoredList {
  std::string head;         // root part and version word
  std::string description;  // the one description's reference
  std::string nil;          // a missing table
};

StoredList Parts(GContentsForm form) {
  GDeviceFontList one(5);
  one.AddDescription(Courier());
  one.SetCatalogueCount(7);
  const std::string current = SaveContents(form, one);
  const std::string empty = SaveContents(form, GDeviceFontList(5));
  const size_t nilSize = (empty.size() - 24) / 2;
  StoredList parts;
  parts.head = current.substr(0, 16);
  parts.description = current.substr(20, current.size() - 24 - 2 * nilSize);
  parts.nil = empty.substr(empty.size() - nilSize);
  EXPECT_EQ(current, parts.head + Words({1}) + parts.description + Words({7}) + parts.nil + parts.nil);
  return parts;
}

TEST(DeviceFontList, OlderStoredVersionsLackCatalogueCountAndTables) {
  for (GContentsForm form : kContentsForms) {
    const StoredList p = Parts(form);
    const std::string head = p.head.substr(0, 12);
    struct Case {
      const char* name;
      std::string bytes;
      uint32_t catalogueCount;
    };
    const Case cases[] = {
        {"version_1", head + Words({1, 1}) + p.description, 0},
        {"version_2", head + Words({2, 1}) + p.description + Words({7}), 7},
        {"version_3", head + Words({3, 1}) + p.description + Words({7}) + p.nil + p.nil, 7},
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(ContentsFormName(form)) + " " + c.name);
      GDeviceFontList list = TwoFonts();
      RestoreContents(form, list, c.bytes);
      ASSERT_EQ(list.GetCount(), 1u);
      GDeviceFontDescription font;
      list.GetDescription(0, font);
      EXPECT_TRUE(font.SameContent(Courier()));
      EXPECT_EQ(list.GetCatalogueCount(), c.catalogueCount);
      EXPECT_EQ(list.LookupInFirstList(9), nullptr);
      EXPECT_EQ(list.LookupInSecondList(0x10001), nullptr);
    }
  }
}

TEST(DeviceFontList, DamagedListsKeepOnlyWhatArrivedWhole) {
  const RecordingErrorHandler errors;
  for (GContentsForm form : kContentsForms) {
    const StoredList p = Parts(form);
    const std::string head = p.head.substr(0, 12);
    struct Case {
      const char* name;
      std::string bytes;
      uint32_t descriptions;
    };
    const Case cases[] = {
        {"version_0", head + Words({0, 0}), 2},
        {"version_4", head + Words({4, 0}), 2},
        {"count_beyond_the_input", head + Words({3, 0x20000000}) + p.description, 0},
        {"largest_count", head + Words({3, 0xFFFFFFFF}) + p.description, 0},
        {"second_description_missing", head + Words({3, 2}) + p.description, 1},
        {"cut_in_the_description", head + Words({3, 1}) + p.description.substr(0, p.description.size() - 3), 0},
        {"cut_in_the_tables", head + Words({3, 1}) + p.description + Words({7}) + p.nil.substr(0, 1), 1},
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(ContentsFormName(form)) + " " + c.name);
      GDeviceFontList list = TwoFonts();
      RestoreContents(form, list, c.bytes);
      EXPECT_EQ(list.GetCount(), c.descriptions);
    }
  }
}

TEST(DeviceFontList, AStoredTableThatIsNoAssociationListIsDropped) {
  // A description where the first table belongs.
  GDeviceFontList list = TwoFonts();
  const StoredList p = Parts(GContentsForm::kFile);
  const std::string bytes = p.head.substr(0, 12) + Words({3, 0, 0}) + p.description + p.nil;
  RestoreContentsFromFileBytes(list, bytes);
  EXPECT_EQ(list.LookupInFirstList(9), nullptr);
  EXPECT_EQ(list.GetCount(), 0u);
}

}  // namespace
