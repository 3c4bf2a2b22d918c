// Tests of the shapes: how they take, borrow and own points, polygon
// closing, the poly-Bézier set-up, bounds, copies and the stored form.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "graphics/attributes/graphic_bundle.h"
#include "graphics/display/poly_bezier_graphic.h"
#include "graphics/display/polygon_graphic.h"
#include "graphics/display/rectangle_graphic.h"
#include "graphics/tests/display_samples.h"
#include "graphics/tests/stored_parts.h"
#include "model/testing/round_trip.h"

namespace {

using Points = std::vector<GPoint>;

TEST(PointArray, BorrowingAndOwning) {
  Points caller = {{1, 2}, {3, 4}};
  const GPointArray borrowed(caller.data(), 2);
  EXPECT_FALSE(borrowed.IsOwned());
  EXPECT_EQ(borrowed.Points(), caller.data());

  GPointArray copyOfBorrowed(borrowed);
  EXPECT_EQ(copyOfBorrowed.Points(), caller.data());
  copyOfBorrowed.OwnData();
  EXPECT_TRUE(copyOfBorrowed.IsOwned());
  EXPECT_NE(copyOfBorrowed.Points(), caller.data());
  caller[0] = {9, 9};
  EXPECT_EQ(PointsOf(copyOfBorrowed), (Points{{1, 2}, {3, 4}}));

  const GPointArray owned = Owned({{5, 6}});
  const GPointArray copyOfOwned(owned);
  EXPECT_TRUE(copyOfOwned.IsOwned());
  EXPECT_NE(copyOfOwned.Points(), owned.Points());
  EXPECT_EQ(PointsOf(copyOfOwned), PointsOf(owned));

  const GPointArray none(caller.data(), 0);
  EXPECT_TRUE(none.IsOwned());
  EXPECT_EQ(none.Points(), nullptr);
}

// A copy of an array whose first points were skipped holds only the points
// read.
TEST(PointArray, ACopyAfterSkippingHoldsThePointsRead) {
  GPointArray owned = Owned({{1, 1}, {2, 2}, {3, 3}});
  owned.SkipFirst();
  const GPointArray copy(owned);
  EXPECT_EQ(PointsOf(copy), (Points{{2, 2}, {3, 3}}));
  EXPECT_EQ(copy.Points(), copy.Storage());
}

TEST(PointArray, AnIndexPastTheLastPointAnswersNull) {
  const GPointArray points = Owned({{1, 1}, {2, 2}});
  EXPECT_NE(points.At(1), nullptr);
  EXPECT_EQ(points.At(2), nullptr);
  EXPECT_EQ(points.At(0xFFFFFFFF), nullptr);
  GPolygonGraphic polygon(points, nullptr, 0);
  EXPECT_EQ(polygon.GetPoint(polygon.GetPointCount()), nullptr);
  EXPECT_EQ(GRectangleGraphic(Rect(0, 0, 1, 1), nullptr, 0).GetPoint(0), nullptr);
}

// Run under the address sanitizer, a shape that still read the caller's
// points after OwnData would be caught reading freed memory.
TEST(ShapeGraphic, ABorrowingShapeReadsTheCallersPointsUntilItOwnsThem) {
  auto caller = std::make_unique<Points>(Points{{0, 0}, {10, 0}, {0, 0}});
  GPolygonGraphic polygon(GPointArray(caller->data(), 3), nullptr, 0);
  EXPECT_FALSE(polygon.GetPointArray()->IsOwned());
  EXPECT_EQ(polygon.GetPoint(0), caller->data());

  const std::unique_ptr<GPolygonGraphic> clone(static_cast<GPolygonGraphic*>(polygon.Clone()));
  EXPECT_EQ(clone->GetPoint(0), caller->data());
  EXPECT_TRUE(clone->SameContent(polygon));

  polygon.OwnData();
  EXPECT_TRUE(polygon.GetPointArray()->IsOwned());
  caller.reset();
  EXPECT_EQ(PointsOf(*polygon.GetPointArray()), (Points{{0, 0}, {10, 0}, {0, 0}}));
}

TEST(ShapeGraphic, AShapeCopiesOwnedPoints) {
  GPointArray given = Owned({{0, 0}, {10, 0}, {0, 0}});
  const GPolygonGraphic polygon(given, nullptr, 0);
  EXPECT_TRUE(polygon.GetPointArray()->IsOwned());
  EXPECT_NE(polygon.GetPoint(0), given.At(0));
  const std::unique_ptr<GPolygonGraphic> clone(static_cast<GPolygonGraphic*>(polygon.Clone()));
  EXPECT_NE(clone->GetPoint(0), polygon.GetPoint(0));
  EXPECT_TRUE(clone->SameContent(polygon));
}

TEST(PolygonGraphic, ClosesItsFigure) {
  struct Case {
    const char* name;
    Points given;
    Points held;
  };
  const Case cases[] = {
      {"open_figure_gets_its_last_point_in_front", {{0, 0}, {10, 0}, {10, 10}}, {{10, 10}, {0, 0}, {10, 0}, {10, 10}}},
      {"closed_figure_kept", {{0, 0}, {10, 0}, {0, 0}}, {{0, 0}, {10, 0}, {0, 0}}},
      {"single_point_closes_itself", {{4, 5}}, {{4, 5}}},
      {"no_points", {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Points caller = c.given;
    const GPolygonGraphic polygon(GPointArray(caller.data(), static_cast<uint32_t>(caller.size())), nullptr, 0);
    EXPECT_EQ(PointsOf(*polygon.GetPointArray()), c.held);
    // A closed copy is the polygon's own; a figure that closed already is
    // still borrowed.
    EXPECT_EQ(polygon.GetPointArray()->IsOwned(), c.given.empty() || c.given != c.held);
  }
}

TEST(PolyBezierGraphic, TheFirstPointBecomesTheStartPoint) {
  struct Case {
    const char* name;
    Points given;
    GPoint start;
    uint32_t count;
    uint32_t segments;
  };
  const Case cases[] = {
      {"two_segments", {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}, {7, 7}}, {1, 1}, 6, 2},
      {"incomplete_segment", {{1, 1}, {2, 2}, {3, 3}}, {1, 1}, 2, 0},
      {"start_alone", {{8, -8}}, {8, -8}, 0, 0},
      {"no_points", {}, {0, 0}, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const bool owned : {false, true}) {
      SCOPED_TRACE(owned ? "owned" : "borrowed");
      Points caller = c.given;
      const GPointArray given =
          owned ? Owned(caller) : GPointArray(caller.data(), static_cast<uint32_t>(caller.size()));
      const GPolyBezierGraphic curve(given, nullptr, 0);
      EXPECT_EQ(*curve.GetStartPoint(), c.start);
      EXPECT_EQ(curve.GetPointCount(), c.count);
      EXPECT_EQ(curve.GetBezierCount(), c.segments);
      if (c.count > 0) {
        EXPECT_EQ(*curve.GetPoint(0), c.given[1]);
      }
      EXPECT_EQ(curve.GetPoint(c.count), nullptr);
    }
  }
}

TEST(PolyBezierGraphic, ACopyKeepsTheClosedFlag) {
  GPolyBezierGraphic curve(Owned({{1, 1}, {2, 2}, {3, 3}, {4, 4}}), nullptr, 0);
  curve.SetClosedFlag(true);
  const std::unique_ptr<GPolyBezierGraphic> clone(static_cast<GPolyBezierGraphic*>(curve.Clone()));
  EXPECT_TRUE(clone->GetClosedFlag());
  EXPECT_EQ(PointsOf(*clone->GetPointArray()), PointsOf(*curve.GetPointArray()));
}

TEST(ShapeGraphic, Bounds) {
  struct Case {
    const char* name;
    GPoint start;
    Points points;
    GRectangle bounds;
  };
  const Case cases[] = {
      {"start_point_is_kept", {0, 0}, {{5, 5}, {7, -2}}, Rect(0, -2, 7, 5)},
      {"negative_points_compare_signed", {-1, -1}, {{-5, 3}, {-7, -20}}, Rect(-7, -20, -1, 3)},
      {"single_point_leaves_the_bounds", {3, 3}, {{5, 5}}, Rect(0, 0, 0, 0)},
      {"no_points", {3, 3}, {}, Rect(0, 0, 0, 0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GPolygonGraphic shape;
    shape.SetPoints(Owned(c.points));
    shape.SetStartPoint(c.start);
    EXPECT_EQ(*shape.GetBounds(), c.bounds);
  }
}

// Known bounds are answered as they are until new points make them
// unknown.
TEST(ShapeGraphic, BoundsOnceKnownStayUntilThePointsChange) {
  GRectangleGraphic rectangle(Rect(1, 2, 3, 4), nullptr, 0);
  rectangle.SetPoints(Owned({{-9, -9}, {9, 9}}));
  EXPECT_EQ(*rectangle.GetBounds(), Rect(-9, -9, 9, 9));
  GRectangleGraphic known(Rect(1, 2, 3, 4), nullptr, 0);
  EXPECT_EQ(*known.GetBounds(), Rect(1, 2, 3, 4));

  GPolygonGraphic polygon(Owned({{1, 1}, {4, 4}, {1, 1}}), nullptr, 0);
  EXPECT_EQ(*polygon.GetBounds(), Rect(0, 0, 4, 4));
  polygon.SetStartPoint({-5, -5});
  EXPECT_EQ(*polygon.GetBounds(), Rect(0, 0, 4, 4));
  // A copy computes its own.
  const std::unique_ptr<GPolygonGraphic> clone(static_cast<GPolygonGraphic*>(polygon.Clone()));
  EXPECT_EQ(*clone->GetBounds(), Rect(-5, -5, 4, 4));
}

TEST(ShapeGraphic, Equality) {
  const auto sample = [] {
    auto shape = std::make_unique<GPolyBezierGraphic>(Owned({{0, 0}, {1, 1}, {2, 2}, {3, 3}}), nullptr, 5);
    shape->SetDirection(1);
    shape->SetEndPoint({4, 4});
    shape->SetCornerSize({2, 3});
    return shape;
  };
  const ChangeCase<GShapeGraphic> cases[] = {
      {"unchanged", [](GShapeGraphic&) {}, true},
      {"known_against_unknown_bounds", [](GShapeGraphic& s) { s.GetBounds(); }, true},
      {"direction", [](GShapeGraphic& s) { s.SetDirection(2); }, false},
      {"start_point",
       [](GShapeGraphic& s) {
         s.SetStartPoint({0, 1});
       },
       false},
      {"end_point",
       [](GShapeGraphic& s) {
         s.SetEndPoint({0, 1});
       },
       false},
      {"corner_size",
       [](GShapeGraphic& s) {
         s.SetCornerSize({0, 1});
       },
       false},
      {"one_point",
       [](GShapeGraphic& s) {
         s.SetPoints(Owned({{1, 1}, {2, 2}, {3, 4}}));
       },
       false},
      {"point_count",
       [](GShapeGraphic& s) {
         s.SetPoints(Owned({{1, 1}, {2, 2}}));
       },
       false},
      {"key", [](GShapeGraphic& s) { s.SetKey(6); }, false},
      {"state", [](GShapeGraphic& s) { s.SetState(new GGraphicBundle); }, false},
  };
  ExpectEqualityAfterChanges(sample, cases);
  // Same points, other class.
  Points points = {{1, 1}, {2, 2}, {1, 1}};
  const GPolygonGraphic polygon(GPointArray(points.data(), 3), nullptr, 0);
  GPolyBezierGraphic curve(GPointArray(points.data(), 3), nullptr, 0);
  curve.SetPoints(GPointArray(points.data(), 3));
  curve.SetStartPoint({0, 0});
  EXPECT_FALSE(polygon.SameContent(curve));
  // Known bounds that differ.
  GRectangleGraphic a(Rect(0, 0, 1, 1), nullptr, 0);
  GRectangleGraphic b(Rect(0, 0, 1, 2), nullptr, 0);
  EXPECT_FALSE(a.SameContent(b));
}

TEST(ShapeGraphic, EveryShapeRoundTrips) {
  Points caller = {{1, -1}, {300, 2}, {-300, 3}, {4, 4}};
  auto* bundle = new GGraphicBundle;
  std::vector<GObjectRef> shapes;
  shapes.emplace_back(new GRectangleGraphic(Rect(-1, 2, 300, 4), bundle, 7));
  shapes.emplace_back(new GPolygonGraphic(GPointArray(caller.data(), 4), nullptr, 0));
  shapes.emplace_back(new GPolyBezierGraphic(GPointArray(caller.data(), 4), bundle, 8));
  shapes.emplace_back(new GPolygonGraphic);
  auto* arcLike = new GPolygonGraphic(Owned({{1, 1}, {2, 2}, {1, 1}}), nullptr, 0);
  arcLike->SetDirection(1);
  arcLike->SetEndPoint({-3, 3});
  arcLike->SetCornerSize({5, 6});
  arcLike->GetBounds();
  shapes.emplace_back(arcLike);
  for (const GObjectRef& shape : shapes) {
    SCOPED_TRACE(shape->ClassID());
    EXPECT_TRUE(RoundTrips(*shape));
  }
}

// The stored form, byte by byte: the points are little-endian x, y pairs
// whatever the host.
TEST(ShapeGraphic, StoredForm) {
  Points caller = {{1, -2}, {0x0102, 3}, {1, -2}};
  GPolygonGraphic polygon(GPointArray(caller.data(), 3), nullptr, 9);
  polygon.SetDirection(1);
  polygon.SetStartPoint({5, 6});
  polygon.SetEndPoint({7, 8});
  polygon.SetCornerSize({-1, 10});
  polygon.GetBounds();
  const std::string own = Words({1, 1, 3}) + std::string("\x01\x00\xFE\xFF\x02\x01\x03\x00\x01\x00\xFE\xFF", 12) +
                          Words({1}) + Shorts({1, 0xFFFE, 0x0102, 6, 5, 6, 7, 8, 0xFFFF, 10}) + Words({1});
  const std::string stored =
      Graph(kGPolygonGraphicClassID, Words({1, 9, polygon.SerialNumber(), 1}) + kNilObject + Words({1}) + own);
  EXPECT_EQ(SaveGraph(StoreForm::kFile, &polygon), stored);

  const GObjectRef restored = RestoreGraph(StoreForm::kFile, stored);
  ASSERT_TRUE(restored);
  const auto& shape = static_cast<const GPolygonGraphic&>(*restored);
  EXPECT_TRUE(shape.GetPointArray()->IsOwned());
  EXPECT_EQ(PointsOf(*shape.GetPointArray()), caller);
  EXPECT_TRUE(shape.SameContent(polygon));
}

// A version this system does not know stops the restore before the
// shape's fields.
TEST(ShapeGraphic, AnUnknownVersionLeavesTheFields) {
  GPolygonGraphic polygon(Owned({{1, 1}, {2, 2}, {1, 1}}), nullptr, 0);
  const std::string newer = Words({1, 0, polygon.SerialNumber(), 1}) + kNilObject + Words({1, 2, 7, 1}) +
                            Shorts({9, 9}) + Words({0}) + std::string(20, '\0') + Words({1});
  RestoreInPlace(polygon, newer);
  EXPECT_EQ(polygon.GetDirection(), GShapeGraphic::kDefaultDirection);
  EXPECT_EQ(PointsOf(*polygon.GetPointArray()), (Points{{1, 1}, {2, 2}, {1, 1}}));
}

TEST(ShapeGraphic, APointCountBeyondTheStoredBytesIsRefused) {
  GPolygonGraphic polygon(Owned({{1, 1}, {2, 2}, {1, 1}}), nullptr, 0);
  const std::string truncated =
      Words({1, 0, polygon.SerialNumber(), 1}) + kNilObject + Words({1, 1, 2, 0x10000000}) + Shorts({1, 2, 3, 4});
  EXPECT_FALSE(RestoreInPlace(polygon, truncated));
  EXPECT_LE(polygon.GetPointCount(), 3U);
}

}  // namespace
