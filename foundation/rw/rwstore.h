#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <variant>
#include <vector>

#include "foundation/rw_collectable.h"
#include "foundation/rw_cstring.h"

// The per-thread tables of object-graph persistence. The outermost save or
// restore of a thread makes the table, every save or restore nested inside
// an object's own save or restore shares it, and the outermost call's end
// destroys it; so threads never share indices, and a new top-level call
// numbers its first object 1 again (index 0 is the nil object).

// What one save has written: objects (and other items written once, such as
// a list that several objects share) and class names, in one numbering.
class GStoreTable {
 public:
  // Holds the nil object at index 0.
  GStoreTable();
  GStoreTable(const GStoreTable&) = delete;
  GStoreTable& operator=(const GStoreTable&) = delete;

  // Enters an item with the next index and answers true, or answers false
  // with the index it already has.
  bool AddObject(const void* object, uint32_t& index);
  bool AddName(const RWCString& name, uint32_t& index);

  // The save carries on one that is already running, so it writes no start
  // value of its own.
  bool ContinuesASave() const { return base_ != nullptr; }

  // Nesting of object saves within this table: a graph deeper than a
  // restore reads back is refused while it is saved. TryEnter answers false
  // past the bound.
  bool TryEnter();
  void Leave();

 protected:
  // Counts on top of base, which it never changes: what base holds keeps
  // its index, new items are numbered after base's.
  explicit GStoreTable(const GStoreTable* base);

 private:
  template <typename>
  friend class GThreadTableGuard;
  friend GStoreTable* CurrentStoreTable();
  friend class GTablesSetAside;
  friend class GSizeTable;
  static GStoreTable*& Current();

  const GStoreTable* base_ = nullptr;
  std::unordered_map<const void*, uint32_t> objects_;
  std::unordered_map<std::string, uint32_t> names_;
  uint32_t count_ = 0;
  uint32_t depth_ = 0;
};

// What one size computation (ObjectStoreSize) has counted. It has a slot of
// its own, so a size asked for in the middle of a save never enters anything
// in the save's table; on top of the running save's table, so what the save
// has written already counts as the back-reference the save would write.
class GSizeTable : public GStoreTable {
 public:
  GSizeTable();

 private:
  template <typename>
  friend class GThreadTableGuard;
  friend class GTablesSetAside;
  static GSizeTable*& Current();
};

// What one restore has read, by index: objects and the class IDs of classes
// stored by name. Each entry says which of the two it is, so a stored index
// that names the wrong kind is caught, never taken for the other.
class GReadTable {
 public:
  // Holds the nil object at index 0.
  GReadTable();
  // Deletes what was discarded.
  ~GReadTable();
  GReadTable(const GReadTable&) = delete;
  GReadTable& operator=(const GReadTable&) = delete;

  uint32_t Count() const { return static_cast<uint32_t>(entries_.size()); }
  void AppendObject(RWCollectable* object);
  void AppendClassID(RWClassID id);
  // False when the index is out of range or holds the other kind.
  bool ObjectAt(uint32_t index, RWCollectable*& object) const;
  bool ClassIDAt(uint32_t index, RWClassID& id) const;
  // ObjectAt for a back-reference, which hands the object to one more owner.
  bool NameObject(uint32_t index, RWCollectable*& object);

  // Takes objects that one read made, from index first on, and that nobody
  // took (the second of two pairs with equal keys, its key and value). They
  // cannot be deleted at once, as a later back-reference may still name
  // them. The table deletes them when the restore ends, unless a
  // back-reference named one of them, or named anything the read made after
  // the discard: then another object may hold them, or what they own.
  void Discard(uint32_t first, const std::vector<RWCollectable*>& objects);
  // Whether the table will delete the object when the restore ends, as
  // things stand.
  bool Discards(const RWCollectable* object) const;

  // Nesting of restores within this table. Stored data decides how deep
  // objects nest, so the depth is bounded to keep hostile data from
  // exhausting the stack: TryEnter answers false past the bound.
  bool TryEnter();
  void Leave();

 private:
  template <typename>
  friend class GThreadTableGuard;
  friend class GTablesSetAside;
  friend class GFreshReadProbe;
  static GReadTable*& Current();

  std::vector<std::variant<RWCollectable*, RWClassID>> entries_;
  uint32_t depth_ = 0;
  // How often a back-reference named each object.
  std::unordered_map<const RWCollectable*, uint32_t> namings_;
  struct DiscardedGroup {
    std::vector<RWCollectable*> objects;
    // The entries the read made, and how often they had been named when
    // the group was discarded.
    uint32_t first;
    uint32_t end;
    uint64_t namings;
  };
  uint64_t NamingsIn(uint32_t first, uint32_t end) const;
  bool WillDelete(const DiscardedGroup& group) const;
  std::vector<DiscardedGroup> discarded_;
};

// Made at the start of every save or restore call: takes the calling
// thread's current table, or makes one and owns it for the duration of the
// call when there is none.
template <typename Table>
class GThreadTableGuard {
 public:
  GThreadTableGuard() : table_(Table::Current()) {
    if (table_ != nullptr) return;
    owned_ = std::make_unique<Table>();
    table_ = Table::Current() = owned_.get();
  }
  ~GThreadTableGuard() {
    if (owned_ != nullptr) Table::Current() = nullptr;
  }
  GThreadTableGuard(const GThreadTableGuard&) = delete;
  GThreadTableGuard& operator=(const GThreadTableGuard&) = delete;

  // This call is the thread's outermost one.
  bool OwnsTable() const { return owned_ != nullptr; }
  Table& Get() const { return *table_; }

 private:
  std::unique_ptr<Table> owned_;
  Table* table_;
};

using GStoreTableGuard = GThreadTableGuard<GStoreTable>;
using GSizeTableGuard = GThreadTableGuard<GSizeTable>;
using GReadTableGuard = GThreadTableGuard<GReadTable>;

// The table of the save running on the calling thread, or null between
// saves. An object's save may enter items of its own in it.
GStoreTable* CurrentStoreTable();

// Sets the calling thread's tables aside for as long as it lives, so that
// what is saved, sized or restored meanwhile is a graph of its own: framed
// and numbered as an outermost one. A store that reads or writes its own file in
// the middle of another save or restore (a nested store opened while its
// handle is restored) works this way.
class GTablesSetAside {
 public:
  GTablesSetAside();
  ~GTablesSetAside();
  GTablesSetAside(const GTablesSetAside&) = delete;
  GTablesSetAside& operator=(const GTablesSetAside&) = delete;

 private:
  GStoreTable* store_;
  GSizeTable* size_;
  GReadTable* read_;
};

// Watches one read of a reference: made just before the read, Fresh tells
// whether the read made the object it answered, rather than naming an object
// read earlier again. A reader may own or delete only fresh objects; the
// others belong to whoever read them first.
class GFreshReadProbe {
 public:
  GFreshReadProbe();

  bool Fresh(const RWCollectable* object) const;
  // Disposes of objects that nobody took, as far as the read made them (the
  // object it answered or ones made inside it): the running restore's table
  // discards them together (GReadTable::Discard). Objects the read did not
  // make are left alone, and so is everything when no restore runs.
  void DiscardMade(const std::vector<RWCollectable*>& objects) const;

 private:
  GReadTable* table_;
  uint32_t count_;
};
