#pragma once

#include "model/objects/class_ids.h"

// The command classes of the graphics library, which its registry test and
// its restore fuzz target go through.
inline constexpr RWClassID kCommandClassIDs[] = {
    kGCommandCompositeClassID,      kGDocumentEndClassID,  kGDocumentStartClassID, kGDownloadFaceClassID,
    kGDownloadHeaderCommandClassID, kGErrorCommandClassID, kGJobAbortClassID,      kGNoCommandClassID,
    kGNullCommandClassID,           kGPageEndClassID,      kGPageStartClassID,     kGPassThroughCommandClassID,
};
