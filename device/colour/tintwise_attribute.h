#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "model/attributes/attribute.h"

// The setting bytes of a colour-control attribute. The first Stored bytes
// are the ones a class stores, compares and copies, in stored order; the
// bytes after them (index 3 of the rows of the extensions) are reached only
// through the accessors. Every byte is 0 until something sets it.
template <size_t Size, size_t Stored>
class GSettingBytes {
 public:
  // Where a setting is: a position among the bytes, or one of these.
  static constexpr int32_t kOutOfRange = -2;
  static constexpr int32_t kNoByte = -1;

  GSettingBytes() = default;
  explicit GSettingBytes(const std::array<uint8_t, Stored>& stored) { CopyStored(stored.data()); }
  // The stored bytes alone.
  GSettingBytes(const GSettingBytes& other) { CopyStored(other.bytes_.data()); }
  GSettingBytes& operator=(const GSettingBytes& other) {
    CopyStored(other.bytes_.data());
    return *this;
  }

  // False outside the ranges; a place without a byte is accepted and reads
  // or writes nothing.
  bool Read(int32_t slot, uint8_t& byte) const {
    if (slot == kOutOfRange) return false;
    if (slot != kNoByte) byte = bytes_[static_cast<size_t>(slot)];
    return true;
  }
  bool Write(int32_t slot, uint8_t byte) {
    if (slot == kOutOfRange) return false;
    if (slot != kNoByte) bytes_[static_cast<size_t>(slot)] = byte;
    return true;
  }

  bool SameStored(const GSettingBytes& other) const {
    for (size_t i = 0; i < Stored; ++i) {
      if (bytes_[i] != other.bytes_[i]) return false;
    }
    return true;
  }

  // Each stored byte as a 16-bit word.
  void Fields(GFieldArchive& archive) {
    for (size_t i = 0; i < Stored; ++i) {
      uint16_t word = bytes_[i];
      if (!archive.UInt16(word)) return;
      bytes_[i] = static_cast<uint8_t>(word);
    }
  }

 private:
  void CopyStored(const uint8_t* stored) {
    for (size_t i = 0; i < Stored; ++i) bytes_[i] = stored[i];
  }

  std::array<uint8_t, Size> bytes_{};
};

// The colour-control settings of a job: small matrices of bytes under key
// 295 of the settings, which the colour-control filter and the generators
// read through the accessors of colour_settings.h. SendTo hands nothing on
// and answers 0 in all three classes.
//
// GTintwiseAttribute holds rows 0 and 1 of three bytes each. Stored part
// after the attribute's: version 1, then r0[0], r1[0], r0[1], r1[1], r0[2],
// r1[2], each byte as a 16-bit word.
class GTintwiseAttribute : public GAttribute {
 public:
  // The key under which the settings hold the colour-control attribute.
  static constexpr int32_t kSettingsKey = 295;

  // Every byte 0, until a restore sets them.
  GTintwiseAttribute() = default;
  // Row 0 is 15, 21, 31 (16, 22, 32 under key 227), row 1 is 40, 50, 62.
  explicit GTintwiseAttribute(int32_t key) : GAttribute(key), rows_(DefaultRows(key)) {}
  // The bytes in stored order: rows 0 and 1 of index 0, of 1, of 2.
  GTintwiseAttribute(int32_t key, uint8_t r00, uint8_t r10, uint8_t r01, uint8_t r11, uint8_t r02, uint8_t r12)
      : GAttribute(key), rows_({r00, r10, r01, r11, r02, r12}) {}

  // One byte of row 0 or row 1 at index 0 to 2. Row 2 is accepted and
  // reads or writes nothing. False, touching nothing, outside those ranges.
  virtual bool GetSettingByte(int32_t index, int32_t row, uint8_t& byte) const;
  virtual bool SetSettingByte(int32_t index, int32_t row, uint8_t byte);

  // For the user interface's change tracking: the same class and the same
  // compared bytes, keys aside; and the copy of those bytes from an
  // attribute of the same class (from another class nothing is copied).
  virtual bool SameSettings(const GTintwiseAttribute& other) const;
  virtual void CopySettings(const GTintwiseAttribute& other);

  RWCollectable* NewInstance() const override { return new GTintwiseAttribute; }
  RWCollectable* Clone() const override { return new GTintwiseAttribute(*this); }
  RWClassID ClassID() const override { return kGTintwiseAttributeClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGTintwiseAttributeClassID || GAttribute::IsKindOf(id); }
  // Same class and key and the same compared bytes.
  bool SameContent(const MPersistentObject& other) const override;
  uint16_t SendTo(GPeripheral&) override { return 0; }

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  using Rows = GSettingBytes<6, 6>;
  static std::array<uint8_t, 6> DefaultRows(int32_t key);
  static int32_t Slot(int32_t index, int32_t row);

  Rows rows_;
};

// What the two extensions share: their own setting bytes, read and written
// through GetSetting and SetSetting at the place Derived::Slot gives an
// index and a kind, compared, copied and stored in place of the base rows
// (which they keep but neither compare nor store).
template <typename Derived, size_t Size, size_t Stored>
class GTintwiseExtension : public GTintwiseAttribute {
 public:
  using Settings = GSettingBytes<Size, Stored>;

