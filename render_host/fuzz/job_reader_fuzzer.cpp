// Reads arbitrary bytes as a job file, page by page, to the end or the
// first error. The seeds are a short generated job and a job that uses
// every directive.
#include <sstream>
#include <string>

#include "foundation/testing/fuzz_seeds.h"
#include "render_host/job_generator.h"
#include "render_host/job_reader.h"

namespace {

GFuzzSeeds Seeds() {
  std::ostringstream generated;
  WriteGeneratedJob(generated, 3, "photo.jpg");
  return {
      generated.str(),
      "job-name \"every \\\"directive\\\" \\u{263A}\"\ncopies 2\nduplex short-edge\nresolution 300\nmedia Letter\n"
      "orientation landscape\nwatermark \"DRAFT\" face \"Serif\" size 50 style bold,italic pages first angle 15 "
      "tint magenta lightness 100\nfont-file \"f.ttf\" 10pt\npage media A4 orientation portrait\n"
      "text-colour #102030\ntext 1in 1in \"text\" # comment\npen #ff0000 0.5mm\nbrush none\n"
      "round-rectangle 1cm 1cm 2cm 2cm 2mm 2mm\npolyline 0 0 5 5 10 0\npath move 0 0 bezier 1 1 2 2 3 3 close\n"
      "image \"a.bmp\" 0 0 10 10\n",
  };
}

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  GJobReader reader(in, "fuzz.job");
  GJobPage page;
  while (reader.NextPage(page)) {
  }
  return 0;
}
