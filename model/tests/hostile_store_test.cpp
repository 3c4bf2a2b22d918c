// Store files and stored store handles as an attacker who controls printer
// data or a spool file would make them. For every kind the tables show
// whether the store refuses it, whether the store reports that it failed,
// which records are still read, that no record the file held is lost, and
// that nothing is created or deleted outside the store directories.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "foundation/disk_btree.h"
#include "foundation/file_space_manager.h"
#include "foundation/rw_cstring.h"
#include "foundation/testing/recording_error_handler.h"
#include "foundation/testing/string_printers.h"
#include "model/os/memory_os_factory.h"
#include "model/store/persistent_composite_on_disk.h"
#include "model/store/persistent_composite_on_disk_imp.h"
#include "model/store/record.h"
#include "model/testing/round_trip.h"
#include "model/testing/test_nodes.h"
#include "model/tests/on_disk_test_support.h"
#include "model/tests/os_services_test_support.h"

namespace {

namespace fs = std::filesystem;

const std::vector<int32_t> kAllKeys = {1, 2, 3, 4, 5, 6};

// Empty for anything but a regular file.
std::string FileBytes(const std::string& path) {
  if (!fs::is_regular_file(path)) return std::string();
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

int32_t Word(const std::string& path, int32_t offset) {
  const std::string bytes = FileBytes(path).substr(static_cast<size_t>(offset), 4);
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(bytes[static_cast<size_t>(i)]);
  return static_cast<int32_t>(value);
}

void PutWord(const std::string& path, int32_t offset, int32_t value) {
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  file.seekp(offset);
  for (int i = 0; i < 4; ++i) file.put(static_cast<char>(static_cast<uint32_t>(value) >> (8 * i)));
}

// Every file and directory below root, relative to it.
std::set<std::string> Listing(const std::string& root) {
  std::set<std::string> names;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
    names.insert(fs::relative(entry.path(), root).generic_string());
  }
  return names;
}

// A store holding the leaves with the keys, each leaf's value ten times
// its key.
void WriteStore(const std::string& path, const std::vector<int32_t>& keys) {
  MPersistentCompositeOnDisk store(WidePath(path), 0, 0);
  for (int32_t key : keys) store.AddShared(GObjectRef(new ValueNode(key, key * 10)));
}

// Where a closed store file keeps its parts, read without writing.
struct StoreLayout {
  explicit StoreLayout(const std::string& path) {
    GFileSpaceManager manager(path.c_str(), "rb");
    GDiskBTree tree(manager, 10, 0, 16, false, -1, 0, 10, 10);
    header = tree.HeaderOffset();
    root = tree.RootOffset();
    RWCString found;
    tree.Find(MPersistentCompositeOnDiskImp::kIndexKey, found, index);
  }

  int32_t header = -1;
  int32_t root = -1;
  int32_t index = -1;
};

// The keys of the leaves the store hands out as themselves.
std::vector<int32_t> ReadableKeys(MPersistentCompositeOnDisk& store, const std::vector<int32_t>& keys) {
  std::vector<int32_t> readable;
  for (int32_t key : keys) {
    const GObjectRef leaf = store.SharedIfKey(key);
    const auto* node = dynamic_cast<const ValueNode*>(leaf.Get());
    if (node != nullptr && node->Key() == key && node->value == key * 10) readable.push_back(key);
  }
  return readable;
}

// The stand-in factory whose only spool directory is the one given.
class SpoolFactory : public GMemoryOSFactory {
 public:
  explicit SpoolFactory(std::string spool) : spool_(std::move(spool)) {}
  void GetSpoolDirectories(std::vector<RWWString>& directories) override { directories.push_back(WidePath(spool_)); }

 private:
  std::string spool_;
};

// A scratch root holding the spool directory and a directory elsewhere,
// with the factory that names the first.
class HostileStore : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(spool);
    fs::create_directories(elsewhere);
    factory_ = new SpoolFactory(spool);
    GOSFactory::SetInstance(factory_);
  }
  void TearDown() override { delete factory_; }

  const ScratchDirectory root_;

 public:
  const std::string root = root_.File("");
  const std::string spool = root_.File("spool");
  const std::string elsewhere = root_.File("elsewhere");

 protected:
  SpoolFactory* factory_ = nullptr;
  const RecordingErrorHandler errors_;
};

// What a damaged store file still gives: every leaf but some, or none.
struct Reads {
  bool index;
  std::vector<int32_t> except;

