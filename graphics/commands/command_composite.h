#pragma once

#include <cstdint>
#include <memory>

#include "graphics/commands/command.h"
#include "model/objects/persistent_composite.h"

// An ordered list of commands that a stage passes on as one command. It
// holds only commands: anything else handed to it is refused (and deleted
// when nobody else owns it). Every change of the list sets the changed
// flag. Dispatching the list itself calls no handler; a stage hands its
// children on one by one instead.
//
// The list is an embedded composite to which the tree operations are
// forwarded; removing all children is not among them and, as on a leaf,
// does nothing.
//
// Stored part after the command's: version 1, the embedded composite as an
// object reference with its own class header. A restore keeps only the
// commands among the children it reads and clears the changed flag.
class GCommandComposite : public GCommand {
 public:
  GCommandComposite() = default;
  explicit GCommandComposite(int32_t key) : GCommand(key) {}
  GCommandComposite(GState* state, int32_t key) : GCommand(state, key) {}
  // Shares every child of the other.
  GCommandComposite(const GCommandComposite& other) : GCommand(other), children_(other.children_) {}

  RWCollectable* NewInstance() const override { return new GCommandComposite; }
  RWCollectable* Clone() const override { return new GCommandComposite(*this); }
  RWClassID ClassID() const override { return kGCommandCompositeClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGCommandCompositeClassID || GCommand::IsKindOf(id); }
  // The command parts agree and the lists hold equal children in order.
  bool SameContent(const MPersistentObject& other) const override;

  void AddChild(MPersistentObject* node) override;
  void InsertFirstChild(MPersistentObject* node) override;
  MPersistentObject* RemoveChild(const MPersistentObject* node) override;
  MPersistentObject* RemoveChildByKey(int32_t key) override;
  MPersistentObject* RemoveChildByClassId(RWClassID id) override;
  bool ReplaceChildByKey(int32_t key, const MPersistentObject& object) override;
  bool ReplaceChildByClassId(RWClassID id, const MPersistentObject& object) override;
  bool ReplaceChild(const MPersistentObject* node, const MPersistentObject& object) override;
  bool ReplaceChildByKind(RWClassID id, const MPersistentObject& object) override;

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
  // The children in order.
  const GCountedPtrVector& Children() const { return children_.Children(); }

  // Each child's, in order.
  void OwnData() override;
  // Calls nothing; answers 0.
  uint16_t DispatchTo(GPeripheral&) override { return 0; }

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  // Marks the list changed when an operation reports that it changed it.
  template <typename Result>
  Result Changed(Result result) {
    if (result) SetChanged(true);
    return result;
  }
  // Takes the node when it is a command; refuses it otherwise.
  template <typename Add>
  void AddCommand(MPersistentObject* node, const Add& add);
  // Lets go of every child that is not a command.
  void DropNonCommands();

  MPersistentComposite children_;
};
