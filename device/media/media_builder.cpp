#include "device/media/media_builder.h"

#include <algorithm>
#include <optional>

#include "device/media/margin_pool.h"
#include "model/attributes/value_attribute.h"
#include "model/objects/persistent_object.h"

namespace {

constexpr int32_t kMarginPoolKey = 959;
constexpr int32_t kMarginGroupKey = 331;
constexpr int32_t kMarginKeys[4] = {332, 333, 334, 335};
constexpr int32_t kResolutionGroupKey = 249;
constexpr int32_t kXResolutionKey = 323;
constexpr int32_t kYResolutionKey = 324;
constexpr int32_t kOrientationKey = 265;

// Near (left, top) and far (right, bottom) margins in one length unit.
struct Margins {
  int32_t unit = kMicrometres;
  GUnitSize nearSize;
  GUnitSize farSize;
};

uint32_t NotNegative(int32_t margin) { return static_cast<uint32_t>(std::max(margin, 0)); }

// The value of the value setting with the key found in node.
std::optional<int16_t> SettingValue(MPersistentObject& node, int32_t key) {
  const auto* setting = dynamic_cast<const GValueAttribute*>(node.FindByKey(key));
  if (setting == nullptr) return std::nullopt;
  return setting->Value();
}

Margins FromPool(const GMarginPool* pool, int32_t orientation) {
  const GMarginRecord* record = pool != nullptr ? pool->GetRecord(0) : nullptr;
  if (record == nullptr || orientation < 0 || orientation > 270 || orientation % 90 != 0) return {};
  const int32_t* group = record->data() + orientation / 90 * 4;
  return {kMicrometres, {NotNegative(group[0]), NotNegative(group[1])}, {NotNegative(group[2]), NotNegative(group[3])}};
}

Margins FromSettings(MPersistentObject& source) {
  MPersistentObject* group = source.FindByKey(kMarginGroupKey);
  if (group == nullptr) return {};
  uint32_t values[4];
  for (int i = 0; i < 4; ++i) {
    const std::optional<int16_t> margin = SettingValue(*group, kMarginKeys[i]);
    if (!margin) return {};
    values[i] = NotNegative(*margin);
  }
  return {kTenThousandthsOfInch, {values[0], values[1]}, {values[2], values[3]}};
}

Margins MarginsOf(MPersistentObject& source, int32_t orientation) {
  MPersistentObject* pool = source.FindByKey(kMarginPoolKey);
  if (pool != nullptr) return FromPool(dynamic_cast<const GMarginPool*>(pool), orientation);
  return FromSettings(source);
}

int16_t Dots(uint32_t value) { return static_cast<int16_t>(value); }

}  // namespace

std::unique_ptr<GMedia> BuildMediaWithMargins(const GCustomMediaSize& size, MPersistentObject& marginSource,
                                              uint16_t xResolution, uint16_t yResolution, int32_t orientation) {
  const Margins margins = MarginsOf(marginSource, orientation);
  const std::optional<GUnitSize> sheet = size.GetSizeInDots(xResolution, yResolution);
  const std::optional<GUnitSize> nearMargins = SizeInDots(margins.unit, margins.nearSize, xResolution, yResolution);
  const std::optional<GUnitSize> farMargins = SizeInDots(margins.unit, margins.farSize, xResolution, yResolution);
  if (!sheet || !nearMargins || !farMargins) return nullptr;
  const bool turned = orientation == 90 || orientation == 270;
  const GDotPair paper =
      turned ? GDotPair{Dots(sheet->height), Dots(sheet->width)} : GDotPair{Dots(sheet->width), Dots(sheet->height)};
  const GDotPair origin{Dots(nearMargins->width), Dots(nearMargins->height)};
  const GDotPair printable{static_cast<int16_t>(paper.x - Dots(farMargins->width) - origin.x),
                           static_cast<int16_t>(paper.y - Dots(farMargins->height) - origin.y)};
  return std::make_unique<GMedia>(size.GetName(), paper, printable, origin, orientation, size.GetId(), xResolution,
                                  yResolution, GMedia::kDefaultKey, 0, nullptr, nullptr);
}

std::unique_ptr<GMedia> BuildMediaForSizeAttribute(const GCustomMediaSize& size, MPersistentObject& settings,
                                                   MPersistentObject& marginSource) {
  MPersistentObject* resolution = settings.FindByKey(kResolutionGroupKey);
  if (resolution == nullptr) return nullptr;
  const std::optional<int16_t> x = SettingValue(*resolution, kXResolutionKey);
  const std::optional<int16_t> y = SettingValue(*resolution, kYResolutionKey);
  if (!x || !y) return nullptr;
  return BuildMediaForSize(size, settings, marginSource, static_cast<uint16_t>(*x), static_cast<uint16_t>(*y));
}

std::unique_ptr<GMedia> BuildMediaForSize(const GCustomMediaSize& size, MPersistentObject& settings,
                                          MPersistentObject& marginSource, uint16_t xResolution, uint16_t yResolution) {
  const std::optional<int16_t> orientation = SettingValue(settings, kOrientationKey);
  if (!orientation) return nullptr;
  return BuildMediaWithMargins(size, marginSource, xResolution, yResolution, *orientation);
}
