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
