#include "device/media/media_pool.h"

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GMediaPool>, kGMediaPoolClassID, kGMediaPoolClassName);

}  // namespace

GMediaIterator::GMediaIterator(GMediaPool& pool, int32_t orientation, uint16_t xResolution, uint16_t yResolution,
                               GDotPair minimumSize, GDotPair maximumSize)
    : children_(pool.NewChildIterator()),
      orientation_(orientation),
      xResolution_(xResolution),
      yResolution_(yResolution),
      minimumSize_(minimumSize),
      maximumSize_(maximumSize) {}

bool GMediaIterator::Advance() {
  while (children_->Advance()) {
    if (Fits(children_->Current())) return true;
  }
  return false;
}

GMedia* GMediaIterator::CurrentMedia() { return dynamic_cast<GMedia*>(children_->Current()); }

bool GMediaIterator::Fits(const MPersistentObject* child) const {
  const auto* media = dynamic_cast<const GMedia*>(child);
  if (media == nullptr) return false;
  const GDotPair size = media->GetPaperSize();
  return media->GetOrientation() == orientation_ && media->GetXResolution() == xResolution_ &&
         media->GetYResolution() == yResolution_ && size.x >= minimumSize_.x && size.y >= minimumSize_.y &&
         size.x <= maximumSize_.x && size.y <= maximumSize_.y;
}

std::unique_ptr<GMediaIterator> GMediaPool::CreateIterator(int32_t orientation, uint16_t xResolution,
                                                           uint16_t yResolution, GDotPair minimumSize,
                                                           GDotPair maximumSize) {
  return std::make_unique<GMediaIterator>(*this, orientation, xResolution, yResolution, minimumSize, maximumSize);
}

GMedia* GMediaPool::FindBySizeId(int16_t sizeId, int32_t orientation, uint16_t xResolution, uint16_t yResolution) {
  const std::unique_ptr<GMediaIterator> media =
      CreateIterator(orientation, xResolution, yResolution, GDotPair{0, 0}, GDotPair{32767, 32767});
  while (media->Advance()) {
    GMedia* medium = media->CurrentMedia();
    if (medium->GetSizeId() == sizeId) return medium;
  }
  return nullptr;
}
