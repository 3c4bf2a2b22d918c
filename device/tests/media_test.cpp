// Tests of the medium: its fields, the pairs computed from them, equality,
// the stored layout, and the normalisation of angles.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "device/media/media.h"
#include "device/tests/stored_bytes.h"
#include "model/testing/round_trip.h"
#include "model/testing/test_peripheral.h"

namespace {

GMedia Letter() {
  return GMedia("Letter", {5100, 6600}, {4900, 6400}, {100, 100}, 0, 2, 600, 600, 190, 0, nullptr, nullptr);
}

std::string Text(const std::string& text) { return Words({static_cast<uint32_t>(text.size())}) + text; }

TEST(Media, DefaultIsAnEmptySheetAt600Dpi) {
  const GMedia media;
  EXPECT_EQ(media.Key(), 190);
  EXPECT_EQ(media.GetPaperSize(), (GDotPair{0, 0}));
  EXPECT_EQ(media.GetPrintableSize(), (GDotPair{0, 0}));
  EXPECT_EQ(media.GetPrintableOrigin(), (GDotPair{0, 0}));
  EXPECT_EQ(media.GetOrientation(), 0);
  EXPECT_EQ(media.GetXResolution(), 600);
  EXPECT_EQ(media.GetYResolution(), 600);
  EXPECT_EQ(media.GetSizeId(), 0);
  EXPECT_EQ(media.GetName().Length(), 0u);
  EXPECT_EQ(media.GetFirstText().Length(), 0u);
  EXPECT_EQ(media.GetMediaType().Length(), 0u);
}

TEST(Media, PrintableRectEndAndFarMarginsComeFromThePairs) {
  const GMedia letter = Letter();
  EXPECT_EQ(letter.GetPrintableEnd(), (GDotPair{5000, 6500}));
  EXPECT_EQ(letter.GetPrintableRect(), (GDotRect{100, 100, 5000, 6500}));
  EXPECT_EQ(letter.GetFarMargins(), (GDotPair{100, 100}));
}

TEST(Media, PairArithmeticWrapsLike16BitValues) {
  const GMedia media("", {-32768, 0}, {32767, 1}, {1, 32767}, 0, 0, 600, 600, 190, 0, nullptr, nullptr);
  EXPECT_EQ(media.GetPrintableEnd(), (GDotPair{-32768, -32768}));
  EXPECT_EQ(media.GetFarMargins(), (GDotPair{0, -32768}));
}

// Every field of a medium, for building media that differ in one.
struct MediaFields {
  const char* name = "Letter";
  GDotPair paper{5100, 6600};
  GDotPair printable{4900, 6400};
  GDotPair origin{100, 100};
  int32_t orientation = 0;
  int16_t sizeId = 2;
  uint16_t xResolution = 600;
  uint16_t yResolution = 300;
  int32_t key = 190;
  uint16_t extraValue = 0;
  const char* firstText = "first";
  const char* mediaType = "Plain";
};

GMedia Make(const MediaFields& f) {
  return GMedia(f.name, f.paper, f.printable, f.origin, f.orientation, f.sizeId, f.xResolution, f.yResolution, f.key,
                f.extraValue, f.firstText, f.mediaType);
}

TEST(Media, SameContentComparesEveryFieldAndEachAxisWithItsOwn) {
  struct Case {
    const char* name;
    std::function<void(MediaFields&)> change;
  };
  const Case cases[] = {
      {"name", [](MediaFields& f) { f.name = "Legal"; }},
      {"key", [](MediaFields& f) { f.key = 191; }},
      {"paper_height", [](MediaFields& f) { f.paper.y = 6601; }},
      {"printable_width", [](MediaFields& f) { f.printable.x = 4901; }},
      {"origin_y", [](MediaFields& f) { f.origin.y = 99; }},
      {"orientation", [](MediaFields& f) { f.orientation = 90; }},
      {"resolutions_exchanged", [](MediaFields& f) { std::swap(f.xResolution, f.yResolution); }},
      {"extra_value", [](MediaFields& f) { f.extraValue = 1; }},
      {"first_text", [](MediaFields& f) { f.firstText = nullptr; }},
      {"media_type", [](MediaFields& f) { f.mediaType = "Bond"; }},
      {"size_id", [](MediaFields& f) { f.sizeId = 3; }},
  };
  const GMedia reference = Make({});
  EXPECT_TRUE(Make({}).SameContent(reference));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MediaFields fields;
    c.change(fields);
    const GMedia changed = Make(fields);
    EXPECT_FALSE(changed.SameContent(reference));
    EXPECT_FALSE(reference.SameContent(changed));
  }
}

