#pragma once

#include <cstdint>

#include "graphics/bitmaps/bitmap.h"
#include "graphics/display/graphic.h"
#include "graphics/rectangle.h"

class GClip;

// An image drawn on the page: the source rectangle (in image pixels) of
// the image lands on the destination rectangle (in device dots). The
// bitmaps are handles that share their bodies with their copies. The
// second bitmap travels with the image (copied, compared and stored); no
// generator reads it.
//
// Stored part after the graphic's: version 1; the image as an object
// reference with its own class header; the source rectangle and the
// destination rectangle (left, top, right, bottom, 16-bit each); the
// second bitmap like the image.
class GRasterGraphic : public GGraphic {
 public:
  GRasterGraphic() = default;
  GRasterGraphic(const GBitmap& image, const GRectangle& source, const GRectangle& destination, const GBitmap& second,
                 GGraphicBundle* state, int32_t key = 0)
      : GGraphic(state, key), image_(image), source_(source), destination_(destination), second_(second) {}
  // Shares both bitmaps' bodies.
  GRasterGraphic(const GRasterGraphic& other) = default;

  // Handles sharing the bodies.
  GBitmap GetBitmap() const { return image_; }
  GBitmap GetSecondBitmap() const { return second_; }
  // The source and the destination rectangle.
  const GRectangle& GetFirstRectangle() const { return source_; }
  const GRectangle& GetSecondRectangle() const { return destination_; }
  // Whether the image already has the device resolution.
  virtual int32_t IsPreScaled() const { return 0; }

  // The part of the image that the clip (null for none) leaves visible:
  // the source part and the destination part it lands on. Both are empty
  // when nothing shows. The whole image stays when the clip has no bounds,
  // when its bounds hold the whole destination, and when it follows a path
  // or a list of rectangles (the device clips those). Otherwise the visible
  // destination part is mapped back to the source, widened to whole
  // pixels, and mapped forward again; the answer is 0 when that rounding
  // made the destination part differ from the visible area, 1 otherwise.
  int32_t ComputeVisibleArea(const GClip* clip, GRectangle& source, GRectangle& destination) const;

  RWCollectable* NewInstance() const override { return new GRasterGraphic; }
  RWCollectable* Clone() const override { return new GRasterGraphic(*this); }
  RWClassID ClassID() const override { return kGRasterGraphicClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGRasterGraphicClassID || GGraphic::IsKindOf(id); }
  // The same class, agreeing command parts, bitmaps of equal content and
  // equal rectangles.
  bool SameContent(const MPersistentObject& other) const override;
  // Makes both bitmaps hold their own copies of pixels the caller owns.
  void OwnData() override;
  // DrawRaster of the stage.
  uint16_t DispatchTo(GPeripheral& peripheral) override;

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  GBitmap image_;
  GRectangle source_;
  GRectangle destination_;
  GBitmap second_;
};

// An image that already has the device resolution. Drawn like any image;
// its stored part is the image's alone.
class GPreScaledRasterGraphic : public GRasterGraphic {
 public:
  GPreScaledRasterGraphic() = default;
  using GRasterGraphic::GRasterGraphic;
  GPreScaledRasterGraphic(const GPreScaledRasterGraphic& other) = default;

  int32_t IsPreScaled() const override { return 1; }

  RWCollectable* NewInstance() const override { return new GPreScaledRasterGraphic; }
  RWCollectable* Clone() const override { return new GPreScaledRasterGraphic(*this); }
  RWClassID ClassID() const override { return kGPreScaledRasterGraphicClassID; }
  bool IsKindOf(RWClassID id) const override {
    return id == kGPreScaledRasterGraphicClassID || GRasterGraphic::IsKindOf(id);
  }
};
