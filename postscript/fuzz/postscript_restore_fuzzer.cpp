// Restores the PostScript generator from arbitrary bytes in every store
// form, resets the job of what came back, then sizes, saves and compares
// it. The seeds are a generator fresh from its constructor and one with a
// current point and its own settings, in each form.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/objects/object_ref.h"
#include "model/testing/class_restore_fuzzing.h"
#include "pipeline/printer.h"
#include "postscript/generator/postscript.h"

namespace {

constexpr RWClassID kGeneratorClassIDs[] = {kGPostScriptClassID};

void ResetJob(MPersistentObject& object) { static_cast<GPeripheral&>(object).ResetJob(); }

GPostScript* NewGenerator() {
  return new GPostScript(RWCString("POSTSCRIPT"), nullptr, nullptr, GPrinter::kGeneratorKey, 64, 6, 2);
}

std::vector<GObjectRef> Samples() {
  std::vector<GObjectRef> samples;
  samples.emplace_back(NewGenerator());
  GPostScript* placed = NewGenerator();
  placed->SetCurrentPoint(100, -200);
  samples.emplace_back(placed);
  return samples;
}

GFuzzSeeds Seeds() { return ClassRestoreSeeds(kGeneratorClassIDs, Samples()); }

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzClassRestore(kGeneratorClassIDs, data, size, ResetJob);
  return 0;
}