  std::vector<int32_t> Of(const std::vector<int32_t>& keys) const {
    std::vector<int32_t> readable;
    for (int32_t key : keys) {
      if (index && std::find(except.begin(), except.end(), key) == except.end()) readable.push_back(key);
    }
    return readable;
  }
};
const Reads kEveryLeaf{true, {}};
const Reads kNoLeaf{false, {}};

// A leaf store file damaged in one way.
struct DamagedFileCase {
  const char* name;
  // Writes the file, damaged; answers the keys its leaves had.
  std::vector<int32_t> (*make)(const std::string& path);
  bool failed;
  Reads reads;
};

std::vector<int32_t> Damage(const std::string& path, void (*damage)(const std::string& path, const StoreLayout&)) {
  WriteStore(path, kAllKeys);
  damage(path, StoreLayout(path));
  return kAllKeys;
}

// The value of a key in a leaf root of order 10, K = 16.
int32_t ValueAt(const std::string& path, int32_t node, const RWCString& key) {
  const int32_t count = Word(path, node);
  const std::string bytes = FileBytes(path);
  for (int32_t i = 0; i < count; ++i) {
    const std::string stored = bytes.substr(static_cast<size_t>(node + 168 + 16 * i), 16);
    if (stored.compare(0, key.Length(), key.Data(), key.Length()) == 0 && stored[key.Length()] == '\0') {
      return node + 88 + 4 * i;
    }
  }
  return -1;
}

// Leaves 1 to 80, every other one taken out again: more free extents than
// the first free-list block holds, so the chain has a second block.
std::vector<int32_t> TwoFreeListBlocks(const std::string& path) {
  std::vector<int32_t> kept;
  {
    MPersistentCompositeOnDisk store(WidePath(path), 0, 0);
    for (int32_t key = 1; key <= 80; ++key) store.AddShared(GObjectRef(new ValueNode(key, key * 10)));
    for (int32_t key = 1; key <= 80; key += 2) store.FindSharedByKey(key);
    for (int32_t key = 2; key <= 80; key += 2) kept.push_back(key);
  }
  return kept;
}

TEST_F(HostileStore, DamagedStoreFiles) {
  const DamagedFileCase cases[] = {
      {"sound_file",
       [](const std::string& path) { return Damage(path, [](const std::string&, const StoreLayout&) {}); }, false,
       kEveryLeaf},
      {"index_count_that_cannot_fit",
       [](const std::string& path) {
         return Damage(path, [](const std::string& file, const StoreLayout& layout) {
           // Start value, class ID, the record part, the version: then the count.
           ASSERT_EQ(Word(file, layout.index + 20), 1);
           ASSERT_EQ(Word(file, layout.index + 24), 6);
           PutWord(file, layout.index + 24, -1);
         });
       },
       true, kNoLeaf},
      {"free_extent_over_the_tree_root",
       [](const std::string& path) {
         return Damage(path, [](const std::string& file, const StoreLayout& layout) {
           ASSERT_EQ(Word(file, 12 + 260), 0);  // no free extent yet
           PutWord(file, 12 + 4, layout.root - 4);
           PutWord(file, 12 + 132, Word(file, layout.root - 4));
           PutWord(file, 12 + 260, 1);
         });
       },
       true, kEveryLeaf},
      {"two_keys_share_one_block",
       [](const std::string& path) {
         return Damage(path, [](const std::string& file, const StoreLayout&) {
           std::vector<uint32_t> serials;
           {
             MPersistentCompositeOnDisk store(WidePath(file), 0, 0);
             for (int32_t key : {1, 2}) serials.push_back(store.SharedIfKey(key)->SerialNumber());
           }
           const StoreLayout layout(file);
           const int32_t first = ValueAt(file, layout.root, GRecord::KeyString(serials[0]));
           const int32_t second = ValueAt(file, layout.root, GRecord::KeyString(serials[1]));
           ASSERT_TRUE(first > 0 && second > 0);
           PutWord(file, second, Word(file, first));
         });
       },
       true,
       {true, {2}}},
      {"end_offset_past_the_file",
       [](const std::string& path) {
         return Damage(path, [](const std::string& file, const StoreLayout&) { PutWord(file, 4, 1 << 30); });
       },
       true, kEveryLeaf},
      {"tree_header_past_the_end",
       [](const std::string& path) {
         return Damage(path, [](const std::string& file, const StoreLayout&) { PutWord(file, 0, Word(file, 4)); });
       },
       true, kNoLeaf},
      {"tree_root_outside_the_file",
       [](const std::string& path) {
         return Damage(
             path, [](const std::string& file, const StoreLayout& layout) { PutWord(file, layout.header, 1 << 20); });
       },
       true, kNoLeaf},
      {"keys_of_another_length",
       [](const std::string& path) {
         return Damage(
             path, [](const std::string& file, const StoreLayout& layout) { PutWord(file, layout.header + 16, 64); });
       },
       true, kNoLeaf},
      {"graphs_without_an_index",
       [](const std::string& path) {
         return Damage(path, [](const std::string& file, const StoreLayout& layout) {
           const int32_t value = ValueAt(file, layout.root, RWCString(MPersistentCompositeOnDiskImp::kIndexKey));
           ASSERT_GT(value, 0);
           // The key's first letter, 16 bytes of key per slot after the values.
           const int32_t key = layout.root + 168 + 16 * ((value - layout.root - 88) / 4);
           PutWord(file, key, Word(file, key) ^ 0x03);  // 'I' becomes 'J', in the same place in key order
         });
       },
       true, kNoLeaf},
      {"free_list_broken_past_its_first_block",
       [](const std::string& path) {
         const std::vector<int32_t> kept = TwoFreeListBlocks(path);
         const int32_t second = Word(path, 12 + 264);
         EXPECT_NE(second, 12);
         PutWord(path, second, 0);  // its magic
         return kept;
       },
       true, kEveryLeaf},
  };
  for (const DamagedFileCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = spool + "/" + c.name + ".spl";
    const std::vector<int32_t> keys = c.make(path);
    const std::vector<int32_t> readable = c.reads.Of(keys);
    const std::string before = FileBytes(path);
    const std::set<std::string> listing = Listing(root);
    {
      MPersistentCompositeOnDisk store(WidePath(path), 0, 0);
      EXPECT_EQ(store.HasFailed(), c.failed);
      EXPECT_EQ(ReadableKeys(store, keys), readable);
      store.AddShared(GObjectRef(new ValueNode(100, 1000)));
      // A failed store refuses to write; a sound one takes the leaf.
      EXPECT_EQ(store.SharedIfKey(100).Get() != nullptr, !c.failed);
    }
    if (c.failed) {
      EXPECT_TRUE(FileBytes(path) == before) << "a failed store wrote to its file";
    }
    // No record that was read is lost: opened again, the file gives the
    // same records.
    MPersistentCompositeOnDisk again(WidePath(path), 0, 0);
    EXPECT_EQ(ReadableKeys(again, keys), readable);
    EXPECT_EQ(Listing(root), listing);
  }
}

