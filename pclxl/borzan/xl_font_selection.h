#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A PCL font selection (an escape sequence the printer's PCL interpreter
// reads) with its size placeholders filled in for a character size in
// device units at a vertical resolution: "#HEIGHT" becomes the height in
// points and "#PITCH" and "#WIDTH" the pitch in characters per inch, each
// in quarter points as "integer.two digits".
std::string FillSizePlaceholders(std::string_view selection, float size, uint16_t yResolution);
