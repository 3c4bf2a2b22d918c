#include "graphics/bitmaps/bitmap.h"

#include <algorithm>
#include <vector>

#include "foundation/class_registrar.h"
#include "graphics/colour/palette_table.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GBitmap>, kGBitmapClassID, kGBitmapClassName);

// Images with more pixels than this keep their colours.
constexpr uint64_t kLargestReduced = 0x7FFF;
constexpr size_t kPaletteSize = 256;

// An owned image of width x height pixels from pixels (rows of whole bytes,
// alignment 1) with its palette.
GBitmap IndexedImage(std::vector<uint8_t>& pixels, uint8_t bits, uint32_t width, uint32_t height,
                     GPaletteTable* palette) {
  GBitmapDescription description;
  description.data = pixels.data();
  description.dataSize = static_cast<uint32_t>(pixels.size());
  description.rowAlignment = 1;
  description.bounds = {0, 0, static_cast<int16_t>(width), static_cast<int16_t>(height)};
  description.bitsPerComponent = bits;
  description.colorOrder = 1;
  description.palette = palette;
  return GBitmap(description);
}

// Each pixel as an index into a palette of at most 256 distinct colours,
// row after row; false when there are more colours.
bool IndexColors(const GBitmapImp& body, std::vector<uint8_t>& indices, std::vector<GRGBColor>& colors) {
  const uint32_t width = body.GetWidth();
  std::vector<uint8_t> row(uint64_t{width} * 3);
  for (uint32_t y = 0; y < body.GetHeight(); ++y) {
    body.GetScanLine(row, 0, static_cast<int32_t>(width), static_cast<int32_t>(y), GBitmapImp::kColorBGR);
    for (uint32_t x = 0; x < width; ++x) {
      const GRGBColor color(row[3 * x + 2], row[3 * x + 1], row[3 * x], 255);
      auto found = std::find_if(colors.begin(), colors.end(), [&color](const GRGBColor& held) {
        return held.GetRed() == color.GetRed() && held.GetGreen() == color.GetGreen() &&
               held.GetBlue() == color.GetBlue();
      });
      if (found == colors.end()) {
        if (colors.size() == kPaletteSize) return false;
        colors.push_back(color);
        found = colors.end() - 1;
      }
      indices.push_back(static_cast<uint8_t>(found - colors.begin()));
    }
  }
  return true;
}

// The 8-bit image at one bit per pixel: a 1 for every index but 0.
GBitmap TwoColorImage(const GBitmapImp& body) {
  const uint32_t width = body.GetWidth();
  const uint32_t height = body.GetHeight();
  const uint32_t rowBytes = (width + 7) / 8;
  std::vector<uint8_t> bits(uint64_t{rowBytes} * height, 0);
  std::vector<uint8_t> row(width);
  for (uint32_t y = 0; y < height; ++y) {
    body.GetScanLine(row, 0, static_cast<int32_t>(width), static_cast<int32_t>(y), GBitmapImp::kColorBGR);
    for (uint32_t x = 0; x < width; ++x) {
      if (row[x] != 0) bits[uint64_t{y} * rowBytes + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
  }
  return IndexedImage(bits, 1, width, height, new GPaletteTable(*body.GetPalette()));
}

}  // namespace

GBitmap::GBitmap(const GBitmapDescription& description) : body_(new GBitmapImp(description)) {}

void GBitmap::SetPalette(GPaletteTable* palette) {
  if (IsNull()) {
    delete palette;
    return;
  }
  GetBody()->SetPalette(palette);
}

void GBitmap::ReduceColorDepth(GBitmap& result) const {
  result.body_ = body_;
  if (IsNull()) return;
  const GBitmapImp& body = *GetBody();
  GBitmap reduced = *this;
  if (body.GetBitsPerPixel() == 24) {
    if (uint64_t{body.GetWidth()} * body.GetHeight() > kLargestReduced) return;
    std::vector<uint8_t> indices;
    std::vector<GRGBColor> colors;
    if (!IndexColors(body, indices, colors)) return;
    reduced = IndexedImage(indices, 8, body.GetWidth(), body.GetHeight(), new GPaletteTable(colors));
  } else if (body.GetBitsPerPixel() != 8) {
    return;
  }
  const GPaletteTable* palette = reduced.GetPalette();
  result.body_ =
      palette != nullptr && palette->GetCount() < 3 ? TwoColorImage(*reduced.GetBody()).body_ : reduced.body_;
}

bool GBitmap::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  if (other.ClassID() != ClassID()) return false;
  const auto& bitmap = static_cast<const GBitmap&>(other);
  if (body_.Get() == bitmap.body_.Get()) return true;
  return !IsNull() && !bitmap.IsNull() && body_->SameContent(*bitmap.body_);
}

void GBitmap::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  archive.ObjectOf<GBitmapImp>(body_);
}
