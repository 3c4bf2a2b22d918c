#pragma once

#include <cstdint>

#include "graphics/colour/color.h"

// Three 8-bit components, red, green and blue: a plain value.
class GRGBTriple {
 public:
  constexpr GRGBTriple(uint8_t red, uint8_t green, uint8_t blue) : red_(red), green_(green), blue_(blue) {}

  constexpr uint8_t GetRed() const { return red_; }
  constexpr uint8_t GetGreen() const { return green_; }
  constexpr uint8_t GetBlue() const { return blue_; }

 private:
  uint8_t red_;
  uint8_t green_;
  uint8_t blue_;
};

// A colour of red, green and blue, 0..255 each, with a fourth component
// carried along. Every colour the system builds, and every result of the
// arithmetic below, has 255 in the fourth; nothing that draws reads it.
//
// Arithmetic works on red, green and blue separately in 8-bit unsigned
// numbers: sums, differences and products wrap modulo 256, division is
// integer division and a division by 0 gives 0. A number stands for a
// colour with that number in every component.
//
// Stored part after the colour's: version 1; red, green, blue and the
// fourth, one byte each.
class GRGBColor : public GColor {
 public:
  GRGBColor() = default;
  GRGBColor(uint8_t red, uint8_t green, uint8_t blue, uint8_t fourth)
      : red_(red), green_(green), blue_(blue), fourth_(fourth) {}
  GRGBColor(const GRGBTriple& triple, uint8_t fourth)
      : GRGBColor(triple.GetRed(), triple.GetGreen(), triple.GetBlue(), fourth) {}
  // Key and serial number are copied with the components.
  GRGBColor(const GRGBColor& other) = default;
  GRGBColor& operator=(const GRGBColor& other) = default;

  uint8_t GetRed() const { return red_; }
  uint8_t GetGreen() const { return green_; }
  uint8_t GetBlue() const { return blue_; }
  uint8_t GetFourth() const override { return fourth_; }
  void SetRed(uint8_t red) { red_ = red; }
  void SetGreen(uint8_t green) { green_ = green; }
  void SetBlue(uint8_t blue) { blue_ = blue; }
  void SetFourth(uint8_t fourth) override { fourth_ = fourth; }
  void Set(uint8_t red, uint8_t green, uint8_t blue, uint8_t fourth);
  void GetComponents(uint8_t& red, uint8_t& green, uint8_t& blue, uint8_t& fourth) const;
  GRGBTriple Triple() const { return {red_, green_, blue_}; }
  void CopyTo(GColor& target) const override;
  // The components negated modulo 256.
  GRGBTriple Negate() const;

  // In place: this colour's key and serial number stay.
  GRGBColor& operator+=(const GRGBColor& other);
  GRGBColor& operator-=(const GRGBColor& other);
  GRGBColor& operator*=(const GRGBColor& other);
  GRGBColor& operator/=(const GRGBColor& other);
  GRGBColor& operator+=(uint8_t number);
  GRGBColor& operator-=(uint8_t number);
  GRGBColor& operator*=(uint8_t number);
  GRGBColor& operator/=(uint8_t number);

  RWCollectable* NewInstance() const override { return new GRGBColor; }
  RWCollectable* Clone() const override { return new GRGBColor(*this); }
  RWClassID ClassID() const override { return kGRGBColorClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGRGBColorClassID || GColor::IsKindOf(id); }
  // Same class and the same four components; keys are not compared.
  bool SameContent(const MPersistentObject& other) const override;

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  // Applies a component operation with the other operand's components and
  // sets the fourth to 255.
  GRGBColor& Combine(const GRGBTriple& other, uint8_t (*operation)(uint8_t, uint8_t));

  uint8_t red_ = 0;
  uint8_t green_ = 0;
  uint8_t blue_ = 0;
  uint8_t fourth_ = 0;
};

// New colours (key 0, a serial number of their own).
GRGBColor operator+(const GRGBColor& left, const GRGBColor& right);
GRGBColor operator-(const GRGBColor& left, const GRGBColor& right);
GRGBColor operator*(const GRGBColor& left, const GRGBColor& right);
GRGBColor operator/(const GRGBColor& left, const GRGBColor& right);
GRGBColor operator+(const GRGBColor& left, uint8_t right);
GRGBColor operator-(const GRGBColor& left, uint8_t right);
GRGBColor operator*(const GRGBColor& left, uint8_t right);
GRGBColor operator/(const GRGBColor& left, uint8_t right);
GRGBColor operator+(uint8_t left, const GRGBColor& right);
GRGBColor operator-(uint8_t left, const GRGBColor& right);
GRGBColor operator*(uint8_t left, const GRGBColor& right);
GRGBColor operator/(uint8_t left, const GRGBColor& right);
