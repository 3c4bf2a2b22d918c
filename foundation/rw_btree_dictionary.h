#pragma once

#include <memory>

#include "foundation/rw_btree.h"

class RWCollectableAssociation;

// Calls made for each pair of a dictionary, and tests that choose pairs.
using GPairFunction = void (*)(RWCollectable* key, RWCollectable* value, void* user);
using GPairTest = bool (*)(const RWCollectable* key, const RWCollectable* value, const void* user);

// Key/value pairs in a B-tree ordered by key. Every item is an association
// that the dictionary owns and deletes; keys and values belong to the
// caller. Searches take a bare key or an association, which orders like its
// key.
//
// Insert takes an association the caller made and hands it to the
// dictionary, unless an equal key is present (then the caller keeps it).
// Inserting another dictionary's associations (InsertAll, Select) would
// leave both owning them: copy through Clone, assignment, InsertClonesOf or
// the selections below.
class RWBTreeDictionary : public RWBTree {
 public:
  RWBTreeDictionary() = default;
  RWBTreeDictionary(const RWBTreeDictionary&) = delete;
  // Clears, then takes a clone of every association of the other.
  RWBTreeDictionary& operator=(const RWBTreeDictionary& other);
  // Deletes the associations.
  ~RWBTreeDictionary() override;

  RWCollectable* NewInstance() const override;
  // A dictionary of clones of the associations: keys and values shared.
  RWCollectable* Clone() const override;
  RWClassID ClassID() const override { return kRWBTreeDictionaryClassID; }
  static RWClassID StaticClassID() { return kRWBTreeDictionaryClassID; }
  // Another dictionary of as many pairs, holding every key of this one with
  // an equal value (or null where this one's is null).
  bool Equals(const RWCollectable* other) const override;

  // Deletes every association, then the nodes.
  void Clear() override;
  // Deletes every distinct key and value once, then clears.
  void DeleteAll() override;
  // The stored key equal to the key, or null.
  RWCollectable* Find(const RWCollectable* key) const override;
  // Takes an association with a key; anything else is refused (answered
  // null), as the dictionary orders its items by key, reads them as pairs
  // and deletes them.
  RWCollectable* Insert(RWCollectable* item) override;
  // Removes the pair, deletes its association and answers the stored key.
  RWCollectable* Remove(const RWCollectable* key) override;
  // Removes the pair and deletes its key, its value (once when they are the
  // same object) and its association.
  void RemoveAndDelete(const RWCollectable* key) override;
  // Clear, then read the count and take each association read. One that the
  // restore made just then becomes the dictionary's own; one that came as a
  // reference to an object read before may be held elsewhere in the graph,
  // so a clone of it is taken instead and no object gets two owners.
  void RestoreContentsFromStream(GVirtualInStream& stream) override;
  void RestoreContentsFromFile(GBinaryFile& file) override;

  // Answers the key, or null when it is present already (the stored pair
  // stays as it is) or null itself.
  RWCollectable* InsertPair(RWCollectable* key, RWCollectable* value);
  RWCollectable* FindValue(const RWCollectable* key) const;
  // The stored key and its value; null and null when absent.
  RWCollectable* FindKeyAndValue(const RWCollectable* key, RWCollectable*& value) const;
  // Replaces the value of a present key and answers the old one; null, and
  // nothing changes, when the key is absent.
  RWCollectable* SetValue(const RWCollectable* key, RWCollectable* value);
  // Removes the pair and answers its stored key and value; null and null
  // when absent.
  RWCollectable* RemovePair(const RWCollectable* key, RWCollectable*& value);
  // In key order.
  void ForEachPair(GPairFunction function, void* user) const;
  // New dictionaries of the pairs whose key, or key and value, pass.
  std::unique_ptr<RWBTreeDictionary> SelectByKey(GCollectableTest test, const void* user) const;
  std::unique_ptr<RWBTreeDictionary> SelectByPair(GPairTest test, const void* user) const;

 private:
  RWCollectableAssociation* FindAssociation(const RWCollectable* key) const;
  // Inserts a clone of the association; false, deleting the clone, when
  // its key is present already.
  bool InsertCloneOf(const RWCollectableAssociation& association);
  static bool AcceptPair(GCollection& self, RWCollectable* member, bool fresh);
  // Deletes the associations, leaving the nodes pointing at them.
  void DeleteAssociations();
  // Each pair as an association, in key order.
  template <typename F>
  void ForEachAssociation(F f) const;
  // A new dictionary of clones of the associations that pass.
  template <typename Test>
  std::unique_ptr<RWBTreeDictionary> SelectAssociations(Test test) const;
};
