#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "foundation/rw_factory.h"
#include "graphics/testing/command_classes.h"
#include "model/objects/persistent_object.h"

namespace {

const GModelClass* RowOf(RWClassID id) {
  for (const GModelClass& row : kModelClasses) {
    if (row.id == id) return &row;
  }
  return nullptr;
}

// Linked into the tests through the graphics library alone, every command
// class is known to the factory by its ID and name, and answers IsKindOf as
// its chain in the class table does.
TEST(CommandClassRegistry, TheFactoryCreatesEveryCommandClassWithItsTableChain) {
  for (RWClassID id : kCommandClassIDs) {
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
