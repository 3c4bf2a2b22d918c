// Feeds arbitrary bytes to the readers of stored printer data: the stand-in
// registry's stored form, and chunked values with their counts, which the
// OS factory reads back as named objects.
// Input: one byte choosing the path, then the data. For chunked values the
// data is a 32-bit count, then chunks, each a length byte and its bytes.
// The seeds are a stored form the store wrote and a named object the OS
// factory stored as chunks.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "foundation/testing/fuzz_seeds.h"
#include "model/attributes/attribute_composite.h"
#include "model/attributes/string_attribute.h"
#include "model/attributes/value_attribute.h"
#include "model/os/chunked_value.h"
#include "model/os/memory_os_factory.h"
#include "model/os/os_data_store.h"
#include "model/testing/name_only_driver.h"

namespace {

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
  NameOnlyDriver driver(RWWString("P"));
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

std::string Little32(uint32_t value) {
  std::string bytes;
  for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>(value >> shift);
  return bytes;
}

GFuzzSeeds Seeds() {
  GOSDataStore store;
  store.CreateKey(GOSDataStore::kCurrentUser, RWWString("Software\\Maker\\Empty"));
  store.Write(GOSDataStore::kLocalMachine, GMemoryOSFactory::PrinterDataKey(RWWString("P")), RWWString("Text"),
              {GOSDataStore::kString, {'a', 0, 'b', 0}});
  store.Write(GOSDataStore::kCurrentUser, RWWString("Software\\Maker"), RWWString("Count"),
              {GOSDataStore::kDword, {1, 0, 0, 0}});
  const std::vector<uint8_t> stored = store.Serialize();

  // A named object as the factory stores it, taken apart into the input's
  // count and chunks.
  GMemoryOSFactory factory;
  NameOnlyDriver driver(RWWString("P"));
  GAttributeComposite object(1);
  for (int16_t i = 0; i < 40; ++i) object.AddChild(new GValueAttribute(i, 100 + i));
  object.AddChild(new GStringAttribute("a setting", 2));
  factory.StoreNamedObject(driver, RWWString("V"), object);
  const RWWString key = GMemoryOSFactory::PrinterDataKey(RWWString("P"));
  GOSDataStore::Value count;
  factory.Store().Read(GOSDataStore::kLocalMachine, key, RWWString("V"), count);
  std::string chunked(count.bytes.begin(), count.bytes.end());
  for (uint32_t index = 0; index < 64; ++index) {
    GOSDataStore::Value chunk;
    if (!factory.Store().Read(GOSDataStore::kLocalMachine, key, ChunkName(RWWString("V"), index), chunk)) break;
    chunked += static_cast<char>(chunk.bytes.size());
    chunked.append(chunk.bytes.begin(), chunk.bytes.end());
  }
  return {'\1' + std::string(stored.begin(), stored.end()), '\0' + chunked, '\0' + Little32(3) + "\2ab"};
}

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  if (data[0] & 1) {
    StoredForm(data + 1, size - 1);
  } else {
    ChunkedValue(data + 1, size - 1);
  }
  return 0;
}