TEST(Media, RoundTripsWithEveryField) {
  GMedia media("A4", {4960, 7015}, {4760, 6815}, {100, 100}, 270, 9, 600, 1200, 190, 7, "first", "Plain");
  media.NextSerialNumber();
  EXPECT_TRUE(RoundTrips(media));
  EXPECT_TRUE(RoundTrips(GMedia()));
}

TEST(Media, StoresItsFieldsInTheirWidths) {
  GMedia media("A4", {4960, 7015}, {4760, 6815}, {100, 101}, -90, -2, 600, 1200, 190, 7, "f", "Plain");
  const std::string expected = Words({1, 190, media.SerialNumber(), 1, 1}) + Words({1}) + Text("A4") +
                               Shorts({4960, 7015, 4760, 6815, 100, 101}) + Words({static_cast<uint32_t>(-90)}) +
                               Shorts({600, 1200, 7}) + Text("f") + Text("Plain") + Shorts({0xFFFE});
  EXPECT_EQ(SaveContentsToFileBytes(media), expected);
  EXPECT_EQ(media.StoredSize(), expected.size());
  GMedia restored;
  EXPECT_EQ(RestoreContentsFromFileBytes(restored, expected), expected.size());
  EXPECT_TRUE(restored.SameContent(media));
}

TEST(Media, AnotherStoredVersionStopsTheRestoreAndKeepsTheFields) {
  const GMedia letter = Letter();
  const std::string bytes = Words({1, 190, 0, 1, 1}) + Words({2}) + Text("A4") + Shorts({1, 2, 3, 4, 5, 6});
  GMedia media = Letter();
  EXPECT_EQ(RestoreContentsFromFileBytes(media, bytes), Words({1, 190, 0, 1, 1, 2}).size());
  EXPECT_TRUE(media.SameContent(letter));
}

// A stage that records the media handed to it and answers a status of its
// own.
class MediaRecorder : public TestPeripheral {
 public:
  uint16_t ApplyMedia(GMedia& media) override {
    received.push_back(&media);
    return 17;
  }

  std::vector<const GMedia*> received;
};

TEST(Media, SendToHandsTheMediumToTheStagesMediaHandler) {
  MediaRecorder stage;
  GMedia letter = Letter();
  EXPECT_EQ(letter.SendTo(stage), 17);
  EXPECT_EQ(stage.received, std::vector<const GMedia*>{&letter});
}

TEST(Media, NormalizeAngleMapsEveryAngleIntoOneTurn) {
  struct Case {
    const char* name;
    int32_t angle;
    int32_t normal;
  };
  const Case cases[] = {
      {"zero", 0, 0},
      {"quarter_back", -90, 270},
      {"three_quarters_back", -270, 90},
      {"full_turn_back", -360, 0},
      {"one_degree_back", -1, 359},
      {"one_and_a_quarter_turns", 450, 90},
      {"two_turns", 720, 0},
      {"just_below_a_turn", 359, 359},
      {"most_negative", INT32_MIN, 232},
      {"most_positive", INT32_MAX, 127},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(NormalizeAngle(c.angle), c.normal);
  }
}

}  // namespace
