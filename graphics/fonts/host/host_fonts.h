#pragma once

#include <cstdint>
#include <memory>

#include "foundation/rw_cstring.h"
#include "graphics/fonts/host/host_font.h"

class GGraphicsDevice;

// Makes the host's font of a TrueType file at a size in points for a device
// resolution (dots per inch): the font's data enters the process's pool
// (made first when there is none) under a fresh key, in use by the owner
// (the job), and the font answers widths, glyph images and outlines at an
// em of points x resolution / 72 device pixels, rounded. Null when the
// file cannot be read as a usable TrueType font or the size is not a
// positive number of pixels below 32768.
//
// The description: the resolution (also the x resolution), the em as
// height, italic and weight (from OS/2, also as the requested ones),
// Unicode as the own encoding, fixed pitch as whole runs, the first and
// last codes from OS/2, the space as default and break code, and the family
// name as face name.
std::unique_ptr<GHostFont> MakeHostFont(const RWCString& path, double points, int16_t resolution,
                                        GGraphicsDevice* device, uint32_t owner);
