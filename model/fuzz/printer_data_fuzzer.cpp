// Feeds arbitrary bytes to the readers of stored printer data: the stand-in
// registry's stored form, and chunked values with their counts, which the
// OS factory reads back as named objects.
// Input: one byte choosing the path, then the data. For chunked values the
// data is a 32-bit count, then chunks, each a length byte and its bytes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "model/os/chunked_value.h"
#include "model/os/memory_os_factory.h"
#include "model/os/os_data_store.h"

namespace {

// A driver object for a printer named "P"; the stand-in needs only names.
class FuzzDriver : public GDriverInterface {
 public:
  GUIDriver* AsUIDriver() override { return nullptr; }
  GGraphicsDevice* AsGraphicsDevice() override { return nullptr; }
  std::unique_ptr<GDriverKey> CreatePrinterIdentity() const override { return nullptr; }
  void Invalidate(const GDriverKey&) override {}
  void ReleaseJobResources() override {}
  int32_t ReleaseCachedMemory() override { return 0; }
  void SetSettingsRoot(std::unique_ptr<GPeripheral>) override {}
  void SetResourceMappings(std::unique_ptr<GResourceMappingList>) override {}
  void SetOSTrayMap(std::unique_ptr<GResourceMappingList>) override {}
  void SetExtraMappings(std::unique_ptr<GResourceMappingList>) override {}
  GConfiguration* GetConfiguration() override { return nullptr; }
  const RWWString& GetPrinterName() const override { return name_; }
  const RWWString& GetText2() const override { return name_; }

 private:
  RWWString name_{"P"};
};

// A well-formed stored form reads back as the same store.
void StoredForm(const uint8_t* data, size_t size) {
  GOSDataStore store;
  if (!store.Deserialize({data, size})) return;
  const std::vector<uint8_t> again = store.Serialize();
  GOSDataStore copy;
  if (!copy.Deserialize(again) || copy.Serialize() != again) std::abort();
}

// Whatever the stored count and chunks, reading answers within its buffer
// and a named object either restores or is null.
void ChunkedValue(const uint8_t* data, size_t size) {
  static GMemoryOSFactory* factory = new GMemoryOSFactory;
  factory->Store().Clear();
  FuzzDriver driver;
  const RWWString key = GMemoryOSFactory::PrinterDataKey(RWWString("P"));
  factory->Store().Write(GOSDataStore::kLocalMachine, key, RWWString("V"),
                         {GOSDataStore::kDword, {data, data + (size < 4 ? size : 4)}});
  uint32_t index = 0;
  for (size_t at = 4; at < size; ++index) {
    const size_t length = data[at++];
    const size_t end = at + length < size ? at + length : size;
    factory->Store().Write(GOSDataStore::kLocalMachine, key, ChunkName(RWWString("V"), index),
                           {GOSDataStore::kBinary, {data + at, data + end}});
    at = end;
  }

  std::vector<uint8_t> buffer(1024);
  uint32_t read = 0xFFFFFFFF;
  if (factory->ReadPrinterDataChunked(driver, RWWString("V"), buffer.data(), 1024, read) == 1 && read > 1024) {
    std::abort();
  }
  factory->LoadNamedObject(driver, RWWString("V"), 0);
  factory->LoadNamedObject(driver, RWWString("V"), 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  if (data[0] & 1) {
    StoredForm(data + 1, size - 1);
  } else {
    ChunkedValue(data + 1, size - 1);
  }
  return 0;
}
