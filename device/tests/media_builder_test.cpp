// Tests of the media builder: media from custom sizes with the margins of
// the printer's margin pool or of the margin settings.
#include "device/media/media_builder.h"

#include <gtest/gtest.h>

#include <memory>

#include "device/media/margin_pool.h"
#include "model/attributes/attribute_composite.h"
#include "model/attributes/value_attribute.h"
#include "model/objects/persistent_composite.h"

namespace {

const GCustomMediaSize kLetter(2, "Letter", kHundredthsOfInch, 850, 1100, 0);

// Record 0 of the pool, in micrometres: left, top, right, bottom for 0, 90,
// 180 and 270 degrees. At 600 dpi 2117 um are 49 dots, 4233 um 100, 6350 um
// 150, 8467 um 199, 12700 um 300, 25400 um 600 and 50800 um 1200.
// clang-format off
constexpr GMarginRecord kMargins = {
    4233, 4233, 4233, 4233,
    2117, 4233, 6350, 8467,
    25400, 12700, 0, 50800,
    -4233, 4233, 0, 0,
};
// clang-format on

// A configuration whose margin pool holds the record.
std::unique_ptr<MPersistentComposite> SourceWithPool(const GMarginRecord* record) {
  auto source = std::make_unique<MPersistentComposite>(1);
  auto* pool = new GMarginPool;
  pool->Add(record);
  source->AddChild(pool);
  return source;
}

// The margin group 331 with the settings of the keys given, each 1667
// ten-thousandths of an inch (100 dots at 600 dpi) but the right one 3334.
GAttributeComposite* MarginGroup(std::initializer_list<int32_t> keys) {
  auto* group = new GAttributeComposite(331);
  for (int32_t key : keys) group->AddChild(new GValueAttribute(key == 334 ? 3334 : 1667, key));
  return group;
}

struct Expected {
  GDotPair paper;
  GDotPair origin;
  GDotPair printable;
};

void ExpectMedia(const GMedia* media, const Expected& expected) {
  ASSERT_NE(media, nullptr);
  EXPECT_EQ(media->GetPaperSize(), expected.paper);
  EXPECT_EQ(media->GetPrintableOrigin(), expected.origin);
  EXPECT_EQ(media->GetPrintableSize(), expected.printable);
}

TEST(MediaBuilder, MarginsOfThePoolFollowTheOrientation) {
  struct Case {
    const char* name;
    int32_t orientation;
    Expected media;
  };
  const Case cases[] = {
      {"portrait", 0, {{5100, 6600}, {100, 100}, {4900, 6400}}},
      {"landscape_exchanges_the_sheet_only", 90, {{6600, 5100}, {49, 100}, {6401, 4801}}},
      {"upside_down", 180, {{5100, 6600}, {600, 300}, {4500, 5100}}},
      {"negative_margin_counts_as_none", 270, {{6600, 5100}, {0, 100}, {6600, 5000}}},
      {"other_angle_has_no_margins", 45, {{5100, 6600}, {0, 0}, {5100, 6600}}},
      {"full_turn_is_another_angle", 360, {{5100, 6600}, {0, 0}, {5100, 6600}}},
  };
  const std::unique_ptr<MPersistentComposite> source = SourceWithPool(&kMargins);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::unique_ptr<GMedia> media = BuildMediaWithMargins(kLetter, *source, 600, 600, c.orientation);
    ExpectMedia(media.get(), c.media);
    EXPECT_EQ(media->GetOrientation(), c.orientation);
  }
}

TEST(MediaBuilder, MediaCarryTheSizesNameAndIdAtTheirResolution) {
  const std::unique_ptr<MPersistentComposite> source = SourceWithPool(&kMargins);
  const std::unique_ptr<GMedia> media = BuildMediaWithMargins(kLetter, *source, 300, 1200, 0);
  ASSERT_NE(media, nullptr);
  EXPECT_EQ(media->Key(), 190);
  EXPECT_EQ(media->GetName(), RWCString("Letter"));
  EXPECT_EQ(media->GetSizeId(), 2);
  EXPECT_EQ(media->GetXResolution(), 300);
  EXPECT_EQ(media->GetYResolution(), 1200);
  EXPECT_EQ(media->GetExtraValue(), 0);
  EXPECT_EQ(media->GetPaperSize(), (GDotPair{2550, 13200}));
  EXPECT_EQ(media->GetPrintableOrigin(), (GDotPair{50, 200}));
}

