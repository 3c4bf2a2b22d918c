#pragma once

#include <cstdint>

#include "model/attributes/peripheral.h"

// A pipeline stage for tests of the libraries below the commands, under an
// ID that no class of the system uses. The operations that take commands
// apart pass every command on unchanged; it emulates nothing.
class TestPeripheral : public GPeripheral {
 public:
  static constexpr RWClassID kID = 0x7E25;

  using GPeripheral::GPeripheral;

  RWCollectable* NewInstance() const override { return new TestPeripheral; }
  RWCollectable* Clone() const override { return new TestPeripheral(*this); }
  RWClassID ClassID() const override { return kID; }

  GCommand* ProcessCommand(GCommand* command) override { return command; }
  GCommand* HandleCommand(GCommand* command) override { return command; }
  GCommand* ProcessComposite(GCommand* composite) override { return composite; }
  uint32_t GetEmulatedFeatures() override { return 0; }
};
