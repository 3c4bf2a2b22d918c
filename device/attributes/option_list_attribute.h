#pragma once

#include <cstdint>
#include <vector>

#include "model/attributes/attribute.h"

// The lists of the device description that say which 16-bit ids go with a
// selector: GOptMediaComposite, the paper ids a tray (the selector) takes,
// and GBookletComposite, the booklet sizes a paper size takes. Both keep a
// selector, an extra value that is carried but never compared, and an
// ordered list of entries; neither has child attributes, and SendTo hands
// nothing on and answers 1.
//
// Stored part after the attribute's: version 2, the selector and the extra
// value (16-bit each), the entry count (32-bit) and the entries (16-bit
// each). A restore reads selector and extra value whatever the version; a
// version above 2 keeps the present entries.
class GOptionListAttribute : public GAttribute {
 public:
  static constexpr uint16_t kNoEntry = 0xFFFF;

  static uint32_t FormatVersion() { return 2; }

  uint16_t GetFirstValue() const { return selector_; }
  uint16_t GetExtraValue() const { return extraValue_; }
  uint16_t GetEntryCount() const { return static_cast<uint16_t>(entries_.size()); }
  // The entry at the index; kNoEntry outside the list.
  uint16_t GetEntry(int16_t index) const;

  // Same class, key, selector and entries in the same order.
  bool SameContent(const MPersistentObject& other) const override;
  uint16_t SendTo(GPeripheral&) override { return 1; }

 protected:
  GOptionListAttribute() = default;
  GOptionListAttribute(uint16_t selector, uint16_t extraValue) : selector_(selector), extraValue_(extraValue) {}

  void Append(uint16_t entry) { entries_.push_back(entry); }
  void Fields(GFieldArchive& archive) override;

 private:
  uint16_t selector_ = 0;
  uint16_t extraValue_ = 0;
  std::vector<uint16_t> entries_;
};

// The paper ids that one tray takes (ids above 0x3FFF, the custom sizes,
// pass whenever the list has any entry).
class GOptMediaComposite : public GOptionListAttribute {
 public:
  GOptMediaComposite() = default;
  GOptMediaComposite(uint16_t selector, uint16_t extraValue) : GOptionListAttribute(selector, extraValue) {}

  void AddEntry(uint16_t entry) { Append(entry); }

  RWCollectable* NewInstance() const override { return new GOptMediaComposite; }
  RWCollectable* Clone() const override { return new GOptMediaComposite(*this); }
  RWClassID ClassID() const override { return kGOptMediaCompositeClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGOptMediaCompositeClassID || GAttribute::IsKindOf(id); }
};

// The booklet sizes that one paper size takes, added in pairs.
class GBookletComposite : public GOptionListAttribute {
 public:
  GBookletComposite() = default;
  GBookletComposite(uint16_t selector, uint16_t extraValue) : GOptionListAttribute(selector, extraValue) {}

  void AddEntryPair(uint16_t first, uint16_t second) {
    Append(first);
    Append(second);
  }

  RWCollectable* NewInstance() const override { return new GBookletComposite; }
  RWCollectable* Clone() const override { return new GBookletComposite(*this); }
  RWClassID ClassID() const override { return kGBookletCompositeClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGBookletCompositeClassID || GAttribute::IsKindOf(id); }
};
