// Tests of the TrueType table cache, the glyph cache and its nodes: byte
// ownership, merges, equality, stored forms and refused records.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>

#include "foundation/binary_stream.h"
#include "foundation/persistence.h"
#include "graphics/bitmaps/byte_buffer.h"
#include "graphics/fonts/truetype/glyph_cache.h"
#include "graphics/fonts/truetype/glyph_cache_node.h"
#include "graphics/fonts/truetype/tt_table_cache.h"
#include "graphics/tests/stored_parts.h"
#include "model/testing/round_trip.h"

namespace {

std::unique_ptr<GByteBuffer> Owned(std::string_view bytes) {
  auto* data = new uint8_t[bytes.size()];
  std::copy(bytes.begin(), bytes.end(), data);
  return std::make_unique<GByteBuffer>(data, static_cast<uint32_t>(bytes.size()), true);
}

// A buffer over the caller's bytes, which the cache must copy.
std::unique_ptr<GByteBuffer> Borrowed(std::string& bytes) {
  return std::make_unique<GByteBuffer>(reinterpret_cast<uint8_t*>(bytes.data()), static_cast<uint32_t>(bytes.size()),
                                       false);
}

std::string Text(const GByteBuffer& buffer) {
  return {reinterpret_cast<const char*>(buffer.GetData()), buffer.GetSize()};
}

std::unique_ptr<GGlyphCacheNode> Node(std::string_view outline, std::string_view image = {}) {
  return std::make_unique<GGlyphCacheNode>(outline.empty() ? nullptr : Owned(outline),
                                           image.empty() ? nullptr : Owned(image));
}

std::string Outline(const GGlyphCacheNode& node) {
  const auto outline = node.GetOutline();
  return outline ? Text(*outline) : std::string();
}

std::string Image(const GGlyphCacheNode& node) {
  const auto image = node.GetImage();
  return image ? Text(*image) : std::string();
}

// Restores the object's own contents from a binary stream; answers whether
// the stream was still good afterwards.
bool RestoresFromStream(MPersistentObject& object, const std::string& contents) {
  std::stringbuf channel(contents, std::ios::in | std::ios::binary);
  GBinaryInStream stream(&channel);
  object.RestoreContentsFromStream(stream);
  return stream.IsGood();
}

std::string Repeat(const std::string& part, int count) {
  std::string bytes;
  for (int i = 0; i < count; ++i) bytes += part;
  return bytes;
}

// Two objects and whether they must compare equal (both ways round).
template <typename T>
struct EqualityCase {
  const char* name;
  std::unique_ptr<T> a;
  std::unique_ptr<T> b;
  bool same;
};

template <typename T, size_t N>
void ExpectEquality(const EqualityCase<T> (&cases)[N]) {
  for (const EqualityCase<T>& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.a->SameContent(*c.b), c.same);
    EXPECT_EQ(c.b->SameContent(*c.a), c.same);
  }
}

// The root part as a restore reads it: version 1, the key, serial number 0
// (which keeps the object's own).
std::string RootPart(uint32_t key = 0) { return Words({1, key, 0}); }

TEST(TTTableCache, StoresTakeOwnedBytesOverCopyBorrowedOnesAndCountEveryStore) {
  GTTTableCache cache;
  auto owned = Owned("head");
  const uint8_t* ownedData = owned->GetData();
  cache.Put(0, std::move(owned));
  std::string borrowed = "cmap";
  cache.Put(1, Borrowed(borrowed));
  borrowed[0] = 'X';

  const auto head = cache.Get(0);
  ASSERT_NE(head, nullptr);
  EXPECT_EQ(head->GetData(), ownedData);
  EXPECT_FALSE(head->OwnsData());
  EXPECT_EQ(Text(*head), "head");
  const auto cmap = cache.Get(1);
  ASSERT_NE(cmap, nullptr);
  EXPECT_NE(cmap->GetData(), reinterpret_cast<uint8_t*>(borrowed.data()));
  EXPECT_EQ(Text(*cmap), "cmap");

  cache.Put(0, Owned("HEAD2"));
  EXPECT_EQ(Text(*cache.Get(0)), "HEAD2");
  EXPECT_EQ(cache.GetCount(), 3U);
  EXPECT_EQ(cache.Get(2), nullptr);
}

