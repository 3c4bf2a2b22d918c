#pragma once

#include <cstdint>
#include <string>

// Appends a Unicode character (at most U+10FFFF, no surrogate) to text in
// UTF-8.
void AppendUtf8(uint32_t code, std::string& text);
