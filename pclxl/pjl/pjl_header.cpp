// The job header, built step by step from the job settings in the order the
// lines are written.
#include "pclxl/pjl/pjl.h"

#include <string>

#include "graphics/commands/document_command.h"
#include "graphics/device/graphics_device.h"
#include "model/attributes/configuration.h"
#include "model/attributes/string_attribute.h"
#include "model/attributes/value_attribute.h"
#include "model/objects/text_conversion.h"
#include "model/os/date_time.h"
#include "model/os/os_version.h"
#include "pclxl/pjl/pjl_lines.h"
#include "pclxl/pjl/settings_reader.h"
#include "pipeline/printer.h"

namespace {

using pjl::AppendSet;
using pjl::FindText;
using pjl::FindValue;
using pjl::Has;
using pjl::ValueIs;

// The checked text of the key: empty when absent or when it could break a
// quoted value.
std::string CheckedText(GState& settings, int32_t key) {
  const RWCString* text = FindText(&settings, key);
  if (text == nullptr) return {};
  std::string narrow = pjl::ToStd(*text);
  return GPJL::IsPJLText(narrow) ? narrow : std::string();
}

// The SET line name=ON for a non-zero value, name=OFF for 0, when the key is
// present.
void AppendOnOff(std::string& header, GState& settings, int32_t key, const char* name) {
  if (const std::optional<int16_t> value = FindValue(&settings, key)) {
    AppendSet(header, name, *value != 0 ? "ON" : "OFF");
  }
}

const char* OSName(const GOSVersion& version) {
  switch (version.osCode) {
    case 0:
      return " (n/a);";
    case 1:
      return "DOS;";
    case 2:
    case 4:
      return "Win3x;";
    case 3:
      return "WFW;";
    case 5:
      return (version.build >> 16) <= 7 ? "Win9x;" : "WinMe;";
    case 9:
      return "WinNT;";
    case 10:
      return "WinNTAS;";
    case 11:
      return "WinNT Kernel;";
    case 12:
      return "OS2;";
    case 13:
      return "Win2k;";
    default:
      return "(n/a);";
  }
}

}  // namespace

std::string GPJL::BuildHeader(GDocumentStart& start) {
  GState& settings = *FindStateFor(kDocumentStateKey);
  std::string header(pjl::kUEL);
  AppendJobLine(header, start);
  AppendOSComments(header, settings);
  if (Has(&settings, 975)) pjl::AppendComment(header, "Username: " + CheckedText(settings, 975));
  AppendJobAccounting(header, settings);
  AppendDisplayMessage(header, settings);
  AppendCopies(header, settings);
  if (const RWCString* raw = FindText(&settings, 240)) header += pjl::ToStd(*raw);
  AppendResolutionEnhancement(header, settings);
  AppendDuplex(header, settings, AppendDeviceDuplex(header, settings, start));
  AppendOnOff(header, settings, 1128, "PRINTONBACKSIDE");
  if (Has(&settings, 1021)) AppendUsage(header, settings, start);
  AppendPrintQuality(header, settings);
  AppendTimeStamps(header, settings);
  AppendOnOff(header, settings, 703, "CLEANING");
  AppendDeviceOptions(header, settings);
  AppendGrayscale(header, settings);
  AppendBinAndFinishing(header, settings);
  AppendPageProtection(header, settings);
  AppendPaper(header, settings, start);
  AppendTray1(header, settings);
  if (std::string retention; AppendRetention(retention, settings, start)) header += retention;
  media_->RemoveAllChildren();
  AppendResolution(header, settings);
  if (const std::optional<int16_t> edge = FindValue(&settings, 442); edge && *edge >= 0) {
    AppendSet(header, "EDGETOEDGE", *edge == 0 ? "NO" : "YES");
  }
  AppendDeviceTimeStamp(header, settings);
  AppendDryTime(header, settings);
  AppendTransparencyInterleave(header, settings);
  AppendImageShift(header, settings);
  PassToChildren(start);
  AppendExtraLines(header, settings);
  // Without a language name the printer keeps choosing the language
  // itself; an empty name would not be PJL.
  if (const std::string language = LanguageName(); !language.empty()) {
    pjl::AppendCommand(header, "ENTER LANGUAGE=" + language);
  }
  return header;
}

