// Converts arbitrary text between the ANSI code page and UTF-16: through the
// platform's conversions into outputs of every size, and through the model's
// text conversions. Nothing may be written beyond an output's room, a
// conversion that succeeds must come back the same, and a character's length
// lies within the bytes given.
// Input: a byte giving the room of the outputs, then the text: its bytes for
// the narrow direction, the same bytes as UTF-16LE units for the wide one.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "foundation/rw_cstring.h"
#include "foundation/rw_wstring.h"
#include "foundation/testing/fuzz_seeds.h"
#include "model/objects/text_conversion.h"
#include "platform/code_page.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// Narrow text to UTF-16 into room units, and back when that succeeded.
void Narrow(const std::string& text, uint32_t room) {
  const auto n = static_cast<uint32_t>(text.size());
  std::vector<WideChar> wide(room);
  const int32_t units = platform::MultibyteToWide(text.data(), n, wide.data(), room);
  Check(units >= -1 && units <= static_cast<int32_t>(room));
  if (units < 0 || room < n) return;
  std::vector<char> back(n);
  Check(platform::WideToMultibyte(wide.data(), static_cast<uint32_t>(units), back.data(), n) ==
        static_cast<int32_t>(n));
  Check(std::string(back.begin(), back.end()) == text);
}

void Wide(const std::vector<WideChar>& text, uint32_t room) {
  std::vector<char> narrow(room);
  const int32_t bytes = platform::WideToMultibyte(text.data(), static_cast<uint32_t>(text.size()), narrow.data(), room);
  Check(bytes >= -1 && bytes <= static_cast<int32_t>(room));
}

void CharacterLengths(const std::string& text) {
  for (size_t at = 0; at < text.size(); ++at) {
    const int32_t length = platform::MultibyteCharLength(text.data() + at, static_cast<uint32_t>(text.size() - at));
    Check(length == -1 || (length >= 1 && static_cast<uint32_t>(length) <= platform::MaxBytesPerChar() &&
                           static_cast<size_t>(length) <= text.size() - at));
  }
}

void ModelConversions(const std::string& text, const std::vector<WideChar>& units) {
  const RWCString narrow(text.data(), static_cast<uint32_t>(text.size()));
  RWWString wide;
  NarrowToWide(narrow, wide);
  Check(wide.Length() <= narrow.Length() || narrow.Length() == 0);
  RWCString again;
  WideToNarrow(wide, again);
  RWWString fromUnits;
  for (const WideChar unit : units) fromUnits.Append(unit, 1);
  RWCString converted;
  WideToNarrow(fromUnits, converted);
  Check(converted.Length() <= fromUnits.Length() * platform::MaxBytesPerChar());
  RWWString copy;
  WideToWide(fromUnits, copy);
  Check(copy == fromUnits);
}

GFuzzSeeds Seeds() {
  // Text of every range of the code page, as the platform converts it.
  std::string text = "Druckereinstellungen: ";
  for (int c = 0x20; c < 0x100; c += 3) text += static_cast<char>(c);
  std::vector<WideChar> wide(text.size());
  const int32_t units =
      platform::MultibyteToWide(text.data(), static_cast<uint32_t>(text.size()), wide.data(), text.size());
  std::string utf16;
  for (int32_t i = 0; i < units; ++i) utf16 += {static_cast<char>(wide[i]), static_cast<char>(wide[i] >> 8)};
  return {'\xFF' + text, '\x08' + text, '\xFF' + utf16, '\x20' + std::string("\x81\x8D\x8F\x90\x9D", 5)};
}

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || size > 4096) return 0;
  const uint32_t room = data[0];
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  std::vector<WideChar> units;
  for (size_t i = 0; i + 1 < text.size(); i += 2) {
    units.push_back(static_cast<WideChar>(static_cast<uint8_t>(text[i]) | static_cast<uint8_t>(text[i + 1]) << 8));
  }
  Narrow(text, room);
  Wide(units, room);
  CharacterLengths(text);
  ModelConversions(text, units);
  return 0;
}
