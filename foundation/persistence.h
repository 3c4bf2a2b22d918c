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
// Restores check what they read: a wrong start value, a reference, name
// index or length that points outside what was read, a class nobody
// registered, a stored object of another class than an in-place target, or
// objects nested deeper than 256 levels fail the restore. Errors are raised
// through the error handler: "[MAGIC]" for a file that does not start with
// 0x8888, "[REF]" for a bad index, "[NOCREATE]" for an unknown class ID,
// "[NOPERSIST]" with the name for an unknown class stored by name, "[ID]" for
// an in-place class mismatch and "[STREAM]" for nesting too deep. The handler
// may return (the product's does): a failed restore then marks its input
// failed (a stream's failure bit, a file's failed flag) and answers null, so
// callers test the input after reading. Back-references and the nil object
// open no level of nesting.
//
// Saves refuse what restores would: an object nested deeper than 256 levels
// is not written, and the output is marked failed.

// The fewest bytes a stored reference takes: a class ID with no fields in a
// file; a mark with an index, or a mark, a class ID and the two field marks,
// in a binary stream. Readers check stored counts of references with them.
constexpr uint32_t kMinimumFileReferenceSize = 2;
constexpr uint32_t kMinimumStreamReferenceSize = 5;

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
// meaning the nil object), counted as within the thread's current save and
// size computation: an object already written in the save or counted in the
// computation takes 6. Counting enters nothing in a running save's table.
uint32_t ObjectStoreSize(const RWCollectable* object);
