#pragma once

#include <cstdint>

#include "device/paper/sheet_container.h"

// An output bin of a paper-handling device of kind 1. Beside the shared
// fields it keeps an output order (the manual-duplex filter tells 1 from
// any other value) and a last value that is only carried. No stage of the
// pipeline takes a bin: SendTo hands nothing on and answers 1.
//
// Stored part: the shared fields up to the level, then the output order
// and the last value (32-bit each), then the display string (version 2).
class GBin : public GSheetContainer {
 public:
  GBin() = default;
  GBin(const RWCString& name, int16_t id, int32_t key) : GSheetContainer(name, id, 0, 0, -1, -1, key) {}
  GBin(const RWCString& name, int16_t id, int32_t firstValue, int32_t secondValue, int32_t capacity, int32_t level,
       int32_t outputOrder, int32_t lastValue, int32_t key)
      : GSheetContainer(name, id, firstValue, secondValue, capacity, level, key),
        outputOrder_(outputOrder),
        lastValue_(lastValue) {}
  GBin(int16_t resourceId, const RWCString& name, int16_t id, int32_t firstValue, int32_t secondValue, int32_t capacity,
       int32_t level, int32_t outputOrder, int32_t lastValue, const char* defaultText, const char* moduleName,
       int32_t key);

  int32_t GetOutputOrder() const { return outputOrder_; }
  void SetOutputOrder(int32_t order) { outputOrder_ = order; }
  int32_t GetLastValue() const { return lastValue_; }
  void SetLastValue(int32_t value) { lastValue_ = value; }

  RWCollectable* NewInstance() const override { return new GBin; }
  RWCollectable* Clone() const override { return new GBin(*this); }
  RWClassID ClassID() const override { return kGBinClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGBinClassID || GAttribute::IsKindOf(id); }
  // Same class and key and every field equal.
  bool SameContent(const MPersistentObject& other) const override;
  uint16_t SendTo(GPeripheral&) override { return 1; }

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  int32_t outputOrder_ = 0;
  int32_t lastValue_ = 0;
};
