#include "graphics/fonts/downloaded_font.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "graphics/fonts/downloaded_font_cache.h"
#include "graphics/fonts/downloaded_font_owner.h"
#include "graphics/fonts/font.h"

namespace {

// Records what the records ask of their generator.
struct RecordingOwner : GDownloadedFontOwner {
  uint32_t ConsumeMemory(uint32_t bytes) override {
    calls.push_back("consume " + std::to_string(bytes));
    return 0;
  }
  uint32_t ReleaseMemory(uint32_t bytes) override {
    calls.push_back("release " + std::to_string(bytes));
    return 0;
  }
  uint16_t DeleteFont(const RWCString& name) override {
    calls.push_back(std::string("delete ") + name.Data());
    return 0;
  }
  std::vector<std::string> calls;
};

struct TestRef : GDownloadedFontRef {
  using GDownloadedFontRef::GDownloadedFontRef;
  GDownloadedFontRef* Duplicate() const override { return new TestRef(&Font()); }
};

// A cache that matches nothing; the tests reach the base's operations.
struct TestCache : GDownloadedFontCache {
  bool Find(GFont&) override { return false; }
};

// A record with one reference, as a generator makes it.
std::unique_ptr<GDownloadedFontRef> Downloaded(RecordingOwner& owner, const char* name, int32_t kind, uint32_t size,
                                               uint32_t stamp) {
  auto font = std::make_unique<TestRef>(new GDownloadedFont(&owner));
  font->SetName(name);
  font->SetDownloadKind(kind);
  if (size != 0) font->AddSize(size);
  font->SetUseStamp(stamp);
  return font;
}

TEST(DownloadedFont, StartsAsNeverSent) {
  GDownloadedFont font(nullptr);
  EXPECT_EQ(font.GetState(), 1);
  EXPECT_EQ(font.GetPrinterFontId(), 0xFFFF);
  EXPECT_EQ(font.GetGlyphCount(), 0);
  EXPECT_EQ(font.GetSize(), 0U);
  EXPECT_EQ(font.GetUseStamp(), 0U);
  EXPECT_EQ(font.GetDownloadKind(), 0);
  EXPECT_EQ(font.GetDeviceFont(), nullptr);
  EXPECT_EQ(font.ForEachSentCode([](uint32_t) { return 1; }), 0);
}

TEST(DownloadedFont, UnloadDeletesOnlyFontsNotResidentAndAlwaysGivesTheMemoryBack) {
  struct Case {
    const char* name;
    int32_t kind;
    uint32_t size;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {"outline", GDownloadedFont::kOutlineKind, 300, {"consume 300", "delete F1", "release 300"}},
      {"resident", GDownloadedFont::kResidentKind, 300, {"consume 300", "release 300"}},
      {"generator_kind", 9, 5, {"consume 5", "delete F1", "release 5"}},
      {"takes_no_memory", GDownloadedFont::kBitmapKind, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingOwner owner;
    auto font = Downloaded(owner, "F1", c.kind, c.size, 0);
    font->AddGlyphs(3);
    font->MarkCodeSent(65);
    font->Unload();
    EXPECT_EQ(owner.calls, c.calls);
    EXPECT_EQ(font->GetSize(), 0U);
    EXPECT_EQ(font->GetGlyphCount(), c.size == 0 ? 3 : 0) << "a font taking no memory is left alone";
    EXPECT_EQ(font->IsCodeSent(65), c.size == 0);
    EXPECT_EQ(font->GetState(), 1) << "the record stays";
  }
}

TEST(DownloadedFont, AForgottenRecordNoLongerReachesItsGenerator) {
  RecordingOwner owner;
  auto font = Downloaded(owner, "F1", GDownloadedFont::kOutlineKind, 10, 0);
  font->MarkForgotten();
  font->AddSize(20);
  font->Unload();
  EXPECT_EQ(owner.calls, std::vector<std::string>{"consume 10"});
  EXPECT_EQ(font->GetState(), 0);
  EXPECT_EQ(font->GetSize(), 0U);
}

TEST(DownloadedFontRef, TheRecordLivesAsLongAsAReference) {
  auto* record = new GDownloadedFont(nullptr);
  auto first = std::make_unique<TestRef>(record);
  std::unique_ptr<GDownloadedFontRef> second(first->Duplicate());
  EXPECT_EQ(&second->Font(), record);
  EXPECT_EQ(second->ReferenceCount(), 2);
  first.reset();
  second->SetName("kept");
  second->MarkCodeSent(7);
  EXPECT_EQ(second->ReferenceCount(), 1);
  EXPECT_EQ(second->GetName(), "kept");
  EXPECT_TRUE(record->IsCodeSent(7));
  second.reset();  // deletes the record (ASan tells a leak or a second delete)
}

TEST(DownloadedFontCache, EvictOneUnloadsTheOldestDownloadTakingMemory) {
  struct Font {
    const char* name;
    int32_t kind;
    uint32_t size;
    uint32_t stamp;
  };
  struct Case {
    const char* name;
    std::vector<Font> fonts;
    uint32_t evicted;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {"oldest_of_two_bitmaps", {{"A", 2, 100, 7}, {"B", 2, 200, 3}}, 200, {"delete B", "release 200"}},
      {"resident_and_empty_ignored",
       {{"R", 1, 50, 0}, {"E", 3, 0, 1}, {"O", 3, 70, 9}},
       70,
       {"delete O", "release 70"}},
      {"generator_kinds_ignored", {{"G", 4, 50, 0}}, 0, {}},
      {"first_of_equal_stamps", {{"A", 3, 10, 2}, {"B", 2, 20, 2}}, 10, {"delete A", "release 10"}},
      {"nothing_listed", {}, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingOwner owner;
    TestCache cache;
    uint32_t total = 0;
    for (const Font& f : c.fonts) {
      cache.Add(GFontInfo{}, GFontMetrics{}, Downloaded(owner, f.name, f.kind, f.size, f.stamp));
      total += f.size;
    }
    EXPECT_EQ(cache.GetTotalSize(), total);
    owner.calls.clear();
    EXPECT_EQ(cache.EvictOne(), c.evicted);
    EXPECT_EQ(owner.calls, c.calls);
    EXPECT_EQ(cache.GetTotalSize(), total - c.evicted);
  }
}

TEST(DownloadedFontCache, UnloadAllUnloadsEveryFontAndDestructionForgetsWithoutPrinterTraffic) {
  RecordingOwner owner;
  std::unique_ptr<GDownloadedFontRef> held;
  {
    TestCache cache;
    cache.Add(GFontInfo{}, GFontMetrics{}, Downloaded(owner, "A", 1, 10, 0));
    auto font = Downloaded(owner, "B", 3, 20, 0);
    held.reset(font->Duplicate());
    cache.Add(GFontInfo{}, GFontMetrics{}, std::move(font));
    owner.calls.clear();
    cache.UnloadAll();
    EXPECT_EQ(owner.calls, (std::vector<std::string>{"release 10", "delete B", "release 20"}));
    held->AddSize(5);
    owner.calls.clear();
  }
  EXPECT_TRUE(owner.calls.empty());
  EXPECT_EQ(held->GetState(), 0) << "forgotten, and kept alive by the body's reference";
  EXPECT_EQ(held->ReferenceCount(), 1);
  held->Unload();
  EXPECT_TRUE(owner.calls.empty());
}

}  // namespace
