// Built into a program of its own that refers to none of the registered
// classes, so that a registration the link leaves out is missed here.

#include <gtest/gtest.h>

#include <memory>

#include "foundation/rw_factory.h"

namespace {

TEST(ClassRegistration, TheFactoryMakesEveryRegisteredClassByIDAndByName) {
  struct Case {
    const char* name;
    RWClassID id;
  };
  const Case cases[] = {
      {"RWCollectable", 0x8007},
      {"RWCollectableAssociation", 0x8008},
      {"RWIdentitySet", 0x8025},
      {"RWSet", 0x802B},
      {"RWSlistCollectables", 0x8033},
      {"RWSlistCollectablesStack", 0x8036},
      {"RWHashTable", 0x805E},
      {"RWCollectableIDAssociation", 0x805F},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::unique_ptr<RWCollectable> byID(FactoryCreateByID(c.id));
    ASSERT_NE(byID, nullptr);
    EXPECT_EQ(byID->ClassID(), c.id);
    const std::unique_ptr<RWCollectable> byName(FactoryCreateByName(c.name));
    ASSERT_NE(byName, nullptr);
    EXPECT_EQ(byName->ClassID(), c.id);
    EXPECT_EQ(FactoryNameOfID(c.id), c.name);
  }
}

}  // namespace
