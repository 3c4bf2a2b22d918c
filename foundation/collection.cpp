#include "foundation/collection.h"

#include <vector>

#include "foundation/binary_file.h"
#include "foundation/identity_set.h"
#include "foundation/persistence.h"
#include "foundation/rw/rwstore.h"
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

}  // namespace

uint32_t GCollection::StoredSize() const {
  // One table for all members, so that a member held twice counts as a
  // back-reference, as the save writes it.
  GStoreTableGuard table;
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

void GCollection::ReadMembersFromStream(GVirtualInStream& stream, void (*accept)(GCollection&, RWCollectable*)) {
  uint32_t count = 0;
  stream.GetUInt(count);
  // A collection never holds null, so a reference that restores as null is
  // a failure too; stopping there keeps a corrupt count from driving the
  // loop on.
  for (uint32_t i = 0; i < count && stream.IsGood(); ++i) {
    RWCollectable* member = nullptr;
    if (RestoreObjectFromStream(stream, member) == nullptr) return;
    accept(*this, member);
  }
}

void GCollection::ReadMembersFromFile(GBinaryFile& file, void (*accept)(GCollection&, RWCollectable*)) {
  uint32_t count = 0;
  if (!file.Read(count)) return;
  for (uint32_t i = 0; i < count && !file.Failed() && !file.AtEnd(); ++i) {
    RWCollectable* member = nullptr;
    if (RestoreObjectFromFile(file, member) == nullptr) return;
    accept(*this, member);
  }
}

void GCollection::RestoreContentsFromStream(GVirtualInStream& stream) {
  Clear();
  ReadMembersFromStream(stream, [](GCollection& self, RWCollectable* member) { self.Insert(member); });
}

void GCollection::RestoreContentsFromFile(GBinaryFile& file) {
  Clear();
  ReadMembersFromFile(file, [](GCollection& self, RWCollectable* member) { self.Insert(member); });
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
