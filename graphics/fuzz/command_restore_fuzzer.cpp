// Restores the command classes from arbitrary bytes in every store form,
// then sizes, saves and compares what came back. The seeds are one object
// of each class, with its fields set, in each form.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

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
#include "model/testing/class_restore_fuzzing.h"

namespace {

// A command that borrows its bytes must own them before the bytes it was
// restored from go away.
void OwnBorrowedData(MPersistentObject& object) { static_cast<GCommand&>(object).OwnData(); }

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

GFuzzSeeds Seeds() { return ClassRestoreSeeds(kCommandClassIDs, Samples()); }

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzClassRestore(kCommandClassIDs, data, size, OwnBorrowedData);
  return 0;
}
