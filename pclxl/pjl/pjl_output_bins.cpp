// The output bin and finishing lines of the job header: mailbox and stacker
// bins with their processing options, or the plain output bin with the
// stapling and binding choices.
#include "pclxl/pjl/pjl.h"

#include <string>

#include "device/paper/paper_handling_device.h"
#include "model/attributes/configuration.h"
#include "model/attributes/value_attribute.h"
#include "pclxl/pjl/pjl_lines.h"
#include "pclxl/pjl/settings_reader.h"

namespace {

using pjl::AppendSet;
using pjl::FindValue;
using pjl::Has;
using pjl::ValueIs;

// Bins 9 to 12 are the mailboxes, 13 to 15 the stacker.
constexpr int16_t kFirstMailbox = 9;
constexpr int16_t kLastMailbox = 12;
constexpr int16_t kStaplingStackerStart = 13;
constexpr int16_t kStaplingStackerEnd = 14;
constexpr int16_t kStacker = 15;
// Bins that the device description names through its bin map.
constexpr int16_t kFirstMappedBin = 30;
constexpr int16_t kLastMappedBin = 59;
// Beyond the named bins, bin n is the optional output bin n - 14.
constexpr int16_t kOptionalBinOffset = 14;

void AppendProcessing(std::string& header, const char* type, const char* option) {
  AppendSet(header, "PROCESSINGTYPE=" + pjl::Quoted(type));
  if (option != nullptr) AppendSet(header, "PROCESSINGOPTION=" + pjl::Quoted(option));
}

// The installed optional output device that decides the names of bins 2
// and 3.
struct OutputDevice {
  // The device's default id; 2 when there is no such device.
  uint16_t defaultId = 2;
  // Bin 2 is the optional bin rather than the lower one.
  bool lowerIsOptional = false;
};

OutputDevice FindOutputDevice(MPersistentObject* configuration, int16_t variant) {
  OutputDevice found;
  bool seen = false;
  pjl::ForEachChild(pjl::Find(configuration, 90), [&](MPersistentObject& child) {
    auto* device = dynamic_cast<GPaperHandlingDevice*>(&child);
    if (seen || device == nullptr || !device->IsOptional() || !device->IsInstalled() ||
        device->GetKind() != GPaperHandlingDevice::kOutput) {
      return;
    }
    seen = true;
    found.defaultId = device->GetDefaultId();
    found.lowerIsOptional = found.defaultId == 2 || (variant == 1 && found.defaultId != 1);
  });
  return found;
}

}  // namespace

void GPJL::AppendBinAndFinishing(std::string& header, GState& settings) {
  const int16_t bin = FindValue(&settings, 248).value_or(0);
  const bool variant = ValueIs(&settings, 1127, 1);
  bool special = true;
  if (bin >= kFirstMailbox && bin <= kLastMailbox) {
    AppendMailboxBins(header, settings, bin);
  } else if (bin == kStaplingStackerStart || bin == kStaplingStackerEnd) {
    AppendStackerBins(header, true, bin);
  } else if (bin == kStacker) {
    AppendStackerBins(header, false, bin);
  } else {
    special = false;
  }
  if (variant && bin == 3) {
    AppendMailboxBins(header, settings, 3);
    special = true;
  }
  if (!special) AppendOutputBin(header, settings);
}

void GPJL::AppendMailboxBins(std::string& header, GState& settings, int16_t bin) {
  AppendSet(header, "OUTBIN",
            pjl::WordFor({{3, "OPTIONALOUTBIN2"},
                          {10, "OPTIONALOUTBIN2"},
                          {9, "OPTIONALOUTBIN1"},
                          {11, "OPTIONALOUTBIN1"},
                          {12, "OPTIONALOUTBIN1"}},
                         bin));
  if (bin == 11) AppendProcessing(header, "FACE_UP", "FACE_UP");
  if (bin == 12) AppendProcessing(header, "FACE_DOWN", "FACE_DOWN");
  if (ValueIs(&settings, 982, 1)) {
    AppendProcessing(header, "BOOKLET_MAKER", "BOOKLET_MAKER");
  } else {
    pjl::SetValueIfPresent(&settings, 982, 0);
  }
  if (FindValue(&settings, 278).value_or(0) != 0) {
    const std::optional<int16_t> option = FindValue(&settings, 289);
    AppendProcessing(header, "STAPLING",
                     option ? pjl::WordFor({{1, "ONE_STAPLE"},
                                            {8, "ONE_STAPLE"},
                                            {2, "ANGLED_STAPLE"},
                                            {3, "TWO_STAPLES"},
                                            {9, "TWO_STAPLES"},
                                            {4, "THREE_STAPLES"},
                                            {5, "SIX_STAPLES"}},
                                           *option)
                            : nullptr);
  }
  AppendSet(header, "PROCESSINGBOUNDARY=MORG");
}

