#pragma once

#include <cstdint>
#include <memory>

#include "foundation/pointer_list.h"
#include "foundation/rw_collectable.h"

// A bag of collectable pointers with search, insertion, removal, deletion and
// persistence. Collections never own their members: removing one only
// unlinks it, and only the operations that say so delete.
//
// Saved as the member count, then each member as an object reference, so a
// member held twice is written once and then as a back-reference.
class GCollection : public RWCollectable {
 public:
  RWClassID ClassID() const override { return kGCollectionClassID; }
  // 4 for the count, plus the reference size of each member.
  uint32_t StoredSize() const override;
  // Clear, then read the count and insert each member read; stops quietly at
  // the first stream error, keeping what was read.
  void RestoreContentsFromStream(GVirtualInStream& stream) override;
  void RestoreContentsFromFile(GBinaryFile& file) override;
  void SaveContentsToStream(GVirtualOutStream& stream) const override;
  void SaveContentsToFile(GBinaryFile& file) const override;

  virtual void ForEach(GCollectableFunction function, void* user) const = 0;
  // Forgets every member; deletes none.
  virtual void Clear() = 0;
  // Deletes every distinct member exactly once, then clears.
  virtual void DeleteAll();
  virtual bool Contains(const RWCollectable* object) const;
  virtual uint32_t Count() const = 0;
  // The first member that Equals the object, or null.
  virtual RWCollectable* Find(const RWCollectable* object) const = 0;
  // Answers the member.
  virtual RWCollectable* Insert(RWCollectable* member) = 0;
  virtual bool IsEmpty() const = 0;
  virtual uint32_t Occurrences(const RWCollectable* object) const = 0;
  // Unlinks the first member that Equals the object and answers it; null
  // when none does.
  virtual RWCollectable* Remove(const RWCollectable* object) = 0;
  virtual void RemoveAndDelete(const RWCollectable* object);

  // ForEach with a callable that takes the member.
  template <typename F>
  void ForEachMember(F f) const {
    ForEach([](RWCollectable* member, void* user) { (*static_cast<F*>(user))(member); }, &f);
  }

  void InsertAll(const GCollection& other);
  void InsertClonesOf(const GCollection& other);
  void RemoveAllOf(const GCollection& other);
  // A new empty collection of this class holding the members that pass.
  std::unique_ptr<GCollection> Select(GCollectableTest test, const void* user) const;

 protected:
  // Hands a restored member to the collection, saying whether this read
  // made it (rather than naming an object read before); false when it was
  // not taken (a set already holding an equal member).
  using GMemberAcceptor = bool (*)(GCollection&, RWCollectable* member, bool fresh);
  // Reads the count, checks it against the input left, then restores up to
  // that many references, handing each to accept; stops at the first input
  // error. A member that restores as null or is not taken fails the input
  // (no collection writes either); what its read made is disposed of.
  void ReadMembersFromStream(GVirtualInStream& stream, GMemberAcceptor accept);
  void ReadMembersFromFile(GBinaryFile& file, GMemberAcceptor accept);
};

// A collection whose members have positions, counted from 0.
class GSequenceable : public GCollection {
 public:
  virtual RWCollectable* Append(RWCollectable* item) = 0;
  virtual RWCollectable* At(uint32_t position) const = 0;
  virtual RWCollectable*& AtRef(uint32_t position) = 0;
  virtual RWCollectable* First() const = 0;
  // The position of the first item that Equals the object, or RW_NPOS.
  virtual uint32_t IndexOf(const RWCollectable* object) const = 0;
  // The item gets that position; answers it, or null when refused.
  virtual RWCollectable* InsertAt(uint32_t position, RWCollectable* item) = 0;
  virtual RWCollectable* Last() const = 0;
  virtual RWCollectable* Prepend(RWCollectable* item) = 0;
  // The item goes right after the item at position.
  virtual RWCollectable* InsertAfterIndex(uint32_t position, RWCollectable* item) = 0;
};
