#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/attributes/attribute_composite.h"
#include "model/attributes/enum_attribute.h"
#include "model/attributes/peripheral.h"
#include "model/attributes/range_attribute.h"
#include "model/attributes/state.h"
#include "model/attributes/string_attribute.h"
#include "model/attributes/value_attribute.h"
#include "model/testing/test_peripheral.h"

// A pipeline stage that records which of its handlers each attribute
// reached, and answers the statuses it is given in turn (0 once they run
// out).
class RecordingPeripheral : public TestPeripheral {
 public:
  static constexpr RWClassID kID = 0x7E20;

  struct Call {
    std::string handler;
    const GAttribute* attribute;
  };

  RWCollectable* NewInstance() const override { return new RecordingPeripheral; }
  RWCollectable* Clone() const override { return new RecordingPeripheral(*this); }
  RWClassID ClassID() const override { return kID; }

  uint16_t ApplyValueAttribute(GValueAttribute& attribute) override { return Record("value", attribute); }
  uint16_t ApplyStringAttribute(GStringAttribute& attribute) override { return Record("string", attribute); }
  uint16_t ApplyEnumAttribute(GEnumAttribute& attribute) override { return Record("enum", attribute); }
  uint16_t ApplyRangeAttribute(GRangeAttribute& attribute) override { return Record("range", attribute); }

  std::vector<Call> calls;
  std::vector<uint16_t> statuses;

 private:
  uint16_t Record(const char* handler, const GAttribute& attribute);
};

// Attributes for trees of tests, with the changed flag given (0 unless
// said).
GValueAttribute* Value(int32_t key, int16_t value, int32_t changed = 0);
GStringAttribute* Text(int32_t key, const char* text, int32_t changed = 0);
GRangeAttribute* Range(int32_t key, int16_t value, int32_t changed = 0);
// Takes the children.
GState* State(int32_t key, std::initializer_list<GAttribute*> children, int32_t changed = 0);
GAttributeComposite* Composite(int32_t key, std::initializer_list<GAttribute*> children, int32_t changed = 0);

// A tree as text: v<key>=<value>, s<key>='<text>', r<key>=<value>,
// S<key>{...} for a state, C<key>{...} for a composite, E<key>[...] for an
// enumeration, each followed by * when its changed flag is set; children
// are separated by spaces.
std::string Describe(const MPersistentObject& node);
std::string DescribeChildren(const GAttributeComposite& composite);
