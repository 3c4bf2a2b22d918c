#pragma once

#include <cstdint>

#include "graphics/commands/fieldless_command.h"

// The abort of a job, sent through the pipeline when the job is cancelled
// or has failed.
class GJobAbort : public GFieldlessCommand {
 public:
  explicit GJobAbort(int32_t key = 0) : GFieldlessCommand(key) {}
  GJobAbort(const GJobAbort& other) = default;

  RWCollectable* NewInstance() const override { return new GJobAbort; }
  RWCollectable* Clone() const override { return new GJobAbort(*this); }
  RWClassID ClassID() const override { return kGJobAbortClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGJobAbortClassID || GCommand::IsKindOf(id); }
  // JobAbort of the stage.
  uint16_t DispatchTo(GPeripheral& peripheral) override;
};

// The answer of a stage that swallowed a command: it ends the command's way
// down the pipeline. It keeps no state: a state handed to it goes (deleted
// when nobody else owns it), and a reference handed to it is emptied.
class GNoCommand : public GFieldlessCommand {
 public:
  explicit GNoCommand(int32_t key = 0) : GFieldlessCommand(key) {}
  GNoCommand(const GNoCommand& other) = default;

  RWCollectable* NewInstance() const override { return new GNoCommand; }
  RWCollectable* Clone() const override { return new GNoCommand(*this); }
  RWClassID ClassID() const override { return kGNoCommandClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGNoCommandClassID || GCommand::IsKindOf(id); }
  void SetStateRef(GObjectRef& state) override { state = nullptr; }
  // Calls nothing; answers 0.
  uint16_t DispatchTo(GPeripheral&) override { return 0; }

 protected:
  bool AcceptsState(GState*) override { return false; }
};

// An empty placeholder command; unlike GNoCommand it keeps a state.
class GNullCommand : public GFieldlessCommand {
 public:
  explicit GNullCommand(int32_t key = 0) : GFieldlessCommand(key) {}
  GNullCommand(GState* state, int32_t key) : GFieldlessCommand(state, key) {}
  GNullCommand(const GNullCommand& other) = default;

  RWCollectable* NewInstance() const override { return new GNullCommand; }
  RWCollectable* Clone() const override { return new GNullCommand(*this); }
  RWClassID ClassID() const override { return kGNullCommandClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGNullCommandClassID || GCommand::IsKindOf(id); }
  // Calls nothing; answers 0.
  uint16_t DispatchTo(GPeripheral&) override { return 0; }
};
