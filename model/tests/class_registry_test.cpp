#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "foundation/rw_factory.h"
#include "model/objects/class_ids.h"

namespace {

// Every class built so far; the list grows as classes are added.
constexpr RWClassID kBuiltClasses[] = {
    kGAttributeCompositeClassID,
    kGBinaryDataClassID,
    kGCapabilitiesClassID,
    kGConfigurationClassID,
    kGCountedPtrClassID,
    kGDisplayStringClassID,
    kGDynamicLibraryClassID,
    kGEnumAttributeClassID,
    kGLocaleInfoClassID,
    kGPMDVersionInfoClassID,
    kGRecordClassID,
    kGRecordCompositeClassID,
    kGRecordProxyClassID,
    kGPersistableLongClassID,
    kGPersistableULongClassID,
    kGRangeAttributeClassID,
    kGResourceMappingClassID,
    kGResourceMappingListClassID,
    kGSelectionStringClassID,
    kGStateClassID,
    kGStringAttributeClassID,
    kGValueAttributeClassID,
    kMAssociationListClassID,
    kMPersistentAssociationClassID,
    kMPersistentCompositeClassID,
    kMPersistentCompositeOnDiskClassID,
    kMPersistentCompositeOnDiskImpClassID,
};

const GModelClass* RowOf(RWClassID id) {
  for (const GModelClass& row : kModelClasses) {
    if (row.id == id) return &row;
  }
  return nullptr;
}

std::string Text(const RWCString& s) { return std::string(s.Data(), s.Length()); }

TEST(ClassRegistry, TheFactoryCreatesEveryBuiltClass) {
  for (RWClassID id : kBuiltClasses) {
    SCOPED_TRACE(id);
    const GModelClass* row = RowOf(id);
    ASSERT_NE(row, nullptr);
    EXPECT_TRUE(row->registered);
    EXPECT_EQ(Text(FactoryNameOfID(id)), row->name);
    EXPECT_EQ(FactoryIDOfName(RWStringID(row->name)), id);
    const std::unique_ptr<RWCollectable> made(FactoryCreateByID(id));
    if (id == kGCountedPtrClassID) {
      // Known to the factory, yet never made on its own.
      EXPECT_NE(GetFactory()->CreateFunctionOfID(id), nullptr);
      EXPECT_EQ(made, nullptr);
    } else {
      ASSERT_NE(made, nullptr);
      EXPECT_EQ(made->ClassID(), id);
    }
  }
}

TEST(ClassRegistry, RegistrationsMatchTheTableAndAbstractBasesStayOut) {
  for (uint32_t id = 0; id <= kLastModelClassID; ++id) {
    const std::string name = Text(FactoryNameOfID(static_cast<RWClassID>(id)));
    if (name == kNoIDName) continue;
    SCOPED_TRACE(id);
    const GModelClass* row = RowOf(static_cast<RWClassID>(id));
    ASSERT_NE(row, nullptr);
    EXPECT_TRUE(row->registered);
    // 790 is registered by the first of the two classes that share it.
    if (id != kGHalftoneClassID) {
      EXPECT_EQ(name, row->name);
    }
  }
  for (const GModelClass& row : kModelClasses) {
    if (row.registered) continue;
    SCOPED_TRACE(row.name);
    EXPECT_EQ(GetFactory()->CreateFunctionOfID(row.id), nullptr);
    EXPECT_EQ(FactoryIDOfName(RWStringID(row.name)), kUnknownClassID);
  }
}

TEST(ClassRegistry, KindChainsFollowTheBaseColumn) {
  struct Case {
    const char* name;
    RWClassID own;
    RWClassID asked;
    bool kind;
  };
  const Case cases[] = {
      {"state_is_attribute_composite", kGStateClassID, kGAttributeCompositeClassID, true},
      {"configuration_is_not_attribute_composite", kGConfigurationClassID, kGAttributeCompositeClassID, false},
      {"configuration_is_composite", kGConfigurationClassID, kMPersistentCompositeClassID, true},
      {"borzan_is_peripheral_composite", kGBorzanClassID, kGPeripheralCompositeClassID, true},
      {"postscript_is_peripheral_composite", kGPostScriptClassID, kGPeripheralCompositeClassID, true},
      {"pcl5e_is_peripheral_composite", kGPcl5eClassID, kGPeripheralCompositeClassID, true},
      {"pjl_is_peripheral_composite", kGPJLClassID, kGPeripheralCompositeClassID, true},
      {"printer_is_peripheral_composite", kGPrinterClassID, kGPeripheralCompositeClassID, true},
      {"nup_filter_is_not_peripheral_composite", kGNupFilterClassID, kGPeripheralCompositeClassID, false},
      {"symmetrical_duplex_filter_is_not_peripheral_composite", kGSymetricalDuplexFilterClassID,
       kGPeripheralCompositeClassID, false},
      {"nup_filter_is_peripheral", kGNupFilterClassID, kGPeripheralClassID, true},
      {"halftone_is_graphic_state_attribute", kGHalftoneClassID, kGGraphicStateAttributeClassID, true},
      {"rgb_color_is_model_object", kGRGBColorClassID, kMPersistentObjectClassID, true},
      {"path_graphic_is_command", kGPathGraphicClassID, kGCommandClassID, true},
      {"media_pool_is_attribute", kGMediaPoolClassID, kGAttributeClassID, true},
      {"record_is_not_model_object", kGRecordClassID, kMPersistentObjectClassID, false},
      {"model_object_is_not_collectable_id", kMPersistentObjectClassID, kRWCollectableClassID, false},
      {"unknown_id_is_only_itself", 0x7E00, 0x7E00, true},
      {"unknown_id_has_no_bases", 0x7E00, kMPersistentObjectClassID, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IsOnClassChain(c.own, c.asked), c.kind);
  }
}

TEST(ClassRegistry, EveryBaseIsARowOfTheTable) {
  for (const GModelClass& row : kModelClasses) {
    SCOPED_TRACE(row.name);
    if (row.base == kRWCollectableClassID) continue;
    const GModelClass* base = RowOf(row.base);
    ASSERT_NE(base, nullptr);
    EXPECT_TRUE(IsOnClassChain(row.id, kMPersistentObjectClassID));
  }
}

}  // namespace
