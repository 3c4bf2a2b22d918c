#pragma once

#include "graphics/row_filter.h"

// Passes its source's rows through unchanged and places them at a
// destination rectangle of the same size.
class GPlaceRowFilter : public GRowFilter {
 public:
  explicit GPlaceRowFilter(const GRectangle& destination) : destination_(destination) {}

  int32_t ReadRow(uint8_t* buffer, uint16_t& row, uint32_t& length, uint8_t& repeat, uint8_t& rows) override;
  void GetBounds(GRectangle& bounds) const override { bounds = destination_; }

 private:
  GRectangle destination_;
};
