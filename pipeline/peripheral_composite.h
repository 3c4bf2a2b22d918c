#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "foundation/rw_wstring.h"
#include "model/attributes/peripheral.h"
#include "model/objects/child_list_lookups.h"
#include "model/objects/object_ref.h"
#include "model/objects/persistent_composite.h"

// A stage made of an ordered list of child stages, through which every
// command passes in turn, so that a list of page filters behaves as one
// stage. At each document start it rebuilds its active chain from the
// children that stay enabled (a filter that is not asked for switches
// itself off there and costs nothing for the rest of the job), with the
// add-on stages named in its configuration installed in front; a document
// end or abort removes the add-ons and empties the chain.
//
// Besides the peripheral's states and configuration it keeps its own:
// the peripheral configuration is rebuilt from its own configuration and
// every child's whenever something below changes. Each child lists the
// composite among its parents.
//
// Stored part after the peripheral's: version 1, the children list as an
// object reference, then its own current state, initial state and
// configuration as object references. The active chain is not stored; a
// restore keeps only the stages among the children it reads.
class GPeripheralComposite : public GChildListLookups<GPeripheralComposite, GPeripheral> {
 public:
  using Lookups = GChildListLookups<GPeripheralComposite, GPeripheral>;

  // How a composite gets an add-on stage for a library name, with its
  // add-on kind and mode: a loaded stage that the composite then owns, or
  // null when the add-on could not be loaded.
  using AddOnLoader = GPeripheral* (*)(const RWWString& library, int32_t kind, int32_t mode);
  // Installs the loader (null restores the one that loads nothing, which
  // serves until add-on libraries are supported).
  static void SetAddOnLoader(AddOnLoader loader);

  GPeripheralComposite() : GPeripheralComposite(0) {}
  explicit GPeripheralComposite(int32_t key);
  GPeripheralComposite(const RWCString& name, GState* initialState, GConfiguration* configuration, int32_t key,
                       int32_t addOnListKey, int32_t addOnKind, int32_t addOnMode);
  // Shares the other's own states and configuration and its children (the
  // children do not list the copy as a parent).
  GPeripheralComposite(const GPeripheralComposite& other);
  GPeripheralComposite& operator=(const GPeripheralComposite& other);
  // The children no longer list this composite as a parent.
  ~GPeripheralComposite() override;

  RWCollectable* NewInstance() const override { return new GPeripheralComposite; }
  RWCollectable* Clone() const override { return new GPeripheralComposite(*this); }
  RWClassID ClassID() const override { return kGPeripheralCompositeClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGPeripheralCompositeClassID || GPeripheral::IsKindOf(id); }
  // Equal peripheral parts, children and own members.
  bool SameContent(const MPersistentObject& other) const override;
  // Own members deep copies, each child's deep copy added anew.
  MPersistentObject* DeepCopy() const override;

  // Only stages become children (anything else is deleted): each lists
  // this composite as a parent, and the change is passed up.
  void AddChild(MPersistentObject* node) override;
  // The detached stage, which no longer lists this composite, goes to the
  // caller; null when none matched.
  MPersistentObject* RemoveChild(const MPersistentObject* node) override;
  MPersistentObject* RemoveChildByKey(int32_t key) override;
  MPersistentObject* RemoveChildByClassId(RWClassID id) override;
  // Lets go of every child without passing the change up.
  void RemoveAllChildren() override;

  // The rest of the tree operations work on the children list as they are.
  bool ReplaceChildByKey(int32_t key, const MPersistentObject& object) override {
    return children_.ReplaceChildByKey(key, object);
  }
  bool ReplaceChildByClassId(RWClassID id, const MPersistentObject& object) override {
    return children_.ReplaceChildByClassId(id, object);
  }
  bool ReplaceChild(const MPersistentObject* node, const MPersistentObject& object) override {
    return children_.ReplaceChild(node, object);
  }
  bool ReplaceChildByKind(RWClassID id, const MPersistentObject& object) override {
    return children_.ReplaceChildByKind(id, object);
  }

  // A document start goes to every enabled child and rebuilds the active
  // chain; any other command goes through the chain until a child answers
  // a no-op or an error. A document end or abort that leaves the chain
  // ends the job's add-ons and empties the chain.
  GCommand* ProcessCommand(GCommand* command) override;
  GCommand* HandleCommand(GCommand* command) override { return GPeripheral::HandleCommand(command); }
  GCommand* ProcessComposite(GCommand* composite) override { return GPeripheral::ProcessComposite(composite); }

  // The states and configuration are both the peripheral's and the own.
  void SetInitialState(GState* state) override;
  int32_t SetCurrentState(GState* state) override;
  void SetConfiguration(GConfiguration* configuration) override;
  // The own members stay; see the peripheral's.
  GState* TakeInitialState() override;
  GState* TakeCurrentState() override;
  GConfiguration* TakeConfiguration() override;
  // Every child's job first, then this stage's from its own initial state.
  void ResetJob() override;
  // Rebuilds the peripheral configuration and passes the change up.
  void NotifyChanged(GPeripheral* changed) override;
  // 1 when every child, enabled or not, answers 1.
  int32_t IsScalable() override;
  // The product of the enabled children's factors, in order, ending at a
  // product of zero.
  std::pair<float, float>& GetScaleFactor(std::pair<float, float>& factor, GState* jobSettings, GState* pageState,
                                          int32_t pageNumber, int32_t* mode) override;
  // The union of the enabled children's.
  uint32_t GetEmulatedFeatures() override;

  // Puts a stage for each library of the configuration's add-on list that
  // loads in front of the stage's children, in list order. Nothing with
  // add-on mode 2.
  static void InstallAddOns(GPeripheral* stage);
  // Removes and releases every add-on stage among the stage's children.
  // Nothing with add-on mode 2.
  static void RemoveAddOns(GPeripheral* stage);

  GState* GetOwnCurrentState() const;
  GState* GetOwnInitialState() const;
  // The stages taking part in the current job, in child order.
  const MPersistentComposite& ActiveChain() const { return active_; }

 protected:
  void Fields(GFieldArchive& archive) override;

  // The child stages, held, so that a handler may change the list.
  std::vector<GObjectRef> HeldChildren() const;
  // Takes a stage found below out of the children: it no longer lists this
  // composite, and the change is passed up. The caller owns the answer.
  MPersistentObject* Detach(MPersistentObject* node);
  // Rebuilds the peripheral configuration from the own and the children's.
  void RebuildConfiguration();
  // Makes one initial and one current state (key 243) from the own states
  // and every child's, installs them here, which forgets the cached
  // sub-states, and hands them to every child: the stages then read and
  // change the same attributes.
  void ShareStatesWithChildren();

 private:
  friend Lookups;
  MPersistentComposite& ChildList() { return children_; }
  const MPersistentComposite& ChildList() const { return children_; }

  // Commands go through the active chain.
  GCommand* PassThroughChain(GCommand* command);
  // Keeps only the stages among the children.
  void DropNonStages();

  GObjectRef ownCurrentState_;
  GObjectRef ownInitialState_;
  GObjectRef ownConfiguration_;
  MPersistentComposite children_;
  MPersistentComposite active_;
};
