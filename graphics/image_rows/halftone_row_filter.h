#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/colour/gray_conversion.h"
#include "graphics/colour/palette_table.h"
#include "graphics/row_filter.h"

class GDitherMatrix;

// Halftones its source's rows of 1, 4 or 8 bits per pixel to 1 bit per
// pixel against a dither matrix: a pixel whose grey level is at least its
// cell's threshold becomes white (1), the others black (0). The matrix is
// laid on the page, so its phase follows the source's position; a row that
// stands for several rows is delivered once per row, each against its own
// matrix row.
class GHalftoneRowFilter : public GRowFilter {
 public:
  // The matrix is not owned and must outlive the stage; grayFunction is
  // the job's (null: the standard one).
  GHalftoneRowFilter(GDitherMatrix* matrix, GGrayFunction grayFunction);
  ~GHalftoneRowFilter() override;

  int32_t ReadRow(uint8_t* buffer, uint16_t& row, uint32_t& length, uint8_t& repeat, uint8_t& rows) override;
  // Fails without source or matrix, for an empty matrix or source, and for
  // a source of another depth than 1, 4 or 8 bits per pixel.
  int32_t Open() override;
  uint32_t GetMaxRowBytes() const override { return outputRowBytes_; }
  uint8_t GetBitsPerPixel() const override { return 1; }
  // Black, then white.
  GPaletteTable* GetPalette() const override { return palette_.get(); }

 private:
  // The grey level of every pixel value: the palette's colours, or without
  // palette the values spread over 0 to 255.
  void BuildGrayTable();
  void HalftoneRow(uint16_t row, uint8_t* out);

  GDitherMatrix* matrix_;
  GGrayFunction grayFunction_;
  uint32_t matrixWidth_ = 0;
  uint32_t matrixHeight_ = 0;
  std::array<uint8_t, 256> grayTable_{};
  uint32_t sourceWidth_ = 0;
  uint8_t sourceBitsPerPixel_ = 0;
  uint32_t xPhase_ = 0;
  uint32_t yPhase_ = 0;
  std::unique_ptr<GPaletteTable> palette_;
  std::vector<uint8_t> input_;
  std::vector<uint8_t> thresholds_;
  uint32_t pendingRows_ = 0;
  uint16_t nextRow_ = 0;
  uint32_t outputRowBytes_ = 0;
};
