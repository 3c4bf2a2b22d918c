// Font families found among the system's fonts (native build only: the
// fonts are the Debian packages the tests install).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "graphics/fonts/testing/system_fonts.h"
#include "render_host/font_family.h"

namespace {

TEST(FontFamilyIndex, FindsTheRegularFaceOfAFamilyInTheSystemFolders) {
  const GFontFamilyIndex index(SystemFontFolders());
  struct Case {
    const char* name;
    const char* family;
    std::filesystem::path file;
  };
  const Case cases[] = {
      {"book_face_beside_bold_and_light", "DejaVu Sans", system_fonts::kDejaVuSans},
      {"case_does_not_matter", "dejavu SANS", system_fonts::kDejaVuSans},
      {"regular_face_beside_bold_and_italic", "Liberation Serif", system_fonts::kLiberationSerif},
      {"unknown_family", "No Such Family", {}},
      {"empty_family", "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(index.Find(c.family), c.file);
  }
}

TEST(FontFamilyIndex, PassesOverFilesThatAreNotFontsAndMissingFolders) {
  const std::filesystem::path folder = std::filesystem::path(testing::TempDir()) / "font_family_index";
  std::filesystem::create_directories(folder / "sub");
  std::ofstream(folder / "sub" / "broken.ttf") << "not a font";
  std::filesystem::copy_file(system_fonts::kDejaVuSans, folder / "sub" / "copy.TTF",
                             std::filesystem::copy_options::overwrite_existing);
  const std::vector<std::filesystem::path> folders{folder / "missing", folder};
  const GFontFamilyIndex index(folders);
  EXPECT_EQ(index.Find("DejaVu Sans"), folder / "sub" / "copy.TTF");
  std::filesystem::remove_all(folder);
}

}  // namespace
