#pragma once

#include <cstdint>

#include "foundation/rw_cstring.h"
#include "model/attributes/attribute.h"
#include "model/objects/display_string.h"

// What trays and bins share: a name, a 16-bit id, two carried values, the
// capacity and level in sheets (-1 unknown) and a display string.
//
// Stored part after the attribute's: version 2, the name, the id (16-bit),
// the first and second value, capacity and level (32-bit each); then the
// class's own fields, and last the display string as an object reference,
// which version 2 alone stores. A restore of a version above 2 stops after
// the version word.
class GSheetContainer : public GAttribute {
 public:
  static uint32_t FormatVersion() { return 2; }

  RWCString GetName() const { return name_; }
  void SetName(const RWCString& name) { name_ = name; }
  int16_t GetId() const { return id_; }
  int32_t GetFirstValue() const { return firstValue_; }
  void SetFirstValue(int32_t value) { firstValue_ = value; }
  int32_t GetSecondValue() const { return secondValue_; }
  void SetSecondValue(int32_t value) { secondValue_ = value; }
  int32_t GetCapacity() const { return capacity_; }
  void SetCapacity(int32_t capacity) { capacity_ = capacity; }
  int32_t GetLevel() const { return level_; }
  const GDisplayString& GetDisplayString() const { return displayString_; }
  void SetDisplayString(const GDisplayString& text) { displayString_ = text; }

  // In sheets (asPercentage false): a value below the capacity becomes the
  // level. As a percentage of a known positive capacity: 0 to 100, the
  // level becoming capacity × percentage / 100. False, the level
  // unchanged, for anything else.
  bool SetLevel(int32_t value, bool asPercentage);

 protected:
  GSheetContainer() = default;
  GSheetContainer(const RWCString& name, int16_t id, int32_t firstValue, int32_t secondValue, int32_t capacity,
                  int32_t level, int32_t key)
      : GAttribute(key),
        name_(name),
        id_(id),
        firstValue_(firstValue),
        secondValue_(secondValue),
        capacity_(capacity),
        level_(level) {}

  // Equal names, ids, values, capacities, levels and display strings.
  bool SameSheetFields(const GSheetContainer& other) const;
  // The attribute part, the version and the shared fields up to the level.
  void Fields(GFieldArchive& archive) override;
  // The display string, which only version 2 stores.
  void DisplayStringField(GFieldArchive& archive);

 private:
  RWCString name_;
  int16_t id_ = 0;
  int32_t firstValue_ = 0;
  int32_t secondValue_ = 0;
  int32_t capacity_ = -1;
  int32_t level_ = -1;
  GDisplayString displayString_;
};
