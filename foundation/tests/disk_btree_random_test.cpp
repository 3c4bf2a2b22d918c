#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "foundation/disk_btree.h"
#include "foundation/file_space_manager.h"
#include "foundation/rw_cstring.h"
#include "foundation/testing/recording_error_handler.h"
#include "foundation/tests/disk_btree_checker.h"
#include "foundation/tests/disk_test_support.h"

namespace {

struct Config {
  const char* name;
  uint32_t keyLength;
  uint32_t order;
  uint32_t minimum;
  bool binary;
  uint32_t cacheBlocks;
  int operations;
};

void PrintTo(const Config& config, std::ostream* out) { *out << config.name; }

// Text keys are decimal numbers; binary keys hold zero bytes and order as
// numbers under memcmp.
std::string MakeKey(const Config& config, uint32_t n) {
  if (!config.binary) {
    char text[16];
    std::snprintf(text, sizeof text, "%07u", n);
    return text;
  }
  std::string key(config.keyLength, '\0');
  for (int i = 0; i < 4; ++i) key[i] = static_cast<char>(n >> (24 - 8 * i));
  key[5] = static_cast<char>(n * 2654435761u);
  return key;
}

// What ForEach hands out: every key as its K stored bytes.
struct Visited {
  uint32_t keyLength;
  std::vector<std::pair<std::string, int32_t>> entries;
};

void Collect(const char* key, int32_t value, void* user) {
  auto* visited = static_cast<Visited*>(user);
  visited->entries.emplace_back(std::string(key, visited->keyLength), value);
}

class GDiskBTreeRandomTest : public DiskFileTest, public ::testing::WithParamInterface<Config> {
 protected:
  void Reopen() {
    tree_.reset();
    manager_ = std::make_unique<GFileSpaceManager>(Path());
    const Config& c = GetParam();
    tree_ = std::make_unique<GDiskBTree>(*manager_, c.cacheBlocks, 0, c.keyLength, c.binary, -1, 0, c.order, c.minimum);
  }

  // The file holds a sound tree with exactly the map's entries.
  void CheckAgainst(const std::map<std::string, int32_t>& model) {
    const Config& c = GetParam();
    manager_->File().Flush();
    DiskBTreeChecker checker(Contents(), {c.keyLength, c.order, c.minimum, c.binary});
    ASSERT_EQ(checker.Check(tree_->RootOffset()), "");
    ASSERT_EQ(checker.Entries().size(), model.size());
    auto it = model.begin();
    for (const auto& [key, value] : checker.Entries()) {
      ASSERT_EQ(key, c.binary ? it->first : it->first.c_str());
      ASSERT_EQ(value, it->second);
      ++it;
    }
    ASSERT_EQ(tree_->Count(), model.size());
    EXPECT_EQ(tree_->Height(), model.empty() ? 0 : checker.Height());
  }

  std::unique_ptr<GFileSpaceManager> manager_;
  std::unique_ptr<GDiskBTree> tree_;
};

TEST_P(GDiskBTreeRandomTest, AgreesWithAMapAcrossReopening) {
  const Config& c = GetParam();
  RecordingErrorHandler handler;
  std::mt19937 random(1137);
  std::map<std::string, int32_t> model;
  Reopen();
  RWCString found;
  int32_t value = 0;
  for (int step = 0; step < c.operations; ++step) {
    const uint32_t n = random() % 3000;
    const std::string key = MakeKey(c, n);
    const auto it = model.find(key);
    const bool present = it != model.end();
    const uint32_t choice = random() % 100;
    if (choice < 45) {
      const int32_t stored = static_cast<int32_t>(random());
      ASSERT_EQ(tree_->Insert(key.data(), stored), !present) << step;
      if (!present) model[key] = stored;
    } else if (choice < 80) {
      ASSERT_EQ(tree_->Remove(key.data(), found, value), present) << step;
      if (present) {
        ASSERT_EQ(std::string(found.Data(), found.Length()), key);
        ASSERT_EQ(value, it->second);
        model.erase(it);
      }
    } else if (choice < 92) {
      ASSERT_EQ(tree_->Find(key.data(), found, value), present) << step;
      ASSERT_EQ(value, present ? it->second : -1);
    } else {
      const int32_t stored = static_cast<int32_t>(random());
      ASSERT_EQ(tree_->UpdateValue(key.data(), stored, value), present) << step;
      if (present) {
        ASSERT_EQ(value, it->second);
        it->second = stored;
      }
    }
    if (step % 10000 == 9999) {
      ASSERT_NO_FATAL_FAILURE(CheckAgainst(model)) << step;
      Reopen();
      ASSERT_NO_FATAL_FAILURE(CheckAgainst(model)) << step;
    }
  }
  Visited visited{c.keyLength, {}};
  tree_->ForEach(Collect, &visited);
  ASSERT_EQ(visited.entries.size(), model.size());
  auto it = model.begin();
  for (const auto& [key, stored] : visited.entries) {
    std::string padded = it->first;
    padded.resize(c.keyLength, '\0');
    EXPECT_EQ(key, padded);
    EXPECT_EQ(stored, (it++)->second);
  }
  EXPECT_EQ(handler.Count(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Shapes, GDiskBTreeRandomTest,
                         ::testing::Values(Config{"text_order_two", 12, 2, 2, false, 10, 100000},
                                           Config{"binary_order_three_minimum_one", 8, 3, 1, true, 3, 40000}),
                         [](const ::testing::TestParamInfo<Config>& info) { return std::string(info.param.name); });

}  // namespace
