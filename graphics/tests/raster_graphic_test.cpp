// Tests of images: the visible part under a clip, shared bitmap bodies,
// owning pixel data and the stored form.
#include "graphics/display/raster_graphic.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "graphics/attributes/graphic_bundle.h"
#include "graphics/clips/clip.h"
#include "graphics/display/rectangle_graphic.h"
#include "graphics/tests/display_samples.h"
#include "graphics/tests/stored_parts.h"
#include "model/testing/round_trip.h"

namespace {

// A 4 x 2 image of 8-bit pixels, owning a copy of the data unless told.
GBitmap Image(const std::vector<uint8_t>& data, bool owns = true) {
  GBitmapDescription d;
  d.ownsData = owns;
  d.data = data.data();
  d.dataSize = static_cast<uint32_t>(data.size());
  d.rowAlignment = 1;
  d.bounds = {0, 0, 4, 2};
  return GBitmap(d);
}

const std::vector<uint8_t> kPixels = {1, 2, 3, 4, 5, 6, 7, 8};

GPathGraphic* PathOf(const GRectangle& r) {
  auto* path = new GPathGraphic;
  path->AddChild(new GRectangleGraphic(r, nullptr, 0));
  return path;
}

TEST(RasterGraphic, VisibleArea) {
  struct Case {
    const char* name;
    GRectangle source;
    GRectangle destination;
    std::function<GClip*()> clip;  // null: no clip
    int32_t answer;
    GRectangle visibleSource;
    GRectangle visibleDestination;
  };
  const GRectangle s = Rect(0, 0, 100, 100);
  const GRectangle d = Rect(0, 0, 200, 200);
  const auto single = [](GRectangle r) { return [r] { return new GClipToSingleRectangle(r, 0, 0, 0); }; };
  // clang-format off
  const Case cases[] = {
      {"no_clip",                     s, d, nullptr,                                             1, s, d},
      {"empty_source",                Rect(5, 5, 5, 9), d, nullptr,                              1, {}, {}},
      {"empty_destination",           s, Rect(0, 3, 200, 3), single(Rect(50, 50, 150, 150)),    1, {}, {}},
      {"clip_without_bounds",         s, d, [] { return new GClipToPage; },                      1, s, d},
      {"clip_holding_the_destination", s, d, single(Rect(-5, -5, 300, 300)),                     1, s, d},
      {"clip_in_the_middle",          s, d, single(Rect(50, 50, 150, 150)),                      1, Rect(25, 25, 75, 75), Rect(50, 50, 150, 150)},
      {"clip_that_misses",            s, d, single(Rect(300, 300, 400, 400)),                    1, {}, {}},
      {"clip_that_only_touches",      s, d, single(Rect(200, 0, 250, 200)),                      1, {}, {}},
      {"moved_source_and_destination", Rect(10, 20, 110, 120), Rect(1000, 2000, 1200, 2200),
                                      single(Rect(1050, 1900, 1150, 2100)),                       1, Rect(35, 20, 85, 70), Rect(1050, 2000, 1150, 2100)},
      {"rounding_widens_to_whole_pixels", Rect(0, 0, 3, 3), Rect(0, 0, 10, 10), single(Rect(1, 1, 5, 5)),
                                                                                                  0, Rect(0, 0, 2, 2), Rect(0, 0, 6, 6)},
      {"path_clip_leaves_it_to_the_device", s, d, [] { return new GClipToPath(PathOf(Rect(50, 50, 150, 150)), 0, 0, 0); },
                                                                                                  1, s, d},
      {"missing_path_clip_leaves_it_to_the_device", s, d, [] { return new GClipToPath(PathOf(Rect(300, 300, 400, 400)), 0, 0, 0); },
                                                                                                  1, s, d},
      {"rectangle_list_leaves_it_to_the_device", s, d, [] { return new GClipToRectangle(Rect(50, 50, 150, 150), 0, 0, 0); },
                                                                                                  1, s, d},
      // The largest lengths: every product stays within 32 unsigned bits.
      {"largest_lengths", Rect(-32768, -32768, 32767, 32767), Rect(-32768, -32768, 32767, 32767),
                          single(Rect(-32767, 0, 32767, 1)),                                        1,
                          Rect(-32767, 0, 32767, 1), Rect(-32767, 0, 32767, 1)},
      {"tiny_source_on_a_large_page", Rect(0, 0, 1, 1), Rect(-32768, -32768, 32767, 32767),
                                      single(Rect(0, 0, 10, 10)),                                  0,
                                      Rect(0, 0, 1, 1), Rect(-32768, -32768, 32767, 32767)},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const GRasterGraphic raster(Image(kPixels), c.source, c.destination, GBitmap(), nullptr);
    const std::unique_ptr<GClip> clip(c.clip ? c.clip() : nullptr);
    GRectangle visibleSource = Rect(9, 9, 9, 9);
    GRectangle visibleDestination = Rect(9, 9, 9, 9);
    EXPECT_EQ(raster.ComputeVisibleArea(clip.get(), visibleSource, visibleDestination), c.answer);
    EXPECT_EQ(visibleSource, c.visibleSource);
    EXPECT_EQ(visibleDestination, c.visibleDestination);
  }
}

TEST(RasterGraphic, CopiesShareTheBitmapBodies) {
  const GRasterGraphic raster(Image(kPixels), Rect(0, 0, 4, 2), Rect(10, 10, 50, 30), Image(kPixels), nullptr, 3);
  const std::unique_ptr<GRasterGraphic> clone(static_cast<GRasterGraphic*>(raster.Clone()));
  EXPECT_EQ(clone->GetBitmap().GetBody(), raster.GetBitmap().GetBody());
  EXPECT_EQ(clone->GetSecondBitmap().GetBody(), raster.GetSecondBitmap().GetBody());
  EXPECT_EQ(clone->GetFirstRectangle(), Rect(0, 0, 4, 2));
  EXPECT_EQ(clone->GetSecondRectangle(), Rect(10, 10, 50, 30));
  EXPECT_TRUE(clone->SameContent(raster));
  EXPECT_EQ(raster.IsPreScaled(), 0);
  EXPECT_EQ(GPreScaledRasterGraphic().IsPreScaled(), 1);
}

// Run under the address sanitizer, an image that still read the caller's
// pixels after OwnData would be caught reading freed memory.
TEST(RasterGraphic, OwnDataCopiesTheCallersPixels) {
  auto pixels = std::make_unique<std::vector<uint8_t>>(kPixels);
  GRasterGraphic raster(Image(*pixels, false), Rect(0, 0, 4, 2), Rect(0, 0, 4, 2), Image(*pixels, false), nullptr);
  raster.OwnData();
  pixels.reset();
  for (const GBitmap& bitmap : {raster.GetBitmap(), raster.GetSecondBitmap()}) {
    ASSERT_EQ(bitmap.GetDataSize(), kPixels.size());
    EXPECT_EQ(std::vector<uint8_t>(bitmap.GetData(), bitmap.GetData() + kPixels.size()), kPixels);
  }
}

TEST(RasterGraphic, Equality) {
  const auto sample = [](int variant) {
    std::vector<uint8_t> other = kPixels;
    other[7] = 9;
    return GRasterGraphic(Image(variant == 1 ? other : kPixels), Rect(0, 0, 4, 2),
                          variant == 2 ? Rect(0, 0, 4, 3) : Rect(0, 0, 8, 4), Image(variant == 3 ? other : kPixels),
                          nullptr);
  };
  const GRasterGraphic reference = sample(0);
  EXPECT_TRUE(reference.SameContent(sample(0)));
  for (int variant : {1, 2, 3}) {
    SCOPED_TRACE(variant);
    EXPECT_FALSE(reference.SameContent(sample(variant)));
  }
  const GPreScaledRasterGraphic preScaled(Image(kPixels), Rect(0, 0, 4, 2), Rect(0, 0, 8, 4), Image(kPixels), nullptr);
  EXPECT_FALSE(reference.SameContent(preScaled));
}

TEST(RasterGraphic, BothClassesRoundTrip) {
  auto* bundle = new GGraphicBundle;
  std::vector<GObjectRef> samples;
  samples.emplace_back(new GRasterGraphic(Image(kPixels), Rect(0, 0, 4, 2), Rect(-10, 10, 50, 30), GBitmap(), bundle));
  samples.emplace_back(
      new GPreScaledRasterGraphic(Image(kPixels), Rect(1, 0, 3, 2), Rect(0, 0, 2, 2), Image(kPixels), bundle, 7));
  samples.emplace_back(new GRasterGraphic);
  for (const GObjectRef& sample : samples) {
    SCOPED_TRACE(sample->ClassID());
    EXPECT_TRUE(RoundTrips(*sample));
  }
}

// The image's own part: versions, a null image, both rectangles, a null
// second bitmap. A pre-scaled image stores exactly the same part.
TEST(RasterGraphic, StoredForm) {
  for (const bool preScaled : {false, true}) {
    SCOPED_TRACE(preScaled ? "pre_scaled" : "plain");
    const GRectangle source = Rect(1, 2, 3, 4);
    const GRectangle destination = Rect(-1, 0x100, 7, 8);
    std::unique_ptr<GRasterGraphic> raster(
        preScaled ? new GPreScaledRasterGraphic(GBitmap(), source, destination, GBitmap(), nullptr, 6)
                  : new GRasterGraphic(GBitmap(), source, destination, GBitmap(), nullptr, 6));
    const auto nullBitmap = [](const GBitmap& bitmap) {
      return Shorts({kGBitmapClassID}) + Words({1, 0, bitmap.SerialNumber(), 1}) + kNilObject;
    };
    const std::string stored =
        Graph(raster->ClassID(), Words({1, 6, raster->SerialNumber(), 1}) + kNilObject + Words({1, 1}) +
                                     nullBitmap(raster->GetBitmap()) + Shorts({1, 2, 3, 4, 0xFFFF, 0x100, 7, 8}) +
                                     nullBitmap(raster->GetSecondBitmap()));
    EXPECT_EQ(SaveGraph(StoreForm::kFile, raster.get()), stored);
  }
}

}  // namespace
