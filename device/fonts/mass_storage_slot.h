#pragma once

#include <cstdint>

#include "foundation/rw_wstring.h"
#include "platform/wide_char.h"

class GDriverInterface;

// The printer's ten mass-storage font slots: two ROM add-on cards, two
// disks, two flash devices and four font DIMMs. Everything that numbers the
// slots (the printer values holding their catalogue paths, the two-bit
// slot states, the keys of their font lists, the catalogue file names)
// follows this one order.
struct GMassStorageSlot {
  // The printer value that holds the slot's catalogue path.
  const WideChar* name;
  // The key of the slot's device font list.
  int32_t listKey;
  // Where its fonts live, a GDeviceFontDescription::Location; also the
  // slot's kind.
  int32_t location;
};

inline constexpr int32_t kMassStorageSlotCount = 10;
// The slot index that stands for no slot.
inline constexpr int32_t kNoMassStorageSlot = kMassStorageSlotCount;

// The slot of the index; null for an index outside 0 to 9.
const GMassStorageSlot* FindMassStorageSlot(int32_t slot);

// The slot's catalogue path: the printer value named after the slot, empty
// when absent or when there is no OS factory. A value without a path
// separator names a file in the module's directory and comes back with
// that directory in front, when the directory is known.
RWWString GetMassStorageSlotPath(GDriverInterface& driver, int32_t slot);

// Stores the path under the slot's name. A path that begins with the
// module's directory and a separator is stored without them: catalogues
// kept beside the module are stored by file name alone. Answers the OS
// factory's result (1 written), 0 for an index outside 0 to 9 or without an
// OS factory.
int32_t SetMassStorageSlotPath(GDriverInterface& driver, int32_t slot, const RWWString& path);

// Forgets a cached catalogue: when the slot's stored value names the file
// at path, the value is emptied; then the file is deleted. A path without
// a separator names a file in the module's directory.
void RemoveCachedCatalogue(GDriverInterface& driver, int32_t slot, const RWWString& path);

// "MassStorageFonts": whether any slot is in use.
bool AreMassStorageFontsEnabled(GDriverInterface& driver);
void SetMassStorageFontsEnabled(int32_t value, GDriverInterface& driver);

// The state of a slot, two bits of "DisabledMSDs" each (bits 2i and
// 2i + 1 for slot i).
enum GStorageSlotState : int32_t {
  kSlotUndecided = 0,
  kSlotEnabled = 1,
  kSlotDisabled = 2,
};
// The whole mask; 0 when absent or unreadable.
uint32_t ReadDisabledStorageMask(GDriverInterface& driver);
int32_t WriteDisabledStorageMask(GDriverInterface& driver, uint32_t mask);
int32_t GetStorageSlotState(GDriverInterface& driver, int32_t slot);
// Replaces the slot's two bits by the state's and writes the mask; 1, or 0
// for an index outside 0 to 9.
int32_t SetStorageSlotState(GDriverInterface& driver, int32_t slot, int32_t state);
// The first slot from first to last without a catalogue path; when every
// one has a path, the first whose state is undecided or disabled;
// kNoMassStorageSlot when none.
int32_t FindStorageSlot(GDriverInterface& driver, int32_t first, int32_t last);
// Brings "MassStorageFonts" in line with the slots: in use when a ROM,
// disk or flash slot has a path, or a DIMM slot has a path and is not
// disabled. 1 when the stored value changed, else 0.
int32_t SyncMassStorageFontsFlag(GDriverInterface& driver);
