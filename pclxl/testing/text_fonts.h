#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "graphics/fonts/font_info.h"
#include "graphics/fonts/testing/memory_font_data.h"
#include "graphics/fonts/testing/test_font.h"
#include "graphics/fonts/truetype/tt_font_file.h"

// Fonts for the PCL XL generator's text tests: outline fonts over TrueType
// tables held in memory and bitmap fonts with set glyph images.
namespace xl_text {

// The styles the host gives its fonts.
constexpr int32_t kBitmapStyle = 1;
constexpr int32_t kScalableStyle = 2;

// A font description of a face at a height; the font covers codes 32 to
// 126 in the Unicode character set.
GFontInfo FaceInfo(const char* face, int16_t height);

// An outline font with its reader; the font handle refers to the reader,
// so it must not outlive this object.
class OutlineFont {
 public:
  // The outlines are glyphs 0, 1, ...; glyph g advances 100 + g units and
  // has a left side bearing of g - 5.
  OutlineFont(const GFontInfo& info, const std::vector<MemoryFontData::Bytes>& outlines);
  OutlineFont(const OutlineFont&) = delete;
  OutlineFont& operator=(const OutlineFont&) = delete;

  MemoryFontData& Data() { return data_; }
  TestFont& Font() { return *font_; }
  // A new handle on the same body, as each text graphic takes one.
  TestFont* NewHandle() const { return new TestFont(*font_); }

 private:
  MemoryFontData data_;
  GTTFontFile file_;
  std::unique_ptr<TestFont> font_;
};

// A bitmap font whose glyph images the test sets on the handle.
std::unique_ptr<TestFont> BitmapFont(const GFontInfo& info);

}  // namespace xl_text
