#pragma once

#include <cstdint>

#include "model/objects/object_ref.h"
#include "model/objects/persistent_object.h"

class GPeripheral;
class GState;

// A command of a print job: document and page frame, graphic, download,
// pass-through data, error report, or a list of commands. The job's
// graphics device makes them and hands them to the head of the render
// pipeline; every stage may replace, spool or pass each on, and in the end
// hands it to itself: the command calls the one handler of the stage that
// its class names and answers the handler's status (double dispatch), so
// that no stage tests classes.
//
// A command carries the attribute state that belongs to it (a GState; for
// a graphic its graphic bundle), holding one reference on it. Classes that
// require a particular kind of state refuse others: a refused state that
// nobody else owns is deleted, and the command keeps the state it had.
//
// The changed flag tells a stage that goes through a command list that the
// list changed (a composite sets it whenever its children change).
//
// Stored part after the root's: version 1, the state as an object reference
// (the nil object when there is none). The changed flag is not stored; a
// restore clears it.
class GCommand : public MPersistentObject {
 public:
  ~GCommand() override = default;

  bool IsKindOf(RWClassID id) const override { return id == kGCommandClassID || MPersistentObject::IsKindOf(id); }
  // Agreeing keys, and the same state or equal ones.
  bool SameContent(const MPersistentObject& other) const override;
  // A command has no children of its own.
  uint32_t NodeCount() const override { return 1; }
  std::unique_ptr<GIterator> NewChildIterator() override;

  virtual bool IsCommand() const { return true; }
  // Installs the state (a null state drops it) unless this class refuses
  // it; see AcceptsState.
  virtual void SetState(GState* state);
  // The same from a reference; an object that is not a state is refused.
  // The reference itself is left as it was.
  virtual void SetStateRef(GObjectRef& state);
  // Hands the state to the caller and leaves the command without one. The
  // command's reference is given up without deleting the object, so the
  // caller owns it when the command held the last reference. Null when
  // there is none.
  virtual GState* TakeState();
  // Writes a reference to the state (adding one).
  virtual void GetStateRef(GObjectRef& state) const;
  // Makes the command hold its own copy of everything it only borrows.
  virtual void OwnData() {}
  // Calls the one handler of the stage that this class names, with itself,
  // and answers its status: 0 handled, anything else an error code.
  virtual uint16_t DispatchTo(GPeripheral& peripheral) = 0;

  // Without adding a reference.
  GState* GetState() const;

  // Gives up the reference's hold on its object without deleting it: the
  // object, unowned when the reference was its last owner. Null when empty.
  // A stage uses it to hand back the command it held while working on it.
  static MPersistentObject* GiveUp(GObjectRef& ref);

  bool IsChanged() const { return changed_; }
  void SetChanged(bool changed) { changed_ = changed; }

 protected:
  explicit GCommand(int32_t key = 0) : MPersistentObject(key) {}
  // Holds the state with one added reference (the caller keeps its own).
  GCommand(GState* state, int32_t key);
  // Shares the other's state; not changed.
  GCommand(const GCommand& other);
  GCommand& operator=(const GCommand&) = delete;

  // Whether this class takes the state (null dropping the one held); it may
  // set the state's key on the way. Every state is taken here.
  virtual bool AcceptsState(GState* state);

  // What classes that require a keyed state use: the given state with the
  // key, or a new empty GState with it.
  static GState* StateWithKey(GState* state, int32_t key);
  // Their AcceptsState: any state, given the key; never null.
  static bool AcceptWithKey(GState* state, int32_t key);

  void Fields(GFieldArchive& archive) override;

 private:
  GObjectRef state_;
  bool changed_ = false;
};