TEST(TTTableCache, ATableStoredEmptyIsPresentWithLengthZero) {
  struct Case {
    const char* name;
    std::unique_ptr<GByteBuffer> (*buffer)();
  };
  const Case cases[] = {
      {"null_buffer", [] { return std::unique_ptr<GByteBuffer>(); }},
      {"owned_zero_length", [] { return std::make_unique<GByteBuffer>(nullptr, 0, true); }},
      {"borrowed_zero_length", [] { return std::make_unique<GByteBuffer>(nullptr, 0, false); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GTTTableCache cache;
    cache.Put(7, c.buffer());
    const auto table = cache.Get(7);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->GetSize(), 0U);
    EXPECT_EQ(table->GetData(), nullptr);
    EXPECT_TRUE(table->OwnsData());
    EXPECT_EQ(cache.GetCount(), 1U);
  }
}

TEST(TTTableCache, IndicesOutsideTheEntriesStoreNothing) {
  GTTTableCache cache;
  cache.Put(GTTTableCache::kEntryCount, Owned("x"));
  cache.Put(0xFFFFFFFF, Owned("y"));
  EXPECT_EQ(cache.GetCount(), 0U);
  EXPECT_EQ(cache.Get(GTTTableCache::kEntryCount), nullptr);
  EXPECT_TRUE(cache.SameContent(GTTTableCache()));
  cache.Put(GTTTableCache::kEntryCount - 1, Owned("z"));
  EXPECT_EQ(Text(*cache.Get(GTTTableCache::kEntryCount - 1)), "z");
}

TEST(TTTableCache, MergingMovesOnlyEntriesMissingHere) {
  GTTTableCache cache;
  cache.Put(0, Owned("mine"));
  GTTTableCache other;
  other.Put(0, Owned("theirs"));
  other.Put(3, Owned("loca"));
  other.Put(4, nullptr);
  cache.UpdateFrom(other);

  EXPECT_EQ(Text(*cache.Get(0)), "mine");
  EXPECT_EQ(Text(*cache.Get(3)), "loca");
  ASSERT_NE(cache.Get(4), nullptr);
  EXPECT_EQ(cache.Get(4)->GetSize(), 0U);
  EXPECT_EQ(Text(*other.Get(0)), "theirs");
  EXPECT_EQ(other.Get(3), nullptr);
  EXPECT_EQ(other.Get(4), nullptr);
  EXPECT_EQ(cache.GetCount(), 1U);
  EXPECT_EQ(other.GetCount(), 3U);
}

TEST(TTTableCache, EqualityComparesPresenceLengthAndBytes) {
  const auto make = [](const char* bytes, int32_t key = 0) {
    auto cache = std::make_unique<GTTTableCache>();
    cache->SetKey(key);
    if (bytes != nullptr) cache->Put(5, Owned(bytes));
    return cache;
  };
  const EqualityCase<GTTTableCache> cases[] = {
      {"same_bytes", make("abc"), make("abc"), true},
      {"both_empty_tables", make(""), make(""), true},
      {"empty_table_and_absent", make(""), make(nullptr), false},
      {"other_length", make("abc"), make("abcd"), false},
      {"other_byte", make("abc"), make("abd"), false},
      {"other_key", make("abc", 1), make("abc", 2), false},
  };
  ExpectEquality(cases);
  // The store counts are not part of the content.
  auto twice = make("abc");
  twice->Put(5, Owned("abc"));
  EXPECT_TRUE(twice->SameContent(*make("abc")));
  EXPECT_FALSE(make("abc")->SameContent(GGlyphCacheNode()));
}

TEST(TTTableCache, StoredFormHoldsEveryEntryEmptyOnesIncluded) {
  GTTTableCache cache;
  cache.SetKey(7);
  cache.Put(0, Owned("ab"));
  cache.Put(2, nullptr);
  const std::string own = Words({1}) + std::string("\x1A", 1) + Words({2}) + Words({1, 2}) + "ab" + Words({0}) +
                          Words({1, 0}) + Repeat(Words({0}), 23);
  EXPECT_EQ(SaveGraph(StoreForm::kFile, &cache),
            Graph(kGTTTableCacheClassID, Words({1, 7, cache.SerialNumber()}) + own));
  EXPECT_EQ(cache.StoredSize(), 12 + 9 + (2 + 8) + (0 + 8) + 24 * 4U);
  EXPECT_TRUE(RoundTrips(cache));
  EXPECT_TRUE(RoundTrips(GTTTableCache()));

  GTTTableCache restored;
  ASSERT_TRUE(RestoreInPlace(restored, Words({1, 7, 0}) + own));
  EXPECT_EQ(restored.GetCount(), 2U);
  ASSERT_NE(restored.Get(2), nullptr);
  EXPECT_EQ(restored.Get(2)->GetSize(), 0U);
  EXPECT_EQ(restored.Get(1), nullptr);
}

TEST(TTTableCache, ShortRecordsReadWhatTheyHold) {
  // Three entries stored; a flag other than 1 is an absent entry with no
  // length after it.
  GTTTableCache cache;
  cache.Put(20, Owned("old"));
  ASSERT_TRUE(RestoresFromStream(cache, RootPart() + Words({1}) + std::string("\x03", 1) + Words({9}) + Words({2}) +
                                            Words({1, 3}) + "xyz" + Words({0})));
  EXPECT_EQ(cache.GetCount(), 9U);
  EXPECT_EQ(cache.Get(0), nullptr);
  EXPECT_EQ(Text(*cache.Get(1)), "xyz");
  EXPECT_EQ(cache.Get(20), nullptr);
}

TEST(TTTableCache, MalformedRecordsFailTheRestoreAndLeaveAUsableCache) {
  struct Case {
    const char* name;
    std::string own;
  };
  const Case cases[] = {
      {"entry_count_27", Words({1}) + std::string("\x1B", 1) + Words({1}) + Repeat(Words({0}), 27)},
      {"entry_count_255", Words({1}) + std::string("\xFF", 1) + Words({1}) + Repeat(Words({0}), 255)},
      {"length_past_the_end", Words({1}) + std::string("\x1A", 1) + Words({1}) + Words({1, 1000}) + "abc"},
      {"entries_past_the_end", Words({1}) + std::string("\x1A", 1) + Words({1}) + Repeat(Words({0}), 25)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GTTTableCache cache;
    cache.Put(0, Owned("old"));
    EXPECT_FALSE(RestoresFromStream(cache, RootPart() + c.own));
    EXPECT_EQ(cache.Get(0), nullptr);
    EXPECT_TRUE(cache.SameContent(GTTTableCache()));
    cache.Put(0, Owned("new"));
    EXPECT_EQ(Text(*cache.Get(0)), "new");
    EXPECT_TRUE(RoundTrips(cache));
  }
}

TEST(GlyphCacheNode, TakesGivenBytesAndHandsOutViews) {
  std::string image = "pixels";
  auto outline = Owned("outline");
  const uint8_t* outlineData = outline->GetData();
  const GGlyphCacheNode node(std::move(outline), Borrowed(image));
  image[0] = 'X';
  EXPECT_EQ(node.GetOutline()->GetData(), outlineData);
  EXPECT_FALSE(node.GetOutline()->OwnsData());
  EXPECT_EQ(Outline(node), "outline");
  EXPECT_EQ(Image(node), "pixels");
  EXPECT_EQ(node.GetOutlineLength(), 7U);
  EXPECT_EQ(node.GetImageLength(), 6U);

  const GGlyphCacheNode bare(nullptr, std::make_unique<GByteBuffer>(nullptr, 0, true));
  EXPECT_EQ(bare.GetOutline(), nullptr);
  EXPECT_EQ(bare.GetImage(), nullptr);
  EXPECT_EQ(bare.GetOutlineLength(), 0U);
}

TEST(GlyphCacheNode, MergingFillsOnlyWhatIsMissing) {
  struct Case {
    const char* name;
    const char* outline;
    const char* image;
    const char* otherOutline;
    const char* otherImage;
    const char* mergedOutline;
    const char* mergedImage;
  };
  // clang-format off
  const Case cases[] = {
      {"adds_image",       "o1", "",   "o2", "i2", "o1", "i2"},
      {"adds_outline",     "",   "i1", "o2", "i2", "o2", "i1"},
      {"keeps_both",       "o1", "i1", "o2", "i2", "o1", "i1"},
      {"other_has_none",   "o1", "",   "",   "",   "o1", ""},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto node = Node(c.outline, c.image);
    node->UpdateFrom(Node(c.otherOutline, c.otherImage));
    EXPECT_EQ(Outline(*node), c.mergedOutline);
    EXPECT_EQ(Image(*node), c.mergedImage);
  }
}

TEST(GlyphCacheNode, EqualityComparesOutlinesOnly) {
  EXPECT_TRUE(Node("o", "i1")->SameContent(*Node("o", "i2")));
  EXPECT_TRUE(Node("", "i1")->SameContent(*Node("", "")));
  EXPECT_FALSE(Node("o1")->SameContent(*Node("o2")));
  EXPECT_FALSE(Node("o")->SameContent(*Node("oo")));
  auto keyed = Node("o");
  keyed->SetKey(3);
  EXPECT_FALSE(keyed->SameContent(*Node("o")));
}

TEST(GlyphCacheNode, StoredForm) {
  auto node = Node("abc", "z");
  node->SetKey(4);
  const std::string own = Words({1, 3}) + "abc" + Words({1}) + "z";
  EXPECT_EQ(SaveGraph(StoreForm::kFile, node.get()),
            Graph(kGGlyphCacheNodeClassID, Words({1, 4, node->SerialNumber()}) + own));
  EXPECT_EQ(node->StoredSize(), 12 + 12 + 4U);
  EXPECT_TRUE(RoundTrips(*node));
  EXPECT_TRUE(RoundTrips(GGlyphCacheNode()));

  // The image is not part of the content; the restore must bring it back all
  // the same.
  GGlyphCacheNode restored;
  ASSERT_TRUE(RestoreInPlace(restored, Words({1, 4, 0}) + own));
  EXPECT_EQ(Outline(restored), "abc");
  EXPECT_EQ(Image(restored), "z");
}

TEST(GlyphCacheNode, ALengthPastTheEndFailsAndLeavesNoBytes) {
  auto node = Node("old", "old");
  EXPECT_FALSE(RestoresFromStream(*node, RootPart() + Words({1, 2}) + "ab" + Words({500}) + "z"));
  EXPECT_EQ(Outline(*node), "ab");
  EXPECT_EQ(node->GetImage(), nullptr);
}

// The stored size of an empty glyph cache as a graph (start value, class
// ID, contents), of one page, and of a node with a one-byte outline as a new
// object reference in that graph (class ID and contents).
constexpr uint32_t kEmptyCacheSize = 4 + 2 + 12 + 12 + 256 * 4;
constexpr uint32_t kPageSize = 256 * 4;
constexpr uint32_t kOneByteNodeSize = 2 + 12 + 4 + (4 + 1) + 4;

TEST(GlyphCache, PagesAreMadeForTheRangesUsed) {
  GGlyphCache cache;
  EXPECT_EQ(ObjectStoreSize(&cache), kEmptyCacheSize);
  struct Step {
    const char* name;
    uint16_t glyph;
    uint32_t size;
  };
  const Step steps[] = {
      {"first_glyph_of_page_0x12", 0x1234, kEmptyCacheSize + kPageSize + kOneByteNodeSize},
      {"same_page", 0x12FF, kEmptyCacheSize + kPageSize + 2 * kOneByteNodeSize},
      {"next_page", 0x1300, kEmptyCacheSize + 2 * kPageSize + 3 * kOneByteNodeSize},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    cache.Put(s.glyph, Node("x"));
    EXPECT_EQ(ObjectStoreSize(&cache), s.size);
    ASSERT_NE(cache.Get(s.glyph), nullptr);
    EXPECT_EQ(Outline(*cache.Get(s.glyph)), "x");
  }
  EXPECT_EQ(cache.Get(0x1233), nullptr);
  EXPECT_EQ(cache.Get(0x1301), nullptr);
  EXPECT_EQ(cache.Get(0x0034), nullptr);
  EXPECT_EQ(cache.GetCount(), 3U);
  EXPECT_TRUE(RoundTrips(cache));
}

TEST(GlyphCache, ASecondStoreMergesIntoTheFirstNode) {
  GGlyphCache cache;
  cache.Put(0xFFFF, Node("first"));
  GGlyphCacheNode* first = cache.Get(0xFFFF);
  cache.Put(0xFFFF, Node("second", "image"));
  cache.Put(0xFFFF, nullptr);
  EXPECT_EQ(cache.Get(0xFFFF), first);
  EXPECT_EQ(Outline(*first), "first");
  EXPECT_EQ(Image(*first), "image");
  EXPECT_EQ(cache.GetCount(), 2U);
}

TEST(GlyphCache, MergingMovesNodesIntoEmptyPositionsOnly) {
  GGlyphCache cache;
  cache.Put(0x0101, Node("mine"));
  GGlyphCache other;
  other.Put(0x0101, Node("theirs"));
  other.Put(0x0102, Node("new"));
  other.Put(0x0500, Node("far"));
  cache.UpdateFrom(other);

  EXPECT_EQ(Outline(*cache.Get(0x0101)), "mine");
  EXPECT_EQ(Outline(*cache.Get(0x0102)), "new");
  EXPECT_EQ(Outline(*cache.Get(0x0500)), "far");
  EXPECT_EQ(Outline(*other.Get(0x0101)), "theirs");
  EXPECT_EQ(other.Get(0x0102), nullptr);
  EXPECT_EQ(other.Get(0x0500), nullptr);
  EXPECT_EQ(cache.GetCount(), 1U);
  cache.UpdateFrom(cache);
  EXPECT_EQ(Outline(*cache.Get(0x0102)), "new");
}

TEST(GlyphCache, EqualityGoesPageByPageAndNodeByNode) {
  // A page whose nodes were all moved away stays present.
  const auto emptiedPage = [] {
    auto cache = std::make_unique<GGlyphCache>();
    cache->Put(0x0305, Node("o"));
    GGlyphCache().UpdateFrom(*cache);
    return cache;
  };
  const auto with = [](uint16_t glyph, const char* outline, const char* image = "") {
    auto cache = std::make_unique<GGlyphCache>();
    cache->Put(glyph, Node(outline, image));
    return cache;
  };
  const EqualityCase<GGlyphCache> cases[] = {
      {"both_empty", std::make_unique<GGlyphCache>(), std::make_unique<GGlyphCache>(), true},
      {"page_on_one_side_only", emptiedPage(), std::make_unique<GGlyphCache>(), false},
      {"both_pages_emptied", emptiedPage(), emptiedPage(), true},
      {"node_on_one_side_only", with(0x0305, "o"), emptiedPage(), false},
      {"other_outline", with(0x0305, "o"), with(0x0305, "p"), false},
      {"other_image_only", with(0x0305, "o", "i"), with(0x0305, "o", "j"), true},
      {"other_position", with(0x0305, "o"), with(0x0306, "o"), false},
  };
  ExpectEquality(cases);
}

TEST(GlyphCache, CopiesOwnTheirNodes) {
  GGlyphCache cache;
  cache.Put(0x0041, Node("a"));
  const std::unique_ptr<GGlyphCache> copy(static_cast<GGlyphCache*>(cache.Clone()));
  EXPECT_TRUE(copy->SameContent(cache));
  EXPECT_NE(copy->Get(0x0041), cache.Get(0x0041));
  EXPECT_EQ(copy->GetCount(), 1U);
  cache.Put(0x0041, Node("", "image"));
  EXPECT_EQ(copy->Get(0x0041)->GetImage(), nullptr);
}

TEST(GlyphCache, StoredForm) {
  GGlyphCache cache;
  cache.SetKey(9);
  cache.Put(0x0001, Node("ab"));
  const GGlyphCacheNode& node = *cache.Get(0x0001);
  const std::string nodeOwn = Words({1, 0, node.SerialNumber(), 1, 2}) + "ab" + Words({0});
  const std::string own = Words({1}) + Shorts({256, 256}) + Words({1}) + Words({1}) + Words({0, 1}) +
                          Shorts({kGGlyphCacheNodeClassID}) + nodeOwn + Repeat(Words({0}), 254) +
                          Repeat(Words({0}), 255);
  EXPECT_EQ(SaveGraph(StoreForm::kFile, &cache), Graph(kGGlyphCacheClassID, Words({1, 9, cache.SerialNumber()}) + own));
  EXPECT_TRUE(RoundTrips(GGlyphCache()));

  GGlyphCache restored;
  ASSERT_TRUE(RestoreInPlace(restored, Words({1, 9, 0}) + own));
  EXPECT_TRUE(restored.SameContent(cache));
  EXPECT_EQ(restored.GetCount(), 1U);
}

TEST(GlyphCache, ShortRecordsReadWhatTheyHoldAndMakePagesAtTheirFirstNode) {
  const std::string node = Shorts({kGGlyphCacheNodeClassID}) + RootPart() + Words({1, 1}) + "q" + Words({0});
  // Two pages of three positions: page 0 present without nodes, page 1 with
  // a node at position 2; a flag of 2 reads as absent.
  const std::string own = Words({1}) + Shorts({2, 3}) + Words({5}) + Words({1, 0, 2, 0}) + Words({1, 0, 0, 1}) + node;
  GGlyphCache cache;
  cache.Put(0x0000, Node("old"));
  ASSERT_TRUE(RestoreInPlace(cache, RootPart() + own));
  EXPECT_EQ(cache.GetCount(), 5U);
  EXPECT_EQ(cache.Get(0x0000), nullptr);
  ASSERT_NE(cache.Get(0x0102), nullptr);
  EXPECT_EQ(Outline(*cache.Get(0x0102)), "q");
  EXPECT_EQ(ObjectStoreSize(&cache), kEmptyCacheSize + kPageSize + kOneByteNodeSize);
}

TEST(GlyphCache, MalformedRecordsFailTheRestoreAndLeaveAUsableCache) {
  struct Case {
    const char* name;
    std::string own;
  };
  const std::string tableCache =
      Shorts({kGTTTableCacheClassID}) + RootPart() + Words({1}) + std::string("\0", 1) + Words({0});
  const Case cases[] = {
      {"pages_257", Words({1}) + Shorts({257, 256}) + Words({0}) + Repeat(Words({0}), 257)},
      {"positions_257", Words({1}) + Shorts({1, 257}) + Words({0}) + Words({1}) + Repeat(Words({0}), 257)},
      {"pages_past_the_end", Words({1}) + Shorts({256, 256}) + Words({0}) + Repeat(Words({0}), 10)},
      {"positions_past_the_end", Words({1}) + Shorts({1, 256}) + Words({0}) + Words({1}) + Words({0, 0})},
      {"not_a_node", Words({1}) + Shorts({1, 1}) + Words({0}) + Words({1, 1}) + tableCache},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GGlyphCache cache;
    cache.Put(0x0000, Node("old"));
    bool good = true;
    RestoreCollectableInPlace(StoreForm::kFile, Graph(kGGlyphCacheClassID, RootPart() + c.own), &cache, good);
    EXPECT_EQ(cache.Get(0x0000), nullptr);
    EXPECT_TRUE(cache.SameContent(GGlyphCache()));
    EXPECT_EQ(cache.GetCount(), 0U);
    cache.Put(0x0000, Node("new"));
    EXPECT_EQ(Outline(*cache.Get(0x0000)), "new");
    EXPECT_TRUE(RoundTrips(cache));
  }
  // The counts are refused before anything else is read.
  for (const Case& c : {cases[0], cases[1]}) {
    SCOPED_TRACE(c.name);
    GGlyphCache cache;
    EXPECT_FALSE(RestoresFromStream(cache, RootPart() + c.own));
  }
}

}  // namespace
