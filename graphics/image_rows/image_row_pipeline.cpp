#include "graphics/image_rows/image_row_pipeline.h"

#include "graphics/bitmaps/bitmap.h"
#include "graphics/bitmaps/rectangle_intersection.h"
#include "graphics/clips/clip.h"
#include "graphics/image_rows/bitmap_row_source.h"
#include "graphics/image_rows/clip_row_filter.h"
#include "graphics/image_rows/halftone_row_filter.h"
#include "graphics/image_rows/place_row_filter.h"
#include "graphics/image_rows/scale_row_filter.h"

namespace {

int64_t Area(const GRectangle& r) { return int64_t{r.right - r.left} * (r.bottom - r.top); }

bool SameSize(const GRectangle& a, const GRectangle& b) {
  return a.right - a.left == b.right - b.left && a.bottom - a.top == b.bottom - b.top;
}

struct StageChoice {
  bool sizing = false;
  bool halftone = false;
};

StageChoice ChooseStages(int32_t halftoneMode, int64_t sourceArea, int64_t targetArea, uint32_t bitsPerPixel,
                         bool force) {
  switch (halftoneMode) {
    case GImageRowPipeline::kHalftoneAutomatic:
      return {targetArea < sourceArea || force, false};
    case GImageRowPipeline::kHalftoneAlways:
      return {true, true};
    case GImageRowPipeline::kHalftoneWhenSmaller:
      if (targetArea < sourceArea * bitsPerPixel) return {true, true};
      return {};
    default:
      return {};
  }
}

}  // namespace

GImageRowPipeline::GImageRowPipeline(const GRectangle& source, GRectangle& destination, const GClip* clip,
                                     const GBitmap& bitmap, int32_t mode, int32_t halftoneMode, GDitherMatrix* matrix,
                                     GRowFilter* packing, int32_t forceScaling, GGrayFunction grayFunction) {
  std::unique_ptr<GRowFilter> packingStage(packing);
  GBitmap shared(bitmap);
  shared.SetGrayFunction(grayFunction);
  uint32_t bitsPerPixel = shared.GetBitsPerPixel();
  if ((mode == 0 || mode == 1 || mode == 4) && bitsPerPixel >= 9) bitsPerPixel = 8;
  stages_.push_back(std::make_unique<GBitmapRowSource>(shared, source, mode));

  GRectangle clipBounds;
  const bool clipHasBounds = clip != nullptr && clip->GetBounds(clipBounds) != 0;
  const GRectangle target = clipHasBounds ? IntersectRectangles(destination, clipBounds) : destination;
  const StageChoice choice = ChooseStages(halftoneMode, Area(source), Area(target), bitsPerPixel, forceScaling != 0);

  if (choice.sizing) {
    const bool clipFollows = clip != nullptr;
    if (clipFollows || !SameSize(source, destination))
      Chain(std::make_unique<GScaleRowFilter>(destination));
    else
      Chain(std::make_unique<GPlaceRowFilter>(destination));
    if (clipFollows) {
      if (Chain(std::make_unique<GClipRowFilter>(clip))) {
        destination = target;
      } else if (clipHasBounds && clip->GetRegion() == GClip::kInside && target == GRectangle{}) {
        // The clip hides the whole image: nothing is read.
        destination = target;
        stages_.clear();
        return;
      }
    }
  }
  if (choice.halftone) Chain(std::make_unique<GHalftoneRowFilter>(matrix, grayFunction));
  if (packingStage) Chain(std::move(packingStage));
  source_ = stages_.back().get();
  GRowFilter::Open();
}

GImageRowPipeline::~GImageRowPipeline() {
  // Each stage reads from the one before it: the head goes first.
  while (!stages_.empty()) stages_.pop_back();
}

bool GImageRowPipeline::Chain(std::unique_ptr<GRowFilter> stage) {
  stage->SetSource(stages_.back().get());
  if (stage->Open() == 0) return false;
  stages_.push_back(std::move(stage));
  return true;
}

int32_t GImageRowPipeline::ReadRow(uint8_t* buffer, uint16_t& row, uint32_t& length, uint8_t& repeat, uint8_t& rows) {
  length = 0;
  if (source_ == nullptr) return kRowDelivered;
  return source_->ReadRow(buffer, row, length, repeat, rows);
}
