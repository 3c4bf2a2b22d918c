#pragma once

#include "model/objects/class_ids.h"

// The colour and graphic attribute classes of the graphics library, which
// its registry test and its restore fuzz target go through.
// clang-format off
inline constexpr RWClassID kGraphicsAttributeClassIDs[] = {
    kGBrushClassID,
    kGCapClassID,
    kGColorPaintClassID,
    kGDashedPenClassID,
    kGFillModeClassID,
    kGGraphicBundleClassID,
    kGJointClassID,
    kGMiterJointClassID,
    kGNoBrushClassID,
    kGNoPenClassID,
    kGPaletteTableClassID,
    kGPenClassID,
    kGRasterOperationClassID,
    kGRGBColorClassID,
};
// clang-format on
