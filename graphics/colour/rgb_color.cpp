#include "graphics/colour/rgb_color.h"

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GRGBColor>, kGRGBColorClassID, kGRGBColorClassName);

uint8_t Plus(uint8_t left, uint8_t right) { return static_cast<uint8_t>(left + right); }
uint8_t Minus(uint8_t left, uint8_t right) { return static_cast<uint8_t>(left - right); }
uint8_t Times(uint8_t left, uint8_t right) { return static_cast<uint8_t>(left * right); }
// Nothing divides colours in the system; a zero divisor answers 0 rather
// than trapping.
uint8_t Quotient(uint8_t left, uint8_t right) { return right == 0 ? 0 : static_cast<uint8_t>(left / right); }

GRGBTriple Uniform(uint8_t number) { return {number, number, number}; }

GRGBTriple Componentwise(const GRGBTriple& left, const GRGBTriple& right, uint8_t (*operation)(uint8_t, uint8_t)) {
  return {operation(left.GetRed(), right.GetRed()), operation(left.GetGreen(), right.GetGreen()),
          operation(left.GetBlue(), right.GetBlue())};
}

}  // namespace

void GRGBColor::Set(uint8_t red, uint8_t green, uint8_t blue, uint8_t fourth) {
  red_ = red;
  green_ = green;
  blue_ = blue;
  fourth_ = fourth;
}

void GRGBColor::GetComponents(uint8_t& red, uint8_t& green, uint8_t& blue, uint8_t& fourth) const {
  red = red_;
  green = green_;
  blue = blue_;
  fourth = fourth_;
}

void GRGBColor::CopyTo(GColor& target) const {
  if (auto* rgb = dynamic_cast<GRGBColor*>(&target); rgb != nullptr && rgb != this) *rgb = *this;
}

GRGBTriple GRGBColor::Negate() const { return Componentwise(Uniform(0), Triple(), Minus); }

GRGBColor& GRGBColor::Combine(const GRGBTriple& other, uint8_t (*operation)(uint8_t, uint8_t)) {
  const GRGBTriple result = Componentwise(Triple(), other, operation);
  Set(result.GetRed(), result.GetGreen(), result.GetBlue(), 255);
  return *this;
}

// Each operator in its five forms: in place with a colour or a number, and
// as a new colour with a number on either side or none.
#define QV_RGB_COLOR_OPERATORS(symbol, operation)                                                                 \
  GRGBColor& GRGBColor::operator symbol##=(const GRGBColor& other) { return Combine(other.Triple(), operation); } \
  GRGBColor& GRGBColor::operator symbol##=(uint8_t number) { return Combine(Uniform(number), operation); }        \
  GRGBColor operator symbol(const GRGBColor& left, const GRGBColor& right) {                                      \
    return {Componentwise(left.Triple(), right.Triple(), operation), 255};                                        \
  }                                                                                                               \
  GRGBColor operator symbol(const GRGBColor& left, uint8_t right) {                                               \
    return {Componentwise(left.Triple(), Uniform(right), operation), 255};                                        \
  }                                                                                                               \
  GRGBColor operator symbol(uint8_t left, const GRGBColor& right) {                                               \
    return {Componentwise(Uniform(left), right.Triple(), operation), 255};                                        \
  }

QV_RGB_COLOR_OPERATORS(+, Plus)
QV_RGB_COLOR_OPERATORS(-, Minus)
QV_RGB_COLOR_OPERATORS(*, Times)
QV_RGB_COLOR_OPERATORS(/, Quotient)

#undef QV_RGB_COLOR_OPERATORS

bool GRGBColor::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* color = other.ClassID() == ClassID() ? dynamic_cast<const GRGBColor*>(&other) : nullptr;
  return color != nullptr && color->red_ == red_ && color->green_ == green_ && color->blue_ == blue_ &&
         color->fourth_ == fourth_;
}

void GRGBColor::Fields(GFieldArchive& archive) {
  GColor::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  archive.UInt8(red_);
  archive.UInt8(green_);
  archive.UInt8(blue_);
  archive.UInt8(fourth_);
}
