#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "graphics/colour/gray_conversion.h"
#include "graphics/rectangle.h"
#include "model/objects/object_ref.h"
#include "model/objects/persistent_object.h"

class GPaletteTable;

// Where one component sits in a 16- or 32-bit pixel.
struct GPixelMask {
  uint32_t mask = 0;
  uint8_t shift = 0;
  uint8_t bits = 0;

  bool operator==(const GPixelMask&) const = default;
};

// An image as the application delivered it.
struct GBitmapDescription {
  // True: the body copies the data and owns the copy. False: the body reads
  // the caller's data, which must outlive it.
  bool ownsData = true;
  const uint8_t* data = nullptr;
  uint32_t dataSize = 0;
  // Each stored row is padded to a multiple of this many bytes.
  uint8_t rowAlignment = 4;
  GRectangle bounds;
  // 1, 4, 8, 16, 24 or 32.
  uint8_t bitsPerComponent = 8;
  // 1 for packed pixels, 3 for one plane per colour component.
  uint8_t components = 1;
  // 1: red, green, blue; any other value: blue, green, red.
  int32_t colorOrder = 0;
  // 0 none; 1 4-bit run-length; 2 8-bit run-length (both expanded at
  // construction); any other value: a 32-bit size and an LZW stream.
  int32_t compression = 0;
  // Taken over by the body; may be null.
  GPaletteTable* palette = nullptr;
  bool bottomUp = false;
  bool mirrored = false;
  // For 16- and 32-bit pixels: masks holds the three components' masks.
  bool explicitMasks = false;
  std::array<uint32_t, 3> masks{};
  // 0: contiguous data; otherwise each band starts this many 64 KB
  // segments after the one before.
  uint16_t segmentsPerBand = 0;
  int16_t rowsPerBand = 0;
  int32_t userValue = 0;
};

// The shared body of a bitmap: the pixel data in its delivered layout and
// the conversion of any row into the pixel format a generator asks for.
// Run-length data is expanded when the body is made. Every read stays
// inside the data bytes whatever the stored fields say; what lies beyond
// them reads as 0.
//
// Stored part after the root's: version 2; owns data (32-bit); data size
// (32-bit); left, top, right, bottom (16-bit each); bits per component,
// components (8-bit each); colour order, compression, bottom-up (32-bit
// each); row alignment (8-bit); rows per band (16-bit); user value
// (32-bit); segments per band (16-bit); expanded size, expanded-size flag,
// stride, row bytes, explicit masks (32-bit each); three times mask
// (32-bit), shift and bit count (8-bit each); the palette as an object
// reference; mirrored (32-bit); the data bytes.
class GBitmapImp : public MPersistentObject {
 public:
  // Scan-line modes.
  static constexpr int32_t kGray = 0;
  static constexpr int32_t kColorBGR = 2;
  static constexpr int32_t kColorRGB = 3;

  // An empty body.
  GBitmapImp() = default;
  explicit GBitmapImp(const GBitmapDescription& description);
  GBitmapImp(const GBitmapImp& other);
  ~GBitmapImp() override;
  GBitmapImp& operator=(const GBitmapImp&) = delete;

  const GRectangle& GetBounds() const { return bounds_; }
  uint32_t GetWidth() const;
  uint32_t GetHeight() const;
  uint32_t GetDataSize() const { return dataSize_; }
  const uint8_t* GetData() const { return data_; }
  uint8_t GetBitsPerComponent() const { return bitsPerComponent_; }
  uint8_t GetComponents() const { return components_; }
  // 4 for 1 bit x 3 planes; 24 for 16- and 32-bit pixels, which are
  // delivered as 3 bytes; otherwise bits per component x components.
  uint32_t GetBitsPerPixel() const;
  uint32_t GetSpanBytes(int32_t left, int32_t right) const;
  uint32_t GetRowBytes() const { return rowBytes_; }
  uint32_t GetStride() const { return stride_; }
  int32_t GetColorOrder() const { return colorOrder_; }
  int32_t GetCompression() const { return compression_; }
  uint32_t GetExpandedSize();
  GPaletteTable* GetPalette() const;
  void SetPalette(GPaletteTable* palette);
  const GPixelMask& GetMask(int index) const { return masks_[index]; }
  bool HasExplicitMasks() const { return explicitMasks_; }
  uint8_t GetRowAlignment() const { return rowAlignment_; }
  int16_t GetRowsPerBand() const { return rowsPerBand_; }
  uint16_t GetSegmentsPerBand() const { return segmentsPerBand_; }
  int32_t GetUserValue() const { return userValue_; }
  bool IsBottomUp() const { return bottomUp_; }
  bool IsMirrored() const { return mirrored_; }
  bool OwnsData() const { return ownsData_; }
  // Copies caller-owned data into an allocation of the body's own.
  void MakeDataOwned();
  void SetGrayFunction(GGrayFunction function) { grayFunction_ = function; }

