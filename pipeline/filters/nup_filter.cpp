#include "pipeline/filters/nup_filter.h"

#include <algorithm>

#include "device/driver/tree_lookup.h"
#include "foundation/class_registrar.h"
#include "graphics/attributes/brush.h"
#include "graphics/attributes/fill_mode.h"
#include "graphics/attributes/graphic_bundle.h"
#include "graphics/attributes/pen.h"
#include "graphics/attributes/raster_operation.h"
#include "graphics/clips/clip.h"
#include "graphics/colour/color_paint.h"
#include "graphics/colour/rgb_color.h"
#include "graphics/commands/command_composite.h"
#include "graphics/commands/document_command.h"
#include "graphics/commands/job_commands.h"
#include "graphics/commands/page_command.h"
#include "graphics/device/graphics_device.h"
#include "graphics/display/rectangle_graphic.h"
#include "model/attributes/state.h"
#include "model/attributes/value_attribute.h"
#include "pipeline/filters/page_transform_filter.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GNupFilter>, kGNupFilterClassID, kGNupFilterClassName);

// The pad command, which ends a job list as a document end does.
constexpr RWClassID kPadCommandClassID = 718;
// The mode word of a scale query once the chain's scale is answered.
constexpr int32_t kChainScaleAnswered = 3;
// Size ids that the device's media pool resolves; higher ones are custom
// sizes.
constexpr int16_t kLastPoolSizeId = 0x3FFF;
// What the border of a cell is painted with.
constexpr int16_t kBorderPenWidth = 2;

int16_t Wrap16(int32_t value) { return static_cast<int16_t>(value); }

// The value under the key in the state is set, or added when there is none.
void SetValue(GState& state, int32_t key, int16_t value) {
  if (auto* held = FindAs<GValueAttribute>(&state, key); held != nullptr) {
    held->SetValue(value);
    return;
  }
  state.AddChild(new GValueAttribute(value, key));
}

// Turning the sheet exchanges the binding edges of a duplex job: 1 becomes
// 2, any other duplex value 1; simplex stays.
void FlipDuplexBinding(GState* state) {
  auto* duplex = FindAs<GValueAttribute>(state, GNupFilter::kDuplexKey);
  if (duplex == nullptr || duplex->Value() == 0) return;
  duplex->SetValue(duplex->Value() == 1 ? 2 : 1);
}

// The sheet is turned for two or six pages, where rows and columns trade
// places with the sheet's edges.
bool TurningFlipsBinding(int16_t pagesPerSheet) { return pagesPerSheet == 2 || pagesPerSheet == 6; }

GClipToSingleRectangle* NewRectangleClip(const GRectangle& rectangle) {
  return new GClipToSingleRectangle(rectangle, GClip::kNotSet, GClip::kNotSet, GGraphicBundle::kClipKey);
}

}  // namespace

GNupFilter::GNupFilter() = default;

GNupFilter::GNupFilter(const RWCString& name, GState* initialState, GConfiguration* configuration, int32_t key,
                       GGraphicsDevice* device)
    : GPeripheral(name, initialState, configuration, key, 0, 6, 2), device_(device) {}

void GNupFilter::ResetJob() {
  GPeripheral::ResetJob();
  ResetLayout();
}

void GNupFilter::ResetLayout() {
  ready_ = 0;
  margins_ = GNupMargins();
  gaps_ = GNupGaps();
  pagesPerSheet_ = 1;
  pageOrder_ = 0;
  pageCounter_ = 0;
  grid_ = GNupGrid();
  pageTransform_.SetValues(GTransformAttribute());
  sheetOrientation_ = 0;
  pageOrientation_ = 0;
  borders_ = 0;
  pageMedium_ = GMedia();
  layoutMedium_ = GMedia();
  sheetMedium_ = GMedia();
  device_ = nullptr;
  cells_.clear();
}

