#include "pipeline/filters/scale_page_filter.h"

#include <optional>

#include "device/driver/tree_lookup.h"
#include "foundation/class_registrar.h"
#include "graphics/commands/document_command.h"
#include "model/attributes/state.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GScalePageFilter>, kGScalePageFilterClassID,
                                kGScalePageFilterClassName);

// The percentage under the scale key of the settings as a factor; none
// without it.
std::optional<float> ScaleSetting(MPersistentObject* settings) {
  const std::optional<int16_t> percent = FindValue(settings, GScalePageFilter::kScaleKey);
  if (!percent) return std::nullopt;
  return static_cast<float>(*percent * 0.01);
}

}  // namespace

void GScalePageFilter::StartJob(GDocumentStart& start) {
  ResetPageTransform();
  scale_ = ScaleSetting(start.GetState()).value_or(1.0F);
  scaling_ = scale_ != 1.0F ? 1 : 0;
  if (scaling_ != 0) {
    Enable();
  } else {
    Disable();
  }
}

GObjectRef GScalePageFilter::PlacePage(GState* pageState) {
  SetPageTransform(GTransformAttribute(0, GPoint{}, GScale{scale_, scale_}));
  if (pageState == nullptr) return GObjectRef(static_cast<MPersistentObject*>(PageTransform().Clone()));
  return PlaceInPageState(*pageState, PagePlacement::kInner);
}

std::pair<float, float>& GScalePageFilter::GetScaleFactor(std::pair<float, float>& factor, GState* jobSettings, GState*,
                                                          int32_t, int32_t* mode) {
  if (AnsweredByTheChain(factor, mode)) return factor;
  const float scale = ScaleSetting(jobSettings).value_or(1.0F);
  factor = {scale, scale};
  return factor;
}

void GScalePageFilter::Fields(GFieldArchive& archive) {
  GPageTransformFilter::Fields(archive);
  if (archive.IsRestoring()) scale_ = 1.0F;
}
