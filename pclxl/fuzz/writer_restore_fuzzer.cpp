// Restores the two stages that write a job's bytes, the PJL job-header
// writer and the PCL XL generator, from arbitrary bytes in every store
// form, resets the job of what came back, then sizes, saves and compares
// it. The seeds are a writer with a collected medium, one with a child
// stage that lists it as a parent, and a generator with a current point, in
// each form.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "device/testing/test_device_tree.h"
#include "model/objects/object_ref.h"
#include "model/testing/class_restore_fuzzing.h"
#include "model/testing/test_peripheral.h"
#include "pclxl/borzan/borzan.h"
#include "pclxl/pjl/pjl.h"
#include "pipeline/printer.h"

namespace {

constexpr RWClassID kWriterClassIDs[] = {kGPJLClassID, kGBorzanClassID};

void ResetJob(MPersistentObject& object) { static_cast<GPeripheral&>(object).ResetJob(); }

std::vector<GObjectRef> Samples() {
  std::vector<GObjectRef> samples;
  auto* writer = new GPJL(RWCString("pjl"), nullptr, nullptr, GPrinter::kPJLKey);
  writer->ApplyMedia(*MakeMedium(9, {4960, 7016}));
  samples.emplace_back(writer);
  auto* withChild = new GPJL(RWCString("pjl"), nullptr, nullptr, GPrinter::kPJLKey);
  withChild->AddChild(new TestPeripheral(4));
  samples.emplace_back(withChild);
  auto* generator = new GBorzan(RWCString("PCLXL"), nullptr, nullptr, GPrinter::kGeneratorKey, 64, 6, 2);
  generator->SetCurrentPoint(100, 200);
  samples.emplace_back(generator);
  return samples;
}

GFuzzSeeds Seeds() { return ClassRestoreSeeds(kWriterClassIDs, Samples()); }

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzClassRestore(kWriterClassIDs, data, size, ResetJob);
  return 0;
}
