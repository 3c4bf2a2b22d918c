#pragma once

#include <cstdint>
#include <memory>

#include "model/attributes/attribute.h"
#include "model/objects/persistent_composite.h"

// An attribute that holds attributes: leaves or further composites, under
// their keys, each owned through its reference count (a child may sit in
// several composites at once). Searches go depth first: each child is
// tested, then its subtree, before the next child; the first match wins and
// the composite itself is never tested.
//
// Stored part after the attribute's: version 1, the child count, each child
// as an object reference.
class GAttributeComposite : public GAttribute {
 public:
  GAttributeComposite() = default;
  explicit GAttributeComposite(int32_t key) : GAttribute(key) {}
  // Key, serial number and changed flag; the children are shared.
  GAttributeComposite(const GAttributeComposite& other) = default;
  GAttributeComposite& operator=(const GAttributeComposite& other) = delete;

  RWCollectable* NewInstance() const override { return new GAttributeComposite; }
  RWCollectable* Clone() const override { return new GAttributeComposite(*this); }
  RWClassID ClassID() const override { return kGAttributeCompositeClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGAttributeCompositeClassID || GAttribute::IsKindOf(id); }
  // Same class and key, and children of equal content in the same order.
  bool SameContent(const MPersistentObject& other) const override;

  // Takes an attribute as the last child; anything else is let go of
  // (deleted unless somebody else owns it). Null is ignored.
  void AddChild(MPersistentObject* node) override;
  // Detach the first match below; the caller owns what comes back (the
  // node itself, or a clone when others still hold it).
  MPersistentObject* RemoveChild(const MPersistentObject* node) override;
  MPersistentObject* RemoveChildByKey(int32_t key) override;
  MPersistentObject* RemoveChildByClassId(RWClassID id) override;
  // Put a deep copy of the object in place of the first match below.
  bool ReplaceChildByKey(int32_t key, const MPersistentObject& object) override;
  bool ReplaceChildByClassId(RWClassID id, const MPersistentObject& object) override;
  bool ReplaceChild(const MPersistentObject* node, const MPersistentObject& object) override;
  bool ReplaceChildByKind(RWClassID id, const MPersistentObject& object) override;
  void RemoveAllChildren() override;

  MPersistentObject* FindByKey(int32_t key) override;
  MPersistentObject* FindByClassId(RWClassID id) override;
  // A child that is the object itself, or a leaf below with the same
  // content; a composite child matches by identity only.
  MPersistentObject* FindEqual(const MPersistentObject& other) override;
  MPersistentObject* FindKindOf(RWClassID id) override;
  // Matching leaves below add themselves to the collector.
  MPersistentObject& CollectByClassId(RWClassID id, MPersistentObject& composite) override;
  MPersistentObject& CollectByKey(int32_t key, MPersistentObject& composite) override;
  MPersistentObject& CollectKindOf(RWClassID id, MPersistentObject& composite) override;
  // A new selection of the matching leaves below, null when none matched.
  MPersistentObject* SelectByKey(int32_t key) override;
  MPersistentObject* SelectByClassId(RWClassID id) override;
  MPersistentObject* SelectKindOf(RWClassID id) override;

  MPersistentObject* AsComposite() override { return this; }
  uint32_t EntryCount() const override { return children_.EntryCount(); }
  uint32_t NodeCount() const override { return children_.NodeCount(); }
  std::unique_ptr<GIterator> NewChildIterator() override { return children_.NewChildIterator(); }

  // With the same base type and key as this composite, the other's children
  // are appended as clones (children with the same keys stay); otherwise a
  // clone of the other becomes one child. Answers 0 when nothing was added,
  // else the other's changed flag.
  int32_t UpdateFrom(GAttribute* other) override;
  // Sends every direct child whose changed flag is set, in order, and then
  // clears this composite's own flag (the children keep theirs). Answers the
  // last nonzero status of a child, or 0.
  uint16_t SendTo(GPeripheral& target) override;

  // Set or clear the changed flag of every direct child, then this one's.
  virtual void MarkAllChanged();
  virtual void ClearAllChanged();
  // Calls function with each child's counted pointer and the user data, in
  // order.
  virtual void ForEachChild(void (*function)(GCountedPtr& element, void* user), void* user);
  // The first child for which function answers true, else null.
  virtual MPersistentObject* FindFirstChild(bool (*function)(const GCountedPtr& element, void* user), void* user);

  const GCountedPtrVector& Children() const { return children_.Children(); }

 protected:
  // Restoring lets go of the present children, unless the stored version
  // is not this class's; a reference that cannot be read ends the children.
  void Fields(GFieldArchive& archive) override;
  // The index of the first direct child with the base type and key, -1
  // when none.
  int32_t IndexOfChild(RWClassID baseTypeId, int32_t key) const;
  // The index of the node among the direct children, -1 when absent.
  int32_t IndexOfChild(const MPersistentObject* node) const;
  // Puts the node (shared) at an index of the children, letting go of the
  // child there.
  void SetChildAt(uint32_t index, MPersistentObject* node);

 private:
  // The child vector, with the composite's searches, removals and
  // replacements, which serve this composite unchanged.
  class ChildList : public MPersistentComposite {
   public:
    using MPersistentComposite::MutableChildren;
  };

  void SetAllChanged(int32_t changed);

  ChildList children_;
};
