#include "model/attributes/range_attribute.h"

#include "foundation/class_registrar.h"
#include "model/attributes/peripheral.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GRangeAttribute>, kGRangeAttributeClassID, kGRangeAttributeClassName);

}  // namespace

GRangeAttribute::GRangeAttribute(int16_t minimum, int16_t maximum, int16_t step, int16_t value, int32_t key)
    : GAttribute(key), minimum_(minimum), maximum_(maximum < minimum ? minimum : maximum), step_(step != 0 ? step : 1) {
  value_ = Clamped(value);
}

int16_t GRangeAttribute::Clamped(int32_t value) const {
  if (value < minimum_) return minimum_;
  if (value > maximum_) return maximum_;
  return static_cast<int16_t>(value);
}

void GRangeAttribute::Fields(GFieldArchive& archive) {
  GAttribute::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  int16_t fields[4] = {minimum_, maximum_, step_, value_};
  for (int16_t& field : fields) {
    if (!archive.Int16(field)) return;
  }
  if (archive.IsRestoring()) Assign(fields);
}

bool GRangeAttribute::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* range = SameClassAndKey<GRangeAttribute>(other);
  return range != nullptr && range->minimum_ == minimum_ && range->maximum_ == maximum_ && range->step_ == step_ &&
         range->value_ == value_;
}

void GRangeAttribute::Assign(const int16_t (&fields)[4]) {
  minimum_ = fields[0];
  maximum_ = fields[1];
  step_ = fields[2];
  value_ = fields[3];
}

uint16_t GRangeAttribute::SendTo(GPeripheral& target) { return target.ApplyRangeAttribute(*this); }
