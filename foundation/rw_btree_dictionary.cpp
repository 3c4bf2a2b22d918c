#include "foundation/rw_btree_dictionary.h"

#include "foundation/binary_file.h"
#include "foundation/class_registrar.h"
#include "foundation/collectable_association.h"
#include "foundation/identity_set.h"
#include "foundation/virtual_stream.h"

namespace {

// Registered with the class factory under its class ID and name.
const GClassRegistrar registrar(CreateCollectable<RWBTreeDictionary>, kRWBTreeDictionaryClassID, "RWBTreeDictionary");

// Insert lets nothing else in.
RWCollectableAssociation* AsAssociation(RWCollectable* item) { return static_cast<RWCollectableAssociation*>(item); }

// The association's key, with its value in value; null and null for none.
RWCollectable* KeyAndValue(const RWCollectableAssociation* association, RWCollectable*& value) {
  value = association != nullptr ? association->Value() : nullptr;
  return association != nullptr ? association->Key() : nullptr;
}

bool SameValue(const RWCollectable* mine, const RWCollectable* theirs) {
  if (mine == nullptr || theirs == nullptr) return mine == theirs;
  return mine->Equals(theirs);
}

}  // namespace

template <typename F>
void RWBTreeDictionary::ForEachAssociation(F f) const {
  ForEachMember([&f](RWCollectable* item) { f(*AsAssociation(item)); });
}

template <typename Test>
std::unique_ptr<RWBTreeDictionary> RWBTreeDictionary::SelectAssociations(Test test) const {
  auto selected = std::make_unique<RWBTreeDictionary>();
  ForEachAssociation([&](const RWCollectableAssociation& association) {
    if (test(association)) selected->InsertCloneOf(association);
  });
  return selected;
}

RWBTreeDictionary& RWBTreeDictionary::operator=(const RWBTreeDictionary& other) {
  // Clearing first would leave nothing to copy from.
  if (this == &other) return *this;
  Clear();
  other.ForEachAssociation([this](const RWCollectableAssociation& association) { InsertCloneOf(association); });
  return *this;
}

RWBTreeDictionary::~RWBTreeDictionary() { DeleteAssociations(); }

RWCollectable* RWBTreeDictionary::NewInstance() const { return new RWBTreeDictionary; }

RWCollectable* RWBTreeDictionary::Clone() const {
  auto* copy = new RWBTreeDictionary;
  *copy = *this;
  return copy;
}

bool RWBTreeDictionary::Equals(const RWCollectable* other) const {
  const auto* dictionary = PeerOfSameSize<RWBTreeDictionary>(other, kRWBTreeDictionaryClassID);
  return dictionary != nullptr && EveryItem([dictionary](RWCollectable* item) {
           const RWCollectableAssociation& mine = *AsAssociation(item);
           RWCollectable* theirs = nullptr;
           return dictionary->FindKeyAndValue(mine.Key(), theirs) != nullptr && SameValue(mine.Value(), theirs);
         });
}

void RWBTreeDictionary::Clear() {
  DeleteAssociations();
  RWBTree::Clear();
}

void RWBTreeDictionary::DeleteAll() {
  // A key may be its own value, or another pair's key or value.
  RWIdentitySet distinct(Count() / 4);
  ForEachAssociation([&distinct](const RWCollectableAssociation& association) {
    for (RWCollectable* object : {association.Key(), association.Value()}) {
      if (object != nullptr) distinct.Insert(object);
    }
  });
  distinct.ForEachMember([](RWCollectable* object) { delete object; });
  distinct.Clear();
  Clear();
}

RWCollectable* RWBTreeDictionary::Find(const RWCollectable* key) const {
  const RWCollectableAssociation* association = FindAssociation(key);
  return association != nullptr ? association->Key() : nullptr;
}

