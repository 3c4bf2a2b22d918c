#include "pipeline/filters/nup_layout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <utility>

namespace {

// Sums and positions of cells are 16-bit device values; what does not fit
// wraps as the device's own arithmetic does.
int16_t Wrap16(int64_t value) { return static_cast<int16_t>(value); }

// The integer quotient, none when the divisor is zero.
std::optional<int64_t> Quotient(int64_t dividend, int64_t divisor) {
  if (divisor == 0) return std::nullopt;
  return dividend / divisor;
}

// extent / count / whole at double precision, rounded once to a float;
// 0 for a negative result or a zero divisor.
float Share(int64_t extent, int64_t count, int64_t whole) {
  if (count == 0 || whole == 0) return 0.0F;
  const auto share =
      static_cast<float>(static_cast<double>(extent) / static_cast<double>(count) / static_cast<double>(whole));
  return share < 0.0F ? 0.0F : share;
}

// The ways to lay the grid, in the order the candidates are measured.
enum class Way { kTurnedExchanged = 0, kAsItIs = 1, kUprightExchanged = 2, kQuarterTurn = 3 };

// The index of the aspect nearest the sheet's; on a tie the first. None
// when the sheet or every aspect cannot be measured.
std::optional<Way> NearestWay(std::optional<int64_t> sheetAspect,
                              const std::array<std::optional<int64_t>, 4>& aspects) {
  if (!sheetAspect) return std::nullopt;
  std::optional<Way> nearest;
  int64_t nearestDistance = 0;
  for (size_t index = 0; index < aspects.size(); ++index) {
    if (!aspects[index]) continue;
    const int64_t distance = std::llabs(*aspects[index] - *sheetAspect);
    if (!nearest || distance < nearestDistance) {
      nearest = static_cast<Way>(index);
      nearestDistance = distance;
    }
  }
  return nearest;
}

// The cell positions (row, column) in the order the pages fill them.
std::vector<std::pair<int32_t, int32_t>> FillingOrder(int32_t rows, int32_t columns, GNupPageOrder order) {
  std::vector<std::pair<int32_t, int32_t>> positions;
  positions.reserve(static_cast<size_t>(rows) * static_cast<size_t>(columns));
  const bool byColumns = order == GNupPageOrder::kColumnsTopToBottom || order == GNupPageOrder::kColumnsRightToLeft;
  const bool rightToLeft = order == GNupPageOrder::kRowsRightToLeft || order == GNupPageOrder::kColumnsRightToLeft;
  const int32_t outerCount = byColumns ? columns : rows;
  const int32_t innerCount = byColumns ? rows : columns;
  for (int32_t outer = 0; outer < outerCount; ++outer) {
    for (int32_t inner = 0; inner < innerCount; ++inner) {
      int32_t row = byColumns ? inner : outer;
      int32_t column = byColumns ? outer : inner;
      if (rightToLeft) column = columns - 1 - column;
      positions.emplace_back(row, column);
    }
  }
  return positions;
}

// A turn of the page as one of the four quarter turns; other angles are
// placed as if upright.
int32_t QuarterTurn(int32_t angle) { return angle == 90 || angle == 180 || angle == 270 ? angle : 0; }

int32_t Truncated(float value) { return static_cast<int32_t>(std::trunc(value)); }

}  // namespace

