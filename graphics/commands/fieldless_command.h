#pragma once

#include "graphics/commands/command.h"

// What the commands without fields of their own share: they compare by
// class and command part, and store only their version word after the
// command's part.
class GFieldlessCommand : public GCommand {
 public:
  bool SameContent(const MPersistentObject& other) const override;

 protected:
  using GCommand::GCommand;
  GFieldlessCommand(const GFieldlessCommand& other) = default;

  void Fields(GFieldArchive& archive) override;
};
