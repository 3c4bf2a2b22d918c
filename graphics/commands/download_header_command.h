#pragma once

#include <cstdint>

#include "graphics/commands/command.h"

// A request to download a header to the printer. The header selector is
// kept and stored unchanged; the generators choose the header from it.
//
// Stored part after the command's: version 1, the selector (32-bit).
class GDownloadHeaderCommand : public GCommand {
 public:
  GDownloadHeaderCommand() = default;
  GDownloadHeaderCommand(int32_t selector, int32_t key) : GCommand(key), selector_(selector) {}
  GDownloadHeaderCommand(const GDownloadHeaderCommand& other) = default;

  RWCollectable* NewInstance() const override { return new GDownloadHeaderCommand; }
  RWCollectable* Clone() const override { return new GDownloadHeaderCommand(*this); }
  RWClassID ClassID() const override { return kGDownloadHeaderCommandClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGDownloadHeaderCommandClassID || GCommand::IsKindOf(id); }
  // Equal selectors and agreeing command parts.
  bool SameContent(const MPersistentObject& other) const override;
  // DownloadHeader of the stage.
  uint16_t DispatchTo(GPeripheral& peripheral) override;

  int32_t GetData() const { return selector_; }

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  int32_t selector_ = 0;
};
