// Restores the PJL job-header writer from arbitrary bytes in every store
// form, resets the job of what came back, then sizes, saves and compares
// it. The seeds are a writer with a collected medium, alone and held by a
// printer, in each form.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "device/testing/test_device_tree.h"
#include "model/objects/object_ref.h"
#include "model/testing/class_restore_fuzzing.h"
#include "pclxl/pjl/pjl.h"
#include "pipeline/printer.h"

namespace {

constexpr RWClassID kWriterClassIDs[] = {kGPJLClassID};

void ResetJob(MPersistentObject& object) { static_cast<GPeripheral&>(object).ResetJob(); }

std::vector<GObjectRef> Samples() {
  std::vector<GObjectRef> samples;
  auto* writer = new GPJL(RWCString("pjl"), nullptr, nullptr, GPrinter::kPJLKey);
  writer->ApplyMedia(*MakeMedium(9, {4960, 7016}));
  samples.emplace_back(writer);
  auto* printer = new GPrinter(RWCString("printer"), nullptr, nullptr, 76);
  printer->AddWriter(*writer);
  samples.emplace_back(printer);
  return samples;
}

GFuzzSeeds Seeds() { return ClassRestoreSeeds(kWriterClassIDs, Samples()); }

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzClassRestore(kWriterClassIDs, data, size, ResetJob);
  return 0;
}
