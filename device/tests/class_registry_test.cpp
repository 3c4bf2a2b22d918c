#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "device/testing/device_classes.h"
#include "foundation/rw_factory.h"
#include "model/objects/persistent_object.h"

namespace {

const GModelClass* RowOf(RWClassID id) {
  for (const GModelClass& row : kModelClasses) {
    if (row.id == id) return &row;
  }
  return nullptr;
}

// Linked into the tests through the device library alone, every device
// class is known to the factory by its ID and name, and answers IsKindOf as
// its chain in the class table does.
TEST(DeviceClassRegistry, TheFactoryCreatesEveryDeviceClassWithItsTableChain) {
  for (RWClassID id : kDeviceClassIDs) {
    SCOPED_TRACE(id);
    const GModelClass* row = RowOf(id);
    ASSERT_NE(row, nullptr);
    EXPECT_TRUE(row->registered);
    const RWCString name = FactoryNameOfID(id);
    EXPECT_EQ(std::string(name.Data(), name.Length()), row->name);
    EXPECT_EQ(FactoryIDOfName(RWStringID(row->name)), id);
    const std::unique_ptr<RWCollectable> made(FactoryCreateByID(id));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->ClassID(), id);
    const auto* object = dynamic_cast<const MPersistentObject*>(made.get());
    ASSERT_NE(object, nullptr);
    for (const GModelClass& other : kModelClasses) {
      SCOPED_TRACE(other.name);
      EXPECT_EQ(object->IsKindOf(other.id), IsOnClassChain(id, other.id));
    }
  }
}

}  // namespace
