// Tests of the form-to-tray database: its queries, how setting an
// association replaces the tray's old one, copies, and the stored forms.
#include "device/forms/form_to_tray_database.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "device/forms/short_array.h"
#include "device/tests/stored_bytes.h"
#include "model/attributes/value_attribute.h"
#include "model/testing/round_trip.h"

namespace {

constexpr uint16_t kUnspecified = GFormToTrayDatabase::kDefaultMediaTypeId;

std::vector<uint16_t> Trays(const GFormToTrayDatabase& database) {
  GShortArray trays;
  database.CollectValues(trays);
  std::vector<uint16_t> ids;
  for (uint32_t i = 0; i < trays.CountOf(); ++i) ids.push_back(trays[i]);
  return ids;
}

// Trays 1 to 5 in this order: 1 holds form 26 of no particular type, 2 only
// a type, 3 an operating-system form by name, 4 form 26 of another type, 5
// was reset.
class FormToTrayDatabaseTest : public ::testing::Test {
 protected:
  FormToTrayDatabaseTest() {
    database_.SetAssociation(1, 26, kUnspecified);
    database_.SetAssociation(2, 0, 12000);
    database_.SetAssociationWithName(3, 0x4001, 12001, "Form A");
    database_.SetAssociation(4, 26, 12002);
    database_.ResetAssociation(5);
  }

  GFormToTrayDatabase database_;
};

TEST_F(FormToTrayDatabaseTest, QueriesAnswerFromTheFirstMatchingAssociation) {
  struct Case {
    const char* name;
    std::function<int32_t(const GFormToTrayDatabase&)> query;
    int32_t populated;
    int32_t empty;
  };
  const RWWString formA = RWWString::FromMultibyte("Form A");
  const Case cases[] = {
      {"first_value_for_tray", [](const auto& d) { return d.GetFirstValueFor(3); }, 0x4001, 0},
      {"first_value_for_absent_tray", [](const auto& d) { return d.GetFirstValueFor(9); }, 0, 0},
      {"second_value_for_tray", [](const auto& d) { return d.GetSecondValueFor(4); }, 12002, kUnspecified},
      {"second_value_for_absent_tray", [](const auto& d) { return d.GetSecondValueFor(9); }, kUnspecified,
       kUnspecified},
      {"first_non_default_value", [](const auto& d) { return d.GetFirstNonDefaultValue(); }, 26, 0},
      {"second_non_default_value", [](const auto& d) { return d.GetSecondNonDefaultValue(); }, 12000, kUnspecified},
      {"second_value_for_first", [](const auto& d) { return d.GetSecondValueForFirst(26); }, kUnspecified,
       kUnspecified},
      {"second_value_for_absent_first", [](const auto& d) { return d.GetSecondValueForFirst(27); }, kUnspecified,
       kUnspecified},
      {"first_value_for_second", [](const auto& d) { return d.GetFirstValueForSecond(12002); }, 26, 0},
      {"first_value_for_absent_second", [](const auto& d) { return d.GetFirstValueForSecond(1); }, 0, 0},
      {"has_tray", [](const auto& d) { return d.HasTray(5); }, 1, 0},
      {"has_absent_tray", [](const auto& d) { return d.HasTray(6); }, 0, 0},
      {"has_value", [](const auto& d) { return d.HasAssociationWithValue(0x4001); }, 1, 0},
      {"has_second_value", [](const auto& d) { return d.HasAssociationWithSecondValue(12001); }, 1, 0},
      {"has_pair", [](const auto& d) { return d.HasAssociationWithPair(26, 12002); }, 1, 0},
      {"has_no_pair_across_trays", [](const auto& d) { return d.HasAssociationWithPair(26, 12000); }, 0, 0},
      {"has_value_and_name", [&formA](const auto& d) { return d.HasAssociationWithValueAndName(0x4001, formA); }, 1, 0},
      {"name_must_match_exactly",
       [](const auto& d) { return d.HasAssociationWithValueAndName(0x4001, RWWString::FromMultibyte("Form")); }, 0, 0},
      {"name_belongs_to_its_value", [&formA](const auto& d) { return d.HasAssociationWithValueAndName(26, formA); }, 0,
       0},
      {"has_non_default_association", [](const auto& d) { return d.HasNonDefaultAssociation(); }, 1, 0},
  };
  const GFormToTrayDatabase empty;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.query(database_), c.populated);
    EXPECT_EQ(c.query(empty), c.empty);
  }
}

