#include "device/paper/tray.h"

#include "foundation/class_registrar.h"
#include "model/attributes/peripheral.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GTray>, kGTrayClassID, kGTrayClassName);

std::unique_ptr<GMedia> CopyOf(const GMedia* medium) {
  return medium != nullptr ? std::make_unique<GMedia>(*medium) : nullptr;
}

}  // namespace

GTray::GTray(int16_t resourceId, const RWCString& name, int16_t id, int32_t firstValue, int32_t secondValue,
             int32_t capacity, int32_t level, std::unique_ptr<GMedia> medium, const char* defaultText,
             const char* moduleName, int32_t key)
    : GTray(name, id, firstValue, secondValue, capacity, level, std::move(medium), key) {
  SetDisplayString(GDisplayString(resourceId, defaultText, moduleName));
}

GTray::GTray(const GTray& other) : GSheetContainer(other), medium_(CopyOf(other.medium_.get())) {}

GTray& GTray::operator=(const GTray& other) {
  if (this == &other) return *this;
  GSheetContainer::operator=(other);
  medium_ = CopyOf(other.medium_.get());
  return *this;
}

bool GTray::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* tray = SameClassAndKey<GTray>(other);
  if (tray == nullptr || !SameSheetFields(*tray)) return false;
  if (medium_ == nullptr || tray->medium_ == nullptr) return medium_ == tray->medium_;
  return medium_->SameContent(*tray->medium_);
}

uint16_t GTray::SendTo(GPeripheral& target) { return target.ApplyTray(*this); }

void GTray::Fields(GFieldArchive& archive) {
  GSheetContainer::Fields(archive);
  int32_t loaded = medium_ != nullptr ? 1 : 0;
  if (!archive.Int32(loaded)) return;
  if (!archive.IsRestoring()) {
    if (medium_ != nullptr) archive.ObjectValue(*medium_);
  } else {
    // The old medium goes whatever the flag says; a new one only when its
    // object is read whole.
    medium_.reset();
    GMedia read;
    if (loaded == 1 && archive.ObjectValue(read)) medium_ = std::make_unique<GMedia>(read);
  }
  DisplayStringField(archive);
}
