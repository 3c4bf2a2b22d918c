// Restores the colour and graphic attribute classes from arbitrary bytes
// in every store form, then sizes, saves and compares what came back. The
// seeds are one object of each class, with fields and references set, in
// each form.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "graphics/attributes/brush.h"
#include "graphics/attributes/cap.h"
#include "graphics/attributes/fill_mode.h"
#include "graphics/attributes/graphic_bundle.h"
#include "graphics/attributes/joint.h"
#include "graphics/attributes/pen.h"
#include "graphics/attributes/raster_operation.h"
#include "graphics/colour/color_paint.h"
#include "graphics/colour/palette_table.h"
#include "graphics/colour/rgb_color.h"
#include "graphics/testing/graphics_attribute_classes.h"
#include "model/objects/object_ref.h"
#include "model/objects/persistent_object.h"
#include "model/testing/class_restore_fuzzing.h"

namespace {

GColorPaint* Paint(uint8_t red, uint8_t green, uint8_t blue) {
  return new GColorPaint(new GRGBColor(red, green, blue, 255));
}

// One object of every class, with fields set and paints shared.
std::vector<GObjectRef> Samples() {
  std::vector<GObjectRef> samples;
  GColorPaint* red = Paint(255, 0, 0);
  samples.emplace_back(new GPen(3, red, 160));
  samples.emplace_back(new GNoPen);
  samples.emplace_back(new GDashedPen({6, 2, 1, 2}, 2, red, 1, 160));
  samples.emplace_back(new GBrush(Paint(0, 128, 255), 154));
  samples.emplace_back(new GNoBrush);
  samples.emplace_back(new GCap(GCap::kFlat, 166));
  samples.emplace_back(new GJoint(GJoint::kBevel, 172));
  samples.emplace_back(new GMiterJoint(10.5F, 172));
  samples.emplace_back(new GFillMode(GFillMode::kNonZeroWinding, 182));
  samples.emplace_back(new GRasterOperation(GRasterOperation::kPatternCopy, 1, 183));
  samples.emplace_back(red);
  samples.emplace_back(new GRGBColor(1, 2, 3, 255));
  const GRGBColor colors[] = {GRGBColor(0, 0, 0, 255), GRGBColor(128, 128, 128, 255), GRGBColor(255, 0, 0, 255)};
  samples.emplace_back(new GPaletteTable(colors));
  auto* bundle = new GGraphicBundle;
  bundle->SetPen(new GDashedPen({4, 4}, 1, red, 0, 0));
  bundle->SetBrush(new GBrush(red, 0));
  bundle->SetCap(new GCap(GCap::kRound, 0));
  bundle->SetJoint(new GMiterJoint(4, 0));
  bundle->SetFillMode(new GFillMode(GFillMode::kEvenOdd, 0));
  bundle->SetRasterOperation(new GRasterOperation(0xAA, 0, 0));
  samples.emplace_back(bundle);
  return samples;
}

GFuzzSeeds Seeds() { return ClassRestoreSeeds(kGraphicsAttributeClassIDs, Samples()); }

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzClassRestore(kGraphicsAttributeClassIDs, data, size);
  return 0;
}
