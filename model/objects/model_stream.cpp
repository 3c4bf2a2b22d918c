#include "model/objects/model_stream.h"

#include <fstream>
#include <ios>

#include "foundation/binary_stream.h"
#include "foundation/endian_stream.h"
#include "foundation/memory_byte_channel.h"
#include "foundation/text_stream.h"
#include "platform/file_path.h"

namespace {

std::unique_ptr<GVirtualInStream> NewInStream(uint32_t format, GByteChannel* channel) {
  switch (format) {
    case kTextStreamFormat:
      return std::make_unique<GTextInStream>(channel);
    case kBinaryStreamFormat:
      return std::make_unique<GBinaryInStream>(channel);
    case kEndianStreamFormat:
      return std::make_unique<GEndianInStream>(channel);
    default:
      return nullptr;
  }
}

std::unique_ptr<GVirtualOutStream> NewOutStream(uint32_t format, GByteChannel* channel) {
  switch (format) {
    case kTextStreamFormat:
      return std::make_unique<GTextOutStream>(channel);
    case kBinaryStreamFormat:
      return std::make_unique<GBinaryOutStream>(channel);
    case kEndianStreamFormat:
      // The writer records the machine's own byte order.
      return std::make_unique<GEndianOutStream>(channel);
    default:
      return nullptr;
  }
}

// The name goes to the file system in its own form, so names outside the
// narrow code page open too.
std::unique_ptr<GByteChannel> OpenFile(const RWWString& path, std::ios::openmode mode) {
  auto file = std::make_unique<std::filebuf>();
  file->open(platform::ToFilePath(path.Data(), path.Length()), mode | std::ios::binary);
  return file;
}

uint32_t PositionOf(GByteChannel& channel, std::ios::openmode which) {
  const std::streamoff position = channel.pubseekoff(0, std::ios::cur, which);
  return position < 0 ? 0 : static_cast<uint32_t>(position);
}

}  // namespace

GInputStream::GInputStream(const void* buffer, uint32_t length, uint32_t format)
    : channel_(std::make_unique<GMemoryByteChannel>(buffer, length)), stream_(NewInStream(format, channel_.get())) {}

GInputStream::GInputStream(const RWWString& path, uint32_t format)
    : channel_(OpenFile(path, std::ios::in)), stream_(NewInStream(format, channel_.get())) {}

GInputStream::~GInputStream() = default;

uint32_t GInputStream::Position() const { return PositionOf(*channel_, std::ios::in); }

GOutputStream::GOutputStream(void* buffer, uint32_t length, uint32_t format)
    : channel_(std::make_unique<GMemoryByteChannel>(buffer, length, GMemoryByteChannel::kForWriting)),
      stream_(NewOutStream(format, channel_.get())) {}

GOutputStream::GOutputStream(const RWWString& path, uint32_t format)
    : channel_(OpenFile(path, std::ios::out | std::ios::trunc)), stream_(NewOutStream(format, channel_.get())) {}

GOutputStream::~GOutputStream() = default;

uint32_t GOutputStream::Position() const { return PositionOf(*channel_, std::ios::out); }

void GOutputStream::Seek(uint32_t position) { channel_->pubseekpos(position, std::ios::out); }
