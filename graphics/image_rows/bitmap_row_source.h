#pragma once

#include <cstdint>
#include <memory>

#include "graphics/bitmaps/bitmap.h"
#include "graphics/row_filter.h"

class GPaletteTable;

// The first stage of an image's row chain: reads the rows of a part of a
// bitmap in the pixel format of a scan-line mode. Modes 0, 1 and 4 give grey
// (images of 24 bits per pixel become one grey byte per pixel; other depths
// come as stored, with their palette); 2 colour as blue, green, red; 3 as
// red, green, blue. Mode 1 delivers the inverse image (grey bytes inverted,
// or the palette inverted); mode 4 inverts every delivered byte.
class GBitmapRowSource : public GRowFilter {
 public:
  // rectangle: the part of the image, in pixels from its left edge and top
  // row. The bitmap's body is shared for the stage's life.
  GBitmapRowSource(const GBitmap& bitmap, const GRectangle& rectangle, int32_t mode);
  ~GBitmapRowSource() override;

  // Past the rectangle's bottom (or for a row the bitmap cannot deliver)
  // the length is 0.
  int32_t ReadRow(uint8_t* buffer, uint16_t& row, uint32_t& length, uint8_t& repeat, uint8_t& rows) override;
  void SkipRows(uint32_t count) override;
  // The span's bytes at the image's own depth, which a grey conversion of
  // colour rows needs as room too.
  uint32_t GetMaxRowBytes() const override;
  void GetBounds(GRectangle& bounds) const override { bounds = rectangle_; }
  uint8_t GetBitsPerPixel() const override { return bitsPerPixel_; }
  // None for grey-converted rows; the inverted palette in mode 1.
  GPaletteTable* GetPalette() const override;

 private:
  bool InvertsBytes() const;

  GBitmap bitmap_;
  GRectangle rectangle_;
  int32_t mode_;
  int32_t currentRow_;
  uint8_t bitsPerPixel_;
  bool grayConversion_ = false;
  uint16_t rowCounter_ = 0;
  std::unique_ptr<GPaletteTable> invertedPalette_;
};
