#include "graphics/bitmaps/bitmap_imp.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <iterator>
#include <tuple>
#include <utility>

#include "foundation/class_registrar.h"
#include "graphics/bitmaps/run_length_decoder.h"
#include "graphics/colour/palette_table.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GBitmapImp>, kGBitmapImpClassID, kGBitmapImpClassName);

// Run-length data that would expand beyond this is refused (the body is
// left without data): a few bytes of moves can describe any size.
constexpr uint64_t kLargestExpansion = uint64_t{256} << 20;

constexpr uint32_t kSegment = 0x10000;

constexpr uint32_t kStoredVersion = 2;

// The byte at the index, 0 beyond the end.
uint8_t At(const std::vector<uint8_t>& bytes, uint64_t index) { return index < bytes.size() ? bytes[index] : 0; }

uint32_t LittleEndianAt(const std::vector<uint8_t>& bytes, uint64_t index, uint32_t size) {
  uint32_t value = 0;
  for (uint32_t i = 0; i < size; ++i) value |= uint32_t{At(bytes, index + i)} << (8 * i);
  return value;
}

uint8_t BitAt(const std::vector<uint8_t>& bytes, uint64_t offset, uint64_t bit) {
  return (At(bytes, offset + bit / 8) >> (7 - bit % 8)) & 1;
}

uint8_t NibbleAt(const uint8_t* bytes, uint64_t index) {
  return index % 2 == 0 ? static_cast<uint8_t>(bytes[index / 2] >> 4) : static_cast<uint8_t>(bytes[index / 2] & 0x0F);
}

void SetNibble(uint8_t* bytes, uint64_t index, uint8_t value) {
  uint8_t& byte = bytes[index / 2];
  byte = index % 2 == 0 ? static_cast<uint8_t>((byte & 0x0F) | (value << 4))
                        : static_cast<uint8_t>((byte & 0xF0) | (value & 0x0F));
}

}  // namespace

GBitmapImp::GBitmapImp(const GBitmapDescription& description)
    : dataSize_(description.dataSize),
      bounds_(description.bounds),
      bitsPerComponent_(description.bitsPerComponent),
      components_(description.components),
      compression_(description.compression),
      colorOrder_(description.colorOrder),
      bottomUp_(description.bottomUp),
      data_(description.data),
      rowAlignment_(description.rowAlignment),
      rowsPerBand_(description.rowsPerBand),
      userValue_(description.userValue),
      segmentsPerBand_(description.segmentsPerBand),
      explicitMasks_(description.explicitMasks),
      mirrored_(description.mirrored) {
  SetPalette(description.palette);
  ComputeLayout();
  ComputeMasks(description.masks);
  const std::span<const uint8_t> stored(description.data, description.data == nullptr ? 0 : description.dataSize);
  if (compression_ == 1 || compression_ == 2) {
    const uint64_t size = uint64_t{stride_} * (GetHeight() + 1);
    Adopt(size > kLargestExpansion
              ? std::vector<uint8_t>()
              : DecodeRunLength(stored, compression_ == 1 ? 4 : 8, GetWidth(), stride_, static_cast<uint32_t>(size)));
    compression_ = 0;
  } else if (description.ownsData) {
    Adopt(std::vector<uint8_t>(stored.begin(), stored.end()));
  } else {
    dataSize_ = static_cast<uint32_t>(stored.size());
  }
}

GBitmapImp::GBitmapImp(const GBitmapImp& other)
    : MPersistentObject(other),
      ownsData_(other.ownsData_),
      dataSize_(other.dataSize_),
      bounds_(other.bounds_),
      bitsPerComponent_(other.bitsPerComponent_),
      components_(other.components_),
      compression_(other.compression_),
      colorOrder_(other.colorOrder_),
      bottomUp_(other.bottomUp_),
      data_(other.data_),
      rowAlignment_(other.rowAlignment_),
      rowsPerBand_(other.rowsPerBand_),
      userValue_(other.userValue_),
      segmentsPerBand_(other.segmentsPerBand_),
      expandedSize_(other.expandedSize_),
      expandedSizeValid_(other.expandedSizeValid_),
      rowBytes_(other.rowBytes_),
      stride_(other.stride_),
      explicitMasks_(other.explicitMasks_),
      masks_(other.masks_),
      mirrored_(other.mirrored_),
      grayFunction_(other.grayFunction_) {
  if (other.palette_) palette_ = static_cast<MPersistentObject*>(other.palette_->Clone());
  if (ownsData_) Adopt(other.ownedData_);
}

GBitmapImp::~GBitmapImp() = default;

