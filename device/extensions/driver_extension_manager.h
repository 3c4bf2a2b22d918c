#pragma once

#include <cstdint>
#include <memory>

#include "foundation/rw_cstring.h"

class GDriver;

// The driver object's side of the plug-in extensions: it registers an
// extension library with the printer (its entries in the settings, its trays
// and bins in the device description and the printer's stored device maps)
// and takes it away again. The manager itself lives with the extensions,
// above this library; it installs a creator here, through which every driver
// object makes its own manager when it is constructed.
class GDriverExtensionManager {
 public:
  // Makes the manager of a driver object that is being constructed: the
  // manager may keep the owner but must not call it yet.
  using Creator = std::unique_ptr<GDriverExtensionManager> (*)(GDriver& owner);

  GDriverExtensionManager() = default;
  GDriverExtensionManager(const GDriverExtensionManager&) = delete;
  GDriverExtensionManager& operator=(const GDriverExtensionManager&) = delete;
  virtual ~GDriverExtensionManager() = default;

  // Installs the creator (null for none); answers the one installed before.
  static Creator SetCreator(Creator creator);
  // A new manager for the owner from the installed creator; null when none
  // is installed.
  static std::unique_ptr<GDriverExtensionManager> Create(GDriver& owner);

  // Frees the shared block of extension settings and forgets the owner; the
  // owner calls it just before it deletes the manager.
  virtual void Clear() = 0;
  // Registers or unregisters the extension library at the path; each
  // answers a 16-bit result code, 0 when it succeeded.
  virtual uint16_t RegisterExtension(const RWCString& path) = 0;
  virtual uint16_t UnregisterExtension(const RWCString& path) = 0;
};
