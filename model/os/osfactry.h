#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/rw_wstring.h"
#include "model/objects/locale_info.h"
#include "model/objects/model_stream.h"
#include "model/objects/persistent_object.h"
#include "model/os/date_time.h"
#include "model/os/driver_interface.h"
#include "model/os/loadable_library.h"
#include "model/os/lock.h"
#include "model/os/os_version.h"
#include "model/os/printer_identity.h"
#include "model/os/settings_codec_interface.h"
#include "model/os/unicode.h"

class GGraphicsDevice;
class GPrinterDataAccessor;

// The one gateway through which the system reaches the operating system:
// objects whose making depends on the platform (driver objects, locks,
// streams, loaders of companion libraries), paths and unique file names,
// time, random numbers, the printer's stored data, registry values and
// named objects kept in the printer data. One instance serves the process;
// the platform's creation function publishes it and everyone else asks
// Instance. The base implements what needs no platform (unique names, named
// objects, lazy lock creation, memory) on top of the pure operations.
//
// Results of 1 and 0 mean success and failure unless said otherwise. A
// "driver" is the driver object whose printer an operation is about.
//
// Factories are made with new and belong to the process: constructing one
// deletes the one constructed before it, and the last is deleted when the
// process ends.
class GOSFactory {
 public:
  // Stream formats: values as text, raw in the machine's byte order, or
  // byte-swapping with the writer's byte order in a header.
  static constexpr int32_t kTextFormat = 0;
  static constexpr int32_t kBinaryFormat = 1;
  static constexpr int32_t kEndianFormat = 2;

  GOSFactory(const GOSFactory&) = delete;
  GOSFactory& operator=(const GOSFactory&) = delete;
  virtual ~GOSFactory();

  // The current instance; null before the platform has published one.
  static GOSFactory* Instance();
  // Publishes the current instance (the platform's creation function does
  // this once; tests install their own factories the same way).
  static void SetInstance(GOSFactory* factory);

  // A new driver object for the printer of the key, or null.
  virtual std::unique_ptr<GDriverInterface> CreateDriverObject(const GDriverKey& key) = 0;
  // The rendering side's driver object, or null.
  virtual std::unique_ptr<GDriverInterface> CreateRenderDriverObject(const GDriverKey& key) = 0;
  virtual void* Self(void* object) { return object; }
  // An object the graphics device keeps for the job, or null.
  virtual std::unique_ptr<MPersistentObject> CreateDeviceCompanion(GGraphicsDevice* device) = 0;
  // The name the rendering side uses for it: the job object of a device.
  std::unique_ptr<MPersistentObject> CreateJobObject(GGraphicsDevice* device) { return CreateDeviceCompanion(device); }
  // The local time, the same moved by the time offset, and that offset in
  // minutes; 0 when the time cannot be read.
  virtual int32_t GetLocalTime(GDateTime& now, GDateTime& shifted, int16_t& minuteOffset) = 0;
  virtual void SetTimeOffset(int16_t) {}
  virtual int32_t SpareOperation1(int32_t first, int32_t second, int32_t third) = 0;
  // {OS code, version word, build} of the running system; all 0 when the
  // system is not classified.
  virtual GOSVersion& GetOSVersion(GOSVersion& record);
  virtual int32_t SpareOperation2() = 0;
  // An object a font body keeps, or null.
  virtual std::unique_ptr<MPersistentObject> CreateFontCompanion() = 0;
  // The name the rendering side uses for it: the platform's font object
  // that answers a font's widths and metrics.
  std::unique_ptr<MPersistentObject> CreateFontObject() { return CreateFontCompanion(); }
  virtual std::unique_ptr<GUnicodeConverter> CreateUnicodeConverter() = 0;
  // Streams over a caller's buffer or over a file, in one of the formats.
  virtual std::unique_ptr<GInputStream> NewMemoryInputStream(const uint8_t* buffer, uint32_t size, int32_t format) = 0;
  virtual std::unique_ptr<GInputStream> NewFileInputStream(const RWWString& path, int32_t format) = 0;
  virtual std::unique_ptr<GOutputStream> NewMemoryOutputStream(uint8_t* buffer, uint32_t size, int32_t format) = 0;
  virtual std::unique_ptr<GOutputStream> NewFileOutputStream(const RWWString& path, int32_t format) = 0;
  // Makes a lock into the pointer once: when the pointer is still empty, a
  // new lock from CreateLock is stored under the factory's own lock (a
  // failed lock or unlock of it is fatal error 301 or 302).
  virtual void CreateChecked(std::atomic<GLock*>& lock);
  virtual void SetModuleInstance(void* instance) { moduleInstance_ = instance; }
  virtual void* GetModuleInstance() { return moduleInstance_; }
  // The path of the printer driver's data file.
  virtual void GetDriverDataFile(RWWString& path, GDriverInterface& driver) = 0;
  virtual std::unique_ptr<GLocaleInfo> ReadInternationalSettings() = 0;
  // The directory for temporary and spool files.
  virtual void GetTempDirectory(RWWString& path, GDriverInterface& driver) = 0;
  // The directories where the system keeps temporary and spool files for
  // any printer (a printer's own temporary directory may lie elsewhere).
  // Store files that stored data names are opened only inside them.
  virtual void GetSpoolDirectories(std::vector<RWWString>& directories) = 0;
  // The directory of this module, without a trailing separator.
  virtual void GetModuleDirectory(RWWString& path) = 0;
  virtual std::unique_ptr<GLoadableLibrary> CreateMiniInstallerLoader(const RWWString& printerName,
                                                                      PrinterHandle printer, void* reserved);
  // A path in the directory that names no existing file, made from the
  // pattern (UniqueNamePattern when empty) with each "&" replaced by a random
  // digit or letter; with create set, an empty file reserves the name. 0, and
  // an empty path, when no such name was found in a bounded number of tries
  // (a directory that does not exist, say).
  virtual int32_t MakeUniqueName(RWWString& path, const RWWString& directory, const RWWString& pattern, int32_t create);
  virtual void SeedRandom() = 0;
  // The next non-negative random number.
  virtual int32_t Random() = 0;
  virtual int32_t FileExists(const RWWString& path) = 0;
  // Creates an empty file, truncating one that exists.
  virtual int32_t CreateEmptyFile(const RWWString& path) = 0;
  virtual WideChar PathSeparator() { return '\\'; }
  virtual void UniqueNamePattern(RWWString& pattern);
  // The general allocator; Free ignores null.
  virtual void* Allocate(uint32_t size);
  virtual void Free(void* block);
  virtual void SpareOperation3(int32_t) {}
  // A new accessor of the printer data of the printer handle (owned by the
  // caller), or null.
  virtual GPrinterDataAccessor* CreatePrinterDataAccessor(PrinterHandle printer) = 0;

