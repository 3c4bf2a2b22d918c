#pragma once

#include <cstdint>

#include "foundation/rw_wstring.h"
#include "model/objects/persistent_object.h"

class GDriver;
class GDeviceQuery;

// A pluggable source of what the physical printer has (installed options,
// memory, media), registered by name with the provider registry. Providers
// answer with a capability mask: its low 16 bits are query objects, the
// bits above device queries.
//
// No two providers are the same content. Stored part after the root's: the
// version word 1, read back and not examined.
class GDeviceQueryProvider : public MPersistentObject {
 public:
  // A new device query for the driver object; name is the provider's
  // registration name and parameter the driver's port name. None by
  // default.
  virtual GDeviceQuery* CreateDeviceQuery(GDriver* driver, const RWCString& name, uint32_t mask,
                                          const RWWString& parameter);
  // A new query object for object; none by default.
  virtual MPersistentObject* CreateQueryObject(MPersistentObject* object, const RWCString& name, uint32_t mask,
                                               const RWWString& parameter);
  virtual uint32_t GetCapabilityMask() const = 0;
  // Whether every bit of mask is in the capability mask.
  virtual bool SupportsMask(uint32_t mask) const;

  // The names the registry-agent provider's side uses for the same
  // operations: opening a device session is creating a device query, and a
  // capability is supported as a mask is.
  GDeviceQuery* OpenDeviceSession(GDriver* driver, const RWCString& name, uint32_t mask, const RWWString& parameter) {
    return CreateDeviceQuery(driver, name, mask, parameter);
  }
  bool SupportsCapability(uint32_t mask) const { return SupportsMask(mask); }

  RWClassID ClassID() const override { return kGDeviceQueryProviderClassID; }
  bool IsKindOf(RWClassID id) const override {
    return id == kGDeviceQueryProviderClassID || MPersistentObject::IsKindOf(id);
  }
  bool SameContent(const MPersistentObject&) const override { return false; }

 protected:
  GDeviceQueryProvider() = default;
  GDeviceQueryProvider(const GDeviceQueryProvider& other) = default;
  GDeviceQueryProvider& operator=(const GDeviceQueryProvider& other) = default;

  void Fields(GFieldArchive& archive) override;
};
