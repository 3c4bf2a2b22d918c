#include <gtest/gtest.h>

#include "graphics/testing/command_classes.h"
#include "model/testing/registered_classes.h"

namespace {

// Linked into the tests through the graphics library alone, every command
// class is known to the factory and made as the class table says.
TEST(CommandClassRegistry, TheFactoryCreatesEveryCommandClassWithItsTableChain) {
  ExpectMadeAsTheClassTableSays(kCommandClassIDs);
}

}  // namespace
