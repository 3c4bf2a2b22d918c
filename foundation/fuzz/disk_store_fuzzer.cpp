// Opens a file made of the input as a file-space manager and disk B-tree and
// works on it, with an error handler that returns: a damaged file may fail
// operations but must never lead outside a buffer, loop without end or ask
// for unbounded memory. The seeds are files that the manager and the tree
// wrote, in each shape the first byte can ask for.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "foundation/disk_btree.h"
#include "foundation/file_space_manager.h"
#include "foundation/rw_cstring.h"
#include "foundation/testing/fuzz_seeds.h"

namespace {

void IgnoreEntry(const char*, int32_t, void*) {}

const std::string& ScratchPath() {
  static const std::string path = "/tmp/qv_disk_store_fuzz_" + std::to_string(getpid()) + ".bin";
  return path;
}

// The first bytes choose the work; the rest is the file.
constexpr size_t kScriptLength = 24;

// The tree the first script byte asks for.
std::unique_ptr<GDiskBTree> OpenTree(GFileSpaceManager& manager, uint8_t flags) {
  const int32_t style = (flags & 1) ? GDiskBTree::kRootOnlyStyle : GDiskBTree::kHeaderStyle;
  const uint32_t order = (flags & 2) ? 2 : 10;
  return std::make_unique<GDiskBTree>(manager, (flags >> 2) % 4, 0, 16, (flags & 16) != 0, -1, style, order, order);
}

void Work(GFileSpaceManager& manager, GDiskBTree& tree, const uint8_t* script) {
  RWCString found;
  int32_t value = 0;
  for (size_t i = 1; i < kScriptLength; ++i) {
    const std::string key = "k" + std::to_string(script[i] % 40);
    switch (script[i] / 40) {
      case 0:
        tree.Find(key.c_str(), found, value);
        break;
      case 1:
        tree.Insert(key.c_str(), script[i]);
        break;
      case 2:
        tree.Remove(key.c_str(), found, value);
        break;
      case 3:
        tree.UpdateValue(key.c_str(), i, value);
        break;
      case 4:
        manager.Deallocate(manager.Allocate(script[i] * 8));
        break;
      default:
        tree.ForEach(IgnoreEntry, nullptr);
        tree.Count();
        tree.Height();
        if (script[i] == 255) tree.Clear();
        break;
    }
  }
}

// A file holding keys, free extents in more than one free-list block and
// freed nodes, written by the code under test.
std::string WrittenFile(uint8_t flags) {
  const std::string& path = ScratchPath();
  std::remove(path.c_str());
  {
    GFileSpaceManager manager(path.c_str());
    const std::unique_ptr<GDiskBTree> tree = OpenTree(manager, flags);
    std::vector<int32_t> blocks;
    for (int32_t i = 0; i < 40; ++i) {
      tree->Insert(("k" + std::to_string(i)).c_str(), i);
      blocks.push_back(manager.Allocate(8 + static_cast<uint32_t>(i)));
    }
    for (size_t i = 0; i < blocks.size(); i += 2) manager.Deallocate(blocks[i]);
    RWCString found;
    int32_t value = 0;
    for (int32_t i = 0; i < 40; i += 3) tree->Remove(("k" + std::to_string(i)).c_str(), found, value);
  }
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

GFuzzSeeds Seeds() {
  GFuzzSeeds seeds;
  for (const uint8_t flags : {0, 2, 1, 16, 4}) {
    std::string script(kScriptLength, '\0');
    script[0] = static_cast<char>(flags);
    for (size_t i = 1; i < kScriptLength; ++i) script[i] = static_cast<char>(i * 11);
    seeds.push_back(script + WrittenFile(flags));
  }
  std::remove(ScratchPath().c_str());
  return seeds;
}

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < kScriptLength) return 0;
  const std::string& path = ScratchPath();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data + kScriptLength, 1, size - kScriptLength, file);
  std::fclose(file);
  {
    GFileSpaceManager manager(path.c_str());
    Work(manager, *OpenTree(manager, data[0]), data);
  }
  std::remove(path.c_str());
  return 0;
}
