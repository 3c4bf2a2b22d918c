#pragma once

#include <cstdint>

#include "graphics/commands/fieldless_command.h"

// The commands that frame a page. They carry the page settings in a page
// state (always a GState with key 256: made empty when none is given; a
// state handed over takes that key; a null state is refused).
//
// Stored part after the command's: version 1, no fields; each concrete
// class adds its own version word alone. Compared by class and command
// part.
class GPageCommand : public GFieldlessCommand {
 public:
  static constexpr int32_t kStateKey = 256;

  bool IsKindOf(RWClassID id) const override { return id == kGPageCommandClassID || GCommand::IsKindOf(id); }

 protected:
  explicit GPageCommand(int32_t key = 0);
  GPageCommand(GState* state, int32_t key);
  GPageCommand(const GPageCommand& other) = default;

  bool AcceptsState(GState* state) override;
};

// The start of a page; the graphics device fills its state with the page
// settings.
class GPageStart : public GPageCommand {
 public:
  GPageStart() = default;
  explicit GPageStart(int32_t key) : GPageCommand(key) {}
  GPageStart(GState* state, int32_t key) : GPageCommand(state, key) {}
  GPageStart(const GPageStart& other) = default;

  RWCollectable* NewInstance() const override { return new GPageStart; }
  RWCollectable* Clone() const override { return new GPageStart(*this); }
  RWClassID ClassID() const override { return kGPageStartClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGPageStartClassID || GPageCommand::IsKindOf(id); }
  // PageStart of the stage.
  uint16_t DispatchTo(GPeripheral& peripheral) override;

 protected:
  void Fields(GFieldArchive& archive) override;
};

// The end of a page.
class GPageEnd : public GPageCommand {
 public:
  GPageEnd() = default;
  explicit GPageEnd(int32_t key) : GPageCommand(key) {}
  GPageEnd(GState* state, int32_t key) : GPageCommand(state, key) {}
  GPageEnd(const GPageEnd& other) = default;

  RWCollectable* NewInstance() const override { return new GPageEnd; }
  RWCollectable* Clone() const override { return new GPageEnd(*this); }
  RWClassID ClassID() const override { return kGPageEndClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGPageEndClassID || GPageCommand::IsKindOf(id); }
  // PageEnd of the stage.
  uint16_t DispatchTo(GPeripheral& peripheral) override;

 protected:
  void Fields(GFieldArchive& archive) override;
};
