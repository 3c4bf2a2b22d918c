#include "pclxl/testing/test_borzan.h"

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<TestBorzan>, TestBorzan::kID, TestBorzan::kName);

}  // namespace
