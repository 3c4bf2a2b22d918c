#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/colour/gray_conversion.h"
#include "graphics/row_filter.h"

class GBitmap;
class GClip;
class GDitherMatrix;

// The row chain of one image: reads a part of a bitmap, sizes it to its
// destination, cuts it to the clip, halftones it when asked and packs it
// with the stage the generator supplies. The pipeline is itself a stage
// whose queries answer the chain's last stage; a generator reads as many
// rows as its bounds hold.
class GImageRowPipeline : public GRowFilter {
 public:
  // Halftone modes.
  static constexpr int32_t kHalftoneAutomatic = 0;
  static constexpr int32_t kHalftoneAlways = 1;
  static constexpr int32_t kHalftoneWhenSmaller = 2;

  // source: the part of the bitmap to print. destination: where it goes;
  // replaced by the clipped rectangle when the rows are cut to the clip
  // (all zeros when an interior clip leaves nothing of it). clip and
  // matrix may be null and must outlive the pipeline. packing is taken
  // over (null: none). mode: the scan-line mode of the rows.
  GImageRowPipeline(const GRectangle& source, GRectangle& destination, const GClip* clip, const GBitmap& bitmap,
                    int32_t mode, int32_t halftoneMode, GDitherMatrix* matrix, GRowFilter* packing,
                    int32_t forceScaling, GGrayFunction grayFunction);
  ~GImageRowPipeline() override;

  // Length 0 when the clip leaves nothing to print.
  int32_t ReadRow(uint8_t* buffer, uint16_t& row, uint32_t& length, uint8_t& repeat, uint8_t& rows) override;

 private:
  // Opens the stage over the chain's head and makes it the head; a stage
  // that does not open is deleted. Answers whether it was kept.
  bool Chain(std::unique_ptr<GRowFilter> stage);

  // From the bitmap source to the head.
  std::vector<std::unique_ptr<GRowFilter>> stages_;
};
