#pragma once

#include <cstdint>

#include "graphics/row_filter.h"

class GClip;

// Cuts its source's rows to the bounding rectangle of an interior clip:
// drops the rows above it, moves each row left by the pixels before it
// (shifting bits for depths below 8) and masks the bits after it.
class GClipRowFilter : public GRowFilter {
 public:
  // The clip is not owned and must outlive the stage.
  explicit GClipRowFilter(const GClip* clip) : clip_(clip) {}

  int32_t ReadRow(uint8_t* buffer, uint16_t& row, uint32_t& length, uint8_t& repeat, uint8_t& rows) override;
  // Fails when there is nothing to cut: no source or clip, an exterior clip
  // or one without bounds, or a clipped rectangle that is empty or the
  // source's whole bounds.
  int32_t Open() override;
  // One more than the source's: a shifted row reads the byte after it.
  uint32_t GetMaxRowBytes() const override;
  void GetBounds(GRectangle& bounds) const override { bounds = clipped_; }

 private:
  void CutRow(uint8_t* buffer) const;

  const GClip* clip_;
  GRectangle clipped_;
  uint32_t rowsToSkip_ = 0;
  uint16_t pixelsToSkip_ = 0;
  uint8_t bitsPerPixel_ = 0;
  uint8_t bitShift_ = 0;
  uint32_t outputRowBytes_ = 0;
  // 0: the last byte is whole.
  uint8_t lastByteMask_ = 0;
  bool skipped_ = false;
};
