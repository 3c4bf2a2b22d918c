#include "graphics/colour/color_paint.h"

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GColorPaint>, kGColorPaintClassID, kGColorPaintClassName);

}  // namespace

GColorPaint::GColorPaint(const GColorPaint& other)
    : GPaint(other), color_(other.color_ ? other.color_->CloneObject() : nullptr) {}

bool GColorPaint::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* paint = SameClassAndKey<GColorPaint>(other);
  if (paint == nullptr) return false;
  return !color_ || !paint->color_ || color_->SameContent(*paint->color_);
}

void GColorPaint::Fields(GFieldArchive& archive) {
  GPaint::Fields(archive);
  if (archive.Version(FormatVersion())) archive.ObjectOf<GColor>(color_);
}
