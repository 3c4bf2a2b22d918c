#pragma once

#include <cstdint>

#include "model/attributes/attribute.h"

class GEnumAttribute;
class GRangeAttribute;
class GStringAttribute;
class GValueAttribute;

// A stage of the render pipeline: page filter, composite, job-header writer
// or page-description generator. A stage is itself an attribute, and every
// attribute reaches it through GAttribute::SendTo, which calls the one
// operation of this interface for the attribute's kind. The base does
// nothing and answers 0 for every kind; a stage overrides the kinds it
// uses.
//
// The model holds the part of the interface that its attributes call; the
// render pipeline completes this same class with its processing, state,
// configuration and command operations and the handlers of the graphics
// attributes.
class GPeripheral : public GAttribute {
 public:
  GPeripheral() = default;
  explicit GPeripheral(int32_t key) : GAttribute(key) {}

  bool IsKindOf(RWClassID id) const override { return id == kGPeripheralClassID || GAttribute::IsKindOf(id); }

  // Attribute handlers, each answering a 16-bit status.
  virtual uint16_t ApplyValueAttribute(GValueAttribute& attribute);
  virtual uint16_t ApplyStringAttribute(GStringAttribute& attribute);
  // Also reached by classes derived from the enumeration, such as the media
  // pool.
  virtual uint16_t ApplyEnumAttribute(GEnumAttribute& attribute);
  virtual uint16_t ApplyRangeAttribute(GRangeAttribute& attribute);
};
