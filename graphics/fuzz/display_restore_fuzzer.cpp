// Restores the graphic classes from arbitrary bytes in every store form,
// makes each own its data, asks shapes and paths for their bounds and
// images for their visible part, then sizes, saves and compares what came
// back. The seeds are one object of each class, with its fields set, in
// each form.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "graphics/attributes/graphic_bundle.h"
#include "graphics/clips/clip.h"
#include "graphics/display/path_graphic.h"
#include "graphics/display/poly_bezier_graphic.h"
#include "graphics/display/polygon_graphic.h"
#include "graphics/display/raster_graphic.h"
#include "graphics/display/rectangle_graphic.h"
#include "graphics/display/text_string_graphic.h"
#include "graphics/fonts/testing/test_font.h"
#include "graphics/testing/display_classes.h"
#include "model/objects/object_ref.h"
#include "model/testing/class_restore_fuzzing.h"

namespace {

// What drawing a restored graphic reads: owned points and pixels, bounds,
// the visible part of an image.
void Use(MPersistentObject& object) {
  auto& graphic = static_cast<GGraphic&>(object);
  graphic.OwnData();
  GRectangle bounds;
  if (graphic.IsKindOf(kGPathGraphicClassID)) static_cast<GPathGraphic&>(graphic).GetBounds(bounds);
  if (graphic.IsKindOf(kGShapeGraphicClassID)) static_cast<GShapeGraphic&>(graphic).GetBounds();
  if (graphic.IsKindOf(kGRasterGraphicClassID)) {
    const GClipToSingleRectangle clip(GRectangle{-100, 7, 300, 900}, 0, 0, 0);
    GRectangle destination;
    static_cast<GRasterGraphic&>(graphic).ComputeVisibleArea(&clip, bounds, destination);
  }
}

GBitmap Image() {
  static const uint8_t kPixels[] = {1, 2, 3, 4, 5, 6, 7, 8};
  GBitmapDescription d;
  d.data = kPixels;
  d.dataSize = sizeof kPixels;
  d.rowAlignment = 1;
  d.bounds = {0, 0, 4, 2};
  return GBitmap(d);
}

// One object of every graphic class, each with its fields set.
std::vector<GObjectRef> Samples() {
  const std::vector<GPoint> points = {{1, 1}, {5, -1}, {9, 4}, {2, 8}};
  auto* bundle = new GGraphicBundle;
  bundle->SetClip(new GClipToSingleRectangle(GRectangle{0, 0, 50, 50}, 0, 0, 0));
  std::vector<GObjectRef> samples;
  auto* rectangle = new GRectangleGraphic(GRectangle{1, 2, 30, 40}, bundle, 1);
  auto* polygon = new GPolygonGraphic(GPointArray(std::vector<GPoint>(points)), bundle, 2);
  auto* curve = new GPolyBezierGraphic(GPointArray(std::vector<GPoint>(points)), nullptr, 3);
  curve->SetCornerSize({3, 4});
  auto* nested = new GPathGraphic(nullptr, 0);
  nested->AddChild(curve);
  nested->SetClosed();
  auto* path = new GPathGraphic(bundle, 4);
  path->AddChild(rectangle);
  path->AddChild(polygon);
  path->AddChild(nested);
  auto* list = new GGraphicComposite(bundle, 5);
  list->AddChild(path);
  list->AddChild(new GRasterGraphic(Image(), GRectangle{0, 0, 4, 2}, GRectangle{0, 0, 40, 20}, GBitmap(), bundle));
  static const uint8_t kText[] = {0x82, 0xA0, 0x41};
  static const int16_t kAdvances[] = {10, 12, 7};
  auto* text = new GTextStringGraphic(nullptr, 17, kText, kAdvances, 5, 3, 0x00200010, nullptr, bundle);
  text->SetFont(new TestFont(new TestFontImp(GFontInfo{})));
  for (MPersistentObject* sample : std::initializer_list<MPersistentObject*>{
           rectangle, polygon, curve, path, list,
           new GPreScaledRasterGraphic(Image(), GRectangle{1, 0, 3, 2}, GRectangle{5, 5, 7, 7}, Image(), nullptr, 6),
           text}) {
    samples.emplace_back(sample);
  }
  return samples;
}

GFuzzSeeds Seeds() { return ClassRestoreSeeds(kDisplayClassIDs, Samples()); }

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzClassRestore(kDisplayClassIDs, data, size, Use);
  return 0;
}
