#pragma once

#include <cstdint>
#include <vector>

#include "device/media/media.h"
#include "graphics/clips/transform_attribute.h"

// The geometry of printing several pages on one sheet: how many rows and
// columns of cells the sheet gets and whether it is turned, where each
// cell lies, and how a page is scaled and placed into its cell. Plain
// functions of the sizes, so that the n-up filter and its tests share them.
//
// Sizes are device dots of the sheet's layout medium; a cell's origin is
// counted from the sheet's corner.

// The sheet's unprintable margins.
struct GNupMargins {
  int16_t left = 120;
  int16_t right = 120;
  int16_t top = 120;
  int16_t bottom = 120;

  bool operator==(const GNupMargins&) const = default;
};

// The space left between rows (vertical) and between columns (horizontal).
struct GNupGaps {
  int32_t vertical = 30;
  int32_t horizontal = 30;
};

// The grid chosen for a sheet: rows and columns, the rotation of the sheet
// in degrees and the scale of the grid.
struct GNupGrid {
  int16_t rows = 0;
  int16_t columns = 0;
  int32_t rotation = 0;
  float scale = 0.0F;
};

// One cell of the sheet: its origin and size, and the turn of the page in
// it (degrees).
struct GNupCell {
  int16_t x = 0;
  int16_t y = 0;
  int16_t width = 0;
  int16_t height = 0;
  int32_t rotation = 0;

  bool operator==(const GNupCell&) const = default;
};

// The order in which pages fill the cells.
enum class GNupPageOrder : int16_t {
  kRowsLeftToRight = 0,
  kColumnsTopToBottom = 1,
  kRowsRightToLeft = 2,
  kColumnsRightToLeft = 3,
};

// The grid for n pages (n of at least 2) on a sheet whose layout medium is
// printable over the given size, at the given orientation. The grid is
// rows by columns with rows the largest square root of n; of the four ways
// to lay it (turned or not, rows and columns exchanged) the one whose
// aspect comes nearest the sheet's is taken. A sheet without height, or a
// way whose aspect divides by zero, cannot be measured: such a way is not
// a candidate, and the grid stays unturned when none is.
GNupGrid ChooseNupGrid(int16_t pagesPerSheet, GDotPair printable, const GNupMargins& margins, const GNupGaps& gaps,
                       int32_t sheetOrientation);

// The cells of a rows by columns grid on the printable size, each 2 dots
// inside its share, listed in the page order (an order outside the four
// counts as rows left to right). Empty for a grid without rows or columns.
std::vector<GNupCell> BuildNupCells(const GNupGrid& grid, GNupPageOrder order, GDotPair printable,
                                    const GNupMargins& margins, const GNupGaps& gaps);

// The transform that scales a page uniformly into the cell and centres it
// there, turned by the cell's rotation plus the page's. The page is its
// paper (printable origin and paper size of its medium). A page or cell
// without extent gets scale 0: there is nothing to fit.
GTransformAttribute FitPageIntoCell(const GNupCell& cell, const GMedia& page, int32_t pageRotation);