TEST(MediaBuilder, MarginSettingsServeOnlyWithoutAPool) {
  struct Case {
    const char* name;
    bool pool;
    std::initializer_list<int32_t> settings;
    Expected media;
  };
  const GMarginRecord* noRecord = nullptr;
  const Case cases[] = {
      {"all_four_settings", false, {332, 333, 334, 335}, {{5100, 6600}, {100, 100}, {4800, 6400}}},
      {"a_missing_setting_gives_none", false, {332, 333, 335}, {{5100, 6600}, {0, 0}, {5100, 6600}}},
      {"no_group", false, {}, {{5100, 6600}, {0, 0}, {5100, 6600}}},
      {"a_pool_without_records_wins", true, {332, 333, 334, 335}, {{5100, 6600}, {0, 0}, {5100, 6600}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::unique_ptr<MPersistentComposite> source =
        c.pool ? SourceWithPool(noRecord) : std::make_unique<MPersistentComposite>(1);
    if (c.settings.size() != 0) source->AddChild(MarginGroup(c.settings));
    const std::unique_ptr<GMedia> media = BuildMediaWithMargins(kLetter, *source, 600, 600, 0);
    ExpectMedia(media.get(), c.media);
  }
}

TEST(MediaBuilder, SettingsGiveResolutionAndOrientation) {
  GAttributeComposite settings(360);
  auto* resolution = new GAttributeComposite(249);
  resolution->AddChild(new GValueAttribute(300, 323));
  resolution->AddChild(new GValueAttribute(600, 324));
  settings.AddChild(resolution);
  settings.AddChild(new GValueAttribute(90, 265));
  const std::unique_ptr<MPersistentComposite> source = SourceWithPool(&kMargins);

  const std::unique_ptr<GMedia> fromSettings = BuildMediaForSizeAttribute(kLetter, settings, *source);
  ASSERT_NE(fromSettings, nullptr);
  EXPECT_EQ(fromSettings->GetXResolution(), 300);
  EXPECT_EQ(fromSettings->GetYResolution(), 600);
  EXPECT_EQ(fromSettings->GetOrientation(), 90);
  EXPECT_EQ(fromSettings->GetPaperSize(), (GDotPair{6600, 2550}));

  const std::unique_ptr<GMedia> given = BuildMediaForSize(kLetter, settings, *source, 600, 600);
  ExpectMedia(given.get(), {{6600, 5100}, {49, 100}, {6401, 4801}});

  delete settings.RemoveChildByKey(324);
  EXPECT_EQ(BuildMediaForSizeAttribute(kLetter, settings, *source), nullptr);
  delete settings.RemoveChildByKey(265);
  EXPECT_EQ(BuildMediaForSize(kLetter, settings, *source, 600, 600), nullptr);
}

TEST(MediaBuilder, ASizeBeyond32BitsInDotsBuildsNothing) {
  const std::unique_ptr<MPersistentComposite> source = SourceWithPool(&kMargins);
  const GCustomMediaSize huge(1, "Huge", kMillimetres, 4000000000u, 297, 0);
  EXPECT_EQ(BuildMediaWithMargins(huge, *source, 1200, 1200, 0), nullptr);
  // In micrometres the same order of size fits once computed in 64 bits.
  const GCustomMediaSize wide(1, "Wide", kMicrometres, 4000000000u, 297000, 0);
  const std::unique_ptr<GMedia> media = BuildMediaWithMargins(wide, *source, 1200, 1200, 0);
  ASSERT_NE(media, nullptr);
  EXPECT_EQ(media->GetPaperSize().y, 14031);
}

}  // namespace
