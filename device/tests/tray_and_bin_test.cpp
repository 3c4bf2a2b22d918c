// Tests of trays and bins: levels, media, equality, the hand-over to a
// stage and the stored forms with their older versions.
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>
#include <string>

#include "device/paper/bin.h"
#include "device/paper/tray.h"
#include "device/tests/object_bytes.h"
#include "device/tests/recording_peripheral.h"
#include "model/testing/round_trip.h"

namespace {

std::unique_ptr<GMedia> Letter() {
  return std::make_unique<GMedia>("Letter", GDotPair{5100, 6600}, GDotPair{4900, 6400}, GDotPair{100, 100}, 0, 2, 600,
                                  600, 190, 0, nullptr, "Plain");
}

TEST(SheetContainer, LevelsInSheetsStayBelowTheCapacityAndPercentagesScaleIt) {
  struct Case {
    const char* name;
    int32_t capacity;
    int32_t value;
    bool asPercentage;
    bool accepted;
    int32_t level;
  };
  constexpr int32_t kLarge = 2'000'000'000;
  // clang-format off
  const Case cases[] = {
      {"sheets_at_the_capacity", 250, 250, false, false, -1},
      {"sheets_below_the_capacity", 250, 249, false, true, 249},
      {"sheets_below_an_unknown_capacity", -1, -2, false, true, -2},
      {"no_sheets_with_an_unknown_capacity", -1, 0, false, false, -1},
      {"percentage_of_an_unknown_capacity", -1, 50, true, false, -1},
      {"percentage_of_no_capacity", 0, 0, true, false, -1},
      {"percentage_above_100", 250, 101, true, false, -1},
      {"zero_percent", 250, 0, true, true, 0},
      {"half", 250, 50, true, true, 125},
      {"percentage_rounds_down", 3, 50, true, true, 1},
      {"full", 250, 100, true, true, 250},
      {"percentage_of_a_large_capacity", kLarge, 100, true, true, kLarge},
      {"percentage_of_the_largest_capacity", std::numeric_limits<int32_t>::max(), 99, true, true, 2126008810},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GTray tray("Tray 1", 1, 0, 0, c.capacity, -1, nullptr, 82);
    GBin bin("Bin 1", 1, 0, 0, c.capacity, -1, 0, 0, 91);
    EXPECT_EQ(tray.SetLevel(c.value, c.asPercentage), c.accepted);
    EXPECT_EQ(tray.GetLevel(), c.level);
    EXPECT_EQ(bin.SetLevel(c.value, c.asPercentage), c.accepted);
    EXPECT_EQ(bin.GetLevel(), c.level);
  }
}

TEST(Tray, ConstructorsAndTheMediumItOwns) {
  const GTray plain("Tray 2", 2, 82);
  EXPECT_EQ(plain.GetFirstValue(), 0);
  EXPECT_EQ(plain.GetSecondValue(), 0);
  EXPECT_EQ(plain.GetCapacity(), -1);
  EXPECT_EQ(plain.GetLevel(), -1);
  EXPECT_EQ(plain.GetMedium(), nullptr);

  GTray tray(12, "Tray 3", 3, 500, 7, 550, 100, Letter(), "Tray 3", "res.dll", 82);
  EXPECT_EQ(tray.GetValue1(), 500);
  EXPECT_EQ(tray.GetDisplayString().StringId(), 12);
  EXPECT_EQ(tray.GetDisplayString().ModuleName(), RWCString("res.dll"));

  const GTray copy(tray);
  ASSERT_NE(copy.GetMedium(), nullptr);
  EXPECT_NE(copy.GetMedium(), tray.GetMedium());
  EXPECT_TRUE(copy.SameContent(tray));
  GTray assigned("Other", 9, 82);
  assigned = tray;
  EXPECT_NE(assigned.GetMedium(), tray.GetMedium());
  EXPECT_TRUE(assigned.SameContent(tray));

  const std::unique_ptr<GMedia> taken = tray.TakeMedium();
  ASSERT_NE(taken, nullptr);
  EXPECT_EQ(tray.GetMedium(), nullptr);
  EXPECT_FALSE(tray.SameContent(copy));
  tray.SetMedium(Letter());
  EXPECT_TRUE(tray.SameContent(copy));
  tray.SetMedium(nullptr);
  EXPECT_EQ(tray.GetMedium(), nullptr);
}

TEST(Tray, SameContentComparesEveryFieldAndTheMedia) {
  struct Case {
    const char* name;
    std::function<void(GTray&)> change;
  };
  const Case cases[] = {
      {"name", [](GTray& t) { t.SetName("Other"); }},
      {"first_value", [](GTray& t) { t.SetFirstValue(1); }},
      {"second_value", [](GTray& t) { t.SetSecondValue(1); }},
      {"capacity", [](GTray& t) { t.SetCapacity(499); }},
      {"level", [](GTray& t) { t.SetLevel(10, false); }},
      {"display_string", [](GTray& t) { t.SetDisplayString(GDisplayString(1, "x", nullptr)); }},
      {"no_medium", [](GTray& t) { t.SetMedium(nullptr); }},
      {"other_medium", [](GTray& t) { t.GetMedium()->SetMediaType("Bond"); }},
      {"key", [](GTray& t) { t.SetKey(83); }},
  };
  const GTray tray("Tray 2", 2, 500, 0, 500, 250, Letter(), 82);
  EXPECT_TRUE(tray.SameContent(tray));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GTray other(tray);
    c.change(other);
    EXPECT_FALSE(tray.SameContent(other));
    EXPECT_FALSE(other.SameContent(tray));
  }
}

