#include "graphics/attributes/graphic_bundle.h"

#include "foundation/class_registrar.h"
#include "graphics/attributes/brush.h"
#include "graphics/attributes/cap.h"
#include "graphics/attributes/fill_mode.h"
#include "graphics/attributes/joint.h"
#include "graphics/attributes/pen.h"
#include "graphics/attributes/raster_operation.h"
#include "graphics/clips/clip.h"
#include "model/attributes/graphic_state_attribute.h"
#include "model/attributes/peripheral.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GGraphicBundle>, kGGraphicBundleClassID, kGGraphicBundleClassName);

}  // namespace

GGraphicBundle::GGraphicBundle() : GState(GPeripheral::kGraphicStateKey) {}

void GGraphicBundle::Set(GAttribute* attribute, int32_t key) {
  if (attribute == nullptr) return;
  attribute->SetKey(key);
  AddChild(attribute);
}

template <typename T>
T* GGraphicBundle::Get(int32_t key) {
  for (const GCountedPtr& child : Children()) {
    if (child.Get() != nullptr && child->Key() == key) return dynamic_cast<T*>(child.Get());
  }
  return nullptr;
}

template <typename T>
T* GGraphicBundle::Remove(int32_t key) {
  T* held = Get<T>(key);
  return held == nullptr ? nullptr : static_cast<T*>(RemoveChild(held));
}

void GGraphicBundle::SetBrush(GBrush* brush) { Set(brush, kBrushKey); }
void GGraphicBundle::SetCap(GCap* cap) { Set(cap, kCapKey); }
void GGraphicBundle::SetClip(GClip* clip) { Set(clip, kClipKey); }
void GGraphicBundle::SetFillMode(GFillMode* mode) { Set(mode, kFillModeKey); }
void GGraphicBundle::SetJoint(GJoint* joint) { Set(joint, kJointKey); }
void GGraphicBundle::SetPen(GPen* pen) { Set(pen, kPenKey); }
void GGraphicBundle::SetRasterOperation(GRasterOperation* operation) { Set(operation, kRasterOperationKey); }

GBrush* GGraphicBundle::RemoveBrush() { return Remove<GBrush>(kBrushKey); }
GCap* GGraphicBundle::RemoveCap() { return Remove<GCap>(kCapKey); }
GClip* GGraphicBundle::RemoveClip() { return Remove<GClip>(kClipKey); }
GFillMode* GGraphicBundle::RemoveFillMode() { return Remove<GFillMode>(kFillModeKey); }
GJoint* GGraphicBundle::RemoveJoint() { return Remove<GJoint>(kJointKey); }
GPen* GGraphicBundle::RemovePen() { return Remove<GPen>(kPenKey); }
GRasterOperation* GGraphicBundle::RemoveRasterOperation() { return Remove<GRasterOperation>(kRasterOperationKey); }

GBrush* GGraphicBundle::GetBrush() { return Get<GBrush>(kBrushKey); }
GCap* GGraphicBundle::GetCap() { return Get<GCap>(kCapKey); }
GClip* GGraphicBundle::GetClip() { return Get<GClip>(kClipKey); }
GFillMode* GGraphicBundle::GetFillMode() { return Get<GFillMode>(kFillModeKey); }
GJoint* GGraphicBundle::GetJoint() { return Get<GJoint>(kJointKey); }
GPen* GGraphicBundle::GetPen() { return Get<GPen>(kPenKey); }
GRasterOperation* GGraphicBundle::GetRasterOperation() { return Get<GRasterOperation>(kRasterOperationKey); }

void GGraphicBundle::Fields(GFieldArchive& archive) {
  GState::Fields(archive);
  archive.TrailingVersion(FormatVersion());
}
