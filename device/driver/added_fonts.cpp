#include "device/driver/added_fonts.h"

#include "device/driver/driver.h"
#include "device/driver/tree_lookup.h"
#include "device/fonts/device_font_list.h"
#include "device/fonts/font_catalogue_reader.h"
#include "device/fonts/mass_storage_slot.h"
#include "model/attributes/configuration.h"
#include "model/os/osfactry.h"

namespace {

constexpr int32_t kDeviceFontListsKey = 414;
const RWWString kAddedFontsName(QV_WIDE("AddedFonts"));

bool HasLists(const GDeviceFontListComposite* fonts) { return fonts != nullptr && fonts->GetListCount() != 0; }

// Takes the list of the key out of fonts and deletes it; whether there was
// one.
bool DropList(GDeviceFontListComposite& fonts, int32_t key) {
  const std::unique_ptr<MPersistentObject> list(fonts.RemoveList(key));
  return list != nullptr;
}

// Brings the slot's list in fonts up to date with its catalogue; whether
// fonts changed. The slot's state becomes enabled.
bool LoadSlot(GDriverInterface& driver, GFontCatalogueReader& reader, int32_t key,
              std::unique_ptr<GDeviceFontListComposite>& fonts) {
  SetStorageSlotState(driver, reader.Slot(), kSlotEnabled);
  if (fonts == nullptr) fonts = std::make_unique<GDeviceFontListComposite>();
  int32_t headerKey = 0;
  if (reader.ReadCatalogueHeader(headerKey).empty()) return false;
  const auto* present = dynamic_cast<const GDeviceFontList*>(fonts->FindList(key));
  if (present != nullptr && present->GetCatalogueCount() >= reader.GetRecordCount()) return false;
  std::unique_ptr<GDeviceFontList> list = reader.ReadFontList();
  if (present != nullptr) DropList(*fonts, key);
  if (list != nullptr) fonts->AddList(list.release());
  return true;
}

}  // namespace

std::unique_ptr<GDeviceFontListComposite> ReadAddedFonts(GDriverInterface& driver, const RWWString& name) {
  GOSFactory* factory = GOSFactory::Instance();
  std::unique_ptr<MPersistentObject> stored = factory ? factory->LoadNamedObject(driver, name, 0) : nullptr;
  if (dynamic_cast<GDeviceFontListComposite*>(stored.get()) == nullptr) return nullptr;
  return std::unique_ptr<GDeviceFontListComposite>(static_cast<GDeviceFontListComposite*>(stored.release()));
}

int32_t WriteAddedFonts(GDriverInterface& driver, const RWWString& name, const GDeviceFontListComposite& fonts) {
  GOSFactory* factory = GOSFactory::Instance();
  return factory ? factory->StoreNamedObject(driver, name, fonts) : 0;
}

void MergeAddedFonts(GDriverInterface& driver, GDeviceFontListComposite* added) {
  auto* lists = FindAs<GDeviceFontListComposite>(driver.GetConfiguration(), kDeviceFontListsKey);
  if (lists == nullptr) return;
  for (int32_t slot = 0; slot < kMassStorageSlotCount; ++slot) {
    const int32_t key = FindMassStorageSlot(slot)->listKey;
    if (!HasLists(added) || added->FindList(key) == nullptr) DropList(*lists, key);
  }
  if (HasLists(added)) lists->MergeFrom(*added);
}

std::unique_ptr<GDeviceFontListComposite> GDriver::LoadAddedFonts() {
  std::unique_ptr<GDeviceFontListComposite> fonts = ReadAddedFonts(*this, kAddedFontsName);
  SyncMassStorageFontsFlag(*this);
  if (!AreMassStorageFontsEnabled(*this) && !HasLists(fonts.get())) return fonts;

  const bool remote = IsRemotePrinter() != 0;
  bool changed = false;
  for (int32_t slot = 0; slot < kMassStorageSlotCount; ++slot) {
    GFontCatalogueReader reader(slot, *this);
    const int32_t state = GetStorageSlotState(*this, slot);
    int32_t key = 0;
    const bool opened = reader.OpenCatalogue(key) != nullptr;
    const bool dimm = FindMassStorageSlot(slot)->location == GDeviceFontDescription::kDimm;
    if ((opened && state == kSlotEnabled) || (state == kSlotUndecided && !dimm)) {
      changed |= LoadSlot(*this, reader, key, fonts);
      continue;
    }
    if (!opened) SetStorageSlotState(*this, slot, kSlotUndecided);
    if (fonts != nullptr && !remote) changed |= DropList(*fonts, key);
  }
  if (changed && fonts != nullptr) {
    SetMassStorageFontsEnabled(HasLists(fonts.get()) ? 1 : 0, *this);
    WriteAddedFonts(*this, kAddedFontsName, *fonts);
  }
  return fonts;
}
