#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "device/media/media.h"
#include "graphics/clips/transform_attribute.h"
#include "model/attributes/peripheral.h"
#include "pipeline/filters/nup_layout.h"

class GGraphicsDevice;

// Prints several logical pages on one sheet, on the fly. At the job's
// first document start it chooses a grid of cells for the sheet; each page
// start computes the transform that scales the page into its cell. Only
// the first page start and the last page end of a sheet go on (the others
// become GNullCommands), every command's transform gets the cell transform
// composed into it, and each cell can be framed with a border. A sheet
// left partly filled is closed by a page end of the filter's own before
// the document end.
//
// Stored part after the peripheral's: version 3; the margins left, right,
// top and bottom (16-bit each); the vertical and horizontal gaps (32-bit);
// pages per sheet and page order (16-bit); sheet and page orientation
// (16-bit); the borders flag (one byte); the page medium and the layout
// medium as objects. What the job computes (grid, scale, counters, cells,
// page transform) is not stored; a restore clears it.
class GNupFilter : public GPeripheral {
 public:
  // The n-up group in the job state, and its settings.
  static constexpr int32_t kNupGroupKey = 329;
  static constexpr int32_t kPagesPerSheetKey = 266;
  static constexpr int32_t kBordersKey = 267;
  static constexpr int32_t kPageOrderKey = 268;
  // The medium and orientation of a document or page state.
  static constexpr int32_t kMediumKey = 259;
  static constexpr int32_t kOrientationKey = 265;
  // The duplex binding, which turning the sheet flips.
  static constexpr int32_t kDuplexKey = 253;
  // What the filter emulates while it combines pages.
  static constexpr uint32_t kNupFeatures = 42;

  // Two pages per sheet, the default margins and gaps, not ready.
  GNupFilter();
  // Add-on kind 6 and mode 2; keeps the device (not owned).
  GNupFilter(const RWCString& name, GState* initialState, GConfiguration* configuration, int32_t key,
             GGraphicsDevice* device);
  GNupFilter(const GNupFilter& other) = default;

  RWCollectable* NewInstance() const override { return new GNupFilter; }
  RWCollectable* Clone() const override { return new GNupFilter(*this); }
  RWClassID ClassID() const override { return kGNupFilterClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGNupFilterClassID || GPeripheral::IsKindOf(id); }

  // The plain stage's processing, with HandleCommand below.
  GCommand* ProcessCommand(GCommand* command) override { return GPeripheral::ProcessCommand(command); }
  GCommand* ProcessComposite(GCommand* composite) override { return GPeripheral::ProcessComposite(composite); }
  // The peripheral's reset, then the layout's: one page per sheet, not
  // ready.
  void ResetJob() override;
  // Takes every command: sheets are opened and closed, pages placed into
  // their cells; no handler is called.
  GCommand* HandleCommand(GCommand* command) override;
  void PutAttribute(GAttribute*) override {}
  void ApplyChangedAttributes(int32_t) override {}
  int32_t IsScalable() override { return 1; }
  // (0, 0) once the chain's scale is answered; (1, 1) for one page per
  // sheet; otherwise the scale that the page of the page state would get
  // in its cell, after the layout is computed from the job settings.
  std::pair<float, float>& GetScaleFactor(std::pair<float, float>& factor, GState* jobSettings, GState* pageState,
                                          int32_t pageNumber, int32_t* mode) override;
  uint32_t GetEmulatedFeatures() override { return ready_ != 0 && pagesPerSheet_ != 1 ? kNupFeatures : 0; }

  // Every value back to a job with one page per sheet, no device, no
  // cells, not ready.
  virtual void ResetLayout();
  // Pages per sheet, page order and borders from the n-up group of the
  // state; one page per sheet without it.
  virtual void ReadLayoutSettings(GState* state);
  // The sheet and layout media, the sheet orientation and the margins
  // from the medium of the state, when it has one.
  virtual void ReadSheetMedium(GState* state);
  // The job's layout from its settings: the grid and its cells, or the
  // filter switched off for one page per sheet. Ready afterwards.
  virtual void ComputeLayout(GState* state);

  bool IsReady() const { return ready_ != 0; }
  int16_t PagesPerSheet() const { return pagesPerSheet_; }
  int16_t PageCounter() const { return pageCounter_; }
  const GNupGrid& Grid() const { return grid_; }
  int32_t Rotation() const { return grid_.rotation; }
  int32_t SheetOrientation() const { return sheetOrientation_; }
  const GNupMargins& Margins() const { return margins_; }
  const std::vector<GNupCell>& Cells() const { return cells_; }
  const GTransformAttribute& PageTransform() const { return pageTransform_; }
  const GMedia& LayoutMedium() const { return layoutMedium_; }

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  static constexpr uint32_t kVersion = 3;

  // The cell of a position on the sheet; null when there are no cells.
  const GNupCell* CellAt(int32_t position) const;
  // The medium made again for the orientation by the job's device.
  void Resolve(GMedia& medium, int32_t orientation) const;
  // The margins of the layout medium.
  void ReadMargins();
  void StartDocument(GCommand& start);
  GCommand* StartPage(GCommand& start);
  // The first page of a sheet turns the sheet and gives the page state the
  // sheet's orientation and medium.
  void OpenSheet(GState& pageState);
  GCommand* EndPage(GCommand& end);
  // Places the command into the current cell: the page transform composed
  // into its transform, a clip to the page cut to the page's printable
  // size.
  void PlaceCommand(GCommand& command) const;
  // The command that frames the current cell, or carries only the drawing
  // state the frame would have when borders are off.
  GCommand* BorderCommand(const GNupCell& cell) const;

  int32_t ready_ = 0;
  GNupMargins margins_;
  GNupGaps gaps_;
  int16_t pagesPerSheet_ = 2;
  int16_t pageOrder_ = 0;
  int16_t pageCounter_ = 0;
  GNupGrid grid_;
  GTransformAttribute pageTransform_;
  int32_t sheetOrientation_ = 0;
  int32_t pageOrientation_ = 0;
  int32_t borders_ = 0;
  GMedia pageMedium_;
  GMedia layoutMedium_;
  GMedia sheetMedium_;
  std::vector<GNupCell> cells_;
  GGraphicsDevice* device_ = nullptr;
};
