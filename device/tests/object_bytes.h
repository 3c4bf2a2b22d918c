#pragma once

#include <cstdint>
#include <string>

#include "device/tests/stored_bytes.h"
#include "model/objects/display_string.h"
#include "model/testing/round_trip.h"

// Stored forms of the parts that the paper path and option attributes
// share, as a binary file holds them.

// A narrow string: 32-bit length, then the bytes.
inline std::string Text(const std::string& text) { return Words({static_cast<uint32_t>(text.size())}) + text; }

// The root and attribute parts: versions 1, key, serial number, changed
// flag.
inline std::string AttributePart(int32_t key, uint32_t serial, int32_t changed) {
  return Words({1, static_cast<uint32_t>(key), serial, 1, static_cast<uint32_t>(changed)});
}

// A display string met for the first time inside a graph: its class ID,
// root part, version, module name, default text and string id.
inline std::string DisplayStringBytes(const GDisplayString& text) {
  return Shorts({786}) + Words({1, static_cast<uint32_t>(text.Key()), text.SerialNumber(), 1}) +
         Text(std::string(text.ModuleName().Data(), text.ModuleName().Length())) +
         Text(std::string(text.DefaultText().Data(), text.DefaultText().Length())) +
         Shorts({static_cast<uint16_t>(text.StringId())});
}

// The start of a graph in a binary file.
inline std::string GraphStart(uint16_t classId) { return Words({0x8888}) + Shorts({classId}); }
