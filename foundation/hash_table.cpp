#include "foundation/hash_table.h"

#include <algorithm>
#include <memory>

#include "foundation/class_registrar.h"
#include "foundation/rw_set.h"
#include "foundation/slist_collectables.h"
#include "foundation/string_block.h"

namespace {

// Registered with the class factory under its class ID and name.
const GClassRegistrar registrar(CreateCollectable<RWHashTable>, kRWHashTableClassID, "RWHashTable");

uint32_t InitialBuckets(uint32_t buckets) { return buckets == 0 ? 2 : buckets; }

// The bucket count that Rehash (0) picks for a table of count members.
uint32_t AutomaticBuckets(uint32_t count) {
  if (count < 12) return 16;
  return static_cast<uint32_t>(uint64_t{count} * 3 / 2);
}

}  // namespace

RWHashTable::RWHashTable(uint32_t buckets) : buckets_(InitialBuckets(buckets)) {}

RWHashTable::RWHashTable(const RWHashTable& other) : GCollection(other), buckets_(other.Buckets()) {
  CopyBucketsFrom(other);
}

RWHashTable& RWHashTable::operator=(const RWHashTable& other) {
  if (this != &other) {
    Clear();
    buckets_.Reshape(other.Buckets());
    CopyBucketsFrom(other);
  }
  return *this;
}

RWHashTable::~RWHashTable() { DeleteBuckets(); }

void RWHashTable::CopyBucketsFrom(const RWHashTable& other) {
  for (uint32_t i = 0; i < Buckets(); ++i) {
    buckets_[i] = other.IsBucketEmpty(i) ? nullptr : new RWSlistCollectables(*other.BucketList(i));
  }
  count_ = other.count_;
}

RWCollectable* RWHashTable::NewInstance() const { return new RWHashTable; }

RWCollectable* RWHashTable::Clone() const { return new RWHashTable(*this); }

bool RWHashTable::Equals(const RWCollectable* other) const {
  if (other == nullptr || other->ClassID() != ClassID()) return false;
  const auto* table = dynamic_cast<const RWHashTable*>(other);
  if (table == nullptr || table->Count() != Count()) return false;
  const std::unique_ptr<RWSet> distinct = RWSet::CopyAsSet(*this);
  bool equal = true;
  distinct->ForEachMember([&](RWCollectable* member) {
    if (equal) equal = table->Occurrences(member) >= Occurrences(member);
  });
  return equal;
}

void RWHashTable::ForEach(GCollectableFunction function, void* user) const {
  for (uint32_t i = 0; i < Buckets(); ++i) {
    if (const RWSlistCollectables* list = BucketList(i)) list->ForEach(function, user);
  }
}

RWCollectable* RWHashTable::Find(const RWCollectable* object) const {
  const RWSlistCollectables* list = ListOf(object);
  return list != nullptr ? list->Find(object) : nullptr;
}

RWCollectable* RWHashTable::Insert(RWCollectable* member) {
  return member != nullptr ? AppendToBucket(BucketOf(member), member) : nullptr;
}

uint32_t RWHashTable::Occurrences(const RWCollectable* object) const {
  const RWSlistCollectables* list = ListOf(object);
  return list != nullptr ? list->Occurrences(object) : 0;
}

RWCollectable* RWHashTable::Remove(const RWCollectable* object) {
  RWSlistCollectables* list = ListOf(object);
  return list != nullptr ? Uncount(list->Remove(object)) : nullptr;
}

void RWHashTable::Rehash(uint32_t n) {
  if (n == 0) n = AutomaticBuckets(count_);
  // Members go back in through Insert, which rebuilds the count; a set that
  // is rehashed keeps its invariant and recounts.
  const GPointerVector old = buckets_;
  buckets_.Reshape(n);
  buckets_.Fill(nullptr);
  count_ = 0;
  for (uint32_t i = 0; i < old.Count(); ++i) {
    std::unique_ptr<RWSlistCollectables> list(static_cast<RWSlistCollectables*>(old[i]));
    if (list != nullptr) {
      list->ForEach([](RWCollectable* member, void* table) { static_cast<RWHashTable*>(table)->Insert(member); }, this);
    }
  }
}

