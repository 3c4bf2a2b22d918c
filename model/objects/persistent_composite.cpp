#include "model/objects/persistent_composite.h"

#include <unordered_set>

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<MPersistentComposite>, kMPersistentCompositeClassID,
                                kMPersistentCompositeClassName);

// The nodes one search has met, shared by its nested calls: each child's
// own search (a virtual call) runs inside its parent's. A restored graph may
// share one node at many places; meeting it again can find nothing new, so
// each node is gone through once and a search takes time in the nodes, not
// in the paths to them. Each kind of search (Tag) keeps a set of its own.
template <typename Tag>
class SearchVisits {
 public:
  SearchVisits() : owner_(Current() == nullptr) {
    if (owner_) Current() = &met_;
  }
  ~SearchVisits() {
    if (owner_) Current() = nullptr;
  }
  SearchVisits(const SearchVisits&) = delete;
  SearchVisits& operator=(const SearchVisits&) = delete;

  // True the first time the search meets the node.
  bool FirstMeeting(const MPersistentObject& node) { return Current()->insert(&node).second; }

 private:
  static std::unordered_set<const MPersistentObject*>*& Current() {
    static thread_local std::unordered_set<const MPersistentObject*>* current = nullptr;
    return current;
  }

  bool owner_;
  std::unordered_set<const MPersistentObject*> met_;
};

struct ByKey {};
struct ByClassId {};
struct ByEquality {};
struct ByKind {};
struct CollectingByKey {};
struct CollectingByClassId {};
struct CollectingByKind {};

// Passes each child met for the first time in this search to collect.
template <typename Tag, typename Collect>
void CollectBelow(const GCountedPtrVector& children, const Collect& collect) {
  SearchVisits<Tag> visits;
  for (const GCountedPtr& child : children) {
    MPersistentObject* node = child.Get();
    if (node != nullptr && visits.FirstMeeting(*node)) collect(*node);
  }
}

}  // namespace

MPersistentComposite::MPersistentComposite() : children_(kInitialCapacity) {}

MPersistentComposite::MPersistentComposite(int32_t key) : MPersistentObject(key), children_(kInitialCapacity) {}

MPersistentComposite::MPersistentComposite(const MPersistentComposite& other) = default;

MPersistentComposite& MPersistentComposite::operator=(const MPersistentComposite& other) {
  if (this == &other || !DiffersFrom(other)) return *this;
  MPersistentObject::operator=(other);
  children_ = other.children_;
  return *this;
}

void MPersistentComposite::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  if (archive.Version(FormatVersion())) archive.Children(children_);
}

bool MPersistentComposite::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* composite = SameClassAndKey<MPersistentComposite>(other);
  if (composite == nullptr || composite->children_.Count() != children_.Count()) return false;
  for (uint32_t i = 0; i < children_.Count(); ++i) {
    const MPersistentObject* mine = children_[i].Get();
    const MPersistentObject* theirs = composite->children_[i].Get();
    if (mine == nullptr || theirs == nullptr ? mine != theirs : mine->DiffersFrom(*theirs)) return false;
  }
  return true;
}

void MPersistentComposite::AddChild(MPersistentObject* node) {
  if (node == nullptr) return;
  if (children_.Count() >= kMaxChildren) {
    // Taking and dropping the node deletes it unless somebody else owns it.
    GObjectRef dropped(node);
    return;
  }
  children_.Append(GCountedPtr(node));
}

void MPersistentComposite::InsertFirstChild(MPersistentObject* node) {
  if (node != nullptr) children_.InsertAt(0, GCountedPtr(node));
}

template <typename Tag, typename Test, typename Below>
MPersistentObject* MPersistentComposite::FindBelow(const Test& test, const Below& below) {
  SearchVisits<Tag> visits;
  for (const GCountedPtr& element : children_) {
    MPersistentObject* child = element.Get();
    if (child == nullptr || !visits.FirstMeeting(*child)) continue;
    if (test(*child)) return child;
    if (MPersistentObject* found = below(*child)) return found;
  }
  return nullptr;
}

template <typename Test, typename Below>
MPersistentObject* MPersistentComposite::RemoveBelow(const Test& test, const Below& below) {
  for (uint32_t i = 0; i < children_.Count(); ++i) {
    MPersistentObject* child = children_[i].Get();
    if (child == nullptr) continue;
    if (test(*child)) return children_.RemoveAt(i).Ref().HandOver();
    if (MPersistentObject* removed = below(*child)) return removed;
  }
  return nullptr;
}

template <typename Test, typename Below>
bool MPersistentComposite::ReplaceBelow(const Test& test, const Below& below, const MPersistentObject& object) {
  for (uint32_t i = 0; i < children_.Count(); ++i) {
    MPersistentObject* child = children_[i].Get();
    if (child == nullptr) continue;
    if (test(*child)) {
      children_.Set(i, GCountedPtr(object.DeepCopy()));
      return true;
    }
    if (below(*child)) return true;
  }
  return false;
}

MPersistentObject* MPersistentComposite::RemoveChild(const MPersistentObject* node) {
  return RemoveBelow([node](const MPersistentObject& child) { return &child == node; },
                     [node](MPersistentObject& child) { return child.RemoveChild(node); });
}

