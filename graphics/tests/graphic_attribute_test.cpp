// Tests of the pen, brush, cap, joint, fill-mode and raster-operation
// attributes: what the factory builds, which handler each reaches, their
// equality, the references on their paints and their stored forms.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/rw_factory.h"
#include "graphics/attributes/brush.h"
#include "graphics/attributes/cap.h"
#include "graphics/attributes/fill_mode.h"
#include "graphics/attributes/joint.h"
#include "graphics/attributes/pen.h"
#include "graphics/attributes/raster_operation.h"
#include "graphics/colour/color_paint.h"
#include "graphics/tests/attribute_recorder.h"
#include "graphics/tests/stored_parts.h"
#include "model/testing/round_trip.h"

namespace {

GColorPaint* Paint(uint8_t red) { return new GColorPaint(new GRGBColor(red, 0, 0, 255)); }

// The own fields of an attribute as text, so that a table row names them.
std::string Describe(const MPersistentObject& object) {
  std::string text;
  if (const auto* pen = dynamic_cast<const GPen*>(&object)) {
    text = "width " + std::to_string(pen->GetWidth()) + (pen->GetPaint() != nullptr ? " paint" : " no paint");
  }
  if (const auto* pen = dynamic_cast<const GDashedPen*>(&object)) {
    text += " dashes " + std::to_string(pen->GetDashCount()) + (pen->GetDashArray() != nullptr ? " array" : "") +
            " offset " + std::to_string(pen->GetDashOffset());
  }
  if (const auto* brush = dynamic_cast<const GBrush*>(&object)) {
    text = brush->GetPaint() != nullptr ? "paint" : "no paint";
  }
  if (const auto* cap = dynamic_cast<const GCap*>(&object)) text = "kind " + std::to_string(cap->GetKind());
  if (const auto* joint = dynamic_cast<const GJoint*>(&object)) text = "kind " + std::to_string(joint->GetKind());
  if (const auto* joint = dynamic_cast<const GMiterJoint*>(&object)) {
    text += " limit " + std::to_string(joint->GetLimit());
  }
  if (const auto* mode = dynamic_cast<const GFillMode*>(&object)) text = "mode " + std::to_string(mode->GetMode());
  if (const auto* operation = dynamic_cast<const GRasterOperation*>(&object)) {
    text = "code " + std::to_string(operation->GetCode()) + " mode " + std::to_string(operation->GetMode());
  }
  return text;
}

TEST(GraphicAttribute, TheFactoryBuildsEachDefaultUnderKeyZeroMarkedChanged) {
  struct Case {
    RWClassID id;
    const char* fields;
    RWClassID baseType;
  };
  // clang-format off
  const Case cases[] = {
      {kGPenClassID,              "width 1 no paint",                     kGPenClassID},
      {kGNoPenClassID,            "width 0 no paint",                     kGPenClassID},
      {kGDashedPenClassID,        "width 0 no paint dashes 0 offset 0",   kGPenClassID},
      {kGBrushClassID,            "no paint",                             kGBrushClassID},
      {kGNoBrushClassID,          "no paint",                             kGBrushClassID},
      {kGCapClassID,              "kind 1",                               kGCapClassID},
      {kGJointClassID,            "kind 3",                               kGJointClassID},
      {kGMiterJointClassID,       "kind 0 limit 0.000000",                kGJointClassID},
      {kGFillModeClassID,         "mode 2",                               kGFillModeClassID},
      {kGRasterOperationClassID,  "code 0 mode 2",                        kGRasterOperationClassID},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    const std::unique_ptr<RWCollectable> made(FactoryCreateByID(c.id));
    const auto* attribute = dynamic_cast<const GAttribute*>(made.get());
    ASSERT_NE(attribute, nullptr);
    EXPECT_EQ(Describe(*attribute), c.fields);
    EXPECT_EQ(attribute->Key(), 0);
    EXPECT_EQ(attribute->ChangedFlag(), 1);
    EXPECT_EQ(attribute->BaseTypeId(), c.baseType);
  }
}

TEST(GraphicAttribute, ConstructorsKeepTheirArgumentsAndAPlainJointIsNeverAMiter) {
  struct Case {
    const char* name;
    std::function<GAttribute*()> make;
    const char* fields;
  };
  // clang-format off
  const Case cases[] = {
      {"pen",                 [] { return new GPen(-4, Paint(1), 160); },                    "width -4 paint"},
      {"dashed_pen",          [] { return new GDashedPen({3, 1}, 2, Paint(1), -5, 160); },   "width 2 paint dashes 2 array offset -5"},
      {"dashed_pen_no_dashes", [] { return new GDashedPen({}, 2, nullptr, 7, 160); },        "width 2 no paint dashes 0 offset 7"},
      {"brush",               [] { return new GBrush(Paint(1), 154); },                      "paint"},
      {"cap",                 [] { return new GCap(9, 166); },                               "kind 9"},
      {"joint_asked_for_miter", [] { return new GJoint(0, 172); },                          "kind 3"},
      {"joint_bevel",         [] { return new GJoint(2, 172); },                             "kind 2"},
      {"joint_set_to_miter",  [] { auto* j = new GJoint(1, 172); j->SetKind(0); return j; }, "kind 0"},
      {"miter_joint",         [] { return new GMiterJoint(4.5F, 172); },                     "kind 0 limit 4.500000"},
      {"fill_mode",           [] { return new GFillMode(1, 182); },                          "mode 1"},
      {"raster_operation",    [] { return new GRasterOperation(240, 1, 183); },              "code 240 mode 1"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const GObjectRef attribute(c.make());
    EXPECT_EQ(Describe(*attribute), c.fields);
    // A clone carries the same fields, key and flag.
    const GObjectRef clone(attribute->CloneObject());
    EXPECT_EQ(Describe(*clone), c.fields);
    EXPECT_EQ(clone->Key(), attribute->Key());
    EXPECT_TRUE(clone->Equals(attribute.Get()));
  }
}

// Each class reaches exactly its own handler, with itself, and answers the
// handler's status.
TEST(GraphicAttribute, SendToReachesTheHandlerOfTheClass) {
  struct Case {
    RWClassID id;
    const char* handler;
  };
  // clang-format off
  const Case cases[] = {
      {kGPenClassID, "pen"},           {kGNoPenClassID, "no_pen"},     {kGDashedPenClassID, "dashed_pen"},
      {kGBrushClassID, "brush"},       {kGNoBrushClassID, "no_brush"}, {kGCapClassID, "cap"},
      {kGJointClassID, "joint"},       {kGMiterJointClassID, "miter_joint"},
      {kGFillModeClassID, "fill_mode"}, {kGRasterOperationClassID, "raster_operation"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.handler);
    const std::unique_ptr<RWCollectable> made(FactoryCreateByID(c.id));
    auto& attribute = dynamic_cast<GAttribute&>(*made);
    AttributeRecorder stage;
    EXPECT_EQ(attribute.SendTo(stage), AttributeRecorder::kStatus);
    EXPECT_EQ(stage.Handlers(), std::vector<std::string>{c.handler});
    EXPECT_EQ(stage.calls[0].object, &attribute);
  }
}

TEST(GraphicAttribute, EqualityOfEachClass) {
  struct Case {
    const char* name;
    std::function<GAttribute*()> left;
    std::function<GAttribute*()> right;
    bool equal;
  };
  // clang-format off
  const Case cases[] = {
      {"pens_with_equal_paints",    [] { return new GPen(2, Paint(1), 160); }, [] { return new GPen(2, Paint(1), 160); }, true},
      {"pens_without_paint",        [] { return new GPen(2, nullptr, 160); },  [] { return new GPen(2, nullptr, 160); },  true},
      {"pen_of_other_width",        [] { return new GPen(2, Paint(1), 160); }, [] { return new GPen(3, Paint(1), 160); }, false},
      {"pen_of_other_paint",        [] { return new GPen(2, Paint(1), 160); }, [] { return new GPen(2, Paint(2), 160); }, false},
      {"pen_without_paint_and_with", [] { return new GPen(2, nullptr, 160); }, [] { return new GPen(2, Paint(1), 160); }, false},
      {"pen_of_other_key",          [] { return new GPen(2, nullptr, 160); },  [] { return new GPen(2, nullptr, 161); },  false},
      {"pen_and_dashed_pen",        [] { return new GPen(0, nullptr, 160); },  [] { return new GDashedPen; },             false},
      {"no_pens",                   [] { return new GNoPen; },                 [] { return new GNoPen; },                 true},
      {"no_pen_holding_a_paint",    [] { auto* p = new GNoPen; p->SetPaint(Paint(1)); return p; },
                                    [] { auto* p = new GNoPen; p->SetPaint(Paint(1)); return p; },                       false},
      {"dashed_pens",               [] { return new GDashedPen({3, 1}, 2, nullptr, 1, 160); },
                                    [] { return new GDashedPen({3, 1}, 2, nullptr, 1, 160); },                            true},
      {"dashed_pen_of_other_offset", [] { return new GDashedPen({3, 1}, 2, nullptr, 1, 160); },
                                    [] { return new GDashedPen({3, 1}, 2, nullptr, 0, 160); },                            false},
      {"dashed_pen_of_other_dashes", [] { return new GDashedPen({3, 1}, 2, nullptr, 1, 160); },
                                    [] { return new GDashedPen({3, 2}, 2, nullptr, 1, 160); },                            false},
      {"dashed_pen_of_fewer_dashes", [] { return new GDashedPen({3, 1}, 2, nullptr, 1, 160); },
                                    [] { return new GDashedPen({3}, 2, nullptr, 1, 160); },                               false},
      {"brushes_with_equal_paints", [] { return new GBrush(Paint(1), 154); },  [] { return new GBrush(Paint(1), 154); },  true},
      {"brush_of_other_paint",      [] { return new GBrush(Paint(1), 154); },  [] { return new GBrush(Paint(2), 154); },  false},
      {"brush_without_paint_and_with", [] { return new GBrush(nullptr, 154); }, [] { return new GBrush(Paint(1), 154); }, false},
      {"brush_and_no_brush",        [] { return new GBrush; },                 [] { return new GNoBrush; },               false},
      {"no_brushes_of_other_paints", [] { auto* b = new GNoBrush; b->SetPaint(Paint(1)); return b; },
                                    [] { return new GNoBrush; },                                                          true},
      {"no_brushes_of_other_keys",  [] { return new GNoBrush; },               [] { auto* b = new GNoBrush; b->SetKey(1); return b; }, false},
      {"caps",                      [] { return new GCap(2, 166); },           [] { return new GCap(2, 166); },           true},
      {"cap_of_other_kind",         [] { return new GCap(2, 166); },           [] { return new GCap(0, 166); },           false},
      {"cap_of_other_key",          [] { return new GCap(2, 166); },           [] { return new GCap(2, 1); },             false},
      {"joint_of_other_kind",       [] { return new GJoint(1, 172); },         [] { return new GJoint(2, 172); },         false},
      {"joint_of_other_key",        [] { return new GJoint(1, 172); },         [] { return new GJoint(1, 1); },           false},
      {"miter_joints",              [] { return new GMiterJoint(3, 172); },    [] { return new GMiterJoint(3, 172); },    true},
      {"miter_joint_of_other_limit", [] { return new GMiterJoint(3, 172); },   [] { return new GMiterJoint(4, 172); },    false},
      {"miter_joint_and_joint_set_to_miter", [] { return new GMiterJoint(0, 172); },
                                    [] { auto* j = new GJoint(1, 172); j->SetKind(0); return j; },                        false},
      {"fill_modes_of_other_keys",  [] { return new GFillMode(1, 182); },      [] { return new GFillMode(1, 5); },        true},
      {"fill_mode_of_other_mode",   [] { return new GFillMode(1, 182); },      [] { return new GFillMode(0, 182); },      false},
      {"raster_operations_of_other_keys", [] { return new GRasterOperation(240, 0, 183); },
                                    [] { return new GRasterOperation(240, 0, 1); },                                       true},
      {"raster_operation_of_other_code", [] { return new GRasterOperation(240, 0, 183); },
                                    [] { return new GRasterOperation(170, 0, 183); },                                     false},
      {"raster_operation_of_other_mode", [] { return new GRasterOperation(240, 0, 183); },
                                    [] { return new GRasterOperation(240, 1, 183); },                                     false},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const GObjectRef left(c.left());
    const GObjectRef right(c.right());
    EXPECT_EQ(left->SameContent(*right), c.equal);
    EXPECT_TRUE(left->SameContent(*left));
  }
}

// A pen or brush holds one reference on its paint: setting the paint held
// changes nothing, replacing it gives the reference back, and copies share
// the paint.
TEST(GraphicAttribute, PensAndBrushesHoldOneReferenceOnTheirPaint) {
  struct Case {
    const char* name;
    std::function<GAttribute*(GPaint*)> make;
    std::function<void(GAttribute&, GPaint*)> setPaint;
    std::function<GPaint*(const GAttribute&)> getPaint;
  };
  const Case cases[] = {
      {"pen", [](GPaint* paint) { return new GPen(1, paint, 160); },
       [](GAttribute& pen, GPaint* paint) { static_cast<GPen&>(pen).SetPaint(paint); },
       [](const GAttribute& pen) { return static_cast<const GPen&>(pen).GetPaint(); }},
      {"brush", [](GPaint* paint) { return new GBrush(paint, 154); },
       [](GAttribute& brush, GPaint* paint) { static_cast<GBrush&>(brush).SetPaint(paint); },
       [](const GAttribute& brush) { return static_cast<const GBrush&>(brush).GetPaint(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const GObjectRef first(Paint(1));
    const GObjectRef second(Paint(2));
    auto* paint = static_cast<GPaint*>(first.Get());
    {
      const GObjectRef attribute(c.make(paint));
      EXPECT_EQ(first->ReferenceCount(), 1);
      c.setPaint(static_cast<GAttribute&>(*attribute), paint);
      EXPECT_EQ(first->ReferenceCount(), 1);
      {
        const GObjectRef clone(attribute->CloneObject());
        EXPECT_EQ(c.getPaint(static_cast<const GAttribute&>(*clone)), paint);
        EXPECT_EQ(first->ReferenceCount(), 2);
      }
      c.setPaint(static_cast<GAttribute&>(*attribute), static_cast<GPaint*>(second.Get()));
      EXPECT_EQ(first->ReferenceCount(), 0);
      EXPECT_EQ(second->ReferenceCount(), 1);
      c.setPaint(static_cast<GAttribute&>(*attribute), nullptr);
      EXPECT_EQ(c.getPaint(static_cast<const GAttribute&>(*attribute)), nullptr);
      EXPECT_EQ(second->ReferenceCount(), 0);
      c.setPaint(static_cast<GAttribute&>(*attribute), paint);
    }
    // The attribute gave its reference back when it went.
    EXPECT_EQ(first->ReferenceCount(), 0);
  }
}

TEST(GraphicAttribute, ADashedPenCopyHasItsOwnDashes) {
  const GDashedPen pen({5, 6, 7}, 1, nullptr, 2, 160);
  const GDashedPen copy(pen);
  ASSERT_EQ(copy.GetDashCount(), 3u);
  EXPECT_NE(copy.GetDashArray(), pen.GetDashArray());
  EXPECT_EQ(std::vector<uint16_t>(copy.GetDashArray(), copy.GetDashArray() + 3), (std::vector<uint16_t>{5, 6, 7}));
}

// Every stored form derived by hand from the layouts, and every object
// round trips.
TEST(GraphicAttribute, StoredForms) {
  struct Case {
    const char* name;
    std::function<GAttribute*()> make;
    std::function<std::string(const GAttribute&)> ownPart;
  };
  // clang-format off
  const Case cases[] = {
      {"pen_without_paint", [] { return new GPen(3, nullptr, 160); },
       [](const GAttribute&) { return Words({1}) + Shorts({3}) + kNilObject; }},
      {"pen_with_paint", [] { return new GPen(-2, new GColorPaint, 160); },
       [](const GAttribute& a) {
         const GPaint& paint = *static_cast<const GPen&>(a).GetPaint();
         return Words({1}) + Shorts({0xFFFE}) + Shorts({152}) + Words({1, 0, paint.SerialNumber(), 1, 1}) + kNilObject;
       }},
      {"no_pen", [] { return new GNoPen; },
       [](const GAttribute&) { return Words({1}) + Shorts({0}) + kNilObject + Words({1}); }},
      {"dashed_pen", [] { return new GDashedPen({4, 2, 1}, 5, nullptr, -1, 160); },
       [](const GAttribute&) { return Words({1}) + Shorts({5}) + kNilObject + Words({1}) + Shorts({0xFFFF}) + Words({3}) + Shorts({4, 2, 1}); }},
      {"dashed_pen_without_dashes", [] { return new GDashedPen({}, 5, nullptr, 3, 160); },
       [](const GAttribute&) { return Words({1}) + Shorts({5}) + kNilObject + Words({1}) + Shorts({3}) + Words({0}); }},
      {"brush_without_paint", [] { return new GBrush(nullptr, 154); },
       [](const GAttribute&) { return Words({1}) + kNilObject; }},
      {"no_brush", [] { return new GNoBrush; },
       [](const GAttribute&) { return Words({1}) + kNilObject + Words({1}); }},
      {"cap", [] { return new GCap(2, 166); },
       [](const GAttribute&) { return Words({1, 2}); }},
      {"joint", [] { return new GJoint(1, 172); },
       [](const GAttribute&) { return Words({1, 1}); }},
      {"miter_joint", [] { return new GMiterJoint(2.5F, 172); },
       [](const GAttribute&) { return Words({1, 0, 1, 0x40200000}); }},
      {"fill_mode", [] { return new GFillMode(1, 182); },
       [](const GAttribute&) { return Words({1, 1}); }},
      {"raster_operation", [] { return new GRasterOperation(0xAA, 1, 183); },
       [](const GAttribute&) { return Words({1}) + Shorts({0xAA}) + Words({1}); }},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const GObjectRef held(c.make());
    auto& attribute = static_cast<GAttribute&>(*held);
    attribute.SetChangedFlag(0);
    EXPECT_EQ(SaveGraph(StoreForm::kFile, &attribute),
              Graph(attribute.ClassID(), GraphicStatePart(attribute) + c.ownPart(attribute)));
    EXPECT_TRUE(RoundTrips(attribute));
  }
}

TEST(GraphicAttribute, APenOfAnotherStoredVersionKeepsItsWidthAndPaint) {
  GPen pen(7, Paint(1), 160);
  const std::string bytes = GraphicStatePart(GPen(3, nullptr, 160)) + Words({2}) + Shorts({3}) + kNilObject;
  RestoreContentsFromFileBytes(pen, bytes);
  EXPECT_EQ(pen.GetWidth(), 7);
  EXPECT_NE(pen.GetPaint(), nullptr);
}

TEST(GraphicAttribute, RestoringAPenSavedWithoutPaintLetsGoOfThePaintHeld) {
  const GObjectRef paint(Paint(1));
  GPen pen(7, static_cast<GPaint*>(paint.Get()), 160);
  const GPen bare(3, nullptr, 160);
  EXPECT_TRUE(RestoreInPlace(pen, GraphicStatePart(bare) + Words({1}) + Shorts({3}) + kNilObject));
  EXPECT_EQ(pen.GetWidth(), 3);
  EXPECT_EQ(pen.GetPaint(), nullptr);
  EXPECT_EQ(paint->ReferenceCount(), 0);
}

// The paint reference must name a paint; anything else is refused.
TEST(GraphicAttribute, APaintReferenceToAnotherClassIsRefused) {
  GBrush brush(Paint(1), 154);
  const std::string colour = Shorts({53}) + Words({1, 0, 5, 1, 1}) + "\x01\x02\x03\x04";
  RestoreInPlace(brush, GraphicStatePart(brush) + Words({1}) + colour);
  EXPECT_EQ(brush.GetPaint(), nullptr);
}

// The dash count is checked against the bytes that follow before anything
// is allocated or read.
TEST(GraphicAttribute, ADashCountBeyondTheStoredBytesIsRefused) {
  struct Case {
    const char* name;
    uint32_t count;
    std::string lengths;
  };
  const Case cases[] = {
      {"count_of_a_gigabyte", 0x20000000, Shorts({1, 2})},
      {"one_length_short", 3, Shorts({1, 2})},
      {"largest_count", 0xFFFFFFFF, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GDashedPen pen({9, 9}, 1, nullptr, 0, 160);
    const std::string bytes = GraphicStatePart(pen) + Words({1}) + Shorts({1}) + kNilObject + Words({1}) + Shorts({4}) +
                              Words({c.count}) + c.lengths;
    EXPECT_FALSE(RestoreInPlace(pen, bytes));
    EXPECT_EQ(pen.GetDashCount(), 2u);
  }
  GDashedPen pen;
  const GDashedPen stored({1, 2, 3}, 1, nullptr, 4, 160);
  EXPECT_TRUE(RestoreInPlace(pen, GraphicStatePart(stored) + Words({1}) + Shorts({1}) + kNilObject + Words({1}) +
                                      Shorts({4}) + Words({3}) + Shorts({1, 2, 3})));
  EXPECT_EQ(pen.GetDashCount(), 3u);
  EXPECT_EQ(pen.GetDashOffset(), 4);
}

}  // namespace