void RWHashTable::DeleteBuckets() {
  for (uint32_t i = 0; i < Buckets(); ++i) {
    delete BucketList(i);
    buckets_[i] = nullptr;
  }
  count_ = 0;
}

RWSlistCollectables* RWHashTable::BucketList(uint32_t i) const {
  return static_cast<RWSlistCollectables*>(buckets_[i]);
}

RWSlistCollectables* RWHashTable::ListOf(const RWCollectable* object) const {
  return object != nullptr ? BucketList(BucketOf(object)) : nullptr;
}

bool RWHashTable::IsBucketEmpty(uint32_t i) const {
  const RWSlistCollectables* list = BucketList(i);
  return list == nullptr || list->IsEmpty();
}

RWCollectable* RWHashTable::AppendToBucket(uint32_t i, RWCollectable* member) {
  if (buckets_[i] == nullptr) buckets_[i] = new RWSlistCollectables;
  BucketList(i)->Append(member);
  ++count_;
  return member;
}

RWCollectable* RWHashTable::Uncount(RWCollectable* removed) {
  if (removed != nullptr) --count_;
  return removed;
}

GHashTableIterator::GHashTableIterator(RWHashTable& table) : table_(&table), bucket_(RW_NPOS) {}

GHashTableIterator::GHashTableIterator(const GHashTableIterator& other)
    : table_(other.table_),
      bucket_(other.bucket_),
      cursor_(other.cursor_ != nullptr ? std::make_unique<GPointerListIterator>(*other.cursor_) : nullptr) {}

GHashTableIterator& GHashTableIterator::operator=(const GHashTableIterator& other) {
  if (this != &other) {
    table_ = other.table_;
    bucket_ = other.bucket_;
    cursor_ = other.cursor_ != nullptr ? std::make_unique<GPointerListIterator>(*other.cursor_) : nullptr;
  }
  return *this;
}

GHashTableIterator::~GHashTableIterator() = default;

template <typename Step>
RWCollectable* GHashTableIterator::Advance(Step step) {
  for (;;) {
    if (cursor_ != nullptr) {
      if (RWCollectable* member = step(*cursor_)) return member;
      cursor_.reset();
    }
    if (!EnterNextBucket()) return nullptr;
  }
}

bool GHashTableIterator::EnterNextBucket() {
  const uint32_t n = table_->Buckets();
  uint32_t i = bucket_ == RW_NPOS ? 0 : std::min(bucket_ + 1, n);
  while (i < n && table_->IsBucketEmpty(i)) ++i;
  bucket_ = i;
  if (i == n) return false;
  cursor_ = std::make_unique<GPointerListIterator>(table_->BucketList(i)->PointerList());
  return true;
}

RWCollectable* GHashTableIterator::FindNext(const RWCollectable* object) {
  return Advance([object](GPointerListIterator& cursor) { return cursor.FindNext(object); });
}

RWCollectable* GHashTableIterator::Current() const { return cursor_ != nullptr ? cursor_->Current() : nullptr; }

RWCollectable* GHashTableIterator::Next() {
  return Advance([](GPointerListIterator& cursor) { return cursor.Next(); });
}

void GHashTableIterator::Reset() {
  cursor_.reset();
  bucket_ = RW_NPOS;
}

RWCollectable* GHashTableIterator::RemoveCurrent() {
  return cursor_ != nullptr ? table_->Uncount(cursor_->RemoveCurrent()) : nullptr;
}

RWCollectable* GHashTableIterator::RemoveNextIf(GCollectableTest test, const void* user) {
  if (cursor_ != nullptr) {
    if (RWCollectable* removed = cursor_->RemoveNextIf(test, user)) return table_->Uncount(removed);
  }
  // Later buckets are searched from their start without moving the cursor.
  const uint32_t first = bucket_ == RW_NPOS ? 0 : bucket_ + 1;
  for (uint32_t i = first; i < table_->Buckets(); ++i) {
    if (RWSlistCollectables* list = table_->BucketList(i)) {
      if (RWCollectable* removed = list->PointerList().RemoveIf(test, user)) return table_->Uncount(removed);
    }
  }
  return nullptr;
}
