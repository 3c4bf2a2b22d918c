#pragma once

#include <cstdint>
#include <memory>

#include "graphics/commands/command.h"

// Raw bytes for the output, meant for one page-description generator: the
// target is the class ID of the generator that writes them (767 PCL XL, 768
// PostScript, 788 PCL 5e); the others pass them by. The command borrows the
// caller's bytes unless it owns a copy of them (MakeOwnCopy, or a restore).
//
// Stored part after the command's: version 1, the length (16-bit), the
// target (16-bit), then the bytes, one by one, when there are any.
class GPassThroughCommand : public GCommand {
 public:
  GPassThroughCommand() = default;
  // Borrows the bytes. Without bytes the length is 0.
  GPassThroughCommand(const uint8_t* data, uint16_t length, uint16_t target, int32_t key);
  // Borrows the same bytes as the other.
  GPassThroughCommand(const GPassThroughCommand& other);

  RWCollectable* NewInstance() const override { return new GPassThroughCommand; }
  RWCollectable* Clone() const override { return new GPassThroughCommand(*this); }
  RWClassID ClassID() const override { return kGPassThroughCommandClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGPassThroughCommandClassID || GCommand::IsKindOf(id); }
  // Agreeing command parts, equal lengths, targets and owned flags, and the
  // same bytes (the same place, or equal contents).
  bool SameContent(const MPersistentObject& other) const override;
  // PassThrough of the stage.
  uint16_t DispatchTo(GPeripheral& peripheral) override;
  void OwnData() override { MakeOwnCopy(); }

  const uint8_t* GetData() const { return data_; }
  uint16_t GetLength() const { return length_; }
  uint16_t GetValue2() const { return target_; }
  bool OwnsData() const { return owned_ != nullptr; }
  // Makes the command hold its own copy of the bytes; false, the command
  // still borrowing, when no memory is left.
  bool MakeOwnCopy();

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  const uint8_t* data_ = nullptr;
  uint16_t length_ = 0;
  uint16_t target_ = 0;
  // The bytes data_ points at while the command owns them.
  std::unique_ptr<uint8_t[]> owned_;
};
