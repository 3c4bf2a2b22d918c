#pragma once

#include <cstdint>
#include <span>

#include "graphics/bitmaps/bitmap_imp.h"
#include "model/objects/object_ref.h"
#include "model/objects/persistent_object.h"

// A handle to a shared image body; copies share the body. A handle without
// body is a null bitmap, which answers zeros and empty rows.
//
// Stored part after the root's: version 1; the body as an object reference,
// nil for a null bitmap.
class GBitmap : public MPersistentObject {
 public:
  // A null bitmap.
  GBitmap() = default;
  explicit GBitmap(const GBitmapDescription& description);
  GBitmap(const GBitmap& other) = default;
  GBitmap& operator=(const GBitmap& other) = default;

  bool IsNull() const { return body_.IsEmpty(); }
  // The body, still shared; null for a null bitmap.
  GBitmapImp* GetBody() const { return static_cast<GBitmapImp*>(body_.Get()); }

  GRectangle GetBounds() const { return IsNull() ? GRectangle{} : GetBody()->GetBounds(); }
  uint32_t GetDataSize() const { return IsNull() ? 0 : GetBody()->GetDataSize(); }
  const uint8_t* GetData() const { return IsNull() ? nullptr : GetBody()->GetData(); }
  uint32_t GetBitsPerPixel() const { return IsNull() ? 0 : GetBody()->GetBitsPerPixel(); }
  uint32_t GetSpanBytes(int32_t left, int32_t right) const {
    return IsNull() ? 0 : GetBody()->GetSpanBytes(left, right);
  }
  GPaletteTable* GetPalette() const { return IsNull() ? nullptr : GetBody()->GetPalette(); }
  // Takes over the palette (deleted at once for a null bitmap).
  void SetPalette(GPaletteTable* palette);
  bool IsCompressed() const { return GetCompression() != 0; }
  int32_t GetCompression() const { return IsNull() ? 0 : GetBody()->GetCompression(); }
  uint32_t GetExpandedSize() const { return IsNull() ? 0 : GetBody()->GetExpandedSize(); }
  void MakeDataOwned() {
    if (!IsNull()) GetBody()->MakeDataOwned();
  }
  void SetGrayFunction(GGrayFunction function) {
    if (!IsNull()) GetBody()->SetGrayFunction(function);
  }
  uint32_t GetScanLine(std::span<uint8_t> destination, int32_t left, int32_t right, int32_t row, int32_t mode) const {
    return IsNull() ? 0 : GetBody()->GetScanLine(destination, left, right, row, mode);
  }

  // Into result: an image of at most 8 bits per pixel with a palette when
  // this one's colours allow it (256 or fewer colours among at most 32767
  // pixels; 1 bit per pixel for two colours or fewer), otherwise a handle
  // sharing this bitmap.
  void ReduceColorDepth(GBitmap& result) const;

  RWCollectable* NewInstance() const override { return new GBitmap; }
  RWCollectable* Clone() const override { return new GBitmap(*this); }
  RWClassID ClassID() const override { return kGBitmapClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGBitmapClassID || MPersistentObject::IsKindOf(id); }
  // The same body, or both bodies present and equal.
  bool SameContent(const MPersistentObject& other) const override;

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  GObjectRef body_;
};
