#include "device/driver/tree_lookup.h"

#include "model/attributes/string_attribute.h"
#include "model/attributes/value_attribute.h"

namespace {

constexpr int32_t kOrientationKey = 265;
constexpr int32_t kResolutionGroupKey = 249;
constexpr int32_t kXResolutionKey = 323;
constexpr int32_t kYResolutionKey = 324;

}  // namespace

std::optional<int16_t> FindValue(MPersistentObject* node, int32_t key) {
  const GValueAttribute* value = FindAs<GValueAttribute>(node, key);
  if (value == nullptr) return std::nullopt;
  return value->Value();
}

GStringAttribute* FindText(MPersistentObject* node, int32_t key) { return FindAs<GStringAttribute>(node, key); }

std::optional<GSettingsGeometry> FindGeometry(MPersistentObject* settings) {
  const std::optional<int16_t> orientation = FindValue(settings, kOrientationKey);
  MPersistentObject* resolution = settings != nullptr ? settings->FindByKey(kResolutionGroupKey) : nullptr;
  const std::optional<int16_t> x = FindValue(resolution, kXResolutionKey);
  const std::optional<int16_t> y = FindValue(resolution, kYResolutionKey);
  if (!orientation || !x || !y) return std::nullopt;
  return GSettingsGeometry{*orientation, static_cast<uint16_t>(*x), static_cast<uint16_t>(*y)};
}