void GPJL::AppendJobLine(std::string& header, const GDocumentStart& start) {
  RWCString name;
  WideToNarrow(start.GetDocumentName(), name);
  jobName_ = IsPJLText(pjl::ToStd(name)) ? name : RWCString();
  pjl::AppendCommand(header, "JOB NAME=" + pjl::Quoted(pjl::ToStd(jobName_)));
}

void GPJL::AppendOSComments(std::string& header, GState& settings) {
  if (const RWCString* model = FindText(&settings, 956)) pjl::AppendComment(header, pjl::ToStd(*model));
  if (Has(&settings, 1007)) {
    pjl::AppendComment(header, CheckedText(settings, 1007));
  } else {
    std::string info;
    AppendOSInfo(info);
    pjl::AppendComment(header, info);
  }
  if (Has(&settings, 1008)) pjl::AppendComment(header, CheckedText(settings, 1008));
}

void GPJL::AppendOSInfo(std::string& text) {
  const GOSVersion version = pjl::CurrentOSVersion();
  text += "OS Info:" + std::string(OSName(version)) + pjl::Decimal(static_cast<int32_t>(version.version >> 16)) + "." +
          pjl::Decimal(static_cast<int32_t>(version.version & 0xFFFF)) + ";" +
          pjl::Decimal(static_cast<int32_t>(version.build >> 16)) + "." +
          pjl::Decimal(static_cast<int32_t>(version.build & 0xFFFF)) + ";";
}

void GPJL::AppendJobAccounting(std::string& header, GState& settings) {
  const auto appendAttribute = [&header](const char* name, const std::string& text) {
    AppendSet(header, "JOBATTR=" + pjl::Quoted(std::string(name) + "=" + text));
  };
  for (const auto& [key, name] : {std::pair{975, "JobAcct1"}, {1000, "JobAcct2"}, {999, "JobAcct3"}}) {
    if (Has(&settings, key)) appendAttribute(name, CheckedText(settings, key));
  }
  GDateTime now;
  GDateTime shifted;
  int16_t offset = 0;
  if (pjl::LocalTime(now, shifted, offset)) appendAttribute("JobAcct4", pjl::TimeDigits(now));
  if (Has(&settings, 1131)) appendAttribute("JobAcct5", CheckedText(settings, 1131));
}

void GPJL::AppendDisplayMessage(std::string& header, GState& settings) {
  if (!Has(&settings, 800)) return;
  const bool operatorMessage = FindValue(&settings, 801).value_or(0) != 0;
  pjl::AppendCommand(header, std::string(operatorMessage ? "OPMSG DISPLAY = " : "RDYMSG DISPLAY = ") +
                                 pjl::Quoted(CheckedText(settings, 800)));
}

// A pending manual-duplex pass prints one copy at a time.
void GPJL::AppendCopies(std::string& header, GState& settings) {
  if (ValueIs(&settings, 1123, 1)) return;
  if (const std::optional<int16_t> copies = FindValue(&settings, 247); copies && *copies > 1) {
    AppendSet(header, "QTY=" + pjl::Decimal(*copies));
  }
}

void GPJL::AppendResolutionEnhancement(std::string& header, GState& settings) {
  const std::optional<int16_t> value = FindValue(&settings, 250);
  if (!value || *value < 0) return;
  AppendSet(header, "RET", pjl::WordFor({{0, "OFF"}, {1, "LIGHT"}, {2, "MEDIUM"}, {3, "DARK"}, {4, "ON"}}, *value));
}

int16_t GPJL::AppendDeviceDuplex(std::string& header, GState& settings, const GDocumentStart& start) {
  GGraphicsDevice* device = start.GetGraphicsDevice();
  GConfiguration* configuration = device != nullptr ? device->GetConfiguration() : nullptr;
  if (configuration == nullptr) return 0;
  const int16_t duplexUnit = FindValue(configuration, 204).value_or(0);
  if (ValueIs(configuration, 1010, 1)) AppendManualDuplex(header, settings, *configuration, duplexUnit);
  pjl::SetValueIfPresent(configuration, 1010, 1);
  return duplexUnit;
}

