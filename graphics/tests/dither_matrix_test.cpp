// Tests of the dither matrix (cells, row cursor, search, stored forms), the
// rectangle intersection and the byte buffer.
#include "graphics/bitmaps/dither_matrix.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "graphics/bitmaps/byte_buffer.h"
#include "graphics/bitmaps/rectangle_intersection.h"
#include "graphics/tests/stored_parts.h"
#include "model/attributes/value_attribute.h"
#include "model/testing/round_trip.h"

namespace {

using Bytes = std::vector<uint8_t>;

const uint8_t kCells[] = {0, 1, 2, 3, 4, 5, 6, 7, 10, 11, 12, 13, 14, 15, 16, 17};

TEST(DitherMatrix, CellsOutsideTheMatrixReadZeroAndAreNotWritten) {
  GDitherMatrix matrix(8, 2, kCells, 5, 0);
  EXPECT_EQ(matrix.GetCell(1, 2), 12);
  EXPECT_EQ(matrix.GetCell(2, 0), 0);
  EXPECT_EQ(matrix.GetCell(0, 8), 0);
  matrix.SetCell(0, 8, 99);
  matrix.SetCell(2, 0, 99);
  matrix.SetCell(1, 7, 99);
  Bytes cells(16);
  EXPECT_EQ(matrix.CopyCells(cells.data(), 8, 2), 16U);
  Bytes expected(kCells, kCells + 16);
  expected[15] = 99;
  EXPECT_EQ(cells, expected);
  EXPECT_EQ(GDitherMatrix().GetCell(0, 0), 0);
}

TEST(DitherMatrix, RowsAreRotatedByTheColumn) {
  GDitherMatrix matrix(8, 2, kCells, 5, 0);
  struct Case {
    const char* name;
    uint8_t column;
    uint8_t row;
    Bytes cells;
  };
  // clang-format off
  const Case cases[] = {
      {"column_3",        3, 0, {3, 4, 5, 6, 7, 0, 1, 2}},
      {"column_0_row_1",  0, 1, {10, 11, 12, 13, 14, 15, 16, 17}},
      {"last_column",     7, 1, {17, 10, 11, 12, 13, 14, 15, 16}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes row(8);
    matrix.CopyRow(row.data(), c.column, c.row);
    EXPECT_EQ(row, c.cells);
  }
  matrix.SelectRow(6, 1);
  Bytes walked;
  for (int i = 0; i < 10; ++i) walked.push_back(matrix.NextCell());
  EXPECT_EQ(walked, (Bytes{16, 17, 10, 11, 12, 13, 14, 15, 16, 17}));
}

TEST(DitherMatrix, FindingASharedMatrix) {
  std::vector<GObjectRef> matrices;
  matrices.emplace_back(new GDitherMatrix(1, 1, kCells, 7, 8, 0, 3, 0, 0));       // 0
  matrices.emplace_back(new GDitherMatrix(1, 1, kCells, 7, 8, 2, 3, 0xFFFF, 0));  // 1
  matrices.emplace_back(new GValueAttribute(7, 0));                               // not a matrix
  matrices.emplace_back(new GDitherMatrix(1, 1, kCells, 7, 8, 2, 4, 9, 0));       // 3
  struct Case {
    const char* name;
    uint16_t selectors[5];
    int32_t start;
    bool strict;
    int found;
  };
  // clang-format off
  const Case cases[] = {
      {"zero_selector_3_matches_any",   {7, 8, 5, 3, 1},    -1, false, 0},
      {"search_goes_on_after_start",    {7, 8, 2, 3, 0},    0,  false, 1},
      {"selector_2_must_equal",         {7, 7, 2, 3, 0},    -1, false, -1},
      {"selector_4_differs",            {7, 8, 2, 4, 9},    -1, false, 3},
      {"zero_request_matches_any",      {7, 8, 0, 0, 0},    1,  false, 3},
      {"selector_5_differs",            {7, 8, 2, 4, 8},    -1, false, -1},
      {"strict_wants_all_ones",         {7, 8, 2, 3, 1},    -1, true,  1},
      {"strict_without_one",            {7, 8, 2, 4, 9},    -1, true,  -1},
      {"start_at_the_end",              {7, 8, 0, 0, 0},    3,  false, -1},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const GDitherMatrix* found = FindSharedDitherMatrix(c.selectors[0], c.selectors[1], c.selectors[2], c.selectors[3],
                                                        c.selectors[4], matrices, c.start, c.strict);
    EXPECT_EQ(found, c.found < 0 ? nullptr : matrices[c.found].Get());
  }
}

TEST(DitherMatrix, CopiesEqualityAndStoredForms) {
  GDitherMatrix matrix(2, 2, kCells, 0x0102, 0x0304, 5, 6, 0xFFFF, 40);
  matrix.SetTag(-2);
  const GDitherMatrix copy(matrix);
  EXPECT_EQ(copy.Key(), 0);
  EXPECT_NE(copy.SerialNumber(), matrix.SerialNumber());
  EXPECT_TRUE(copy.SameContent(matrix));
  EXPECT_FALSE(GDitherMatrix(2, 2, kCells, 0x0102, 0).SameContent(GDitherMatrix(2, 2, kCells + 1, 0x0102, 0)));
  EXPECT_FALSE(GDitherMatrix(2, 2, kCells, 1, 0).SameContent(GDitherMatrix(2, 2, kCells, 2, 0)));

  const std::string own = Words({3}) + Shorts({2, 2}) + std::string("\x00\x01\x02\x03", 4) + Shorts({0x0102}) +
                          Words({0xFFFFFFFE}) + Shorts({0x0304, 5, 6, 0xFFFF});
  EXPECT_EQ(SaveGraph(StoreForm::kFile, &matrix),
            Graph(kGDitherMatrixClassID, Words({1, 40, matrix.SerialNumber()}) + own));
  EXPECT_TRUE(RoundTrips(matrix));
  EXPECT_TRUE(RoundTrips(GDitherMatrix()));
}

TEST(DitherMatrix, OlderStoredVersionsReadWhatTheyHold) {
  struct Case {
    const char* name;
    std::string own;
    uint16_t selector2;
    int32_t tag;
  };
  // clang-format off
  const Case cases[] = {
      {"version_1", Words({1}) + Shorts({1, 2}) + std::string("\x09\x08", 2) + Shorts({0x77}),                  0x77, 5},
      {"version_2", Words({2}) + Shorts({1, 2}) + std::string("\x09\x08", 2) + Shorts({0x77}) + Words({11}),    0x77, 11},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GDitherMatrix matrix(1, 1, kCells, 1, 2, 3, 4, 6, 0);
    matrix.SetTag(5);
    EXPECT_TRUE(RestoreInPlace(matrix, Words({1, 0, 0}) + c.own));
    EXPECT_EQ(matrix.GetWidth(), 1);
    EXPECT_EQ(matrix.GetHeight(), 2);
    EXPECT_EQ(matrix.GetCell(1, 0), 8);
    EXPECT_EQ(matrix.GetSelector1(), 0x77);
    EXPECT_EQ(matrix.GetSelector2(), c.selector2);
    EXPECT_EQ(matrix.GetTag(), c.tag);
    EXPECT_EQ(matrix.GetSelector3(), 3);
    EXPECT_EQ(matrix.GetSelector4(), 4);
    EXPECT_EQ(matrix.GetSelector5(), 6);
  }
}

TEST(DitherMatrix, ACellCountBeyondTheStoredBytesIsRefused) {
  GDitherMatrix matrix(1, 1, kCells, 1, 0);
  RestoreInPlace(matrix, Words({1, 0, 0, 3}) + Shorts({255, 255}) + "\x01\x02");
  EXPECT_EQ(matrix.GetWidth(), 1);
  EXPECT_EQ(matrix.GetCell(0, 0), 0);
}

TEST(IntersectRectangles, CommonPartOrZeros) {
  struct Case {
    const char* name;
    GRectangle a;
    GRectangle b;
    GRectangle common;
  };
  // clang-format off
  const Case cases[] = {
      {"overlap",            {0, 0, 10, 10},  {5, -5, 20, 8},  {5, 0, 10, 8}},
      {"inside",             {0, 0, 10, 10},  {2, 3, 4, 5},    {2, 3, 4, 5}},
      {"touching_sides",     {0, 0, 10, 10},  {10, 0, 20, 10}, {0, 0, 0, 0}},
      {"touching_edges",     {0, 0, 10, 10},  {0, 10, 10, 20}, {0, 0, 0, 0}},
      {"apart",              {0, 0, 1, 1},    {-5, -5, -2, -2}, {0, 0, 0, 0}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IntersectRectangles(c.a, c.b), c.common);
    EXPECT_EQ(IntersectRectangles(c.b, c.a), c.common);
  }
}

TEST(ByteBuffer, DetachCloneAndOwnership) {
  uint8_t callers[3] = {1, 2, 3};
  GByteBuffer borrowed(callers, 3, false);
  const std::unique_ptr<uint8_t[]> copy(borrowed.Detach());
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy.get(), callers);
  EXPECT_EQ(std::memcmp(copy.get(), callers, 3), 0);
  EXPECT_FALSE(borrowed.OwnsData());

  const std::unique_ptr<GByteBuffer> clone(borrowed.Clone());
  EXPECT_TRUE(clone->OwnsData());
  EXPECT_EQ(clone->GetSize(), 3U);
  EXPECT_NE(clone->GetData(), callers);

  auto* owned = new uint8_t[2]{7, 8};
  GByteBuffer owning(owned, 2, true);
  const std::unique_ptr<uint8_t[]> handedOver(owning.Detach());
  EXPECT_EQ(handedOver.get(), owned);
  EXPECT_FALSE(owning.OwnsData());

  EXPECT_EQ(GByteBuffer(nullptr, 0, false).Detach(), nullptr);
  EXPECT_TRUE(borrowed.MakeOwned());
  EXPECT_TRUE(borrowed.OwnsData());
  EXPECT_NE(borrowed.GetData(), callers);
  EXPECT_EQ(borrowed.GetData()[2], 3);

  EXPECT_TRUE(GIntKey(4) == GIntKey(4));
  EXPECT_FALSE(GIntKey(4) == GIntKey(5));
}

}  // namespace
