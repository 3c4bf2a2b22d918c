#pragma once

#include <cstdint>

#include "foundation/rw_cstring.h"
#include "model/attributes/attribute.h"

// Two signed 16-bit device-dot values: a width and height, or an x and y
// offset.
struct GDotPair {
  int16_t x = 0;
  int16_t y = 0;

  bool operator==(const GDotPair&) const = default;
};

// A rectangle in device dots: left, top, right and bottom.
struct GDotRect {
  int16_t left = 0;
  int16_t top = 0;
  int16_t right = 0;
  int16_t bottom = 0;

  bool operator==(const GDotRect&) const = default;
};

// One printable sheet as the device sees it: the sheet, its printable area
// and that area's origin (the left and top margins), all in device dots at
// the medium's own x and y resolution and in the orientation it describes
// (at 90 and 270 degrees width and height are already exchanged); the
// paper-size id and the media type name. Every medium the media builder
// makes has the key 190.
//
// The results computed from pairs (printable end, far margins) wrap like
// 16-bit values, as the device's own arithmetic does.
//
// Stored part after the attribute's: version 1, the name, paper width and
// height, printable width and height, origin x and y (16-bit each), the
// orientation (32-bit), x and y resolution (16-bit each), the extra value
// (16-bit), the first text, the media type (strings) and the size id
// (16-bit).
class GMedia : public GAttribute {
 public:
  static constexpr int32_t kDefaultKey = 190;

  GMedia() : GAttribute(kDefaultKey) {}
  // A null firstText or mediaType leaves that text empty.
  GMedia(const RWCString& name, GDotPair paperSize, GDotPair printableSize, GDotPair printableOrigin,
         int32_t orientation, int16_t sizeId, uint16_t xResolution, uint16_t yResolution, int32_t key,
         uint16_t extraValue, const char* firstText, const char* mediaType);
  GMedia(const GMedia& other) = default;
  GMedia& operator=(const GMedia& other) = default;

  const RWCString& GetName() const { return name_; }
  GDotPair GetPaperSize() const { return paperSize_; }
  GDotPair GetPrintableSize() const { return printableSize_; }
  GDotPair GetPrintableOrigin() const { return printableOrigin_; }
  // Origin and printable end.
  GDotRect GetPrintableRect() const;
  // Origin plus printable size.
  GDotPair GetPrintableEnd() const;
  // The right and bottom margins: paper less printable size less origin.
  GDotPair GetFarMargins() const;
  int32_t GetOrientation() const { return orientation_; }
  uint16_t GetXResolution() const { return xResolution_; }
  uint16_t GetYResolution() const { return yResolution_; }
  // Carried, compared and stored; nothing in the model reads it.
  uint16_t GetExtraValue() const { return extraValue_; }
  void SetExtraValue(uint16_t value) { extraValue_ = value; }
  // Carried, compared and stored; nothing in the model reads it.
  const RWCString& GetFirstText() const { return firstText_; }
  void SetFirstText(const RWCString& text) { firstText_ = text; }
  // The media type name that the pipeline and the generators read.
  const RWCString& GetMediaType() const { return mediaType_; }
  void SetMediaType(const RWCString& type) { mediaType_ = type; }
  int16_t GetSizeId() const { return sizeId_; }
  void SetSizeId(int16_t id) { sizeId_ = id; }

  RWCollectable* NewInstance() const override { return new GMedia; }
  RWCollectable* Clone() const override { return new GMedia(*this); }
  RWClassID ClassID() const override { return kGMediaClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGMediaClassID || GAttribute::IsKindOf(id); }
  // Same class and key and every field equal, each resolution compared with
  // the same axis of the other medium.
  bool SameContent(const MPersistentObject& other) const override;
  // ApplyMedia of the target.
  uint16_t SendTo(GPeripheral& target) override;

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  RWCString name_;
  GDotPair paperSize_;
  GDotPair printableSize_;
  GDotPair printableOrigin_;
  int32_t orientation_ = 0;
  uint16_t xResolution_ = 600;
  uint16_t yResolution_ = 600;
  uint16_t extraValue_ = 0;
  RWCString firstText_;
  RWCString mediaType_;
  int16_t sizeId_ = 0;
};

// Any angle in degrees mapped into 0..359: -90 gives 270, 450 gives 90.
int32_t NormalizeAngle(int32_t angle);
