// Restores the stage classes of the pipeline from arbitrary bytes in every
// store form, resets the job of what came back, then sizes, saves and
// compares it. The seeds are a composite holding a page filter and a
// printer, with children that list them as parents, and the page filters
// alone, in each form.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/objects/object_ref.h"
#include "model/testing/class_restore_fuzzing.h"
#include "model/testing/test_peripheral.h"
#include "pipeline/filters/nup_filter.h"
#include "pipeline/filters/scale_page_filter.h"
#include "pipeline/filters/symetrical_duplex_filter.h"
#include "pipeline/filters/watermark_filter.h"
#include "pipeline/printer.h"
#include "pipeline/testing/pipeline_classes.h"

namespace {

// A job reset of a restored stage walks its children and their parents.
void ResetJob(MPersistentObject& object) { static_cast<GPeripheral&>(object).ResetJob(); }

std::vector<GObjectRef> Samples() {
  std::vector<GObjectRef> samples;
  auto* composite = new GPeripheralComposite(RWCString("filters"), nullptr, nullptr, 76, 64, 6, 2);
  auto* inner = new GPeripheralComposite(RWCString("inner"), nullptr, nullptr, 5, 64, 6, 2);
  inner->AddChild(new TestPeripheral(6));
  composite->AddChild(new TestPeripheral(4));
  composite->AddChild(inner);
  samples.emplace_back(composite);
  auto* printer = new GPrinter(RWCString("printer"), nullptr, nullptr, 76);
  printer->AddChild(new TestPeripheral(GPrinter::kPJLKey));
  printer->AddChild(new TestPeripheral(GPrinter::kGeneratorKey));
  samples.emplace_back(printer);
  auto* scaling = new GScalePageFilter(RWCString("scaling"), nullptr, nullptr, 7);
  composite->AddChild(scaling);
  samples.emplace_back(new GSymetricalDuplexFilter(RWCString("duplex"), nullptr, nullptr, 8));
  samples.emplace_back(new GNupFilter(RWCString("n-up"), nullptr, nullptr, 9, nullptr));
  samples.emplace_back(new GWatermarkFilter(RWCString("watermark"), nullptr, nullptr, 10));
  return samples;
}

GFuzzSeeds Seeds() { return ClassRestoreSeeds(kPipelineClassIDs, Samples()); }

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzClassRestore(kPipelineClassIDs, data, size, ResetJob);
  return 0;
}
