// Loads a job's font file from arbitrary bytes into a database beside the
// process's TrueType pool, saves what came back, and lets everything go.
// Input: a mode byte (bit 0: the virtual-stream form, else the binary-file
// form), then the file. The seeds are a small job's fonts as the database
// saves them in both forms: one TrueType font and one body.
#include <unistd.h>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>

#include "foundation/binary_stream.h"
#include "foundation/testing/fuzz_seeds.h"
#include "foundation/testing/scratch_files.h"
#include "graphics/fonts/font_database.h"
#include "graphics/fonts/testing/memory_font_data.h"
#include "graphics/fonts/testing/test_font.h"
#include "graphics/fonts/truetype/tt_font_file.h"
#include "graphics/fonts/truetype/tt_font_pool.h"
#include "model/os/memory_os_factory.h"

namespace {

constexpr char kFileForm = 0;
constexpr char kStreamForm = 1;

GMemoryOSFactory& Factory() {
  static GMemoryOSFactory factory;
  return factory;
}

// The seeds: a job with one used TrueType font and one saved body.
GFuzzSeeds Seeds() {
  GOSFactory::SetInstance(&Factory());
  GTTFontPool::SetInstance(std::make_unique<GTTFontPool>());
  GTTFontPool& pool = *GTTFontPool::Instance();
  auto* font = new MemoryFontData(pool.NextKey());
  font->SetRequiredTables({memory_font::SimpleOutline(4)});
  const std::unique_ptr<GTTFontFile> handle(pool.NewFontFile(font));
  handle->Preload(0, 0);
  GFontInfo info;
  info.faceName = "Seed";
  info.lastCode = 126;
  auto* body = new TestFontImp(info, {{'a', 10}});
  const TestFont held(body);

  GFuzzSeeds seeds;
  GFontDatabase database(nullptr);
  const ScratchFile file;
  {
    handle->AddUser(0);
    body->MarkForSave();
    database.Add(body);
    GBinaryFile output(file.Path(), "wb");
    database.SaveToBinaryFile(output);
  }
  seeds.push_back(kFileForm + file.Contents());
  handle->AddUser(0);
  body->MarkForSave();
  database.Add(body);
  std::stringbuf channel(std::ios::in | std::ios::out | std::ios::binary);
  GBinaryOutStream output(&channel);
  database.SaveToStream(output);
  seeds.push_back(kStreamForm + channel.str());
  return seeds;
}

// Where this process writes the file it loads.
const std::string& InputPath() {
  static const std::string path = "/tmp/font_database_fuzzer." + std::to_string(getpid());
  return path;
}

void LoadFromFile(const std::string& bytes, GFontDatabase& database) {
  {
    GBinaryFile file(InputPath().c_str(), "wb");
    file.Write(bytes.data(), static_cast<uint32_t>(bytes.size()));
  }
  database.LoadFromFile(RWWString(InputPath().c_str()));
  std::remove(InputPath().c_str());
}

void RestoreFromStream(const std::string& bytes, GFontDatabase& database) {
  std::stringbuf channel(bytes, std::ios::in | std::ios::binary);
  GBinaryInStream input(&channel);
  database.RestoreFromStream(input);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  StartFuzzTarget(Seeds);
  GOSFactory::SetInstance(&Factory());
  GTTFontPool::SetInstance(std::make_unique<GTTFontPool>());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  {
    GFontDatabase database(nullptr);
    if ((data[0] & 1) == kStreamForm) {
      RestoreFromStream(bytes, database);
    } else {
      LoadFromFile(bytes, database);
    }
    std::stringbuf channel(std::ios::in | std::ios::out | std::ios::binary);
    GBinaryOutStream output(&channel);
    database.SaveToStream(output);
  }
  GTTFontPool::Instance()->ReleaseAll();
  return 0;
}
