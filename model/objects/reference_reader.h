#pragma once

#include "foundation/binary_file.h"
#include "foundation/rw_collectable.h"
#include "foundation/virtual_stream.h"
#include "model/objects/object_ref.h"

class MPersistentObject;

// Reads the object references that a model object keeps as its own (its
// children, the objects of an association, a counted pointer's pointee)
// while it is restored, so that hostile data cannot turn ownership into a
// cycle or a dangling pointer:
// - a reference to an object that is itself still being restored (the
//   reading object or one of the objects that contain it) would make an
//   object own itself; it is refused;
// - a stored object that is not a model object is refused; when this read
//   made it, it is deleted when the restore ends, as stored data may still
//   refer to it until then (one read earlier belongs to its first reader,
//   such as a record list that owns its records);
// - every object read stays alive until the outermost model restore of the
//   thread ends, even when the class that read it lets go of it, because a
//   later back-reference of the same restore may name it.
// Make one reader at the start of a restore that reads such references and
// keep it until the restore has read them all.
class GReferenceReader {
 public:
  // owner is the object being restored; null for a reader that only opens
  // the restore (as the typed pointer reads do).
  explicit GReferenceReader(const MPersistentObject* owner);
  ~GReferenceReader();
  GReferenceReader(const GReferenceReader&) = delete;
  GReferenceReader& operator=(const GReferenceReader&) = delete;

  // Reads one reference into object (empty for the nil object). False when
  // the input failed or the reference was refused: the caller then stops
  // reading. A refused reference also sets the stream's failure bit.
  bool Read(GBinaryFile& file, GObjectRef& object) const;
  bool Read(GVirtualInStream& stream, GObjectRef& object) const;

  // A collectable read where it does not belong: kept until the outermost
  // model restore ends, then deleted (a model object only when nothing
  // else owns it), with everything it holds as a container.
  static void Discard(RWCollectable* object);

 private:
  static void DiscardOne(RWCollectable* object);
  // Takes what was read; false when it must be refused. fresh tells
  // whether this read made the object (see GFreshReadProbe).
  static bool Accept(RWCollectable* read, bool fresh, GObjectRef& object);
};
