#pragma once

#include <cstdint>
#include <memory>

#include "graphics/commands/command.h"
#include "model/objects/child_list_lookups.h"
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
class GCommandComposite : public GChildListLookups<GCommandComposite, GCommand> {
 public:
  using Lookups = GChildListLookups<GCommandComposite, GCommand>;

  GCommandComposite() = default;
  explicit GCommandComposite(int32_t key) : Lookups(key) {}
  GCommandComposite(GState* state, int32_t key) : Lookups(state, key) {}
  // Shares every child of the other.
  GCommandComposite(const GCommandComposite& other) : Lookups(other), children_(other.children_) {}

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
