#include "graphics/testing/png_writer.h"

#include <zlib.h>

#include <fstream>

namespace {

void PutUInt32(std::string& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

// A chunk: length, type, data, and the CRC of type and data.
void PutChunk(std::string& out, const char* type, const std::string& data) {
  PutUInt32(out, static_cast<uint32_t>(data.size()));
  const std::string typed = std::string(type, 4) + data;
  out += typed;
  PutUInt32(out, static_cast<uint32_t>(
                     crc32(0, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size()))));
}

}  // namespace

bool WriteGreyPng(const std::string& path, uint32_t width, uint32_t height, const std::vector<uint8_t>& pixels) {
  if (width == 0 || height == 0 || pixels.size() != static_cast<size_t>(width) * height) return false;
  // Each row starts with its filter type, 0 (none).
  std::string raw;
  for (uint32_t row = 0; row < height; ++row) {
    raw.push_back('\0');
    raw.append(reinterpret_cast<const char*>(&pixels[static_cast<size_t>(row) * width]), width);
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::string packed(packedSize, '\0');
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
                static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION) != Z_OK) {
    return false;
  }
  packed.resize(packedSize);

  std::string header;
  PutUInt32(header, width);
  PutUInt32(header, height);
  // Bit depth 8, colour type 0 (grey), compression, filter and interlace 0.
  header += std::string("\x08\x00\x00\x00\x00", 5);
  std::string png("\x89PNG\r\n\x1a\n", 8);
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", packed);
  PutChunk(png, "IEND", "");
  std::ofstream file(path, std::ios::binary);
  file.write(png.data(), static_cast<std::streamsize>(png.size()));
  return static_cast<bool>(file);
}
