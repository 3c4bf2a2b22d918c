// Tests of the composite of every slot's font list: merging lists in by
// slot, deep and shared copies, and its stored form.
#include "device/fonts/device_font_list_composite.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "device/fonts/device_font_list.h"
#include "device/tests/font_fixtures.h"
#include "model/objects/persistent_composite.h"
#include "model/testing/round_trip.h"

namespace {

GDeviceFontList* Slot(int32_t key, uint32_t fonts) {
  auto* list = new GDeviceFontList(key);
  for (uint32_t i = 0; i < fonts; ++i) list->AddDescription(Courier(static_cast<int32_t>(i)));
  return list;
}

uint32_t FontsIn(GDeviceFontListComposite& composite, int32_t key) {
  const auto* list = dynamic_cast<const GDeviceFontList*>(composite.FindList(key));
  return list != nullptr ? list->GetCount() : 0xFFFFFFFF;
}

std::vector<int32_t> Keys(GDeviceFontListComposite& composite) {
  std::vector<int32_t> keys;
  const auto iterator = composite.NewChildIterator();
  while (iterator->Advance()) keys.push_back(iterator->Current()->Key());
  return keys;
}

TEST(DeviceFontListComposite, MergeReplacesListsOfKnownSlotsAndPutsNewOnesFirst) {
  GDeviceFontListComposite mine;
  EXPECT_EQ(mine.Key(), 414);
  mine.AddList(Slot(1, 1));
  mine.AddList(Slot(2, 1));
  GDeviceFontListComposite added;
  added.AddList(Slot(2, 3));
  added.AddList(Slot(7, 2));
  mine.MergeFrom(added);
  EXPECT_EQ(Keys(mine), (std::vector<int32_t>{7, 1, 2}));
  EXPECT_EQ(FontsIn(mine, 2), 3u);
  EXPECT_EQ(FontsIn(mine, 7), 2u);
  // What was merged in is a deep copy: later changes to the source stay
  // there.
  static_cast<GDeviceFontList*>(added.FindList(2))->AddDescription(Univers());
  static_cast<GDeviceFontList*>(added.FindList(7))->Clear();
  EXPECT_EQ(FontsIn(mine, 2), 3u);
  EXPECT_EQ(FontsIn(mine, 7), 2u);
  EXPECT_EQ(added.GetListCount(), 2u);
}

TEST(DeviceFontListComposite, CopiesShareListsAndDeepClonesDoNot) {
  GDeviceFontListComposite original;
  original.AddList(Slot(4, 1));
  const GDeviceFontListComposite shared(original);
  const std::unique_ptr<GDeviceFontListComposite> deep(original.DeepClone());
  GDeviceFontListComposite appended;
  appended.AddCopiesOf(original);
  static_cast<GDeviceFontList*>(original.FindList(4))->AddDescription(Univers());
  EXPECT_EQ(FontsIn(const_cast<GDeviceFontListComposite&>(shared), 4), 2u);
  EXPECT_EQ(FontsIn(*deep, 4), 1u);
  EXPECT_EQ(FontsIn(appended, 4), 1u);
  // Lists added to a copy stay out of the original.
  appended.AddList(Slot(5, 0));
  EXPECT_EQ(original.GetListCount(), 1u);
  EXPECT_TRUE(original.SameContent(shared));
  EXPECT_FALSE(original.SameContent(*deep));
  const std::unique_ptr<MPersistentObject> removed(original.RemoveList(4));
  EXPECT_EQ(original.GetListCount(), 0u);
  EXPECT_EQ(shared.GetListCount(), 1u);
}

TEST(DeviceFontListComposite, StoresItsListsAsOneComposite) {
  GDeviceFontListComposite composite;
  composite.AddList(Slot(1, 2));
  composite.AddList(Slot(3, 0));
  EXPECT_TRUE(RoundTrips(composite));
  EXPECT_TRUE(RoundTrips(GDeviceFontListComposite()));
  const std::string bytes = SaveContentsToFileBytes(composite);
  EXPECT_EQ(bytes.substr(0, 16), Words({1, 414, composite.SerialNumber(), 1}));
  EXPECT_EQ(composite.StoredSize(), bytes.size());
}

TEST(DeviceFontListComposite, RefusesWhatIsNotAPlainComposite) {
  GDeviceFontListComposite source;
  source.AddList(Slot(1, 1));
  const std::string good = SaveContentsToFileBytes(source);
  // A font list where the composite belongs.
  const GObjectRef list(Slot(1, 1));
  const std::string wrongClass = good.substr(0, 16) + SaveGraph(StoreForm::kFile, list.Get());
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<int32_t> keys;
  };
  const Case cases[] = {
      {"whole", good, {1}},
      // Another version stops before the lists are touched.
      {"other_version", good.substr(0, 12) + Words({2}) + good.substr(16), {9, 8}},
      {"font_list_in_place_of_composite", wrongClass, {}},
      {"nil_composite", good.substr(0, 16) + SaveGraph(StoreForm::kFile, nullptr), {}},
      {"cut_short", good.substr(0, good.size() - 3), {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GDeviceFontListComposite composite;
    composite.AddList(Slot(9, 0));
    composite.AddList(Slot(8, 0));
    RestoreContentsFromFileBytes(composite, c.bytes);
    EXPECT_EQ(Keys(composite), c.keys);
    // Whatever came, the composite stays usable.
    composite.AddList(Slot(5, 0));
    EXPECT_EQ(FontsIn(composite, 5), 0u);
  }
}

}  // namespace
