#pragma once

#include <cstdint>

#include "graphics/rectangle.h"

class GPaletteTable;

// One stage of an image's row chain. Each stage pulls rows from the stage
// before it (its source) and hands transformed rows to the stage after it;
// the last stage packs rows into the form the page-description language
// wants. Stages do not own their source.
class GRowFilter {
 public:
  // What ReadRow answers when a row was delivered, and when the stage failed
  // and delivers nothing more that can be used.
  static constexpr int32_t kRowDelivered = 0;
  static constexpr int32_t kRowFailed = -1;

  GRowFilter() = default;
  GRowFilter(const GRowFilter&) = delete;
  GRowFilter& operator=(const GRowFilter&) = delete;
  virtual ~GRowFilter() = default;

  // Delivers the next row into buffer, which holds at least GetMaxRowBytes
  // bytes. row: its number, counted from 0 at the top of the bounds; length:
  // bytes delivered (0 from a reading stage: no more rows; from a packing
  // stage: the row needs no bytes); repeat: how many successive device rows
  // the row stands for; rows: how many rows the delivered bytes cover.
  virtual int32_t ReadRow(uint8_t* buffer, uint16_t& row, uint32_t& length, uint8_t& repeat, uint8_t& rows) = 0;
  virtual void SkipRows(uint32_t count);
  // Prepares the stage for reading; a stage that answers 0 is not used.
  virtual int32_t Open();
  // The remaining queries answer the source's values (zero without a source).
  virtual uint32_t GetMaxRowBytes() const;
  virtual void GetBounds(GRectangle& bounds) const;
  virtual uint8_t GetBitsPerPixel() const;
  virtual GPaletteTable* GetPalette() const;

  void SetSource(GRowFilter* source) { source_ = source; }

 protected:
  bool IsReady() const { return ready_ != 0; }

  GRowFilter* source_ = nullptr;

 private:
  int32_t ready_ = 0;
};
