// Reads arbitrary bytes as the compact settings format and writes back what
// was read. Input: one byte whose low bit chooses the encoding (0: 16-bit,
// 1: 32-bit), then the stream. A tree read must write again and read back.
// The first round trip may still change the tree (a default group moves
// behind what was stored, a key loses its high half), but from then on the
// codec's own bytes must come back unchanged.
// The seeds are the trees of the codec's tests, written in both encodings.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "device/settings/settings_codec.h"
#include "device/testing/settings_fixtures.h"
#include "foundation/testing/fuzz_seeds.h"

using namespace settings_fixtures;

namespace {

// Every leaf kind in the composite that takes any child.
std::unique_ptr<MPersistentObject> Leaves() {
  std::unique_ptr<MPersistentObject> settings = DocumentSettings();
  std::unique_ptr<MPersistentObject> leaves(Composite(1101));
  const std::unique_ptr<GIterator> children = settings->NewChildIterator();
  while (children->Advance()) {
    MPersistentObject* child = children->Current();
    if (child->AsComposite() == nullptr) leaves->AddChild(child->DeepCopy());
  }
  return leaves;
}

GFuzzSeeds Seeds() {
  std::unique_ptr<MPersistentObject> (*const trees[])() = {DocumentSettings, QuicksetPool, PhySetting, FontLists,
                                                           Associations,     Mappings,     Leaves};
  GFuzzSeeds seeds;
  for (const auto tree : trees) {
    for (char mode : {0, 1}) seeds.push_back(std::string(1, mode) + WriteCompact(*tree(), mode));
  }
  return seeds;
}

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static ConfiguredDriver driver(SettingsConfiguration());
  static GSettingsCodec codec;
  const int32_t mode = data[0] & 1;
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::string written;
  std::unique_ptr<MPersistentObject> tree = ReadCompact(codec, driver, bytes, mode);
  for (int round = 0; tree != nullptr && round < 3; ++round) {
    int32_t answer = 0;
    const std::string again = WriteCompact(*tree, mode, &answer);
    if (answer != 1 || (round == 2 && again != written)) std::abort();
    written = again;
    tree = ReadCompact(codec, driver, written, mode);
    if (tree == nullptr) std::abort();
  }
  return 0;
}
