// Tests of the option-list attributes, the 32-bit value attribute and the
// display-string attribute.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "device/attributes/display_string_attribute.h"
#include "device/attributes/option_list_attribute.h"
#include "device/attributes/value32_attribute.h"
#include "device/tests/object_bytes.h"
#include "device/tests/recording_peripheral.h"
#include "model/testing/round_trip.h"

namespace {

TEST(OptionList, EntriesByIndexAndTheirAnswerOutsideTheList) {
  GOptMediaComposite tray(2, 9);
  EXPECT_EQ(tray.GetEntry(0), GOptionListAttribute::kNoEntry);
  tray.AddEntry(1);
  tray.AddEntry(26);
  tray.AddEntry(0x4001);
  struct Case {
    const char* name;
    int16_t index;
    uint16_t entry;
  };
  const Case cases[] = {{"first", 0, 1}, {"third", 2, 0x4001}, {"past_the_end", 3, 0xFFFF}, {"negative", -1, 0xFFFF}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(tray.GetEntry(c.index), c.entry);
  }
  EXPECT_EQ(tray.GetFirstValue(), 2);
  EXPECT_EQ(tray.GetEntryCount(), 3);

  GBookletComposite booklet(26, 0);
  booklet.AddEntryPair(5, 6);
  EXPECT_EQ(booklet.GetEntry(0), 5);
  EXPECT_EQ(booklet.GetEntry(1), 6);
  RecordingPeripheral stage;
  EXPECT_EQ(booklet.SendTo(stage), 1);
  EXPECT_TRUE(stage.calls.empty());
}

TEST(OptionList, SameContentLeavesTheExtraValueOutAndClonesOwnTheirLists) {
  GOptMediaComposite tray(2, 9);
  tray.AddEntry(1);
  tray.AddEntry(2);
  GOptMediaComposite other(2, 10);
  other.AddEntry(1);
  other.AddEntry(2);
  EXPECT_TRUE(tray.SameContent(other));
  other.AddEntry(3);
  EXPECT_FALSE(tray.SameContent(other));
  GOptMediaComposite reordered(2, 9);
  reordered.AddEntry(2);
  reordered.AddEntry(1);
  EXPECT_FALSE(tray.SameContent(reordered));
  EXPECT_FALSE(tray.SameContent(GOptMediaComposite(3, 9)));
  GBookletComposite booklet(2, 9);
  booklet.AddEntryPair(1, 2);
  EXPECT_FALSE(tray.SameContent(booklet));

  std::unique_ptr<GOptMediaComposite> clone(static_cast<GOptMediaComposite*>(tray.Clone()));
  EXPECT_EQ(clone->GetExtraValue(), 9);
  clone->AddEntry(7);
  clone.reset();
  EXPECT_EQ(tray.GetEntryCount(), 2);
}

TEST(OptionList, StoredFormAndANewerVersionThatKeepsTheList) {
  GBookletComposite booklet(26, 0x1234);
  booklet.AddEntryPair(5, 0xFFFF);
  booklet.SetChangedFlag(0);
  const std::string bytes = SaveContentsToFileBytes(booklet);
  EXPECT_EQ(bytes, AttributePart(0, booklet.SerialNumber(), 0) + Words({2}) + Shorts({26, 0x1234}) + Words({2}) +
                       Shorts({5, 0xFFFF}));
  EXPECT_EQ(booklet.StoredSize(), bytes.size());
  EXPECT_TRUE(RoundTrips(booklet));
  GOptMediaComposite tray(1, 2);
  tray.AddEntry(3);
  EXPECT_TRUE(RoundTrips(tray));

  std::string newer = bytes;
  newer[20] = 3;
  newer[24] = 27;
  GBookletComposite kept(9, 9);
  kept.AddEntryPair(1, 1);
  EXPECT_EQ(RestoreContentsFromFileBytes(kept, newer), 28u);
  EXPECT_EQ(kept.GetFirstValue(), 27);
  EXPECT_EQ(kept.GetExtraValue(), 0x1234);
  EXPECT_EQ(kept.GetEntryCount(), 2);
  EXPECT_EQ(kept.GetEntry(0), 1);

  // A count the input cannot hold reads no entries.
  std::string hostile = bytes.substr(0, 28) + Words({0x7FFFFFFF}) + Shorts({1});
  EXPECT_LE(RestoreContentsFromStreamBytes(kept, hostile), hostile.size());
  EXPECT_EQ(kept.GetEntryCount(), 0);
}

TEST(Value32Attribute, ValueEqualityAndStoredForm) {
  GValue32Attribute value(0xFFFFFFFE, 44);
  EXPECT_EQ(value.SetValue(0x80000000), 0x80000000);
  EXPECT_TRUE(value.SameContent(GValue32Attribute(0x80000000, 44)));
  EXPECT_FALSE(value.SameContent(GValue32Attribute(0x80000000, 45)));
  EXPECT_FALSE(value.SameContent(GValue32Attribute(1, 44)));
  value.SetChangedFlag(0);
  EXPECT_EQ(SaveContentsToFileBytes(value), AttributePart(44, value.SerialNumber(), 0) + Words({1, 0x80000000}));
  EXPECT_TRUE(RoundTrips(value));
  RecordingPeripheral stage;
  EXPECT_EQ(value.SendTo(stage), 0);
}

TEST(DisplayStringAttribute, TextEqualityAndStoredForm) {
  GDisplayStringAttribute text(12, 401, "Tray 1", "strings.dll");
  EXPECT_EQ(text.Key(), 12);
  EXPECT_EQ(text.GetDisplayString().StringId(), 401);
  EXPECT_EQ(GDisplayStringAttribute(401, "Tray 1", nullptr).Key(), 0);
  EXPECT_TRUE(text.SameContent(GDisplayStringAttribute(12, 401, "Tray 1", "strings.dll")));
  EXPECT_FALSE(text.SameContent(GDisplayStringAttribute(12, 402, "Tray 1", "strings.dll")));
  text.SetChangedFlag(0);
  EXPECT_EQ(SaveGraph(StoreForm::kFile, &text), GraphStart(787) + AttributePart(12, text.SerialNumber(), 0) +
                                                     Words({1}) + DisplayStringBytes(text.GetDisplayString()));
  EXPECT_TRUE(RoundTrips(text));
  RecordingPeripheral stage;
  EXPECT_EQ(text.SendTo(stage), 0);

  // Another stored version keeps the text; a stored object of another class
  // is refused.
  GDisplayStringAttribute kept(1, "kept", nullptr);
  std::string newer = SaveContentsToFileBytes(GDisplayStringAttribute(2, "new", nullptr));
  newer[20] = 2;
  EXPECT_EQ(RestoreContentsFromFileBytes(kept, newer), 24u);
  EXPECT_EQ(kept.GetDisplayString().StringId(), 1);
  const GValue32Attribute notText(1, 2);
  const std::string wrong =
      GraphStart(787) + AttributePart(12, 5, 0) + Words({1}) + SaveGraph(StoreForm::kFile, &notText).substr(4);
  const GObjectRef restored = RestoreGraph(StoreForm::kFile, wrong);
  const auto* read = dynamic_cast<const GDisplayStringAttribute*>(restored.Get());
  ASSERT_NE(read, nullptr);
  EXPECT_TRUE(read->GetDisplayString().SameContent(GDisplayString()));
}

}  // namespace
