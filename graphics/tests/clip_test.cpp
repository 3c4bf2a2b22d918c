// Tests of the clips: what each class answers for its bounds and handler,
// the rectangle list, equality, clones and the stored forms.
#include "graphics/clips/clip.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/error.h"
#include "foundation/rw_factory.h"
#include "graphics/attributes/cap.h"
#include "graphics/attributes/graphic_bundle.h"
#include "graphics/display/path_graphic.h"
#include "graphics/display/rectangle_graphic.h"
#include "graphics/tests/attribute_recorder.h"
#include "graphics/tests/stored_parts.h"
#include "model/testing/round_trip.h"

namespace {

GRectangle R(int16_t left, int16_t top, int16_t right, int16_t bottom) { return {left, top, right, bottom}; }

// A path of one rectangle.
GPathGraphic* PathOf(const GRectangle& rectangle) {
  auto* path = new GPathGraphic(nullptr, 0);
  path->AddChild(new GRectangleGraphic(rectangle, nullptr, 0));
  return path;
}

std::vector<GRectangle> Entries(const GRectangleList& list) {
  std::vector<GRectangle> entries;
  for (uint32_t i = 0; i < list.Count(); ++i) entries.push_back(list[i]);
  return entries;
}

TEST(Clip, TheFactoryDefaultsAndTheHandlerOfEachClass) {
  struct Case {
    RWClassID id;
    int32_t fillRule;
    int32_t region;
    const char* handler;
  };
  // clang-format off
  const Case cases[] = {
      {kGClipToPageClassID,            1, 0, "clip_to_page"},
      {kGClipToPathClassID,            2, 2, "clip_to_path"},
      {kGClipToSingleRectangleClassID, 2, 2, "clip_to_single_rectangle"},
      {kGClipToRectangleClassID,       2, 2, "clip_to_rectangle"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.handler);
    const GObjectRef made(static_cast<MPersistentObject*>(FactoryCreateByID(c.id)));
    auto* clip = dynamic_cast<GClip*>(made.Get());
    ASSERT_NE(clip, nullptr);
    EXPECT_EQ(clip->GetFillRule(), c.fillRule);
    EXPECT_EQ(clip->GetRegion(), c.region);
    EXPECT_EQ(clip->BaseTypeId(), kGClipClassID);
    AttributeRecorder recorder;
    EXPECT_EQ(clip->SendTo(recorder), AttributeRecorder::kStatus);
    EXPECT_EQ(recorder.Handlers(), std::vector<std::string>{c.handler});
  }
}

TEST(Clip, Bounds) {
  struct Case {
    const char* name;
    std::function<GClip*()> make;
    int32_t answer;
    GRectangle bounds;
  };
  const GRectangle untouched = R(-9, -9, -9, -9);
  // clang-format off
  const Case cases[] = {
      {"page_has_none_and_writes_nothing", [] { return new GClipToPage(177); },                                  0, untouched},
      {"path_clip_without_path",           [] { return new GClipToPath(nullptr, 0, 0, 177); },                   0, untouched},
      {"path_clip_has_the_paths_bounds",   [] {
         GPathGraphic* path = PathOf(R(1, 1, 4, 4));
         path->AddChild(PathOf(R(-3, 2, 2, 9)));
         return new GClipToPath(path, 0, 0, 177); },                                                              1, R(-3, 1, 4, 9)},
      {"path_clip_of_an_empty_path",       [] { return new GClipToPath(new GPathGraphic, 0, 0, 177); },         1, R(0, 0, 0, 0)},
      {"single_rectangle",                 [] { return new GClipToSingleRectangle(R(1, 2, 3, 4), 0, 0, 177); },  1, R(1, 2, 3, 4)},
      {"one_rectangle",                    [] { return new GClipToRectangle(R(-5, 2, 3, 40), 0, 0, 177); },     1, R(-5, 2, 3, 40)},
      {"union_takes_each_extreme_from_another_entry", [] {
         GRectangleList list;
         list.Add(R(10, 0, 20, 5));
         list.Add(R(0, 8, 12, 9));
         list.Add(R(5, -3, 30, 4));
         list.Add(R(6, 6, 7, 50));
         return new GClipToRectangle(list, 0, 0, 177); },                                                         1, R(0, -3, 30, 50)},
      {"empty_list_is_zero_and_shows_nothing", [] { return new GClipToRectangle; },                               1, R(0, 0, 0, 0)},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::unique_ptr<GClip> clip(c.make());
    GRectangle bounds = untouched;
    EXPECT_EQ(clip->GetBounds(bounds), c.answer);
    EXPECT_EQ(bounds, c.bounds);
  }
}

TEST(Clip, ARectangleClipAnswersZerosPastItsLastRectangle) {
  GRectangleList list;
  list.Add(R(1, 2, 3, 4));
  list.Add(R(5, 6, 7, 8));
  const GClipToRectangle clip(list, 1, 0, 177);
  EXPECT_EQ(clip.GetCount(), 2U);
  EXPECT_EQ(clip.GetRectangle(1), R(5, 6, 7, 8));
  EXPECT_EQ(clip.GetRectangle(2), GRectangle{});
  EXPECT_EQ(clip.GetRectangle(0xFFFFFFFF), GRectangle{});
}

TEST(RectangleList, GrowsBySixtyFourWhenFull) {
  GRectangleList list;
  EXPECT_EQ(list.Capacity(), 1U);
  list.Add(R(0, 0, 1, 1));
  EXPECT_EQ(list.Capacity(), 1U);
  list.Add(R(0, 0, 2, 2));
  EXPECT_EQ(list.Capacity(), 65U);
  GRectangleList sixtyFour(64);
  for (int16_t i = 0; i < 64; ++i) sixtyFour.Add(R(i, 0, 1, 1));
  EXPECT_EQ(sixtyFour.Capacity(), 64U);
  sixtyFour.Add(R(64, 0, 1, 1));
  EXPECT_EQ(sixtyFour.Capacity(), 128U);
  EXPECT_EQ(sixtyFour.Count(), 65U);
  EXPECT_EQ(sixtyFour[64], R(64, 0, 1, 1));
  EXPECT_EQ(GClipToRectangle(sixtyFour, 0, 0, 0).GetRectangles().Capacity(), 128U);
}

TEST(RectangleList, FindingAndRemovingEqualEntries) {
  const GRectangle a = R(1, 1, 2, 2);
  const GRectangle b = R(3, 3, 4, 4);
  const GRectangle c = R(5, 5, 6, 6);
  GRectangleList list;
  for (const GRectangle& r : {a, b, a, c, a}) list.Add(r);
  EXPECT_EQ(list.IndexOf(b), 1U);
  EXPECT_EQ(list.IndexOf(R(1, 1, 2, 3)), GRectangleList::kNotFound);
  EXPECT_EQ(list.Occurrences(a), 3U);

  GRectangleList removeOne = list;
  EXPECT_EQ(removeOne.Remove(a), 1);
  EXPECT_EQ(Entries(removeOne), (std::vector<GRectangle>{b, a, c, a}));
  EXPECT_EQ(removeOne.Remove(R(9, 9, 9, 9)), 0);

  EXPECT_EQ(list.RemoveAll(a), 3U);
  EXPECT_EQ(Entries(list), (std::vector<GRectangle>{b, c}));
  EXPECT_EQ(list.RemoveAll(a), 0U);
}

TEST(Clip, Equality) {
  struct Case {
    const char* name;
    std::function<GClip*()> left;
    std::function<GClip*()> right;
    bool equal;
  };
  GRectangleList ab;
  ab.Add(R(1, 1, 2, 2));
  ab.Add(R(3, 3, 4, 4));
  GRectangleList ba;
  ba.Add(R(3, 3, 4, 4));
  ba.Add(R(1, 1, 2, 2));
  // clang-format off
  const Case cases[] = {
      {"pages",                     [] { return new GClipToPage(177); },  [] { return new GClipToPage(177); },  true},
      {"page_of_other_key",         [] { return new GClipToPage(177); },  [] { return new GClipToPage(1); },    false},
      {"single_rectangles",         [] { return new GClipToSingleRectangle(R(1, 2, 3, 4), 0, 1, 177); },
                                    [] { return new GClipToSingleRectangle(R(1, 2, 3, 4), 0, 1, 177); }, true},
      {"single_of_other_bottom",    [] { return new GClipToSingleRectangle(R(1, 2, 3, 4), 0, 1, 177); },
                                    [] { return new GClipToSingleRectangle(R(1, 2, 3, 5), 0, 1, 177); }, false},
      {"single_of_other_region",    [] { return new GClipToSingleRectangle(R(1, 2, 3, 4), 0, 1, 177); },
                                    [] { return new GClipToSingleRectangle(R(1, 2, 3, 4), 1, 1, 177); }, false},
      {"single_of_other_rule",      [] { return new GClipToSingleRectangle(R(1, 2, 3, 4), 0, 1, 177); },
                                    [] { return new GClipToSingleRectangle(R(1, 2, 3, 4), 0, 0, 177); }, false},
      {"single_against_list_of_it", [] { return new GClipToSingleRectangle(R(1, 2, 3, 4), 0, 1, 177); },
                                    [] { return new GClipToRectangle(R(1, 2, 3, 4), 0, 1, 177); },       false},
      {"lists_in_the_same_order",   [ab] { return new GClipToRectangle(ab, 0, 1, 177); },
                                    [ab] { return new GClipToRectangle(ab, 0, 1, 177); },                 true},
      {"lists_in_another_order",    [ab] { return new GClipToRectangle(ab, 0, 1, 177); },
                                    [ba] { return new GClipToRectangle(ba, 0, 1, 177); },                 false},
      {"paths_both_absent",         [] { return new GClipToPath(nullptr, 0, 0, 177); },
                                    [] { return new GClipToPath(nullptr, 0, 0, 177); },                   true},
      {"path_against_none",         [] { return new GClipToPath(PathOf(R(1, 2, 3, 4)), 0, 0, 177); },
                                    [] { return new GClipToPath(nullptr, 0, 0, 177); },                   false},
      {"paths_of_equal_content",    [] { return new GClipToPath(PathOf(R(1, 2, 3, 4)), 0, 0, 177); },
                                    [] { return new GClipToPath(PathOf(R(1, 2, 3, 4)), 0, 0, 177); },            true},
      {"paths_of_other_content",    [] { return new GClipToPath(PathOf(R(1, 2, 3, 4)), 0, 0, 177); },
                                    [] { return new GClipToPath(PathOf(R(1, 2, 3, 5)), 0, 0, 177); },            false},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::unique_ptr<GClip> left(c.left());
    const std::unique_ptr<GClip> right(c.right());
    EXPECT_EQ(left->SameContent(*right), c.equal);
    EXPECT_EQ(right->SameContent(*left), c.equal);
  }
}

// Clones keep what the bundle finds them by (key, rule, region) and own
// their own copies of the path and of the list.
TEST(Clip, ClonesKeepKeyRuleRegionAndCopyTheirParts) {
  GRectangleList list;
  list.Add(R(1, 1, 2, 2));
  list.Add(R(3, 3, 4, 4));
  std::vector<std::unique_ptr<GClip>> clips;
  clips.emplace_back(new GClipToPage(177));
  clips.emplace_back(new GClipToPath(PathOf(R(1, 2, 3, 4)), 1, 0, 177));
  clips.emplace_back(new GClipToSingleRectangle(R(1, 2, 3, 4), 1, 0, 177));
  clips.emplace_back(new GClipToRectangle(list, 1, 0, 177));
  for (const auto& clip : clips) {
    SCOPED_TRACE(clip->ClassID());
    clip->SetChangedFlag(0);
    const std::unique_ptr<GClip> clone(static_cast<GClip*>(clip->Clone()));
    EXPECT_EQ(clone->Key(), 177);
    EXPECT_EQ(clone->SerialNumber(), clip->SerialNumber());
    EXPECT_EQ(clone->ChangedFlag(), 0);
    EXPECT_EQ(clone->GetFillRule(), clip->GetFillRule());
    EXPECT_EQ(clone->GetRegion(), clip->GetRegion());
    EXPECT_TRUE(clone->SameContent(*clip));
  }
  const auto& pathClip = static_cast<const GClipToPath&>(*clips[1]);
  const std::unique_ptr<GClipToPath> pathClone(static_cast<GClipToPath*>(pathClip.Clone()));
  EXPECT_NE(pathClone->GetPath(), pathClip.GetPath());
}

TEST(Clip, ABundleKeepsItsClipWhenAnEqualOneIsSet) {
  GGraphicBundle bundle;
  auto* held = new GClipToSingleRectangle(R(1, 2, 3, 4), 0, 1, 0);
  bundle.SetClip(held);
  held->SetChangedFlag(0);
  bundle.SetClip(new GClipToSingleRectangle(R(1, 2, 3, 4), 0, 1, 0));
  EXPECT_EQ(bundle.GetClip(), held);
  EXPECT_EQ(held->ChangedFlag(), 0);
  bundle.SetClip(new GClipToRectangle(R(1, 2, 3, 4), 0, 1, 0));
  ASSERT_NE(bundle.GetClip(), nullptr);
  EXPECT_EQ(bundle.GetClip()->ClassID(), kGClipToRectangleClassID);
}

TEST(Clip, StoredForms) {
  struct Case {
    const char* name;
    std::function<GClip*()> make;
    std::string ownPart;
  };
  GRectangleList list;
  list.Add(R(1, -2, 300, 4));
  list.Add(R(5, 6, 7, 8));
  // clang-format off
  const Case cases[] = {
      {"page",             [] { return new GClipToPage(177); },
       Words({1, 1, 0, 1})},
      {"path_without_one", [] { return new GClipToPath(nullptr, 1, 0, 177); },
       Words({1, 0, 1, 1}) + kNilObject},
      {"single_rectangle", [] { return new GClipToSingleRectangle(R(1, -2, 300, 4), 0, 1, 177); },
       Words({1, 1, 0, 1}) + std::string("\x01\x00\xFE\xFF\x2C\x01\x04\x00", 8)},
      {"rectangle_list",   [list] { return new GClipToRectangle(list, 2, 2, 177); },
       Words({1, 2, 2, 1, 2}) + std::string("\x01\x00\xFE\xFF\x2C\x01\x04\x00\x05\x00\x06\x00\x07\x00\x08\x00", 16)},
      {"empty_list",       [] { return new GClipToRectangle; },
       Words({1, 2, 2, 1, 0})},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const GObjectRef held(c.make());
    auto& clip = static_cast<GClip&>(*held);
    clip.SetChangedFlag(0);
    EXPECT_EQ(SaveGraph(StoreForm::kFile, &clip), Graph(clip.ClassID(), GraphicStatePart(clip) + c.ownPart));
    EXPECT_TRUE(RoundTrips(clip));
  }
}

TEST(Clip, APathClipRoundTripsWithItsPath) {
  GPathGraphic* path = PathOf(R(1, 2, 3, 4));
  path->SetClosed();
  const GClipToPath clip(path, 1, 0, 177);
  EXPECT_TRUE(RoundTrips(clip));
}

TEST(Clip, AStoredPathOfAnotherClassIsRefused) {
  GClipToPath clip(nullptr, 0, 0, 177);
  const GCap cap(1, 0);
  const std::string cap_reference = Shorts({kGCapClassID}) + Words({1, 0, cap.SerialNumber(), 1, 1, 1, 1, 1});
  RestoreInPlace(clip, GraphicStatePart(clip) + Words({1, 0, 0, 1}) + cap_reference);
  EXPECT_EQ(clip.GetPath(), nullptr);
}

TEST(Clip, ARectangleCountBeyondTheStoredBytesIsRefused) {
  GClipToRectangle clip(R(1, 1, 2, 2), 0, 0, 177);
  EXPECT_FALSE(RestoreInPlace(clip, GraphicStatePart(clip) + Words({1, 0, 0, 1, 1000}) + Shorts({1, 2, 3, 4})));
  EXPECT_LE(clip.GetCount(), 1U);
}

}  // namespace
