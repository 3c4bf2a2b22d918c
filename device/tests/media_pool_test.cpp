// Tests of the media pool: filtered walks and lookups by size id, and its
// stored form.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "device/media/media_pool.h"
#include "model/attributes/value_attribute.h"
#include "model/testing/round_trip.h"

namespace {

GMedia* Medium(const char* name, int16_t sizeId, GDotPair paper, int32_t orientation, uint16_t x, uint16_t y) {
  return new GMedia(name, paper, paper, {0, 0}, orientation, sizeId, x, y, 190, 0, nullptr, nullptr);
}

// A pool with letter (id 2) in both orientations and two resolutions, A4
// (id 9), a medium with a negative width (id 5) and one at 600 x 300 dpi
// (id 7).
class MediaPoolTest : public ::testing::Test {
 protected:
  MediaPoolTest() {
    pool_.AddChild(Medium("Letter", 2, {5100, 6600}, 0, 600, 600));
    pool_.AddChild(Medium("Letter", 2, {6600, 5100}, 90, 600, 600));
    pool_.AddChild(Medium("Letter", 2, {2550, 3300}, 0, 300, 300));
    pool_.AddChild(Medium("A4", 9, {4960, 7015}, 0, 600, 600));
    pool_.AddChild(Medium("Negative", 5, {-10, 6600}, 0, 600, 600));
    pool_.AddChild(Medium("Narrow", 7, {5100, 3300}, 0, 600, 300));
  }

  // The names of the media a walk yields.
  static std::vector<std::string> Walk(GMediaIterator& media) {
    std::vector<std::string> names;
    while (media.Advance()) names.emplace_back(media.CurrentMedia()->GetName().Data());
    return names;
  }

  GMediaPool pool_;
};

TEST_F(MediaPoolTest, FindBySizeIdMatchesIdOrientationAndBothResolutions) {
  struct Case {
    const char* name;
    int16_t sizeId;
    int32_t orientation;
    uint16_t x;
    uint16_t y;
    const char* found;  // null: none
    int16_t foundWidth;
  };
  const Case cases[] = {
      {"letter_portrait", 2, 0, 600, 600, "Letter", 5100},
      {"letter_landscape_is_not_the_portrait", 2, 90, 600, 600, "Letter", 6600},
      {"letter_at_300", 2, 0, 300, 300, "Letter", 2550},
      {"no_medium_at_that_resolution", 2, 0, 1200, 1200, nullptr, 0},
      {"no_medium_in_that_orientation", 9, 90, 600, 600, nullptr, 0},
      {"negative_width_is_never_found", 5, 0, 600, 600, nullptr, 0},
      {"resolutions_per_axis", 7, 0, 600, 300, "Narrow", 5100},
      {"resolutions_exchanged", 7, 0, 300, 600, nullptr, 0},
      {"absent_id", 4, 0, 600, 600, nullptr, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const GMedia* media = pool_.FindBySizeId(c.sizeId, c.orientation, c.x, c.y);
    if (c.found == nullptr) {
      EXPECT_EQ(media, nullptr);
      continue;
    }
    ASSERT_NE(media, nullptr);
    EXPECT_STREQ(media->GetName().Data(), c.found);
    EXPECT_EQ(media->GetPaperSize().x, c.foundWidth);
  }
  EXPECT_EQ(pool_.FindBySizeId(9, 0, 600)->GetName(), RWCString("A4"));
}

TEST_F(MediaPoolTest, SizeBoundsAreInclusive) {
  struct Case {
    const char* name;
    GDotPair minimum;
    GDotPair maximum;
    std::vector<std::string> found;
  };
  const Case cases[] = {
      {"everything", {-32768, -32768}, {32767, 32767}, {"Letter", "A4", "Negative"}},
      {"maximum_width_equal", {0, 0}, {5100, 32767}, {"Letter", "A4"}},
      {"minimum_height_equal", {0, 7015}, {32767, 32767}, {"A4"}},
      {"just_above_a4_height", {0, 7016}, {32767, 32767}, {}},
      {"maximum_below_letter_width", {0, 0}, {5099, 32767}, {"A4"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::unique_ptr<GMediaIterator> media = pool_.CreateIterator(0, 600, c.minimum, c.maximum);
    EXPECT_EQ(Walk(*media), c.found);
  }
}

TEST_F(MediaPoolTest, AWalkThatEndedStartsOverFromTheFirstMedium) {
  const std::unique_ptr<GMediaIterator> media = pool_.CreateIterator(90, 600, {0, 0}, {32767, 32767});
  EXPECT_EQ(Walk(*media), std::vector<std::string>{"Letter"});
  ASSERT_TRUE(media->Advance());
  EXPECT_EQ(media->CurrentMedia()->GetOrientation(), 90);
}

TEST_F(MediaPoolTest, WalkingChangesNoReferenceCount) {
  std::vector<int32_t> before;
  for (const GCountedPtr& child : pool_.Children()) before.push_back(child->ReferenceCount());
  const std::unique_ptr<GMediaIterator> media = pool_.CreateIterator(0, 600, {0, 0}, {32767, 32767});
  Walk(*media);
  pool_.FindBySizeId(9, 0, 600);
  std::vector<int32_t> after;
  for (const GCountedPtr& child : pool_.Children()) after.push_back(child->ReferenceCount());
  EXPECT_EQ(after, before);
  // Owned by the pool alone, every medium is still there to be found.
  EXPECT_NE(pool_.FindBySizeId(2, 0, 600), nullptr);
}

TEST(MediaPool, ChildrenThatAreNoMediaNeverFit) {
  GMediaPool pool;
  pool.AddChild(new GValueAttribute(2, 190));
  EXPECT_EQ(pool.EntryCount(), 1u);
  const std::unique_ptr<GMediaIterator> media = pool.CreateIterator(0, 0, {-32768, -32768}, {32767, 32767});
  EXPECT_FALSE(media->Advance());
}

TEST_F(MediaPoolTest, StoresTheEnumerationThenItsVersion) {
  pool_.NextChoice();
  EXPECT_TRUE(RoundTrips(pool_));
  GEnumAttribute same(pool_);
  EXPECT_EQ(SaveContentsToFileBytes(pool_), SaveContentsToFileBytes(same) + Words({1}));
  EXPECT_EQ(pool_.StoredSize(), same.StoredSize() + 4);
  const GObjectRef restored = RestoreGraph(StoreForm::kFile, SaveGraph(StoreForm::kFile, &pool_));
  ASSERT_FALSE(restored.IsEmpty());
  auto* pool = dynamic_cast<GMediaPool*>(restored.Get());
  ASSERT_NE(pool, nullptr);
  EXPECT_EQ(pool->FindBySizeId(9, 0, 600)->GetName(), RWCString("A4"));
  EXPECT_EQ(dynamic_cast<GMedia*>(pool->CurrentChoice())->GetPaperSize(), (GDotPair{6600, 5100}));
}

TEST_F(MediaPoolTest, TheTrailingVersionIsReadButNotExamined) {
  std::string bytes = SaveContentsToFileBytes(pool_);
  bytes.replace(bytes.size() - 4, 4, Words({7}));
  GMediaPool restored;
  EXPECT_EQ(RestoreContentsFromFileBytes(restored, bytes), bytes.size());
  EXPECT_EQ(restored.EntryCount(), 6u);
  EXPECT_NE(restored.FindBySizeId(7, 0, 600, 300), nullptr);
}

}  // namespace