TEST(Bin, SameContentComparesEveryField) {
  struct Case {
    const char* name;
    std::function<void(GBin&)> change;
  };
  const Case cases[] = {
      {"name", [](GBin& b) { b.SetName("Other"); }},
      {"first_value", [](GBin& b) { b.SetFirstValue(1); }},
      {"capacity", [](GBin& b) { b.SetCapacity(1); }},
      {"output_order", [](GBin& b) { b.SetOutputOrder(0); }},
      {"last_value", [](GBin& b) { b.SetLastValue(4); }},
      {"display_string", [](GBin& b) { b.SetDisplayString(GDisplayString(1, "x", nullptr)); }},
  };
  const GBin bin(3, "Face down", 1, 0, 0, 250, -1, 1, 0, "Face down", nullptr, 91);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GBin other(bin);
    EXPECT_TRUE(other.SameContent(bin));
    c.change(other);
    EXPECT_FALSE(bin.SameContent(other));
  }
}

TEST(Tray, ATrayReachesItsHandlerAndABinNone) {
  RecordingPeripheral stage;
  GTray tray("Tray 1", 1, 82);
  EXPECT_EQ(tray.SendTo(stage), RecordingPeripheral::kStatus);
  GBin bin("Bin", 1, 91);
  EXPECT_EQ(bin.SendTo(stage), 1);
  ASSERT_EQ(stage.calls.size(), 1u);
  EXPECT_EQ(stage.calls[0].handler, "tray");
  EXPECT_EQ(stage.calls[0].attribute, &tray);
}

