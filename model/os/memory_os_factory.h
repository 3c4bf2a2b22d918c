#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "model/os/os_data_store.h"
#include "model/os/osfactry.h"

// The OS services outside Windows, and for tests on both builds: the
// spooler's printer data and the registry are one store (GOSDataStore),
// kept in memory and, when a file is named, loaded from it at construction
// and saved to it at destruction or on request. A printer's data lives under
// the machine key "System\CurrentControlSet\Control\Print\Printers\" +
// printer name + "\PrinterDriverData", so a value written as printer data
// reads back through the machine registry, as on Windows. Texts written as
// printer data are stored without a terminator, texts written under a
// registry key with one, as the spooler and the registry store them.
//
// It makes no driver objects (tests derive from it to make theirs) and no
// companions; its Unicode converter works on the platform's code pages
// (GCodePageConverter). Files are the file system's, under names converted
// from UTF-16, and paths use the platform's separator.
class GMemoryOSFactory : public GOSFactory {
 public:
  explicit GMemoryOSFactory(std::unique_ptr<GSettingsCodecInterface> codec = nullptr,
                            std::filesystem::path storeFile = {});
  ~GMemoryOSFactory() override;

  GOSDataStore& Store() { return store_; }
  // Saves the store to its file; false without a file or when it cannot be
  // written.
  bool SaveStore() const;
  // The data file that GetDriverDataFile answers for a driver name.
  void SetDriverDataFile(const RWWString& driverName, const RWWString& path);
  // The machine key that holds the printer-data values of a printer.
  static RWWString PrinterDataKey(const RWWString& printerName);

  std::unique_ptr<GDriverInterface> CreateDriverObject(const GDriverKey& key) override;
  std::unique_ptr<GDriverInterface> CreateRenderDriverObject(const GDriverKey& key) override;
  std::unique_ptr<MPersistentObject> CreateDeviceCompanion(GGraphicsDevice* device) override;
  int32_t GetLocalTime(GDateTime& now, GDateTime& shifted, int16_t& minuteOffset) override;
  // The stand-in is a Windows 2000 workstation (NT 5.0 build 2195), the
  // oldest system whose behaviour the driver keeps: what depends on the
  // system's version behaves as on the systems the driver runs on, not as
  // on NT 4.0 and earlier.
  GOSVersion& GetOSVersion(GOSVersion& record) override;
  void SetTimeOffset(int16_t minutes) override { timeOffset_ = minutes; }
  int32_t SpareOperation1(int32_t, int32_t, int32_t) override { return 0; }
  int32_t SpareOperation2() override { return 0; }
  std::unique_ptr<MPersistentObject> CreateFontCompanion() override;
  std::unique_ptr<GUnicodeConverter> CreateUnicodeConverter() override;
  std::unique_ptr<GInputStream> NewMemoryInputStream(const uint8_t* buffer, uint32_t size, int32_t format) override;
  std::unique_ptr<GInputStream> NewFileInputStream(const RWWString& path, int32_t format) override;
  std::unique_ptr<GOutputStream> NewMemoryOutputStream(uint8_t* buffer, uint32_t size, int32_t format) override;
  std::unique_ptr<GOutputStream> NewFileOutputStream(const RWWString& path, int32_t format) override;
  void GetDriverDataFile(RWWString& path, GDriverInterface& driver) override;
  std::unique_ptr<GLocaleInfo> ReadInternationalSettings() override;
  // The printer-data text "TempDirectoryLocation", else the system's
  // temporary directory.
  void GetTempDirectory(RWWString& path, GDriverInterface& driver) override;
  // The system's temporary directory: the stand-in has no spooler of its
  // own.
  void GetSpoolDirectories(std::vector<RWWString>& directories) override;
  // The directory of the module whose instance the factory holds (of the
  // program when it holds none).
  void GetModuleDirectory(RWWString& path) override;
  void SeedRandom() override;
  int32_t Random() override;
  int32_t FileExists(const RWWString& path) override;
  int32_t CreateEmptyFile(const RWWString& path) override;
  WideChar PathSeparator() override;
  GPrinterDataAccessor* CreatePrinterDataAccessor(PrinterHandle printer) override;