void GPJL::AppendStackerBins(std::string& header, bool stapling, int16_t bin) {
  AppendSet(header, "OUTBIN=OPTIONALOUTBIN1");
  if (!stapling) return AppendProcessing(header, "NONE", nullptr);
  AppendProcessing(header, "STAPLING", bin == kStaplingStackerEnd ? "ONE_STAPLE" : "NONE");
  AppendSet(header, "PROCESSINGBOUNDARY=MORG");
}

void GPJL::AppendOutputBin(std::string& header, GState& settings) {
  if (const std::optional<int16_t> bin = FindValue(&settings, 248)) {
    const std::string word = OutputBinWord(settings, *bin);
    if (!word.empty()) AppendSet(header, "OUTBIN=" + word);
  }
  AppendFinishing(header, settings);
}

std::string GPJL::OutputBinWord(GState& settings, int16_t bin) {
  const OutputDevice device = FindOutputDevice(GetConfiguration(), FindValue(&settings, 1127).value_or(0));
  switch (bin) {
    case 1:
      return "UPPER";
    case 2:
      return device.lowerIsOptional ? "OPTIONALOUTBIN1" : "LOWER";
    case 3:
      return device.defaultId == 2 ? "OPTIONALOUTBIN7" : "OPTIONALOUTBIN2";
    case 4:
      return "OPTIONALOUTBIN2";
    case 5:
      return "HCO-D";
    case 6:
      return "HCO-U";
    default:
      break;
  }
  if (bin >= kFirstMappedBin && bin <= kLastMappedBin) {
    const RWCString* mapped = pjl::MappedText(GetConfiguration(), 93, bin);
    return mapped != nullptr ? pjl::ToStd(*mapped) : std::string();
  }
  // Bins below the optional ones (0 when the setting is absent) have no
  // name.
  if (bin <= kOptionalBinOffset) return {};
  return "OPTIONALOUTBIN" + pjl::Decimal(bin - kOptionalBinOffset);
}

// Stapling, then binding. With the output-bin variant a job without
// stapling says so as a processing type and nothing more.
void GPJL::AppendFinishing(std::string& header, GState& settings) {
  if (const std::optional<int16_t> stapler = FindValue(&settings, 278)) {
    const std::optional<int16_t> option = FindValue(&settings, 289);
    if (*stapler != 0) {
      AppendSet(header, "FINISH=STAPLE");
      if (option) {
        AppendSet(
            header, "STAPLEOPTION",
            pjl::WordFor(
                {{0, "DEFAULT"}, {1, "ONE"}, {2, "ONEANGLED"}, {3, "TWO"}, {4, "THREE"}, {5, "SIX"}, {6, "CUSTOM"}},
                *option));
      }
    } else if (ValueIs(&settings, 1127, 1)) {
      return AppendProcessing(header, "NONE", nullptr);
    } else {
      AppendSet(header, "FINISH=NONE");
      if (option && *option != 7) AppendSet(header, "STAPLEOPTION=NONE");
    }
  }
  const std::optional<int16_t> binder = FindValue(&settings, 612);
  if (binder == 1) {
    AppendSet(header, "FINISH=ON");
    AppendSet(header, "FINISHERTYPE=THERMALBINDER");
    AppendSet(header, "FINISHEROPTION=REGULARBIND");
  } else if (binder == 3) {
    AppendSet(header, "FINISH=NONE");
    pjl::SetValueIfPresent(&settings, 612, 0);
  }
}
