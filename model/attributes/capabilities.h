#pragma once

#include <cstdint>

#include "foundation/bit_vector.h"
#include "model/objects/persistent_object.h"

// A persistent set of numbered capability bits of a printer model, queried
// by bit number. Setting a bit beyond the set grows it; bits beyond the set
// read as clear and are never cleared.
//
// Stored part after the root's: version 1, the bit count (32-bit), then
// (count + 7) / 8 bytes of bits, bit i in byte i / 8 under 1 << (i % 8);
// no bytes for an empty set.
class GCapabilities : public MPersistentObject {
 public:
  explicit GCapabilities(int32_t key = 0) : MPersistentObject(key) {}
  // bitCount bits, all clear.
  GCapabilities(int32_t key, uint32_t bitCount) : MPersistentObject(key), bits_(bitCount, false) {}
  // The same with one bit set (the set grows to hold it).
  GCapabilities(int32_t key, uint32_t bitCount, uint32_t bit);
  // The same with the listed bits set.
  GCapabilities(int32_t key, uint32_t bitCount, const uint32_t* bits, uint16_t length);
  // Key, serial number and an independent copy of the bits.
  GCapabilities(const GCapabilities& other) = default;
  GCapabilities& operator=(const GCapabilities& other) = default;

  // True when the bit is within the set and set.
  bool TestBit(uint32_t bit) const { return bit < bits_.Count() && bits_.TestBit(bit); }
  // False when a listed bit lies beyond the set; otherwise whether every
  // listed bit is set (true for an empty list).
  bool TestAll(const uint32_t* bits, uint16_t length) const;
  // Whether some listed bit within the set is set.
  bool TestAny(const uint32_t* bits, uint16_t length) const;
  // Whether every listed bit lies within the set.
  bool AllInRange(const uint32_t* bits, uint16_t length) const;
  // Grow the set, new bits clear, so that the bits fit, then set them. Bits
  // from 0xFFFFFFF8 up do not fit a set and are ignored.
  void SetBit(uint32_t bit);
  void SetBits(const uint32_t* bits, uint16_t length);
  // Clear the listed bits that lie within the set; others are ignored.
  void ClearBit(uint32_t bit);
  void ClearBits(const uint32_t* bits, uint16_t length);
  uint32_t BitCount() const { return bits_.Count(); }
  uint32_t CountSet() const { return bits_.CountSet(); }

  RWCollectable* NewInstance() const override { return new GCapabilities; }
  RWCollectable* Clone() const override { return new GCapabilities(*this); }
  RWClassID ClassID() const override { return kGCapabilitiesClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGCapabilitiesClassID || MPersistentObject::IsKindOf(id); }
  // Same class and key, same bit count and bits.
  bool SameContent(const MPersistentObject& other) const override;

 protected:
  // A stored empty set leaves the present bits as they are.
  void Fields(GFieldArchive& archive) override;

 private:
  void GrowToHold(uint32_t bit);

  GBitVector bits_;
};
