#include "device/fonts/mass_storage_slot.h"

#include <algorithm>
#include <array>

#include "device/fonts/device_font_description.h"
#include "model/os/osfactry.h"

namespace {

using Location = GDeviceFontDescription::Location;

constexpr std::array<GMassStorageSlot, kMassStorageSlotCount> kSlots = {{
    {QV_WIDE("ROMAddOnFonts1"), 416, Location::kRomAddOn},
    {QV_WIDE("ROMAddOnFonts2"), 417, Location::kRomAddOn},
    {QV_WIDE("DiskFonts1"), 420, Location::kDisk},
    {QV_WIDE("DiskFonts2"), 421, Location::kDisk},
    {QV_WIDE("FlashFonts1"), 418, Location::kFlash},
    {QV_WIDE("FlashFonts2"), 419, Location::kFlash},
    {QV_WIDE("DIMMFonts1"), 422, Location::kDimm},
    {QV_WIDE("DIMMFonts2"), 423, Location::kDimm},
    {QV_WIDE("DIMMFonts3"), 428, Location::kDimm},
    {QV_WIDE("DIMMFonts4"), 429, Location::kDimm},
}};

// The module's directory followed by the separator; empty when the
// directory is not known.
RWWString ModuleDirectoryPrefix(GOSFactory& factory) {
  RWWString directory;
  factory.GetModuleDirectory(directory);
  if (directory.Length() != 0) directory.Append(factory.PathSeparator(), 1);
  return directory;
}

bool StartsWith(const RWWString& text, const RWWString& prefix) {
  return prefix.Length() <= text.Length() && std::equal(prefix.Data(), prefix.Data() + prefix.Length(), text.Data());
}

}  // namespace

const GMassStorageSlot* FindMassStorageSlot(int32_t slot) {
  if (slot < 0 || slot >= kMassStorageSlotCount) return nullptr;
  return &kSlots[static_cast<uint32_t>(slot)];
}

RWWString GetMassStorageSlotPath(GDriverInterface& driver, int32_t slot) {
  RWWString path;
  const GMassStorageSlot* found = FindMassStorageSlot(slot);
  GOSFactory* factory = GOSFactory::Instance();
  if (!found || !factory) return path;
  factory->GetPrinterDataString(path, driver, RWWString(found->name), RWWString());
  if (path.Length() == 0 || path.FindCharInLength(factory->PathSeparator()) != RW_NPOS) return path;
  const RWWString prefix = ModuleDirectoryPrefix(*factory);
  return prefix.Length() == 0 ? path : prefix + path;
}

int32_t SetMassStorageSlotPath(GDriverInterface& driver, int32_t slot, const RWWString& path) {
  const GMassStorageSlot* found = FindMassStorageSlot(slot);
  GOSFactory* factory = GOSFactory::Instance();
  if (!found || !factory) return 0;
  const RWWString prefix = ModuleDirectoryPrefix(*factory);
  const bool inModuleDirectory = prefix.Length() != 0 && StartsWith(path, prefix);
  const RWWString stored =
      inModuleDirectory ? RWWString(path.Data() + prefix.Length(), path.Length() - prefix.Length()) : path;
  return factory->SetPrinterDataString(driver, RWWString(found->name), stored);
}
