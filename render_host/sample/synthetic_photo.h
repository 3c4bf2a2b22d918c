#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The picture of the sample job: a photo-like landscape (a sky that pales
// towards the horizon, a sun, hills in two greens, a lake that mirrors the
// sky, and a little noise), drawn by us so that the tree holds no image of
// anyone else's. Red, green and blue bytes, top row first; the same sizes
// always give the same pixels.
std::string SyntheticPhotoPixels(uint32_t width, uint32_t height);

// A baseline JPEG of the pixels (one grey byte or red, green and blue
// bytes a pixel) at the quality (1..100); empty when libjpeg fails.
std::string EncodeJpeg(std::string_view pixels, uint32_t width, uint32_t height, int components, int quality);
