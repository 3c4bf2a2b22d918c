// Restores model object graphs from arbitrary bytes through the binary
// file and the binary, byte-swapping and text streams, then sizes and saves
// what came back. Input: one byte choosing the form, then the stored bytes.
// Every model class of the library can be met, and so can the collections
// of the class library. The seeds are trees of model classes as each form
// saves them.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/binary_file.h"
#include "foundation/binary_stream.h"
#include "foundation/endian_stream.h"
#include "foundation/fuzz/owned_members.h"
#include "foundation/persistence.h"
#include "foundation/rw/rwstore.h"
#include "foundation/testing/fuzz_seeds.h"
#include "foundation/text_stream.h"
#include "model/attributes/attribute_composite.h"
#include "model/attributes/configuration.h"
#include "model/attributes/enum_attribute.h"
#include "model/attributes/range_attribute.h"
#include "model/attributes/state.h"
#include "model/attributes/string_attribute.h"
#include "model/attributes/value_attribute.h"
#include "model/objects/binary_data.h"
#include "model/objects/persistent_composite.h"
#include "model/objects/persistent_object.h"
#include "model/objects/reference_reader.h"
#include "model/testing/round_trip.h"
#include "model/testing/test_peripheral.h"

namespace {

RWCollectable* RestoreFromFile(const std::string& bytes) {
  static const std::string path = "/tmp/qv_model_fuzz_" + std::to_string(getpid()) + ".bin";
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  GBinaryFile file(path.c_str(), "rb");
  RWCollectable* object = nullptr;
  return RestoreObjectFromFile(file, object);
}

RWCollectable* RestoreFromStream(uint8_t form, const std::string& bytes) {
  std::stringbuf channel(bytes, std::ios::in | std::ios::binary);
  std::unique_ptr<GVirtualInStream> stream;
  switch (form) {
    case 1:
      stream = std::make_unique<GBinaryInStream>(&channel);
      break;
    case 2:
      stream = std::make_unique<GEndianInStream>(&channel);
      break;
    default:
      stream = std::make_unique<GTextInStream>(&channel);
      break;
  }
  RWCollectable* object = nullptr;
  return RestoreObjectFromStream(*stream, object);
}

// What a restored model object must stand: its size, a save, and a
// comparison with itself.
void Exercise(const MPersistentObject& object) {
  const uint32_t size = ObjectStoreSize(&object);
  std::stringbuf channel(std::ios::out | std::ios::binary);
  {
    GBinaryOutStream stream(&channel);
    WriteObjectToStream(&object, stream);
  }
  if (size == 0 || !object.SameContent(object)) std::abort();
}

// Trees of model classes; they live until the process ends, as seeds are
// written only once.
GFuzzSeeds Seeds() {
  auto* attributes = new GAttributeComposite(10);
  attributes->AddChild(new GValueAttribute(7, 11));
  attributes->AddChild(new GStringAttribute("text", 12));
  attributes->AddChild(new GRangeAttribute(-5, 5, 1, 2, 13));
  auto* choices = new GEnumAttribute(14);
  choices->AddChild(new GValueAttribute(1, 15));
  attributes->AddChild(choices);
  auto* tree = new MPersistentComposite(1);
  tree->AddChild(attributes);
  tree->AddChild(attributes);  // shared
  uint8_t bytes[] = {1, 2, 3};
  tree->AddChild(new GBinaryData(bytes, sizeof bytes, 0, 16));
  // Two pipeline stages stored as a composite stores them: the parent
  // first, then the stage that names it.
  auto* parent = new TestPeripheral(20);
  auto* stage = new TestPeripheral(21);
  stage->SetName(RWCString("stage"));
  stage->SetInitialState(new GState);
  stage->GetInitialState()->AddChild(new GValueAttribute(3, 22));
  stage->ResetJob();
  stage->FindStateFor(GPeripheral::kGraphicStateKey)->AddChild(new GStringAttribute("pen", 23));
  stage->GetConfiguration()->AddChild(new GValueAttribute(4, 24));
  stage->AddParent(parent);
  auto* pipeline = new GAttributeComposite(19);
  pipeline->AddChild(parent);
  pipeline->AddChild(stage);
  const MPersistentObject* graphs[] = {tree, attributes, pipeline, nullptr};
  GFuzzSeeds seeds;
  for (const StoreForm form : kAllStoreForms) {
    for (const MPersistentObject* graph : graphs) {
      seeds.push_back(static_cast<char>(form) + SaveGraph(form, graph));
    }
  }
  return seeds;
}

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t form = data[0] % 4;
  const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);

  // The table outlives the restore, so that every object made is known:
  // model objects that no model object took are freed here, the rest by
  // their owners; other collectables go with the model restore.
  const GReadTableGuard table;
  std::vector<MPersistentObject*> unowned;
  {
    const GReferenceReader restore(nullptr);
    RWCollectable* root = form == 0 ? RestoreFromFile(bytes) : RestoreFromStream(form, bytes);
    if (const auto* object = dynamic_cast<const MPersistentObject*>(root)) Exercise(*object);
    std::set<RWCollectable*> others;
    for (uint32_t index = 1; index < table.Get().Count(); ++index) {
      RWCollectable* made = nullptr;
      if (!table.Get().ObjectAt(index, made)) continue;
      auto* model = dynamic_cast<MPersistentObject*>(made);
      if (model == nullptr) {
        others.insert(made);
      } else if (model->ReferenceCount() == -1 && !table.Get().Discards(model)) {
        unowned.push_back(model);
      }
    }
    LeaveOutOwnedMembers(others);
    for (RWCollectable* made : others) {
      if (!table.Get().Discards(made)) GReferenceReader::Discard(made);
    }
  }
  for (MPersistentObject* object : unowned) delete object;
  return 0;
}
