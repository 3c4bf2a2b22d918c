#include "graphics/display/path_graphic.h"

#include <algorithm>
#include <optional>

#include "foundation/class_registrar.h"
#include "graphics/display/shape_graphic.h"
#include "model/attributes/peripheral.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GPathGraphic>, kGPathGraphicClassID, kGPathGraphicClassName);

void Widen(std::optional<GRectangle>& result, const GRectangle& part) {
  if (!result) {
    result = part;
    return;
  }
  result->left = std::min(result->left, part.left);
  result->top = std::min(result->top, part.top);
  result->right = std::max(result->right, part.right);
  result->bottom = std::max(result->bottom, part.bottom);
}

}  // namespace

void GPathGraphic::GetBounds(GRectangle& bounds) {
  std::optional<GRectangle> result;
  const GCountedPtrVector& children = Children();
  for (uint32_t i = 0; i < children.Count(); ++i) {
    MPersistentObject* child = children[i].Get();
    if (child == nullptr) continue;
    if (child->IsKindOf(kGShapeGraphicClassID)) {
      Widen(result, *static_cast<GShapeGraphic*>(child)->GetBounds());
    } else if (child->IsKindOf(kGPathGraphicClassID)) {
      GRectangle nested;
      static_cast<GPathGraphic*>(child)->GetBounds(nested);
      Widen(result, nested);
    }
  }
  bounds = result.value_or(GRectangle{});
}

bool GPathGraphic::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  return other.ClassID() == ClassID() && static_cast<const GPathGraphic&>(other).closed_ == closed_ &&
         GGraphicComposite::SameContent(other);
}

uint16_t GPathGraphic::DispatchTo(GPeripheral& peripheral) { return peripheral.DrawPath(*this); }

void GPathGraphic::Fields(GFieldArchive& archive) {
  GGraphicComposite::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  archive.Bool32(closed_);
}
