#include <gtest/gtest.h>

#include "device/testing/device_classes.h"
#include "model/testing/registered_classes.h"

namespace {

// Linked into the tests through the device library alone, every device
// class is known to the factory and made as the class table says.
TEST(DeviceClassRegistry, TheFactoryCreatesEveryDeviceClassWithItsTableChain) {
  ExpectMadeAsTheClassTableSays(kDeviceClassIDs);
}

}  // namespace
