#pragma once

#include <cstdint>
#include <memory>

#include "graphics/display/graphic.h"
#include "model/objects/child_list_lookups.h"
#include "model/objects/persistent_composite.h"

// An ordered list of graphics that travels as one graphic. It holds only
// graphics: anything else handed to it is refused (and deleted when nobody
// else owns it). Dispatching the list itself calls no handler.
//
// The list is an embedded composite to which the tree operations are
// forwarded. Inserting in front is not among them and, as on a leaf, does
// nothing.
//
// Stored part after the graphic's: version 1, the embedded composite as an
// object reference with its own class header. A restore keeps only the
// graphics among the children it reads, so that whoever walks the list may
// treat every child as a graphic.
class GGraphicComposite : public GChildListLookups<GGraphicComposite, GGraphic> {
 public:
  using Lookups = GChildListLookups<GGraphicComposite, GGraphic>;

  GGraphicComposite() = default;
  GGraphicComposite(GGraphicBundle* state, int32_t key) : Lookups(state, key) {}
  // Shares every child of the other.
  GGraphicComposite(const GGraphicComposite& other) : Lookups(other), children_(other.children_) {}

  RWCollectable* NewInstance() const override { return new GGraphicComposite; }
  RWCollectable* Clone() const override { return new GGraphicComposite(*this); }
  RWClassID ClassID() const override { return kGGraphicCompositeClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGGraphicCompositeClassID || GGraphic::IsKindOf(id); }
  // The same class, agreeing command parts and lists of equal children.
  bool SameContent(const MPersistentObject& other) const override;

  void AddChild(MPersistentObject* node) override;
  MPersistentObject* RemoveChild(const MPersistentObject* node) override { return children_.RemoveChild(node); }
  MPersistentObject* RemoveChildByKey(int32_t key) override { return children_.RemoveChildByKey(key); }
  MPersistentObject* RemoveChildByClassId(RWClassID id) override { return children_.RemoveChildByClassId(id); }
  // A replacement that is not a graphic is refused (false).
  bool ReplaceChildByKey(int32_t key, const MPersistentObject& object) override {
    return IsGraphic(&object) && children_.ReplaceChildByKey(key, object);
  }
  bool ReplaceChildByClassId(RWClassID id, const MPersistentObject& object) override {
    return IsGraphic(&object) && children_.ReplaceChildByClassId(id, object);
  }
  bool ReplaceChild(const MPersistentObject* node, const MPersistentObject& object) override {
    return IsGraphic(&object) && children_.ReplaceChild(node, object);
  }
  bool ReplaceChildByKind(RWClassID id, const MPersistentObject& object) override {
    return IsGraphic(&object) && children_.ReplaceChildByKind(id, object);
  }
  void RemoveAllChildren() override { children_.RemoveAllChildren(); }

  // Each child's, in order.
  void OwnData() override;
  // Calls nothing; answers 0.
  uint16_t DispatchTo(GPeripheral&) override { return 0; }

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  friend Lookups;
  MPersistentComposite& ChildList() { return children_; }
  const MPersistentComposite& ChildList() const { return children_; }

  static bool IsGraphic(const MPersistentObject* node) { return node != nullptr && node->IsKindOf(kGGraphicClassID); }
  // Lets go of every child that is not a graphic.
  void DropNonGraphics();

  MPersistentComposite children_;
};