void GPJL::AppendDuplex(std::string& header, GState& settings, int16_t duplexUnit) {
  const std::optional<int16_t> duplex = FindValue(&settings, 253);
  if (!duplex) return;
  if (duplexUnit == 0 || *duplex == 0) return AppendSet(header, "DUPLEX=OFF");
  const char* binding = pjl::WordFor({{1, "SHORTEDGE"}, {2, "LONGEDGE"}}, *duplex);
  if (binding == nullptr) return;
  AppendSet(header, "DUPLEX=ON");
  AppendSet(header, "BINDING", binding);
}

void GPJL::AppendPrintQuality(std::string& header, GState& settings) {
  if (const std::optional<int16_t> quality = FindValue(&settings, 901)) {
    AppendSet(header, "PRINTQUALITY",
              pjl::WordFor({{-2, "DRAFT"}, {-1, "FASTNORMAL"}, {0, "NORMAL"}, {1, "BEST"}}, *quality));
  }
}

// Economy, turbo and colour planes.
void GPJL::AppendDeviceOptions(std::string& header, GState& settings) {
  if (ValueIs(&settings, 252, 1)) AppendSet(header, "ECONOMODE=ON");
  if (const std::optional<int16_t> turbo = FindValue(&settings, 1009)) {
    AppendSet(header, "TURBOMODE", pjl::WordFor({{0, "OFF"}, {1, "ON"}}, *turbo));
  }
  if (ValueIs(&settings, 1030, 1) && ValueIs(&settings, 296, 1)) AppendSet(header, "PLANESINUSE=1");
}

void GPJL::AppendGrayscale(std::string& header, GState& settings) {
  const std::optional<int16_t> grey = FindValue(&settings, 296);
  const std::optional<int16_t> mode = FindValue(&settings, 410);
  if (!grey || !mode) return;
  if (*grey != 1) return AppendSet(header, "GRAYSCALE=OFF");
  AppendSet(header, "GRAYSCALE", *mode == 1 ? "BLACKONLY" : "COMPOSITE");
}

void GPJL::AppendPageProtection(std::string& header, GState& settings) {
  const std::optional<int16_t> value = FindValue(&settings, 251);
  if (!value || *value < 0) return;
  const char* word = pjl::WordFor({{0, "ON"}, {1, "AUTO"}, {2, "OFF"}, {3, "LETTER"}, {4, "LEGAL"}, {5, "A4"}}, *value);
  AppendSet(header, "PAGEPROTECT", word != nullptr ? word : "AUTO");
}

void GPJL::AppendPaper(std::string& header, GState& settings, const GDocumentStart& start) {
  const std::optional<int16_t> medium = pjl::MediumSizeId(&settings);
  if (!medium) return;
  // The printer is told the device's default size for a custom size.
  int16_t sizeId = *medium;
  if (sizeId >= pjl::kFirstCustomSizeId && sizeId <= pjl::kLastCustomSizeId && start.GetGraphicsDevice() != nullptr) {
    sizeId = start.GetGraphicsDevice()->GetDefaultPaperSizeId();
  }
  if (const RWCString* paper = pjl::MappedText(GetConfiguration(), 192, sizeId)) {
    AppendSet(header, "PAPER=" + pjl::ToStd(*paper));
  }
}

// The tray-1 medium goes to every variable the selector's list names, from
// the last to the first, or to TRAY1TEMP without a list.
void GPJL::AppendTray1(std::string& header, GState& settings) {
  const std::optional<int16_t> medium = FindValue(&settings, 907);
  const RWCString* mapped = medium ? pjl::MappedText(GetConfiguration(), 906, *medium) : nullptr;
  if (mapped == nullptr) return;
  const std::string value = pjl::ToStd(*mapped);
  const std::optional<int16_t> selector = FindValue(&settings, 931);
  const RWCString* list = selector ? pjl::MappedText(GetConfiguration(), 930, *selector) : nullptr;
  if (list == nullptr) return AppendSet(header, "TRAY1TEMP=" + value);
  std::string names = pjl::ToStd(*list);
  while (!names.empty()) {
    const size_t comma = names.rfind(',');
    const std::string name = comma == std::string::npos ? names : names.substr(comma + 1);
    if (!name.empty()) AppendSet(header, name + "=" + value);
    names.resize(comma == std::string::npos ? 0 : comma);
  }
}

