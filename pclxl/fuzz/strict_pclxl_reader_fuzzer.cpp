// The strict reader takes whatever a faulty generator may produce: it must
// answer a fault, never crash or read out of range. Input: a byte of reading
// options, then the stream. The seeds are jobs the PCL XL writers wrote.
#include <span>
#include <string>
#include <vector>

#include "foundation/testing/fuzz_seeds.h"
#include "pclxl/testing/collecting_sink.h"
#include "pclxl/testing/strict_pclxl_reader.h"
#include "pclxl/xl_image_operators.h"
#include "pclxl/xl_path_operators.h"
#include "pclxl/xl_session_operators.h"
#include "pclxl/xl_values.h"

namespace {

// A one-page job with a path and an image row, as the writers write it.
std::string WrittenJob(bool withHeader) {
  SinkStream stream;
  if (withHeader) XLWriteStreamHeader(stream, 2, 0, "seed");
  XLBeginSession(stream, XLPair<uint16_t>{600, 600}, 0);
  XLOpenDataSource(stream, 0, 1);
  XLBeginPage(stream, 0, 2);
  XLNewPath(stream);
  XLRectanglePath(stream, XLBox<uint16_t>{10, 10, 200, 300});
  XLPaintPath(stream);
  const uint8_t row[] = {1, 2, 3, 4};
  XLWriteUByteArray(stream, row);
  XLEndPage(stream, uint16_t{1});
  XLCloseDataSource(stream);
  XLEndSession(stream);
  const std::vector<uint8_t>& bytes = stream.Output();
  return std::string(bytes.begin(), bytes.end());
}

GFuzzSeeds Seeds() { return {'\x07' + WrittenJob(true), '\x01' + WrittenJob(true), '\x02' + WrittenJob(false)}; }

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const strict_pclxl::ReadOptions options{
      .expectHeader = (data[0] & 1) != 0, .checkNesting = (data[0] & 2) != 0, .requireClosed = (data[0] & 4) != 0};
  const strict_pclxl::ReadResult result = strict_pclxl::ReadStrictly(std::span(data + 1, size - 1), options);
  strict_pclxl::Disassemble(result);
  return 0;
}
