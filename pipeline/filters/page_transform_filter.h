#pragma once

#include <cstdint>
#include <utility>

#include "graphics/clips/transform_attribute.h"
#include "model/attributes/peripheral.h"
#include "model/objects/object_ref.h"

class GDocumentStart;

// The two ways a page transform meets a transform already there: as the
// outer one (applied after it) or as the inner one (applied first).
enum class PagePlacement { kOuter, kInner };

// What the filters that place whole pages with a transform share. Such a
// filter keeps one transform for the current page. At a page start it
// places the page (puts its transform into the page's state) and announces
// the result: the page start leaves as a command list of the page start and
// a GNullCommand whose graphic bundle holds a copy of the transform, so
// that the later stages apply it before any graphic of the page. Every
// later command that carries a transform of its own gets the page
// transform composed into it; a command without one follows the announced
// transform.
//
// The filter keeps no attribute state: what the commands carry is neither
// merged nor applied. The derived filter decides at document start whether
// it works for the job, and how each page is placed.
//
// Stored part after the peripheral's: version 1 alone. The page transform
// is not stored; a restore sets it back to the identity.
class GPageTransformFilter : public GPeripheral {
 public:
  // The mode word of a scale query that a stage sets once it has accounted
  // for the scale of the whole chain; later stages then answer (0, 0).
  static constexpr int32_t kChainScaleAnswered = 3;
  // What a filter emulates while it scales pages.
  static constexpr uint32_t kScalingFeatures = 10;

  // The plain stage's processing, with HandleCommand below.
  GCommand* ProcessCommand(GCommand* command) override { return GPeripheral::ProcessCommand(command); }
  GCommand* ProcessComposite(GCommand* composite) override { return GPeripheral::ProcessComposite(composite); }
  // A document start makes the filter decide for the job, a page start is
  // placed and announced, every other command gets the page transform
  // composed into its own transform while the filter says so. No handler
  // is called.
  GCommand* HandleCommand(GCommand* command) override;
  void PutAttribute(GAttribute*) override {}
  void ApplyChangedAttributes(int32_t) override {}
  int32_t IsScalable() override { return 1; }

  const GTransformAttribute& PageTransform() const { return pageTransform_; }

 protected:
  // The identity as page transform.
  GPageTransformFilter() = default;
  // The peripheral's full constructor, without add-ons.
  GPageTransformFilter(const RWCString& name, GState* initialState, GConfiguration* configuration, int32_t key)
      : GPeripheral(name, initialState, configuration, key, 0, 6, 2) {}
  GPageTransformFilter(const GPageTransformFilter& other) = default;

  // Decides at document start whether the filter works for the job.
  virtual void StartJob(GDocumentStart& start) = 0;
  // Places a page from its state (null when the page start has none) and
  // answers the transform to announce; empty lets the page start pass
  // unchanged.
  virtual GObjectRef PlacePage(GState* pageState) = 0;
  // Whether commands other than the document and page starts get the page
  // transform now.
  virtual bool ComposesCommands() const = 0;

  // Answers (0, 0) when the mode word says that the chain's scale is
  // answered already (true); false leaves the factor alone.
  static bool AnsweredByTheChain(std::pair<float, float>& factor, const int32_t* mode);

  // Puts the page transform into a page state: a transform held there
  // (of class 103, at any depth) takes the composition of the two, else
  // the state gets a copy of the page transform. Answers the transform
  // that the state now holds.
  GObjectRef PlaceInPageState(GState& pageState, PagePlacement placement) const;

  // The page transform takes the angle, offset and scale of the other.
  void SetPageTransform(const GTransformAttribute& transform);
  void ResetPageTransform() { SetPageTransform(GTransformAttribute()); }
  bool PageTransformIsIdentity() const;

  void Fields(GFieldArchive& archive) override;

 private:
  // The page transform composed into the command's own transform, if any.
  void ComposeIntoCommand(GCommand& command) const;

  GTransformAttribute pageTransform_;
};

// Replaces the values of the transform held in the state (of class 103)
// by its composition with the page transform and answers it; empty when
// the state holds none. The transform is taken out of the state (a clone
// when others share it, so that they keep the old values), changed, and
// added back.
GObjectRef ComposeHeldTransform(GState& state, const GTransformAttribute& page, PagePlacement placement);

// The command that replaces a page start to announce a page transform: a
// command list of the page start (made to own its data) and a GNullCommand
// whose graphic bundle holds a copy of the transform.
GCommand* AnnouncePageTransform(GCommand& pageStart, const GTransformAttribute& transform);
