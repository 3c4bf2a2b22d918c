#pragma once

#include <cstdint>
#include <vector>

#include "graphics/row_filter.h"

// Resamples its source's rows, nearest neighbour, from the source's bounds
// to a destination rectangle. Rows are dropped or repeated vertically (a
// repeated row is delivered once with its repeat count) and pixels dropped
// or repeated horizontally; rows of 1, 4, 8 and 24 bits per pixel can be
// resampled horizontally.
class GScaleRowFilter : public GRowFilter {
 public:
  explicit GScaleRowFilter(const GRectangle& destination);

  // A source row of length 0 stands as a full row of the source's maximum.
  int32_t ReadRow(uint8_t* buffer, uint16_t& row, uint32_t& length, uint8_t& repeat, uint8_t& rows) override;
  // count output rows.
  void SkipRows(uint32_t count) override;
  // Fails without source, for an empty source or destination, or for a
  // width change at a depth that cannot be resampled.
  int32_t Open() override;
  uint32_t GetMaxRowBytes() const override;
  void GetBounds(GRectangle& bounds) const override { bounds = destination_; }

 private:
  // How many output rows the next source row stands for, skipping the
  // source rows that shrinking drops.
  uint32_t VerticalStep();
  void ResampleRow(const uint8_t* in, uint8_t* out) const;
  void ResamplePackedRow(const uint8_t* in, uint8_t* out) const;
  void ResampleColorRow(const uint8_t* in, uint8_t* out) const;

  GRectangle destination_;
  int32_t sourceWidth_ = 0;
  int32_t sourceHeight_ = 0;
  int32_t destinationWidth_ = 0;
  int32_t destinationHeight_ = 0;
  bool scalesHorizontally_ = false;
  bool scalesVertically_ = false;
  bool shrinksHorizontally_ = false;
  bool shrinksVertically_ = false;
  int32_t verticalAccumulator_ = 0;
  uint16_t outputRow_ = 0;
  uint8_t bitsPerPixel_ = 0;
  uint32_t outputRowBytes_ = 0;
  uint32_t sourceMaxRowBytes_ = 0;
  // The source row, when it is resampled horizontally.
  std::vector<uint8_t> sourceRow_;
  // A row that stands for more output rows than one repeat count holds is
  // kept and delivered again for the rest.
  std::vector<uint8_t> heldRow_;
  uint32_t heldLength_ = 0;
  uint32_t heldRepeats_ = 0;
};
