#pragma once

#include "model/objects/class_ids.h"

// The stage classes of the pipeline library, which its registry test and
// its restore fuzz target go through.
inline constexpr RWClassID kPipelineClassIDs[] = {kGPeripheralCompositeClassID, kGPrinterClassID,
                                                  kGScalePageFilterClassID,     kGSymetricalDuplexFilterClassID,
                                                  kGNupFilterClassID,           kGWatermarkFilterClassID};
