#include "pipeline/filters/symetrical_duplex_filter.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <optional>

#include "device/driver/tree_lookup.h"
#include "device/media/media.h"
#include "foundation/class_registrar.h"
#include "graphics/commands/document_command.h"
#include "graphics/device/graphics_device.h"
#include "model/attributes/configuration.h"
#include "model/attributes/state.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GSymetricalDuplexFilter>, kGSymetricalDuplexFilterClassID,
                                kGSymetricalDuplexFilterClassName);

// Conversion to an integer by truncation toward zero; values beyond 32
// bits (only absurd media give them) stop at the limits.
int32_t Truncated(double value) {
  constexpr double kLowest = std::numeric_limits<int32_t>::min();
  constexpr double kHighest = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(std::clamp(value, kLowest, kHighest));
}

// 1 less the difference of the two margins of the axis over the printable
// extent; 1 when the margins agree.
float AxisScale(int32_t marginDifference, int16_t printable) {
  if (marginDifference == 0) return 1.0F;
  return 1.0F - static_cast<float>(std::abs(marginDifference)) / static_cast<float>(printable);
}

// Where the scaled printable area must start to lie in the middle of the
// paper, counted from the scaled printable origin.
int16_t AxisOffset(int16_t paper, int16_t printable, int16_t origin, float scale) {
  const int32_t centred = Truncated((paper - printable * static_cast<double>(scale)) * 0.5);
  const int32_t shift = Truncated(origin * static_cast<double>(scale));
  return static_cast<int16_t>(static_cast<uint32_t>(centred) - static_cast<uint32_t>(shift));
}

GMedia* PageMedium(GState& pageState) { return FindAs<GMedia>(&pageState, GSymetricalDuplexFilter::kMediumKey); }

}  // namespace

GTransformAttribute SymmetricalPlacement(const GMedia* medium) {
  if (medium == nullptr) return {};
  const GDotPair paper = medium->GetPaperSize();
  const GDotPair printable = medium->GetPrintableSize();
  const GDotPair origin = medium->GetPrintableOrigin();
  if (printable.x <= 0 || printable.y <= 0) return {};
  const int32_t dx = paper.x - 2 * origin.x - printable.x;
  const int32_t dy = paper.y - 2 * origin.y - printable.y;
  const float scale = std::min(AxisScale(dx, printable.x), AxisScale(dy, printable.y));
  const GPoint offset{AxisOffset(paper.x, printable.x, origin.x, scale),
                      AxisOffset(paper.y, printable.y, origin.y, scale)};
  return GTransformAttribute(0, offset, GScale{scale, scale});
}

// Missing settings switch the filter off, a missing document state among
// them. Every job starts on a front side with the job's own duplex value.
void GSymetricalDuplexFilter::StartJob(GDocumentStart& start) {
  ResetPageTransform();
  toggle_ = 0;
  GGraphicsDevice* device = start.GetGraphicsDevice();
  MPersistentObject* configuration = device != nullptr ? device->GetConfiguration() : nullptr;
  GState* documentState = start.GetState();
  if (ValueOr(configuration, kSupportedKey, 0) == 0 || documentState == nullptr) {
    Disable();
    return;
  }
  duplex_ = ValueOr(documentState, kDuplexKey, 0);
  const std::optional<int16_t> noScaling = FindValue(documentState, kNoScalingKey);
  if (!noScaling) {
    Disable();
    return;
  }
  noScaling_ = *noScaling;
  Enable();
}

void GSymetricalDuplexFilter::FollowPageDuplex(GState& pageState) {
  const std::optional<int16_t> duplex = FindValue(&pageState, kDuplexKey);
  if (duplex && (*duplex == 0 || toggle_ == 0)) duplex_ = *duplex;
}

GObjectRef GSymetricalDuplexFilter::PlacePage(GState* pageState) {
  ResetPageTransform();
  if (pageState != nullptr) FollowPageDuplex(*pageState);
  if (pageState == nullptr || duplex_ == 0) {
    toggle_ = 0;
    return {};
  }
  if (noScaling_ == 0) SetPageTransform(SymmetricalPlacement(PageMedium(*pageState)));
  toggle_ = toggle_ == 0 ? 1 : 0;
  return PlaceInPageState(*pageState, PagePlacement::kOuter);
}

std::pair<float, float>& GSymetricalDuplexFilter::GetScaleFactor(std::pair<float, float>& factor, GState*,
                                                                 GState* pageState, int32_t, int32_t* mode) {
  if (AnsweredByTheChain(factor, mode)) return factor;
  factor = {1.0F, 1.0F};
  if (pageState == nullptr || noScaling_ != 0) return factor;
  if (const std::optional<int16_t> duplex = FindValue(pageState, kDuplexKey); duplex) duplex_ = *duplex;
  if (duplex_ != 0) {
    const float scale = SymmetricalPlacement(PageMedium(*pageState)).GetScale().x;
    factor = {scale, scale};
  }
  return factor;
}
