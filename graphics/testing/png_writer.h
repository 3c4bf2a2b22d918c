#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes an 8-bit grey image as a PNG file, so that tests can keep pictures
// of what they rendered for people to look at. pixels holds height rows of
// width bytes, top row first. False when the file cannot be written or the
// sizes do not match.
bool WriteGreyPng(const std::string& path, uint32_t width, uint32_t height, const std::vector<uint8_t>& pixels);
