#include "graphics/clips/transform_attribute.h"

#include "foundation/class_registrar.h"
#include "graphics/float_field.h"
#include "model/attributes/peripheral.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GTransformAttribute>, kGTransformAttributeClassID,
                                kGTransformAttributeClassName);

// outer + inner x scale, the product truncated toward zero, wrapped to 16
// bits.
int16_t ScaledOffset(int16_t outer, int16_t inner, float scale) {
  const auto scaled = static_cast<int32_t>(static_cast<float>(inner) * scale);
  return static_cast<int16_t>(static_cast<uint16_t>(outer) + static_cast<uint16_t>(scaled));
}

}  // namespace

bool GTransformAttribute::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* transform = SameClassAndKey<GTransformAttribute>(other);
  return transform != nullptr && transform->angle_ == angle_ && transform->scale_ == scale_ &&
         transform->offset_ == offset_;
}

uint16_t GTransformAttribute::SendTo(GPeripheral& target) { return target.ApplyTransform(*this); }

void GTransformAttribute::Fields(GFieldArchive& archive) {
  GAttribute::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  archive.Int16(angle_) && archive.Int16(offset_.x) && archive.Int16(offset_.y) && FloatField(archive, scale_.x) &&
      FloatField(archive, scale_.y);
}

GTransformAttribute* ComposeTransforms(const GTransformAttribute& outer, const GTransformAttribute& inner) {
  const GPoint outerOffset = outer.GetOffset();
  const GPoint innerOffset = inner.GetOffset();
  const GScale outerScale = outer.GetScale();
  const GScale innerScale = inner.GetScale();
  const auto angle =
      static_cast<int16_t>(static_cast<uint16_t>(outer.GetAngle()) + static_cast<uint16_t>(inner.GetAngle()));
  const GPoint offset{ScaledOffset(outerOffset.x, innerOffset.x, outerScale.x),
                      ScaledOffset(outerOffset.y, innerOffset.y, outerScale.y)};
  return new GTransformAttribute(angle, offset, {innerScale.x * outerScale.x, innerScale.y * outerScale.y});
}
