#pragma once

#include "model/objects/class_ids.h"

// The persistent classes of the device library, which its registry test
// and its restore fuzz target go through.
inline constexpr RWClassID kDeviceClassIDs[] = {
    kGCustomMediaSizeClassID,
    kGDeviceFontDescriptionClassID,
    kGDeviceFontListClassID,
    kGDeviceFontListCompositeClassID,
    kGFormToTrayAssociationClassID,
    kGFormToTrayDatabaseClassID,
    kGMarginPoolClassID,
    kGMediaClassID,
    kGMediaPoolClassID,
    kGPMLDescriptorClassID,
};
