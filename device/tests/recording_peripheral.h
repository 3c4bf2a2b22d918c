#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "device/paper/tray.h"
#include "model/testing/test_peripheral.h"

// A pipeline stage that records which handler each device attribute
// reached, and answers a fixed status.
class RecordingPeripheral : public TestPeripheral {
 public:
  static constexpr uint16_t kStatus = 7;

  struct Call {
    std::string handler;
    const GAttribute* attribute;
  };

  uint16_t ApplyTray(GTray& tray) override { return Record("tray", tray); }

  std::vector<Call> calls;

 private:
  uint16_t Record(const char* handler, const GAttribute& attribute) {
    calls.push_back({handler, &attribute});
    return kStatus;
  }
};
