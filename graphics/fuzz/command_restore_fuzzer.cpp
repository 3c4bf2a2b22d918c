// Restores command classes in place from arbitrary bytes through the binary
// file and the binary, byte-swapping and text streams, then sizes, saves
// and compares what came back. Input: one byte choosing the form, one
// choosing the class among the command classes, then the stored contents.
// The seeds are the contents of one object of each class in each form.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/binary_file.h"
#include "foundation/binary_stream.h"
#include "foundation/fuzz/fuzz_readers.h"
#include "foundation/persistence.h"
#include "foundation/rw_factory.h"
#include "foundation/testing/fuzz_seeds.h"
#include "graphics/commands/command_composite.h"
#include "graphics/commands/document_command.h"
#include "graphics/commands/download_header_command.h"
#include "graphics/commands/error_command.h"
#include "graphics/commands/job_commands.h"
#include "graphics/commands/page_command.h"
#include "graphics/commands/pass_through_command.h"
#include "graphics/testing/command_classes.h"
#include "model/attributes/state.h"
#include "model/attributes/value_attribute.h"
#include "model/objects/object_ref.h"

namespace {

// The binary file, then the three stream forms of the fuzz readers.
constexpr uint8_t kFile = 0;
constexpr uint8_t kFormCount = 4;

const std::string& ScratchPath() {
  static const std::string path = "/tmp/qv_command_fuzz_" + std::to_string(getpid()) + ".bin";
  return path;
}

void Restore(uint8_t form, const std::string& bytes, MPersistentObject& object) {
  if (form == kFile) {
    std::ofstream(ScratchPath(), std::ios::binary | std::ios::trunc) << bytes;
    GBinaryFile file(ScratchPath().c_str(), "rb");
    object.RestoreContentsFromFile(file);
    return;
  }
  std::stringbuf channel(bytes, std::ios::in | std::ios::binary);
  object.RestoreContentsFromStream(*MakeFuzzReader(form - 1, &channel));
}

std::string Save(uint8_t form, const MPersistentObject& object) {
  if (form != kFile) {
    return WrittenInFuzzForm(form - 1, [&object](GVirtualOutStream& out) { object.SaveContentsToStream(out); });
  }
  {
    GBinaryFile file(ScratchPath().c_str(), "wb");
    object.SaveContentsToFile(file);
  }
  std::ifstream in(ScratchPath(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What a restored command must stand: its size, a save as a graph, a
// comparison with itself and taking its own data.
void Exercise(MPersistentObject& object) {
  const uint32_t size = RWCollectable::ObjectStoreSize(&object);
  std::stringbuf channel(std::ios::out | std::ios::binary);
  {
    GBinaryOutStream stream(&channel);
    WriteObjectToStream(&object, stream);
  }
  static_cast<GCommand&>(object).OwnData();
  if (size == 0 || !object.SameContent(object)) std::abort();
}

uint8_t ClassIndex(RWClassID id) {
  uint8_t index = 0;
  while (kCommandClassIDs[index] != id) ++index;
  return index;
}

GState* Settings(int32_t key) {
  auto* state = new GState(key);
  state->AddChild(new GValueAttribute(2, 500));
  return state;
}

// One object of every command class, each with its fields set.
std::vector<GObjectRef> Samples() {
  static const uint8_t kBytes[] = {0x1B, 'E', '@'};
  std::vector<GObjectRef> samples;
  const RWWString document = RWWString::FromMultibyte("Report");
  const RWWString output = RWWString::FromMultibyte("LPT1:");
  samples.emplace_back(new GDocumentStart(document, "job", output, nullptr, Settings(0), 1));
  samples.emplace_back(new GDocumentEnd(document, output, Settings(0), 2));
  samples.emplace_back(new GPageStart(Settings(0), 3));
  samples.emplace_back(new GPageEnd(4));
  samples.emplace_back(new GJobAbort(5));
  samples.emplace_back(new GNoCommand(6));
  samples.emplace_back(new GNullCommand(Settings(9), 7));
  samples.emplace_back(new GErrorCommand(7, new GPageEnd(8), 0));
  auto* data = new GPassThroughCommand(kBytes, 3, 767, 0);
  data->MakeOwnCopy();
  samples.emplace_back(data);
  samples.emplace_back(new GDownloadHeaderCommand(19, 0));
  auto* list = new GCommandComposite(Settings(9), 10);
  list->AddChild(new GPageStart(11));
  list->AddChild(new GCommandComposite(12));
  list->AddChild(new GPassThroughCommand(*data));
  samples.emplace_back(list);
  return samples;
}

GFuzzSeeds Seeds() {
  GFuzzSeeds seeds;
  for (const GObjectRef& sample : Samples()) {
    for (uint8_t form = 0; form < kFormCount; ++form) {
      seeds.push_back(std::string{static_cast<char>(form), static_cast<char>(ClassIndex(sample->ClassID()))} +
                      Save(form, *sample));
    }
  }
  return seeds;
}

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const uint8_t form = data[0] % kFormCount;
  const RWClassID id = kCommandClassIDs[data[1] % std::size(kCommandClassIDs)];
  const std::string bytes(reinterpret_cast<const char*>(data + 2), size - 2);
  const GObjectRef object(dynamic_cast<MPersistentObject*>(FactoryCreateByID(id)));
  if (!object) std::abort();
  Restore(form, bytes, *object);
  Exercise(*object);
  return 0;
}
