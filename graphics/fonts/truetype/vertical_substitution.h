#pragma once

#include <cstdint>
#include <span>

// The vertical forms of glyphs, for text written top to bottom. Each
// function answers the glyph unchanged when the table has no substitute for
// it or is not what the function can read: a vertical form is an
// improvement, never a reason to fail.

// A font with a mort table takes its vertical forms from mort alone, even
// when mort cannot be read and GSUB could; a font without one from GSUB.
// An empty span means the font has no such table.
uint16_t SubstituteVertical(std::span<const uint8_t> mort, std::span<const uint8_t> gsub, uint16_t glyph);

// The substitute of a mort table of the one layout vertical fonts use: one
// chain holding one non-contextual substitution subtable whose lookup is a
// single table of (glyph, substitute) pairs from byte 76; the first pair
// naming the glyph answers.
uint16_t SubstituteVerticalMort(std::span<const uint8_t> mort, uint16_t glyph);

// The substitute from the single-substitution lookups of GSUB's first 'vert'
// feature, whatever its script or language. A lookup of another type or a
// subtable of an unknown format ends the search.
uint16_t SubstituteVerticalGsub(std::span<const uint8_t> gsub, uint16_t glyph);
