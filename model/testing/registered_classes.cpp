#include "model/testing/registered_classes.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "foundation/rw_factory.h"
#include "model/objects/class_ids.h"
#include "model/objects/persistent_object.h"

namespace {

const GModelClass* RowOf(RWClassID id) {
  for (const GModelClass& row : kModelClasses) {
    if (row.id == id) return &row;
  }
  return nullptr;
}

}  // namespace

void ExpectMadeAsTheClassTableSays(std::span<const RWClassID> ids) {
  for (RWClassID id : ids) {
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
