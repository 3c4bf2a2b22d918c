#include "graphics/fonts/text_escapements.h"

#include <cmath>
#include <utility>
#include <vector>

#include "foundation/class_registrar.h"
#include "graphics/clips/float_value.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GTextEscapements>, kGTextEscapementsClassID,
                                kGTextEscapementsClassName);

void Negate(GCodeBlock<int16_t>& advances) {
  int16_t* values = advances.MutableData();
  for (uint32_t i = 0; i < advances.Count(); ++i) values[i] = static_cast<int16_t>(-values[i]);
}

// Rounds half up by adding 0.5 and cutting toward zero, as the printers'
// own placement does (so -70.71 becomes -70).
int32_t Placed(float value) { return static_cast<int32_t>(std::trunc(value + 0.5F)); }

}  // namespace

GTextEscapements::GTextEscapements(GCodeBlock<int16_t> x, GCodeBlock<int16_t> y, uint16_t count)
    : x_(std::move(x)), y_(std::move(y)), count_(count) {}

GTextEscapements::GTextEscapements(const GFloatValue& angle, GCodeBlock<int16_t> advances)
    : count_(static_cast<uint16_t>(advances.Count())) {
  const float degrees = angle.Get();
  if (degrees == 0.0F) {
    x_ = std::move(advances);
  } else if (degrees == 90.0F) {
    y_ = std::move(advances);
    Negate(y_);
  } else if (degrees == 180.0F) {
    x_ = std::move(advances);
    Negate(x_);
  } else if (degrees == 270.0F) {
    y_ = std::move(advances);
  } else {
    const float cosine = angle.Cos();
    const float sine = angle.Sin();
    std::vector<int16_t> y(advances.Count());
    int16_t* x = advances.MutableData();
    int32_t sum = 0;
    int32_t lastX = 0;
    int32_t lastY = 0;
    for (uint32_t i = 0; i < advances.Count(); ++i) {
      sum += x[i];
      const int32_t placedX = Placed(static_cast<float>(sum) * cosine);
      const int32_t placedY = -Placed(static_cast<float>(sum) * sine);
      x[i] = static_cast<int16_t>(placedX - lastX);
      y[i] = static_cast<int16_t>(placedY - lastY);
      lastX = placedX;
      lastY = placedY;
    }
    x_ = std::move(advances);
    y_ = GCodeBlock<int16_t>(std::move(y));
  }
}

void GTextEscapements::SetAdvance(GCodeBlock<int16_t>& advances, uint16_t index, int16_t value) {
  if (advances.IsEmpty()) {
    if (value == 0) return;
    advances = GCodeBlock<int16_t>(std::vector<int16_t>(count_));
  }
  advances.Set(index, value);
}

bool GTextEscapements::SameContent(const MPersistentObject& other) const {
  const auto* escapements = SameClassAndKey<GTextEscapements>(other);
  return escapements != nullptr && count_ == escapements->count_ && x_.SameElements(escapements->x_) &&
         y_.SameElements(escapements->y_);
}

void GTextEscapements::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  archive.UInt16(count_) && AdvanceFields(archive, x_) && AdvanceFields(archive, y_);
}

bool GTextEscapements::AdvanceFields(GFieldArchive& archive, GCodeBlock<int16_t>& advances) {
  bool present = !advances.IsEmpty();
  if (!archive.Bool32(present)) return false;
  if (archive.IsRestoring()) advances = {};
  return !present || advances.Fields(archive, count_);
}
