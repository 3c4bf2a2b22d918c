#pragma once

#include <cstdint>

#include "graphics/commands/command.h"

// The report of a failure that travels down the rest of the pipeline in
// place of the command that failed: later stages neither apply its state
// nor dispatch it, and the driving side answers its code. It carries the
// nonzero status that a handler answered (or a stage's own code) and,
// counted, the object it concerns (normally the failed command).
//
// Stored part after the command's: version 1, the code (16-bit), a 32-bit
// flag (1 when a related object is present) and then the related object as
// an object reference.
class GErrorCommand : public GCommand {
 public:
  GErrorCommand() = default;
  // The related object gets one added reference.
  GErrorCommand(uint16_t errorCode, MPersistentObject* related, int32_t key);
  // Shares the related object.
  GErrorCommand(const GErrorCommand& other) = default;

  RWCollectable* NewInstance() const override { return new GErrorCommand; }
  RWCollectable* Clone() const override { return new GErrorCommand(*this); }
  RWClassID ClassID() const override { return kGErrorCommandClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGErrorCommandClassID || GCommand::IsKindOf(id); }
  // Equal codes, agreeing command parts and the same related object.
  bool SameContent(const MPersistentObject& other) const override;
  // HandleError of the stage.
  uint16_t DispatchTo(GPeripheral& peripheral) override;

  uint16_t GetErrorCode() const { return errorCode_; }
  void SetErrorCode(uint16_t code) { errorCode_ = code; }
  // Sets the code and answers the one before.
  uint16_t ExchangeErrorCode(uint16_t code);

  MPersistentObject* GetRelatedObject() const { return related_.Get(); }
  void SetRelatedObject(MPersistentObject* related) { related_ = related; }
  // Answers the object and forgets it, giving up the command's reference
  // without deleting the object.
  MPersistentObject* TakeRelatedObject() { return GiveUp(related_); }

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  uint16_t errorCode_ = 0;
  GObjectRef related_;
};