uint32_t GBitmapImp::GetWidth() const { return static_cast<uint32_t>(std::max(0, bounds_.right - bounds_.left)); }

uint32_t GBitmapImp::GetHeight() const { return static_cast<uint32_t>(std::max(0, bounds_.bottom - bounds_.top)); }

uint32_t GBitmapImp::GetBitsPerPixel() const {
  if (bitsPerComponent_ == 1 && components_ == 3) return 4;
  if (bitsPerComponent_ == 16 || bitsPerComponent_ == 32) return 24;
  return uint32_t{bitsPerComponent_} * components_;
}

uint32_t GBitmapImp::GetSpanBytes(int32_t left, int32_t right) const {
  return static_cast<uint32_t>((int64_t{GetBitsPerPixel()} * (right - left) + 7) >> 3);
}

uint32_t GBitmapImp::GetExpandedSize() {
  if (!expandedSizeValid_) {
    expandedSize_ = compression_ != 0 ? dataSize_ * 2 : dataSize_;
    expandedSizeValid_ = true;
  }
  return expandedSize_;
}

GPaletteTable* GBitmapImp::GetPalette() const { return static_cast<GPaletteTable*>(palette_.Get()); }

void GBitmapImp::SetPalette(GPaletteTable* palette) { palette_ = palette; }

void GBitmapImp::MakeDataOwned() {
  if (!ownsData_) Adopt(std::vector<uint8_t>(data_, data_ + (data_ == nullptr ? 0 : dataSize_)));
}

void GBitmapImp::Adopt(std::vector<uint8_t> data) {
  ownedData_ = std::move(data);
  data_ = ownedData_.data();
  dataSize_ = static_cast<uint32_t>(ownedData_.size());
  ownsData_ = true;
}

void GBitmapImp::ComputeLayout() {
  rowBytes_ = static_cast<uint32_t>((uint64_t{bitsPerComponent_} * GetWidth() + 7) >> 3);
  const uint32_t remainder = rowAlignment_ == 0 ? 0 : rowBytes_ % rowAlignment_;
  stride_ = remainder != 0 ? rowBytes_ + (rowAlignment_ - remainder) : rowBytes_;
}

void GBitmapImp::ComputeMasks(const std::array<uint32_t, 3>& masks) {
  static constexpr std::array<uint32_t, 3> k32Bit = {0xFF0000, 0xFF00, 0xFF};
  static constexpr std::array<uint32_t, 3> k16Bit = {0x7C00, 0x3E0, 0x1F};
  masks_ = {};
  if (bitsPerComponent_ != 16 && bitsPerComponent_ != 32) return;
  const std::array<uint32_t, 3>& chosen = explicitMasks_ ? masks : (bitsPerComponent_ == 32 ? k32Bit : k16Bit);
  for (size_t i = 0; i < chosen.size(); ++i) {
    const uint32_t mask = chosen[i];
    masks_[i] = {mask, static_cast<uint8_t>(mask == 0 ? 0 : std::countr_zero(mask)),
                 static_cast<uint8_t>(std::popcount(mask))};
  }
}

uint64_t GBitmapImp::PlaneBytes() const {
  // From the bounds, not from the stored row size, which a restore may
  // have read as anything.
  return ((uint64_t{bitsPerComponent_} * GetWidth() + 7) >> 3) + 1;
}

std::vector<uint8_t> GBitmapImp::StoredRow(uint32_t row) const {
  const uint32_t storedRow = bottomUp_ ? GetHeight() - row - 1 : row;
  uint64_t offset = uint64_t{storedRow} * components_ * stride_;
  if (segmentsPerBand_ != 0 && rowsPerBand_ > 0) {
    const auto band = static_cast<uint32_t>(rowsPerBand_);
    offset = (uint64_t{components_} * (storedRow % band) * stride_) % kSegment +
             uint64_t{segmentsPerBand_} * (storedRow / band) * kSegment;
  }
  const uint64_t planeBytes = PlaneBytes();
  std::vector<uint8_t> planes(planeBytes * components_, 0);
  for (uint32_t plane = 0; plane < components_; ++plane) {
    const uint64_t start = offset + uint64_t{plane} * stride_;
    if (data_ == nullptr || start >= dataSize_) continue;
    const uint64_t count = std::min(planeBytes, dataSize_ - start);
    std::memcpy(planes.data() + plane * planeBytes, data_ + start, count);
  }
  return planes;
}