  // Writes pixels left to right - 1 (counted from the image's left edge) of
  // the row (counted from its top) in the pixel format of the mode and
  // answers the byte count: modes 0, 1 and 4 give grey bytes for images of
  // 24 bits per pixel (other depths as stored); 2 gives colour as blue,
  // green, red; 3 as red, green, blue. Answers 0 and writes nothing for a
  // span or row outside the image or a destination too small.
  uint32_t GetScanLine(std::span<uint8_t> destination, int32_t left, int32_t right, int32_t row, int32_t mode) const;

  RWCollectable* NewInstance() const override { return new GBitmapImp; }
  RWCollectable* Clone() const override { return new GBitmapImp(*this); }
  RWClassID ClassID() const override { return kGBitmapImpClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGBitmapImpClassID || MPersistentObject::IsKindOf(id); }
  bool SameContent(const MPersistentObject& other) const override;

 protected:
  // Only version 2 is read; the data is always owned after a restore.
  void Fields(GFieldArchive& archive) override;

 private:
  void ComputeLayout();
  void ComputeMasks(const std::array<uint32_t, 3>& masks);
  void Adopt(std::vector<uint8_t> data);
  // How much of each plane a conversion reads: a row's bytes and one more
  // for shifted reads.
  uint64_t PlaneBytes() const;
  // The stored bytes of the row's planes (components x stride), zero
  // where they would lie beyond the data.
  std::vector<uint8_t> StoredRow(uint32_t row) const;
  // A depth and component count whose rows can be converted.
  bool IsReadable() const;
  // A component of a 16- or 32-bit pixel scaled to 8 bits.
  uint8_t Component(uint32_t pixel, int index) const;
  uint8_t Gray(uint8_t red, uint8_t green, uint8_t blue) const;
  // Writes pixel i from its three components in stored order: one grey
  // byte (the colour order says which is red), or three bytes, reversed when
  // asked.
  void PutPixel(uint8_t* out, uint32_t i, const std::array<uint8_t, 3>& pixel, bool gray, bool reverse) const;
  void ConvertRow(const std::vector<uint8_t>& stored, uint8_t* out, uint32_t left, uint32_t width, bool gray,
                  bool reverse) const;
  // Reverses the first width pixels of bitsPerPixel each in place.
  static void Mirror(uint8_t* out, uint32_t width, uint32_t bitsPerPixel);

  bool ownsData_ = false;
  uint32_t dataSize_ = 0;
  GRectangle bounds_;
  uint8_t bitsPerComponent_ = 0;
  uint8_t components_ = 0;
  int32_t compression_ = 0;
  int32_t colorOrder_ = 0;
  bool bottomUp_ = false;
  const uint8_t* data_ = nullptr;
  std::vector<uint8_t> ownedData_;
  uint8_t rowAlignment_ = 1;
  GObjectRef palette_;
  int16_t rowsPerBand_ = 0;
  int32_t userValue_ = 0;
  uint16_t segmentsPerBand_ = 0;
  uint32_t expandedSize_ = 0;
  bool expandedSizeValid_ = false;
  uint32_t rowBytes_ = 0;
  uint32_t stride_ = 0;
  bool explicitMasks_ = false;
  std::array<GPixelMask, 3> masks_{};
  bool mirrored_ = false;
  GGrayFunction grayFunction_ = nullptr;
};
