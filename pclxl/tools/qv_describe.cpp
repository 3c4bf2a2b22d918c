// The device description tool of the build.
//
//   qv_describe compile SOURCE DATA
//     Compiles a description's text into the driver data file: the object
//     graph stored in the binary form that the driver server reads. A
//     malformed line is reported as SOURCE:LINE: message. A failed run leaves
//     no DATA behind, not even one from an earlier run (the file is written
//     beside it first and renamed when whole).
//   qv_describe dump DATA
//     Prints the data file's size and CRC-32, then its graph as description
//     text with every property of each object.
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "device/tools/description_compiler.h"
#include "device/tools/description_printer.h"
#include "foundation/persistence.h"
#include "foundation/rw_wstring.h"
#include "model/objects/model_stream.h"
#include "pclxl/tools/rendering_descriptions.h"

namespace {

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (file.bad()) return std::nullopt;
  return bytes;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "qv_describe: %s\n", message.c_str());
  return 1;
}

bool WriteGraph(const MPersistentObject& root, const std::string& path) {
  GOutputStream out(RWWString(path.c_str()), kBinaryStreamFormat);
  GVirtualOutStream* stream = out.Stream();
  if (stream == nullptr || !stream->IsGood()) return false;
  WriteObjectToStream(&root, *stream);
  stream->Flush();
  return stream->IsGood();
}

int Compile(const std::string& source, const std::string& data) {
  const std::string written = data + ".tmp";
  std::error_code error;
  // A build that stops here must not go on with the data of an earlier run.
  std::filesystem::remove(data, error);
  const std::optional<std::string> text = ReadWholeFile(source);
  if (!text) return Fail("cannot read " + source);
  const CompiledDescription compiled = CompileDescription(*text);
  if (compiled.error) {
    std::fprintf(stderr, "%s:%d: %s\n", source.c_str(), compiled.error->line, compiled.error->message.c_str());
    return 1;
  }
  if (!WriteGraph(*compiled.root, written)) {
    std::filesystem::remove(written, error);
    return Fail("cannot write " + written);
  }
  std::filesystem::rename(written, data, error);
  if (error) {
    std::filesystem::remove(written, error);
    return Fail("cannot rename " + written + " to " + data);
  }
  return 0;
}

int Dump(const std::string& data) {
  const std::optional<std::string> bytes = ReadWholeFile(data);
  if (!bytes) return Fail("cannot read " + data);
  const auto size = static_cast<uint32_t>(bytes->size());
  const uint32_t crc = crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(bytes->data()), size);
  GInputStream in(bytes->data(), size, kBinaryStreamFormat);
  MPersistentObject* read = nullptr;
  ReadObjectFromStream(*in.Stream(), read);
  const std::unique_ptr<MPersistentObject> root(read);
  if (!root) return Fail(data + " holds no object graph");
  std::string text;
  const std::string error = PrintDescription(*root, text);
  std::printf("# %u bytes, CRC-32 %08x\n%s", size, crc, text.c_str());
  if (!error.empty()) return Fail(data + ": " + error);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  AddRenderingDescriptions();
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  if (arguments.size() == 3 && arguments[0] == "compile") return Compile(arguments[1], arguments[2]);
  if (arguments.size() == 2 && arguments[0] == "dump") return Dump(arguments[1]);
  std::fprintf(stderr, "usage: qv_describe compile SOURCE DATA\n       qv_describe dump DATA\n");
  return 2;
}
