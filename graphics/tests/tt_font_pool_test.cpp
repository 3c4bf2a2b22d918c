// The pool of TrueType fonts and the handles on them: use counts, owners,
// the handle's stored form, a job's saved fonts and their restore, and
// fonts shared by threads.

#include "graphics/fonts/truetype/tt_font_pool.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "foundation/binary_stream.h"
#include "foundation/testing/scratch_files.h"
#include "graphics/fonts/testing/memory_font_data.h"
#include "graphics/fonts/truetype/tt_font_file.h"
#include "graphics/tests/stored_parts.h"
#include "model/os/memory_os_factory.h"
#include "model/testing/registered_classes.h"
#include "model/testing/round_trip.h"

namespace {

using memory_font::CompositeOutline;
using memory_font::SimpleOutline;

// Font data that tells when it is deleted.
class TrackedFont : public MemoryFontData {
 public:
  TrackedFont(uint32_t key, bool& deleted) : MemoryFontData(key), deleted_(deleted) {
    deleted_ = false;
    SetRequiredTables({SimpleOutline(4), CompositeOutline({0})});
  }
  ~TrackedFont() override { deleted_ = true; }

 private:
  bool& deleted_;
};

int16_t Uses(GTTFontFileImp* font) { return font->GetUseCount(); }

// The process's pool for a test, its fonts released at the end.
struct ProcessPool {
  ProcessPool() { GTTFontPool::SetInstance(std::make_unique<GTTFontPool>()); }
  ~ProcessPool() {
    GTTFontPool::Instance()->ReleaseAll();
    GTTFontPool::Destroy();
  }
  GTTFontPool& operator*() const { return *GTTFontPool::Instance(); }
  GTTFontPool* operator->() const { return GTTFontPool::Instance(); }
};

TEST(TTFontPool, HandlesAndTheEntryEachHoldOneUse) {
  GTTFontPool pool;
  bool deleted = false;
  auto* font = new TrackedFont(pool.NextKey(), deleted);
  std::unique_ptr<GTTFontFile> handle(pool.NewFontFile(font));
  EXPECT_EQ(Uses(font), 1);
  EXPECT_EQ(handle->AddUser(9), 1);
  EXPECT_EQ(handle->AddUser(9), 0) << "the key is in the pool already";
  EXPECT_EQ(Uses(font), 2);
  EXPECT_TRUE(font->HasUser(9));
  EXPECT_EQ(pool.Contains(0), 1);
  {
    const std::unique_ptr<GTTFontFile> copy(static_cast<GTTFontFile*>(handle->Clone()));
    EXPECT_EQ(Uses(font), 3);
  }
  EXPECT_EQ(Uses(font), 2);
  EXPECT_EQ(pool.ReleaseKey(0), 1);
  EXPECT_EQ(pool.ReleaseKey(0), 0);
  EXPECT_FALSE(deleted) << "the handle still uses it";
  uint16_t count = 0;
  EXPECT_EQ(handle->GetGlyphCount(0, count), 1);
  handle.reset();
  EXPECT_TRUE(deleted);
}

TEST(TTFontPool, FindAsksForAtLeastTheChangeCount) {
  GTTFontPool pool;
  bool deleted = false;
  auto* font = new TrackedFont(5, deleted);
  ASSERT_EQ(pool.Add(font), 1);
  font->SetChangeCount(7);
  struct Case {
    const char* name;
    uint32_t key;
    uint32_t minimum;
    bool found;
  };
  const Case cases[] = {
      {"poorer", 5, 6, true}, {"as_rich", 5, 7, true}, {"richer", 5, 8, false}, {"other_key", 6, 0, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int16_t before = Uses(font);
    GTTFontFileImp* found = pool.Find(c.key, c.minimum);
    EXPECT_EQ(found, c.found ? font : nullptr);
    EXPECT_EQ(Uses(font), before + (c.found ? 1 : 0));
  }
  EXPECT_EQ(pool.Remove(5), font);
  EXPECT_EQ(pool.Contains(5), 0);
  EXPECT_EQ(Uses(font), 3);
  delete font;
}

TEST(TTFontPool, ReleaseOwnerDeletesOnlyFontsWhoseLastOwnerLeavesAndOnlyThePoolUses) {
  GTTFontPool pool;
  bool sharedDeleted = false;
  bool heldDeleted = false;
  auto* shared = new TrackedFont(1, sharedDeleted);
  auto* held = new TrackedFont(2, heldDeleted);
  pool.Add(shared);
  pool.Add(held);
  shared->AddOwner(7);
  shared->AddOwner(8);
  held->AddOwner(7);
  std::unique_ptr<GTTFontFile> handle(pool.NewFontFile(held));

  pool.ReleaseOwner(7);
  EXPECT_FALSE(sharedDeleted) << "owner 8 still has it";
  EXPECT_FALSE(heldDeleted) << "a handle still uses it";
  EXPECT_EQ(pool.Contains(2), 1);
  pool.ReleaseOwner(8);
  EXPECT_TRUE(sharedDeleted);
  EXPECT_EQ(pool.Contains(1), 0);
  handle.reset();
  EXPECT_FALSE(heldDeleted) << "the pool's entry still uses it";
  EXPECT_EQ(pool.ReleaseKey(2), 1);
  EXPECT_TRUE(heldDeleted);
}

TEST(TTFontPool, ClearLeavesFontsOfLiveHandlesUsable) {
  GTTFontPool pool;
  bool usedDeleted = false;
  bool unusedDeleted = false;
  auto* used = new TrackedFont(pool.NextKey(), usedDeleted);
  auto* unused = new TrackedFont(pool.NextKey(), unusedDeleted);
  std::unique_ptr<GTTFontFile> handle(pool.NewFontFile(used));
  handle->AddUser(3);
  pool.Add(unused);
  pool.Clear();
  EXPECT_EQ(pool.Contains(0), 0);
  EXPECT_EQ(pool.NextKey(), 0u);
  EXPECT_TRUE(unusedDeleted);
  EXPECT_FALSE(usedDeleted);
  std::unique_ptr<GByteBuffer> outline;
  EXPECT_NE(handle->GetGlyphData(0, true, 0, outline), 0u);
  handle.reset();
  EXPECT_TRUE(usedDeleted);
}

TEST(TTFontPool, AttachedObjectsGoWithTheirFontsLastHandle) {
  struct Attached : GTTAttachedObject {
    Attached(const GTTFontFileImp* font, bool& gone) : font_(font), gone_(gone) { gone_ = false; }
    ~Attached() override { gone_ = true; }
    const GTTFontFileImp* GetFontData() const override { return font_; }
    const GTTFontFileImp* font_;
    bool& gone_;
  };
  GTTFontPool pool;
  bool deleted = false;
  bool gone = false;
  auto* font = new TrackedFont(4, deleted);
  pool.Attach(std::make_unique<Attached>(font, gone));
  std::unique_ptr<GTTFontFile> handle(pool.NewFontFile(font));
  handle->AddUser(1);
  handle.reset();
  EXPECT_TRUE(gone);
  EXPECT_FALSE(deleted);
  pool.ReleaseAll();
  EXPECT_TRUE(deleted);
}

TEST(TTFontFileHandle, RoundTripsAndFindsItsFontAgain) {
  const ProcessPool pool;
  auto* font = new MemoryFontData(12);
  font->SetRequiredTables({SimpleOutline(4)});
  std::unique_ptr<GTTFontFile> handle(pool->NewFontFile(font));
  handle->AddUser(1);
  handle->Preload(0, 0);
  EXPECT_TRUE(RoundTrips(*handle));
  EXPECT_TRUE(RoundTrips(GTTFontFile()));
}

TEST(TTFontFileHandle, StoredFormCarriesKeyAndChangeCountOrTheirSentinels) {
  const ProcessPool pool;
  auto* font = new MemoryFontData(0x0A0B0C0D);
  font->SetChangeCount(3);
  pool->Add(font);
  std::unique_ptr<GTTFontFile> handle(pool->NewFontFile(font));
  const std::string root = SaveContentsToFileBytes(*handle).substr(0, 12);
  EXPECT_EQ(SaveContentsToFileBytes(*handle), root + Words({1, 0x0A0B0C0D, 3}));
  EXPECT_EQ(SaveContentsToFileBytes(GTTFontFile()).substr(12), Words({1, 0xFFFFFFFF, 0xFFFFFFFF}));

  struct Case {
    const char* name;
    uint32_t key;
    uint32_t changeCount;
    bool found;
  };
  const Case cases[] = {{"as_rich", 0x0A0B0C0D, 3, true},
                        {"richer_than_the_pool", 0x0A0B0C0D, 4, false},
                        {"no_font", 0xFFFFFFFF, 0xFFFFFFFF, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GTTFontFile restored;
    const std::string bytes = root + Words({1, c.key, c.changeCount});
    EXPECT_EQ(RestoreContentsFromFileBytes(restored, bytes), bytes.size());
    EXPECT_EQ(restored.GetFontData(), c.found ? font : nullptr);
    if (c.found) continue;
    uint16_t count = 7;
    EXPECT_EQ(restored.GetGlyphCount(0, count), 0);
    std::unique_ptr<GByteBuffer> table;
    EXPECT_EQ(restored.GetTable(0, 0, true, table), 0u);
    EXPECT_EQ(count, 7) << "a handle without font data touches nothing";
  }
}

// The test's OS factory, whose locks are real.
class WithOSFactory {
 public:
  WithOSFactory() : before_(GOSFactory::Instance()) { GOSFactory::SetInstance(&factory_); }
  ~WithOSFactory() { GOSFactory::SetInstance(before_); }
  WithOSFactory(const WithOSFactory&) = delete;
  WithOSFactory& operator=(const WithOSFactory&) = delete;

 private:
  GMemoryOSFactory factory_;
  GOSFactory* before_;
};

std::string SavedBytes(GTTFontPool& pool, uint32_t owner, int32_t& answer) {
  const ScratchFile scratch;
  {
    GBinaryFile file(scratch.Path(), "wb");
    answer = pool.SaveToFile(file, owner);
  }
  return scratch.Contents();
}

int32_t Restore(GTTFontPool& pool, const std::string& bytes) {
  const ScratchFile scratch(bytes);
  GBinaryFile file(scratch.Path(), "rb");
  return pool.RestoreFromFile(file);
}

// A font with its tables whose user is the owner, through a handle; the
// pool holds the font, the caller the handle.
std::unique_ptr<GTTFontFile> UsedFont(GTTFontPool& pool, uint32_t key, uint32_t owner, uint32_t changeCount = 0) {
  auto* font = new MemoryFontData(key);
  font->SetRequiredTables({SimpleOutline(4)});
  font->SetChangeCount(changeCount);
  std::unique_ptr<GTTFontFile> handle(pool.NewFontFile(font));
  handle->AddUser(owner);
  return handle;
}

TEST(TTFontPoolSaving, AJobSavesTheFontsItUsedOnceAfterEachUse) {
  const WithOSFactory factory;
  GTTFontPool pool;
  const std::unique_ptr<GTTFontFile> mine = UsedFont(pool, 3, 7);
  const std::unique_ptr<GTTFontFile> other = UsedFont(pool, 4, 8);
  const std::string font = SaveGraph(StoreForm::kFile, mine->GetFontData());

  int32_t answer = 0;
  EXPECT_EQ(SavedBytes(pool, 7, answer), Words({1, 3}) + font);
  EXPECT_EQ(answer, 1);
  EXPECT_FALSE(mine->GetFontData()->IsLocked()) << "the lock taken to write it was let go";
  EXPECT_FALSE(mine->GetFontData()->HasUser(7));
  EXPECT_TRUE(other->GetFontData()->HasUser(8)) << "another job's font stays its to save";

  EXPECT_EQ(SavedBytes(pool, 7, answer), Words({0})) << "nothing used since the last save";
  EXPECT_EQ(answer, 1);
  mine->AddUser(7);
  EXPECT_EQ(SavedBytes(pool, 7, answer), Words({1, 3}) + font) << "used again";
  pool.ReleaseAll();
}

// A saved font meets the pool's font of its key: the newer one wins unless
// handles use the pool's, which then learns the newer change count.
TEST(TTFontPoolRestoring, RestoredFontsMergeWithThePoolsFonts) {
  const WithOSFactory factory;
  struct Case {
    const char* name;
    bool present;
    uint32_t storedChange;
    int handles;
    bool storedStays;
    uint32_t changeAfter;
  };
  // The saved font's change count is 2.
  // clang-format off
  const Case cases[] = {
      {"unknown_key",                    false, 0, 0, false, 2},
      {"newer_over_an_unused_font",      true,  1, 0, false, 2},
      {"newer_over_a_font_two_handles_use", true, 1, 2, true, 2},
      {"older_over_an_unused_font",      true,  3, 0, true,  3},
  };
  // clang-format on
  GTTFontPool source;
  const std::unique_ptr<GTTFontFile> saved = UsedFont(source, 5, 1, 2);
  int32_t answer = 0;
  const std::string bytes = SavedBytes(source, 1, answer);
  ASSERT_EQ(answer, 1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GTTFontPool pool;
    bool deleted = false;
    TrackedFont* stored = nullptr;
    std::vector<std::unique_ptr<GTTFontFile>> handles;
    if (c.present) {
      stored = new TrackedFont(5, deleted);
      stored->SetChangeCount(c.storedChange);
      pool.Add(stored);
      for (int i = 0; i < c.handles; ++i) handles.emplace_back(pool.NewFontFile(stored));
    }
    EXPECT_EQ(Restore(pool, bytes), 1);
    GTTFontFileImp* found = pool.Find(5, 0);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found == stored, c.storedStays);
    EXPECT_EQ(deleted, c.present && !c.storedStays) << "a replaced font is deleted";
    EXPECT_EQ(found->GetChangeCount(), c.changeAfter);
    EXPECT_EQ(Uses(found), 2 + c.handles) << "the pool's use, the handles' and the Find's";
    EXPECT_EQ(pool.Find(5, c.changeAfter + 1), nullptr);
    pool.Release(found);
    handles.clear();
    pool.ReleaseAll();
  }
  source.ReleaseAll();
}

// Only a named-file restore names its job an owner of what it restored; a
// font goes with ReleaseOwner when its last owner leaves.
TEST(TTFontPoolRestoring, ANamedFileRestoreMakesTheJobAnOwner) {
  const WithOSFactory factory;
  const ScratchDirectory directory;
  const RWWString name(directory.File("fonts").c_str());
  GTTFontPool source;
  const std::unique_ptr<GTTFontFile> saved = UsedFont(source, 9, 1);
  ASSERT_EQ(source.SaveToNamedFile(name, 1), 1);

  GTTFontPool pool;
  EXPECT_EQ(pool.RestoreFromNamedFile(name, 5), 1);
  EXPECT_EQ(pool.RestoreFromNamedFile(name, 6), 1) << "the font is there: job 6 joins its owners";
  EXPECT_EQ(pool.RestoreFromNamedFile(RWWString(directory.File("missing").c_str()), 5), 0);
  pool.ReleaseOwner(5);
  EXPECT_EQ(pool.Contains(9), 1);
  pool.ReleaseOwner(6);
  EXPECT_EQ(pool.Contains(9), 0);

  // Without an owner nobody holds a restored font, and any job's release
  // lets it go.
  std::stringbuf channel(std::ios::in | std::ios::out | std::ios::binary);
  GBinaryOutStream out(&channel);
  saved->AddUser(1);
  ASSERT_EQ(source.SaveToStream(out, 1), 1);
  GBinaryInStream in(&channel);
  EXPECT_EQ(pool.RestoreFromStream(in), 1);
  EXPECT_EQ(pool.Contains(9), 1);
  pool.ReleaseOwner(5);
  EXPECT_EQ(pool.Contains(9), 0);
  source.ReleaseAll();
}

TEST(TTFontClasses, TheFactoryMakesTheHandleAndTheFileFontData) {
  const std::array<RWClassID, 2> ids = {kGTTFontFileClassID, kGTTFileFontDataClassID};
  ExpectMadeAsTheClassTableSays(ids);
}

TEST(TTFontPoolThreads, TwoThreadsShareOneFont) {
  GMemoryOSFactory factory;
  GOSFactory* before = GOSFactory::Instance();
  GOSFactory::SetInstance(&factory);
  {
    GTTFontPool pool;
    auto* font = new MemoryFontData(pool.NextKey());
    font->SetRequiredTables({SimpleOutline(4), SimpleOutline(6), CompositeOutline({0, 1})});
    std::unique_ptr<GTTFontFile> first(pool.NewFontFile(font));
    first->AddUser(1);
    std::unique_ptr<GTTFontFile> second(static_cast<GTTFontFile*>(first->Clone()));
    auto work = [](GTTFontFile& handle, bool& ok) {
      ok = true;
      for (int round = 0; round < 200; ++round) {
        std::unique_ptr<GByteBuffer> outline;
        uint16_t advance = 0;
        int16_t bearing = 0;
        ok = ok && handle.LoadGlyph(0, 2, 0, false, 0, nullptr, nullptr) == 1 &&
             handle.GetGlyphData(0, true, static_cast<uint16_t>(round % 3), outline) != 0 &&
             handle.GetHorizontalMetrics(0, 1, advance, bearing) == 1;
      }
    };
    bool firstOk = false;
    bool secondOk = false;
    std::thread one(work, std::ref(*first), std::ref(firstOk));
    std::thread two(work, std::ref(*second), std::ref(secondOk));
    one.join();
    two.join();
    EXPECT_TRUE(firstOk);
    EXPECT_TRUE(secondOk);
    first.reset();
    second.reset();
    pool.ReleaseAll();
  }
  GOSFactory::SetInstance(before);
}

}  // namespace
