#include "graphics/jpeg_destination.h"

#include <jerror.h>

namespace {

constexpr size_t kBlockBytes = 4096;

// The library's destination manager first, so that the library's pointer to
// it is a pointer to the whole.
struct JpegDestination {
  jpeg_destination_mgr manager;
  uint32_t userValue;
  JOCTET* buffer;
  int16_t status;
  JpegWriteFunction write;
  void* context;
};

JpegDestination* DestinationOf(j_compress_ptr compressor) {
  return reinterpret_cast<JpegDestination*>(compressor->dest);
}

void StartBlock(JpegDestination* destination) {
  destination->manager.next_output_byte = destination->buffer;
  destination->manager.free_in_buffer = kBlockBytes;
}

// A refused write ends the compression through the library's error exit.
void Write(j_compress_ptr compressor, size_t count) {
  JpegDestination* destination = DestinationOf(compressor);
  destination->status = destination->write(destination->context, destination->buffer, static_cast<uint32_t>(count));
  if (destination->status != 0) ERREXIT(compressor, JERR_FILE_WRITE);
}

void InitDestination(j_compress_ptr compressor) {
  JpegDestination* destination = DestinationOf(compressor);
  destination->buffer = static_cast<JOCTET*>(
      (*compressor->mem->alloc_small)(reinterpret_cast<j_common_ptr>(compressor), JPOOL_IMAGE, kBlockBytes));
  StartBlock(destination);
}

boolean EmptyOutputBuffer(j_compress_ptr compressor) {
  Write(compressor, kBlockBytes);
  StartBlock(DestinationOf(compressor));
  return TRUE;
}

void TermDestination(j_compress_ptr compressor) {
  const size_t count = kBlockBytes - DestinationOf(compressor)->manager.free_in_buffer;
  if (count > 0) Write(compressor, count);
}

}  // namespace

void SetJpegDestination(j_compress_ptr compressor, uint32_t userValue, JpegWriteFunction write, void* context) {
  if (compressor->dest == nullptr) {
    compressor->dest = static_cast<jpeg_destination_mgr*>((*compressor->mem->alloc_small)(
        reinterpret_cast<j_common_ptr>(compressor), JPOOL_PERMANENT, sizeof(JpegDestination)));
  } else if (compressor->dest->init_destination != InitDestination) {
    // Another kind of destination is installed: reusing its block would
    // write past it, as the library's own destinations refuse to.
    ERREXIT(compressor, JERR_BUFFER_SIZE);
  }
  JpegDestination* destination = DestinationOf(compressor);
  destination->manager.init_destination = InitDestination;
  destination->manager.empty_output_buffer = EmptyOutputBuffer;
  destination->manager.term_destination = TermDestination;
  destination->userValue = userValue;
  destination->buffer = nullptr;
  destination->status = 0;
  destination->write = write;
  destination->context = context;
}
