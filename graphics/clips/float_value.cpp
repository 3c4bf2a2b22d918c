#include "graphics/clips/float_value.h"

#include <cmath>

namespace {

constexpr float kRadiansPerDegree = 0.017453292F;

}  // namespace

// fmod reduces huge angles at once where subtracting 360 in a loop would
// never end (360 is lost in the rounding of a large float); it keeps the
// sign of -0.0, which stays as it is.
GFloatValue::GFloatValue(float degrees) : value_(std::fmod(degrees, 360.0F)) {
  if (value_ < 0.0F) value_ += 360.0F;
  // A tiny negative angle plus 360 rounds to 360 itself.
  if (value_ >= 360.0F) value_ = 0.0F;
}

float GFloatValue::Sin() const { return std::sin(value_ * kRadiansPerDegree); }

float GFloatValue::Cos() const { return std::cos(value_ * kRadiansPerDegree); }
