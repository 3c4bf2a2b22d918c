// Tests of the keyed pool: entries in key order, the clear and restore
// events, the save filter's phases and the stored form.
#include "graphics/fonts/keyed_pool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "foundation/binary_stream.h"
#include "foundation/class_registrar.h"
#include "foundation/testing/scratch_files.h"
#include "graphics/tests/stored_parts.h"
#include "model/objects/persistent_object.h"
#include "model/testing/round_trip.h"

namespace {

// A value that counts its live instances, so that tests see what the pool
// deletes. Stored part: version 1, the number.
class PoolValue : public MPersistentObject {
 public:
  static constexpr RWClassID kID = 0x7EC8;
  static inline int32_t live = 0;

  explicit PoolValue(int32_t number = 0) : number(number) { ++live; }
  PoolValue(const PoolValue& other) : MPersistentObject(other), number(other.number) { ++live; }
  ~PoolValue() override { --live; }

  RWCollectable* NewInstance() const override { return new PoolValue; }
  RWCollectable* Clone() const override { return new PoolValue(*this); }
  RWClassID ClassID() const override { return kID; }
  bool IsKindOf(RWClassID id) const override { return id == kID || MPersistentObject::IsKindOf(id); }

  int32_t number;

 protected:
  void Fields(GFieldArchive& archive) override {
    MPersistentObject::Fields(archive);
    if (archive.Version(FormatVersion())) archive.Int32(number);
  }
};

const GClassRegistrar registrar(CreateCollectable<PoolValue>, PoolValue::kID, "PoolValue");

int32_t NumberOf(const MPersistentObject* value) {
  return value == nullptr ? -1 : static_cast<const PoolValue*>(value)->number;
}

// The pool's values are its user's: each test deletes what it left in.
void DeleteValues(GKeyedPool& pool) {
  for (uint32_t key : pool.GetKeys()) delete pool.Remove(key);
}

// A value's contents as the stored form holds them; serial number 0 keeps
// the restored object's own.
std::string ValueContents(int32_t number, uint32_t serial = 0) {
  return Words({1, 0, serial, 1, static_cast<uint32_t>(number)});
}

std::string SaveToFileBytes(const GKeyedPool& pool, int32_t& answer, const GKeyedPool::Filter& filter = nullptr,
                            void* userData = nullptr) {
  const ScratchFile scratch;
  {
    GBinaryFile file(scratch.Path(), "wb");
    answer = pool.SaveToFile(file, filter, userData);
  }
  return scratch.Contents();
}

int32_t RestoreFromFileBytes(GKeyedPool& pool, const std::string& bytes) {
  const ScratchFile scratch(bytes);
  GBinaryFile file(scratch.Path(), "rb");
  return pool.RestoreFromFile(file);
}

class KeyedPoolTest : public ::testing::Test {
 protected:
  void SetUp() override { PoolValue::live = 0; }
  void TearDown() override { EXPECT_EQ(PoolValue::live, 0); }
};

TEST_F(KeyedPoolTest, EntriesAreFoundAndListedInUnsignedKeyOrder) {
  GKeyedPool pool;
  EXPECT_EQ(pool.Add(0x80000000, new PoolValue(3)), 1);
  EXPECT_EQ(pool.Add(7, new PoolValue(2)), 1);
  EXPECT_EQ(pool.Add(1, new PoolValue(1)), 1);
  PoolValue refused(9);
  EXPECT_EQ(pool.Add(7, &refused), 0);
  EXPECT_EQ(pool.Add(8, nullptr), 0);

  EXPECT_EQ(pool.GetKeys(), (std::vector<uint32_t>{1, 7, 0x80000000}));
  EXPECT_EQ(pool.GetCount(), 3U);
  EXPECT_EQ(NumberOf(pool.Find(7)), 2);
  EXPECT_TRUE(pool.Contains(0x80000000));
  EXPECT_FALSE(pool.Contains(8));
  EXPECT_EQ(pool.Find(8), nullptr);

  MPersistentObject* removed = pool.Remove(7);
  EXPECT_EQ(NumberOf(removed), 2);
  EXPECT_EQ(PoolValue::live, 4);
  delete removed;
  EXPECT_EQ(pool.Remove(7), nullptr);
  EXPECT_EQ(pool.GetKeys(), (std::vector<uint32_t>{1, 0x80000000}));
  DeleteValues(pool);
  EXPECT_TRUE(GKeyedPool().GetKeys().empty());
}

TEST_F(KeyedPoolTest, ClearRemovesAndDeletesTheEntriesTheCallbackAnswersOne) {
  struct Case {
    const char* name;
    bool withCallback;
    std::vector<uint32_t> keysLeft;
  };
  const Case cases[] = {
      {"no_callback_removes_nothing", false, {1, 2, 3, 4}},
      {"even_numbers_answered_one", true, {1, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::pair<MPersistentObject*, int32_t>> calls;
    GKeyedPool::Callback callback;
    if (c.withCallback) {
      callback = [&calls](MPersistentObject* object, MPersistentObject* other, int32_t event) {
        EXPECT_EQ(object, nullptr);
        calls.emplace_back(other, event);
        return NumberOf(other) % 2 == 0 ? 1 : 2;
      };
    }
    GKeyedPool pool(callback);
    for (uint32_t key = 1; key <= 4; ++key) pool.Add(key, new PoolValue(static_cast<int32_t>(key)));
    pool.Clear();
    EXPECT_EQ(pool.GetKeys(), c.keysLeft);
    EXPECT_EQ(PoolValue::live, static_cast<int32_t>(c.keysLeft.size()));
    if (c.withCallback) {
      ASSERT_EQ(calls.size(), 4U);
      for (const auto& [value, event] : calls) EXPECT_EQ(event, GKeyedPool::kClearEvent);
    }
    DeleteValues(pool);
  }
}

TEST_F(KeyedPoolTest, StoredFormHoldsTheCountThenKeysAndValueGraphsInKeyOrder) {
  GKeyedPool pool;
  auto* second = new PoolValue(-2);
  auto* first = new PoolValue(5);
  pool.Add(0x20, second);
  pool.Add(0x10, first);
  int32_t answer = 0;
  const std::string bytes = SaveToFileBytes(pool, answer);
  EXPECT_EQ(answer, 1);
  EXPECT_EQ(bytes, Words({2, 0x10}) + Graph(PoolValue::kID, ValueContents(5, first->SerialNumber())) + Words({0x20}) +
                       Graph(PoolValue::kID, ValueContents(-2, second->SerialNumber())));

  GKeyedPool restored;
  EXPECT_EQ(RestoreFromFileBytes(restored, bytes), 1);
  EXPECT_EQ(restored.GetKeys(), (std::vector<uint32_t>{0x10, 0x20}));
  EXPECT_EQ(NumberOf(restored.Find(0x20)), -2);
  EXPECT_EQ(restored.Find(0x10)->SerialNumber(), first->SerialNumber());

  // The stream form carries the same entries.
  std::stringbuf channel(std::ios::in | std::ios::out | std::ios::binary);
  GBinaryOutStream out(&channel);
  EXPECT_EQ(pool.SaveToStream(out), 1);
  GBinaryInStream in(&channel);
  GKeyedPool streamed;
  EXPECT_EQ(streamed.RestoreFromStream(in), 1);
  EXPECT_EQ(streamed.GetKeys(), (std::vector<uint32_t>{0x10, 0x20}));
  EXPECT_EQ(NumberOf(streamed.Find(0x10)), 5);

  for (GKeyedPool* each : {&pool, &restored, &streamed}) DeleteValues(*each);
}

TEST_F(KeyedPoolTest, TheFilterCountsInPhaseZeroWritesInPhaseOneAndHearsOfEachWrite) {
  GKeyedPool pool;
  for (uint32_t key = 1; key <= 4; ++key) pool.Add(key, new PoolValue(static_cast<int32_t>(key)));
  struct Call {
    int32_t number;
    int32_t phase;
    bool operator==(const Call&) const = default;
  };
  struct Case {
    const char* name;
    // Numbers answered 1 in phase 0 and in phase 1.
    std::vector<int32_t> counted;
    std::vector<int32_t> written;
    std::vector<uint32_t> keysRead;
    int32_t answer;
  };
  // clang-format off
  const Case cases[] = {
      {"phases_agree",             {2, 3}, {2, 3},       {2, 3}, 1},
      {"write_more_than_counted",  {3},    {1, 2, 3, 4}, {1},    1},
      {"write_fewer_than_counted", {2, 3}, {3},          {3},    0},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<Call> calls;
    int32_t userData = 0;
    const GKeyedPool::Filter filter = [&](MPersistentObject* value, int32_t phase, void* user) {
      EXPECT_EQ(user, &userData);
      calls.push_back({NumberOf(value), phase});
      const std::vector<int32_t>& chosen = phase == GKeyedPool::kCountPhase ? c.counted : c.written;
      return std::find(chosen.begin(), chosen.end(), NumberOf(value)) != chosen.end() ? 1 : 0;
    };
    int32_t answer = 0;
    const std::string bytes = SaveToFileBytes(pool, answer, filter, &userData);
    EXPECT_EQ(answer, c.answer);
    ASSERT_GE(calls.size(), 4U);
    for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(calls[i], (Call{i + 1, GKeyedPool::kCountPhase}));
    // After the count: phase 1 for each entry until the count is written,
    // phase 2 right after each written entry.
    std::vector<Call> expected;
    uint32_t written = 0;
    for (int32_t number = 1; number <= 4 && written < c.counted.size(); ++number) {
      expected.push_back({number, GKeyedPool::kWritePhase});
      if (std::find(c.written.begin(), c.written.end(), number) == c.written.end()) continue;
      expected.push_back({number, GKeyedPool::kWrittenPhase});
      ++written;
    }
    EXPECT_EQ(std::vector<Call>(calls.begin() + 4, calls.end()), expected);
    EXPECT_EQ(bytes.substr(0, 4), Words({static_cast<uint32_t>(c.counted.size())}));
    if (c.answer == 1) {
      GKeyedPool restored;
      EXPECT_EQ(RestoreFromFileBytes(restored, bytes), 1);
      EXPECT_EQ(restored.GetKeys(), c.keysRead);
      DeleteValues(restored);
    }
  }
  DeleteValues(pool);
}

TEST_F(KeyedPoolTest, RestoredEntriesRaiseNewAndConflictEvents) {
  struct Case {
    const char* name;
    // The callback's answer to a conflict; none for a pool without one.
    std::optional<int32_t> conflictAnswer;
    int32_t numberKept;
  };
  // clang-format off
  const Case cases[] = {
      {"no_callback_replaces",  std::nullopt, 20},
      {"answer_1_replaces",     1,            20},
      {"answer_0_keeps_stored", 0,            10},
      {"answer_5_keeps_stored", 5,            10},
  };
  // clang-format on
  // Key 1 is stored already; key 2 is new.
  const std::string bytes =
      Words({2, 1}) + Graph(PoolValue::kID, ValueContents(20)) + Words({2}) + Graph(PoolValue::kID, ValueContents(30));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    struct Event {
      int32_t object;
      int32_t other;
      int32_t event;
      bool operator==(const Event&) const = default;
    };
    std::vector<Event> events;
    GKeyedPool::Callback callback;
    if (c.conflictAnswer) {
      callback = [&events, &c](MPersistentObject* object, MPersistentObject* other, int32_t event) {
        events.push_back({NumberOf(object), NumberOf(other), event});
        return *c.conflictAnswer;
      };
    }
    GKeyedPool pool(callback);
    pool.Add(1, new PoolValue(10));
    EXPECT_EQ(RestoreFromFileBytes(pool, bytes), 1);
    EXPECT_EQ(NumberOf(pool.Find(1)), c.numberKept);
    EXPECT_EQ(NumberOf(pool.Find(2)), 30);
    EXPECT_EQ(PoolValue::live, 2);
    if (c.conflictAnswer) {
      EXPECT_EQ(events, (std::vector<Event>{{20, 10, GKeyedPool::kRestoredOverStoredEvent},
                                            {30, -1, GKeyedPool::kRestoredNewEvent}}));
    }
    DeleteValues(pool);
  }
}

TEST_F(KeyedPoolTest, MalformedRecordsAnswerZeroAndKeepWhatWasReadWhole) {
  const std::string value = Graph(PoolValue::kID, ValueContents(7));
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<uint32_t> keysRead;
    GKeyedPool::Accepts accepts = nullptr;
  };
  const auto positive = [](const MPersistentObject& restored) { return NumberOf(&restored) >= 0; };
  const Case cases[] = {
      {"empty_input", "", {}},
      {"count_beyond_the_input", Words({1000000}) + Words({1}) + value, {}},
      {"second_pair_missing", Words({2, 1}) + value, {1}},
      {"value_cut_short", Words({2, 1}) + value + Words({2}) + value.substr(0, value.size() - 2), {1}},
      {"nil_value", Words({2, 1}) + value + Words({2, 0x8888}) + std::string("\xFF\xFF\0\0\0\0", 6), {1}},
      {"not_a_model_object", Words({1, 1, 0x8888}) + Shorts({kRWCollectableClassID}), {}},
      {"value_the_pool_refuses",
       Words({2, 1}) + value + Words({2}) + Graph(PoolValue::kID, ValueContents(-3)),
       {1},
       positive},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GKeyedPool pool(nullptr, c.accepts);
    EXPECT_EQ(RestoreFromFileBytes(pool, c.bytes), 0);
    EXPECT_EQ(pool.GetKeys(), c.keysRead);
    EXPECT_EQ(PoolValue::live, static_cast<int32_t>(c.keysRead.size()));
    DeleteValues(pool);
  }
}

}  // namespace
