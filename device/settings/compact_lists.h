#pragma once

#include <cstdint>
#include <memory>

#include "model/objects/persistent_object.h"

class GCompactInput;
class GCompactOutput;

// The three lists of the compact settings format, whose entries are taken
// as stored, without defaults: the device font lists of every slot (type
// 12, entries 14), association lists (15, entries 17) and resource-mapping
// lists (16, entries 18). They are read only as the root of a stream.

// Writes one entry of a list of the type: its type byte and fields. False
// for a child of another class, or an association whose key object is no
// value attribute.
bool WriteCompactListEntry(uint8_t listType, const MPersistentObject& entry, GCompactOutput& out);

// Reads a list after its type byte: version (1, else null), key and the
// length, which is not needed, then entries until a 0 byte. An entry that
// cannot be read ends the list there, and so does an association whose
// value was stored as an object graph: such an entry is never taken.
std::unique_ptr<MPersistentObject> ReadCompactList(uint8_t listType, GCompactInput& in);
