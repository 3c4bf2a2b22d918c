#pragma once

#include <cstdint>
#include <memory>

#include "model/objects/counted_ptr_vector.h"
#include "model/objects/persistent_object.h"

// The model node with children: counted references to them in an embedded
// child vector, in order. Its searches look below it, depth first in
// pre-order (child 0, the subtree of child 0, child 1 ...), and never test
// the composite itself. It is the container of the settings tree and the
// base of the association list, the resource-mapping list, the
// configuration and the render side's composites.
//
// Stored contents after the base part: version 1, the child count, each
// child as an object reference (an empty slot as the nil object).
class MPersistentComposite : public MPersistentObject {
 public:
  // No more children than this are ever added.
  static constexpr uint32_t kMaxChildren = 0x1FFFFFBF;
  static constexpr uint32_t kInitialCapacity = 10;

  MPersistentComposite();
  explicit MPersistentComposite(int32_t key);
  // Shares every child of the source.
  MPersistentComposite(const MPersistentComposite& other);
  // Only when the contents differ: copies key and serial number and shares
  // the source's children, letting go of the old ones. Equal contents
  // change nothing, not even the serial number.
  MPersistentComposite& operator=(const MPersistentComposite& other);

  RWCollectable* NewInstance() const override { return new MPersistentComposite; }
  RWCollectable* Clone() const override { return new MPersistentComposite(*this); }
  RWClassID ClassID() const override { return kMPersistentCompositeClassID; }

  // Same class, key and child count, and no child differing from the
  // child at the same index of the other.
  bool SameContent(const MPersistentObject& other) const override;

  // A null node is ignored; a node beyond the child limit is deleted.
  void AddChild(MPersistentObject* node) override;
  void InsertFirstChild(MPersistentObject* node) override;
  // The first node below that passes the test is taken out of its parent's
  // vector and handed to the caller: the node itself when nobody else owned
  // it, else a clone. Null when none passes.
  MPersistentObject* RemoveChild(const MPersistentObject* node) override;
  MPersistentObject* RemoveChildByKey(int32_t key) override;
  MPersistentObject* RemoveChildByClassId(RWClassID id) override;
  // The first node below that passes the test is replaced by a deep copy of
  // the object; true when one was.
  bool ReplaceChildByKey(int32_t key, const MPersistentObject& object) override;
  bool ReplaceChildByClassId(RWClassID id, const MPersistentObject& object) override;
  bool ReplaceChild(const MPersistentObject* node, const MPersistentObject& object) override;
  bool ReplaceChildByKind(RWClassID id, const MPersistentObject& object) override;
  // Lets go of every child; the vector goes back to 64 slots.
  void RemoveAllChildren() override;

  MPersistentObject* FindByKey(int32_t key) override;
  MPersistentObject* FindByClassId(RWClassID id) override;
  MPersistentObject* FindEqual(const MPersistentObject& other) override;
  MPersistentObject* FindKindOf(RWClassID id) override;
  // Passed on to each child, so only leaves are collected.
  MPersistentObject& CollectByClassId(RWClassID id, MPersistentObject& composite) override;
  MPersistentObject& CollectByKey(int32_t key, MPersistentObject& composite) override;
  MPersistentObject& CollectKindOf(RWClassID id, MPersistentObject& composite) override;
  MPersistentObject* SelectByKey(int32_t key) override;
  MPersistentObject* SelectByClassId(RWClassID id) override;
  MPersistentObject* SelectKindOf(RWClassID id) override;

  MPersistentObject* AsComposite() override { return this; }
  uint32_t EntryCount() const override { return children_.Count(); }
  uint32_t NodeCount() const override;
  std::unique_ptr<GIterator> NewChildIterator() override;

  // Calls function with each element and the user data, in index order.
  void ForEachChild(void (*function)(GCountedPtr& element, void* user), void* user);
  // The pointee of the first element for which function answers non-zero,
  // else null.
  MPersistentObject* FindFirstChild(bool (*function)(const GCountedPtr& element, void* user), void* user);

  const GCountedPtrVector& Children() const { return children_; }

 protected:
  GCountedPtrVector& MutableChildren() { return children_; }
  void Fields(GFieldArchive& archive) override;

 private:
  // The searches below this composite: each child is tested, then its own
  // subtree is searched through below (a virtual operation of the child).
  // A node met before in the same search (Tag) is passed over.
  template <typename Tag, typename Test, typename Below>
  MPersistentObject* FindBelow(const Test& test, const Below& below);
  template <typename Test, typename Below>
  MPersistentObject* RemoveBelow(const Test& test, const Below& below);
  template <typename Test, typename Below>
  bool ReplaceBelow(const Test& test, const Below& below, const MPersistentObject& object);

  GCountedPtrVector children_;
};

// A selection: collect fills a new composite of type Selection, which the
// caller receives when it took at least one child; otherwise it is deleted
// and the answer is null.
template <typename Selection, typename Collect>
MPersistentObject* NewSelection(const Collect& collect) {
  auto selection = std::make_unique<Selection>();
  collect(*selection);
  return selection->EntryCount() == 0 ? nullptr : selection.release();
}