MPersistentObject* MPersistentComposite::RemoveChildByKey(int32_t key) {
  return RemoveBelow([key](const MPersistentObject& child) { return child.Key() == key; },
                     [key](MPersistentObject& child) { return child.RemoveChildByKey(key); });
}

MPersistentObject* MPersistentComposite::RemoveChildByClassId(RWClassID id) {
  return RemoveBelow([id](const MPersistentObject& child) { return child.ClassID() == id; },
                     [id](MPersistentObject& child) { return child.RemoveChildByClassId(id); });
}

bool MPersistentComposite::ReplaceChildByKey(int32_t key, const MPersistentObject& object) {
  return ReplaceBelow([key](const MPersistentObject& child) { return child.Key() == key; },
                      [&](MPersistentObject& child) { return child.ReplaceChildByKey(key, object); }, object);
}

bool MPersistentComposite::ReplaceChildByClassId(RWClassID id, const MPersistentObject& object) {
  return ReplaceBelow([id](const MPersistentObject& child) { return child.ClassID() == id; },
                      [&](MPersistentObject& child) { return child.ReplaceChildByClassId(id, object); }, object);
}

bool MPersistentComposite::ReplaceChild(const MPersistentObject* node, const MPersistentObject& object) {
  return ReplaceBelow([node](const MPersistentObject& child) { return &child == node; },
                      [&](MPersistentObject& child) { return child.ReplaceChild(node, object); }, object);
}

bool MPersistentComposite::ReplaceChildByKind(RWClassID id, const MPersistentObject& object) {
  return ReplaceBelow([id](const MPersistentObject& child) { return child.IsKindOf(id); },
                      [&](MPersistentObject& child) { return child.ReplaceChildByKind(id, object); }, object);
}

void MPersistentComposite::RemoveAllChildren() { children_.Clear(GCountedPtrVector::kGrowth); }

MPersistentObject* MPersistentComposite::FindByKey(int32_t key) {
  return FindBelow<ByKey>([key](const MPersistentObject& child) { return child.Key() == key; },
                          [key](MPersistentObject& child) { return child.FindByKey(key); });
}

MPersistentObject* MPersistentComposite::FindByClassId(RWClassID id) {
  return FindBelow<ByClassId>([id](const MPersistentObject& child) { return child.ClassID() == id; },
                              [id](MPersistentObject& child) { return child.FindByClassId(id); });
}

MPersistentObject* MPersistentComposite::FindEqual(const MPersistentObject& other) {
  return FindBelow<ByEquality>([&](const MPersistentObject& child) { return child.SameContent(other); },
                               [&](MPersistentObject& child) { return child.FindEqual(other); });
}

MPersistentObject* MPersistentComposite::FindKindOf(RWClassID id) {
  return FindBelow<ByKind>([id](const MPersistentObject& child) { return child.IsKindOf(id); },
                           [id](MPersistentObject& child) { return child.FindKindOf(id); });
}

MPersistentObject& MPersistentComposite::CollectByClassId(RWClassID id, MPersistentObject& composite) {
  CollectBelow<CollectingByClassId>(children_,
                                    [&](MPersistentObject& child) { child.CollectByClassId(id, composite); });
  return composite;
}

MPersistentObject& MPersistentComposite::CollectByKey(int32_t key, MPersistentObject& composite) {
  CollectBelow<CollectingByKey>(children_, [&](MPersistentObject& child) { child.CollectByKey(key, composite); });
  return composite;
}

MPersistentObject& MPersistentComposite::CollectKindOf(RWClassID id, MPersistentObject& composite) {
  CollectBelow<CollectingByKind>(children_, [&](MPersistentObject& child) { child.CollectKindOf(id, composite); });
  return composite;
}

MPersistentObject* MPersistentComposite::SelectByKey(int32_t key) {
  return NewSelection<MPersistentComposite>([&](MPersistentObject& selection) { CollectByKey(key, selection); });
}

MPersistentObject* MPersistentComposite::SelectByClassId(RWClassID id) {
  return NewSelection<MPersistentComposite>([&](MPersistentObject& selection) { CollectByClassId(id, selection); });
}

MPersistentObject* MPersistentComposite::SelectKindOf(RWClassID id) {
  return NewSelection<MPersistentComposite>([&](MPersistentObject& selection) { CollectKindOf(id, selection); });
}

uint32_t MPersistentComposite::NodeCount() const {
  uint32_t count = 1;
  for (const GCountedPtr& child : children_) {
    if (!child.IsEmpty()) count += child->NodeCount();
  }
  return count;
}

std::unique_ptr<GIterator> MPersistentComposite::NewChildIterator() {
  return std::make_unique<GCountedPtrVectorIterator>(this, children_);
}

void MPersistentComposite::ForEachChild(void (*function)(GCountedPtr& element, void* user), void* user) {
  for (GCountedPtr& element : children_) function(element, user);
}

MPersistentObject* MPersistentComposite::FindFirstChild(bool (*function)(const GCountedPtr& element, void* user),
                                                        void* user) {
  for (const GCountedPtr& element : children_) {
    if (function(element, user)) return element.Get();
  }
  return nullptr;
}
