#include "model/os/registry_path_name.h"

uint32_t DecimalTextValue(const WideChar* text, uint32_t length) {
  uint32_t i = 0;
  const bool negative = length > 0 && text[0] == '-';
  if (negative) ++i;
  uint32_t value = 0;
  for (; i < length && text[i] >= '0' && text[i] <= '9'; ++i) value = value * 10 + (text[i] - '0');
  return negative ? 0u - value : value;
}

bool IsRegistryPathName(const RWWString& name) {
  return name.Length() >= 3 && name.Data()[0] == '?' && name.Data()[1] == '?' && name.Data()[2] == '?';
}

bool ParseRegistryPathName(const RWWString& name, GRegistryPathName& parsed) {
  const WideChar* text = name.Data();
  const uint32_t length = name.Length();
  const uint32_t first = name.FindCharInLength('\\');
  if (first >= length) return false;
  uint32_t second = first + 1;
  while (second < length && text[second] != '\\') ++second;
  const uint32_t last = name.FindLastCharInLength('\\');
  if (second >= length || last >= length || last <= second) return false;
  parsed.root = DecimalTextValue(text + first + 1, second - first - 1);
  parsed.keyPath = RWWString(text + second + 1, last - second - 1);
  parsed.valueName = RWWString(text + last + 1, length - last - 1);
  return true;
}
