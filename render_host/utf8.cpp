#include "render_host/utf8.h"

void AppendUtf8(uint32_t code, std::string& text) {
  if (code < 0x80) {
    text.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    text.push_back(static_cast<char>(0xC0 | code >> 6));
    text.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    text.push_back(static_cast<char>(0xE0 | code >> 12));
    text.push_back(static_cast<char>(0x80 | (code >> 6 & 0x3F)));
    text.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    text.push_back(static_cast<char>(0xF0 | code >> 18));
    text.push_back(static_cast<char>(0x80 | (code >> 12 & 0x3F)));
    text.push_back(static_cast<char>(0x80 | (code >> 6 & 0x3F)));
    text.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}
