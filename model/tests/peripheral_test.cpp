// Each attribute class hands itself to its own operation of the pipeline
// stage, and the stage's answer comes back.
#include "model/attributes/peripheral.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/tests/attribute_test_support.h"

namespace {

// A stage that handles nothing: the base's answers.
class PlainPeripheral : public GPeripheral {
 public:
  RWClassID ClassID() const override { return 0x7E23; }
  uint16_t SendTo(GPeripheral&) override { return 0; }
};

TEST(PeripheralTest, EachAttributeReachesItsOwnHandler) {
  struct Case {
    const char* name;
    std::function<GAttribute*()> make;
    std::vector<std::string> handlers;
    int32_t flagAfter;
  };
  // clang-format off
  const Case cases[] = {
      {"value", [] { return Value(1, 2, 1); }, {"value"}, 1},
      {"string", [] { return Text(1, "a", 1); }, {"string"}, 1},
      {"range", [] { return Range(1, 2, 1); }, {"range"}, 1},
      {"enumeration", [] { auto* e = new GEnumAttribute(1); e->AddChild(Value(2, 3, 1)); return e; }, {"enum"}, 0},
      {"composite", [] { return Composite(1, {Text(2, "b", 1), Value(3, 4, 1)}, 1); }, {"string", "value"}, 0},
      {"state", [] { return State(1, {Range(2, 3, 1), State(4, {Value(5, 6, 1)}, 1)}, 1); }, {"range", "value"}, 0},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::unique_ptr<GAttribute> attribute(c.make());
    RecordingPeripheral stage;
    stage.statuses = {0, 9};
    EXPECT_EQ(attribute->SendTo(stage), c.handlers.size() > 1 ? 9 : 0);
    std::vector<std::string> reached;
    for (const RecordingPeripheral::Call& call : stage.calls) reached.push_back(call.handler);
    EXPECT_EQ(reached, c.handlers);
    EXPECT_EQ(attribute->ChangedFlag(), c.flagAfter);
    if (c.handlers.size() == 1) {
      EXPECT_EQ(stage.calls[0].attribute, attribute.get());
    }
  }
}

TEST(PeripheralTest, TheBaseStageAnswersZeroForEveryKind) {
  PlainPeripheral stage;
  const std::unique_ptr<GAttribute> attributes[] = {
      std::unique_ptr<GAttribute>(Value(1, 1)), std::unique_ptr<GAttribute>(Text(1, "a")),
      std::unique_ptr<GAttribute>(Range(1, 1)), std::make_unique<GEnumAttribute>(1)};
  for (const auto& attribute : attributes) EXPECT_EQ(attribute->SendTo(stage), 0);
  EXPECT_TRUE(stage.IsKindOf(kGPeripheralClassID));
  EXPECT_TRUE(stage.IsKindOf(kGAttributeClassID));
  EXPECT_FALSE(stage.IsKindOf(kGPeripheralCompositeClassID));
}

}  // namespace
