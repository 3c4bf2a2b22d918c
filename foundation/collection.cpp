#include "foundation/collection.h"

#include <vector>

#include "foundation/binary_file.h"
#include "foundation/held_graph.h"
#include "foundation/identity_set.h"
#include "foundation/persistence.h"
#include "foundation/rw/rwstore.h"
#include "foundation/stored_count.h"
#include "foundation/virtual_stream.h"

namespace {

// The members of a collection as they are now, so that an operation may
// change the collection it walks (InsertAll of a list into itself, say).
std::vector<RWCollectable*> MembersOf(const GCollection& collection) {
  std::vector<RWCollectable*> members;
  members.reserve(collection.Count());
  collection.ForEachMember([&members](RWCollectable* member) { members.push_back(member); });
  return members;
}

bool InsertMember(GCollection& collection, RWCollectable* member, bool) { return collection.Insert(member) == member; }

RWCollectable* ReadMember(GVirtualInStream& stream) {
  RWCollectable* member = nullptr;
  return RestoreObjectFromStream(stream, member);
}

RWCollectable* ReadMember(GBinaryFile& file) {
  RWCollectable* member = nullptr;
  return RestoreObjectFromFile(file, member);
}

template <typename Input>
void ReadMembers(Input& input, uint32_t count, uint32_t minimumReferenceSize, GCollection& collection,
                 bool (*accept)(GCollection&, RWCollectable*, bool)) {
  if (!InputIsGood(input) || !InputCanHold(input, count, minimumReferenceSize)) return;
  for (uint32_t i = 0; i < count && InputIsGood(input); ++i) {
    const GFreshReadProbe probe;
    RWCollectable* member = ReadMember(input);
    if (member != nullptr && accept(collection, member, probe.Fresh(member))) continue;
    probe.DiscardMade(HeldGraph(member));
    FailInput(input);
    return;
  }
}

}  // namespace

uint32_t GCollection::StoredSize() const {
  // One table for all members, so that a member held twice counts as a
  // back-reference, as the save writes it.
  GSizeTableGuard table;
  uint32_t size = 4;
  ForEachMember([&size](RWCollectable* member) { size += ObjectStoreSize(member); });
  return size;
}

void GCollection::SaveContentsToStream(GVirtualOutStream& stream) const {
  stream.PutUInt(Count());
  ForEachMember([&stream](RWCollectable* member) {
    if (stream.IsGood()) SaveObjectToStream(*member, stream);
  });
}

void GCollection::SaveContentsToFile(GBinaryFile& file) const {
  file.Write(Count());
  ForEachMember([&file](RWCollectable* member) {
    if (!file.Failed()) SaveObjectToFile(*member, file);
  });
}

void GCollection::ReadMembersFromStream(GVirtualInStream& stream, GMemberAcceptor accept) {
  uint32_t count = 0;
  stream.GetUInt(count);
  ReadMembers(stream, count, kMinimumStreamReferenceSize, *this, accept);
}

void GCollection::ReadMembersFromFile(GBinaryFile& file, GMemberAcceptor accept) {
  uint32_t count = 0;
  if (!file.Read(count)) return;
  ReadMembers(file, count, kMinimumFileReferenceSize, *this, accept);
}

void GCollection::RestoreContentsFromStream(GVirtualInStream& stream) {
  Clear();
  ReadMembersFromStream(stream, InsertMember);
}

void GCollection::RestoreContentsFromFile(GBinaryFile& file) {
  Clear();
  ReadMembersFromFile(file, InsertMember);
}

void GCollection::DeleteAll() {
  // A member stored several times must be deleted once.
  RWIdentitySet distinct(Count() / 4);
  distinct.InsertAll(*this);
  distinct.ForEachMember([](RWCollectable* member) { delete member; });
  distinct.Clear();
  Clear();
}

bool GCollection::Contains(const RWCollectable* object) const { return Find(object) != nullptr; }

void GCollection::RemoveAndDelete(const RWCollectable* object) { delete Remove(object); }

void GCollection::InsertAll(const GCollection& other) {
  for (RWCollectable* member : MembersOf(other)) Insert(member);
}

void GCollection::InsertClonesOf(const GCollection& other) {
  for (RWCollectable* member : MembersOf(other)) Insert(member->Clone());
}

void GCollection::RemoveAllOf(const GCollection& other) {
  for (RWCollectable* member : MembersOf(other)) Remove(member);
}

std::unique_ptr<GCollection> GCollection::Select(GCollectableTest test, const void* user) const {
  std::unique_ptr<RWCollectable> made(NewInstance());
  std::unique_ptr<GCollection> selected(dynamic_cast<GCollection*>(made.get()));
  if (selected == nullptr) return nullptr;
  made.release();
  ForEachMember([&](RWCollectable* member) {
    if (test(member, user)) selected->Insert(member);
  });
  return selected;
}
