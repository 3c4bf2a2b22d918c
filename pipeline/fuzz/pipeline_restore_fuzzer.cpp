// Restores the stage classes of the pipeline in place from arbitrary
// bytes, through the binary file and the binary, byte-swapping and text
// streams, then sizes, saves, compares and resets what came back. Input:
// one byte choosing the form, one choosing the class, then a stored graph
// whose outermost object is of that class. The seeds are a composite and a
// printer with children that list them as parents, in each form.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/binary_stream.h"
#include "foundation/persistence.h"
#include "foundation/rw_factory.h"
#include "foundation/testing/fuzz_seeds.h"
#include "foundation/testing/persistence_test_support.h"
#include "model/objects/object_ref.h"
#include "model/testing/test_peripheral.h"
#include "pipeline/printer.h"
#include "pipeline/testing/pipeline_classes.h"

namespace {

// What a restored stage must stand: its size, a save as a graph, a
// comparison with itself and a job reset, which walks its children and
// their parents.
void Exercise(MPersistentObject& object) {
  const uint32_t size = RWCollectable::ObjectStoreSize(&object);
  std::stringbuf channel(std::ios::out | std::ios::binary);
  {
    GBinaryOutStream stream(&channel);
    WriteObjectToStream(&object, stream);
  }
  if (size == 0 || !object.SameContent(object)) std::abort();
  static_cast<GPeripheral&>(object).ResetJob();
}

uint8_t ClassIndex(RWClassID id) {
  uint8_t index = 0;
  while (kPipelineClassIDs[index] != id) ++index;
  return index;
}

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
  return samples;
}

GFuzzSeeds Seeds() {
  GFuzzSeeds seeds;
  for (const GObjectRef& sample : Samples()) {
    for (uint8_t form = 0; form < std::size(kAllStoreForms); ++form) {
      seeds.push_back(std::string{static_cast<char>(form), static_cast<char>(ClassIndex(sample->ClassID()))} +
                      SaveGraph(kAllStoreForms[form], sample.Get()));
    }
  }
  return seeds;
}

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const StoreForm form = kAllStoreForms[data[0] % std::size(kAllStoreForms)];
  const RWClassID id = kPipelineClassIDs[data[1] % std::size(kPipelineClassIDs)];
  const std::string bytes(reinterpret_cast<const char*>(data + 2), size - 2);
  const GObjectRef object(dynamic_cast<MPersistentObject*>(FactoryCreateByID(id)));
  if (!object) std::abort();
  bool good = false;
  RestoreCollectableInPlace(form, bytes, object.Get(), good);
  Exercise(*object);
  return 0;
}