GNupGrid ChooseNupGrid(int16_t pagesPerSheet, GDotPair printable, const GNupMargins& margins, const GNupGaps& gaps,
                       int32_t sheetOrientation) {
  GNupGrid grid;
  if (pagesPerSheet < 2) return grid;
  int64_t rows = 1;
  while ((rows + 1) * (rows + 1) <= pagesPerSheet) ++rows;
  int64_t columns = pagesPerSheet / rows + (pagesPerSheet % rows != 0 ? 1 : 0);

  const int64_t width = printable.x;
  const int64_t height = printable.y;
  int64_t innerWidth = width - margins.left - margins.right;
  int64_t innerHeight = height - margins.bottom - margins.top;
  const int64_t gx = gaps.horizontal;
  const int64_t gy = gaps.vertical;
  const std::optional<int64_t> sheetAspect = Quotient(width * 1000, height);
  const std::array<std::optional<int64_t>, 4> aspects = {
      Quotient(columns * (innerWidth + (1 - rows) * gx) * 1000, (innerHeight + (1 - columns) * gy) * rows),
      Quotient((innerWidth + (1 - columns) * gx) * columns * 1000, (innerHeight + (1 - rows) * gy) * rows),
      Quotient((innerHeight + (1 - rows) * gx) * columns * 1000, (innerWidth + (1 - columns) * gy) * rows),
      Quotient((innerHeight + (1 - columns) * gx) * rows * 1000, (innerWidth + (1 - rows) * gy) * columns),
  };

  const std::optional<Way> way = NearestWay(sheetAspect, aspects);
  switch (way.value_or(Way::kAsItIs)) {
    case Way::kTurnedExchanged:
      grid.rotation = sheetOrientation % 180;
      std::swap(rows, columns);
      break;
    case Way::kAsItIs:
      grid.rotation = sheetOrientation % 180;
      break;
    case Way::kUprightExchanged:
      grid.rotation = 0;
      std::swap(innerWidth, innerHeight);
      std::swap(rows, columns);
      break;
    case Way::kQuarterTurn:
      grid.rotation = 90;
      std::swap(innerWidth, innerHeight);
      break;
  }
  grid.rows = static_cast<int16_t>(rows);
  grid.columns = static_cast<int16_t>(columns);

  if (rows * columns > 1) {
    innerHeight += (1 - rows) * gy;
    innerWidth += (1 - columns) * gx;
    const bool heightBound = way && sheetAspect && *sheetAspect < *aspects[static_cast<size_t>(*way)];
    grid.scale = heightBound ? Share(innerHeight, rows, height) : Share(innerWidth, columns, width);
  }
  return grid;
}

std::vector<GNupCell> BuildNupCells(const GNupGrid& grid, GNupPageOrder order, GDotPair printable,
                                    const GNupMargins& margins, const GNupGaps& gaps) {
  if (grid.rows <= 0 || grid.columns <= 0) return {};
  const int64_t rows = grid.rows;
  const int64_t columns = grid.columns;
  const int64_t width = (printable.x + gaps.horizontal * (1 - columns) - margins.left - margins.right) / columns - 4;
  const int64_t height = (printable.y + gaps.vertical * (1 - rows) - margins.top - margins.bottom) / rows - 4;
  std::vector<GNupCell> cells;
  for (const auto& [row, column] : FillingOrder(grid.rows, grid.columns, order)) {
    cells.push_back(GNupCell{Wrap16(column * (width + gaps.horizontal) + margins.left + 2),
                             Wrap16(row * (height + gaps.vertical) + margins.top + 2), Wrap16(width), Wrap16(height),
                             0});
  }
  return cells;
}

GTransformAttribute FitPageIntoCell(const GNupCell& cell, const GMedia& page, int32_t pageRotation) {
  const int32_t angle = NormalizeAngle(cell.rotation + pageRotation);
  const int32_t turn = QuarterTurn(angle);
  const GDotPair origin = page.GetPrintableOrigin();
  const GDotPair paper = page.GetPaperSize();
  const bool upright = turn == 0 || turn == 180;
  const int32_t w = upright ? paper.x : paper.y;
  const int32_t h = upright ? paper.y : paper.x;

  float s = 0.0F;
  if (w > 0 && h > 0 && cell.width > 0 && cell.height > 0) {
    s = std::min(static_cast<float>(cell.width) / static_cast<float>(w),
                 static_cast<float>(cell.height) / static_cast<float>(h));
  }
  const float mx = (static_cast<float>(cell.width) - static_cast<float>(w) * s) * 0.5F;
  const float my = (static_cast<float>(cell.height) - static_cast<float>(h) * s) * 0.5F;
  const float px = static_cast<float>(origin.x) * s;
  const float py = static_cast<float>(origin.y) * s;

  int32_t x = cell.x;
  int32_t y = cell.y;
  switch (turn) {
    case 90:
      y += cell.height;
      x += Truncated(mx + py);
      y += Truncated(-my - px);
      break;
    case 180:
      x += cell.width;
      y += cell.height;
      x -= Truncated(mx + px);
      y += Truncated(-my - py);
      break;
    case 270:
      x += cell.width;
      x -= Truncated(mx + py);
      y += Truncated(my + px);
      break;
    default:
      x += Truncated(mx + px);
      y += Truncated(my + py);
      break;
  }
  return GTransformAttribute(static_cast<int16_t>(angle), GPoint{Wrap16(x), Wrap16(y)}, GScale{s, s});
}
