// The UTF-8 user name against glibc's iconv, which the native build has.
#include <gtest/gtest.h>

#include <iconv.h>

#include <cstdint>
#include <random>
#include <string>

#include "model/os/memory_os_factory.h"
#include "pclxl/pjl/pjl.h"

namespace {

// The bytes in the target encoding; a refusal fails the test.
std::string Iconv(const char* to, const char* from, std::string input) {
  const iconv_t converter = iconv_open(to, from);
  EXPECT_NE(converter, reinterpret_cast<iconv_t>(-1));
  std::string output(input.size() * 4 + 4, '\0');
  char* in = input.data();
  size_t inLeft = input.size();
  char* out = output.data();
  size_t outLeft = output.size();
  const size_t converted = iconv(converter, &in, &inLeft, &out, &outLeft);
  iconv_close(converter);
  EXPECT_NE(converted, static_cast<size_t>(-1));
  output.resize(output.size() - outLeft);
  return output;
}

std::string LittleEndian(const std::basic_string<WideChar>& units) {
  std::string bytes;
  for (const WideChar unit : units) {
    bytes += static_cast<char>(static_cast<uint16_t>(unit) & 0xFF);
    bytes += static_cast<char>(static_cast<uint16_t>(unit) >> 8);
  }
  return bytes;
}

// Random names of code points from every plane in use, surrogates left
// out; the expected name is made of whole code points while they fit in
// 16 units.
TEST(PJLNameUTF8, EqualsIconvOnNamesWithCharactersBeyondTheBMP) {
  std::mt19937 random(48);
  std::uniform_int_distribution<int> length(0, 24);
  std::uniform_int_distribution<int> plane(0, 3);
  for (int round = 0; round < 1000; ++round) {
    std::basic_string<WideChar> name;
    std::basic_string<WideChar> kept;
    bool full = false;
    for (int n = length(random); n > 0; --n) {
      const int which = plane(random);
      uint32_t code = which == 0   ? std::uniform_int_distribution<uint32_t>(0x20, 0x7FF)(random)
                      : which == 1 ? std::uniform_int_distribution<uint32_t>(0x800, 0xFFFD)(random)
                                   : std::uniform_int_distribution<uint32_t>(0x10000, 0x10FFFF)(random);
      if (code >= 0xD800 && code <= 0xDFFF) code = 0x4E2D;
      std::basic_string<WideChar> units;
      if (code < 0x10000) {
        units += static_cast<WideChar>(code);
      } else {
        units += static_cast<WideChar>(0xD800 + ((code - 0x10000) >> 10));
        units += static_cast<WideChar>(0xDC00 + ((code - 0x10000) & 0x3FF));
      }
      name += units;
      full = full || kept.size() + units.size() > 16;
      if (!full) kept += units;
    }
    const std::string encoded = GPJL::EncodeUnitsUTF8(name);
    ASSERT_EQ(encoded, Iconv("UTF-8", "UTF-16LE", LittleEndian(kept))) << "round " << round;
    ASSERT_LE(encoded.size(), 48U);
  }
}

// A narrow name goes through the process converter (the stand-in's code
// page is Windows-1252) before it is cut and encoded.
TEST(PJLNameUTF8, ANarrowNameIsConvertedFromTheCodePage) {
  GMemoryOSFactory factory;
  GOSFactory::SetInstance(&factory);
  const std::string name =
      "Ren\xE9"
      "e \x80 Lefebvre-Dupont";
  const RWCString encoded = GPJL::EncodeNameUTF8(RWCString(name.c_str()));
  EXPECT_EQ(std::string(encoded.Data(), encoded.Length()), Iconv("UTF-8", "CP1252", name.substr(0, 16)));
}

}  // namespace
