// Tests of graphic lists and paths: what they take as children, what they
// show of them, path bounds, copies and stored forms.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "graphics/attributes/cap.h"
#include "graphics/attributes/graphic_bundle.h"
#include "graphics/commands/page_command.h"
#include "graphics/display/path_graphic.h"
#include "graphics/display/polygon_graphic.h"
#include "graphics/display/rectangle_graphic.h"
#include "graphics/tests/display_samples.h"
#include "graphics/tests/stored_parts.h"
#include "model/testing/round_trip.h"

namespace {

GRectangleGraphic* RectangleGraphic(const GRectangle& r, int32_t key = 0) {
  return new GRectangleGraphic(r, nullptr, key);
}

GPathGraphic* PathOf(std::initializer_list<MPersistentObject*> children) {
  auto* path = new GPathGraphic(nullptr, 0);
  for (MPersistentObject* child : children) path->AddChild(child);
  return path;
}

// Both kinds of list take graphics alone; a refused child that nobody else
// holds is deleted (the address sanitizer would report a leak otherwise).
TEST(GraphicComposite, TakesGraphicsOnly) {
  for (const bool path : {false, true}) {
    SCOPED_TRACE(path ? "path" : "list");
    std::unique_ptr<GGraphicComposite> list(path ? new GPathGraphic : new GGraphicComposite);
    list->AddChild(new GCap(1, 0));
    list->AddChild(new GPageStart);
    list->AddChild(nullptr);
    EXPECT_EQ(list->Children().Count(), 0U);
    list->AddChild(RectangleGraphic(Rect(0, 0, 1, 1)));
    list->AddChild(new GPathGraphic);
    EXPECT_EQ(list->Children().Count(), 2U);

    const GCap cap(1, 0);
    EXPECT_FALSE(list->ReplaceChildByClassId(kGRectangleGraphicClassID, cap));
    EXPECT_TRUE(list->ReplaceChildByClassId(kGRectangleGraphicClassID, GGraphicComposite()));
    EXPECT_EQ(list->Children()[0]->ClassID(), kGGraphicCompositeClassID);
    list->RemoveAllChildren();
    EXPECT_EQ(list->Children().Count(), 0U);
  }
}

// As on a leaf: the node stays the caller's.
TEST(GraphicComposite, InsertingInFrontDoesNothing) {
  GGraphicComposite list;
  const GObjectRef node(RectangleGraphic(Rect(0, 0, 1, 1)));
  list.InsertFirstChild(node.Get());
  EXPECT_EQ(list.Children().Count(), 0U);
  EXPECT_EQ(node->ReferenceCount(), 0);
}

// A list shows its children to the tree operations; a path hides them.
TEST(GraphicComposite, AListShowsItsChildrenAndAPathHidesThem) {
  GGraphicComposite list;
  GPathGraphic path;
  for (GGraphicComposite* composite :
       {static_cast<GGraphicComposite*>(&list), static_cast<GGraphicComposite*>(&path)}) {
    composite->AddChild(RectangleGraphic(Rect(0, 0, 1, 1), 5));
    composite->AddChild(RectangleGraphic(Rect(0, 0, 2, 2), 6));
    EXPECT_NE(composite->FindByKey(6), nullptr);
    EXPECT_EQ(composite->EntryCount(), 2U);
  }
  EXPECT_EQ(list.AsComposite()->EntryCount(), 2U);
  EXPECT_TRUE(list.NewChildIterator()->Advance());
  EXPECT_EQ(path.AsComposite(), nullptr);
  EXPECT_FALSE(path.NewChildIterator()->Advance());
  EXPECT_EQ(path.Children().Count(), 2U);
}

TEST(GraphicComposite, OwnDataReachesEveryChild) {
  std::vector<GPoint> caller = {{0, 0}, {1, 1}, {0, 0}};
  auto* polygon = new GPolygonGraphic(GPointArray(caller.data(), 3), nullptr, 0);
  GGraphicComposite list;
  list.AddChild(PathOf({polygon}));
  list.OwnData();
  EXPECT_TRUE(polygon->GetPointArray()->IsOwned());
}

TEST(PathGraphic, Bounds) {
  struct Case {
    const char* name;
    GPathGraphic* (*make)();
    GRectangle bounds;
  };
  const Case cases[] = {
      {"rectangle_and_nested_path",
       [] {
         return PathOf({RectangleGraphic(Rect(1, 1, 4, 4)), PathOf({RectangleGraphic(Rect(-3, 2, 2, 9))})});
       },
       Rect(-3, 1, 4, 9)},
      {"empty_path", [] { return PathOf({}); }, Rect(0, 0, 0, 0)},
      {"lists_are_no_pieces",
       [] {
         auto* list = new GGraphicComposite;
         list->AddChild(RectangleGraphic(Rect(-50, -50, 50, 50)));
         return PathOf({list, RectangleGraphic(Rect(1, 2, 3, 4))});
       },
       Rect(1, 2, 3, 4)},
      {"shape_bounds_from_points",
       [] {
         return PathOf(
             {new GPolygonGraphic(Owned({{5, 5}, {7, -2}, {5, 5}}), nullptr, 0), RectangleGraphic(Rect(6, 0, 9, 1))});
       },
       Rect(0, -2, 9, 5)},
      {"nested_empty_path_counts_as_zeros",
       [] {
         return PathOf({RectangleGraphic(Rect(2, 2, 4, 4)), PathOf({})});
       },
       Rect(0, 0, 4, 4)},
      {"deep_nesting", [] { return PathOf({PathOf({PathOf({RectangleGraphic(Rect(-1, -2, -1, -2))})})}); },
       Rect(-1, -2, -1, -2)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::unique_ptr<GPathGraphic> path(c.make());
    GRectangle bounds = Rect(9, 9, 9, 9);
    path->GetBounds(bounds);
    EXPECT_EQ(bounds, c.bounds);
  }
}

TEST(GraphicComposite, CopiesShareTheirChildren) {
  GPathGraphic path;
  path.SetClosed();
  path.AddChild(RectangleGraphic(Rect(0, 0, 1, 1)));
  const std::unique_ptr<GPathGraphic> clone(static_cast<GPathGraphic*>(path.Clone()));
  EXPECT_TRUE(clone->IsClosed());
  EXPECT_EQ(clone->Children()[0].Get(), path.Children()[0].Get());
  EXPECT_TRUE(clone->SameContent(path));
}

TEST(GraphicComposite, Equality) {
  const auto sample = [] {
    auto path = std::make_unique<GPathGraphic>(nullptr, 3);
    path->AddChild(RectangleGraphic(Rect(0, 0, 1, 1)));
    return path;
  };
  const ChangeCase<GPathGraphic> cases[] = {
      {"unchanged", [](GPathGraphic&) {}, true},
      {"closed", [](GPathGraphic& p) { p.SetClosed(); }, false},
      {"another_child", [](GPathGraphic& p) { p.AddChild(RectangleGraphic(Rect(0, 0, 1, 1))); }, false},
      {"child_of_other_content",
       [](GPathGraphic& p) {
         p.ReplaceChildByClassId(kGRectangleGraphicClassID, GRectangleGraphic(Rect(0, 0, 2, 1), nullptr, 0));
       },
       false},
      {"key", [](GPathGraphic& p) { p.SetKey(4); }, false},
  };
  ExpectEqualityAfterChanges(sample, cases);
  GGraphicComposite list(nullptr, 3);
  list.AddChild(RectangleGraphic(Rect(0, 0, 1, 1)));
  EXPECT_FALSE(list.SameContent(*sample()));
}

TEST(GraphicComposite, ListsAndPathsRoundTrip) {
  auto* bundle = new GGraphicBundle;
  std::vector<GObjectRef> samples;
  samples.emplace_back(new GGraphicComposite);
  samples.emplace_back(new GPathGraphic);
  auto* nested =
      PathOf({RectangleGraphic(Rect(-3, 2, 2, 9)), new GPolygonGraphic(Owned({{1, 1}, {5, 1}, {5, 5}}), nullptr, 0)});
  nested->SetClosed();
  auto* path = new GPathGraphic(bundle, 4);
  path->AddChild(RectangleGraphic(Rect(1, 1, 4, 4), 2));
  path->AddChild(nested);
  samples.emplace_back(path);
  auto* list = new GGraphicComposite(bundle, 5);
  list->AddChild(path);
  list->AddChild(RectangleGraphic(Rect(0, 0, 8, 8)));
  samples.emplace_back(list);
  for (const GObjectRef& sample : samples) {
    SCOPED_TRACE(sample->ClassID());
    EXPECT_TRUE(RoundTrips(*sample));
  }
}

// The list's own part: the graphic's version, its own version, then the
// embedded list as an object with its class header; a path adds its
// version and closed flag.
TEST(GraphicComposite, StoredForms) {
  GPathGraphic path(nullptr, 4);
  path.SetClosed();
  const std::string bytes = SaveGraph(StoreForm::kFile, &path);
  const std::string head = Graph(kGPathGraphicClassID, Words({1, 4, path.SerialNumber(), 1}) + kNilObject +
                                                           Words({1, 1}) + Shorts({kMPersistentCompositeClassID}));
  ASSERT_GT(bytes.size(), head.size() + 8);
  EXPECT_EQ(bytes.substr(0, head.size()), head);
  EXPECT_EQ(bytes.substr(bytes.size() - 8), Words({1, 1}));
}

// Restored lists keep only graphics, so that whoever draws one may treat
// every child as a graphic.
TEST(GraphicComposite, ARestoredListDropsWhatIsNoGraphic) {
  for (const bool path : {false, true}) {
    SCOPED_TRACE(path ? "path" : "list");
    std::unique_ptr<GGraphicComposite> list(path ? new GPathGraphic : new GGraphicComposite);
    list->AddChild(RectangleGraphic(Rect(0, 0, 1, 1)));
    // Only the embedded list itself takes what is no graphic.
    list->GGraphicComposite::AsComposite()->AddChild(new GCap(1, 0));
    ASSERT_EQ(list->Children().Count(), 2U);
    const GObjectRef restored = RestoreGraph(StoreForm::kFile, SaveGraph(StoreForm::kFile, list.get()));
    ASSERT_TRUE(restored);
    const auto& children = static_cast<GGraphicComposite&>(*restored).Children();
    ASSERT_EQ(children.Count(), 1U);
    EXPECT_EQ(children[0]->ClassID(), kGRectangleGraphicClassID);
  }
}

}  // namespace
