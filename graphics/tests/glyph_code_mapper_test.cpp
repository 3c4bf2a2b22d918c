// Tests of the glyph-code mapper base: which codes pass through, one device
// code per character code, and Reset.
#include "graphics/fonts/glyph_code_mapper.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "graphics/testing/counting_glyph_code_mapper.h"

namespace {

TEST(GlyphCodeMapper, HandsOutOneDeviceCodePerCharacterCode) {
  CountingGlyphCodeMapper mapper;
  EXPECT_EQ(mapper.NextCode(), 256);
  EXPECT_EQ(mapper.Map(0x4E00), 256);
  EXPECT_EQ(mapper.advances, 1);
  EXPECT_EQ(mapper.Map(0x4E00), 256);
  EXPECT_EQ(mapper.advances, 1);
  // Neighbours on the same page and codes on the first and last mapped
  // pages get codes of their own.
  EXPECT_EQ(mapper.Map(0x4E01), 257);
  EXPECT_EQ(mapper.Map(0x0100), 258);
  EXPECT_EQ(mapper.Map(0xFEFF), 259);
  EXPECT_EQ(mapper.Map(0x4E00), 256);
  EXPECT_EQ(mapper.advances, 4);
}

TEST(GlyphCodeMapper, PassesLatinPunctuationAndWidthFormsThrough) {
  struct Case {
    const char* name;
    uint16_t code;
    bool passes;
  };
  const Case cases[] = {
      {"nul", 0x0000, true},
      {"latin_a", 0x0041, true},
      {"last_latin_1", 0x00FF, true},
      {"first_mapped", 0x0100, false},
      {"before_punctuation", 0x1FFF, false},
      {"hyphen", 0x2010, true},
      {"last_punctuation", 0x20FF, true},
      {"after_punctuation", 0x2100, false},
      {"before_width_forms", 0xFEFF, false},
      {"fullwidth_a", 0xFF21, true},
      {"last_code", 0xFFFF, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CountingGlyphCodeMapper mapper;
    EXPECT_EQ(mapper.Map(c.code), c.passes ? c.code : 256);
    EXPECT_EQ(mapper.advances, c.passes ? 0 : 1);
  }
}

TEST(GlyphCodeMapper, ResetStartsAgainAt256) {
  CountingGlyphCodeMapper mapper;
  mapper.Map(0x4E00);
  mapper.Map(0x4E01);
  mapper.Reset();
  EXPECT_EQ(mapper.NextCode(), 256);
  EXPECT_EQ(mapper.Map(0x4E01), 256);
  EXPECT_EQ(mapper.Map(0x4E00), 257);
}

}  // namespace
