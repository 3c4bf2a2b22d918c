#pragma once

#include <cstdint>
#include <string>

#include "device/tests/stored_bytes.h"
#include "foundation/rw_wstring.h"
#include "model/attributes/state.h"
#include "model/attributes/value_attribute.h"
#include "model/testing/round_trip.h"

// Stored forms and samples that the command tests share.

// A wide string: 32-bit length in units, then the UTF-16LE units.
inline std::string WideText(const std::string& ascii) {
  std::string bytes = Words({static_cast<uint32_t>(ascii.size())});
  for (char c : ascii) bytes += Shorts({static_cast<uint16_t>(c)});
  return bytes;
}

inline RWWString Wide(const char* text) { return RWWString::FromMultibyte(text); }

// The root part and the command's version, before the state reference.
inline std::string CommandPart(int32_t key, uint32_t serial) {
  return Words({1, static_cast<uint32_t>(key), serial, 1});
}

// The nil object as an outermost reference in a binary file: the start
// value, then a back-reference to index 0, which the nil object always
// holds.
inline const std::string kNilInFile = Words({0x8888}) + Shorts({0xFFFF}) + Words({0});

// A state with one setting, so that states compare by content.
inline GState* SampleState(int32_t key, int16_t value) {
  auto* state = new GState(key);
  state->AddChild(new GValueAttribute(value, 500));
  return state;
}
