// Opens on-disk store files made of the input and works on them, with an
// error handler that returns: a damaged store may fail its operations, but
// must never lead outside a buffer, loop without end, leak, or ask for
// unbounded memory.
//
// Input: a byte choosing the file (bit 0) and one choosing the work, then
// either the whole file, or a 16-bit offset and bytes written over a store
// built here (a record index with a leaf, a composite and a nested store),
// so that damage also reaches the object graphs inside a well-formed file.
//
// Stored handles name files of their own, which a store opens, creates and
// may delete. The fuzzer works in a scratch directory of its own, and every
// fopen and remove of the process is wrapped (see CMakeLists.txt) so that
// only relative names without ".." reach the file system, besides the corpus
// directories named on the command line.
//
// The seeds are the store built here, whole and patched at its index, with
// each kind of work.
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/rw_wstring.h"
#include "foundation/testing/fuzz_seeds.h"
#include "model/objects/persistent_composite.h"
#include "model/store/persistent_composite_on_disk.h"
#include "model/testing/test_nodes.h"

namespace {

constexpr char kStoreName[] = "store.spl";
constexpr char kNestedName[] = "nested.spl";

// Absolute paths of the corpus directories and the artifact prefix, where
// libFuzzer writes.
std::vector<std::string>& CorpusDirectories() {
  static std::vector<std::string> directories;
  return directories;
}

bool Confined(const char* name) {
  if (name == nullptr || name[0] == '\0') return false;
  const std::string text(name);
  if (text.find("..") != std::string::npos) return false;
  if (text[0] != '/') return true;
  for (const std::string& directory : CorpusDirectories()) {
    if (text.compare(0, directory.size(), directory) == 0) return true;
  }
  return false;
}

std::string ReadFile(const char* name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const char* name, const std::string& bytes) { std::ofstream(name, std::ios::binary) << bytes; }

void RemoveEverything() {
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(".", ignored)) {
    std::filesystem::remove_all(entry.path(), ignored);
  }
}

template <typename T>
T* Numbered(T* object, uint32_t serialNumber) {
  object->SetSerialNumber(serialNumber);
  return object;
}

// The store and its nested store as files, built once with fixed serial
// numbers so that every run starts from the same bytes.
struct SeedFiles {
  SeedFiles() {
    {
      MPersistentCompositeOnDisk store(RWWString(kStoreName), 0, 0);
      store.AddShared(GObjectRef(Numbered(new ValueNode(1, 10), 0x101)));
      auto* composite = Numbered(new MPersistentComposite(2), 0x102);
      composite->AddChild(Numbered(new ValueNode(3, 30), 0x103));
      composite->AddChild(Numbered(new OtherNode(4, 40), 0x104));
      store.AddShared(GObjectRef(composite));
      const GObjectRef nested(Numbered(new MPersistentCompositeOnDisk(RWWString(kNestedName), 0, 5), 0x105));
      nested->AddShared(GObjectRef(Numbered(new ValueNode(6, 60), 0x106)));
      store.AddShared(nested);
    }
    store = ReadFile(kStoreName);
    nested = ReadFile(kNestedName);
  }

  std::string store;
  std::string nested;
};

void Walk(MPersistentObject& store, uint8_t work) {
  const std::unique_ptr<GIterator> iterator = store.NewChildIterator();
  auto& records = static_cast<GEmptyIterator&>(*iterator);
  for (int step = 0; step < 64 && records.Advance(); ++step) {
    records.CurrentShared();
    if ((work & 0x40) != 0 && step == 1) records.RemoveCurrent();
    if ((work & 0x80) != 0 && step == 2) records.ReplaceCurrent(new ValueNode(7, 70));
  }
  records.Retreat();
}

void Work(MPersistentCompositeOnDisk& store, uint8_t work) {
  store.HasFailed();
  store.EntryCount();
  Walk(store, work);
  for (int32_t key = 1; key <= 6; ++key) store.SharedIfKey(key);
  store.SharedIfClassId(OtherNode::kID);
  store.ForEachChild([](GCountedPtr&, void*) {}, nullptr);
  if ((work & 1) != 0) store.FindSharedByKey(static_cast<int32_t>(work >> 4));
  if ((work & 2) != 0) store.FindSharedByClassId(kMPersistentCompositeClassID);
  if ((work & 4) != 0) store.ReplaceSharedByKey(6, ValueNode(8, 80));
  if ((work & 8) != 0) store.AddShared(GObjectRef(new ValueNode(9, 90)));
  if (work == 0xFF) store.RemoveAllChildren();
}

GFuzzSeeds Seeds() {
  const SeedFiles files;
  GFuzzSeeds seeds;
  for (const uint8_t work : {0x00, 0x0F, 0x41, 0x86, 0xFF}) {
    seeds.push_back(std::string{'\0', static_cast<char>(work)} + files.store);
  }
  // A patch over the start of the last block, where the index lies.
  const size_t at = files.store.size() - 64;
  seeds.push_back(std::string{'\1', '\0', static_cast<char>(at), static_cast<char>(at >> 8)} +
                  files.store.substr(at, 16));
  seeds.push_back(std::string{static_cast<char>(0x80), '\x08'} + files.store);
  return seeds;
}

}  // namespace

extern "C" FILE* __real_fopen(const char* name, const char* mode);
extern "C" int __real_remove(const char* name);

extern "C" FILE* __wrap_fopen(const char* name, const char* mode) {
  if (Confined(name)) return __real_fopen(name, mode);
  errno = EACCES;
  return nullptr;
}

extern "C" int __wrap_remove(const char* name) {
  if (Confined(name)) return __real_remove(name);
  errno = EACCES;
  return -1;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  constexpr std::string_view kArtifactPrefix = "-artifact_prefix=";
  for (int i = 1; i < *argc; ++i) {
    const std::string_view argument = (*argv)[i];
    std::error_code ignored;
    if (argument.substr(0, kArtifactPrefix.size()) == kArtifactPrefix) {
      CorpusDirectories().push_back(std::string(argument.substr(kArtifactPrefix.size())));
    } else if (argument[0] != '-' && std::filesystem::is_directory((*argv)[i], ignored)) {
      CorpusDirectories().push_back(std::filesystem::absolute((*argv)[i]).string() + "/");
    }
  }
  static std::string scratch = (std::filesystem::temp_directory_path() / "qv_store_fuzz_XXXXXX").string();
  if (mkdtemp(scratch.data()) == nullptr) return 0;
  std::filesystem::current_path(scratch);
  std::fprintf(stderr, "store_file_fuzzer works in %s\n", scratch.c_str());
  std::atexit([] {
    std::error_code ignored;
    std::filesystem::current_path(std::filesystem::temp_directory_path(), ignored);
    std::filesystem::remove_all(scratch, ignored);
  });
  StartFuzzTarget(Seeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const SeedFiles seed;
  if (size < 4) return 0;
  std::string file;
  if ((data[0] & 1) != 0) {
    file = seed.store;
    const size_t offset = (data[2] | data[3] << 8) % file.size();
    const std::string patch(reinterpret_cast<const char*>(data + 4), size - 4);
    file.replace(offset, std::min(patch.size(), file.size() - offset), patch);
  } else {
    file.assign(reinterpret_cast<const char*>(data + 2), size - 2);
  }
  RemoveEverything();
  WriteFile(kStoreName, file);
  WriteFile(kNestedName, seed.nested);
  {
    MPersistentCompositeOnDisk store(RWWString(kStoreName), data[0] >> 7, 0);
    Work(store, data[1]);
  }
  return 0;
}
