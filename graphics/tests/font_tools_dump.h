#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "graphics/fonts/testing/system_fonts.h"

// What fontTools reads from a font, written by tests/scripts/dump_truetype.py
// into a directory under the test's temporary directory: the raw bytes of
// every table and the glyf slice of every glyph.
class FontToolsDump {
 public:
  using Bytes = std::vector<uint8_t>;

  // Runs the script on the font; Ok() tells whether it worked.
  FontToolsDump(const std::string& fontPath, const std::string& name)
      : directory_(testing::TempDir() + "fonttools_" + name) {
    const std::string command = std::string(system_fonts::kFontToolsPython) +
                                " '" QV_FONT_SCRIPTS_DIR "/dump_truetype.py' '" + fontPath + "' '" + directory_ + "'";
    ok_ = std::system(command.c_str()) == 0;
  }

  bool Ok() const { return ok_; }

  // The table's bytes; none when the font has no such table.
  std::optional<Bytes> Table(uint32_t tag) const {
    char name[32];
    std::snprintf(name, sizeof name, "/table_%08x.bin", tag);
    std::ifstream file(directory_ + name, std::ios::binary);
    if (!file) return std::nullopt;
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }

  // hmtx (and vmtx) of one glyph as fontTools reads them.
  struct Metrics {
    uint16_t advanceWidth;
    int16_t leftSideBearing;
    uint16_t advanceHeight;
    int16_t topSideBearing;
  };
  // The metrics of every glyph; vertical tells whether the font has vmtx.
  std::vector<Metrics> GlyphMetrics(bool vertical) const {
    const Bytes all = ReadAll("/metrics.bin");
    const size_t record = vertical ? 8 : 4;
    std::vector<Metrics> metrics;
    for (size_t at = 0; at + record <= all.size(); at += record) {
      Metrics m{U16(all, at), static_cast<int16_t>(U16(all, at + 2)), 0, 0};
      if (vertical) {
        m.advanceHeight = U16(all, at + 4);
        m.topSideBearing = static_cast<int16_t>(U16(all, at + 6));
      }
      metrics.push_back(m);
    }
    return metrics;
  }

  // The glyf slice of every glyph, in glyph order.
  std::vector<Bytes> GlyphSlices() const {
    const Bytes all = ReadAll("/glyphs.bin");
    std::vector<Bytes> slices;
    size_t at = 0;
    while (at + 4 <= all.size()) {
      const size_t length = size_t{all[at]} << 24 | size_t{all[at + 1]} << 16 | size_t{all[at + 2]} << 8 | all[at + 3];
      at += 4;
      if (length > all.size() - at) break;
      slices.emplace_back(all.begin() + static_cast<std::ptrdiff_t>(at),
                          all.begin() + static_cast<std::ptrdiff_t>(at + length));
      at += length;
    }
    return slices;
  }

 private:
  Bytes ReadAll(const char* name) const {
    std::ifstream file(directory_ + name, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  }
  static uint16_t U16(const Bytes& bytes, size_t at) { return static_cast<uint16_t>(bytes[at] << 8 | bytes[at + 1]); }

  std::string directory_;
  bool ok_ = false;
};

// The four Debian fonts the TrueType tests read.
struct SystemFont {
  const char* name;
  const char* path;
  // Whether the font has vhea and vmtx.
  bool vertical;
};

inline constexpr SystemFont kSystemFonts[] = {
    {"dejavu_sans", system_fonts::kDejaVuSans, false},
    {"liberation_serif", system_fonts::kLiberationSerif, false},
    {"ipa_gothic", system_fonts::kIpaGothic, true},
    {"arphic_sung", system_fonts::kArphicSung, true},
};
