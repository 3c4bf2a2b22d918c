#pragma once

#include <cstdint>
#include <memory>

#include "graphics/row_filter.h"

// Base of the packing stages, the last stage of a row chain. Rows are padded
// with zero bytes to a multiple of the padding multiple (0 and 1 pad nothing);
// with the invert flag every data byte is inverted before packing, padding
// bytes never are.
class GRowCompressor : public GRowFilter {
 public:
  GRowCompressor(uint16_t paddingMultiple, int32_t invertFlag);

 protected:
  uint16_t PaddingMultiple() const { return paddingMultiple_; }
  // Bytes of one source row at the source's depth and width.
  uint32_t SourceRowBytes() const;
  // Zero bytes that bring a row of this many bytes to the padding multiple.
  // Inline, as this and the next run once per row; the usual multiples, powers
  // of two, need no division.
  uint32_t PaddingFor(uint32_t bytes) const {
    const uint32_t multiple = paddingMultiple_;
    if (multiple <= 1) return 0;
    if ((multiple & (multiple - 1)) == 0) return (0u - bytes) & (multiple - 1);
    const uint32_t rest = bytes % multiple;
    return rest == 0 ? 0 : multiple - rest;
  }
  void InvertIfAsked(uint8_t* bytes, uint32_t count) const {
    if (invertFlag_ != 0) Invert(bytes, count);
  }

  // Allocates the input buffer for rows of SourceRowBytes bytes and their
  // padding; answers 0 without a source or memory.
  int32_t OpenInput();
  // Reads the next source row into the input buffer with the caller's
  // arguments. The row becomes exactly RowBytes data bytes (a short row is
  // filled with zeros, so nothing of an earlier row is packed again), inverted
  // when asked, followed by PaddingBytes zeros. Answers what the source
  // answered; length is 0 when there is no row to pack (the source has no more
  // rows, failed, or the stage is not open).
  int32_t ReadSourceRow(uint16_t& row, uint32_t& length, uint8_t& repeat, uint8_t& rows);

  const uint8_t* Input() const { return input_.get(); }
  uint32_t RowBytes() const { return rowBytes_; }
  uint32_t PaddingBytes() const { return paddingBytes_; }

 private:
  static void Invert(uint8_t* bytes, uint32_t count);

  uint16_t paddingMultiple_;
  int32_t invertFlag_;
  std::unique_ptr<uint8_t[]> input_;
  uint32_t rowBytes_ = 0;
  uint32_t paddingBytes_ = 0;
};
