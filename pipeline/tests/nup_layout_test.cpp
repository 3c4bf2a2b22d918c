#include "pipeline/filters/nup_layout.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// A letter sheet at 600 dots per inch with 100-dot margins, upright and
// turned a quarter.
constexpr GDotPair kPortrait{4900, 6400};
constexpr GDotPair kLandscape{6400, 4900};
constexpr GNupMargins kMargins{100, 100, 100, 100};

GMedia LetterPage(GDotPair paper, GDotPair origin) {
  return GMedia(RWCString("letter"), paper, GDotPair{4900, 6400}, origin, 0, 1, 600, 600, 259, 0, nullptr, nullptr);
}

TEST(NupLayout, TheGridIsTheSquareRootOfTheCountLaidTheWayNearestTheSheet) {
  struct Case {
    const char* name;
    int16_t pages;
    GDotPair printable;
    int32_t sheetOrientation;
    int16_t rows;
    int16_t columns;
    int32_t rotation;
    float scale;
  };
  const Case cases[] = {
      // One row of two portrait pages fits a portrait sheet best turned.
      {"two_up_portrait", 2, kPortrait, 0, 1, 2, 90, 0.62959182F},
      {"four_up_portrait", 4, kPortrait, 0, 2, 2, 0, 0.47653061F},
      {"six_up_portrait", 6, kPortrait, 0, 2, 3, 90, 0.36484376F},
      {"nine_up_portrait", 9, kPortrait, 0, 3, 3, 0, 0.31564626F},
      {"sixteen_up_portrait", 16, kPortrait, 0, 4, 4, 0, 0.23520409F},
      // On a landscape sheet two pages stack upright, one over the other.
      {"two_up_landscape", 2, kLandscape, 90, 2, 1, 0, 0.62959182F},
      {"four_up_landscape", 4, kLandscape, 90, 2, 2, 90, 0.47653061F},
      {"six_up_landscape", 6, kLandscape, 90, 3, 2, 0, 0.36484376F},
      {"nine_up_landscape", 9, kLandscape, 90, 3, 3, 90, 0.31564626F},
      {"sixteen_up_landscape", 16, kLandscape, 90, 4, 4, 90, 0.23520409F},
      // A wide strip: the second candidate, whose gaps pair with its own
      // axes, is nearer than the first (4732 against 4801 for 3000).
      {"six_up_wide_strip", 6, GDotPair{9000, 3000}, 0, 2, 3, 0, 0.46166667F},
      {"eight_up_tall_strip", 8, GDotPair{3000, 9000}, 0, 2, 4, 0, 0.48722222F},
      // Nothing to measure: the grid stays as it is; the width alone still
      // gives a scale, (4900 - 200 - 30) / 2 / 4900.
      {"no_printable_area", 4, GDotPair{0, 0}, 0, 2, 2, 0, 0.0F},
      {"no_height_on_a_turned_sheet", 2, GDotPair{4900, 0}, 270, 1, 2, 90, 0.47653061F},
      // Fewer than two pages make no grid.
      {"one_page", 1, kPortrait, 0, 0, 0, 0, 0.0F},
      {"no_pages", 0, kPortrait, 0, 0, 0, 0, 0.0F},
      {"negative_count", -4, kPortrait, 0, 0, 0, 0, 0.0F},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const GNupGrid grid = ChooseNupGrid(c.pages, c.printable, kMargins, GNupGaps(), c.sheetOrientation);
    EXPECT_EQ(grid.rows, c.rows);
    EXPECT_EQ(grid.columns, c.columns);
    EXPECT_EQ(grid.rotation, c.rotation);
    EXPECT_FLOAT_EQ(grid.scale, c.scale);
  }
}

TEST(NupLayout, MarginsEatingTheWholeSheetDoNotDivideByZero) {
  // The printable height equals the margins: some candidates divide by
  // zero and drop out, the others still decide.
  const GNupGrid grid = ChooseNupGrid(2, GDotPair{4900, 200}, kMargins, GNupGaps(), 0);
  EXPECT_EQ(grid.rows * grid.columns, 2);
  EXPECT_GE(grid.scale, 0.0F);
  const GNupGrid zeroGaps = ChooseNupGrid(4, GDotPair{200, 200}, kMargins, GNupGaps{0, 0}, 0);
  EXPECT_EQ(zeroGaps.rows * zeroGaps.columns, 4);
  EXPECT_EQ(zeroGaps.scale, 0.0F);
}