TEST(FormToTrayDatabase, DefaultAssociationsAssignNothing) {
  GFormToTrayDatabase database;
  database.ResetAssociation(7);
  EXPECT_TRUE(database.HasTray(7));
  EXPECT_FALSE(database.HasNonDefaultAssociation());
  database.SetAssociation(7, 26, kUnspecified);
  EXPECT_TRUE(database.HasNonDefaultAssociation());
  database.SetAssociation(7, 0, kUnspecified);
  EXPECT_FALSE(database.HasNonDefaultAssociation());
  EXPECT_EQ(database.GetFirstNonDefaultValue(), 0);
  EXPECT_EQ(database.GetSecondNonDefaultValue(), kUnspecified);
  EXPECT_EQ(Trays(database), std::vector<uint16_t>{7});
}

TEST_F(FormToTrayDatabaseTest, SettingATrayReplacesItsAssociationAtTheEnd) {
  EXPECT_EQ(Trays(database_), (std::vector<uint16_t>{1, 2, 3, 4, 5}));
  database_.SetAssociation(2, 27, 12003);
  EXPECT_EQ(Trays(database_), (std::vector<uint16_t>{1, 3, 4, 5, 2}));
  EXPECT_EQ(database_.GetFirstValueFor(2), 27);
  EXPECT_EQ(database_.GetSecondNonDefaultValue(), 12001);
  database_.ResetAssociation(1);
  EXPECT_EQ(Trays(database_), (std::vector<uint16_t>{3, 4, 5, 2, 1}));
  EXPECT_EQ(database_.GetFirstNonDefaultValue(), 0x4001);
  database_.RemoveAssociation(4);
  database_.RemoveAssociation(9);
  EXPECT_EQ(Trays(database_), (std::vector<uint16_t>{3, 5, 2, 1}));
  database_.RemoveAll();
  EXPECT_EQ(database_.Associations().EntryCount(), 0u);
}

TEST_F(FormToTrayDatabaseTest, CopiesShareTheAssociations) {
  const GFormToTrayDatabase copy(database_);
  GFormToTrayDatabase assigned(3);
  assigned.SetAssociation(8, 1, 1);
  assigned = database_;
  for (const GFormToTrayDatabase* other : {&copy, static_cast<const GFormToTrayDatabase*>(&assigned)}) {
    ASSERT_EQ(other->Associations().EntryCount(), 5u);
    for (uint32_t i = 0; i < 5; ++i) {
      EXPECT_EQ(other->Associations().Children()[i].Get(), database_.Associations().Children()[i].Get());
    }
    EXPECT_TRUE(other->SameContent(database_));
  }
  database_.SetAssociation(1, 30, 1);
  EXPECT_EQ(copy.GetFirstValueFor(1), 26);
  EXPECT_FALSE(copy.SameContent(database_));
}

