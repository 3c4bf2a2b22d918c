// Tests of the seven colour features: defaults, handlers, device codes,
// equality and stored forms.
#include "device/colour/colour_feature_attribute.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "device/tests/object_bytes.h"
#include "device/tests/recording_peripheral.h"
#include "foundation/rw_factory.h"
#include "model/attributes/value_attribute.h"
#include "model/objects/persistent_association.h"
#include "model/objects/persistent_composite.h"
#include "model/testing/round_trip.h"

namespace {

struct Feature {
  const char* name;
  std::function<GColorFeatureAttribute*()> makeDefault;
  std::function<GColorFeatureAttribute*(int32_t value, int32_t key)> make;
  int16_t defaultValue;
  const char* handler;
  int32_t table;
};

template <typename T>
Feature Describe(const char* name, int16_t defaultValue, const char* handler, int32_t table) {
  return {
      name, [] { return new T; }, [](int32_t value, int32_t key) { return new T(value, key); }, defaultValue, handler,
      table};
}

const Feature kFeatures[] = {
    Describe<GSRGBExtension>("srgb_extension", 100, "srgb_extension", 552),
    Describe<GEdgeControl>("edge_control", 93, "edge_control", 545),
    Describe<GSRGBColor>("srgb_color", 98, "srgb_color", 552),
    Describe<GHalftoneEnhanced>("halftone_enhanced", 40, "halftone_enhanced", 533),
    Describe<GHalftone>("halftone", 40, "halftone", 533),
    Describe<GNeutralGrays>("neutral_grays", 70, "neutral_grays", 543),
    Describe<GColorMap>("color_map", 15, "color_map", 537),
};

TEST(ColourFeature, DefaultsHandlersAndDeviceCodesOfEachFeature) {
  MPersistentComposite configuration(198);
  for (int32_t table : {533, 537, 543, 545, 552}) {
    auto* list = new MAssociationList(table);
    list->Put(new MPersistentAssociation(new GValueAttribute(7, 0), new GValueAttribute(table - 500, 0), 0));
    configuration.AddChild(list);
  }
  for (const Feature& f : kFeatures) {
    SCOPED_TRACE(f.name);
    const std::unique_ptr<GColorFeatureAttribute> made(f.makeDefault());
    EXPECT_EQ(made->GetValue(), f.defaultValue);
    EXPECT_EQ(made->Key(), 0);
    EXPECT_TRUE(made->IsKindOf(kGGraphicStateAttributeClassID));
    EXPECT_EQ(made->BaseTypeId(), made->ClassID());

    const std::unique_ptr<GColorFeatureAttribute> feature(f.make(7, 41));
    EXPECT_EQ(feature->Key(), 41);
    EXPECT_EQ(feature->GetDeviceValue(configuration), f.table - 500);
    EXPECT_EQ(made->GetDeviceValue(configuration), 0);

    RecordingPeripheral stage;
    EXPECT_EQ(feature->SendTo(stage), RecordingPeripheral::kStatus);
    ASSERT_EQ(stage.calls.size(), 1u);
    EXPECT_EQ(stage.calls[0].handler, f.handler);
    EXPECT_EQ(stage.calls[0].attribute, feature.get());
  }
}

TEST(ColourFeature, SameContentIsClassAndValueWithoutTheKey) {
  EXPECT_TRUE(GColorMap(15, 1).SameContent(GColorMap(15, 2)));
  EXPECT_FALSE(GColorMap(15, 1).SameContent(GColorMap(16, 1)));
  EXPECT_FALSE(GColorMap(40, 1).SameContent(GHalftone(40, 1)));
  // The halftones share their class ID.
  EXPECT_TRUE(GHalftone(40, 1).SameContent(GHalftoneEnhanced(40, 1)));
  const std::unique_ptr<GColorFeatureAttribute> copy(static_cast<GColorFeatureAttribute*>(GEdgeControl(3, 9).Clone()));
  EXPECT_EQ(copy->Key(), 9);
  EXPECT_EQ(copy->GetValue(), 3);
}

TEST(ColourFeature, StoredFormsAndTheSharedHalftoneID) {
  for (const Feature& f : kFeatures) {
    SCOPED_TRACE(f.name);
    const std::unique_ptr<GColorFeatureAttribute> feature(f.make(-2, 300));
    feature->SetChangedFlag(0);
    EXPECT_EQ(SaveContentsToFileBytes(*feature),
              AttributePart(300, feature->SerialNumber(), 0) + Words({1, 1, static_cast<uint32_t>(-2)}));
    EXPECT_TRUE(RoundTrips(*feature));
  }
  // A stored 790 comes back as the class registered first for it; by name
  // each halftone is itself.
  const GHalftone halftone(41, 3);
  const GObjectRef restored = RestoreGraph(StoreForm::kBinary, SaveGraph(StoreForm::kBinary, &halftone));
  EXPECT_NE(dynamic_cast<GHalftoneEnhanced*>(restored.Get()), nullptr);
  const std::unique_ptr<RWCollectable> byName(FactoryCreateByName(RWStringID("GHalftone")));
  EXPECT_NE(dynamic_cast<GHalftone*>(byName.get()), nullptr);

  // Another stored version keeps the value.
  GColorMap map(5, 1);
  std::string bytes = SaveContentsToFileBytes(GColorMap(6, 1));
  bytes[24] = 2;
  EXPECT_EQ(RestoreContentsFromFileBytes(map, bytes), 28u);
  EXPECT_EQ(map.GetValue(), 5);
}

}  // namespace
