#pragma once

#include "model/objects/class_ids.h"

// The graphic classes of the graphics library, which its registry test and
// its restore fuzz target go through.
inline constexpr RWClassID kDisplayClassIDs[] = {
    kGGraphicCompositeClassID,       kGPathGraphicClassID,   kGPolyBezierGraphicClassID, kGPolygonGraphicClassID,
    kGPreScaledRasterGraphicClassID, kGRasterGraphicClassID, kGRectangleGraphicClassID,  kGTextStringGraphicClassID,
};
