// Where the page filters put a page's drawing on the sheet, read back from
// the PCL XL stream: an n-up filter or the symmetrical-duplex filter stands
// in front of the printer, every logical page draws one rectangle over its
// printable area, and the geometry decoder finds where each lands.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <set>
#include <vector>

#include "device/media/media.h"
#include "device/testing/test_device_tree.h"
#include "graphics/commands/document_command.h"
#include "graphics/commands/page_command.h"
#include "graphics/display/rectangle_graphic.h"
#include "graphics/testing/letter_device.h"
#include "graphics/testing/test_graphics_device.h"
#include "model/attributes/attribute_composite.h"
#include "model/attributes/state.h"
#include "pclxl/borzan/borzan.h"
#include "pclxl/testing/borzan_job.h"
#include "pclxl/testing/xl_geometry.h"
#include "pipeline/filters/nup_filter.h"
#include "pipeline/filters/symetrical_duplex_filter.h"

namespace {

using namespace xl_job;
using xl_geometry::Box;

GPageStart* NewPage(GMedia* medium, int16_t duplex = 0) {
  auto* state = new GState(GPeripheral::kPageStateKey);
  state->AddChild(medium);
  AddValue(*state, GNupFilter::kOrientationKey, 0);
  AddValue(*state, GNupFilter::kDuplexKey, duplex);
  AddValue(*state, 258, kUpperTray);
  return new GPageStart(state, 0);
}

// Prints the pages, each one rectangle over the area given, and answers
// the geometry of the sheets.
xl_geometry::Geometry PrintPages(Job& job, GState* settings, GGraphicsDevice& device, int32_t pages,
                                 const GRectangle& area, const std::function<GMedia*()>& medium, int16_t duplex = 0) {
  EXPECT_EQ(job.Start({}, settings, nullptr, &device), 0);
  for (int32_t page = 0; page < pages; ++page) {
    EXPECT_EQ(job.Process(NewPage(medium(), duplex)), 0);
    EXPECT_EQ(job.Process(new GRectangleGraphic(area, nullptr, 0)), 0);
    EXPECT_EQ(job.Process(new GPageEnd(new GState(GPeripheral::kPageStateKey), 0)), 0);
  }
  EXPECT_EQ(job.End(), 0);
  const strict_pclxl::ReadResult read = job.Read();
  EXPECT_TRUE(read.Ok()) << strict_pclxl::Disassemble(read);
  return xl_geometry::Decode(read);
}

// The boxes painted on each sheet, in the order painted.
std::vector<std::vector<Box>> PaintedBoxes(const xl_geometry::Geometry& geometry) {
  std::vector<std::vector<Box>> sheets;
  for (const xl_geometry::Page& page : geometry.pages) {
    std::vector<Box>& boxes = sheets.emplace_back();
    for (const xl_geometry::Path& path : page.paths) {
      if (path.closedBy == "PaintPath" && !path.figures.empty()) boxes.push_back(path.figures.back().bounds);
    }
  }
  return sheets;
}

size_t Distinct(const std::vector<Box>& boxes, double Box::*side) {
  std::set<int64_t> values;
  for (const Box& box : boxes) values.insert(static_cast<int64_t>(std::llround(box.*side)));
  return values.size();
}

bool Overlap(const Box& a, const Box& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

GState* NupSettings(int16_t pagesPerSheet) {
  auto* state = new GState(GPeripheral::kDocumentStateKey);
  GAttributeComposite* group = AddGroup(*state, GNupFilter::kNupGroupKey);
  AddValue(*group, GNupFilter::kPagesPerSheetKey, pagesPerSheet);
  AddValue(*group, GNupFilter::kPageOrderKey, 0);
  AddValue(*group, GNupFilter::kBordersKey, 0);
  state->AddChild(NewLetter(0, GNupFilter::kMediumKey));
  AddValue(*state, GNupFilter::kOrientationKey, 0);
  AddValue(*state, GNupFilter::kDuplexKey, 0);
  return state;
}

// Each logical page fills one cell: the cells form the grid, left to right
// and top to bottom, the same size and shape as the page scaled, apart
// from each other and inside the sheet's printable area.
TEST(PagePlacement, NupCellsLandInTheirGridOnTheSheet) {
  struct Case {
    const char* name;
    int16_t pagesPerSheet;
    size_t columns;
    size_t rows;
    // The first cell's top-left corner and the scale of every page.
    double left;
    double top;
    double scale;
    // The sheet's printable area: 2 and 6 turn the sheet.
    double sheetWidth;
    double sheetHeight;
  };
  const Case cases[] = {
      {"two_up", 2, 2, 1, 162, 516, 0.60411763, 6400, 4900},
      {"four_up", 4, 2, 2, 147, 179, 0.45705882, 4900, 6400},
      {"six_up", 6, 3, 2, 257, 137, 0.35318181, 6400, 4900},
      {"nine_up", 9, 3, 3, 132, 155, 0.30235294, 4900, 6400},
      {"sixteen_up", 16, 4, 4, 124, 143, 0.22509804, 4900, 6400},
  };
  const GRectangle area{0, 0, static_cast<int16_t>(kLetterPrintable.x), static_cast<int16_t>(kLetterPrintable.y)};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LetterDevice device;
    const GObjectRef generatorHeld(NewGenerator(nullptr, PrinterConfiguration()));
    GBorzan& generator = static_cast<GBorzan&>(*generatorHeld);
    Job job(new GNupFilter(RWCString("n-up"), nullptr, nullptr, 9, nullptr), generator);
    const xl_geometry::Geometry geometry = PrintPages(job, NupSettings(c.pagesPerSheet), device, c.pagesPerSheet, area,
                                                      [] { return NewLetter(0, GNupFilter::kMediumKey); });
    ASSERT_TRUE(geometry.Ok()) << geometry.error;
    const std::vector<std::vector<Box>> sheets = PaintedBoxes(geometry);
    ASSERT_EQ(sheets.size(), 1u);
    const std::vector<Box>& cells = sheets[0];
    ASSERT_EQ(cells.size(), static_cast<size_t>(c.pagesPerSheet));

    EXPECT_NEAR(cells[0].left, c.left, 0.01);
    EXPECT_NEAR(cells[0].top, c.top, 0.01);
    EXPECT_EQ(Distinct(cells, &Box::left), c.columns);
    EXPECT_EQ(Distinct(cells, &Box::top), c.rows);
    for (size_t i = 0; i < cells.size(); ++i) {
      SCOPED_TRACE(i);
      const Box& cell = cells[i];
      EXPECT_NEAR(cell.right - cell.left, kLetterPrintable.x * c.scale, 0.01);
      EXPECT_NEAR(cell.bottom - cell.top, kLetterPrintable.y * c.scale, 0.01);
      EXPECT_GE(cell.left, 0);
      EXPECT_GE(cell.top, 0);
      EXPECT_LE(cell.right, c.sheetWidth);
      EXPECT_LE(cell.bottom, c.sheetHeight);
      if (i == 0) continue;
      const Box& before = cells[i - 1];
      const bool nextInRow = cell.top == before.top && cell.left > before.right;
      const bool nextRow = cell.top > before.bottom && cell.left == cells[0].left;
      EXPECT_TRUE(nextInRow || nextRow);
      for (size_t j = 0; j < i; ++j) EXPECT_FALSE(Overlap(cell, cells[j]));
    }
  }
}

// The symmetrical-duplex filter evens the margins of a medium whose right
// margin is 500 dots smaller than its left: every page is scaled by 0.875
// and moved to (532, 375).
TEST(PagePlacement, SymmetricalDuplexScalesAndCentresEveryPage) {
  TestDeviceTree tree = MakeDeviceTree();
  AddValue(*tree.configuration, GSymetricalDuplexFilter::kSupportedKey, 1);
  TestGraphicsDevice device;
  device.SetSettingsRoot(std::move(tree.root));
  auto* settings = new GState(GPeripheral::kDocumentStateKey);
  AddValue(*settings, GSymetricalDuplexFilter::kDuplexKey, 1);
  AddValue(*settings, GSymetricalDuplexFilter::kNoScalingKey, 0);
  const GObjectRef generatorHeld(NewGenerator(nullptr, PrinterConfiguration()));
  GBorzan& generator = static_cast<GBorzan&>(*generatorHeld);
  Job job(new GSymetricalDuplexFilter(RWCString("duplex"), nullptr, nullptr, 0), generator);

  const auto uneven = [] {
    std::unique_ptr<GMedia> medium = MakeMedium(kLetter, {5000, 6000}, {4000, 5600}, {250, 200});
    medium->SetKey(GSymetricalDuplexFilter::kMediumKey);
    return medium.release();
  };
  const xl_geometry::Geometry geometry = PrintPages(job, settings, device, 2, GRectangle{0, 0, 4000, 5600}, uneven, 1);
  ASSERT_TRUE(geometry.Ok()) << geometry.error;
  const std::vector<std::vector<Box>> sheets = PaintedBoxes(geometry);
  ASSERT_EQ(sheets.size(), 2u);
  for (const std::vector<Box>& boxes : sheets) {
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], (Box{532, 375, 532 + 3500, 375 + 4900}));
  }
}

}  // namespace
