#include "pclxl/testing/test_pdl_generator.h"

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<TestPDLGenerator>, TestPDLGenerator::kID, TestPDLGenerator::kName);

}  // namespace

uint16_t TestPDLGenerator::DeleteFont(const RWCString& fontName) {
  return Record("DeleteFont:" + std::string(fontName.Data(), fontName.Length()));
}
