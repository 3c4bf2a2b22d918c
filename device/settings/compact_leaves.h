#pragma once

#include <cstdint>
#include <memory>

#include "model/attributes/attribute.h"

class GCompactInput;
class GCompactOutput;

// The leaves of the compact settings format: value, string, range and
// display-string attributes, custom paper sizes, the three colour-control
// attributes and the form-to-tray database with its associations. A node
// is written as the kind its base type ID names, so every class of an
// attribute family goes out as its base kind.

// Writes the leaf's type byte and fields. False, writing nothing, for a
// class that is no leaf kind or a colour-control setting that cannot be
// read; false too for a text too long for its 16-bit count.
bool WriteCompactLeaf(const MPersistentObject& leaf, GCompactOutput& out);

// Reads the fields that follow a leaf's type byte. Null for a type that is
// no leaf, a version other than 1 (the version and key are read first) or
// input that ends early.
std::unique_ptr<GAttribute> ReadCompactLeaf(uint8_t type, GCompactInput& in);