// One bit per pixel is announced where the device takes it at the
// resolution.
void GPJL::AppendResolution(std::string& header, GState& settings) {
  MPersistentObject* group = pjl::Find(&settings, 249);
  const int16_t resolution = group != nullptr ? FindValue(group, 323).value_or(600) : 600;
  const int16_t bitsPerPixel = group != nullptr ? FindValue(group, 325).value_or(1) : 1;
  bool announce = false;
  pjl::ForEachChild(pjl::Find(GetConfiguration(), 206),
                    [&announce](MPersistentObject& entry) { announce |= pjl::ValueIs(&entry, 325, 2); });
  AppendSet(header, "RESOLUTION=" + pjl::Decimal(resolution));
  const std::optional<int16_t> oneBit = FindValue(&settings, 955);
  if (oneBit && bitsPerPixel == 1 && (((*oneBit & 1) && resolution == 300) || ((*oneBit & 2) && resolution == 600))) {
    announce = true;
  }
  if (announce) AppendSet(header, "BITSPERPIXEL=" + pjl::Decimal(bitsPerPixel));
}

void GPJL::AppendDryTime(std::string& header, GState& settings) {
  const std::optional<int16_t> value = FindValue(&settings, 1133);
  if (!value) return;
  const char* word = pjl::WordFor(
      {{1, "-15"}, {2, "-10"}, {3, "-5"}, {4, "0"}, {5, "5"}, {6, "10"}, {7, "15"}, {8, "20"}, {9, "25"}, {10, "30"}},
      *value);
  AppendSet(header, "VRNEXTRADRYTIME", word != nullptr ? word : "0");
}

void GPJL::AppendTransparencyInterleave(std::string& header, GState& settings) {
  if (const std::optional<int16_t> value = FindValue(&settings, 1204)) {
    AppendSet(header, "OHPINTERLEAVE", pjl::WordFor({{1, "BLANK"}, {2, "PRINTED"}}, *value));
  }
}

void GPJL::AppendImageShift(std::string& header, GState& settings) {
  const std::optional<int16_t> value = FindValue(&settings, 1202);
  if (!value) return;
  AppendSet(header, "PROCESSINGTYPE=" + pjl::Quoted("IMAGE_SHIFT"));
  AppendSet(header, "PROCESSINGOPTION=" + pjl::Quoted(*value == 1 ? "ON" : "NONE"));
  AppendSet(header, "PROCESSINGBOUNDARY=MORG");
}

void GPJL::AppendExtraLines(std::string& text, GState& settings) {
  pjl::ForEachChild(pjl::Find(&settings, 985), [&text](MPersistentObject& line) {
    if (auto* attribute = dynamic_cast<GStringAttribute*>(&line)) {
      text += pjl::ToStd(attribute->Text());
      text += pjl::kLineEnd;
    }
  });
}

// The generator's name, which the printer publishes in the shared state;
// without it, the name of the generator of the printer holding the writer.
std::string GPJL::LanguageName() const {
  if (const RWCString* name = FindText(GetCurrentState(), GPrinter::kGeneratorNameKey)) return pjl::ToStd(*name);
  std::string name;
  Parents().ForEach(
      [](RWCollectable* parent, void* user) {
        auto* printer = dynamic_cast<GPrinter*>(parent);
        auto& found = *static_cast<std::string*>(user);
        if (found.empty() && printer != nullptr && printer->GeneratorChild() != nullptr) {
          found = pjl::ToStd(printer->GeneratorChild()->GetName());
        }
      },
      &name);
  return name;
}
