#include "graphics/device/job_name.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/regex.h"
#include "foundation/utf8.h"
#include "graphics/fonts/truetype/big_endian_span.h"
#include "model/objects/text_conversion.h"
#include "model/os/unicode.h"

namespace {

// A unique id replaces what follows this many characters of the name.
constexpr uint32_t kNameBeforeUniqueId = 13;
// The names applications put before the document's own.
constexpr char kApplicationPrefix[] = "Microsoft [A-Z,a-z]+ - ";

// Narrow text in the code page; through the process's converter when there
// is one (which takes the text with its terminator and writes as many bytes
// at most, nothing when it does not fit).
RWCString ToCodePage(const RWWString& wide, uint32_t codePage) {
  GUnicodeConverter* converter = GetUnicodeConverter();
  if (converter == nullptr) {
    RWCString narrow;
    WideToNarrow(wide, narrow);
    return narrow;
  }
  std::vector<char> buffer(wide.Length() + 1, '\0');
  converter->ConvertToCodePage(wide.Data(), buffer.data(), codePage, static_cast<uint32_t>(buffer.size()));
  return RWCString(buffer.data());
}

RWWString ToWide(const RWCString& narrow) {
  RWWString wide;
  NarrowToWide(narrow, wide);
  return wide;
}

// The part after the last of the separator, the whole text without one.
RWWString AfterLast(const RWWString& text, WideChar separator) {
  const uint32_t position = text.FindLastChar(separator);
  if (position >= text.Length()) return text;
  return RWWString(text.Data() + position + 1, text.Length() - position - 1);
}

RWCString WithoutApplicationPrefix(const RWCString& name) {
  const GRegex prefix(kApplicationPrefix);
  uint32_t length = 0;
  const uint32_t position = name.Index(prefix, &length, 0);
  if (position >= name.Length()) return name;
  return RWCString(name.Data() + position + length, name.Length() - position - length);
}

RWCString BaseName(const GJobNameSources& sources) {
  if (sources.documentName.Length() == 0) {
    return sources.fallbackName.Length() != 0 ? sources.fallbackName : sources.timeStamp;
  }
  const RWWString file = AfterLast(AfterLast(sources.documentName, '/'), '\\');
  return WithoutApplicationPrefix(ToCodePage(file, sources.codePage));
}

// Quotes and line ends would end the job line the name is printed in.
RWWString WithoutLineBreakers(const RWWString& name) {
  std::basic_string<WideChar> kept(name.Data(), name.Length());
  std::erase_if(kept, [](WideChar c) { return c == '"' || c == '\r' || c == '\n'; });
  return RWWString(kept.data(), static_cast<uint32_t>(kept.size()));
}

RWWString Cut(const RWWString& name, uint32_t length) {
  return RWWString(name.Data(), std::min(name.Length(), length));
}

// The characters that count: up to the first zero.
std::basic_string_view<WideChar> Characters(const RWWString& name) {
  const std::basic_string_view<WideChar> all(name.Data(), name.Length());
  return all.substr(0, all.find(WideChar{0}));
}

}  // namespace

RWCString Utf8JobName(const RWWString& name) {
  std::vector<uint8_t> buffer(Utf8LengthOfUtf16(name.Data(), name.Data() + name.Length()), 0);
  size_t written = 0;
  EncodeUtf8(std::span<const WideChar>(name.Data(), name.Length()), buffer, true, written);
  const auto end = std::find(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(written), 0);
  return RWCString(reinterpret_cast<const char*>(buffer.data()), static_cast<uint32_t>(end - buffer.begin()));
}

namespace {

// The segments of a format-4 subtable: the end codes (ascending) after the
// 14-byte header, a pad, then the start codes.
class GCharacterMapSegments {
 public:
  explicit GCharacterMapSegments(std::span<const uint8_t> map)
      : map_(map), count_(map_.U16(6).value_or(0) / 2u), inside_(map_.Holds(kEndCodes, 4ull * count_ + 2)) {}

  bool Covers(uint16_t code) const {
    if (!inside_) return false;
    uint32_t low = 0;
    uint32_t high = count_;
    while (low < high) {
      const uint32_t middle = low + (high - low) / 2;
      if (*map_.U16(kEndCodes + 2ull * middle) < code) {
        low = middle + 1;
      } else {
        high = middle;
      }
    }
    return low < count_ && *map_.U16(kEndCodes + 2ull * count_ + 2 + 2ull * low) <= code;
  }

 private:
  static constexpr uint64_t kEndCodes = 14;

  GBigEndianSpan map_;
  uint32_t count_;
  bool inside_;
};

}  // namespace

RWCString FormatTimeStamp(const GDateTime& time) {
  char text[32];
  std::snprintf(text, sizeof text, "%4.4d%2.2d%2.2d%2.2d%2.2d%2.2d", time.year, time.month, time.day, time.hour,
                time.minute, time.second);
  return RWCString(text);
}

bool ValidateAsciiName(RWWString& name) {
  std::basic_string<WideChar> upper(Characters(name));
  for (WideChar& c : upper) {
    if (c < 32 || c > 126 || c == '"') return false;
    if (c >= 'a' && c <= 'z') c = static_cast<WideChar>(c - 'a' + 'A');
  }
  name = RWWString(upper.data(), static_cast<uint32_t>(upper.size()));
  return true;
}

bool IsCoveredByCharacterMap(const RWWString& name, std::span<const uint8_t> characterMap) {
  const GCharacterMapSegments segments(characterMap);
  return std::ranges::all_of(Characters(name),
                             [&segments](WideChar c) { return segments.Covers(static_cast<uint16_t>(c)); });
}

GJobName ComputeJobName(const GJobNameSources& sources) {
  RWCString name = BaseName(sources);
  if (sources.appendUniqueId) {
    name = RWCString(name.Data(), std::min(name.Length(), kNameBeforeUniqueId)) +
           ToCodePage(sources.uniqueId, sources.codePage);
  }
  const RWWString cut = Cut(WithoutLineBreakers(ToWide(name)), kJobNameLength);
  RWWString checked = cut;
  const bool valid = sources.utf8 ? IsCoveredByCharacterMap(checked, sources.characterMap) : ValidateAsciiName(checked);
  GJobName result;
  result.wide = ToWide(valid ? ToCodePage(checked, sources.codePage) : sources.timeStamp);
  result.narrow = sources.utf8 ? Utf8JobName(cut) : ToCodePage(result.wide, sources.codePage);
  return result;
}
