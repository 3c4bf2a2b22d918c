#pragma once

#include "model/objects/class_ids.h"

// The persistent classes of the graphics library (colours, graphic
// attributes, clips, transforms, bitmaps, dither matrices, text runs, the
// TrueType table and glyph caches, the font host's fonts), which its registry test and its restore
// fuzz target go through.
// clang-format off
inline constexpr RWClassID kGraphicsAttributeClassIDs[] = {
    kGBitmapClassID,
    kGBitmapImpClassID,
    kGBrushClassID,
    kGCapClassID,
    kGClipToPageClassID,
    kGClipToPathClassID,
    kGClipToRectangleClassID,
    kGClipToSingleRectangleClassID,
    kGColorPaintClassID,
    kGDashedPenClassID,
    kGDitherMatrixClassID,
    kGFillModeClassID,
    kGGlyphCacheClassID,
    kGGlyphCacheNodeClassID,
    kGGraphicBundleClassID,
    kGHostFontClassID,
    kGHostFontDataClassID,
    kGHostFontImpClassID,
    kGHostPlatformFontClassID,
    kGJointClassID,
    kGMiterJointClassID,
    kGNoBrushClassID,
    kGNoPenClassID,
    kGPaletteTableClassID,
    kGPenClassID,
    kGRasterOperationClassID,
    kGRGBColorClassID,
    kGTextEscapementsClassID,
    kGTextStringClassID,
    kGTransformAttributeClassID,
    kGTTFileFontDataClassID,
    kGTTFontFileClassID,
    kGTTTableCacheClassID,
};
// clang-format on