bool GBitmapImp::IsReadable() const {
  static constexpr uint8_t kDepths[] = {1, 4, 8, 16, 24, 32};
  return (components_ == 1 || components_ == 3) && std::ranges::find(kDepths, bitsPerComponent_) != std::end(kDepths);
}

uint8_t GBitmapImp::Component(uint32_t pixel, int index) const {
  const GPixelMask& mask = masks_[index];
  // A restored mask may claim any shift and count.
  if (mask.bits == 0 || mask.shift >= 32) return 0;
  const uint64_t value = (uint64_t{pixel} & mask.mask) >> mask.shift;
  const uint64_t largest = (uint64_t{1} << std::min<uint32_t>(mask.bits, 32)) - 1;
  return static_cast<uint8_t>(std::min<uint64_t>(value, largest) * 255 / largest);
}

uint8_t GBitmapImp::Gray(uint8_t red, uint8_t green, uint8_t blue) const {
  return PixelGray(grayFunction_, red, green, blue);
}

uint32_t GBitmapImp::GetScanLine(std::span<uint8_t> destination, int32_t left, int32_t right, int32_t row,
                                 int32_t mode) const {
  if (!IsReadable() || left < 0 || right <= left || static_cast<uint32_t>(right) > GetWidth() || row < 0 ||
      static_cast<uint32_t>(row) >= GetHeight()) {
    return 0;
  }
  const uint32_t bitsPerPixel = GetBitsPerPixel();
  const bool gray = bitsPerPixel == 24 && (mode == 0 || mode == 1 || mode == 4);
  const auto width = static_cast<uint32_t>(right - left);
  const uint32_t expected = static_cast<uint32_t>((uint64_t{width} * bitsPerPixel + 7) / 8);
  const uint32_t written = gray ? expected / 3 : expected;
  if (destination.size() < expected) return 0;
  const bool reverse = (colorOrder_ == 1) != (mode == kColorRGB);
  ConvertRow(StoredRow(static_cast<uint32_t>(row)), destination.data(), static_cast<uint32_t>(left), width, gray,
             reverse);
  if (mirrored_) Mirror(destination.data(), width, gray ? 8 : bitsPerPixel);
  return written;
}

void GBitmapImp::PutPixel(uint8_t* out, uint32_t i, const std::array<uint8_t, 3>& pixel, bool gray,
                          bool reverse) const {
  const auto [a, b, c] = pixel;
  if (gray) {
    out[i] = colorOrder_ == 1 ? Gray(a, b, c) : Gray(c, b, a);
    return;
  }
  out[3 * i] = reverse ? c : a;
  out[3 * i + 1] = b;
  out[3 * i + 2] = reverse ? a : c;
}

void GBitmapImp::ConvertRow(const std::vector<uint8_t>& stored, uint8_t* out, uint32_t left, uint32_t width, bool gray,
                            bool reverse) const {
  const uint64_t plane = PlaneBytes();
  switch (bitsPerComponent_) {
    case 1:
      if (components_ == 3) {
        const uint32_t count = (width * 4 + 7) / 8;
        std::fill(out, out + count, 0x77);
        for (uint32_t i = 0; i < width; ++i) {
          const uint64_t x = left + i;
          const uint8_t first = BitAt(stored, reverse ? 2 * plane : 0, x);
          const uint8_t third = BitAt(stored, reverse ? 0 : 2 * plane, x);
          SetNibble(out, i, static_cast<uint8_t>(first << 2 | BitAt(stored, plane, x) << 1 | third));
        }
        return;
      }
      for (uint32_t j = 0; j < (width + 7) / 8; ++j) {
        const uint64_t bit = uint64_t{left} + 8 * j;
        const uint32_t shift = bit % 8;
        out[j] = static_cast<uint8_t>(At(stored, bit / 8) << shift |
                                      (shift == 0 ? 0 : At(stored, bit / 8 + 1) >> (8 - shift)));
      }
      return;
    case 4:
      for (uint32_t j = 0; j < (width + 1) / 2; ++j) {
        const uint64_t byte = left / 2 + j;
        out[j] =
            left % 2 == 0 ? At(stored, byte) : static_cast<uint8_t>(At(stored, byte) << 4 | At(stored, byte + 1) >> 4);
      }
      return;
    case 8:
      for (uint32_t i = 0; i < width; ++i) {
        const uint64_t x = left + i;
        if (components_ != 3) {
          out[i] = At(stored, x);
          continue;
        }
        const uint8_t a = At(stored, x), b = At(stored, plane + x), c = At(stored, 2 * plane + x);
        PutPixel(out, i, {a, b, c}, gray, reverse);
      }
      return;
    case 16:
    case 32: {
      const uint32_t size = bitsPerComponent_ / 8;
      for (uint32_t i = 0; i < width; ++i) {
        const uint32_t pixel = LittleEndianAt(stored, uint64_t{left + i} * size, size);
        // The third component comes first when nothing is reversed.
        PutPixel(out, i, {Component(pixel, 2), Component(pixel, 1), Component(pixel, 0)}, gray, reverse);
      }
      return;
    }
    case 24:
      for (uint32_t i = 0; i < width; ++i) {
        const uint64_t at = (uint64_t{left} + i) * 3;
        const uint8_t a = At(stored, at), b = At(stored, at + 1), c = At(stored, at + 2);
        PutPixel(out, i, {a, b, c}, gray, reverse);
      }
      return;
  }
}