// The stored form of a handle on path with the option, made without
// creating anything at path: the handle is made on a name of the same
// length directly in the root, and the name replaced in its bytes.
std::string HandleBytes(const HostileStore& test, const std::string& path, int32_t option) {
  const std::string decoy = test.root + std::string(path.size() - test.root.size(), 'x');
  std::string bytes;
  {
    const MPersistentCompositeOnDisk handle(WidePath(decoy), option, 0);
    bytes = SaveGraph(StoreForm::kBinary, &handle);
  }
  const size_t at = bytes.find(decoy);
  EXPECT_NE(at, std::string::npos);
  if (at != std::string::npos) bytes.replace(at, decoy.size(), path);
  return bytes;
}

// A store file that no store of this process created: a copy of one.
void CopyOfAStore(const HostileStore& test, const std::string& path) {
  const std::string original = test.root + "original.spl";
  WriteStore(original, kAllKeys);
  // Removed first rather than overwritten: libstdc++ on Windows has no file
  // identities to compare, takes any existing target for the source itself
  // and refuses to copy over it.
  fs::remove(path);
  fs::copy_file(original, path);
  fs::remove(original);
}

// A store handle as printer data or a spool file would hold it.
struct RestoreCase {
  const char* name;
  // Makes ready what the handle will name, and answers its path; empty
  // when this system cannot make it (links, say).
  std::string (*prepare)(const HostileStore& test);
  int32_t option;
  bool opens;
};