RWCollectable* RWBTreeDictionary::Insert(RWCollectable* item) {
  // Anything else could not be read as a pair, nor ordered by its key.
  const auto* association = dynamic_cast<RWCollectableAssociation*>(item);
  if (association == nullptr || association->Key() == nullptr) return nullptr;
  return RWBTree::Insert(item);
}

RWCollectable* RWBTreeDictionary::Remove(const RWCollectable* key) {
  RWCollectable* value = nullptr;
  return RemovePair(key, value);
}

void RWBTreeDictionary::RemoveAndDelete(const RWCollectable* key) {
  RWCollectable* value = nullptr;
  RWCollectable* stored = RemovePair(key, value);
  if (value != stored) delete value;
  delete stored;
}

// A pair met again belongs to the dictionary that read it first, so this
// one takes a clone. A pair whose key is there already was never written by
// a dictionary and is not taken.
bool RWBTreeDictionary::AcceptPair(GCollection& self, RWCollectable* member, bool fresh) {
  auto& dictionary = static_cast<RWBTreeDictionary&>(self);
  if (fresh) return dictionary.Insert(member) == member;
  const auto* association = dynamic_cast<const RWCollectableAssociation*>(member);
  return association != nullptr && dictionary.InsertCloneOf(*association);
}

void RWBTreeDictionary::RestoreContentsFromStream(GVirtualInStream& stream) {
  Clear();
  ReadMembersFromStream(stream, AcceptPair);
}

void RWBTreeDictionary::RestoreContentsFromFile(GBinaryFile& file) {
  Clear();
  ReadMembersFromFile(file, AcceptPair);
}

RWCollectable* RWBTreeDictionary::InsertPair(RWCollectable* key, RWCollectable* value) {
  auto association = std::make_unique<RWCollectableAssociation>(key, value);
  if (Insert(association.get()) != association.get()) return nullptr;
  association.release();
  return key;
}

RWCollectable* RWBTreeDictionary::FindValue(const RWCollectable* key) const {
  RWCollectable* value = nullptr;
  FindKeyAndValue(key, value);
  return value;
}

RWCollectable* RWBTreeDictionary::FindKeyAndValue(const RWCollectable* key, RWCollectable*& value) const {
  return KeyAndValue(FindAssociation(key), value);
}

RWCollectable* RWBTreeDictionary::SetValue(const RWCollectable* key, RWCollectable* value) {
  RWCollectableAssociation* association = FindAssociation(key);
  return association != nullptr ? association->SetValue(value) : nullptr;
}

RWCollectable* RWBTreeDictionary::RemovePair(const RWCollectable* key, RWCollectable*& value) {
  const std::unique_ptr<RWCollectableAssociation> association(AsAssociation(RWBTree::Remove(key)));
  return KeyAndValue(association.get(), value);
}

void RWBTreeDictionary::ForEachPair(GPairFunction function, void* user) const {
  ForEachAssociation(
      [&](const RWCollectableAssociation& association) { function(association.Key(), association.Value(), user); });
}

std::unique_ptr<RWBTreeDictionary> RWBTreeDictionary::SelectByKey(GCollectableTest test, const void* user) const {
  return SelectAssociations([&](const RWCollectableAssociation& association) { return test(association.Key(), user); });
}

std::unique_ptr<RWBTreeDictionary> RWBTreeDictionary::SelectByPair(GPairTest test, const void* user) const {
  return SelectAssociations(
      [&](const RWCollectableAssociation& association) { return test(association.Key(), association.Value(), user); });
}

RWCollectableAssociation* RWBTreeDictionary::FindAssociation(const RWCollectable* key) const {
  return AsAssociation(RWBTree::Find(key));
}

bool RWBTreeDictionary::InsertCloneOf(const RWCollectableAssociation& association) {
  std::unique_ptr<RWCollectable> clone(association.Clone());
  if (Insert(clone.get()) != clone.get()) return false;
  clone.release();
  return true;
}

void RWBTreeDictionary::DeleteAssociations() {
  ForEachMember([](RWCollectable* item) { delete item; });
}
