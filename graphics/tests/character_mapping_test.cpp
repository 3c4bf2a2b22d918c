// The character mapping and the vertical forms held against readers written
// elsewhere, on fonts from Debian's packages: FreeType's glyph of every code
// of each font's Windows Unicode cmap, and fontTools' reading of the
// vertical substitutions of a GSUB font and of a mort font.
#include "graphics/fonts/truetype/character_mapping.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "graphics/fonts/testing/system_fonts.h"
#include "graphics/fonts/truetype/vertical_substitution.h"

namespace {

using Bytes = std::vector<uint8_t>;

class FreeTypeFace {
 public:
  explicit FreeTypeFace(const char* path) {
    if (FT_Init_FreeType(&library_) == 0) FT_New_Face(library_, path, 0, &face_);
  }
  ~FreeTypeFace() {
    if (face_ != nullptr) FT_Done_Face(face_);
    if (library_ != nullptr) FT_Done_FreeType(library_);
  }
  FreeTypeFace(const FreeTypeFace&) = delete;
  FreeTypeFace& operator=(const FreeTypeFace&) = delete;

  FT_Face Face() const { return face_; }

  // The whole table, empty when the font has none.
  Bytes Table(FT_ULong tag) const {
    FT_ULong length = 0;
    if (FT_Load_Sfnt_Table(face_, tag, 0, nullptr, &length) != 0) return {};
    Bytes bytes(length);
    if (FT_Load_Sfnt_Table(face_, tag, 0, bytes.data(), &length) != 0) return {};
    return bytes;
  }

  // Makes the Windows Unicode cmap (3,1) current; FreeType itself would
  // prefer a UCS-4 one.
  bool SelectWindowsUnicode() const {
    for (FT_Int i = 0; i < face_->num_charmaps; ++i) {
      const FT_CharMap map = face_->charmaps[i];
      if (map->platform_id == 3 && map->encoding_id == 1) return FT_Set_Charmap(face_, map) == 0;
    }
    return false;
  }

 private:
  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
};

const char* const kFonts[] = {system_fonts::kDejaVuSans, system_fonts::kLiberationSerif, system_fonts::kIpaGothic,
                              system_fonts::kArphicSung};

TEST(CharacterMappingFontTest, EveryUnicodeCodeGivesFreeTypesGlyph) {
  for (const char* path : kFonts) {
    SCOPED_TRACE(path);
    const FreeTypeFace font(path);
    ASSERT_NE(font.Face(), nullptr);
    ASSERT_TRUE(font.SelectWindowsUnicode());
    const Bytes cmap = font.Table(TTAG_cmap);
    const Bytes os2 = font.Table(TTAG_OS2);
    const GCharacterMapChoice choice = SelectCharacterMap(cmap, tt_encoding::kUnicode);
    ASSERT_TRUE(choice.found);
    EXPECT_EQ(choice.platformId, 3);
    EXPECT_EQ(choice.encodingId, 1);

    // The codes FreeType enumerates, and then every other code, which
    // FreeType maps to nothing.
    uint32_t mapped = 0;
    FT_UInt glyph = 0;
    for (FT_ULong code = FT_Get_First_Char(font.Face(), &glyph); glyph != 0;
         code = FT_Get_Next_Char(font.Face(), code, &glyph)) {
      ++mapped;
      ASSERT_EQ(LookUpGlyph(cmap, os2, choice, static_cast<uint16_t>(code), tt_encoding::kUnicode, nullptr, 5), glyph)
          << "code " << code;
    }
    EXPECT_GT(mapped, 200u);
    for (uint32_t code = 0; code <= 0xFFFF; ++code) {
      ASSERT_EQ(LookUpGlyph(cmap, os2, choice, static_cast<uint16_t>(code), tt_encoding::kUnicode, nullptr, 5),
                FT_Get_Char_Index(font.Face(), code))
          << "code " << code;
    }
  }
}

// fontTools' pairs, read by the script beside this test.
std::map<uint16_t, uint16_t> VerticalPairs(const char* table, const char* path) {
  const std::string out = testing::TempDir() + "vertical_pairs_" + table + ".txt";
  const std::string command = std::string(system_fonts::kFontToolsPython) + " '" + QV_FONT_SCRIPTS_DIR +
                              "/vertical_pairs.py' " + table + " '" + path + "' > '" + out + "'";
  std::map<uint16_t, uint16_t> pairs;
  if (std::system(command.c_str()) != 0) return pairs;
  std::ifstream file(out);
  uint32_t glyph = 0;
  uint32_t substitute = 0;
  while (file >> glyph >> substitute) pairs.emplace(glyph, substitute);
  return pairs;
}

TEST(CharacterMappingFontTest, VerticalFormsAreThoseFontToolsReads) {
  struct Case {
    const char* name;
    const char* path;
    const char* table;
    FT_ULong mort;
    FT_ULong gsub;
  };
  const Case cases[] = {
      {"gsub_vert_feature", system_fonts::kIpaGothic, "gsub", 0, TTAG_GSUB},
      {"mort_single_table", system_fonts::kArphicSung, "mort", TTAG_mort, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const FreeTypeFace font(c.path);
    ASSERT_NE(font.Face(), nullptr);
    const Bytes mort = c.mort != 0 ? font.Table(c.mort) : Bytes();
    const Bytes gsub = c.gsub != 0 ? font.Table(c.gsub) : Bytes();
    ASSERT_FALSE(mort.empty() && gsub.empty());
    const std::map<uint16_t, uint16_t> pairs = VerticalPairs(c.table, c.path);
    ASSERT_GT(pairs.size(), 20u);
    for (FT_Long glyph = 0; glyph < font.Face()->num_glyphs; ++glyph) {
      const auto found = pairs.find(static_cast<uint16_t>(glyph));
      const uint16_t expected = found != pairs.end() ? found->second : static_cast<uint16_t>(glyph);
      ASSERT_EQ(SubstituteVertical(mort, gsub, static_cast<uint16_t>(glyph)), expected) << "glyph " << glyph;
    }
  }
}

}  // namespace
