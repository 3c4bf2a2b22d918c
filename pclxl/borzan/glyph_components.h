#pragma once

#include <cstdint>
#include <span>
#include <vector>

// The glyph indexes a composite TrueType glyph is built from, in the order
// of its component records; none for a simple glyph (or an empty one). The
// records are read as far as they lie wholly inside the bytes: font files
// come from outside the driver.
std::vector<uint16_t> CompositeComponents(std::span<const uint8_t> glyph);
