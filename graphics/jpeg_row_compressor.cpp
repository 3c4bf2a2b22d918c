#include "graphics/jpeg_row_compressor.h"

#include <algorithm>
#include <csetjmp>
#include <cstring>

#include "graphics/jpeg_destination.h"

namespace {

constexpr int kQuality = 95;
constexpr int16_t kOutputAreaFull = 1;

// The library's error manager first, so that its pointer to it reaches the
// recovery point. The library's own error exit would end the process.
struct ErrorManager {
  jpeg_error_mgr manager;
  std::jmp_buf recovery;
};

[[noreturn]] void ReturnToRecoveryPoint(j_common_ptr common) {
  std::longjmp(reinterpret_cast<ErrorManager*>(common->err)->recovery, 1);
}

}  // namespace

// Zero-initialised, so that destroying it is safe at any point of creation.
struct GJpegRowCompressor::Codec {
  jpeg_compress_struct compressor;
  ErrorManager error;
};

GJpegRowCompressor::GJpegRowCompressor(uint16_t paddingMultiple, int32_t invertFlag)
    : GRowCompressor(paddingMultiple, invertFlag) {}

GJpegRowCompressor::~GJpegRowCompressor() { DestroyCodec(); }

int32_t GJpegRowCompressor::ReadRow(uint8_t*, uint16_t& row, uint32_t& length, uint8_t& repeat, uint8_t& rows) {
  row = rowCounter_;
  if (finished_) {
    length = 0;
    repeat = 1;
    rows = 0;
    return failed_ ? kRowFailed : kRowDelivered;
  }
  if (!IsReady()) return Fail(length, repeat, rows);
  if (!started_) {
    started_ = true;
    codec_ = std::make_unique<Codec>();
    if (!Guarded(&GJpegRowCompressor::StartStep)) return Fail(length, repeat, rows);
  }
  rowsWritten_ = 0;
  if (!Guarded(&GJpegRowCompressor::CompressStep) || !ImageComplete()) return Fail(length, repeat, rows);
  if (!Guarded(&GJpegRowCompressor::FinishStep)) return Fail(length, repeat, rows);
  DestroyCodec();
  finished_ = true;
  row = rowCounter_;
  rows = rowsWritten_;
  length = output_.total;
  repeat = 1;
  return kRowDelivered;
}

int32_t GJpegRowCompressor::Open() { return OpenInput(); }

uint32_t GJpegRowCompressor::GetMaxRowBytes() const { return 0; }

void GJpegRowCompressor::SetOutputBuffer(uint8_t* buffer, uint32_t capacity) {
  output_ = OutputArea{buffer, capacity, 0};
}

int16_t GJpegRowCompressor::AppendToOutputArea(void* context, const uint8_t* bytes, uint32_t count) {
  OutputArea& area = static_cast<GJpegRowCompressor*>(context)->output_;
  if (area.data == nullptr || count > area.capacity - area.total) return kOutputAreaFull;
  std::memcpy(area.data + area.total, bytes, count);
  area.total += count;
  return 0;
}

bool GJpegRowCompressor::Guarded(Step step) {
  // Steps keep no objects with destructors on the stack, so leaving them
  // through the recovery point skips nothing.
  if (setjmp(codec_->error.recovery) != 0) return false;
  (this->*step)();
  return true;
}

void GJpegRowCompressor::StartStep() {
  jpeg_compress_struct& compressor = codec_->compressor;
  compressor.err = jpeg_std_error(&codec_->error.manager);
  codec_->error.manager.error_exit = ReturnToRecoveryPoint;
  jpeg_create_compress(&compressor);

  GRectangle bounds;
  GetBounds(bounds);
  const int components = GetBitsPerPixel() / 8;
  compressor.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&compressor);
  compressor.image_width = static_cast<JDIMENSION>(std::max(bounds.right - bounds.left, 0));
  compressor.image_height = static_cast<JDIMENSION>(std::max(bounds.bottom - bounds.top, 0));
  compressor.input_components = components;
  compressor.data_precision = 8;
  jpeg_default_colorspace(&compressor);
  jpeg_set_quality(&compressor, kQuality, TRUE);
  SetJpegDestination(&compressor, 0, AppendToOutputArea, this);
  jpeg_start_compress(&compressor, TRUE);
}

void GJpegRowCompressor::CompressStep() {
  jpeg_compress_struct& compressor = codec_->compressor;
  JSAMPROW line = const_cast<JSAMPROW>(Input());
  while (compressor.next_scanline < compressor.image_height) {
    ReadSourceRow(lastRow_, lastLength_, lastRepeat_, lastRows_);
    if (lastLength_ == 0) return;
    if (rowCounter_ == 0) rowCounter_ = lastRow_;
    // A row that stands for several device rows is written as often.
    for (uint8_t copy = 0; copy < std::max<uint8_t>(lastRepeat_, 1); ++copy) {
      if (compressor.next_scanline >= compressor.image_height) return;
      if (jpeg_write_scanlines(&compressor, &line, 1) != 1) return;
      ++rowCounter_;
      ++rowsWritten_;
    }
  }
}

void GJpegRowCompressor::FinishStep() { jpeg_finish_compress(&codec_->compressor); }

bool GJpegRowCompressor::ImageComplete() const {
  return codec_->compressor.next_scanline >= codec_->compressor.image_height;
}

int32_t GJpegRowCompressor::Fail(uint32_t& length, uint8_t& repeat, uint8_t& rows) {
  DestroyCodec();
  finished_ = true;
  failed_ = true;
  output_.total = 0;
  length = 0;
  repeat = 1;
  rows = 1;
  return kRowFailed;
}

void GJpegRowCompressor::DestroyCodec() {
  if (!codec_) return;
  jpeg_destroy_compress(&codec_->compressor);
  codec_.reset();
}