  bool GetSetting(int32_t index, int32_t kind, uint8_t& byte) const {
    return settings_.Read(Derived::Slot(index, kind), byte);
  }
  bool SetSetting(int32_t index, int32_t kind, uint8_t byte) {
    return settings_.Write(Derived::Slot(index, kind), byte);
  }

  bool SameSettings(const GTintwiseAttribute& other) const override {
    const auto* same = other.ClassID() == ClassID() ? dynamic_cast<const GTintwiseExtension*>(&other) : nullptr;
    return same != nullptr && same->settings_.SameStored(settings_);
  }
  void CopySettings(const GTintwiseAttribute& other) override {
    const auto* same = other.ClassID() == ClassID() ? dynamic_cast<const GTintwiseExtension*>(&other) : nullptr;
    if (same != nullptr) settings_ = same->settings_;
  }

  RWCollectable* NewInstance() const override { return new Derived; }
  RWCollectable* Clone() const override { return new Derived(static_cast<const Derived&>(*this)); }
  // Its own class ID, 753 and 751; not the base's 792.
  bool IsKindOf(RWClassID id) const override { return id == ClassID() || GAttribute::IsKindOf(id); }
  // Same class and key and the same stored bytes.
  bool SameContent(const MPersistentObject& other) const override {
    const auto* extension = SameClassAndKey<GTintwiseExtension>(other);
    return extension != nullptr && extension->settings_.SameStored(settings_);
  }

 protected:
  GTintwiseExtension() = default;
  GTintwiseExtension(int32_t key, const std::array<uint8_t, Stored>& stored)
      : GTintwiseAttribute(key), settings_(stored) {}

  void Fields(GFieldArchive& archive) override {
    GAttribute::Fields(archive);
    if (archive.Version(FormatVersion())) settings_.Fields(archive);
  }

 private:
  Settings settings_;
};

// Rows X0 and X1 of four bytes and the bytes E1 and E2.
//
// Stored part after the attribute's: version 1, then X0[0], X1[0], X0[1],
// X1[1], X0[2], X1[2], E1, E2 as 16-bit words.
class GTintwiseEnhancedAttribute : public GTintwiseExtension<GTintwiseEnhancedAttribute, 10, 8> {
 public:
  GTintwiseEnhancedAttribute() = default;
  // Base rows as GTintwiseAttribute(key); X0 = 70, 80, 91, X1 = 41, 51, 61,
  // E1 = 95, E2 = 98.
  explicit GTintwiseEnhancedAttribute(int32_t key);
  // The bytes in stored order.
  GTintwiseEnhancedAttribute(int32_t key, uint8_t x00, uint8_t x10, uint8_t x01, uint8_t x11, uint8_t x02, uint8_t x12,
                             uint8_t e1, uint8_t e2)
      : GTintwiseExtension(key, {x00, x10, x01, x11, x02, x12, e1, e2}) {}

  RWClassID ClassID() const override { return kGTintwiseEnhancedAttributeClassID; }

  // Index 0 to 3 and kind 0 to 4: kind 0 is X0[index], 1 X1[index], 2 E1
  // and 3 E2 (whatever the index); kind 4 is accepted and touches nothing.
  // The place of that byte: the eight stored bytes, then X0[3] and X1[3].
  static int32_t Slot(int32_t index, int32_t kind);
};

// Rows X0, X1 and X2 of four bytes and the byte V.
//
// Stored part after the attribute's: version 1, then X0[0], X1[0], X2[0],
// X0[1], X1[1], X2[1], X0[2], X1[2], X2[2], V as 16-bit words.
class GTintwiseEnhancedAttributeVer2 : public GTintwiseExtension<GTintwiseEnhancedAttributeVer2, 13, 10> {
 public:
  GTintwiseEnhancedAttributeVer2() = default;
  // Base rows as GTintwiseAttribute(key); X0 = 70, 80, 91, X1 = 41, 51, 61,
  // X2 = 100, 103, 106, V = 95.
  explicit GTintwiseEnhancedAttributeVer2(int32_t key);
  // The bytes in stored order.
  GTintwiseEnhancedAttributeVer2(int32_t key, uint8_t x00, uint8_t x10, uint8_t x20, uint8_t x01, uint8_t x11,
                                 uint8_t x21, uint8_t x02, uint8_t x12, uint8_t x22, uint8_t v)
      : GTintwiseExtension(key, {x00, x10, x20, x01, x11, x21, x02, x12, x22, v}) {}

  RWClassID ClassID() const override { return kGTintwiseEnhancedAttributeVer2ClassID; }

  // Index 0 to 3 and kind 0 to 4: kind 0 is X0[index], 1 X1[index], 2 V
  // (whatever the index), 3 X2[index]; kind 4 is accepted and touches
  // nothing. The place of that byte: the ten stored bytes, then X0[3],
  // X1[3] and X2[3].
  static int32_t Slot(int32_t index, int32_t kind);
};
