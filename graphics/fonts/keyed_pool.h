#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "foundation/binary_file.h"
#include "foundation/rw_btree_dictionary.h"
#include "foundation/virtual_stream.h"

class MPersistentObject;

// A dictionary from 32-bit keys to model objects, the storage of the font
// pool and of a job's font database. Entries are kept in an
// RWBTreeDictionary whose keys are GPersistableULong objects ordered by
// value; the pool owns the key objects, and the values belong to the pool's
// user. The pool deletes a value only where it removes it on the user's
// behalf (Clear and restore conflicts, below), so values it may delete must
// be objects that no counted reference holds.
//
// The conflict callback decides what happens when the pool clears and when
// saved entries are read back over live ones. It is called with (object,
// other, event):
//   kClearEvent (1), once per entry by Clear: (null, stored value). 1 makes
//     the pool remove the entry and delete the value.
//   kRestoredNewEvent (3), after a restored entry was inserted under a key
//     that was not present: (restored value, null). The answer is ignored.
//   kRestoredOverStoredEvent (5), when a restored key is present: (restored
//     value, stored value). 1 makes the restored value replace the stored
//     one, which is deleted; any other answer deletes the restored value.
// Without a callback Clear removes nothing and a restored entry always
// replaces the stored one.
//
// The save filter chooses the entries written. It is called with (value,
// phase, user data): kCountPhase (0) once per entry before anything is
// written (entries answered 1 make the count stored), kWritePhase (1) just
// before an entry would be written (only those answered 1 are), kWrittenPhase
// (2) just after it was written. Phases 0 and 1 must agree; without a filter
// every entry is written. Callback and filter are std::function, so plain
// functions and lambdas with state both serve.
//
// Stored form: the entry count (32-bit), then per written entry in key
// order the key (32-bit) and the value as an object graph of its own, so
// that a restored value is whole when it is inserted and may be deleted at
// once when it loses a conflict.
class GKeyedPool {
 public:
  enum Event : int32_t { kClearEvent = 1, kRestoredNewEvent = 3, kRestoredOverStoredEvent = 5 };
  enum Phase : int32_t { kCountPhase = 0, kWritePhase = 1, kWrittenPhase = 2 };

  using Callback = std::function<int32_t(MPersistentObject* object, MPersistentObject* other, int32_t event)>;
  using Filter = std::function<int32_t(MPersistentObject* value, int32_t phase, void* userData)>;

  // Which restored values the pool takes: its user's callback relies on
  // their class. A value refused ends the restore (answer 0) and is
  // deleted; null takes every value.
  using Accepts = bool (*)(const MPersistentObject& value);

  explicit GKeyedPool(Callback callback = nullptr, Accepts accepts = nullptr);
  GKeyedPool(const GKeyedPool&) = delete;
  GKeyedPool& operator=(const GKeyedPool&) = delete;
  // Deletes the key objects, never the values.
  ~GKeyedPool();

  // 1 after entering the value under the key; 0, changing nothing, when the
  // key is present or the value is null.
  int32_t Add(uint32_t key, MPersistentObject* value);
  // The value, or null.
  MPersistentObject* Find(uint32_t key) const;
  // Takes the entry out and answers its value (not deleted), or null.
  MPersistentObject* Remove(uint32_t key);
  bool Contains(uint32_t key) const;
  uint32_t GetCount() const;
  // The keys in ascending order.
  std::vector<uint32_t> GetKeys() const;
  // Raises the clear event for every entry and removes, deleting their
  // values, the entries answered 1.
  void Clear();

  // Write the stored form; 1 when every counted entry was written and the
  // output shows no error, else 0.
  int32_t SaveToStream(GVirtualOutStream& stream, const Filter& filter = nullptr, void* userData = nullptr) const;
  int32_t SaveToFile(GBinaryFile& file, const Filter& filter = nullptr, void* userData = nullptr) const;
  // Read the stored form, raising the restore events for each entry; 1 when
  // every entry was read whole, else 0 (the entries read before the fault
  // stay).
  int32_t RestoreFromStream(GVirtualInStream& stream);
  int32_t RestoreFromFile(GBinaryFile& file);

 private:
  struct Entry {
    uint32_t key;
    MPersistentObject* value;
  };

  // The entries in key order, taken before callbacks run so that they may
  // use the pool.
  std::vector<Entry> Entries() const;
  template <typename Output>
  int32_t SaveTo(Output& output, const Filter& filter, void* userData) const;
  template <typename Input>
  int32_t RestoreFrom(Input& input);
  // Enters one restored value, which the pool then owns until it is
  // inserted or deleted.
  void Merge(uint32_t key, MPersistentObject* restored);

  RWBTreeDictionary dictionary_;
  Callback callback_;
  Accepts accepts_;
};

// The acceptance of values of one class family.
template <typename T>
bool IsValueOf(const MPersistentObject& value) {
  return dynamic_cast<const T*>(&value) != nullptr;
}

// The save or restore of a pool that fits the kind of output or input, for
// code written once for both.
inline int32_t SaveKeyedPool(const GKeyedPool& pool, GBinaryFile& file, const GKeyedPool::Filter& filter = nullptr,
                             void* userData = nullptr) {
  return pool.SaveToFile(file, filter, userData);
}
inline int32_t SaveKeyedPool(const GKeyedPool& pool, GVirtualOutStream& stream,
                             const GKeyedPool::Filter& filter = nullptr, void* userData = nullptr) {
  return pool.SaveToStream(stream, filter, userData);
}
inline int32_t RestoreKeyedPool(GKeyedPool& pool, GBinaryFile& file) { return pool.RestoreFromFile(file); }
inline int32_t RestoreKeyedPool(GKeyedPool& pool, GVirtualInStream& stream) { return pool.RestoreFromStream(stream); }
