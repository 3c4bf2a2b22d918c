// The colour treatment that the PCL XL generator writes after BeginPage
// from a page's colour-control settings, in the first form (797), the
// second (1201), both or neither. Every stream is read strictly.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "device/colour/tintwise_attribute.h"
#include "graphics/commands/page_command.h"
#include "model/attributes/configuration.h"
#include "model/attributes/state.h"
#include "model/attributes/value_attribute.h"
#include "model/objects/persistent_association.h"
#include "pclxl/testing/borzan_job.h"
#include "pclxl/testing/strict_pclxl_reader.h"

namespace {

using namespace xl_job;

using Codes = std::vector<std::pair<int16_t, int16_t>>;

MAssociationList* Table(int32_t key, const Codes& codes) {
  auto* table = new MAssociationList(key);
  for (const auto& [setting, device] : codes) {
    table->Put(new MPersistentAssociation(new GValueAttribute(setting, 0), new GValueAttribute(device, 0), 0));
  }
  return table;
}

// The printer configuration with the device tables of the colour features.
// The setting bytes are those the colour-control choices store (neutral
// grays 70/71, 80/81, 90/91; halftone 41/42, 51/52, 61/62; edge control 93
// to 96, 93 being off; colour 98/99 and, per object, 100 to 108). Each maps
// to a code of its own, so that a byte read from the wrong place shows;
// edge control off maps to 0.
GConfiguration* ColourConfiguration() {
  GConfiguration* configuration = PrinterConfiguration();
  configuration->AddChild(Table(543, {{70, 1}, {71, 2}, {80, 3}, {81, 4}, {90, 5}, {91, 6}}));
  configuration->AddChild(Table(533, {{41, 11}, {42, 12}, {51, 13}, {52, 14}, {61, 15}, {62, 16}}));
  configuration->AddChild(Table(545, {{93, 0}, {94, 1}, {95, 2}, {96, 3}}));
  configuration->AddChild(Table(552, {{98, 21},
                                      {99, 22},
                                      {100, 23},
                                      {101, 24},
                                      {102, 25},
                                      {103, 26},
                                      {104, 27},
                                      {105, 28},
                                      {106, 29},
                                      {107, 30},
                                      {108, 31}}));
  return configuration;
}

// Text 4-colour, vector black only, raster 4-colour; halftones smooth,
// detail, smooth; edge control as given; device colour.
GAttribute* ColourControl(uint8_t edgeControl, int32_t key = 797) {
  return new GTintwiseEnhancedAttribute(key, 71, 42, 80, 51, 91, 62, edgeControl, 99);
}
const std::vector<std::string> kColourControlOperators = {
    "SetNeutralAxis TextObjects=ubyte(2) VectorObjects=ubyte(3) RasterObjects=ubyte(6)",
    "SetHalftoneMethod TextObjects=ubyte(12) VectorObjects=ubyte(13) RasterObjects=ubyte(16)",
    "SetAdaptiveHalftoning TextObjects=ubyte(1) VectorObjects=ubyte(1) RasterObjects=ubyte(1)",
    "SetColorTrapping AllObjectTypes=ubyte(2)",
    "SetColorTreatment ColorTreatment=ubyte(22)",
};

// Text black only, vector 4-colour, raster black only; halftones detail,
// smooth, detail; colour device, default, vivid; edge control as given.
GAttribute* ColourControlVer2(uint8_t edgeControl, int32_t key = 1201) {
  return new GTintwiseEnhancedAttributeVer2(key, 70, 41, 102, 81, 52, 103, 90, 61, 107, edgeControl);
}
const std::vector<std::string> kColourControlVer2Operators = {
    "SetNeutralAxis TextObjects=ubyte(1) VectorObjects=ubyte(4) RasterObjects=ubyte(5)",
    "SetHalftoneMethod TextObjects=ubyte(11) VectorObjects=ubyte(14) RasterObjects=ubyte(15)",
    "SetColorTreatment TextObjects=ubyte(25) VectorObjects=ubyte(26) RasterObjects=ubyte(30)",
    "SetAdaptiveHalftoning AllObjectTypes=ubyte(1)",
    "SetColorTrapping AllObjectTypes=ubyte(3)",
};

std::vector<std::string> Join(std::vector<std::string> first, const std::vector<std::string>& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

// The operators of each page between BeginPage and the page's clip mode.
std::vector<std::vector<std::string>> ColourOperatorsPerPage(const strict_pclxl::ReadResult& result) {
  std::vector<std::vector<std::string>> pages;
  bool inside = false;
  for (const strict_pclxl::Operation& operation : result.operations) {
    if (operation.name == "BeginPage") {
      pages.emplace_back();
      inside = true;
    } else if (operation.name == "SetClipMode") {
      inside = false;
    } else if (inside) {
      pages.back().push_back(strict_pclxl::FormatOperation(operation));
    }
  }
  return pages;
}

// Prints one page whose settings also hold the given attributes.
uint16_t PrintWith(Job& job, std::vector<GAttribute*> settings) {
  GState* state = PageState({});
  for (GAttribute* setting : settings) state->AddChild(setting);
  const uint16_t started = job.Process(new GPageStart(state, 0));
  const uint16_t ended = job.Process(new GPageEnd(new GState(GPeripheral::kPageStateKey), 0));
  return started != 0 ? started : ended;
}

TEST(BorzanColourTreatment, ThePageSettingsBecomeTheColourTreatmentOperators) {
  struct Case {
    const char* name;
    std::vector<GAttribute*> settings;
    std::vector<std::string> operators;
  };
  const Case cases[] = {
      {"colour_control", {ColourControl(95)}, kColourControlOperators},
      {"second_version", {ColourControlVer2(96)}, kColourControlVer2Operators},
      {"both_first_form_first",
       {ColourControlVer2(96), ColourControl(95)},
       Join(kColourControlOperators, kColourControlVer2Operators)},
      {"neither", {}, {}},
      {"edge_control_off",
       {ColourControl(93), ColourControlVer2(93)},
       {kColourControlOperators[0], kColourControlOperators[1],
        "SetAdaptiveHalftoning TextObjects=ubyte(0) VectorObjects=ubyte(0) RasterObjects=ubyte(0)",
        "SetColorTrapping AllObjectTypes=ubyte(0)", kColourControlOperators[4], kColourControlVer2Operators[0],
        kColourControlVer2Operators[1], kColourControlVer2Operators[2], "SetAdaptiveHalftoning AllObjectTypes=ubyte(0)",
        "SetColorTrapping AllObjectTypes=ubyte(0)"}},
      // Each form is read only as its own class: the byte layouts differ.
      {"forms_under_each_others_keys", {ColourControl(95, 1201), ColourControlVer2(96, 797)}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Job job(ColourConfiguration());
    ASSERT_EQ(job.Start(), 0);
    ASSERT_EQ(PrintWith(job, c.settings), 0);
    ASSERT_EQ(job.End(), 0);
    const strict_pclxl::ReadResult read = job.Read();
    ASSERT_TRUE(read.Ok()) << strict_pclxl::Disassemble(read);
    EXPECT_EQ(ColourOperatorsPerPage(read), std::vector<std::vector<std::string>>{c.operators});
  }
}

// The settings are read afresh at every page start: a page that changes
// the edge control writes the new value.
TEST(BorzanColourTreatment, EachPageWritesItsCurrentSettings) {
  Job job(ColourConfiguration());
  ASSERT_EQ(job.Start(), 0);
  ASSERT_EQ(PrintWith(job, {ColourControl(95)}), 0);
  ASSERT_EQ(PrintWith(job, {ColourControl(96)}), 0);
  ASSERT_EQ(job.End(), 0);
  const strict_pclxl::ReadResult read = job.Read();
  ASSERT_TRUE(read.Ok()) << strict_pclxl::Disassemble(read);
  const std::vector<std::vector<std::string>> pages = ColourOperatorsPerPage(read);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[0], kColourControlOperators);
  EXPECT_EQ(pages[1][3], "SetColorTrapping AllObjectTypes=ubyte(3)");
}

}  // namespace
