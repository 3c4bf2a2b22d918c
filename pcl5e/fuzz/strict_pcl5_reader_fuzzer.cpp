// The strict reader takes whatever a faulty generator may produce: it must
// answer a fault, never crash or read out of range. The seeds are a job as
// the generator writes it, with GL/2, binary data and job-control lines.
#include <span>
#include <string>

#include "foundation/testing/fuzz_seeds.h"
#include "pcl5e/testing/strict_pcl5_reader.h"

namespace {

GFuzzSeeds Seeds() {
  const std::string page =
      "\033E\033&u600D\033*t600R\033&l0O\033&l7H\033&a0P\033&l2A\033&l0u0Z\033&l0E\033*p1x14Y\033*pR"
      "\033*c5880x7680Y\033*p0x100Y\033*c0T\033%BSC0,1.6934,0,-1.6934,2RO0IR0,100,0,100WUAC1,4SP1PW0TD1IW"
      "LA1,4PE=<G\xC2\xC2;LBlabel\003\033%0A\033*b4W\033\033\033\033\033(10U\033&l1X\f";
  return {page, "\033%-12345X@PJL JOB\r\n@PJL ENTER LANGUAGE=PCL\r\n" + page + "\033%-12345X"};
}

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const strict_pcl5::ReadResult result = strict_pcl5::ReadStrictly(std::span(data, size));
  strict_pcl5::Disassemble(result);
  return 0;
}
