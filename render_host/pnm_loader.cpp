// PNM files: P1 to P3 hold samples as decimal text, P4 to P6 in binary (P4
// one bit a pixel, 1 black; P5 and P6 one byte a sample, two bytes high
// first when the largest value passes 255). Bitmaps, one bit a pixel with a
// white and black palette, one grey byte a pixel, or red, green and blue
// bytes, all rows unpadded; samples are scaled to 0..255.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "graphics/colour/palette_table.h"
#include "render_host/image_loader.h"

namespace {

// Reads the header and the text samples: numbers separated by whitespace
// and '#' comments that run to the end of the line.
class PnmScanner {
 public:
  explicit PnmScanner(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  // The next number (numbers past 32 bits read as the largest 32-bit
  // value), or false at the end of the bytes or on anything else.
  bool Number(uint32_t& value) {
    SkipSpace();
    size_t digits = 0;
    uint64_t number = 0;
    while (at_ < bytes_.size() && IsDigit(bytes_[at_])) {
      number = std::min<uint64_t>(number * 10 + (bytes_[at_++] - '0'), UINT32_MAX);
      ++digits;
    }
    value = static_cast<uint32_t>(number);
    return digits > 0;
  }
  // The next 0 or 1 of a P1 image, where the digits may touch.
  bool Bit(uint32_t& value) {
    SkipSpace();
    if (at_ >= bytes_.size() || (bytes_[at_] != '0' && bytes_[at_] != '1')) return false;
    value = bytes_[at_++] - '0';
    return true;
  }
  // After the header of a binary image: the one whitespace byte that ends it.
  bool EndHeader() {
    if (at_ >= bytes_.size() || !IsSpace(bytes_[at_])) return false;
    ++at_;
    return true;
  }
  std::span<const uint8_t> Rest() const { return bytes_.subspan(at_); }
  void Skip(size_t count) { at_ += count; }

 private:
  static bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }
  static bool IsSpace(uint8_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
  void SkipSpace() {
    while (at_ < bytes_.size()) {
      if (bytes_[at_] == '#') {
        while (at_ < bytes_.size() && bytes_[at_] != '\n') ++at_;
      } else if (IsSpace(bytes_[at_])) {
        ++at_;
      } else {
        return;
      }
    }
  }

  std::span<const uint8_t> bytes_;
  size_t at_ = 0;
};

struct PnmHeader {
  char kind = 0;
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t maxValue = 1;
  uint32_t samplesPerPixel = 1;
  bool text = false;
};

// The bitmap's bytes of a P1 or P4 image, one bit a pixel.
std::string ReadBits(PnmScanner& scanner, const PnmHeader& header, std::vector<uint8_t>& data) {
  const uint64_t rowBytes = (uint64_t{header.width} + 7) / 8;
  if (!header.text) {
    if (scanner.Rest().size() < rowBytes * header.height) return "the pixel data are short";
    data.assign(scanner.Rest().begin(), scanner.Rest().begin() + static_cast<ptrdiff_t>(rowBytes * header.height));
    return {};
  }
  // Every pixel takes at least one character.
  if (scanner.Rest().size() < uint64_t{header.width} * header.height) return "the pixel data are short";
  data.assign(rowBytes * header.height, 0);
  for (uint32_t y = 0; y < header.height; ++y) {
    for (uint32_t x = 0; x < header.width; ++x) {
      uint32_t bit = 0;
      if (!scanner.Bit(bit)) return "pixel " + std::to_string(x) + " of row " + std::to_string(y) + " is not 0 or 1";
      data[y * rowBytes + x / 8] |= static_cast<uint8_t>(bit << (7 - x % 8));
    }
  }
  return {};
}

// The bitmap's bytes of a grey or colour image, every sample scaled to 0..255.
std::string ReadSamples(PnmScanner& scanner, const PnmHeader& header, std::vector<uint8_t>& data) {
  const uint64_t count = uint64_t{header.width} * header.height * header.samplesPerPixel;
  const uint32_t sampleBytes = header.maxValue > 255 ? 2 : 1;
  // A text sample takes at least one character.
  if (scanner.Rest().size() < count * (header.text ? 1 : sampleBytes)) return "the pixel data are short";
  data.resize(count);
  for (uint64_t i = 0; i < count; ++i) {
    uint32_t value = 0;
    if (header.text) {
      if (!scanner.Number(value)) return "sample " + std::to_string(i) + " is missing or not a number";
    } else {
      const std::span<const uint8_t> rest = scanner.Rest();
      value = sampleBytes == 2 ? uint32_t{rest[0]} << 8 | rest[1] : rest[0];
      scanner.Skip(sampleBytes);
    }
    if (value > header.maxValue) {
      return "sample " + std::to_string(i) + " is " + std::to_string(value) + ", above the largest value " +
             std::to_string(header.maxValue);
    }
    data[i] = static_cast<uint8_t>((value * 255 + header.maxValue / 2) / header.maxValue);
  }
  return {};
}

std::string ReadHeader(PnmScanner& scanner, PnmHeader& header) {
  if (!scanner.Number(header.width) || !scanner.Number(header.height)) return "the header has no width and height";
  const bool bilevel = header.kind == '1' || header.kind == '4';
  if (!bilevel && !scanner.Number(header.maxValue)) return "the header has no largest sample value";
  if (header.maxValue == 0 || header.maxValue > 65535) {
    return "the largest sample value " + std::to_string(header.maxValue) + " is not within 1..65535";
  }
  header.text = header.kind <= '3';
  header.samplesPerPixel = header.kind == '3' || header.kind == '6' ? 3 : 1;
  if (!header.text && !scanner.EndHeader()) return "the header does not end in whitespace";
  return CheckImageSize(header.width, header.height, bilevel ? 1 : 8 * header.samplesPerPixel);
}

}  // namespace

GLoadedImage LoadPnm(std::span<const uint8_t> bytes, std::string_view name) {
  if (bytes.size() < 2 || bytes[0] != 'P' || bytes[1] < '1' || bytes[1] > '6') {
    return ImageFailure(name, "not a PNM image (P1 to P6)");
  }
  PnmScanner scanner(bytes.subspan(2));
  PnmHeader header;
  header.kind = static_cast<char>(bytes[1]);
  const bool bilevel = header.kind == '1' || header.kind == '4';
  std::vector<uint8_t> data;
  std::string problem = ReadHeader(scanner, header);
  if (problem.empty()) problem = bilevel ? ReadBits(scanner, header, data) : ReadSamples(scanner, header, data);
  if (!problem.empty()) return ImageFailure(name, problem);

  GBitmapDescription description;
  description.data = data.data();
  description.dataSize = static_cast<uint32_t>(data.size());
  description.rowAlignment = 1;
  description.bounds = {0, 0, static_cast<int16_t>(header.width), static_cast<int16_t>(header.height)};
  description.bitsPerComponent = static_cast<uint8_t>(bilevel ? 1 : 8 * header.samplesPerPixel);
  description.colorOrder = 1;
  // The default palette is white, then black: a set bit is black.
  if (bilevel) description.palette = new GPaletteTable;
  GLoadedImage image;
  image.bitmap = GBitmap(description);
  return image;
}
