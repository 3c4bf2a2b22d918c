#pragma once

#include <cstdint>

#include "model/objects/cstring_vector.h"
#include "model/objects/persistent_object.h"

// A version record: two version words (major number in the high 16 bits,
// minor number in the low 16 bits), a 16-bit value, two 32-bit values and a
// list of narrow texts.
//
// Stored contents after the base part: version 1, version word B, version
// word A (B first, the reverse of their order here), the 16-bit value, the
// two 32-bit values, the text count, each text.
class GPMDVersionInfo : public MPersistentObject {
 public:
  GPMDVersionInfo() = default;
  GPMDVersionInfo(uint32_t versionA, uint32_t versionB, uint16_t shortValue, int32_t key);
  // Key, serial number, every value and every text.
  GPMDVersionInfo(const GPMDVersionInfo& other) = default;
  GPMDVersionInfo& operator=(const GPMDVersionInfo& other);

  RWCollectable* NewInstance() const override { return new GPMDVersionInfo; }
  RWCollectable* Clone() const override { return new GPMDVersionInfo(*this); }
  RWClassID ClassID() const override { return kGPMDVersionInfoClassID; }
  // Every value equal and the same texts in the same order.
  bool SameContent(const MPersistentObject& other) const override;

  uint32_t VersionA() const { return versionA_; }
  uint32_t VersionB() const { return versionB_; }
  uint16_t ShortValue() const { return shortValue_; }
  uint32_t FirstValue() const { return firstValue_; }
  uint32_t SecondValue() const { return secondValue_; }
  void SetFirstValue(uint32_t value) { firstValue_ = value; }
  void SetSecondValue(uint32_t value) { secondValue_ = value; }
  GCStringVector& Texts() { return texts_; }
  const GCStringVector& Texts() const { return texts_; }

  // Version word B: the minor number goes up by one unless it is 0xFFFF;
  // answers the old minor number.
  uint16_t NextMinorVersion();
  // Version word B: the major number goes up by one and the minor number
  // becomes 0, unless the major number is 0xFFFF; answers the old major
  // number.
  uint16_t NextMajorVersion();
  // The same for version word A.
  uint16_t NextMinorVersionA();
  uint16_t NextMajorVersionA();

 protected:
  // The stored text count is checked against the input left; reading
  // stops at the first text that fails.
  void Fields(GFieldArchive& archive) override;

 private:
  uint32_t versionA_ = 0;
  uint32_t versionB_ = 0;
  uint16_t shortValue_ = 1;
  uint32_t firstValue_ = 0;
  uint32_t secondValue_ = 0;
  GCStringVector texts_;
};
