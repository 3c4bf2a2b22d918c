#include "foundation/tests/collectable_test_support.h"

#include "foundation/class_registrar.h"

namespace {

// Restores of collections in these tests make their members by class ID.
const GClassRegistrar registrar(CreateCollectable<TestValue>, TestValue::kClassID, "TestValue");

}  // namespace
