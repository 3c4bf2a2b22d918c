#pragma once

#include "model/objects/class_ids.h"

// The persistent classes of the device library, which its registry test
// and its restore fuzz target go through.
inline constexpr RWClassID kDeviceClassIDs[] = {
    kGBinClassID,
    kGBookletCompositeClassID,
    kGColorMapClassID,
    kGCustomMediaSizeClassID,
    kGDeviceFontDescriptionClassID,
    kGDeviceFontListClassID,
    kGDeviceFontListCompositeClassID,
    kGDisplayStringAttributeClassID,
    kGEdgeControlClassID,
    kGFormToTrayAssociationClassID,
    kGFormToTrayDatabaseClassID,
    kGHalftoneEnhancedClassID,
    kGMarginPoolClassID,
    kGMediaClassID,
    kGMediaPoolClassID,
    kGNeutralGraysClassID,
    kGOptMediaCompositeClassID,
    kGPMLDescriptorClassID,
    kGPaperHandlingDeviceClassID,
    kGSRGBColorClassID,
    kGSRGBExtensionClassID,
    kGTintwiseAttributeClassID,
    kGTintwiseEnhancedAttributeClassID,
    kGTintwiseEnhancedAttributeVer2ClassID,
    kGTrayClassID,
    kGValue32AttributeClassID,
};
