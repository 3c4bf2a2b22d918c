#pragma once

#include <cstdint>
#include <memory>

#include "graphics/display/graphic.h"
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
class GGraphicComposite : public GGraphic {
 public:
  GGraphicComposite() = default;
  GGraphicComposite(GGraphicBundle* state, int32_t key) : GGraphic(state, key) {}
  // Shares every child of the other.
  GGraphicComposite(const GGraphicComposite& other) : GGraphic(other), children_(other.children_) {}

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

  MPersistentObject* FindByKey(int32_t key) override { return children_.FindByKey(key); }
  MPersistentObject* FindByClassId(RWClassID id) override { return children_.FindByClassId(id); }
  MPersistentObject* FindEqual(const MPersistentObject& other) override { return children_.FindEqual(other); }
  MPersistentObject* FindKindOf(RWClassID id) override { return children_.FindKindOf(id); }
  MPersistentObject& CollectByClassId(RWClassID id, MPersistentObject& composite) override {
    return children_.CollectByClassId(id, composite);
  }
  MPersistentObject& CollectByKey(int32_t key, MPersistentObject& composite) override {
    return children_.CollectByKey(key, composite);
  }
  MPersistentObject& CollectKindOf(RWClassID id, MPersistentObject& composite) override {
    return children_.CollectKindOf(id, composite);
  }
  MPersistentObject* SelectByKey(int32_t key) override { return children_.SelectByKey(key); }
  MPersistentObject* SelectByClassId(RWClassID id) override { return children_.SelectByClassId(id); }
  MPersistentObject* SelectKindOf(RWClassID id) override { return children_.SelectKindOf(id); }
  // The embedded list.
  MPersistentObject* AsComposite() override { return &children_; }
  uint32_t EntryCount() const override { return children_.EntryCount(); }
  uint32_t NodeCount() const override { return children_.NodeCount(); }
  std::unique_ptr<GIterator> NewChildIterator() override { return children_.NewChildIterator(); }
  // The children in order, each a graphic; what code that draws the list
  // walks.
  const GCountedPtrVector& Children() const { return children_.Children(); }

  // Each child's, in order.
  void OwnData() override;
  // Calls nothing; answers 0.
  uint16_t DispatchTo(GPeripheral&) override { return 0; }

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  static bool IsGraphic(const MPersistentObject* node) { return node != nullptr && node->IsKindOf(kGGraphicClassID); }
  // Lets go of every child that is not a graphic.
  void DropNonGraphics();

  MPersistentComposite children_;
};
