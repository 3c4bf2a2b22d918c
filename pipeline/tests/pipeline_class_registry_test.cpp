#include <gtest/gtest.h>

#include "model/testing/registered_classes.h"
#include "pipeline/testing/pipeline_classes.h"

namespace {

// Linked into the tests through the pipeline library alone, every stage
// class of it is known to the factory and made as the class table says.
TEST(PipelineClassRegistry, TheFactoryCreatesEveryPipelineClassWithItsTableChain) {
  ExpectMadeAsTheClassTableSays(kPipelineClassIDs);
}

}  // namespace
