// Reads files through the model streams over a path, as the driver server
// reads a driver's data file: the OS factory opens a file holding the input's
// bytes in the format the input asks for, and one object graph is read from
// it and freed as its reader frees it.
// Input: a byte giving the stream format (any value: an unknown format gives
// no stream), then the file's bytes.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "foundation/persistence.h"
#include "foundation/testing/fuzz_seeds.h"
#include "model/attributes/attribute_composite.h"
#include "model/attributes/string_attribute.h"
#include "model/attributes/value_attribute.h"
#include "model/objects/model_stream.h"
#include "model/os/memory_os_factory.h"

namespace {

const std::string& ScratchPath() {
  static const std::string path =
      (std::filesystem::temp_directory_path() / ("qv_model_stream_fuzz_" + std::to_string(getpid()) + ".bin")).string();
  return path;
}

RWWString WidePath() { return RWWString(ScratchPath().c_str()); }

// A driver's data as the model streams write it, in each format.
GFuzzSeeds Seeds() {
  GAttributeComposite root(1);
  root.AddChild(new GValueAttribute(7, 353));
  root.AddChild(new GStringAttribute("mapping", 191));
  GFuzzSeeds seeds;
  for (uint32_t format : {kTextStreamFormat, kBinaryStreamFormat, kEndianStreamFormat}) {
    {
      GOutputStream out(WidePath(), format);
      WriteObjectToStream(&root, *out.Stream());
      out.Stream()->Flush();
    }
    std::ifstream in(ScratchPath(), std::ios::binary);
    seeds.push_back(static_cast<char>(format) +
                    std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
  }
  std::filesystem::remove(ScratchPath());
  return seeds;
}

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static GMemoryOSFactory* factory = new GMemoryOSFactory;
  if (size == 0) return 0;
  std::ofstream(ScratchPath(), std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
  const std::unique_ptr<GInputStream> stream = factory->NewFileInputStream(WidePath(), data[0]);
  GVirtualInStream* in = stream->Stream();
  if (in == nullptr) return 0;
  MPersistentObject* read = nullptr;
  ReadObjectFromStream(*in, read);
  const std::unique_ptr<MPersistentObject> root(read);
  stream->Position();
  return 0;
}