TEST_F(FormToTrayDatabaseTest, RoundTripsAndComparesAssociationsInOrder) {
  EXPECT_TRUE(RoundTrips(database_));
  EXPECT_TRUE(RoundTrips(GFormToTrayAssociation(3, 0x4001, 12001, RWWString::FromMultibyte("Form A"))));
  const GObjectRef restored = RestoreGraph(StoreForm::kText, SaveGraph(StoreForm::kText, &database_));
  const auto* database = dynamic_cast<const GFormToTrayDatabase*>(restored.Get());
  ASSERT_NE(database, nullptr);
  EXPECT_EQ(Trays(*database), (std::vector<uint16_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(database->GetSecondValueFor(5), kUnspecified);

  GFormToTrayDatabase reordered(database_);
  reordered.SetAssociation(1, 26, kUnspecified);
  EXPECT_FALSE(reordered.SameContent(database_));
}

// An association as a file stores it the first time it is met: class ID,
// root part (key 0, serial), attribute part, version, the three id settings
// (class ID, root, attribute, version, value) and the UTF-16 name.
std::string AssociationBytes(uint32_t serial, uint16_t tray, uint16_t media, uint16_t type) {
  std::string bytes = Shorts({1013}) + Words({1, 0, serial, 1, 1, 1});
  uint32_t settingSerial = serial;
  for (uint16_t value : {media, tray, type}) {
    bytes += Shorts({763}) + Words({1, 0, ++settingSerial, 1, 1, 1}) + Shorts({value});
  }
  return bytes + Words({2}) + Shorts({'A', '4'});
}

TEST(FormToTrayDatabase, StoredLayoutsOfDatabaseAndAssociation) {
  // The database holds its associations as an attribute composite in place:
  // root part, attribute part, version, count and the children.
  const std::string bytes = Words({0x8888}) + Shorts({1012}) + Words({1, 510, 40, 1, 1, 1}) +
                            Words({1, 0, 41, 1, 1, 1, 1}) + AssociationBytes(50, 3, 26, 12001);
  const GObjectRef restored = RestoreGraph(StoreForm::kFile, bytes);
  const auto* database = dynamic_cast<const GFormToTrayDatabase*>(restored.Get());
  ASSERT_NE(database, nullptr);
  EXPECT_EQ(database->Key(), 510);
  EXPECT_EQ(database->GetFirstValueFor(3), 26);
  EXPECT_EQ(database->GetSecondValueFor(3), 12001);
  EXPECT_TRUE(database->HasAssociationWithValueAndName(26, RWWString::FromMultibyte("A4")));
  EXPECT_EQ(SaveGraph(StoreForm::kFile, database), bytes);
}

TEST_F(FormToTrayDatabaseTest, AnotherStoredVersionKeepsThePresentAssociations) {
  const std::string bytes = Words({1, 0, 0, 1, 1, 2}) + Words({1, 0, 41, 1, 1, 1, 0});
  EXPECT_EQ(RestoreContentsFromFileBytes(database_, bytes), 24u);
  EXPECT_EQ(Trays(database_), (std::vector<uint16_t>{1, 2, 3, 4, 5}));
}

TEST(FormToTrayDatabase, AStoredIdThatIsNoValueSettingFailsTheRestore) {
  struct Case {
    const char* name;
    std::string media;
  };
  const Case cases[] = {
      // A range setting where the media id belongs.
      {"other_class", ":" + Shorts({762}) + "{" + Words({1, 0, 9, 1, 1, 1}) + Shorts({0, 5, 1, 2}) + "}"},
      // A back-reference to the association itself.
      {"back_reference", "@" + Words({1})},
      {"nil_object", "@" + Words({0})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string rest = ":" + Shorts({763}) + "{" + Words({1, 0, 12, 1, 1, 1}) + Shorts({3}) + "}" + ":" +
                             Shorts({763}) + "{" + Words({1, 0, 13, 1, 1, 1}) + Shorts({4}) + "}" + Words({0});
    const std::string bytes = ":" + Shorts({1013}) + "{" + Words({1, 0, 10, 1, 1, 1}) + c.media + rest + "}";
    bool good = true;
    const GObjectRef restored = RestoreGraph(StoreForm::kBinary, bytes, good);
    EXPECT_FALSE(good);
    if (const auto* association = dynamic_cast<const GFormToTrayAssociation*>(restored.Get())) {
      EXPECT_EQ(association->GetMediaId(), 0);
    }
  }
}

}  // namespace
