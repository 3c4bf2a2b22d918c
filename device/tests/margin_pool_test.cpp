// Tests of the margin pool: its records and its stored form, which comes
// from outside with the printer's configuration.
#include <gtest/gtest.h>

#include <string>

#include "device/media/margin_pool.h"
#include "model/testing/round_trip.h"

namespace {

GMarginRecord Record(int32_t first) {
  GMarginRecord record;
  for (int32_t i = 0; i < 16; ++i) record[i] = first + i;
  return record;
}

std::string RecordWords(const GMarginRecord& record) {
  std::string bytes;
  for (int32_t margin : record) bytes += Words({static_cast<uint32_t>(margin)});
  return bytes;
}

std::string PoolHeader(uint32_t version, uint32_t count) { return Words({1, 959, 0, version, count}); }

TEST(MarginPool, AddAppendsCopiesAndAnswersTheirIndex) {
  GMarginPool pool;
  EXPECT_EQ(pool.Key(), 959);
  EXPECT_EQ(pool.GetRecord(0), nullptr);
  GMarginRecord first = Record(100);
  EXPECT_EQ(pool.Add(&first), 0);
  const GMarginRecord second = Record(-8);
  EXPECT_EQ(pool.Add(&second), 1);
  EXPECT_EQ(pool.Add(nullptr), -1);
  first[0] = 0;
  ASSERT_NE(pool.GetRecord(0), nullptr);
  EXPECT_EQ(*pool.GetRecord(0), Record(100));
  EXPECT_EQ(*pool.GetRecord(1), second);
  EXPECT_EQ(pool.GetRecord(2), nullptr);
  EXPECT_EQ(pool.Count(), 2u);
}

TEST(MarginPool, StoresCountAndRecordsAsUnsignedWords) {
  GMarginPool pool;
  const GMarginRecord first = Record(4233);
  const GMarginRecord second = Record(-3);
  pool.Add(&first);
  pool.Add(&second);
  const std::string bytes = SaveContentsToFileBytes(pool);
  EXPECT_EQ(bytes, Words({1, 959, pool.SerialNumber(), 1, 2}) + RecordWords(first) + RecordWords(second));
  EXPECT_EQ(pool.StoredSize(), bytes.size());
  EXPECT_TRUE(RoundTrips(pool));
  for (StoreForm form : kAllStoreForms) {
    SCOPED_TRACE(FormName(form));
    const GObjectRef restored = RestoreGraph(form, SaveGraph(form, &pool));
    const auto* copy = dynamic_cast<const GMarginPool*>(restored.Get());
    ASSERT_NE(copy, nullptr);
    ASSERT_EQ(copy->Count(), 2u);
    EXPECT_EQ(*copy->GetRecord(1), second);
  }
}

TEST(MarginPool, DamagedStoredPoolsRestoreEmpty) {
  struct Case {
    const char* name;
    std::string bytes;
  };
  const Case cases[] = {
      // A count far beyond the bytes left is refused before records are made.
      {"count_beyond_the_input", PoolHeader(1, 0x04000000) + RecordWords(Record(1))},
      {"largest_count", PoolHeader(1, 0xFFFFFFFF) + RecordWords(Record(1))},
      {"last_record_cut_short", PoolHeader(1, 2) + RecordWords(Record(1)) + RecordWords(Record(2)).substr(0, 60)},
      {"other_version", PoolHeader(2, 1) + RecordWords(Record(1))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GMarginPool pool;
    const GMarginRecord held = Record(7);
    pool.Add(&held);
    RestoreContentsFromFileBytes(pool, c.bytes);
    EXPECT_EQ(pool.Count(), 0u);
    GMarginPool streamed;
    streamed.Add(&held);
    RestoreContentsFromStreamBytes(streamed, c.bytes);
    EXPECT_EQ(streamed.Count(), 0u);
  }
}

TEST(MarginPool, PoolsWithEqualKeysAreEqualWhateverTheirRecords) {
  GMarginPool a;
  GMarginPool b;
  const GMarginRecord record = Record(1);
  a.Add(&record);
  EXPECT_TRUE(a.SameContent(b));
  EXPECT_FALSE(a.SameContent(GMarginPool(960)));
}

}  // namespace
