#include "device/media/media.h"

#include "foundation/class_registrar.h"
#include "model/attributes/peripheral.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GMedia>, kGMediaClassID, kGMediaClassName);

// Sums and differences of dot values wrap like 16-bit values.
int16_t Wrap(int32_t value) { return static_cast<int16_t>(value); }

RWCString TextOrEmpty(const char* text) { return text != nullptr ? RWCString(text) : RWCString(); }

void Pair(GFieldArchive& archive, GDotPair& pair) {
  archive.Int16(pair.x);
  archive.Int16(pair.y);
}

}  // namespace

GMedia::GMedia(const RWCString& name, GDotPair paperSize, GDotPair printableSize, GDotPair printableOrigin,
               int32_t orientation, int16_t sizeId, uint16_t xResolution, uint16_t yResolution, int32_t key,
               uint16_t extraValue, const char* firstText, const char* mediaType)
    : GAttribute(key),
      name_(name),
      paperSize_(paperSize),
      printableSize_(printableSize),
      printableOrigin_(printableOrigin),
      orientation_(orientation),
      xResolution_(xResolution),
      yResolution_(yResolution),
      extraValue_(extraValue),
      firstText_(TextOrEmpty(firstText)),
      mediaType_(TextOrEmpty(mediaType)),
      sizeId_(sizeId) {}

GDotRect GMedia::GetPrintableRect() const {
  const GDotPair end = GetPrintableEnd();
  return {printableOrigin_.x, printableOrigin_.y, end.x, end.y};
}

GDotPair GMedia::GetPrintableEnd() const {
  return {Wrap(printableOrigin_.x + printableSize_.x), Wrap(printableOrigin_.y + printableSize_.y)};
}

GDotPair GMedia::GetFarMargins() const {
  return {Wrap(paperSize_.x - printableSize_.x - printableOrigin_.x),
          Wrap(paperSize_.y - printableSize_.y - printableOrigin_.y)};
}

bool GMedia::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* media = SameClassAndKey<GMedia>(other);
  return media != nullptr && media->name_ == name_ && media->paperSize_ == paperSize_ &&
         media->printableSize_ == printableSize_ && media->printableOrigin_ == printableOrigin_ &&
         media->orientation_ == orientation_ && media->xResolution_ == xResolution_ &&
         media->yResolution_ == yResolution_ && media->extraValue_ == extraValue_ && media->firstText_ == firstText_ &&
         media->mediaType_ == mediaType_ && media->sizeId_ == sizeId_;
}

uint16_t GMedia::SendTo(GPeripheral& target) { return target.ApplyMedia(*this); }

void GMedia::Fields(GFieldArchive& archive) {
  GAttribute::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  archive.String(name_);
  Pair(archive, paperSize_);
  Pair(archive, printableSize_);
  Pair(archive, printableOrigin_);
  archive.Int32(orientation_);
  archive.UInt16(xResolution_);
  archive.UInt16(yResolution_);
  archive.UInt16(extraValue_);
  archive.String(firstText_);
  archive.String(mediaType_);
  archive.Int16(sizeId_);
}

int32_t NormalizeAngle(int32_t angle) {
  int64_t normal = angle;
  // A negative angle is first lifted by whole turns to 0 or above, so that
  // the remainder is never negative; 64 bits hold the lift of any angle.
  if (normal < 0) normal += 360 * ((359 - normal) / 360);
  return static_cast<int32_t>(normal % 360);
}
