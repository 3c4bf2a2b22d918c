#pragma once

#include <cstdint>
#include <utility>

#include "pipeline/filters/page_transform_filter.h"

// Scales every page of a job by the user's percentage (key 269 of the
// document state). Each page's transform is the scale alone, placed under
// a transform that the page state already holds (that one is applied
// after the scale). A job at 100 percent, or without the setting, switches
// the filter off.
//
// Stored part: the page-transform filter's. The scale and the scaling flag
// are set at document start; a restore sets the scale back to 1.
class GScalePageFilter : public GPageTransformFilter {
 public:
  // The scale in percent, in the document state and in the job settings
  // of a scale query.
  static constexpr int32_t kScaleKey = 269;

  GScalePageFilter() = default;
  GScalePageFilter(const RWCString& name, GState* initialState, GConfiguration* configuration, int32_t key)
      : GPageTransformFilter(name, initialState, configuration, key) {}
  GScalePageFilter(const GScalePageFilter& other) = default;

  RWCollectable* NewInstance() const override { return new GScalePageFilter; }
  RWCollectable* Clone() const override { return new GScalePageFilter(*this); }
  RWClassID ClassID() const override { return kGScalePageFilterClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGScalePageFilterClassID || GPeripheral::IsKindOf(id); }

  // (0, 0) once the chain's scale is answered; else the percentage of the
  // job settings as a factor, (1, 1) without one.
  std::pair<float, float>& GetScaleFactor(std::pair<float, float>& factor, GState* jobSettings, GState* pageState,
                                          int32_t pageNumber, int32_t* mode) override;
  uint32_t GetEmulatedFeatures() override { return scaling_ != 0 ? kScalingFeatures : 0; }

  float Scale() const { return scale_; }
  bool IsScaling() const { return scaling_ != 0; }

 protected:
  // Reads the scale; a scale of exactly 1 switches the filter off.
  void StartJob(GDocumentStart& start) override;
  // The page transform gets the scale; it goes under the page state's
  // transform, or into the state as a copy. Without a state the page
  // transform itself is announced.
  GObjectRef PlacePage(GState* pageState) override;
  bool ComposesCommands() const override { return true; }

  void Fields(GFieldArchive& archive) override;

 private:
  float scale_ = 1.0F;
  int32_t scaling_ = 0;
};
