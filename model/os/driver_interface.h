#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "foundation/rw_wstring.h"

class GConfiguration;
class GDriverKey;
class GGraphicsDevice;
class GPeripheral;
class GResourceMappingList;
class GUIDriver;

// What the model layer uses of a per-printer driver object. The driver
// object itself (GDriver, with the user-interface host and the rendering
// side's graphics device built on it) belongs to the layers above and
// implements this; the driver server hands such objects out, and the OS
// factory reads and writes the printer's data for them.
class GDriverInterface {
 public:
  GDriverInterface() = default;
  GDriverInterface(const GDriverInterface&) = delete;
  GDriverInterface& operator=(const GDriverInterface&) = delete;
  virtual ~GDriverInterface() = default;

  // The side-specific object that holds the driver part: the user-interface
  // driver, or the rendering side's graphics device; null for the other.
  virtual GUIDriver* AsUIDriver() = 0;
  virtual GGraphicsDevice* AsGraphicsDevice() = 0;

  // A new key describing this object.
  virtual std::unique_ptr<GDriverKey> CreatePrinterIdentity() const = 0;
  // Re-targets a reused object to the printer of the key.
  virtual void Invalidate(const GDriverKey& key) = 0;
  // Called when the object goes into the server's cache and before the
  // render-side table is cleared.
  virtual void ReleaseJobResources() = 0;
  // A request to give memory back: non-zero when the object freed some.
  virtual int32_t ReleaseCachedMemory() = 0;

  // The model loaded from the driver's data file; each setter deletes what
  // it replaces.
  virtual void SetSettingsRoot(std::unique_ptr<GPeripheral> root) = 0;
  virtual void SetResourceMappings(std::unique_ptr<GResourceMappingList> mappings) = 0;
  virtual void SetOSTrayMap(std::unique_ptr<GResourceMappingList> mappings) = 0;
  virtual void SetExtraMappings(std::unique_ptr<GResourceMappingList> mappings) = 0;

  // The device description, null when the object has none.
  virtual GConfiguration* GetConfiguration() = 0;
  // The printer's name, and the driver's.
  virtual const RWWString& GetPrinterName() const = 0;
  virtual const RWWString& GetText2() const = 0;

  // Whether the printer's named objects use the compact settings format:
  // -1 until the OS factory has read it from the device description.
  std::atomic<int16_t>& CompactFormatFlag() { return compactFormatFlag_; }

 private:
  std::atomic<int16_t> compactFormatFlag_{-1};
};
