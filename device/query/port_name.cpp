#include "device/query/port_name.h"

#include <string_view>

namespace {

// Only ASCII letters matter to the classes, so the name is compared unit by
// unit without converting it.
char16_t Lower(WideChar unit) {
  const auto c = static_cast<char16_t>(unit);
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool StartsWithNoCase(const RWWString& name, std::string_view prefix) {
  if (name.Length() < prefix.size()) return false;
  for (uint32_t i = 0; i < prefix.size(); ++i) {
    if (Lower(name.Data()[i]) != static_cast<char16_t>(prefix[i])) return false;
  }
  return true;
}

// "LPTn" or "LPTn:" for the prefix "lpt" (and likewise "com"), n one digit.
bool IsNumberedDevice(const RWWString& name, std::string_view prefix) {
  const uint32_t length = name.Length();
  if (!StartsWithNoCase(name, prefix) || (length != 4 && !(length == 5 && name.Data()[4] == ':'))) return false;
  const WideChar digit = name.Data()[3];
  return digit >= '0' && digit <= '9';
}

}  // namespace

GPortClass ClassifyPortName(const RWWString& portName) {
  const uint32_t length = portName.Length();
  if (StartsWithNoCase(portName, "\\\\")) return kNetworkShare;
  if (IsNumberedDevice(portName, "lpt")) return kParallelPort;
  if (IsNumberedDevice(portName, "com")) return kSerialPort;
  if (length == 5 && StartsWithNoCase(portName, "file:")) return kFilePort;
  if (length > 0 && portName.Data()[length - 1] == ':') return kNamedPort;
  return kOtherPort;
}