// The device's layout-disabled flag is not yet part of its interface: the
// group alone decides. Fewer than two pages per sheet is one.
void GNupFilter::ReadLayoutSettings(GState* state) {
  MPersistentObject* group = state != nullptr ? state->FindByKey(kNupGroupKey) : nullptr;
  if (group == nullptr) {
    pagesPerSheet_ = 1;
    pageOrder_ = 0;
    borders_ = 0;
    return;
  }
  pagesPerSheet_ = std::max<int16_t>(ValueOr(group, kPagesPerSheetKey, 1), 1);
  pageOrder_ = ValueOr(group, kPageOrderKey, 0);
  borders_ = ValueOr(group, kBordersKey, 0);
}

void GNupFilter::ReadSheetMedium(GState* state) {
  const GMedia* medium = FindAs<GMedia>(state, kMediumKey);
  if (medium == nullptr) return;
  sheetMedium_ = *medium;
  layoutMedium_ = *medium;
  sheetOrientation_ = NormalizeAngle(ValueOr(state, kOrientationKey, 0));
  ReadMargins();
}

void GNupFilter::ReadMargins() {
  const GDotPair origin = layoutMedium_.GetPrintableOrigin();
  const GDotPair far = layoutMedium_.GetFarMargins();
  margins_ = GNupMargins{origin.x, far.x, origin.y, far.y};
}

void GNupFilter::ComputeLayout(GState* state) {
  ReadLayoutSettings(state);
  ready_ = 1;
  if (pagesPerSheet_ == 1) {
    Disable();
    return;
  }
  Enable();
  ReadSheetMedium(state);
  grid_ = ChooseNupGrid(pagesPerSheet_, layoutMedium_.GetPrintableSize(), margins_, gaps_, sheetOrientation_);
  if (NormalizeAngle(layoutMedium_.GetOrientation()) != grid_.rotation) {
    Resolve(layoutMedium_, grid_.rotation);
    ReadMargins();
  }
  cells_ =
      BuildNupCells(grid_, static_cast<GNupPageOrder>(pageOrder_), layoutMedium_.GetPrintableSize(), margins_, gaps_);
}

// Only sizes of the device's media pool are made again; a custom size, or
// a size the device does not know, keeps the medium as it is.
void GNupFilter::Resolve(GMedia& medium, int32_t orientation) const {
  if (device_ == nullptr || NormalizeAngle(medium.GetOrientation()) == orientation) return;
  const int16_t sizeId = medium.GetSizeId();
  if (sizeId < 0 || sizeId > kLastPoolSizeId) return;
  const std::unique_ptr<GMedia> resolved =
      device_->ResolveMediaBySize(sizeId, orientation, medium.GetXResolution(), medium.GetYResolution());
  if (!resolved) return;
  resolved->SetKey(medium.Key());
  medium = *resolved;
}

const GNupCell* GNupFilter::CellAt(int32_t position) const {
  if (cells_.empty()) return nullptr;
  const auto count = static_cast<int32_t>(cells_.size());
  return &cells_[static_cast<size_t>(((position % count) + count) % count)];
}

GCommand* GNupFilter::HandleCommand(GCommand* command) {
  GObjectRef held(command);
  if (command == nullptr) return nullptr;
  switch (command->ClassID()) {
    case kGDocumentStartClassID:
      StartDocument(*command);
      if (IsEnabled()) PlaceCommand(*command);
      break;
    case kGPageStartClassID:
      held = StartPage(*command);
      break;
    case kGPageEndClassID:
      held = EndPage(*command);
      break;
    case kGDocumentEndClassID:
    case kPadCommandClassID:
      if (pageCounter_ != 0) {
        pageCounter_ = 0;
        auto* sheetEnd = new GCommandComposite;
        sheetEnd->AddChild(new GPageEnd);
        command->OwnData();
        sheetEnd->AddChild(command);
        held = sheetEnd;
      } else {
        PlaceCommand(*command);
      }
      break;
    default:
      PlaceCommand(*command);
      break;
  }
  return static_cast<GCommand*>(GCommand::GiveUp(held));
}