  // The printer's data (the spooler's printer-data values).
  virtual int32_t SetPrinterDataDword(GDriverInterface& driver, const RWWString& name, uint32_t value) = 0;
  virtual int32_t SetPrinterDataString(GDriverInterface& driver, const RWWString& name, const RWWString& text) = 0;
  // A binary value of any size, as numbered chunks (see chunked_value.h).
  virtual int32_t WritePrinterDataChunked(GDriverInterface& driver, const RWWString& name, const uint8_t* bytes,
                                          uint32_t size) = 0;
  // Stores an object under a name in the printer data; the result of
  // WritePrinterDataChunked, or 0 when nothing could be written.
  virtual int32_t StoreNamedObject(GDriverInterface& driver, const RWWString& name, const MPersistentObject& object);
  virtual uint32_t GetPrinterDataDword(GDriverInterface& driver, const RWWString& name, uint32_t defaultValue) = 0;
  virtual void GetPrinterDataString(RWWString& text, GDriverInterface& driver, const RWWString& name,
                                    const RWWString& defaultText) = 0;
  // Reads a value written by WritePrinterDataChunked (see chunked_value.h
  // for the answers).
  virtual int32_t ReadPrinterDataChunked(GDriverInterface& driver, const RWWString& name, uint8_t* buffer,
                                         uint32_t size, uint32_t& outSize) = 0;
  // Text values under the printer's machine key.
  virtual int32_t WriteDriverDataString(GDriverInterface& driver, const RWWString& subkey, const RWWString& name,
                                        const RWWString& text) = 0;
  virtual void ReadDriverDataString(RWWString& text, GDriverInterface& driver, const RWWString& subkey,
                                    const RWWString& name, const RWWString& defaultText) = 0;
  virtual int32_t DeleteDriverDataValue(GDriverInterface& driver, const RWWString& name) = 0;
  // The object stored under the name (owned by the caller), or null. With
  // plain set the stored form is read as text.
  virtual std::unique_ptr<MPersistentObject> LoadNamedObject(GDriverInterface& driver, const RWWString& name,
                                                             int32_t plain);

  // Registry values of the machine and of the user.
  virtual void ReadMachineString(RWWString& text, const RWWString& keyPath, const RWWString& name,
                                 const RWWString& defaultText) = 0;
  virtual uint32_t ReadMachineDword(const RWWString& keyPath, const RWWString& name, uint32_t defaultValue) = 0;
  // Writes the value only when it is missing; 0, or the error code of a key
  // that does not open.
  virtual int32_t SetMachineDwordIfMissing(const RWWString& keyPath, const RWWString& name, uint32_t value) = 0;
  virtual int32_t MachineKeyExists(const RWWString& keyPath) = 0;
  virtual void ReadUserString(RWWString& text, const RWWString& keyPath, const RWWString& name,
                              const RWWString& defaultText) = 0;
  virtual int32_t WriteUserString(const RWWString& keyPath, const RWWString& name, const RWWString& text) = 0;
  virtual uint32_t ReadUserDword(const RWWString& keyPath, const RWWString& name, uint32_t defaultValue) = 0;
  virtual int32_t UserKeyExists(const RWWString& keyPath) = 0;
  // When non-zero, the job-header writer and the generators drop the output
  // channel they hold at the start of a document.
  virtual int32_t ForgetOutputAtDocumentStart() { return 0; }
  // When non-zero, the job-header writer and the generators stop calling
  // the output channel's checkpoint. A question of its own, though it
  // answers 0 like the one before wherever the system runs.
  virtual int32_t IsProgressSuppressed() { return 0; }
  virtual int32_t WriteUserDword(const RWWString& keyPath, const RWWString& name, uint32_t value) = 0;
  virtual int32_t SpareQuery() { return -1; }

  virtual std::unique_ptr<GLock> CreateLock() = 0;

 protected:
  // The codec through which named objects are kept in the compact settings
  // format; without one such objects can be neither stored nor loaded.
  explicit GOSFactory(std::unique_ptr<GSettingsCodecInterface> codec);

  // The platform's constructor makes the factory's own lock with this, once
  // its CreateLock can be called.
  void MakeFactoryLock();

  // The cache of GetModuleDirectory.
  RWWString& CachedModuleDirectory() { return moduleDirectory_; }

 private:
  // Whether the named object goes through the compact settings format.
  bool UsesCompactFormat(GDriverInterface& driver, const RWWString& name, int32_t plain);

  RWWString moduleDirectory_;
  void* moduleInstance_ = nullptr;
  std::unique_ptr<GSettingsCodecInterface> codec_;
  std::unique_ptr<GLock> factoryLock_;
};
