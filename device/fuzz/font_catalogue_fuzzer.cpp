// Reads arbitrary bytes as the font catalogue of a DIMM slot, into the
// slot's font list and through the per-font callback. The seeds are the
// catalogues that make_font_catalogues.py wrote for the reader's tests.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>

#include "device/fonts/device_font_list.h"
#include "device/fonts/font_catalogue_reader.h"
#include "device/fonts/mass_storage_slot.h"
#include "device/tests/font_catalogues.h"
#include "foundation/little_endian.h"
#include "foundation/rw_cstring.h"
#include "foundation/testing/fuzz_seeds.h"
#include "foundation/testing/scratch_files.h"
#include "model/os/memory_os_factory.h"
#include "model/testing/name_only_driver.h"

namespace {

constexpr int32_t kSlot = 6;

// Every record handed over holds its further codes and nothing more.
int32_t CheckRecord(const RWCString& displayName, const RWCString& deviceName, std::span<const uint8_t> record, void*) {
  if (record.size() < 28 || record.size() != 26u + 2u * LoadLittle16(&record[24])) std::abort();
  return static_cast<int32_t>(displayName.Length() + deviceName.Length());
}

GFuzzSeeds Seeds() {
  GFuzzSeeds seeds;
  for (const FontCatalogueFixture& fixture : FontCatalogueFixtures()) seeds.emplace_back(fixture.bytes);
  return seeds;
}

// The printer whose DIMM slot names the scratch file.
struct Printer {
  GMemoryOSFactory* factory = new GMemoryOSFactory;
  NameOnlyDriver driver{RWWString("P")};
  ScratchFile catalogue;

  Printer() {
    GOSFactory::SetInstance(factory);
    factory->SetPrinterDataString(driver, RWWString(FindMassStorageSlot(kSlot)->name), RWWString(catalogue.Path()));
  }
};

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Printer printer;
  printer.catalogue.Store(std::string(reinterpret_cast<const char*>(data), size));
  GFontCatalogueReader reader(kSlot, printer.driver);
  int32_t key = 0;
  if (!reader.OpenCatalogue(key)) std::abort();
  const std::unique_ptr<GDeviceFontList> list = reader.ReadFontList();
  if (list && (list->Key() != key || list->GetCatalogueCount() != reader.GetRecordCount())) std::abort();
  reader.ForEachFont(CheckRecord, nullptr);
  return 0;
}