TEST(Tray, StoredFormsOfTrayAndBin) {
  GTray tray(7, "Tray 2", 2, 500, -3, 250, 100, nullptr, "Tray 2", "res.dll", 82);
  tray.SetChangedFlag(0);
  EXPECT_EQ(SaveGraph(StoreForm::kFile, &tray),
            GraphStart(1001) + AttributePart(82, tray.SerialNumber(), 0) + Words({2}) + Text("Tray 2") + Shorts({2}) +
                Words({500, static_cast<uint32_t>(-3), 250, 100, 0}) + DisplayStringBytes(tray.GetDisplayString()));
  EXPECT_TRUE(RoundTrips(tray));
  tray.SetMedium(Letter());
  EXPECT_TRUE(RoundTrips(tray));
  const std::string withMedium = SaveGraph(StoreForm::kFile, &tray);
  EXPECT_EQ(withMedium.substr(4 + 2 + 20 + 4 + 10 + 2 + 16, 6), Words({1}) + Shorts({1002}));

  GBin bin(4, "Face up", 2, 1, 2, 100, 50, 1, 9, "Face up", nullptr, 91);
  EXPECT_EQ(SaveGraph(StoreForm::kFile, &bin),
            GraphStart(1009) + AttributePart(91, bin.SerialNumber(), 1) + Words({2}) + Text("Face up") + Shorts({2}) +
                Words({1, 2, 100, 50, 1, 9}) + DisplayStringBytes(bin.GetDisplayString()));
  EXPECT_TRUE(RoundTrips(bin));
}

TEST(Tray, AnOlderStoredVersionHasNoDisplayStringAndANewerOneStops) {
  const GMedia medium = *Letter();
  const std::string mediumBytes = SaveGraph(StoreForm::kFile, &medium).substr(4);
  const std::string trayBytes = GraphStart(1001) + AttributePart(82, 3, 1) + Words({1}) + Text("Old") + Shorts({4}) +
                                Words({10, 20, 30, 5, 1}) + mediumBytes;
  bool good = false;
  const GObjectRef restoredTray = RestoreGraph(StoreForm::kFile, trayBytes, good);
  const auto* tray = dynamic_cast<const GTray*>(restoredTray.Get());
  ASSERT_NE(tray, nullptr);
  EXPECT_EQ(tray->GetId(), 4);
  EXPECT_EQ(tray->GetLevel(), 5);
  ASSERT_NE(tray->GetMedium(), nullptr);
  EXPECT_TRUE(tray->GetMedium()->SameContent(medium));
  EXPECT_TRUE(tray->GetDisplayString().SameContent(GDisplayString()));

  const std::string binBytes = GraphStart(1009) + AttributePart(91, 3, 1) + Words({1}) + Text("Old") + Shorts({4}) +
                               Words({10, 20, 30, 5, 1, 2});
  const GObjectRef restoredBin = RestoreGraph(StoreForm::kFile, binBytes, good);
  const auto* bin = dynamic_cast<const GBin*>(restoredBin.Get());
  ASSERT_NE(bin, nullptr);
  EXPECT_EQ(bin->GetOutputOrder(), 1);
  EXPECT_EQ(bin->GetLastValue(), 2);

  // A newer version stops after its version word; a medium flag of 0 lets
  // the present medium go.
  GTray kept("Kept", 6, 1, 2, 3, 0, Letter(), 82);
  std::string bytes = SaveContentsToFileBytes(kept);
  bytes[20] = 3;
  EXPECT_EQ(RestoreContentsFromFileBytes(kept, bytes), 24u);
  EXPECT_EQ(kept.GetName(), RWCString("Kept"));
  ASSERT_NE(kept.GetMedium(), nullptr);
  GTray empty("Kept", 6, 1, 2, 3, 0, nullptr, 82);
  EXPECT_GT(RestoreContentsFromFileBytes(kept, SaveContentsToFileBytes(empty)), 24u);
  EXPECT_EQ(kept.GetMedium(), nullptr);
}

TEST(Tray, AMediumOfAnotherClassIsRefused) {
  const std::string head =
      GraphStart(1001) + AttributePart(82, 3, 1) + Words({2}) + Text("T") + Shorts({1}) + Words({0, 0, 10, 0, 1});
  const GBin notAMedium("Bin", 1, 91);
  const std::string rest = SaveGraph(StoreForm::kFile, &notAMedium).substr(4);
  bool good = true;
  const GObjectRef restored = RestoreGraph(StoreForm::kFile, head + rest, good);
  EXPECT_FALSE(good);
  const auto* read = dynamic_cast<const GTray*>(restored.Get());
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->GetMedium(), nullptr);
}

}  // namespace
