#pragma once

#include <cstdint>
#include <type_traits>

#include "model/objects/persistent_object.h"

// A signed or unsigned 32-bit number as a model object. Numbers of one
// class order and compare equal by value alone; SameContent also wants
// equal keys.
//
// Stored contents after the base part: version 1, the value (32-bit).
template <typename Number>
class GPersistableNumber : public MPersistentObject {
  static_assert(std::is_same_v<Number, int32_t> || std::is_same_v<Number, uint32_t>);

 public:
  GPersistableNumber() = default;
  explicit GPersistableNumber(Number value) : value_(value) {}
  // A new base part (key 0, a new serial number) with the source's value.
  GPersistableNumber(const GPersistableNumber& other) : MPersistentObject(), value_(other.value_) {}
  GPersistableNumber& operator=(const GPersistableNumber& other) = delete;

  Number Value() const { return value_; }

  // By value against a number of the same class, signed or unsigned as
  // the class is; by address otherwise.
  int32_t Compare(const RWCollectable* other) const override {
    const auto* number = SameClass(other);
    if (number == nullptr) return MPersistentObject::Compare(other);
    if (value_ == number->value_) return 0;
    return value_ > number->value_ ? 1 : -1;
  }
  // Same class and value; keys do not count.
  bool Equals(const RWCollectable* other) const override {
    const auto* number = SameClass(other);
    return number != nullptr && number->value_ == value_;
  }
  bool SameContent(const MPersistentObject& other) const override {
    const auto* number = SameClassAndKey<GPersistableNumber>(other);
    return number != nullptr && number->value_ == value_;
  }

 protected:
  void Fields(GFieldArchive& archive) override {
    MPersistentObject::Fields(archive);
    if (!archive.Version(FormatVersion())) return;
    if constexpr (std::is_signed_v<Number>) {
      archive.Int32(value_);
    } else {
      archive.UInt32(value_);
    }
  }

 private:
  const GPersistableNumber* SameClass(const RWCollectable* other) const {
    if (other == nullptr || other->ClassID() != ClassID()) return nullptr;
    return dynamic_cast<const GPersistableNumber*>(other);
  }

  Number value_ = 0;
};

class GPersistableLong : public GPersistableNumber<int32_t> {
 public:
  using GPersistableNumber::GPersistableNumber;

  RWCollectable* NewInstance() const override { return new GPersistableLong; }
  RWCollectable* Clone() const override { return new GPersistableLong(*this); }
  RWClassID ClassID() const override { return kGPersistableLongClassID; }
};

class GPersistableULong : public GPersistableNumber<uint32_t> {
 public:
  using GPersistableNumber::GPersistableNumber;

  RWCollectable* NewInstance() const override { return new GPersistableULong; }
  RWCollectable* Clone() const override { return new GPersistableULong(*this); }
  RWClassID ClassID() const override { return kGPersistableULongClassID; }
};

extern template class GPersistableNumber<int32_t>;
extern template class GPersistableNumber<uint32_t>;
