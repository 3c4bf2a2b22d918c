#include "model/os/os_data_store.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "model/tests/os_services_test_support.h"

namespace {

GOSDataStore::Value Dword(uint32_t value) {
  return {GOSDataStore::kDword,
          {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
           static_cast<uint8_t>(value >> 24)}};
}

TEST(OSDataStore, KeysAndNamesIgnoreCaseAndStraySeparators) {
  GOSDataStore store;
  store.Write(GOSDataStore::kLocalMachine, RWWString(QV_WIDE("SYSTEM\\Print\\Printers\\P1")),
              RWWString(QV_WIDE("Stale")), Dword(7));
  GOSDataStore::Value value;
  ASSERT_TRUE(store.Read(GOSDataStore::kLocalMachine, RWWString(QV_WIDE("\\system\\print\\\\printers\\p1\\")),
                         RWWString(QV_WIDE("STALE")), value));
  EXPECT_EQ(value.type, GOSDataStore::kDword);
  EXPECT_EQ(value.bytes, Dword(7).bytes);
  // The other root is another registry.
  EXPECT_FALSE(store.Read(GOSDataStore::kCurrentUser, RWWString(QV_WIDE("SYSTEM\\Print\\Printers\\P1")),
                          RWWString(QV_WIDE("Stale")), value));
}

TEST(OSDataStore, KeysAboveAValueExistAndDeletingAValueKeepsItsKey) {
  GOSDataStore store;
  const RWWString path(QV_WIDE("Software\\Quillvane\\Drivers"));
  EXPECT_FALSE(store.KeyExists(GOSDataStore::kCurrentUser, path));
  store.Write(GOSDataStore::kCurrentUser, path, RWWString(QV_WIDE("Flag")), Dword(1));
  EXPECT_TRUE(store.KeyExists(GOSDataStore::kCurrentUser, path));
  EXPECT_TRUE(store.KeyExists(GOSDataStore::kCurrentUser, RWWString(QV_WIDE("software"))));
  EXPECT_FALSE(store.KeyExists(GOSDataStore::kCurrentUser, RWWString(QV_WIDE("Software\\Quill"))));

  EXPECT_TRUE(store.Delete(GOSDataStore::kCurrentUser, path, RWWString(QV_WIDE("flag"))));
  EXPECT_FALSE(store.Delete(GOSDataStore::kCurrentUser, path, RWWString(QV_WIDE("flag"))));
  EXPECT_TRUE(store.KeyExists(GOSDataStore::kCurrentUser, path));

  store.CreateKey(GOSDataStore::kLocalMachine, RWWString(QV_WIDE("Empty\\Key")));
  EXPECT_TRUE(store.KeyExists(GOSDataStore::kLocalMachine, RWWString(QV_WIDE("empty"))));
}

TEST(OSDataStore, SavedFileLoadsBackIntoAnotherStore) {
  GOSDataStore store;
  store.CreateKey(GOSDataStore::kCurrentUser, RWWString(QV_WIDE("Control Panel\\International")));
  store.Write(GOSDataStore::kLocalMachine, RWWString(QV_WIDE("A\\B")), RWWString(QV_WIDE("Bytes")),
              {GOSDataStore::kBinary, {0, 1, 2, 255}});
  store.Write(GOSDataStore::kLocalMachine, RWWString(QV_WIDE("A\\B")), RWWString(QV_WIDE("Empty")),
              {GOSDataStore::kBinary, {}});
  const std::string file = TempPath("store.dat");
  ASSERT_TRUE(store.SaveToFile(file));

  GOSDataStore loaded;
  ASSERT_TRUE(loaded.LoadFromFile(file));
  EXPECT_EQ(loaded.Serialize(), store.Serialize());
  GOSDataStore::Value value;
  ASSERT_TRUE(loaded.Read(GOSDataStore::kLocalMachine, RWWString(QV_WIDE("a\\b")), RWWString(QV_WIDE("bytes")), value));
  EXPECT_EQ(value.bytes, (std::vector<uint8_t>{0, 1, 2, 255}));
  EXPECT_TRUE(loaded.KeyExists(GOSDataStore::kCurrentUser, RWWString(QV_WIDE("Control Panel\\International"))));
  std::remove(file.c_str());
}

// Every prefix of a good stored form, and the form with a byte too many,
// is refused and leaves the store as it was.
TEST(OSDataStore, MalformedStoredFormsAreRefused) {
  GOSDataStore source;
  source.Write(GOSDataStore::kLocalMachine, RWWString(QV_WIDE("K")), RWWString(QV_WIDE("V")), Dword(5));
  std::vector<uint8_t> bytes = source.Serialize();

  GOSDataStore target;
  target.Write(GOSDataStore::kCurrentUser, RWWString(QV_WIDE("Keep")), RWWString(QV_WIDE("Me")), Dword(1));
  const std::vector<uint8_t> before = target.Serialize();
  for (size_t length = 0; length < bytes.size(); ++length) {
    EXPECT_FALSE(target.Deserialize(std::span(bytes.data(), length))) << "prefix of " << length;
  }
  bytes.push_back(0);
  EXPECT_FALSE(target.Deserialize(bytes));
  EXPECT_EQ(target.Serialize(), before);

  // A unit count far beyond the bytes that follow.
  std::vector<uint8_t> huge = {'Q', 'V', 'O', 'S', 'D', 'A', 'T', 'A', 1,    0,    0,    0,
                               1,   0,   0,   0,   1,   0,   0,   0,   0xFF, 0xFF, 0xFF, 0x7F};
  EXPECT_FALSE(target.Deserialize(huge));
  EXPECT_FALSE(target.LoadFromFile(TempPath("missing.dat")));
}

}  // namespace
