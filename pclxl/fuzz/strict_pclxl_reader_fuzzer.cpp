// The strict reader takes whatever a faulty generator may produce: it must
// answer a fault, never crash or read out of range.
#include <span>

#include "pclxl/testing/strict_pclxl_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const strict_pclxl::ReadOptions options{
      .expectHeader = (data[0] & 1) != 0, .checkNesting = (data[0] & 2) != 0, .requireClosed = (data[0] & 4) != 0};
  const strict_pclxl::ReadResult result = strict_pclxl::ReadStrictly(std::span(data + 1, size - 1), options);
  strict_pclxl::Disassemble(result);
  return 0;
}