TEST_F(HostileStore, RestoredHandles) {
  constexpr int32_t kDelete = MPersistentCompositeOnDisk::kDeleteFile;
  const RestoreCase cases[] = {
      {"missing_file_elsewhere", [](const HostileStore& t) { return t.elsewhere + "/new.spl"; }, 0, false},
      {"text_file_elsewhere",
       [](const HostileStore& t) {
         WriteBytes(t.elsewhere + "/victim.txt", "precious");
         return t.elsewhere + "/victim.txt";
       },
       kDelete, false},
      {"store_elsewhere",
       [](const HostileStore& t) {
         CopyOfAStore(t, t.elsewhere + "/victim.spl");
         return t.elsewhere + "/victim.spl";
       },
       kDelete, false},
      {"missing_file_in_the_spool_directory", [](const HostileStore& t) { return t.spool + "/new.spl"; }, kDelete,
       false},
      {"empty_file_in_the_spool_directory",
       [](const HostileStore& t) {
         WriteBytes(t.spool + "/empty.spl", "");
         return t.spool + "/empty.spl";
       },
       kDelete, false},
      {"path_climbing_out_of_the_spool_directory",
       [](const HostileStore& t) {
         CopyOfAStore(t, t.elsewhere + "/victim.spl");
         return t.spool + "/../elsewhere/victim.spl";
       },
       kDelete, false},
      {"link_in_the_spool_directory",
       [](const HostileStore& t) {
         CopyOfAStore(t, t.elsewhere + "/victim.spl");
         std::error_code error;
         fs::create_symlink(t.elsewhere + "/victim.spl", t.spool + "/link.spl", error);
         return error ? std::string() : t.spool + "/link.spl";
       },
       kDelete, false},
      {"the_spool_directory_itself", [](const HostileStore& t) { return t.spool; }, kDelete, false},
      {"store_in_the_spool_directory",
       [](const HostileStore& t) {
         CopyOfAStore(t, t.spool + "/kept.spl");
         return t.spool + "/kept.spl";
       },
       kDelete, true},
  };
  DriverEvents events;
  FakeDriver driver(*Identity("P", "D"), events);
  for (const RestoreCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = c.prepare(*this);
    if (path.empty()) continue;
    const std::string bytes = HandleBytes(*this, path, c.option);
    const bool existed = fs::exists(path);
    const std::string before = FileBytes(path);
    const std::set<std::string> listing = Listing(root);
    {
      bool good = false;
      const GObjectRef restored = RestoreGraph(StoreForm::kBinary, bytes, good);
      auto* handle = dynamic_cast<MPersistentCompositeOnDisk*>(restored.Get());
      ASSERT_NE(handle, nullptr);
      EXPECT_EQ(good, c.opens);
      EXPECT_EQ(handle->HasFailed(), !c.opens);
      EXPECT_EQ(ReadableKeys(*handle, kAllKeys), c.opens ? kAllKeys : std::vector<int32_t>());
    }
    // Printer data reaches a handle through a named object.
    factory_->WritePrinterDataChunked(driver, RWWString("Spool"), reinterpret_cast<const uint8_t*>(bytes.data()),
                                      static_cast<uint32_t>(bytes.size()));
    EXPECT_EQ(factory_->LoadNamedObject(driver, RWWString("Spool"), 0) != nullptr, c.opens);
    // Nothing was created or deleted, and a file that was refused is as
    // it was.
    EXPECT_EQ(Listing(root), listing);
    EXPECT_EQ(fs::exists(path), existed);
    if (!c.opens) {
      EXPECT_TRUE(FileBytes(path) == before);
    }
  }
}

// A store whose record index holds a handle on a file elsewhere: the store
// opens, the nested handle does not, and nothing is made.
TEST_F(HostileStore, ANestedHandleInAStoreFileNamesAFileElsewhere) {
  const std::string outer = spool + "/outer.spl";
  const std::string inner = spool + "/inner.spl";
  {
    MPersistentCompositeOnDisk store(WidePath(outer), 0, 0);
    store.AddShared(GObjectRef(new ValueNode(1, 10)));
    store.AddShared(GObjectRef(new MPersistentCompositeOnDisk(WidePath(inner), 0, 2)));
  }
  fs::remove(inner);
  // The nested handle's path, in the graph and in the index's proxy.
  const std::string renamed = elsewhere + "/in.sp";
  ASSERT_EQ(renamed.size(), inner.size());
  std::string bytes = FileBytes(outer);
  for (size_t at = bytes.find(inner); at != std::string::npos; at = bytes.find(inner, at)) {
    bytes.replace(at, inner.size(), renamed);
  }
  WriteBytes(outer, bytes);
  const std::set<std::string> listing = Listing(root);
  {
    MPersistentCompositeOnDisk store(WidePath(outer), 0, 0);
    EXPECT_EQ(ReadableKeys(store, {1}), std::vector<int32_t>{1});
    const GObjectRef nested = store.SharedIfKey(2);
    ASSERT_TRUE(nested);
    EXPECT_TRUE(dynamic_cast<MPersistentCompositeOnDisk&>(*nested).HasFailed());
  }
  EXPECT_FALSE(fs::exists(renamed));
  std::set<std::string> now = Listing(root);
  now.erase("spool/outer.spl");
  std::set<std::string> then = listing;
  then.erase("spool/outer.spl");
  EXPECT_EQ(now, then);
}

}  // namespace
