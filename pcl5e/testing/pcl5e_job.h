#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>

#include "model/objects/object_ref.h"
#include "pcl5e/testing/strict_pcl5_reader.h"
#include "pclxl/testing/language_job.h"
#include "pclxl/testing/pjl_job.h"

class GCommand;
class GConfiguration;
class GOutputChannel;
class GPcl5e;
class GPeripheral;
class GPrinter;
class GState;

// What the PCL 5e generator's tests print with: a printer whose generator
// is a PCL 5e generator, writing into the memory channel of the registered
// output provider (or into a channel the test brings).
namespace pcl5_job {

using test_media::kA4;
using test_media::kCustom;
using test_media::kLetter;
using test_media::kLowerTray;
using test_media::kUpperTray;

// The printer's codes of the trays and the sizes.
constexpr int16_t kUpperTrayCode = 1;
constexpr int16_t kLowerTrayCode = 4;
constexpr int16_t kLetterCode = 2;
constexpr int16_t kA4Code = 26;

// Letter and A4 have size commands; with trays, the trays map to codes.
GConfiguration* PrinterConfiguration(bool withTrays = true);

using Setting = LanguageSetting;

// A page's settings: a letter-sized medium (5,100 x 6,600 dots at 600 dpi,
// printable 4,900 x 6,400 from 100, 100) of the size id, and the values
// given.
struct Page {
  int16_t sizeId = kLetter;
  std::optional<int16_t> tray = kUpperTray;
  int16_t orientation = 0;
  std::optional<int16_t> duplex = std::nullopt;
  std::optional<int16_t> copies = std::nullopt;
  const char* mediaType = nullptr;
};
GState* PageState(const Page& page);

// A PCL 5e generator as a printer holds it (key 101).
GPcl5e* NewGenerator(GConfiguration* configuration = PrinterConfiguration(), GState* initialState = nullptr);

class Job : public LanguageJob<Job, GPcl5e> {
 public:
  explicit Job(GConfiguration* configuration = PrinterConfiguration());
  explicit Job(GPcl5e& generator);

  // The document start carries the settings, the resolution (in group
  // 249) and the channel, when given.
  uint16_t Start(std::initializer_list<Setting> settings = {}, GOutputChannel* channel = nullptr,
                 uint16_t resolution = 0);
  // Prints one page; inside adds what the page holds.
  uint16_t Print(const Page& page, const std::function<void(Job&)>& inside = {}) {
    return PrintPage(PageState(page), inside);
  }
  strict_pcl5::ReadResult Read() const { return strict_pcl5::ReadStrictly(Output()); }
};

}  // namespace pcl5_job