  int32_t SetPrinterDataDword(GDriverInterface& driver, const RWWString& name, uint32_t value) override;
  int32_t SetPrinterDataString(GDriverInterface& driver, const RWWString& name, const RWWString& text) override;
  // A name that begins with "???" names a registry value instead
  // (registry_path_name.h); its key is created when missing.
  int32_t WritePrinterDataChunked(GDriverInterface& driver, const RWWString& name, const uint8_t* bytes,
                                  uint32_t size) override;
  uint32_t GetPrinterDataDword(GDriverInterface& driver, const RWWString& name, uint32_t defaultValue) override;
  void GetPrinterDataString(RWWString& text, GDriverInterface& driver, const RWWString& name,
                            const RWWString& defaultText) override;
  int32_t ReadPrinterDataChunked(GDriverInterface& driver, const RWWString& name, uint8_t* buffer, uint32_t size,
                                 uint32_t& outSize) override;
  // Under "SYSTEM\CurrentControlSet\Control\Print\Printers\" + printer name
  // + "\" + subkey; an empty text writes nothing and answers 1.
  int32_t WriteDriverDataString(GDriverInterface& driver, const RWWString& subkey, const RWWString& name,
                                const RWWString& text) override;
  void ReadDriverDataString(RWWString& text, GDriverInterface& driver, const RWWString& subkey, const RWWString& name,
                            const RWWString& defaultText) override;
  int32_t DeleteDriverDataValue(GDriverInterface& driver, const RWWString& name) override;

  void ReadMachineString(RWWString& text, const RWWString& keyPath, const RWWString& name,
                         const RWWString& defaultText) override;
  uint32_t ReadMachineDword(const RWWString& keyPath, const RWWString& name, uint32_t defaultValue) override;
  int32_t SetMachineDwordIfMissing(const RWWString& keyPath, const RWWString& name, uint32_t value) override;
  int32_t MachineKeyExists(const RWWString& keyPath) override;
  void ReadUserString(RWWString& text, const RWWString& keyPath, const RWWString& name,
                      const RWWString& defaultText) override;
  int32_t WriteUserString(const RWWString& keyPath, const RWWString& name, const RWWString& text) override;
  uint32_t ReadUserDword(const RWWString& keyPath, const RWWString& name, uint32_t defaultValue) override;
  int32_t UserKeyExists(const RWWString& keyPath) override;
  int32_t WriteUserDword(const RWWString& keyPath, const RWWString& name, uint32_t value) override;

  std::unique_ptr<GLock> CreateLock() override;

 private:
  // A non-empty text value of the key, else the default.
  void ReadText(RWWString& text, uint32_t root, const RWWString& keyPath, const RWWString& name,
                const RWWString& defaultText) const;
  // The value when it is a 4-byte DWORD, else the default.
  uint32_t ReadDword(uint32_t root, const RWWString& keyPath, const RWWString& name, uint32_t defaultValue) const;
  void WriteText(uint32_t root, const RWWString& keyPath, const RWWString& name, const RWWString& text,
                 bool terminated);
  void WriteDword(uint32_t root, const RWWString& keyPath, const RWWString& name, uint32_t value);
  // The root and key of a chunked value, and the name under it; false for
  // a registry path name that does not parse.
  bool LocateChunkedValue(GDriverInterface& driver, const RWWString& name, uint32_t& root, RWWString& keyPath,
                          RWWString& valueName) const;

  GOSDataStore store_;
  std::filesystem::path storeFile_;
  std::atomic<int16_t> timeOffset_{0};
  std::mutex mutex_;
  std::mt19937 random_;
  std::map<std::basic_string<WideChar>, RWWString> dataFiles_;
  std::once_flag moduleDirectoryFound_;
};

// Publishes a new stand-in factory as the current instance, unless one is
// current already; answers the current instance.
GOSFactory* CreateMemoryOSFactory();
