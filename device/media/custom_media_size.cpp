#include "device/media/custom_media_size.h"

#include <limits>

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GCustomMediaSize>, kGCustomMediaSizeClassID,
                                kGCustomMediaSizeClassName);

struct Ratio {
  uint64_t multiplier;
  uint64_t divisor;
};

// From unit (row) to unit (column): 1/100 inch, mm, 1/10000 inch, µm. An
// inch is 25.4 mm, so 12700 / 50000 and 127 / 50 are its exact fractions.
// clang-format off
constexpr Ratio kRatios[4][4] = {
    {{1, 1},         {12700, 50000}, {100, 1},       {12700, 50}},
    {{50000, 12700}, {1, 1},         {50000, 127},   {1000, 1}},
    {{1, 100},       {127, 50000},   {1, 1},         {127, 50}},
    {{50, 12700},    {1, 1000},      {50, 127},      {1, 1}},
};
// clang-format on

bool IsUnit(int32_t unit) { return unit >= kHundredthsOfInch && unit <= kMicrometres; }

// The quotient rounded to nearest, halves up.
uint64_t DivideRoundHalfUp(uint64_t value, uint64_t divisor) {
  const uint64_t quotient = value / divisor;
  const uint64_t remainder = value % divisor;
  return remainder >= divisor - divisor / 2 ? quotient + 1 : quotient;
}

// One value from unit to unit. The values converted here stay below 2^39 (a
// 32-bit value, or dots times 100) and the multipliers below 2^16, so the
// product never overflows 64 bits.
uint64_t Convert(int32_t from, int32_t to, uint64_t value) {
  if (from == to || !IsUnit(from) || !IsUnit(to)) return value;
  const Ratio& ratio = kRatios[from][to];
  return DivideRoundHalfUp(value * ratio.multiplier, ratio.divisor);
}

std::optional<GUnitSize> Fit(uint64_t width, uint64_t height) {
  constexpr uint64_t kLargest = std::numeric_limits<uint32_t>::max();
  if (width > kLargest || height > kLargest) return std::nullopt;
  return GUnitSize{static_cast<uint32_t>(width), static_cast<uint32_t>(height)};
}

std::optional<GUnitSize> Converted(int32_t from, int32_t to, GUnitSize size) {
  return Fit(Convert(from, to, size.width), Convert(from, to, size.height));
}

}  // namespace

bool ConvertSizeUnits(int32_t from, int32_t to, GUnitSize& size) {
  const std::optional<GUnitSize> converted = Converted(from, to, size);
  if (!converted) return false;
  size = *converted;
  return true;
}

std::optional<GUnitSize> SizeInDots(int32_t unit, GUnitSize size, uint16_t xDotsPerInch, uint16_t yDotsPerInch) {
  const uint64_t width = Convert(unit, kTenThousandthsOfInch, size.width);
  const uint64_t height = Convert(unit, kTenThousandthsOfInch, size.height);
  return Fit(width * xDotsPerInch / 10000, height * yDotsPerInch / 10000);
}

GCustomMediaSize::GCustomMediaSize(int16_t id, const RWCString& name, int32_t unit, uint32_t width, uint32_t height,
                                   int32_t key)
    : GAttribute(key), id_(id), name_(name), unit_(unit), size_{width, height} {}

GCustomMediaSize::GCustomMediaSize(int16_t id, const RWCString& name, uint16_t xDotsPerInch, uint16_t yDotsPerInch,
                                   int32_t unit, uint32_t widthInDots, uint32_t heightInDots, int32_t key)
    : GAttribute(key), id_(id), name_(name), unit_(unit) {
  if (xDotsPerInch == 0 || yDotsPerInch == 0) return;
  const uint64_t width = uint64_t{widthInDots} * 100 / xDotsPerInch;
  const uint64_t height = uint64_t{heightInDots} * 100 / yDotsPerInch;
  size_ = Fit(Convert(kHundredthsOfInch, unit, width), Convert(kHundredthsOfInch, unit, height)).value_or(GUnitSize{});
}

void GCustomMediaSize::SetUnitAndSize(int32_t unit, GUnitSize size) {
  unit_ = unit;
  size_ = size;
}

bool GCustomMediaSize::ConvertTo(int32_t unit) {
  if (!ConvertSizeUnits(unit_, unit, size_)) return false;
  unit_ = unit;
  return true;
}

std::optional<GUnitSize> GCustomMediaSize::GetSizeIn(int32_t unit) const { return Converted(unit_, unit, size_); }

bool GCustomMediaSize::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* size = SameClassAndKey<GCustomMediaSize>(other);
  if (size == nullptr || size->id_ != id_ || size->name_ != name_) return false;
  if (size->unit_ == unit_) return size->size_ == size_;
  // In 64 bits, so that sizes too large for 32 bits in micrometres still
  // compare by value.
  return Convert(unit_, kMicrometres, size_.width) == Convert(size->unit_, kMicrometres, size->size_.width) &&
         Convert(unit_, kMicrometres, size_.height) == Convert(size->unit_, kMicrometres, size->size_.height);
}

void GCustomMediaSize::Fields(GFieldArchive& archive) {
  GAttribute::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  archive.Int16(id_);
  archive.String(name_);
  archive.Int32(unit_);
  archive.UInt32(size_.width);
  archive.UInt32(size_.height);
}
