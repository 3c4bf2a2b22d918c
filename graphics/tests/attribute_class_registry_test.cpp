#include <gtest/gtest.h>

#include "foundation/rw_factory.h"
#include "graphics/testing/graphics_attribute_classes.h"
#include "model/testing/registered_classes.h"

namespace {

// Linked through the graphics library alone, every colour and attribute
// class is known to the factory and made as the class table says.
TEST(GraphicsAttributeClassRegistry, TheFactoryCreatesEveryClassWithItsTableChain) {
  ExpectMadeAsTheClassTableSays(kGraphicsAttributeClassIDs);
}

// The abstract colour and paint stay out of the factory.
TEST(GraphicsAttributeClassRegistry, AbstractBasesAreNotRegistered) {
  for (RWClassID id : {kGColorClassID, kGPaintClassID}) {
    SCOPED_TRACE(id);
    EXPECT_EQ(GetFactory()->CreateFunctionOfID(id), nullptr);
  }
}

}  // namespace
