#pragma once

// One float. Built from an angle in degrees it holds the angle brought into
// 0 (inclusive) to 360 (exclusive); the font classes turn text with it.
class GFloatValue {
 public:
  GFloatValue() = default;
  explicit GFloatValue(float degrees);

  float Get() const { return value_; }
  // Of the held angle, taken in degrees.
  float Sin() const;
  float Cos() const;

 private:
  float value_ = 0.0F;
};
