#pragma once

#include <cstdint>
#include <memory>

#include "foundation/collection.h"
#include "foundation/pointer_list.h"
#include "foundation/pointer_vector.h"

class RWSlistCollectables;

// A hashed bag of collectables: equal members may be stored several times.
// A member lives in bucket HashValue() mod the bucket count, each bucket a
// list in insertion order made on first use. The table owns its bucket lists,
// never its members. It never rehashes by itself: the bucket count stays
// what construction gave until Rehash is called.
class RWHashTable : public GCollection {
 public:
  static constexpr uint32_t DefaultBuckets = 64;

  RWHashTable() : RWHashTable(DefaultBuckets) {}
  // 0 buckets make 2.
  explicit RWHashTable(uint32_t buckets);
  // Same bucket count; each bucket copied as a new list of the same pointers.
  RWHashTable(const RWHashTable& other);
  RWHashTable& operator=(const RWHashTable& other);
  ~RWHashTable() override;

  RWCollectable* NewInstance() const override;
  RWCollectable* Clone() const override;
  RWClassID ClassID() const override { return kRWHashTableClassID; }
  static RWClassID StaticClassID() { return kRWHashTableClassID; }
  // Same class, same count, and for every distinct member the other holds
  // at least as many members equal to it as this table does.
  bool Equals(const RWCollectable* other) const override;

  // Buckets in index order, each in insertion order.
  void ForEach(GCollectableFunction function, void* user) const override;
  // Deletes the bucket lists (not the members); the bucket count stays.
  void Clear() override { DeleteBuckets(); }
  uint32_t Count() const override { return count_; }
  RWCollectable* Find(const RWCollectable* object) const override;
  // Appends to the member's bucket; duplicates are kept. Null is not
  // inserted (the answer is null).
  RWCollectable* Insert(RWCollectable* member) override;
  bool IsEmpty() const override { return count_ == 0; }
  uint32_t Occurrences(const RWCollectable* object) const override;
  RWCollectable* Remove(const RWCollectable* object) override;

  // Moves every member into n buckets through Insert, so a set keeps its
  // invariant. n = 0 picks 16 below 12 members, else 1.5 times the count.
  virtual void Rehash(uint32_t n);

  uint32_t Buckets() const { return buckets_.Count(); }
  void DeleteBuckets();

 protected:
  uint32_t BucketOfHash(uint32_t hash) const { return hash % buckets_.Count(); }
  uint32_t BucketOf(const RWCollectable* object) const { return BucketOfHash(object->HashValue()); }
  // The list of bucket i, null while the bucket has never been used.
  RWSlistCollectables* BucketList(uint32_t i) const;
  // The list of the object's bucket; null for a null object, which no
  // table holds, or while the bucket has never been used.
  RWSlistCollectables* ListOf(const RWCollectable* object) const;
  bool IsBucketEmpty(uint32_t i) const;
  // Appends the member to bucket i and counts it.
  RWCollectable* AppendToBucket(uint32_t i, RWCollectable* member);
  // Uncounts a member that has just been unlinked from a bucket; passes the
  // answer of the unlinking on.
  RWCollectable* Uncount(RWCollectable* removed);

 private:
  friend class GHashTableIterator;

  void CopyBucketsFrom(const RWHashTable& other);

  GPointerVector buckets_;
  uint32_t count_ = 0;
};

// A cursor over a hash table: buckets in index order, each in list order.
// It starts before the first member and answers null after the last.
class GHashTableIterator {
 public:
  explicit GHashTableIterator(RWHashTable& table);
  GHashTableIterator(const GHashTableIterator& other);
  GHashTableIterator& operator=(const GHashTableIterator& other);
  virtual ~GHashTableIterator();

  // Moves on to the next member that Equals the object; null at the end.
  virtual RWCollectable* FindNext(const RWCollectable* object);
  virtual RWCollectable* Current() const;
  virtual RWCollectable* Next();
  virtual void Reset();

  // Unlinks the current member; Next continues with the one after it.
  RWCollectable* RemoveCurrent();
  // Unlinks the next member that passes the test, in this or a later
  // bucket; the cursor stays where it is.
  RWCollectable* RemoveNextIf(GCollectableTest test, const void* user);

 private:
  // Steps with step (the bucket's cursor) through the current bucket and
  // then through each later non-empty one, until step answers a member.
  template <typename Step>
  RWCollectable* Advance(Step step);
  // Moves to the next bucket that holds members and starts a cursor on it;
  // false, standing past the last bucket, when there is none.
  bool EnterNextBucket();

  RWHashTable* table_;
  // RW_NPOS before the first bucket.
  uint32_t bucket_;
  std::unique_ptr<GPointerListIterator> cursor_;
};
