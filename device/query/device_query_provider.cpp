#include "device/query/device_query_provider.h"

GDeviceQuery* GDeviceQueryProvider::CreateDeviceQuery(GDriver*, const RWCString&, uint32_t, const RWWString&) {
  return nullptr;
}

MPersistentObject* GDeviceQueryProvider::CreateQueryObject(MPersistentObject*, const RWCString&, uint32_t,
                                                           const RWWString&) {
  return nullptr;
}

bool GDeviceQueryProvider::SupportsMask(uint32_t mask) const {
  const uint32_t capabilities = GetCapabilityMask();
  return (mask | capabilities) == capabilities;
}

void GDeviceQueryProvider::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  archive.TrailingVersion(FormatVersion());
}
