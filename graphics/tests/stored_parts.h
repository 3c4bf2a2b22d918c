#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "foundation/little_endian.h"
#include "foundation/testing/persistence_test_support.h"
#include "model/attributes/attribute.h"
#include "model/objects/persistent_object.h"
#include "model/testing/round_trip.h"

// Stored forms of the parts that the colour and graphic attribute classes
// share, as a binary file holds them.

// 16-bit values, little-endian, back to back.
inline std::string Shorts(std::initializer_list<uint16_t> values) {
  std::string bytes;
  for (uint16_t value : values) AppendLittle16(bytes, value);
  return bytes;
}

// The nil object in place of a reference.
inline const std::string kNilObject("\xFF\xFF\x00\x00\x00\x00", 6);

// The graphic-state attribute part: the root's version, key and serial
// number, the attribute's version and changed flag, then its own version.
inline std::string GraphicStatePart(const GAttribute& attribute) {
  return Words({1, static_cast<uint32_t>(attribute.Key()), attribute.SerialNumber(), 1,
                static_cast<uint32_t>(attribute.ChangedFlag()), 1});
}

// An object's contents as the outermost object of a graph in a binary
// file: the start value, the class ID, the contents. References inside the
// contents are then written as parts of that graph.
inline std::string Graph(RWClassID id, const std::string& contents) {
  return Words({0x8888}) + Shorts({static_cast<uint16_t>(id)}) + contents;
}

// Restores the object in place from its contents stored as a graph;
// answers whether the input was still good afterwards.
inline bool RestoreInPlace(MPersistentObject& object, const std::string& contents) {
  bool good = false;
  RestoreCollectableInPlace(StoreForm::kFile, Graph(object.ClassID(), contents), &object, good);
  return good;
}
