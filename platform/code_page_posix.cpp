#include <iconv.h>

#include <bit>
#include <cerrno>
#include <string>

#include "platform/code_page.h"

namespace platform {
namespace {

// The ANSI code page that the native build stands in with.
constexpr uint32_t kAnsiCodePage = 1252;
constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

// iconv knows the Windows code pages as CP followed by the number.
std::string IconvName(uint32_t codePage) { return "CP" + std::to_string(codePage != 0 ? codePage : kAnsiCodePage); }

enum class Outcome { kDone, kIncomplete, kFailed };

// One conversion through a descriptor of its own: iconv descriptors keep
// state and may not be shared between threads.
Outcome Convert(const char* to, const char* from, const char* in, size_t inBytes, char* out, size_t outBytes,
                size_t* written) {
  iconv_t descriptor = iconv_open(to, from);
  if (descriptor == reinterpret_cast<iconv_t>(-1)) return Outcome::kFailed;
  char* input = const_cast<char*>(in);
  char* output = out;
  size_t inLeft = inBytes;
  size_t outLeft = outBytes;
  Outcome outcome = Outcome::kDone;
  if (iconv(descriptor, &input, &inLeft, &output, &outLeft) == static_cast<size_t>(-1)) {
    outcome = errno == EINVAL ? Outcome::kIncomplete : Outcome::kFailed;
  } else if (iconv(descriptor, nullptr, nullptr, &output, &outLeft) == static_cast<size_t>(-1)) {
    outcome = Outcome::kFailed;
  }
  iconv_close(descriptor);
  *written = outBytes - outLeft;
  return outcome;
}

}  // namespace

// iconv needs an output buffer even to write nothing: empty text converts
// to nothing, and other text does not fit into no room.
int32_t CodePageToWide(uint32_t codePage, const char* text, uint32_t n, WideChar* out, uint32_t capacity) {
  if (n == 0) return 0;
  if (capacity == 0) return -1;
  size_t written = 0;
  const Outcome outcome = Convert(kUtf16, IconvName(codePage).c_str(), text, n, reinterpret_cast<char*>(out),
                                  size_t{capacity} * sizeof(WideChar), &written);
  return outcome == Outcome::kDone ? static_cast<int32_t>(written / sizeof(WideChar)) : -1;
}

int32_t WideToCodePage(uint32_t codePage, const WideChar* text, uint32_t n, char* out, uint32_t capacity) {
  if (n == 0) return 0;
  if (capacity == 0) return -1;
  size_t written = 0;
  const Outcome outcome = Convert(IconvName(codePage).c_str(), kUtf16, reinterpret_cast<const char*>(text),
                                  size_t{n} * sizeof(WideChar), out, capacity, &written);
  return outcome == Outcome::kDone ? static_cast<int32_t>(written) : -1;
}

int32_t MultibyteToWide(const char* text, uint32_t n, WideChar* out, uint32_t capacity) {
  return CodePageToWide(0, text, n, out, capacity);
}

int32_t WideToMultibyte(const WideChar* text, uint32_t n, char* out, uint32_t capacity) {
  return WideToCodePage(0, text, n, out, capacity);
}

uint32_t MaxBytesPerChar() { return 1; }

int32_t MultibyteCharLength(const char* text, uint32_t n) {
  WideChar units[2];
  const std::string codePage = IconvName(0);
  for (uint32_t length = 1; length <= n && length <= MaxBytesPerChar(); ++length) {
    size_t written = 0;
    switch (Convert(kUtf16, codePage.c_str(), text, length, reinterpret_cast<char*>(units), sizeof(units), &written)) {
      case Outcome::kDone:
        return static_cast<int32_t>(length);
      case Outcome::kIncomplete:
        continue;
      case Outcome::kFailed:
        return -1;
    }
  }
  return -1;
}

}  // namespace platform
