// Restores the device classes from arbitrary bytes in every store form,
// then sizes, saves and compares what came back. The seeds are one object
// of each class, with fields and children set, in each form.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "device/attributes/display_string_attribute.h"
#include "device/attributes/option_list_attribute.h"
#include "device/attributes/value32_attribute.h"
#include "device/colour/colour_feature_attribute.h"
#include "device/colour/tintwise_attribute.h"
#include "device/fonts/device_font_description.h"
#include "device/fonts/device_font_list.h"
#include "device/fonts/device_font_list_composite.h"
#include "device/forms/form_to_tray_database.h"
#include "device/media/custom_media_size.h"
#include "device/media/margin_pool.h"
#include "device/media/media.h"
#include "device/media/media_pool.h"
#include "device/paper/bin.h"
#include "device/paper/paper_handling_device.h"
#include "device/paper/tray.h"
#include "device/query/pml_descriptor.h"
#include "device/testing/device_classes.h"
#include "model/attributes/attribute_composite.h"
#include "model/attributes/string_attribute.h"
#include "model/objects/object_ref.h"
#include "model/objects/persistable_number.h"
#include "model/objects/persistent_association.h"
#include "model/objects/persistent_object.h"
#include "model/testing/class_restore_fuzzing.h"

namespace {

// A paper-handling device with two configurations of trays (one tray with
// a medium), and a bin.
void AddPaperPathSamples(std::vector<GObjectRef>& samples) {
  auto* device = new GPaperHandlingDevice("HCI", GPaperHandlingDevice::kInput, 1, 1, 3, 1, 12, "HCI", "res", 90);
  for (uint16_t id : {3, 19}) {
    auto* trays = new GAttributeComposite(82);
    trays->AddChild(new GTray(7, "Tray 3", 3, 500, 0, 500, 250,
                              std::make_unique<GMedia>("A4", GDotPair{4960, 7015}, GDotPair{4760, 6815},
                                                       GDotPair{100, 100}, 0, 9, 600, 600, 190, 0, nullptr, "Plain"),
                              "Tray 3", nullptr, 82));
    trays->AddChild(new GTray("Tray 4", 4, 82));
    device->AddEntry(id, trays);
  }
  samples.emplace_back(device);
  samples.emplace_back(new GTray("Tray 1", 1, 82));
  samples.emplace_back(new GBin(3, "Face down", 1, 0, 0, 250, 10, 1, 0, "Face down", "res", 91));
}

// The option lists, the value and text attributes and the colour settings.
void AddAttributeSamples(std::vector<GObjectRef>& samples) {
  auto* media = new GOptMediaComposite(2, 0);
  media->AddEntry(1);
  media->AddEntry(26);
  samples.emplace_back(media);
  auto* booklet = new GBookletComposite(26, 1);
  booklet->AddEntryPair(5, 6);
  samples.emplace_back(booklet);
  samples.emplace_back(new GValue32Attribute(0x12345678, 44));
  samples.emplace_back(new GDisplayStringAttribute(12, 401, "Tray 1", "strings.dll"));
  samples.emplace_back(new GTintwiseAttribute(295));
  samples.emplace_back(new GTintwiseEnhancedAttribute(295));
  samples.emplace_back(new GTintwiseEnhancedAttributeVer2(295));
  samples.emplace_back(new GSRGBExtension(100, 1));
  samples.emplace_back(new GEdgeControl(93, 2));
  samples.emplace_back(new GSRGBColor(98, 3));
  samples.emplace_back(new GHalftoneEnhanced(40, 4));
  samples.emplace_back(new GNeutralGrays(70, 5));
  samples.emplace_back(new GColorMap(15, 6));
}

// A font description, a slot's list of two with both lookup tables and a
// composite holding that list.
void AddFontSamples(std::vector<GObjectRef>& samples) {
  GIntArray symbolSets;
  for (int32_t code : {277, 14, 0x7FFFFFFF}) symbolSets.Add(code);
  const GDeviceFontDescription courier("Courier", "Courier,CourierPS,", 277, symbolSets, 700, 1, 48, 1, 0, 12, 9, 4);
  samples.emplace_back(new GDeviceFontDescription(courier));
  auto* list = new GDeviceFontList(3);
  list->AddDescription(courier);
  list->AddDescription(GDeviceFontDescription("Univers", "Univers,", 14, GIntArray(), 400, 0, 16, 0, 1, 0, 0, 2));
  list->SetCatalogueCount(2);
  for (uint32_t id : {9u, 0x10001u}) {
    auto* table = new MAssociationList;
    table->Put(new MPersistentAssociation(new GPersistableULong(id), new GStringAttribute("#1B(8U", 0), 0));
    if (id == 9) {
      list->SetFirstTable(table);
    } else {
      list->SetSecondTable(table);
    }
  }
  samples.emplace_back(list);
  auto* composite = new GDeviceFontListComposite;
  composite->AddList(new GDeviceFontList(*list));
  samples.emplace_back(composite);
}

// One object of every device class, each with fields and children set.
std::vector<GObjectRef> Samples() {
  std::vector<GObjectRef> samples;
  auto* pool = new GMediaPool(189);
  pool->AddChild(new GMedia("Letter", {5100, 6600}, {4900, 6400}, {100, 100}, 0, 2, 600, 600, 190, 0, "", "Plain"));
  pool->AddChild(new GMedia("A4", {4960, 7015}, {4760, 6815}, {100, 100}, 90, 9, 600, 600, 190, 1, "x", nullptr));
  pool->NextChoice();
  samples.emplace_back(pool);
  samples.emplace_back(
      new GMedia("Legal", {5100, 8400}, {4900, 8200}, {100, 100}, 270, 5, 300, 600, 190, 0, nullptr, "Bond"));
  samples.emplace_back(new GCustomMediaSize(0x4000, "Form", kMicrometres, 210000, 297000, 0x40000019));
  auto* margins = new GMarginPool;
  GMarginRecord record{};
  for (int32_t i = 0; i < 16; ++i) record[i] = 1000 * i - 3000;
  margins->Add(&record);
  margins->Add(&record);
  samples.emplace_back(margins);
  samples.emplace_back(new GFormToTrayAssociation(3, 26, 11913, RWWString::FromMultibyte("Letter")));
  auto* database = new GFormToTrayDatabase(510);
  database->SetAssociation(1, 26, 11913);
  database->SetAssociationWithName(2, 0x4001, 12000, "Form");
  database->ResetAssociation(3);
  samples.emplace_back(database);
  AddPaperPathSamples(samples);
  AddAttributeSamples(samples);
  AddFontSamples(samples);
  samples.emplace_back(new GPMLDescriptor(RWWString::FromMultibyte("hrMemorySize"), 2, "\x06\x01\x02"));
  return samples;
}

GFuzzSeeds Seeds() { return ClassRestoreSeeds(kDeviceClassIDs, Samples()); }

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzClassRestore(kDeviceClassIDs, data, size);
  return 0;
}
