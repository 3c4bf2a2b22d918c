// Restores the PCL 5e generator from arbitrary bytes in every store form,
// resets the job of what came back, then sizes, saves and compares it. The
// seed is a generator as a printer holds it, with the printer's
// configuration.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/objects/object_ref.h"
#include "model/testing/class_restore_fuzzing.h"
#include "pcl5e/pcl5e.h"
#include "pcl5e/testing/pcl5e_job.h"

namespace {

constexpr RWClassID kPcl5eClassIDs[] = {kGPcl5eClassID};

// A job reset of a restored generator rebuilds its job state.
void ResetJob(MPersistentObject& object) { static_cast<GPeripheral&>(object).ResetJob(); }

std::vector<GObjectRef> Samples() {
  std::vector<GObjectRef> samples;
  samples.emplace_back(pcl5_job::NewGenerator());
  samples.emplace_back(pcl5_job::NewGenerator(nullptr));
  return samples;
}

GFuzzSeeds Seeds() { return ClassRestoreSeeds(kPcl5eClassIDs, Samples()); }

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzClassRestore(kPcl5eClassIDs, data, size, ResetJob);
  return 0;
}