void GNupFilter::StartDocument(GCommand& start) {
  device_ = static_cast<GDocumentStart&>(start).GetGraphicsDevice();
  if (ready_ == 0) ComputeLayout(start.GetState());
  if (IsEnabled() && grid_.rotation != sheetOrientation_ && TurningFlipsBinding(pagesPerSheet_)) {
    FlipDuplexBinding(start.GetState());
  }
}

GCommand* GNupFilter::StartPage(GCommand& start) {
  GState* state = start.GetState();
  pageOrientation_ = NormalizeAngle(ValueOr(state, kOrientationKey, 0));
  if (const GMedia* medium = FindAs<GMedia>(state, kMediumKey); medium != nullptr) pageMedium_ = *medium;
  Resolve(pageMedium_, pageOrientation_);
  const int32_t position = pageCounter_ % std::max<int16_t>(pagesPerSheet_, 1);
  const GNupCell* cell = CellAt(position);
  pageTransform_.SetValues(
      cell != nullptr ? FitPageIntoCell(*cell, pageMedium_, NormalizeAngle(pageOrientation_ - sheetOrientation_))
                      : GTransformAttribute());
  if (state != nullptr) {
    const GObjectRef ownTransform(state->RemoveChildByClassId(kGTransformAttributeClassID));
    if (position == 0) OpenSheet(*state);
  }
  if (position == 0) return AnnouncePageTransform(start, pageTransform_);
  const GObjectRef sheetGoesOn(new GNullCommand);
  return AnnouncePageTransform(static_cast<GCommand&>(*sheetGoesOn), pageTransform_);
}

void GNupFilter::OpenSheet(GState& pageState) {
  const bool pageTurnedOver = pageOrientation_ == 180 || pageOrientation_ == 270;
  if (grid_.rotation == 90 && pageTurnedOver) grid_.rotation = 270;
  if (grid_.rotation == 0 && pageTurnedOver) grid_.rotation = 180;
  SetValue(pageState, kOrientationKey, static_cast<int16_t>(grid_.rotation));
  Resolve(sheetMedium_, grid_.rotation);
  sheetMedium_.SetMediaType(pageMedium_.GetMediaType());
  const GObjectRef pageMedium(pageState.RemoveChildByKey(kMediumKey));
  auto* sheet = static_cast<GMedia*>(sheetMedium_.Clone());
  sheet->SetKey(kMediumKey);
  pageState.AddChild(sheet);
  if (sheetOrientation_ != grid_.rotation) FlipDuplexBinding(&pageState);
}

GCommand* GNupFilter::EndPage(GCommand& end) {
  auto* list = new GCommandComposite;
  GObjectRef held(list);
  const int16_t pagesPerSheet = std::max<int16_t>(pagesPerSheet_, 1);
  if (const GNupCell* cell = CellAt(pageCounter_ % pagesPerSheet); cell != nullptr) {
    list->AddChild(BorderCommand(*cell));
  }
  if (++pageCounter_ >= pagesPerSheet) {
    pageCounter_ = 0;
    end.OwnData();
    list->AddChild(&end);
  } else {
    list->AddChild(new GNullCommand(end.TakeState(), 0));
  }
  return static_cast<GCommand*>(GCommand::GiveUp(held));
}