TEST(NupLayout, CellsShareThePrintableAreaInsideMarginsAndGaps) {
  const GNupGrid grid{2, 3, 90, 0.0F};
  const std::vector<GNupCell> cells =
      BuildNupCells(grid, GNupPageOrder::kRowsLeftToRight, kLandscape, kMargins, GNupGaps());
  // (6400 - 2 * 30 - 200) / 3 - 4 wide, (4900 - 30 - 200) / 2 - 4 high,
  // each 2 dots inside the margin.
  const std::vector<GNupCell> expected = {
      {102, 102, 2042, 2331, 0},  {2174, 102, 2042, 2331, 0},  {4246, 102, 2042, 2331, 0},
      {102, 2463, 2042, 2331, 0}, {2174, 2463, 2042, 2331, 0}, {4246, 2463, 2042, 2331, 0},
  };
  EXPECT_EQ(cells, expected);
}

TEST(NupLayout, ThePageOrderFillsTheCellsInItsDirection) {
  struct Case {
    const char* name;
    int16_t order;
    // Cells named by row and column, in the order they are listed.
    std::vector<std::pair<int, int>> positions;
  };
  const Case cases[] = {
      {"rows_left_to_right", 0, {{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}, {1, 2}}},
      {"columns_top_to_bottom", 1, {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {0, 2}, {1, 2}}},
      {"rows_right_to_left", 2, {{0, 2}, {0, 1}, {0, 0}, {1, 2}, {1, 1}, {1, 0}}},
      {"columns_right_to_left", 3, {{0, 2}, {1, 2}, {0, 1}, {1, 1}, {0, 0}, {1, 0}}},
      {"unknown_order_as_rows", 7, {{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}, {1, 2}}},
  };
  const GNupGrid grid{2, 3, 0, 0.0F};
  const std::vector<GNupCell> byRows =
      BuildNupCells(grid, GNupPageOrder::kRowsLeftToRight, kLandscape, kMargins, GNupGaps());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<GNupCell> cells =
        BuildNupCells(grid, static_cast<GNupPageOrder>(c.order), kLandscape, kMargins, GNupGaps());
    ASSERT_EQ(cells.size(), c.positions.size());
    for (size_t index = 0; index < cells.size(); ++index) {
      const auto [row, column] = c.positions[index];
      EXPECT_EQ(cells[index], byRows[static_cast<size_t>(row * 3 + column)]) << "cell " << index;
    }
  }
}

TEST(NupLayout, AGridWithoutRowsOrColumnsHasNoCells) {
  EXPECT_TRUE(BuildNupCells(GNupGrid{}, GNupPageOrder::kRowsLeftToRight, kPortrait, kMargins, GNupGaps()).empty());
}

TEST(NupLayout, APageIsScaledUniformlyIntoItsCellAndCentred) {
  struct Case {
    const char* name;
    GDotPair paper;
    GDotPair origin;
    int32_t rotation;
    GTransformAttribute expected;
  };
  // A cell of a 2-up sheet; a letter page with its printable origin at
  // (100, 100): upright it is bound by the cell's width and centred
  // vertically, turned by its height.
  const GNupCell cell{102, 102, 3081, 4696, 0};
  const Case cases[] = {
      {"upright", {5100, 6600}, {100, 100}, 0, GTransformAttribute(0, {162, 516}, {0.60411763F, 0.60411763F})},
      {"quarter_turn", {5100, 6600}, {100, 100}, 90, GTransformAttribute(90, {148, 3594}, {0.46681818F, 0.46681818F})},
      {"half_turn", {5100, 6600}, {100, 100}, 180, GTransformAttribute(180, {3123, 4384}, {0.60411763F, 0.60411763F})},
      {"three_quarters",
       {5100, 6600},
       {100, 100},
       -90,
       GTransformAttribute(270, {3137, 1306}, {0.46681818F, 0.46681818F})},
      // Wider than the cell: cell width over page width, centred vertically.
      {"wide_page", {6600, 5100}, {0, 0}, 0, GTransformAttribute(0, {102, 1259}, {0.46681818F, 0.46681818F})},
      // Nothing to fit: scale 0 in the middle of the cell, no division by
      // zero.
      {"page_without_paper", {0, 0}, {100, 100}, 0, GTransformAttribute(0, {1642, 2450}, {0.0F, 0.0F})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const GTransformAttribute fitted = FitPageIntoCell(cell, LetterPage(c.paper, c.origin), c.rotation);
    EXPECT_EQ(fitted.GetAngle(), c.expected.GetAngle());
    EXPECT_EQ(fitted.GetOffset(), c.expected.GetOffset());
    EXPECT_FLOAT_EQ(fitted.GetScale().x, c.expected.GetScale().x);
    EXPECT_EQ(fitted.GetScale().x, fitted.GetScale().y);
  }
}

TEST(NupLayout, AnEmptyCellFitsNothing) {
  const GTransformAttribute fitted =
      FitPageIntoCell(GNupCell{10, 20, -4, -4, 0}, LetterPage({5100, 6600}, {100, 100}), 0);
  EXPECT_EQ(fitted.GetScale(), (GScale{0.0F, 0.0F}));
}

}  // namespace
