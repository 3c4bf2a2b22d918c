#include "render_host/font_family.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>
#include <string>

#include "graphics/fonts/truetype/big_endian_span.h"
#include "graphics/fonts/truetype/sfnt_file.h"
#include "render_host/utf8.h"

namespace {

constexpr uint32_t kNameTag = 0x6E616D65;  // 'name'
// A name table larger than this is not read.
constexpr uint32_t kLargestNameTable = 1 << 20;
constexpr uint16_t kFamily = 1;
constexpr uint16_t kSubfamily = 2;
constexpr uint16_t kTypographicFamily = 16;
constexpr uint16_t kTypographicSubfamily = 17;
constexpr uint16_t kWindowsPlatform = 3;
constexpr uint16_t kMacintoshPlatform = 1;
constexpr uint16_t kEnglishUnitedStates = 0x409;

struct FontNames {
  std::string family;
  std::string subfamily;
};

// A Windows name (UTF-16, high byte first) as UTF-8; characters past
// U+FFFF are not needed to match a family and become '?'.
std::string FromUtf16(const GBigEndianSpan& table, uint64_t offset, uint16_t length) {
  std::string text;
  for (uint64_t at = offset; at + 1 < uint64_t{offset} + length; at += 2) {
    const uint16_t unit = table.U16(at).value_or('?');
    AppendUtf8(unit >= 0xD800 && unit <= 0xDFFF ? '?' : unit, text);
  }
  return text;
}

// The name with the id, preferring English Windows names to any Windows
// name to a Macintosh one (bytes taken as they are); empty when absent.
std::string Name(const GBigEndianSpan& table, uint16_t id) {
  const uint16_t count = table.U16(2).value_or(0);
  const uint16_t strings = table.U16(4).value_or(0);
  std::string best;
  int bestRank = 0;
  for (uint32_t i = 0; i < count; ++i) {
    const uint64_t record = 6 + uint64_t{i} * 12;
    const auto platform = table.U16(record);
    const auto language = table.U16(record + 4);
    const auto nameId = table.U16(record + 6);
    const auto length = table.U16(record + 8);
    const auto offset = table.U16(record + 10);
    if (!platform || !language || !nameId || !length || !offset || *nameId != id) continue;
    const uint64_t at = uint64_t{strings} + *offset;
    if (!table.Holds(at, *length)) continue;
    const int rank = *platform == kWindowsPlatform     ? (*language == kEnglishUnitedStates ? 3 : 2)
                     : *platform == kMacintoshPlatform ? 1
                                                       : 0;
    if (rank <= bestRank) continue;
    bestRank = rank;
    best = *platform == kWindowsPlatform ? FromUtf16(table, at, *length)
                                         : std::string(reinterpret_cast<const char*>(table.Data() + at), *length);
  }
  return best;
}

std::optional<FontNames> ReadNames(const std::filesystem::path& file) {
  GSfntFile font;
  if (!font.Open(file.string())) return std::nullopt;
  const uint32_t size = font.TableSize(kNameTag);
  if (size == 0 || size > kLargestNameTable) return std::nullopt;
  std::vector<uint8_t> bytes(size);
  if (!font.Read(kNameTag, 0, bytes.data(), size)) return std::nullopt;
  const GBigEndianSpan table(bytes.data(), bytes.size());
  FontNames names{Name(table, kTypographicFamily), Name(table, kTypographicSubfamily)};
  if (names.family.empty()) names.family = Name(table, kFamily);
  if (names.subfamily.empty()) names.subfamily = Name(table, kSubfamily);
  return names;
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

bool IsRegular(const std::string& subfamily) {
  static constexpr std::array<std::string_view, 4> kRegular{"regular", "book", "normal", "roman"};
  return std::ranges::find(kRegular, Lower(subfamily)) != kRegular.end();
}

// Every .ttf file below the folder, in no particular order; folders that
// cannot be read are passed over.
void CollectFontFiles(const std::filesystem::path& folder, std::vector<std::filesystem::path>& files) {
  std::error_code error;
  const auto options = std::filesystem::directory_options::skip_permission_denied;
  for (auto it = std::filesystem::recursive_directory_iterator(folder, options, error);
       !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
    if (it->is_regular_file(error) && Lower(it->path().extension().string()) == ".ttf") files.push_back(it->path());
  }
}

}  // namespace

GFontFamilyIndex::GFontFamilyIndex(std::span<const std::filesystem::path> folders) {
  std::vector<std::filesystem::path> files;
  for (const std::filesystem::path& folder : folders) CollectFontFiles(folder, files);
  std::ranges::sort(files);
  for (const std::filesystem::path& file : files) {
    const std::optional<FontNames> names = ReadNames(file);
    if (!names || names->family.empty()) continue;
    const bool regular = IsRegular(names->subfamily);
    const auto [entry, added] = families_.try_emplace(Lower(names->family), Entry{file, regular});
    if (!added && regular && !entry->second.regular) entry->second = Entry{file, regular};
  }
}

std::filesystem::path GFontFamilyIndex::Find(std::string_view family) const {
  const auto entry = families_.find(Lower(family));
  return entry == families_.end() ? std::filesystem::path() : entry->second.file;
}

std::vector<std::filesystem::path> SystemFontFolders() {
  // Windows names its folder in the environment; elsewhere the fonts lie
  // in the folders that the freedesktop conventions give.
  if (const char* windows = std::getenv("WINDIR"); windows != nullptr && *windows != '\0') {
    return {std::filesystem::path(windows) / "Fonts"};
  }
  std::vector<std::filesystem::path> folders{"/usr/share/fonts", "/usr/local/share/fonts"};
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    folders.push_back(std::filesystem::path(home) / ".local/share/fonts");
    folders.push_back(std::filesystem::path(home) / ".fonts");
  }
  return folders;
}
