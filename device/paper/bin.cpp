#include "device/paper/bin.h"

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GBin>, kGBinClassID, kGBinClassName);

}  // namespace

GBin::GBin(int16_t resourceId, const RWCString& name, int16_t id, int32_t firstValue, int32_t secondValue,
           int32_t capacity, int32_t level, int32_t outputOrder, int32_t lastValue, const char* defaultText,
           const char* moduleName, int32_t key)
    : GBin(name, id, firstValue, secondValue, capacity, level, outputOrder, lastValue, key) {
  SetDisplayString(GDisplayString(resourceId, defaultText, moduleName));
}

bool GBin::SameContent(const MPersistentObject& other) const {
  const auto* bin = SameClassAndKey<GBin>(other);
  return bin != nullptr && SameSheetFields(*bin) && bin->outputOrder_ == outputOrder_ && bin->lastValue_ == lastValue_;
}

void GBin::Fields(GFieldArchive& archive) {
  GSheetContainer::Fields(archive);
  archive.Int32(outputOrder_);
  archive.Int32(lastValue_);
  DisplayStringField(archive);
}