void GBitmapImp::Mirror(uint8_t* out, uint32_t width, uint32_t bitsPerPixel) {
  if (bitsPerPixel == 1) {
    for (uint32_t i = 0, j = width - 1; i < j; ++i, --j) {
      const uint8_t a = (out[i / 8] >> (7 - i % 8)) & 1;
      const uint8_t b = (out[j / 8] >> (7 - j % 8)) & 1;
      out[i / 8] = static_cast<uint8_t>((out[i / 8] & ~(1 << (7 - i % 8))) | b << (7 - i % 8));
      out[j / 8] = static_cast<uint8_t>((out[j / 8] & ~(1 << (7 - j % 8))) | a << (7 - j % 8));
    }
  } else if (bitsPerPixel == 4) {
    for (uint32_t i = 0, j = width - 1; i < j; ++i, --j) {
      const uint8_t a = NibbleAt(out, i);
      SetNibble(out, i, NibbleAt(out, j));
      SetNibble(out, j, a);
    }
  } else {
    const uint32_t size = bitsPerPixel / 8;
    for (uint32_t i = 0, j = width - 1; i < j; ++i, --j)
      std::swap_ranges(out + i * size, out + (i + 1) * size, out + j * size);
  }
}

bool GBitmapImp::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  if (other.ClassID() != ClassID()) return false;
  const auto& body = static_cast<const GBitmapImp&>(other);
  const auto fields = [](const GBitmapImp& b) {
    return std::tie(b.dataSize_, b.expandedSize_, b.bounds_, b.bitsPerComponent_, b.components_, b.colorOrder_,
                    b.compression_, b.bottomUp_, b.rowAlignment_, b.rowsPerBand_, b.userValue_, b.segmentsPerBand_,
                    b.expandedSizeValid_, b.stride_, b.rowBytes_, b.explicitMasks_, b.masks_, b.mirrored_);
  };
  if (fields(*this) != fields(body)) return false;
  if (palette_ && body.palette_ && !palette_->SameContent(*body.palette_)) return false;
  return dataSize_ == 0 || std::memcmp(data_, body.data_, dataSize_) == 0;
}

void GBitmapImp::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  if (!archive.Version(kStoredVersion)) return;
  bool owns = ownsData_;
  uint32_t size = dataSize_;
  archive.Bool32(owns) && archive.UInt32(size) && archive.Int16(bounds_.left) && archive.Int16(bounds_.top) &&
      archive.Int16(bounds_.right) && archive.Int16(bounds_.bottom) && archive.UInt8(bitsPerComponent_) &&
      archive.UInt8(components_) && archive.Int32(colorOrder_) && archive.Int32(compression_) &&
      archive.Bool32(bottomUp_) && archive.UInt8(rowAlignment_) && archive.Int16(rowsPerBand_) &&
      archive.Int32(userValue_) && archive.UInt16(segmentsPerBand_) && archive.UInt32(expandedSize_) &&
      archive.Bool32(expandedSizeValid_) && archive.UInt32(stride_) && archive.UInt32(rowBytes_) &&
      archive.Bool32(explicitMasks_);
  for (GPixelMask& mask : masks_) archive.UInt32(mask.mask) && archive.UInt8(mask.shift) && archive.UInt8(mask.bits);
  archive.ObjectOf<GPaletteTable>(palette_);
  archive.Bool32(mirrored_);
  if (!archive.IsRestoring()) {
    archive.Bytes(const_cast<uint8_t*>(data_), dataSize_);
    return;
  }
  // The data is read into an allocation of the body's own, or the body
  // keeps none, so that its size never promises more than it holds.
  std::vector<uint8_t> data;
  if (archive.Holds(size, 1)) {
    data.resize(size);
    if (!archive.Bytes(data.data(), size)) data.clear();
  }
  Adopt(std::move(data));
}
