// Tests of the graphic bundle: the fixed key of each kind, the merge rules
// of setting and of merging another bundle, sending, sharing and the
// stored form.
#include "graphics/attributes/graphic_bundle.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "graphics/attributes/brush.h"
#include "graphics/attributes/cap.h"
#include "graphics/attributes/fill_mode.h"
#include "graphics/attributes/joint.h"
#include "graphics/attributes/pen.h"
#include "graphics/attributes/raster_operation.h"
#include "graphics/clips/clip.h"
#include "graphics/colour/color_paint.h"
#include "graphics/tests/attribute_recorder.h"
#include "graphics/tests/stored_parts.h"
#include "model/testing/round_trip.h"

namespace {

// A pen whose end is seen.
class TrackedPen : public GPen {
 public:
  TrackedPen(int16_t width, int* deleted) : GPen(width, nullptr, 0), deleted_(deleted) {}
  ~TrackedPen() override { ++*deleted_; }

 private:
  int* deleted_;
};

GColorPaint* Paint(uint8_t red) { return new GColorPaint(new GRGBColor(red, 0, 0, 255)); }

// How each kind is set, found and removed, with an attribute of the kind.
struct Kind {
  const char* name;
  int32_t key;
  std::function<GAttribute*()> make;
  std::function<void(GGraphicBundle&, GAttribute*)> set;
  std::function<GAttribute*(GGraphicBundle&)> get;
  std::function<GAttribute*(GGraphicBundle&)> remove;
};

template <typename T>
Kind KindOf(const char* name, int32_t key, std::function<T*()> make, void (GGraphicBundle::*set)(T*),
            T* (GGraphicBundle::*get)(), T* (GGraphicBundle::*remove)()) {
  return {name,
          key,
          make,
          [set](GGraphicBundle& bundle, GAttribute* attribute) { (bundle.*set)(static_cast<T*>(attribute)); },
          [get](GGraphicBundle& bundle) { return (bundle.*get)(); },
          [remove](GGraphicBundle& bundle) { return (bundle.*remove)(); }};
}

std::vector<Kind> Kinds() {
  using B = GGraphicBundle;
  return {
      KindOf<GBrush>(
          "brush", 154, [] { return new GBrush(Paint(1), 0); }, &B::SetBrush, &B::GetBrush, &B::RemoveBrush),
      KindOf<GPen>(
          "pen", 160, [] { return new GPen(2, Paint(1), 0); }, &B::SetPen, &B::GetPen, &B::RemovePen),
      KindOf<GCap>(
          "cap", 166, [] { return new GCap(2, 0); }, &B::SetCap, &B::GetCap, &B::RemoveCap),
      KindOf<GJoint>(
          "joint", 172, [] { return new GMiterJoint(3, 0); }, &B::SetJoint, &B::GetJoint, &B::RemoveJoint),
      KindOf<GClip>(
          "clip", 177,
          [] {
            return new GClipToSingleRectangle({1, 2, 3, 4}, 0, 1, 0);
          },
          &B::SetClip, &B::GetClip, &B::RemoveClip),
      KindOf<GFillMode>(
          "fill_mode", 182, [] { return new GFillMode(1, 0); }, &B::SetFillMode, &B::GetFillMode, &B::RemoveFillMode),
      KindOf<GRasterOperation>(
          "raster_operation", 183, [] { return new GRasterOperation(240, 0, 0); }, &B::SetRasterOperation,
          &B::GetRasterOperation, &B::RemoveRasterOperation),
  };
}

TEST(GraphicBundle, ANewBundleIsTheEmptyGraphicState) {
  GGraphicBundle bundle;
  EXPECT_EQ(bundle.Key(), 244);
  EXPECT_EQ(bundle.EntryCount(), 0u);
  // Of the state family, so that it merges into a stage's graphic state.
  EXPECT_EQ(bundle.BaseTypeId(), kGStateClassID);
  for (const Kind& kind : Kinds()) {
    SCOPED_TRACE(kind.name);
    EXPECT_EQ(kind.get(bundle), nullptr);
    EXPECT_EQ(kind.remove(bundle), nullptr);
  }
}

// Each kind lives under its own key: set, found, removed (handed over whole
// when nobody else holds it) and then gone.
TEST(GraphicBundle, EachKindIsSetFoundAndRemovedUnderItsKey) {
  GGraphicBundle bundle;
  const std::vector<Kind> kinds = Kinds();
  for (const Kind& kind : kinds) {
    GAttribute* attribute = kind.make();
    kind.set(bundle, attribute);
    EXPECT_EQ(attribute->Key(), kind.key);
  }
  ASSERT_EQ(bundle.EntryCount(), kinds.size());
  for (const Kind& kind : kinds) {
    SCOPED_TRACE(kind.name);
    GAttribute* held = kind.get(bundle);
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(held->Key(), kind.key);
    const std::unique_ptr<GAttribute> removed(kind.remove(bundle));
    EXPECT_EQ(removed.get(), held);
    EXPECT_EQ(kind.get(bundle), nullptr);
    EXPECT_EQ(kind.remove(bundle), nullptr);
  }
  EXPECT_EQ(bundle.EntryCount(), 0u);
}

// What another holder shares stays its own: the caller gets a clone.
TEST(GraphicBundle, RemovingASharedAttributeHandsOverAClone) {
  GGraphicBundle bundle;
  bundle.SetCap(new GCap(0, 0));
  const std::unique_ptr<GGraphicBundle> sharer(static_cast<GGraphicBundle*>(bundle.CloneObject()));
  GCap* shared = bundle.GetCap();
  EXPECT_EQ(sharer->GetCap(), shared);
  const std::unique_ptr<GCap> removed(bundle.RemoveCap());
  ASSERT_NE(removed, nullptr);
  EXPECT_NE(removed.get(), shared);
  EXPECT_TRUE(removed->SameContent(*shared));
  EXPECT_EQ(sharer->GetCap(), shared);
  EXPECT_EQ(bundle.GetCap(), nullptr);
}

// Setting an attribute: an equal one leaves the held attribute and its
// changed flag alone, anything else of the same family takes its place,
// another family is added beside it.
TEST(GraphicBundle, SettingFollowsTheStateMergeRules) {
  enum Outcome { kKeepsHeld, kReplacesHeld };
  struct Case {
    const char* name;
    std::function<void(GGraphicBundle&)> hold;
    std::function<void(GGraphicBundle&, GAttribute*)> set;
    std::function<GAttribute*()> incoming;
    std::function<GAttribute*(GGraphicBundle&)> find;
    Outcome outcome;
    uint32_t children;
  };
  using B = GGraphicBundle;
  // clang-format off
  const Case cases[] = {
      {"equal_pen_keeps_the_held_one",
       [](B& b) { b.SetPen(new GPen(2, Paint(1), 0)); },
       [](B& b, GAttribute* a) { b.SetPen(static_cast<GPen*>(a)); },
       [] { return new GPen(2, Paint(1), 99); },
       [](B& b) { return b.GetPen(); }, kKeepsHeld, 1},
      {"pen_of_other_width_replaces",
       [](B& b) { b.SetPen(new GPen(2, Paint(1), 0)); },
       [](B& b, GAttribute* a) { b.SetPen(static_cast<GPen*>(a)); },
       [] { return new GPen(3, Paint(1), 0); },
       [](B& b) { return b.GetPen(); }, kReplacesHeld, 1},
      {"pen_of_other_paint_replaces",
       [](B& b) { b.SetPen(new GPen(2, Paint(1), 0)); },
       [](B& b, GAttribute* a) { b.SetPen(static_cast<GPen*>(a)); },
       [] { return new GPen(2, Paint(2), 0); },
       [](B& b) { return b.GetPen(); }, kReplacesHeld, 1},
      {"dashed_pen_replaces_pen",
       [](B& b) { b.SetPen(new GPen(2, nullptr, 0)); },
       [](B& b, GAttribute* a) { b.SetPen(static_cast<GPen*>(a)); },
       [] { return new GDashedPen({1, 1}, 2, nullptr, 0, 0); },
       [](B& b) { return b.GetPen(); }, kReplacesHeld, 1},
      {"no_pen_replaces_pen",
       [](B& b) { b.SetPen(new GPen(0, nullptr, 0)); },
       [](B& b, GAttribute* a) { b.SetPen(static_cast<GPen*>(a)); },
       [] { return new GNoPen; },
       [](B& b) { return b.GetPen(); }, kReplacesHeld, 1},
      {"no_brush_replaces_brush",
       [](B& b) { b.SetBrush(new GBrush(Paint(1), 0)); },
       [](B& b, GAttribute* a) { b.SetBrush(static_cast<GBrush*>(a)); },
       [] { return new GNoBrush; },
       [](B& b) { return b.GetBrush(); }, kReplacesHeld, 1},
      {"equal_no_brush_keeps_the_held_one",
       [](B& b) { b.SetBrush(new GNoBrush); },
       [](B& b, GAttribute* a) { b.SetBrush(static_cast<GBrush*>(a)); },
       [] { return new GNoBrush; },
       [](B& b) { return b.GetBrush(); }, kKeepsHeld, 1},
      {"miter_joint_replaces_joint",
       [](B& b) { b.SetJoint(new GJoint(1, 0)); },
       [](B& b, GAttribute* a) { b.SetJoint(static_cast<GJoint*>(a)); },
       [] { return new GMiterJoint(4, 0); },
       [](B& b) { return b.GetJoint(); }, kReplacesHeld, 1},
      {"equal_raster_operation_keeps_the_held_one",
       [](B& b) { b.SetRasterOperation(new GRasterOperation(240, 0, 0)); },
       [](B& b, GAttribute* a) { b.SetRasterOperation(static_cast<GRasterOperation*>(a)); },
       [] { return new GRasterOperation(240, 0, 0); },
       [](B& b) { return b.GetRasterOperation(); }, kKeepsHeld, 1},
      {"fill_mode_of_other_mode_replaces",
       [](B& b) { b.SetFillMode(new GFillMode(0, 0)); },
       [](B& b, GAttribute* a) { b.SetFillMode(static_cast<GFillMode*>(a)); },
       [] { return new GFillMode(1, 0); },
       [](B& b) { return b.GetFillMode(); }, kReplacesHeld, 1},
      {"cap_goes_beside_a_joint",
       [](B& b) { b.SetJoint(new GJoint(1, 0)); },
       [](B& b, GAttribute* a) { b.SetCap(static_cast<GCap*>(a)); },
       [] { return new GCap(1, 0); },
       [](B& b) { return b.GetCap(); }, kReplacesHeld, 2},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GGraphicBundle bundle;
    c.hold(bundle);
    bundle.ClearAllChanged();
    // The held attribute of the incoming one's family, if any.
    GAttribute* held = c.find(bundle);
    // Kept alive by the test, so that the outcome can be looked at.
    const GObjectRef incoming(c.incoming());
    c.set(bundle, static_cast<GAttribute*>(incoming.Get()));
    EXPECT_EQ(bundle.EntryCount(), c.children);
    if (c.outcome == kKeepsHeld) {
      EXPECT_EQ(c.find(bundle), held);
      EXPECT_EQ(held->ChangedFlag(), 0);
      EXPECT_EQ(incoming->ReferenceCount(), 0);
    } else {
      EXPECT_EQ(c.find(bundle), incoming.Get());
      EXPECT_EQ(c.find(bundle)->ChangedFlag(), 1);
    }
  }
}

// An equal attribute is let go of, not deleted: a caller that holds it
// keeps it; one nobody holds goes.
TEST(GraphicBundle, AnEqualAttributeIsReleasedNotDeleted) {
  int deleted = 0;
  GGraphicBundle bundle;
  const GObjectRef held(new TrackedPen(5, &deleted));
  bundle.SetPen(static_cast<GPen*>(held.Get()));
  const GObjectRef shared(new TrackedPen(5, &deleted));
  bundle.SetPen(static_cast<GPen*>(shared.Get()));
  EXPECT_EQ(bundle.GetPen(), held.Get());
  EXPECT_EQ(shared->ReferenceCount(), 0);
  EXPECT_EQ(deleted, 0);
  bundle.SetPen(new TrackedPen(5, &deleted));
  EXPECT_EQ(deleted, 1);
}

// Merging another bundle child by child: an equal child leaves the held one
// and its flag, another of the family replaces it (shared, marked changed),
// a new family is appended (marked changed).
TEST(GraphicBundle, MergingAnotherBundleTakesOverWhatDiffers) {
  struct Case {
    const char* name;
    std::function<void(GGraphicBundle&)> set;
    bool taken;
  };
  // clang-format off
  const Case cases[] = {
      {"equal_pen",         [](GGraphicBundle& b) { b.SetPen(new GPen(2, Paint(1), 0)); },   false},
      {"other_cap",         [](GGraphicBundle& b) { b.SetCap(new GCap(0, 0)); },             true},
      {"new_joint",         [](GGraphicBundle& b) { b.SetJoint(new GJoint(2, 0)); },         true},
      {"equal_fill_mode",   [](GGraphicBundle& b) { b.SetFillMode(new GFillMode(1, 0)); },   false},
      {"no_brush_for_brush", [](GGraphicBundle& b) { b.SetBrush(new GNoBrush); },           true},
  };
  // clang-format on
  GGraphicBundle held;
  held.SetPen(new GPen(2, Paint(1), 0));
  held.SetCap(new GCap(1, 0));
  held.SetFillMode(new GFillMode(1, 0));
  held.SetBrush(new GBrush(Paint(3), 0));
  held.ClearAllChanged();
  const GObjectRef before(held.CloneObject());

  GGraphicBundle other;
  for (const Case& c : cases) c.set(other);
  other.ClearAllChanged();
  EXPECT_EQ(held.UpdateFrom(&other), 1);
  EXPECT_EQ(held.EntryCount(), 5u);
  for (const GCountedPtr& child : other.Children()) {
    const auto* attribute = static_cast<const GAttribute*>(child.Get());
    const Case& c = cases[&child - &other.Children()[0]];
    SCOPED_TRACE(c.name);
    MPersistentObject* now = held.FindByKey(attribute->Key());
    if (c.taken) {
      EXPECT_EQ(now, attribute);
      EXPECT_EQ(attribute->ChangedFlag(), 1);
    } else {
      EXPECT_EQ(now, before->FindByKey(attribute->Key()));
      EXPECT_EQ(static_cast<GAttribute*>(now)->ChangedFlag(), 0);
    }
  }
  // Nothing differs any more.
  EXPECT_EQ(held.UpdateFrom(&other), 0);
}

TEST(GraphicBundle, SendsOnlyItsChangedAttributesInOrder) {
  GGraphicBundle bundle;
  bundle.SetPen(new GDashedPen({1}, 1, nullptr, 0, 0));
  bundle.SetCap(new GCap(0, 0));
  bundle.SetJoint(new GMiterJoint(2, 0));
  bundle.SetBrush(new GNoBrush);
  bundle.GetCap()->SetChangedFlag(0);
  AttributeRecorder stage;
  EXPECT_EQ(bundle.SendTo(stage), AttributeRecorder::kStatus);
  EXPECT_EQ(stage.Handlers(), (std::vector<std::string>{"dashed_pen", "miter_joint", "no_brush"}));
  EXPECT_EQ(bundle.ChangedFlag(), 0);
}

TEST(GraphicBundle, ACloneSharesTheChildrenAndEqualsTheOriginal) {
  GGraphicBundle bundle;
  bundle.SetPen(new GPen(2, Paint(1), 0));
  bundle.SetRasterOperation(new GRasterOperation(240, 1, 0));
  const GObjectRef clone(bundle.CloneObject());
  auto& copy = static_cast<GGraphicBundle&>(*clone);
  EXPECT_EQ(copy.GetPen(), bundle.GetPen());
  EXPECT_EQ(bundle.GetPen()->ReferenceCount(), 1);
  EXPECT_TRUE(copy.SameContent(bundle));
  copy.SetCap(new GCap(0, 0));
  EXPECT_FALSE(copy.SameContent(bundle));
}

TEST(GraphicBundle, StoredFormAndRoundTrips) {
  GGraphicBundle bundle;
  bundle.SetCap(new GCap(2, 0));
  GCap& cap = *bundle.GetCap();
  EXPECT_EQ(SaveGraph(StoreForm::kFile, &bundle),
            Graph(kGGraphicBundleClassID, Words({1, 244, bundle.SerialNumber(), 1, 1, 1, 1}) + Shorts({301}) +
                                              GraphicStatePart(cap) + Words({1, 2}) + Words({1, 1})));
  EXPECT_TRUE(RoundTrips(bundle));

  GGraphicBundle full;
  for (const Kind& kind : Kinds()) kind.set(full, kind.make());
  full.SetPen(new GDashedPen({3, 4}, 2, Paint(9), 1, 0));
  full.GetCap()->SetChangedFlag(0);
  EXPECT_TRUE(RoundTrips(full));
  EXPECT_TRUE(RoundTrips(GGraphicBundle()));
}

}  // namespace
