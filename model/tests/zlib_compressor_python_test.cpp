// Python's zlib module reads and writes the compressed form outside this
// program, so the stored form is held to the zlib stream format itself, not to
// the compressor's own calls.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "model/tests/compression_test_support.h"

namespace {

using compression_test::Bytes;
using compression_test::Compress;
using compression_test::Decompress;
using compression_test::SettingsLikeText;

std::string TempPath(const std::string& name) { return testing::TempDir() + "zlib_python_" + name; }

void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Runs a Python statement with the module zlib and the two paths as i and o.
bool RunPython(const std::string& statement, const std::string& in, const std::string& out) {
  const std::string command =
      "python3 -c \"import sys, zlib; i, o = sys.argv[1:3]; " + statement + "\" '" + in + "' '" + out + "'";
  return std::system(command.c_str()) == 0;
}

TEST(ZlibCompressorPythonTest, PythonDecodesWhatCompressWrote) {
  const Bytes input = SettingsLikeText(3500);
  Bytes compressed;
  ASSERT_TRUE(Compress(input, compressed));
  WriteFile(TempPath("ours.z"), compressed);
  ASSERT_TRUE(RunPython("open(o, 'wb').write(zlib.decompress(open(i, 'rb').read()))", TempPath("ours.z"),
                        TempPath("ours.out")));
  EXPECT_EQ(ReadFile(TempPath("ours.out")), input);
}

TEST(ZlibCompressorPythonTest, DecompressReadsWhatPythonWrote) {
  struct Case {
    const char* name;
    const char* level;
  };
  const Case cases[] = {{"best_compression", "9"}, {"stored_blocks", "0"}, {"fastest", "1"}};
  const Bytes input = SettingsLikeText(5000);
  WriteFile(TempPath("plain"), input);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(RunPython(std::string("open(o, 'wb').write(zlib.compress(open(i, 'rb').read(), ") + c.level + "))",
                          TempPath("plain"), TempPath("theirs.z")));
    Bytes decoded;
    ASSERT_TRUE(Decompress(ReadFile(TempPath("theirs.z")), decoded));
    EXPECT_EQ(decoded, input);
  }
}

}  // namespace
