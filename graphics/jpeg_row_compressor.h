#pragma once

#include <cstdint>
#include <memory>

#include "graphics/row_compressor.h"

// Compresses the whole image as one baseline JPEG (quality 95) into the
// output area that the compressor was given, so that compressors at the same
// time, on one thread or several, each fill their own. The first ReadRow
// reads every row of the source's bounds; it delivers no bytes into the
// caller's buffer but reports in length the bytes in the output area. Rows
// of 8 bits per pixel are compressed as grey, rows of 24 bits as RGB.
//
// A failure of the library, an output area without room, or a source that
// ends before the image is complete makes ReadRow answer kRowFailed with
// length 0, repeat and rows 1, and leaves the output area's total at 0, so
// that no partial image is ever taken as the result.
class GJpegRowCompressor : public GRowCompressor {
 public:
  GJpegRowCompressor(uint16_t paddingMultiple, int32_t invertFlag);
  ~GJpegRowCompressor() override;

  int32_t ReadRow(uint8_t* buffer, uint16_t& row, uint32_t& length, uint8_t& repeat, uint8_t& rows) override;
  int32_t Open() override;
  uint32_t GetMaxRowBytes() const override;

  // Where the JPEG bytes go: capacity bytes at buffer. Without an output area
  // the compression fails.
  void SetOutputBuffer(uint8_t* buffer, uint32_t capacity);
  // Bytes written to the output area so far.
  uint32_t GetOutputSize() const { return output_.total; }

 private:
  struct Codec;
  struct OutputArea {
    uint8_t* data = nullptr;
    uint32_t capacity = 0;
    uint32_t total = 0;
  };
  using Step = void (GJpegRowCompressor::*)();

  // Runs one step with the library's errors caught: false when the library
  // reported one.
  bool Guarded(Step step);
  void StartStep();
  void CompressStep();
  void FinishStep();
  bool ImageComplete() const;
  int32_t Fail(uint32_t& length, uint8_t& repeat, uint8_t& rows);
  void DestroyCodec();
  static int16_t AppendToOutputArea(void* context, const uint8_t* bytes, uint32_t count);

  std::unique_ptr<Codec> codec_;
  OutputArea output_;
  uint16_t rowCounter_ = 0;
  uint8_t rowsWritten_ = 0;
  // The last row read from the source.
  uint16_t lastRow_ = 0;
  uint32_t lastLength_ = 0;
  uint8_t lastRepeat_ = 1;
  uint8_t lastRows_ = 1;
  bool started_ = false;
  bool finished_ = false;
  bool failed_ = false;
};
