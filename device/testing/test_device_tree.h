#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>

#include "device/driver/font_escape_check.h"
#include "device/media/media.h"
#include "device/testing/test_peripheral_composite.h"
#include "model/attributes/attribute_composite.h"
#include "model/attributes/configuration.h"
#include "model/testing/test_peripheral.h"

class GMediaPool;
class GPaperHandlingDevice;
class GValueAttribute;

// A stage that passes for a page-description generator; it answers the
// font-escape question with fontEscapeAnswer and keeps the text asked.
// Registered with the class factory, so that device descriptions can hold
// it.
class TestGenerator : public TestPeripheral, public GFontEscapeCheck {
 public:
  static constexpr RWClassID kID = 0x7E61;
  static constexpr const char* kName = "TestGenerator";

  using TestPeripheral::TestPeripheral;

  RWCollectable* NewInstance() const override { return new TestGenerator; }
  RWCollectable* Clone() const override { return new TestGenerator(*this); }
  RWClassID ClassID() const override { return kID; }
  bool IsKindOf(RWClassID id) const override { return id == kGPDLGeneratorClassID || TestPeripheral::IsKindOf(id); }

  int32_t IsFontEscapeUsable(const RWCString& selection) override {
    askedSelection = selection;
    return fontEscapeAnswer;
  }

  int32_t fontEscapeAnswer = 0;
  RWCString askedSelection;
};

// A device tree as the driver server loads it: the device root (key 353),
// which holds the pipeline head (key 76); each stage has a configuration of
// its own, the head's being the device description.
struct TestDeviceTree {
  std::unique_ptr<TestPeripheralComposite> root;
  TestPeripheralComposite* head;
  GConfiguration* rootConfiguration;
  GConfiguration* configuration;
};
TestDeviceTree MakeDeviceTree();

// Adds a value attribute under the key to parent and answers it.
GValueAttribute* AddValue(MPersistentObject& parent, int32_t key, int16_t value);
// Adds a composite of the key to parent and answers it.
GAttributeComposite* AddGroup(MPersistentObject& parent, int32_t key);

// A medium of the size id at the orientation and resolution, with its
// printable area at the origin.
std::unique_ptr<GMedia> MakeMedium(int16_t sizeId, GDotPair paperSize, GDotPair printableSize = {},
                                   GDotPair printableOrigin = {}, int32_t orientation = 0, uint16_t xResolution = 600,
                                   uint16_t yResolution = 600);
// Adds a media pool of the key to parent and answers it.
GMediaPool* AddMediaPool(MPersistentObject& parent, int32_t key);

// Adds an input device (kind 0) to the bin pool whose configuration 1 holds
// trays of these ids, in order; an optional device is not installed unless
// installed is set.
GPaperHandlingDevice* AddInputDevice(MPersistentObject& binPool, const char* name,
                                     std::initializer_list<int16_t> trayIds, int32_t optional = 0,
                                     int32_t installed = 1);
