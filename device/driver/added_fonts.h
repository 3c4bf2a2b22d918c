#pragma once

#include <memory>

#include "device/fonts/device_font_list_composite.h"
#include "foundation/rw_wstring.h"

class GDriverInterface;

// The device font lists of the printer's mass-storage slots, kept in the
// printer data as one named object ("AddedFonts"), and their place in the
// device description. GDriver::LoadAddedFonts brings them up to date.

// The object stored under the name, when it is a font list composite;
// null otherwise.
std::unique_ptr<GDeviceFontListComposite> ReadAddedFonts(GDriverInterface& driver, const RWWString& name);
// The OS factory's answer (1 stored).
int32_t WriteAddedFonts(GDriverInterface& driver, const RWWString& name, const GDeviceFontListComposite& fonts);
// Makes the description's font lists (414) hold the slot lists of added:
// every slot list that added lacks (all of them when added is null or
// empty) is dropped, then added's lists are merged in.
void MergeAddedFonts(GDriverInterface& driver, GDeviceFontListComposite* added);
