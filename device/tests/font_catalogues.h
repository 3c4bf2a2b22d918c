#pragma once

#include <span>
#include <string>
#include <string_view>

// Font catalogues written by make_font_catalogues.py into
// font_catalogues.inc, each under a name ("several_fonts", "no_fonts",
// "truncated", ...; the script says what each holds).
struct FontCatalogueFixture {
  const char* name;
  std::string_view bytes;
};

inline std::span<const FontCatalogueFixture> FontCatalogueFixtures() {
  using namespace std::literals;
  static const FontCatalogueFixture fixtures[] = {
#include "device/tests/font_catalogues.inc"
  };
  return fixtures;
}

// The bytes of the catalogue of that name; empty for an unknown name.
inline std::string FontCatalogue(std::string_view name) {
  for (const FontCatalogueFixture& fixture : FontCatalogueFixtures()) {
    if (fixture.name == name) return std::string(fixture.bytes);
  }
  return {};
}
