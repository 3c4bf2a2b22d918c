#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pclxl/generator/pdl_generator.h"

// A page-description generator for tests of what the generator base does:
// it writes no language, and its language operations record each call
// ("DeleteFont:<name>", "SetPenColor", ...) and answer status. It stores
// nothing of its own, so its stored form ends with the base's part.
class TestPDLGenerator : public GPDLGenerator {
 public:
  static constexpr RWClassID kID = 0x7E98;
  static constexpr const char* kName = "TestPDLGenerator";

  TestPDLGenerator() = default;
  TestPDLGenerator(const RWCString& name, GState* initialState, GConfiguration* configuration, int32_t key)
      : GPDLGenerator(name, initialState, configuration, key, 64, 6, 2) {}
  TestPDLGenerator(const TestPDLGenerator& other) = default;
  TestPDLGenerator& operator=(const TestPDLGenerator& other) = default;

  RWCollectable* NewInstance() const override { return new TestPDLGenerator; }
  RWCollectable* Clone() const override { return new TestPDLGenerator(*this); }
  RWClassID ClassID() const override { return kID; }
  bool IsKindOf(RWClassID id) const override { return id == kID || GPDLGenerator::IsKindOf(id); }

  uint16_t DeleteFont(const RWCString& fontName) override;
  uint16_t SetPenPaint(GPaint&) override { return Record("SetPenPaint"); }
  uint16_t SetPenColor(GColorPaint&) override { return Record("SetPenColor"); }
  uint16_t SetBrushPaint(GPaint&) override { return Record("SetBrushPaint"); }
  uint16_t SetBrushColor(GColorPaint&) override { return Record("SetBrushColor"); }

  // What the languages do to the base's state, open to the tests.
  using GPDLGenerator::EnterPath;
  using GPDLGenerator::FontCounters;
  using GPDLGenerator::LeavePath;
  using GPDLGenerator::LookupIn;
  using GPDLGenerator::ResetPathDepth;
  using GPDLGenerator::SetDownloadedFontCache;
  using GPDLGenerator::SetGlyphCodeMapper;
  using GPDLGenerator::SetInJob;
  using GPDLGenerator::SetInScanLines;

  std::vector<std::string> calls;
  uint16_t status = 0;

 private:
  uint16_t Record(std::string call) {
    calls.push_back(std::move(call));
    return status;
  }
};
