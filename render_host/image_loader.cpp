#include "render_host/image_loader.h"

#include <algorithm>
#include <fstream>
#include <vector>

namespace {

bool StartsWith(std::span<const uint8_t> bytes, std::initializer_list<uint8_t> prefix) {
  return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

}  // namespace

GLoadedImage ImageFailure(std::string_view name, std::string_view what) {
  GLoadedImage image;
  image.error.append(name).append(": ").append(what);
  return image;
}

std::string CheckImageSize(uint64_t width, uint64_t height, uint32_t bitsPerPixel) {
  if (width == 0 || height == 0)
    return "the image has no pixels (" + std::to_string(width) + " x " + std::to_string(height) + ")";
  if (width > kMaxImageSide || height > kMaxImageSide) {
    return "the image is " + std::to_string(width) + " x " + std::to_string(height) + " pixels; at most " +
           std::to_string(kMaxImageSide) + " are allowed on each side";
  }
  // Rows padded to 4 bytes, the widest any loader stores.
  const uint64_t rowBytes = (width * bitsPerPixel + 31) / 32 * 4;
  if (rowBytes * height > kMaxImageBytes) {
    return "the image would take " + std::to_string(rowBytes * height) + " bytes; at most " +
           std::to_string(kMaxImageBytes) + " are allowed";
  }
  return {};
}

GLoadedImage LoadImage(std::span<const uint8_t> bytes, std::string_view name) {
  if (StartsWith(bytes, {'B', 'M'})) return LoadBmp(bytes, name);
  if (bytes.size() >= 2 && bytes[0] == 'P' && bytes[1] >= '1' && bytes[1] <= '6') return LoadPnm(bytes, name);
  if (StartsWith(bytes, {0xFF, 0xD8, 0xFF})) return LoadJpeg(bytes, name);
  return ImageFailure(name, "not a BMP, PNM or JPEG image");
}

GLoadedImage LoadImageFile(const std::filesystem::path& file) {
  const std::string name = file.string();
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) {
    return ImageFailure(name, std::filesystem::exists(file, error) ? "not a plain file" : "no such file");
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) return ImageFailure(name, "cannot open the file");
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0) return ImageFailure(name, "cannot read the file");
  if (static_cast<uint64_t>(size) > kMaxImageFileBytes) {
    return ImageFailure(name, "the file is larger than " + std::to_string(kMaxImageFileBytes) + " bytes");
  }
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  in.seekg(0);
  if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) return ImageFailure(name, "cannot read the file");
  return LoadImage(bytes, name);
}
