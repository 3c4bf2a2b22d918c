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

uint32_t GRangeAttribute::StoredSize() const { return GAttribute::StoredSize() + 12; }

bool GRangeAttribute::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* range = SameClassAndKey<GRangeAttribute>(other);
  return range != nullptr && range->minimum_ == minimum_ && range->maximum_ == maximum_ && range->step_ == step_ &&
         range->value_ == value_;
}

void GRangeAttribute::SaveContentsToFile(GBinaryFile& file) const {
  GAttribute::SaveContentsToFile(file);
  file.Write(FormatVersion());
  const int16_t fields[] = {minimum_, maximum_, step_, value_};
  file.Write(fields, 4);
}

void GRangeAttribute::SaveContentsToStream(GVirtualOutStream& stream) const {
  GAttribute::SaveContentsToStream(stream);
  stream.PutULong(FormatVersion()).PutShort(minimum_).PutShort(maximum_).PutShort(step_).PutShort(value_);
}

void GRangeAttribute::RestoreContentsFromFile(GBinaryFile& file) {
  GAttribute::RestoreContentsFromFile(file);
  int16_t fields[4];
  if (ReadVersion(file, FormatVersion()) && file.Read(fields, 4)) Assign(fields);
}

void GRangeAttribute::RestoreContentsFromStream(GVirtualInStream& stream) {
  GAttribute::RestoreContentsFromStream(stream);
  if (!ReadVersion(stream, FormatVersion())) return;
  int16_t fields[4];
  if (stream.GetShort(fields[0]).GetShort(fields[1]).GetShort(fields[2]).GetShort(fields[3]).IsGood()) Assign(fields);
}

void GRangeAttribute::Assign(const int16_t (&fields)[4]) {
  minimum_ = fields[0];
  maximum_ = fields[1];
  step_ = fields[2];
  value_ = fields[3];
}

uint16_t GRangeAttribute::SendTo(GPeripheral& target) { return target.ApplyRangeAttribute(*this); }
