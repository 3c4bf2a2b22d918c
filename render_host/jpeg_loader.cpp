// JPEG files through libjpeg's decompressor: grey images become one grey
// byte a pixel, colour images red, green and blue bytes; CMYK images are
// refused. The library's errors come back here through a recovery point
// instead of ending the process, and data that end before the image does
// fail the load rather than give a partly grey picture.
#include <csetjmp>
#include <cstdio>
#include <string>
#include <vector>

#include <jpeglib.h>

#include <jerror.h>

#include "render_host/image_loader.h"

namespace {

// The library's error manager first, so that its pointer to it reaches the
// recovery point and the message.
struct ErrorManager {
  jpeg_error_mgr manager;
  std::jmp_buf recovery;
  char message[JMSG_LENGTH_MAX];
  bool truncated;
};

[[noreturn]] void ReturnToRecoveryPoint(j_common_ptr common) {
  auto* error = reinterpret_cast<ErrorManager*>(common->err);
  error->manager.format_message(common, error->message);
  std::longjmp(error->recovery, 1);
}

// Warnings are not printed; the ones that say the data ran out mark the
// image as incomplete.
void NoteWarning(j_common_ptr common, int level) {
  auto* error = reinterpret_cast<ErrorManager*>(common->err);
  if (level >= 0) return;
  const int code = error->manager.msg_code;
  if (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER) {
    error->truncated = true;
    error->manager.format_message(common, error->message);
  }
}

// Zero-initialised, so that destroying it is safe at any point of creation.
struct Decoder {
  jpeg_decompress_struct decompressor;
  ErrorManager error;

  ~Decoder() { jpeg_destroy_decompress(&decompressor); }
};

// The steps between a recovery point and the library hold no objects with
// destructors, so leaving them through the recovery point skips nothing.
bool ReadHeader(Decoder& decoder, std::span<const uint8_t> bytes) {
  jpeg_decompress_struct& d = decoder.decompressor;
  if (setjmp(decoder.error.recovery) != 0) return false;
  d.err = jpeg_std_error(&decoder.error.manager);
  decoder.error.manager.error_exit = ReturnToRecoveryPoint;
  decoder.error.manager.emit_message = NoteWarning;
  jpeg_create_decompress(&d);
  jpeg_mem_src(&d, bytes.data(), bytes.size());
  jpeg_read_header(&d, TRUE);
  return true;
}

bool ReadPixels(Decoder& decoder, uint8_t* pixels, size_t rowBytes) {
  jpeg_decompress_struct& d = decoder.decompressor;
  if (setjmp(decoder.error.recovery) != 0) return false;
  d.out_color_space = d.num_components == 1 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_start_decompress(&d);
  while (d.output_scanline < d.output_height) {
    JSAMPROW row = pixels + rowBytes * d.output_scanline;
    // The memory source never suspends; a row that does not come is
    // taken as the end of the data.
    if (jpeg_read_scanlines(&d, &row, 1) != 1) {
      decoder.error.truncated = true;
      return true;
    }
  }
  jpeg_finish_decompress(&d);
  return true;
}

}  // namespace

GLoadedImage LoadJpeg(std::span<const uint8_t> bytes, std::string_view name) {
  Decoder decoder{};
  if (!ReadHeader(decoder, bytes)) return ImageFailure(name, decoder.error.message);
  const jpeg_decompress_struct& d = decoder.decompressor;
  if (d.num_components != 1 && d.num_components != 3) {
    return ImageFailure(name, "JPEG images of " + std::to_string(d.num_components) +
                                  " components are not supported (only grey and colour)");
  }
  const uint32_t bitsPerPixel = 8 * static_cast<uint32_t>(d.num_components);
  if (std::string problem = CheckImageSize(d.image_width, d.image_height, bitsPerPixel); !problem.empty()) {
    return ImageFailure(name, problem);
  }
  const size_t rowBytes = size_t{d.image_width} * static_cast<size_t>(d.num_components);
  std::vector<uint8_t> pixels(rowBytes * d.image_height);
  if (!ReadPixels(decoder, pixels.data(), rowBytes)) return ImageFailure(name, decoder.error.message);
  if (decoder.error.truncated) return ImageFailure(name, std::string("incomplete image: ") + decoder.error.message);

  GBitmapDescription description;
  description.data = pixels.data();
  description.dataSize = static_cast<uint32_t>(pixels.size());
  description.rowAlignment = 1;
  description.bounds = {0, 0, static_cast<int16_t>(d.image_width), static_cast<int16_t>(d.image_height)};
  description.bitsPerComponent = static_cast<uint8_t>(bitsPerPixel);
  description.colorOrder = 1;
  GLoadedImage image;
  image.bitmap = GBitmap(description);
  return image;
}
