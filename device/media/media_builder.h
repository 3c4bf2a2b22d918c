#pragma once

#include <cstdint>
#include <memory>

#include "device/media/custom_media_size.h"
#include "device/media/media.h"

class MPersistentObject;

// Builders of media from paper sizes. A medium gets its unprintable margins
// from the margin source (the driver passes its configuration): from record
// 0 of the margin pool under key 959 when the source holds one, else from
// the four margin settings 332 to 335 (ten-thousandths of an inch) of the
// group 331. A pool without records, an orientation other than 0, 90, 180
// and 270, or a margin group lacking a setting gives no margins; a negative
// margin counts as none.

// A new medium for the size at the resolution and orientation (at 90 and
// 270 degrees the sheet's width and height are exchanged, the margins are
// not), with the size's name and id and the key 190; null when the size in
// dots does not fit 32 bits. The caller owns it.
std::unique_ptr<GMedia> BuildMediaWithMargins(const GCustomMediaSize& size, MPersistentObject& marginSource,
                                              uint16_t xResolution, uint16_t yResolution, int32_t orientation);

// The same at the x and y resolution of the settings 323 and 324 inside the
// setting 249 and the orientation of the setting 265, all found in
// settings; null when one of them is missing.
std::unique_ptr<GMedia> BuildMediaForSizeAttribute(const GCustomMediaSize& size, MPersistentObject& settings,
                                                   MPersistentObject& marginSource);

// The same at the given resolutions, with the orientation of the setting
// 265 in settings; null when it is missing.
std::unique_ptr<GMedia> BuildMediaForSize(const GCustomMediaSize& size, MPersistentObject& settings,
                                          MPersistentObject& marginSource, uint16_t xResolution, uint16_t yResolution);
