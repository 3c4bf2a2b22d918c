// Feeds arbitrary values and value names to the readers of the stand-in OS
// factory: text and DWORD values of any type and size, read as printer data,
// driver data and machine and user registry values, and value names that are
// registry path names ("???\root\key\name"), through which chunked values and
// named objects are read and written.
// Input: a byte choosing the value's type, a byte giving the name's length
// in UTF-16 units, the name (UTF-16LE), then the value's bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "foundation/testing/fuzz_seeds.h"
#include "model/os/chunked_value.h"
#include "model/os/memory_os_factory.h"
#include "model/os/os_data_store.h"
#include "model/os/registry_path_name.h"
#include "model/testing/name_only_driver.h"

namespace {

const RWWString kPrinter("P");
const RWWString kSubkey("Sub");
const RWWString kValue("V");
constexpr uint32_t kTypes[] = {GOSDataStore::kString, GOSDataStore::kDword, GOSDataStore::kBinary};

void Check(bool condition) {
  if (!condition) std::abort();
}

RWWString NameOf(const uint8_t* units, uint32_t count) {
  RWWString name;
  for (uint32_t i = 0; i < count; ++i) name.Append(static_cast<WideChar>(units[2 * i] | units[2 * i + 1] << 8), 1);
  return name;
}

// A text read back is never longer than the value's bytes hold, or it is
// the default.
void CheckText(const RWWString& text, size_t bytes) { Check(text == RWWString("-") || text.Length() <= bytes / 2); }

void ReadEveryWay(GMemoryOSFactory& factory, GDriverInterface& driver, const RWWString& key, size_t bytes) {
  RWWString text;
  factory.GetPrinterDataString(text, driver, kValue, RWWString("-"));
  CheckText(text, bytes);
  factory.ReadDriverDataString(text, driver, kSubkey, kValue, RWWString("-"));
  CheckText(text, bytes);
  factory.ReadMachineString(text, key, kValue, RWWString("-"));
  CheckText(text, bytes);
  factory.ReadUserString(text, key, kValue, RWWString("-"));
  CheckText(text, bytes);
  factory.GetPrinterDataDword(driver, kValue, 0);
  factory.ReadMachineDword(key, kValue, 0);
  factory.ReadUserDword(key, kValue, 0);
  factory.SetMachineDwordIfMissing(key, kValue, 1);
}

// A registry path name leads the chunked reads and writes to the registry:
// what is written under it reads back the same, and a named object under it
// restores or is null.
void UsePathName(GMemoryOSFactory& factory, GDriverInterface& driver, const RWWString& name, const uint8_t* bytes,
                 uint32_t size) {
  DecimalTextValue(name.Data(), name.Length());
  GRegistryPathName parsed;
  if (ParseRegistryPathName(name, parsed)) {
    Check(parsed.keyPath.Length() + parsed.valueName.Length() < name.Length());
  }
  factory.LoadNamedObject(driver, name, 0);
  if (factory.WritePrinterDataChunked(driver, name, bytes, size) != 1) return;
  // A reader's buffer holds the most that the chunk count allows.
  const uint32_t room = (size / kValueChunkSize + 1) * kValueChunkSize;
  std::vector<uint8_t> back(room);
  uint32_t read = 0;
  Check(factory.ReadPrinterDataChunked(driver, name, back.data(), room, read) == 1);
  Check(read == size && std::equal(bytes, bytes + size, back.begin()));
  factory.LoadNamedObject(driver, name, 1);
}

GFuzzSeeds Seeds() {
  const std::string names[] = {"???\\2147483650\\Software\\Maker\\Settings", "???\\-2147483647\\Key\\V", "V",
                               "???\\1\\\\"};
  const std::string values[] = {std::string("t\0e\0x\0t\0\0\0", 10), std::string("\x04\x00\x00\x00", 4),
                                std::string(300, 'b')};
  GFuzzSeeds seeds;
  for (uint8_t type = 0; type < 3; ++type) {
    for (const std::string& name : names) {
      std::string seed{static_cast<char>(type), static_cast<char>(name.size())};
      for (const char c : name) seed += {c, '\0'};
      seeds.push_back(seed + values[type]);
    }
  }
  return seeds;
}

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static GMemoryOSFactory* factory = new GMemoryOSFactory;
  if (size < 2) return 0;
  const uint32_t nameLength = std::min<uint32_t>(data[1], static_cast<uint32_t>((size - 2) / 2));
  const RWWString name = NameOf(data + 2, nameLength);
  const uint8_t* value = data + 2 + 2 * nameLength;
  const uint32_t valueSize = static_cast<uint32_t>(data + size - value);
  const uint32_t type = data[0] < 3 ? kTypes[data[0]] : data[0];

  factory->Store().Clear();
  NameOnlyDriver driver(kPrinter);
  const RWWString key = GMemoryOSFactory::PrinterDataKey(kPrinter);
  const GOSDataStore::Value stored{type, std::vector<uint8_t>(value, value + valueSize)};
  factory->Store().Write(GOSDataStore::kLocalMachine, key, kValue, stored);
  factory->Store().Write(GOSDataStore::kCurrentUser, key, kValue, stored);
  factory->Store().Write(GOSDataStore::kLocalMachine,
                         RWWString("System\\CurrentControlSet\\Control\\Print\\Printers\\P\\Sub"), kValue, stored);
  ReadEveryWay(*factory, driver, key, valueSize);
  UsePathName(*factory, driver, name, value, valueSize);
  return 0;
}
