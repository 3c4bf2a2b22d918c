#pragma once

#include "model/objects/field_archive.h"

// A 32-bit float in the layout each stored form gives floats; answers
// whether it was saved, or read and set.
bool FloatField(GFieldArchive& archive, float& value);
