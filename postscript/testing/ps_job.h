#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "device/media/media.h"
#include "model/objects/object_ref.h"
#include "pclxl/testing/language_job.h"
#include "pclxl/testing/pjl_job.h"

class GCommand;
class GConfiguration;
class GGraphicsDevice;
class GOutputChannel;
class GPostScript;
class GPrinter;
class GState;

// What the PostScript generator's tests print with: a printer whose
// generator is a PostScript generator, writing into the memory channel of
// the registered output provider (or into a channel the test brings).
namespace ps_job {

using test_media::kA4;
using test_media::kCustom;
using test_media::kLetter;
using test_media::kLowerTray;
using test_media::kUpperTray;

// Trays and the media positions the printer's tray map gives them; the
// third tray is the manual feed slot.
constexpr int16_t kManualTray = 3;
constexpr int16_t kUpperPosition = 1;
constexpr int16_t kLowerPosition = 4;

// Paper sizes in dots at 600 dots per inch.
constexpr GDotPair kLetterDots = {5100, 6600};
constexpr GDotPair kA4Dots = {4961, 7016};

// The tray map; letter and A4 are listed in the size table, the custom
// size is not.
GConfiguration* PrinterConfiguration();

using Setting = LanguageSetting;

struct Page {
  int16_t sizeId = kLetter;
  GDotPair paper = kLetterDots;
  std::optional<int16_t> tray = kUpperTray;
  int16_t orientation = 0;
  std::optional<int16_t> copies = std::nullopt;
  const char* mediaType = nullptr;
  std::optional<int16_t> rotatedMedia = std::nullopt;
};
GState* PageState(const Page& page);

GPostScript* NewGenerator(GConfiguration* configuration = PrinterConfiguration());

class Job : public LanguageJob<Job, GPostScript> {
 public:
  explicit Job(GConfiguration* configuration = PrinterConfiguration());

  uint16_t Start(const std::vector<Setting>& settings = {}, GOutputChannel* channel = nullptr,
                 const char* documentName = "Report");
  uint16_t Print(const Page& page, const std::function<void(Job&)>& inside = {}) {
    return PrintPage(PageState(page), inside);
  }
  // Pass-through data for the target.
  uint16_t PassThrough(const std::string& bytes, uint16_t target = 768);
};

// The PostScript a printer reads from the job: the end-of-job bytes and
// the switch into binary mode dropped and every quoted byte restored.
std::string StripTBCP(const std::string& job);

}  // namespace ps_job