GCommand* GNupFilter::BorderCommand(const GNupCell& cell) const {
  const GDotPair origin = layoutMedium_.GetPrintableOrigin();
  const GDotPair paper = layoutMedium_.GetPaperSize();
  auto* bundle = new GGraphicBundle;
  const GObjectRef held(bundle);
  bundle->AddChild(new GTransformAttribute(0, GPoint{origin.x, origin.y}, GScale{1.0F, 1.0F}));
  bundle->SetClip(NewRectangleClip(
      GRectangle{Wrap16(-origin.x), Wrap16(-origin.y), Wrap16(paper.x - origin.x), Wrap16(paper.y - origin.y)}));
  bundle->SetFillMode(new GFillMode(0, 0));
  bundle->SetRasterOperation(new GRasterOperation(GRasterOperation::kPatternCopy, GRasterOperation::kCodeOnly, 0));
  bundle->SetBrush(new GNoBrush);
  if (borders_ == 0) {
    bundle->SetPen(new GNoPen);
    return new GNullCommand(bundle, 0);
  }
  bundle->SetPen(new GPen(kBorderPenWidth, new GColorPaint(new GRGBColor(0, 0, 0, 255)), 0));
  const GRectangle frame{Wrap16(cell.x - origin.x - 1), Wrap16(cell.y - origin.y - 1),
                         Wrap16(cell.x + cell.width - origin.x + 1), Wrap16(cell.y + cell.height - origin.y + 1)};
  return new GRectangleGraphic(frame, bundle, 0);
}

void GNupFilter::PlaceCommand(GCommand& command) const {
  const GObjectRef held(command.TakeState());
  if (!held) return;
  auto& state = static_cast<GState&>(*held);
  ComposeHeldTransform(state, pageTransform_, PagePlacement::kOuter);
  if (const GObjectRef pageClip(state.RemoveChildByClassId(kGClipToPageClassID)); pageClip) {
    const GDotPair printable = pageMedium_.GetPrintableSize();
    state.AddChild(NewRectangleClip(GRectangle{0, 0, printable.x, printable.y}));
  }
  command.SetState(&state);
}

std::pair<float, float>& GNupFilter::GetScaleFactor(std::pair<float, float>& factor, GState* jobSettings,
                                                    GState* pageState, int32_t pageNumber, int32_t* mode) {
  if (mode != nullptr && *mode == kChainScaleAnswered) {
    factor = {0.0F, 0.0F};
    return factor;
  }
  factor = {1.0F, 1.0F};
  if (pagesPerSheet_ < 2) return factor;
  if (ready_ == 0) ComputeLayout(jobSettings);
  if (pagesPerSheet_ < 2) return factor;
  const GNupCell* cell = CellAt(pageNumber % pagesPerSheet_);
  if (cell == nullptr) return factor;
  const GMedia* stated = FindAs<GMedia>(pageState, kMediumKey);
  GMedia page = stated != nullptr ? *stated : pageMedium_;
  const int32_t orientation = NormalizeAngle(ValueOr(pageState, kOrientationKey, 0));
  Resolve(page, orientation);
  const float scale = FitPageIntoCell(*cell, page, NormalizeAngle(orientation - sheetOrientation_)).GetScale().x;
  factor = {scale, scale};
  return factor;
}

// A restore leaves the job's layout to be computed again: what the job
// computed belongs to the grid it had.
void GNupFilter::Fields(GFieldArchive& archive) {
  GPeripheral::Fields(archive);
  if (!archive.Version(kVersion)) return;
  archive.Int16(margins_.left);
  archive.Int16(margins_.right);
  archive.Int16(margins_.top);
  archive.Int16(margins_.bottom);
  archive.Int32(gaps_.vertical);
  archive.Int32(gaps_.horizontal);
  archive.Int16(pagesPerSheet_);
  archive.Int16(pageOrder_);
  auto sheetOrientation = static_cast<int16_t>(sheetOrientation_);
  auto pageOrientation = static_cast<int16_t>(pageOrientation_);
  auto borders = static_cast<uint8_t>(borders_ != 0 ? 1 : 0);
  archive.Int16(sheetOrientation);
  archive.Int16(pageOrientation);
  archive.UInt8(borders);
  archive.ObjectValue(pageMedium_);
  archive.ObjectValue(layoutMedium_);
  if (!archive.IsRestoring()) return;
  sheetOrientation_ = NormalizeAngle(sheetOrientation);
  pageOrientation_ = NormalizeAngle(pageOrientation);
  borders_ = borders;
  ready_ = 0;
  pageCounter_ = 0;
  grid_ = GNupGrid();
  cells_.clear();
  pageTransform_.SetValues(GTransformAttribute());
}
