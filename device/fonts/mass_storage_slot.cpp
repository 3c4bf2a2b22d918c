#include "device/fonts/mass_storage_slot.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "device/fonts/device_font_description.h"
#include "model/objects/text_conversion.h"
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

const RWWString kEnabledValue(QV_WIDE("MassStorageFonts"));
const RWWString kStateMaskValue(QV_WIDE("DisabledMSDs"));

// A stored value without a separator names a file in the module's
// directory: the value with the directory in front, when it is known.
RWWString ResolveInModuleDirectory(GOSFactory& factory, const RWWString& value) {
  if (value.Length() == 0 || value.FindCharInLength(factory.PathSeparator()) != RW_NPOS) return value;
  const RWWString prefix = ModuleDirectoryPrefix(factory);
  return prefix.Length() == 0 ? value : prefix + value;
}

// The raw stored value of the slot, empty when absent.
RWWString StoredSlotValue(GOSFactory& factory, GDriverInterface& driver, const GMassStorageSlot& slot) {
  RWWString value;
  factory.GetPrinterDataString(value, driver, RWWString(slot.name), RWWString());
  return value;
}

// The two state bits of the slot within the mask.
uint32_t SlotBits(int32_t slot, int32_t state) {
  return static_cast<uint32_t>(state & 3) << (2 * static_cast<uint32_t>(slot));
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
  const GMassStorageSlot* found = FindMassStorageSlot(slot);
  GOSFactory* factory = GOSFactory::Instance();
  if (!found || !factory) return RWWString();
  return ResolveInModuleDirectory(*factory, StoredSlotValue(*factory, driver, *found));
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

void RemoveCachedCatalogue(GDriverInterface& driver, int32_t slot, const RWWString& path) {
  GOSFactory* factory = GOSFactory::Instance();
  if (!factory) return;
  const GMassStorageSlot* found = FindMassStorageSlot(slot);
  if (found) {
    const RWWString stored = StoredSlotValue(*factory, driver, *found);
    if (stored.Length() != 0 && ModuleDirectoryPrefix(*factory) + stored == path) {
      factory->SetPrinterDataString(driver, RWWString(found->name), RWWString());
    }
  }
  RWCString narrowPath;
  WideToNarrow(ResolveInModuleDirectory(*factory, path), narrowPath);
  if (std::FILE* file = std::fopen(narrowPath.Data(), "rb")) {
    std::fclose(file);
    std::remove(narrowPath.Data());
  }
}

bool AreMassStorageFontsEnabled(GDriverInterface& driver) {
  GOSFactory* factory = GOSFactory::Instance();
  return factory && factory->GetPrinterDataDword(driver, kEnabledValue, 0) == 1;
}

void SetMassStorageFontsEnabled(int32_t value, GDriverInterface& driver) {
  if (GOSFactory* factory = GOSFactory::Instance()) {
    factory->SetPrinterDataDword(driver, kEnabledValue, value == 1 ? 1 : 0);
  }
}

uint32_t ReadDisabledStorageMask(GDriverInterface& driver) {
  GOSFactory* factory = GOSFactory::Instance();
  const uint32_t mask = factory ? factory->GetPrinterDataDword(driver, kStateMaskValue, 0) : 0;
  return mask == 0xFFFFFFFFu ? 0 : mask;
}

int32_t WriteDisabledStorageMask(GDriverInterface& driver, uint32_t mask) {
  GOSFactory* factory = GOSFactory::Instance();
  return factory ? factory->SetPrinterDataDword(driver, kStateMaskValue, mask) : 0;
}

int32_t GetStorageSlotState(GDriverInterface& driver, int32_t slot) {
  if (!FindMassStorageSlot(slot)) return kSlotUndecided;
  return static_cast<int32_t>(ReadDisabledStorageMask(driver) >> (2 * static_cast<uint32_t>(slot))) & 3;
}

int32_t SetStorageSlotState(GDriverInterface& driver, int32_t slot, int32_t state) {
  if (!FindMassStorageSlot(slot)) return 0;
  const uint32_t mask = (ReadDisabledStorageMask(driver) & ~SlotBits(slot, 3)) | SlotBits(slot, state);
  WriteDisabledStorageMask(driver, mask);
  return 1;
}

int32_t FindStorageSlot(GDriverInterface& driver, int32_t first, int32_t last) {
  first = std::max(first, 0);
  last = std::min(last, kMassStorageSlotCount - 1);
  for (int32_t slot = first; slot <= last; ++slot) {
    if (GetMassStorageSlotPath(driver, slot).Length() == 0) return slot;
  }
  for (int32_t slot = first; slot <= last; ++slot) {
    const int32_t state = GetStorageSlotState(driver, slot);
    if (state == kSlotUndecided || state == kSlotDisabled) return slot;
  }
  return kNoMassStorageSlot;
}

int32_t SyncMassStorageFontsFlag(GDriverInterface& driver) {
  const uint32_t mask = ReadDisabledStorageMask(driver);
  bool inUse = false;
  for (int32_t slot = 0; slot < kMassStorageSlotCount && !inUse; ++slot) {
    const bool disabled = (mask & SlotBits(slot, kSlotDisabled)) != 0;
    const bool dimm = FindMassStorageSlot(slot)->location == Location::kDimm;
    inUse = GetMassStorageSlotPath(driver, slot).Length() != 0 && !(dimm && disabled);
  }
  if (inUse == AreMassStorageFontsEnabled(driver)) return 0;
  SetMassStorageFontsEnabled(inUse ? 1 : 0, driver);
  return 1;
}
