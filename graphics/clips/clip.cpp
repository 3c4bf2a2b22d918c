#include "graphics/clips/clip.h"

#include <algorithm>

#include "foundation/class_registrar.h"
#include "graphics/display/rectangle_field.h"
#include "model/attributes/peripheral.h"

namespace {

const GClassRegistrar pageRegistrar(CreateCollectable<GClipToPage>, kGClipToPageClassID, kGClipToPageClassName);
const GClassRegistrar pathRegistrar(CreateCollectable<GClipToPath>, kGClipToPathClassID, kGClipToPathClassName);
const GClassRegistrar singleRectangleRegistrar(CreateCollectable<GClipToSingleRectangle>,
                                               kGClipToSingleRectangleClassID, kGClipToSingleRectangleClassName);
const GClassRegistrar rectangleRegistrar(CreateCollectable<GClipToRectangle>, kGClipToRectangleClassID,
                                         kGClipToRectangleClassName);

}  // namespace

bool GClip::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* clip = SameClassAndKey<GClip>(other);
  return clip != nullptr && clip->fillRule_ == fillRule_ && clip->region_ == region_;
}

void GClip::Fields(GFieldArchive& archive) {
  GGraphicStateAttribute::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  archive.Int32(fillRule_) && archive.Int32(region_);
}

int32_t GClipToPage::GetBounds(GRectangle&) const { return 0; }

uint16_t GClipToPage::SendTo(GPeripheral& target) { return target.ApplyClipToPage(*this); }

void GClipToPage::Fields(GFieldArchive& archive) {
  GClip::Fields(archive);
  archive.TrailingVersion(FormatVersion());
}

GClipToPath::GClipToPath(GPathGraphic* path, int32_t region, int32_t fillRule, int32_t key)
    : GClip(region, fillRule, key), path_(path) {}

GClipToPath::GClipToPath(const GClipToPath& other) : GClip(other) {
  if (other.path_) path_ = static_cast<MPersistentObject*>(other.path_->Clone());
}

int32_t GClipToPath::GetBounds(GRectangle& bounds) const {
  if (!path_) return 0;
  GetPath()->GetBounds(bounds);
  return 1;
}

bool GClipToPath::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  if (!GClip::SameContent(other)) return false;
  const auto& clip = static_cast<const GClipToPath&>(other);
  if (!path_ || !clip.path_) return !path_ && !clip.path_;
  return path_->SameContent(*clip.path_);
}

uint16_t GClipToPath::SendTo(GPeripheral& target) { return target.ApplyClipToPath(*this); }

void GClipToPath::Fields(GFieldArchive& archive) {
  GClip::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  archive.ObjectOf<GPathGraphic>(path_);
}

int32_t GClipToSingleRectangle::GetBounds(GRectangle& bounds) const {
  bounds = rectangle_;
  return 1;
}

bool GClipToSingleRectangle::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  return GClip::SameContent(other) && static_cast<const GClipToSingleRectangle&>(other).rectangle_ == rectangle_;
}

uint16_t GClipToSingleRectangle::SendTo(GPeripheral& target) { return target.ApplyClipToSingleRectangle(*this); }

void GClipToSingleRectangle::Fields(GFieldArchive& archive) {
  GClip::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  GRectangle rectangle = rectangle_;
  if (RectangleField(archive, rectangle)) rectangle_ = rectangle;
}

GClipToRectangle::GClipToRectangle(const GRectangle& rectangle, int32_t region, int32_t fillRule, int32_t key)
    : GClip(region, fillRule, key) {
  rectangles_.Add(rectangle);
}

GRectangle GClipToRectangle::GetRectangle(uint32_t index) const {
  return index < rectangles_.Count() ? rectangles_[index] : GRectangle{};
}

int32_t GClipToRectangle::GetBounds(GRectangle& bounds) const {
  bounds = GRectangle{};
  if (rectangles_.Count() == 0) return 1;
  bounds = rectangles_[0];
  for (uint32_t i = 1; i < rectangles_.Count(); ++i) {
    const GRectangle& r = rectangles_[i];
    bounds.left = std::min(bounds.left, r.left);
    bounds.top = std::min(bounds.top, r.top);
    bounds.right = std::max(bounds.right, r.right);
    bounds.bottom = std::max(bounds.bottom, r.bottom);
  }
  return 1;
}

bool GClipToRectangle::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  return GClip::SameContent(other) && static_cast<const GClipToRectangle&>(other).rectangles_ == rectangles_;
}

uint16_t GClipToRectangle::SendTo(GPeripheral& target) { return target.ApplyClipToRectangle(*this); }

void GClipToRectangle::Fields(GFieldArchive& archive) {
  GClip::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  uint32_t count = rectangles_.Count();
  if (!archive.Count(count, 4 * sizeof(int16_t))) return;
  if (!archive.IsRestoring()) {
    for (uint32_t i = 0; i < count; ++i) {
      GRectangle rectangle = rectangles_[i];
      RectangleField(archive, rectangle);
    }
    return;
  }
  // Each stored rectangle is added in turn, so the capacity grows as adding
  // grows it.
  rectangles_.Clear();
  for (uint32_t i = 0; i < count; ++i) {
    GRectangle rectangle;
    if (!RectangleField(archive, rectangle)) return;
    rectangles_.Add(rectangle);
  }
}
