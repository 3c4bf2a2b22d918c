#pragma once

#include <cstdint>
#include <memory>

#include "device/media/media.h"
#include "graphics/testing/test_graphics_device.h"

// Letter at 600 dots per inch with 100-dot margins: an upright page is
// 5100 x 6600 with a printable area of 4900 x 6400.
constexpr GDotPair kLetterPaper{5100, 6600};
constexpr GDotPair kLetterPrintable{4900, 6400};

// A letter medium in the orientation given (width and height exchanged
// when turned a quarter), under the key.
inline GMedia* NewLetter(int32_t orientation, int32_t key, const char* mediaType = "Plain") {
  const bool turned = orientation % 180 != 0;
  const GDotPair paper = turned ? GDotPair{kLetterPaper.y, kLetterPaper.x} : kLetterPaper;
  const GDotPair printable = turned ? GDotPair{kLetterPrintable.y, kLetterPrintable.x} : kLetterPrintable;
  return new GMedia(RWCString("letter"), paper, printable, GDotPair{100, 100}, orientation, 1, 600, 600, key, 0,
                    nullptr, mediaType);
}

// A device whose media pool makes letter in every orientation, as the
// n-up filter asks for its sheet.
class LetterDevice : public TestGraphicsDevice {
 public:
  std::unique_ptr<GMedia> ResolveMediaBySize(int16_t, int32_t orientation, uint16_t, uint16_t) override {
    return std::unique_ptr<GMedia>(NewLetter(orientation, GMedia::kDefaultKey));
  }
};
