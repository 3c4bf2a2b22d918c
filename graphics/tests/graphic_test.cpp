// What every graphic shares: the factory knows each class, a stage draws
// the children of a list, and a graphic's state is always a graphic bundle.
// (Each graphic's handler is in the commands' dispatch table.)
#include <gtest/gtest.h>

#include <memory>

#include "graphics/attributes/graphic_bundle.h"
#include "graphics/display/path_graphic.h"
#include "graphics/display/poly_bezier_graphic.h"
#include "graphics/display/polygon_graphic.h"
#include "graphics/display/raster_graphic.h"
#include "graphics/display/rectangle_graphic.h"
#include "graphics/display/text_string_graphic.h"
#include "graphics/testing/command_recording_peripheral.h"
#include "graphics/testing/display_classes.h"
#include "model/attributes/state.h"
#include "model/testing/registered_classes.h"

namespace {

TEST(GraphicClassRegistry, TheFactoryCreatesEveryGraphicClassWithItsTableChain) {
  ExpectMadeAsTheClassTableSays(kDisplayClassIDs);
}

template <typename T>
std::unique_ptr<GGraphic> Make() {
  return std::make_unique<T>();
}

// Every graphic class; the dispatch table of the commands holds their
// handlers.
const struct {
  const char* name;
  std::unique_ptr<GGraphic> (*make)();
} kGraphics[] = {
    {"list", Make<GGraphicComposite>},
    {"path", Make<GPathGraphic>},
    {"rectangle", Make<GRectangleGraphic>},
    {"polygon", Make<GPolygonGraphic>},
    {"poly_bezier", Make<GPolyBezierGraphic>},
    {"raster", Make<GRasterGraphic>},
    {"pre_scaled_raster", Make<GPreScaledRasterGraphic>},
    {"text", Make<GTextStringGraphic>},
};

// A list hands nothing on by itself; a stage processing it hands on its
// children.
TEST(GraphicDispatch, AStageDrawsTheChildrenOfAList) {
  auto* list = new GGraphicComposite;
  const GObjectRef held(list);
  list->AddChild(new GRectangleGraphic(GRectangle{0, 0, 1, 1}, nullptr, 0));
  list->AddChild(new GPathGraphic);
  CommandRecordingPeripheral stage;
  EXPECT_EQ(stage.ProcessCommand(list), list);
  ASSERT_EQ(stage.calls.size(), 2u);
  EXPECT_EQ(stage.calls[0].handler, "DrawRectangle");
  EXPECT_EQ(stage.calls[1].handler, "DrawPath");
}

TEST(GraphicState, AGraphicTakesOnlyAGraphicBundleUnderTheGraphicStateKey) {
  for (const auto& c : kGraphics) {
    SCOPED_TRACE(c.name);
    const std::unique_ptr<GGraphic> graphic = c.make();
    EXPECT_EQ(graphic->GetState(), nullptr);
    auto* bundle = new GGraphicBundle;
    bundle->SetKey(5);
    graphic->SetState(bundle);
    ASSERT_EQ(graphic->GetState(), bundle);
    EXPECT_EQ(bundle->Key(), GGraphic::kStateKey);

    // Refused: a plain state (deleted, which the address sanitizer checks)
    // and none at all.
    graphic->SetState(new GState(GGraphic::kStateKey));
    EXPECT_EQ(graphic->GetState(), bundle);
    graphic->SetState(nullptr);
    EXPECT_EQ(graphic->GetState(), bundle);
    GObjectRef plain(new GState(3));
    graphic->SetStateRef(plain);
    EXPECT_EQ(graphic->GetState(), bundle);
    EXPECT_EQ(plain->Key(), 3);
  }
}

TEST(GraphicState, AConstructorGivesTheBundleTheGraphicStateKey) {
  auto* bundle = new GGraphicBundle;
  bundle->SetKey(1);
  const GRectangleGraphic rectangle(GRectangle{0, 0, 1, 1}, bundle, 9);
  EXPECT_EQ(rectangle.GetState(), bundle);
  EXPECT_EQ(bundle->Key(), GGraphic::kStateKey);
  EXPECT_EQ(rectangle.Key(), 9);
}

}  // namespace
