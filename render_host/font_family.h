#pragma once

#include <filesystem>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The TrueType files of font families, for jobs that name fonts by family.
// Made once from the folders: every .ttf file in them and their subfolders
// is read for the family its name table gives (the typographic family where
// the font has one, else the family; compared without regard to ASCII
// case). Of several files of one family the regular face ("Regular",
// "Book", "Normal" or "Roman") is taken; among equals the first path in
// sorted order, so the answer does not depend on the order the folders list
// their files in. Files that are not fonts are passed over.
class GFontFamilyIndex {
 public:
  explicit GFontFamilyIndex(std::span<const std::filesystem::path> folders);

  // The file of the family; empty when no file has it.
  std::filesystem::path Find(std::string_view family) const;

 private:
  struct Entry {
    std::filesystem::path file;
    bool regular = false;
  };

  std::map<std::string, Entry> families_;
};

// The folders where the system keeps its fonts: the Fonts folder of the
// Windows folder, or the shared and the user's font folders elsewhere.
std::vector<std::filesystem::path> SystemFontFolders();
