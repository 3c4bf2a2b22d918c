#pragma once

#include <cstdint>
#include <utility>

#include "pipeline/filters/page_transform_filter.h"

class GMedia;

// Shrinks and centres each page of a duplex job so that its margins are
// the same on both sides of the sheet, which keeps front and back aligned
// on a device whose printable area is not centred on the paper. It works
// for a job when the device supports it (key 204 of the device
// configuration) and the job's settings say whether to scale (key 983).
//
// The duplex value (key 253) may change from page to page: a change to
// simplex takes effect at once, another change only on a front side. The
// filter tells the sides apart by a toggle that flips at every duplex page.
//
// Stored part: the page-transform filter's. The duplex value, the
// no-scaling flag and the toggle are not stored.
class GSymetricalDuplexFilter : public GPageTransformFilter {
 public:
  // Symmetrical duplex supported, in the device configuration.
  static constexpr int32_t kSupportedKey = 204;
  // The duplex value (0 simplex), in the document or page state.
  static constexpr int32_t kDuplexKey = 253;
  // No scaling, in the document state; present to enable the filter.
  static constexpr int32_t kNoScalingKey = 983;
  // The page's medium, in the page state.
  static constexpr int32_t kMediumKey = 259;

  GSymetricalDuplexFilter() = default;
  GSymetricalDuplexFilter(const RWCString& name, GState* initialState, GConfiguration* configuration, int32_t key)
      : GPageTransformFilter(name, initialState, configuration, key) {}
  GSymetricalDuplexFilter(const GSymetricalDuplexFilter& other) = default;

  RWCollectable* NewInstance() const override { return new GSymetricalDuplexFilter; }
  RWCollectable* Clone() const override { return new GSymetricalDuplexFilter(*this); }
  RWClassID ClassID() const override { return kGSymetricalDuplexFilterClassID; }
  bool IsKindOf(RWClassID id) const override {
    return id == kGSymetricalDuplexFilterClassID || GPeripheral::IsKindOf(id);
  }

  // (0, 0) once the chain's scale is answered. Otherwise, with a page
  // state and scaling on, the page's duplex value is taken over and, for
  // a duplex page, the symmetrical scale of the page's medium is answered;
  // (1, 1) in every other case.
  std::pair<float, float>& GetScaleFactor(std::pair<float, float>& factor, GState* jobSettings, GState* pageState,
                                          int32_t pageNumber, int32_t* mode) override;
  uint32_t GetEmulatedFeatures() override { return noScaling_ == 0 ? kScalingFeatures : 0; }

  int16_t DuplexValue() const { return duplex_; }
  int16_t NoScaling() const { return noScaling_; }
  // Whether the next duplex page is a back side.
  bool IsBackSide() const { return toggle_ != 0; }

 protected:
  // Reads whether the device supports the placement and the job's duplex
  // value and scaling; the filter switches itself off when the device does
  // not or the job's settings do not say.
  void StartJob(GDocumentStart& start) override;
  // A duplex page is shrunk and centred from its medium (unless scaling is
  // off) and its transform announced; any other page passes.
  GObjectRef PlacePage(GState* pageState) override;
  // Only duplex pages that the filter moves.
  bool ComposesCommands() const override { return duplex_ != 0 && !PageTransformIsIdentity(); }

 private:
  // Takes the page's duplex value when the page is simplex or the next
  // side is a front side.
  void FollowPageDuplex(GState& pageState);

  int16_t duplex_ = 0;
  int16_t noScaling_ = 0;
  int32_t toggle_ = 0;
};

// The placement that makes the margins of the medium the same on both
// sides: the printable area, shrunk on each axis by the difference of its
// opposite margins, is scaled by the smaller of the two factors and centred
// on the paper. The identity for no medium, or for one without a printable
// area, where there is nothing to divide by.
GTransformAttribute SymmetricalPlacement(const GMedia* medium);
