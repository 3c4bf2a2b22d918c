// Tests of the transform attribute, its composition and the angle value.
#include "graphics/clips/transform_attribute.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "foundation/rw_factory.h"
#include "graphics/clips/float_value.h"
#include "graphics/tests/attribute_recorder.h"
#include "graphics/tests/stored_parts.h"
#include "model/testing/round_trip.h"

namespace {

struct Values {
  int16_t angle;
  GPoint offset;
  GScale scale;
};

TEST(Transform, ComposeAppliesTheInnerFirst) {
  struct Case {
    const char* name;
    Values outer;
    Values inner;
    Values composed;
  };
  // clang-format off
  const Case cases[] = {
      // The inner offset is scaled but not turned; -15.5 truncates to -15.
      {"turned_and_scaled_outer", {90, {100, 50}, {0.5F, 2.0F}}, {0, {-31, 7}, {1.0F, 1.0F}},
                                  {90, {85, 64}, {0.5F, 2.0F}}},
      {"identity_outer",          {0, {0, 0}, {1.0F, 1.0F}},     {30, {-4, 9}, {0.25F, 3.0F}},
                                  {30, {-4, 9}, {0.25F, 3.0F}}},
      {"positive_product_truncates_down", {0, {0, 0}, {0.3F, 0.7F}}, {0, {10, 10}, {2.0F, 2.0F}},
                                  {0, {3, 7}, {0.6F, 1.4F}}},
      {"angles_and_offsets_wrap_in_16_bits", {32767, {32767, -32768}, {1.0F, 1.0F}}, {1, {1, -1}, {1.0F, 1.0F}},
                                  {-32768, {-32768, 32767}, {1.0F, 1.0F}}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const GTransformAttribute outer(c.outer.angle, c.outer.offset, c.outer.scale);
    const GTransformAttribute inner(c.inner.angle, c.inner.offset, c.inner.scale);
    const std::unique_ptr<GTransformAttribute> composed(ComposeTransforms(outer, inner));
    EXPECT_EQ(composed->GetAngle(), c.composed.angle);
    EXPECT_EQ(composed->GetOffset(), c.composed.offset);
    EXPECT_FLOAT_EQ(composed->GetScale().x, c.composed.scale.x);
    EXPECT_FLOAT_EQ(composed->GetScale().y, c.composed.scale.y);
    EXPECT_EQ(composed->Key(), 0);
  }
}

TEST(Transform, DefaultsHandlerAndEquality) {
  const GObjectRef made(static_cast<MPersistentObject*>(FactoryCreateByID(kGTransformAttributeClassID)));
  auto& transform = static_cast<GTransformAttribute&>(*made);
  EXPECT_EQ(transform.GetAngle(), 0);
  EXPECT_EQ(transform.GetOffset(), (GPoint{0, 0}));
  EXPECT_EQ(transform.GetScale(), (GScale{1.0F, 1.0F}));
  EXPECT_EQ(transform.BaseTypeId(), kGTransformAttributeClassID);
  AttributeRecorder recorder;
  EXPECT_EQ(transform.SendTo(recorder), AttributeRecorder::kStatus);
  EXPECT_EQ(recorder.Handlers(), std::vector<std::string>{"transform"});

  const GTransformAttribute base(90, {1, 2}, {0.5F, 2.0F});
  struct Case {
    const char* name;
    GTransformAttribute other;
    bool equal;
  };
  // clang-format off
  const Case cases[] = {
      {"same_values",   GTransformAttribute(90, {1, 2}, {0.5F, 2.0F}), true},
      {"other_angle",   GTransformAttribute(91, {1, 2}, {0.5F, 2.0F}), false},
      {"other_x",       GTransformAttribute(90, {0, 2}, {0.5F, 2.0F}), false},
      {"other_y",       GTransformAttribute(90, {1, 3}, {0.5F, 2.0F}), false},
      {"other_x_scale", GTransformAttribute(90, {1, 2}, {0.4F, 2.0F}), false},
      {"other_y_scale", GTransformAttribute(90, {1, 2}, {0.5F, 2.5F}), false},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(base.SameContent(c.other), c.equal);
  }
  GTransformAttribute setters;
  setters.SetAngle(90);
  setters.SetOffset({1, 2});
  setters.SetScale({0.5F, 2.0F});
  EXPECT_TRUE(setters.SameContent(base));
}

TEST(Transform, StoredForm) {
  GTransformAttribute transform(-90, {100, -2}, {0.5F, 2.0F});
  transform.SetChangedFlag(0);
  const std::string own = Words({1}) + Shorts({0xFFA6, 100, 0xFFFE}) + Words({0x3F000000, 0x40000000});
  EXPECT_EQ(SaveGraph(StoreForm::kFile, &transform),
            Graph(kGTransformAttributeClassID, Words({1, 0, transform.SerialNumber(), 1, 0}) + own));
  EXPECT_TRUE(RoundTrips(transform));
}

TEST(FloatValue, BringsAnglesIntoZeroTo360) {
  struct Case {
    const char* name;
    float degrees;
    float held;
  };
  // clang-format off
  const Case cases[] = {
      {"inside",           45.0F,    45.0F},
      {"minus_370",        -370.0F,  350.0F},
      {"720",              720.0F,   0.0F},
      {"360",              360.0F,   0.0F},
      {"fraction_below",   -0.5F,    359.5F},
      {"huge_ends",        3.0e9F,   std::fmod(3.0e9F, 360.0F)},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const float held = GFloatValue(c.degrees).Get();
    EXPECT_FLOAT_EQ(held, c.held);
    EXPECT_GE(held, 0.0F);
    EXPECT_LT(held, 360.0F);
  }
  const float negativeZero = GFloatValue(-0.0F).Get();
  EXPECT_EQ(negativeZero, 0.0F);
  EXPECT_TRUE(std::signbit(negativeZero));
  EXPECT_EQ(GFloatValue().Get(), 0.0F);
}

TEST(FloatValue, SineAndCosineTakeDegrees) {
  EXPECT_NEAR(GFloatValue(90.0F).Sin(), 1.0F, 1e-6F);
  EXPECT_NEAR(GFloatValue(-90.0F).Sin(), -1.0F, 1e-6F);
  EXPECT_NEAR(GFloatValue(180.0F).Cos(), -1.0F, 1e-6F);
  EXPECT_NEAR(GFloatValue(420.0F).Cos(), 0.5F, 1e-6F);
}

}  // namespace
