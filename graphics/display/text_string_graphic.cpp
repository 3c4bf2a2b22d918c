#include "graphics/display/text_string_graphic.h"

#include "foundation/class_registrar.h"
#include "model/attributes/peripheral.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GTextStringGraphic>, kGTextStringGraphicClassID,
                                kGTextStringGraphicClassName);

GObjectRef CloneOf(const GObjectRef& object) {
  return GObjectRef(object ? static_cast<MPersistentObject*>(object->Clone()) : nullptr);
}

bool SameOrEqual(const GObjectRef& a, const GObjectRef& b) {
  if (a.Get() == b.Get()) return true;
  return a && b && a->SameContent(*b);
}

// A stored object that is not of its kind fails the input and is dropped,
// so that whoever reads the graphic may treat each object as its kind.
bool ObjectOfKind(GFieldArchive& archive, GObjectRef& object, RWClassID kind) {
  if (!archive.Object(object)) return false;
  if (!archive.IsRestoring() || !object || object->IsKindOf(kind)) return true;
  object = nullptr;
  archive.FailInput();
  return false;
}

}  // namespace

GTextStringGraphic::GTextStringGraphic(const GTextStringGraphic& other)
    : GGraphic(other),
      font_(CloneOf(other.font_)),
      text_(CloneOf(other.text_)),
      escapements_(CloneOf(other.escapements_)),
      totalAdvance_(other.totalAdvance_),
      options_(other.options_),
      position_(other.position_) {}

bool GTextStringGraphic::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  if (other.ClassID() != ClassID() || !GGraphic::SameContent(other)) return false;
  const auto& text = static_cast<const GTextStringGraphic&>(other);
  return totalAdvance_ == text.totalAdvance_ && position_ == text.position_ && SameOrEqual(font_, text.font_) &&
         SameOrEqual(text_, text.text_) && SameOrEqual(escapements_, text.escapements_);
}

uint16_t GTextStringGraphic::DispatchTo(GPeripheral& peripheral) { return peripheral.DrawTextString(*this); }

void GTextStringGraphic::Fields(GFieldArchive& archive) {
  GGraphic::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  ObjectOfKind(archive, font_, kGFontClassID) && ObjectOfKind(archive, text_, kGTextStringClassID) &&
      ObjectOfKind(archive, escapements_, kGTextEscapementsClassID) && archive.Int16(totalAdvance_) &&
      archive.UInt32(options_) && archive.Int16(position_.x) && archive.Int16(position_.y);
}
