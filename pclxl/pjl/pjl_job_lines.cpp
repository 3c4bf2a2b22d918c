// The job header's lines about the job itself rather than the page: the
// manual-duplex pass, the usage line, the time stamps and the retention
// (job hold) lines with the user name in UTF-8.
#include "pclxl/pjl/pjl.h"

#include <array>
#include <string>
#include <vector>

#include "graphics/commands/document_command.h"
#include "graphics/device/graphics_device.h"
#include "model/attributes/configuration.h"
#include "model/attributes/value_attribute.h"
#include "model/objects/text_conversion.h"
#include "model/os/date_time.h"
#include "model/os/os_version.h"
#include "model/os/unicode.h"
#include "pclxl/pjl/pjl_lines.h"
#include "pclxl/pjl/settings_reader.h"

namespace {

using pjl::AppendSet;
using pjl::FindText;
using pjl::FindValue;
using pjl::Has;
using pjl::ValueIs;

constexpr size_t kNameUnits = 16;

// The device codes of the usage line: the first row whose model number
// occurs in the model name (956) gives the code. These are the models of
// the family that report usage.
struct DeviceCode {
  const char* modelNumber;
  const char* code;
};
constexpr std::array<DeviceCode, 4> kDeviceCodes = {{
    {"2150", "=QVMA"},
    {"3380", "=QVMB"},
    {"4620", "=QVMC"},
    {"8150", "=QVMD"},
}};

// OS codes of the usage line by operating-system kind.
const char* UsageOSCode(uint32_t osCode) {
  switch (osCode) {
    case 5:
    case 7:
      return "02";
    case 6:
      return "01";
    case 8:
      return "10";
    case 9:
    case 11:
      return "04";
    case 13:
      return "08";
    case 14:
      return "20";
    default:
      return "(n/a)";
  }
}

std::string Uppercase(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

bool ContainsIgnoringCase(const std::string& text, const char* word) {
  return Uppercase(text).find(word) != std::string::npos;
}

// Pages per sheet, scaling and booklet as the usage line counts them.
uint32_t LayoutFlags(GState& settings) {
  uint32_t flags = 0;
  if ((Has(&settings, 269) || Has(&settings, 270)) &&
      !(FindValue(&settings, 269).value_or(100) == 100 && FindValue(&settings, 270).value_or(0) == 0)) {
    flags |= 1;
  }
  if (const std::optional<int16_t> pages = FindValue(&settings, 266); pages && *pages != 1) flags |= 2;
  if (FindValue(&settings, 253).value_or(0) != 0) flags |= FindValue(&settings, 279).value_or(0) != 0 ? 0x10 : 8;
  return flags;
}

std::string PortCode(const GDocumentStart& start) {
  const GGraphicsDevice* device = start.GetGraphicsDevice();
  if (device == nullptr) return {};
  RWCString port;
  WideToNarrow(device->GetOutputName(), port);
  const std::string name = pjl::ToStd(port);
  if (ContainsIgnoringCase(name, "FILE")) return pjl::Hex2(4);
  return pjl::Hex2(ContainsIgnoringCase(name, "LPT1") ? 1 : 2);
}

std::string Zone(int16_t offset) {
  const int32_t minutes = offset > 0 ? offset : -static_cast<int32_t>(offset);
  return std::string(offset > 0 ? "+" : "-") + pjl::ZeroPadded(minutes / 60, 2) + ":" +
         pjl::ZeroPadded(minutes % 60, 2);
}

void ReplaceFirst(std::string& text, const std::string& token, const std::string& replacement) {
  if (const size_t at = text.find(token); at != std::string::npos) text.replace(at, token.size(), replacement);
}

void AppendUTF8(std::string& out, uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

bool IsHighSurrogate(uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

bool GPJL::AppendManualDuplex(std::string& header, GState& settings, MPersistentObject& deviceConfiguration,
                              int16_t duplexUnit) {
  const std::optional<int16_t> configured = FindValue(&deviceConfiguration, 245);
  if (!configured || *configured == 0) return false;
  const std::optional<int16_t> duplex = FindValue(&settings, 253);
  bool manual = false;
  if (duplex && *duplex != 0) {
    // The duplex unit prints the sizes it lists; custom sizes need the
    // manual pass.
    manual = true;
    const int16_t sizeId = pjl::MediumSizeId(&settings).value_or(0);
    if (duplexUnit == 1 && Has(&deviceConfiguration, 188)) {
      if (sizeId >= pjl::kFirstCustomSizeId) manual = false;
      pjl::ForEachChild(pjl::Find(&deviceConfiguration, 188), [&](MPersistentObject& size) {
        if (auto* printable = dynamic_cast<GValueAttribute*>(&size); printable && printable->Value() == sizeId) {
          manual = false;
        }
      });
    }
  } else if (duplex && ValueIs(&settings, 1123, 1)) {
    manual = true;
    pjl::SetValueIfPresent(&settings, 1123, 0);
  }
  if (manual) AppendSet(header, "MANUALDUPLEX=ON");
  return manual;
}

void GPJL::AppendUsage(std::string& header, GState& settings, const GDocumentStart& start) {
  std::string line = "USAGE=";
  if (const RWCString* model = FindText(&settings, 956)) {
    const std::string name = pjl::ToStd(*model);
    for (const DeviceCode& row : kDeviceCodes) {
      if (name.find(row.modelNumber) != std::string::npos) {
        line = std::string("USAGE") + row.code;
        break;
      }
    }
  }
  const RWCString* account = FindText(&settings, 1000);
  const RWCString* client = FindText(&settings, 1022);
  line += "," + (account != nullptr ? pjl::Hex2(UsageChecksum(pjl::ToStd(*account))) : std::string());
  line += "," + (client != nullptr ? pjl::Hex2(UsageChecksum(Uppercase(pjl::ToStd(*client)))) : std::string());
  line += "," + pjl::Hex2(LayoutFlags(settings));
  line += "," + std::string(UsageOSCode(pjl::CurrentOSVersion().osCode));
  line += "," + PortCode(start);
  pjl::AppendCommand(header, line);
}

uint16_t GPJL::UsageChecksum(std::string_view text) {
  uint16_t crc = 0;
  for (const char c : text) {
    crc ^= static_cast<unsigned char>(c);
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) != 0 ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
  }
  return crc != 0 ? crc : 0xFFFF;
}

// Each item of the template (after an "@") becomes one SET line with the
// time's fields in place of their tokens, the last item first.
void GPJL::AppendTimeStamps(std::string& header, GState& settings) {
  const RWCString* pattern = FindText(&settings, 596);
  GDateTime now;
  GDateTime shifted;
  int16_t offset = 0;
  if (pattern == nullptr || !pjl::LocalTime(now, shifted, offset)) return;
  const std::array<std::pair<const char*, std::string>, 7> fields = {{
      {"#D", pjl::ZeroPadded(now.day, 2)},
      {"#MO", pjl::ZeroPadded(now.month, 2)},
      {"#Y", pjl::ZeroPadded(now.year, 4)},
      {"#H", pjl::ZeroPadded(now.hour, 2)},
      {"#MN", pjl::ZeroPadded(now.minute, 2)},
      {"#S", pjl::ZeroPadded(now.second, 2)},
      {"#G", Zone(offset)},
  }};
  std::string rest = pjl::ToStd(*pattern);
  for (size_t at = rest.rfind('@'); at != std::string::npos; at = rest.rfind('@')) {
    std::string item = rest.substr(at + 1);
    rest.resize(at);
    for (const auto& [token, value] : fields) ReplaceFirst(item, token, value);
    if (!item.empty()) AppendSet(header, item);
  }
}

void GPJL::AppendDeviceTimeStamp(std::string& header, GState& settings) {
  GDateTime now;
  GDateTime shifted;
  int16_t offset = 0;
  if (!ValueIs(&settings, 1121, 1) || !pjl::LocalTime(now, shifted, offset)) return;
  std::string hex;
  for (const char digit : pjl::TimeDigits(shifted)) hex += pjl::Hex2(static_cast<unsigned char>(digit) & 0x7F);
  pjl::AppendCommand(header, "DMINFO ASCIIHEX=" + pjl::Quoted("0400040101020D10100115" + hex));
}

bool GPJL::AppendRetention(std::string& text, GState& settings, const GDocumentStart& start) {
  const std::optional<int16_t> mode = FindValue(&settings, 287);
  if (!mode || *mode < 0) return false;
  const bool utf8 = FindValue(&settings, 1027).value_or(0) != 0;
  const bool fromJob = ValueIs(&settings, 1034, 0) && Has(&settings, 975);
  const RWCString* user = FindText(&settings, fromJob ? 975 : 440);
  std::string userName = user != nullptr ? pjl::ToStd(*user) : std::string();
  if (fromJob && utf8) userName = pjl::ToStd(EncodeNameUTF8(*user));
  std::string jobName;
  if (const RWCString* retained = FindText(&settings, 282)) {
    jobName = pjl::ToStd(*retained);
    if (ValueIs(&settings, 1035, 0) && start.GetAlternateName().Length() != 0) {
      jobName = pjl::ToStd(start.GetAlternateName());
    }
  }
  if (utf8 && *mode != 0) AppendSet(text, "STRINGCODESET=UTF8");
  // UTF-8 passes the check as it stands; a quote or control byte would end
  // the quoted value whatever the code set.
  if (userName.empty() || !IsPJLText(userName)) userName = "?";
  if (!IsPJLText(jobName)) jobName.clear();
  const RWCString* pinText = FindText(&settings, 284);
  std::string pin = pinText != nullptr ? pjl::ToStd(*pinText) : std::string();
  if (!IsPJLText(pin)) pin.clear();
  switch (*mode) {
    case 1:
      AppendSet(text, "HOLD=ON");
      AppendSet(text, "HOLDTYPE=PUBLIC");
      break;
    case 2:
      AppendSet(text, "HOLD=PROOF");
      break;
    case 3:
      AppendSet(text, "HOLD=STORE");
      if (FindValue(&settings, 290).value_or(0) == 0) break;
      AppendSet(text, "HOLDTYPE=PRIVATE");
      AppendSet(text, "HOLDKEY=" + pjl::Quoted(pin));
      break;
    case 4:
      AppendSet(text, "HOLD=ON");
      AppendSet(text, "HOLDTYPE=PRIVATE");
      AppendSet(text, "HOLDKEY=" + pjl::Quoted(pin));
      break;
    default:
      AppendSet(text, "HOLD=OFF");
      return true;
  }
  AppendSet(text, "USERNAME=" + pjl::Quoted(userName));
  AppendSet(text, "JOBNAME=" + pjl::Quoted(jobName));
  return true;
}

RWCString GPJL::EncodeNameUTF8(const RWCString& name) {
  RWWString wide;
  if (GUnicodeConverter* converter = GetUnicodeConverter(); converter != nullptr && name.Length() > 0) {
    std::vector<WideChar> units(name.Length());
    const int32_t count = converter->NarrowToWide(name.Data(), units.data(), name.Length());
    wide = RWWString(units.data(), count > 0 ? static_cast<uint32_t>(count) : 0);
  } else {
    NarrowToWide(name, wide);
  }
  const std::string encoded = EncodeUnitsUTF8(std::basic_string_view<WideChar>(wide.Data(), wide.Length()));
  return RWCString(encoded.data(), static_cast<uint32_t>(encoded.size()));
}

std::string GPJL::EncodeUnitsUTF8(std::basic_string_view<WideChar> units) {
  std::string out;
  size_t index = 0;
  while (index < units.size() && index < kNameUnits) {
    const uint32_t unit = static_cast<uint16_t>(units[index]);
    const bool paired =
        IsHighSurrogate(unit) && index + 1 < units.size() && IsLowSurrogate(static_cast<uint16_t>(units[index + 1]));
    if (paired) {
      // A pair that the cut would split is left out whole.
      if (index + 1 >= kNameUnits) break;
      const uint32_t low = static_cast<uint16_t>(units[index + 1]);
      AppendUTF8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
      index += 2;
      continue;
    }
    AppendUTF8(out, IsHighSurrogate(unit) || IsLowSurrogate(unit) ? 0xFFFD : unit);
    ++index;
  }
  return out;
}
