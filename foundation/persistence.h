#pragma once

#include <cstdint>

#include "foundation/binary_file.h"
#include "foundation/rw_collectable.h"
#include "foundation/virtual_stream.h"

// Saving and restoring graphs of collectables. Objects are written as
// references: the first time an object is met in one save it is written in
// full (its class, then its own fields through its SaveContents operation),
// every later meeting writes only its index, so shared objects and cycles
// come back as they were. A null pointer is written as the nil object.
//
// Binary file form (machine byte order), each item from its start:
//   outermost call only   32-bit 0x8888
//   first time            16-bit class ID, fields
//   user class, new name  16-bit 0x888F, 32-bit length, name bytes, fields
//   user class, old name  16-bit 0x888E, 32-bit index of the name, fields
//   already written       16-bit 0xFFFF, 32-bit index (0 is the nil object)
// Virtual-stream form, through the stream's typed operations:
//   first time            ':' class ID (or 0x888F and the name as a string,
//                         or 0x888E and the int name index) '{' fields '}'
//   already written       '@' int index
//
// Restores check what they read: a reference, name index or length that
// points outside what was read, a class nobody registered, a stored object of
// another class than an in-place target, or nesting deeper than any graph the
// system writes, fails the restore. Errors are raised through the error
// handler: "[MAGIC]" for a file that does not start with 0x8888 (reading goes
// on), "[REF]" for a bad index, "[NOCREATE]" for an unknown class and "[ID]"
// for an in-place class mismatch. A failed stream restore also sets the
// stream's failure bit; callers test the stream after reading.

// Writes a reference to an object.
void SaveObjectToFile(const RWCollectable& object, GBinaryFile& file);
void SaveObjectToStream(const RWCollectable& object, GVirtualOutStream& stream);
// The same for a pointer; null is written as the nil object.
void WriteObjectToFile(const RWCollectable* object, GBinaryFile& file);
void WriteObjectToStream(const RWCollectable* object, GVirtualOutStream& stream);

// Reads a reference and stores the object in the variable: the object
// already read for a back-reference, null for the nil object, otherwise a new
// object made by the factory with its fields restored. The answer is what
// the variable then holds: null after a failure, except that a bad
// back-reference leaves the variable as it was.
RWCollectable* RestoreObjectFromFile(GBinaryFile& file, RWCollectable*& object);
RWCollectable* RestoreObjectFromStream(GVirtualInStream& stream, RWCollectable*& object);
// The same starting from a null variable.
GBinaryFile& ReadObjectFromFile(GBinaryFile& file, RWCollectable*& object);
GVirtualInStream& ReadObjectFromStream(GVirtualInStream& stream, RWCollectable*& object);

// Restores into an existing object, typically a member embedded in its
// owner; the stored class must be the object's own, and a back-reference
// must name the object itself. With a null object, makes one as the forms
// above do. Answers the object, or null on failure.
RWCollectable* RestoreObjectInPlaceFromFile(GBinaryFile& file, RWCollectable* object);
RWCollectable* RestoreObjectInPlaceFromStream(GVirtualInStream& stream, RWCollectable* object);

// The bytes SaveObjectToFile would write for a reference to the object (null
// meaning the nil object), counted as within the thread's current save: an
// object already counted or written there takes 6.
uint32_t ObjectStoreSize(const RWCollectable* object);
