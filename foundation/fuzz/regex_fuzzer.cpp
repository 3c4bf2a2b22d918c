// Compiles a pattern and searches a text, both taken from the input, with an
// error handler that returns: nothing may read outside the cells, the pattern
// or the text, and the search must finish. Input: the pattern's length, the
// start of the search, the pattern and the text. The seeds are patterns of
// every construct with texts they match.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "foundation/regex.h"
#include "foundation/rw_cstring.h"
#include "foundation/testing/fuzz_seeds.h"

namespace {

// Texts longer than this only make each run slower.
constexpr size_t kMaxText = 2048;

GFuzzSeeds Seeds() {
  const std::pair<std::string, std::string> searches[] = {
      {"^Hello*, w.rld$", "Hellooo, world"},
      {"[a-z]+[^0-9]?x", "abc-x"},
      {"\\x41\\101\\^A\\t\\s+", "AA\x01\t  "},
      {"a[]b]*c", "a]]bc"},
      {"(x|y)\\\\", "(x|y)\\"},
  };
  GFuzzSeeds seeds;
  for (const auto& [pattern, text] : searches) {
    seeds.push_back(std::string{static_cast<char>(pattern.size()), 0} + pattern + text);
  }
  return seeds;
}

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const size_t patternLength = data[0] % (size - 1);
  const char* rest = reinterpret_cast<const char*>(data + 2);
  const size_t available = size - 2;
  const size_t pattern = patternLength < available ? patternLength : available;
  size_t text = available - pattern;
  if (text > kMaxText) text = kMaxText;

  GRegex expression(RWCString(rest, static_cast<uint32_t>(pattern)));
  RWCString subject(rest + pattern, static_cast<uint32_t>(text));
  const uint32_t start = data[1] % (subject.Length() + 2);
  uint32_t length = 0;
  const uint32_t position = expression.Search(subject, &length, start);
  if (position != RW_NPOS && (position < start || position + length > subject.Length())) __builtin_trap();

  // Whatever was compiled before a fault is searched once its status is taken.
  GRegex copy(expression);
  copy.TakeStatus();
  const GSubString match = subject.SliceMatching(copy, start);
  if (!match.IsNull() && match.Start() + match.Length() > subject.Length()) __builtin_trap();
  return 0;
}
