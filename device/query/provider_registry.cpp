#include "device/query/provider_registry.h"

#include <algorithm>

#include "device/query/device_query_provider.h"

namespace {

bool ServesQueryObjects(uint32_t mask) { return (mask & GProviderRegistry::kQueryObjectBits) != 0; }
bool ServesDeviceQueries(uint32_t mask) { return mask > GProviderRegistry::kQueryObjectBits; }

// The test that finds a node by its name, compared exactly.
auto Named(const RWCString& name) {
  return [&name](const auto& node) { return node.name == name; };
}

}  // namespace

const GProviderRegistry::Node* GProviderRegistry::Find(const List& list, const RWCString& name) {
  const auto found = std::find_if(list.begin(), list.end(), Named(name));
  return found == list.end() ? nullptr : &*found;
}

void GProviderRegistry::Put(List& list, GDeviceQueryProvider* provider, const RWCString& name) {
  const auto found = std::find_if(list.begin(), list.end(), Named(name));
  if (found != list.end()) {
    found->provider = provider;
  } else {
    list.push_back({name, provider});
  }
}

uint32_t GProviderRegistry::CountSupporting(const List& list, uint32_t mask) {
  return static_cast<uint32_t>(
      std::count_if(list.begin(), list.end(), [mask](const Node& node) { return node.provider->SupportsMask(mask); }));
}

int32_t GProviderRegistry::Register(GDeviceQueryProvider* provider, const RWCString& name) {
  if (Find(queryObjects_, name) != nullptr || Find(deviceQueries_, name) != nullptr) return 1;
  const uint32_t mask = provider->GetCapabilityMask();
  if (ServesQueryObjects(mask)) Put(queryObjects_, provider, name);
  if (ServesDeviceQueries(mask)) Put(deviceQueries_, provider, name);
  return 0;
}

int32_t GProviderRegistry::Unregister(const RWCString& name) {
  std::erase_if(queryObjects_, Named(name));
  std::erase_if(deviceQueries_, Named(name));
  return 0;
}

MPersistentObject* GProviderRegistry::CreateQueryObject(MPersistentObject* object, const RWWString& parameter,
                                                        uint32_t mask) const {
  for (const Node& node : queryObjects_) {
    if (!node.provider->SupportsMask(mask)) continue;
    if (MPersistentObject* made = node.provider->CreateQueryObject(object, node.name, mask, parameter)) return made;
  }
  return nullptr;
}

GDeviceQuery* GProviderRegistry::CreateDeviceQuery(GDriver* driver, const RWWString& parameter, uint32_t mask) const {
  for (const Node& node : deviceQueries_) {
    if (!node.provider->SupportsMask(mask)) continue;
    if (GDeviceQuery* made = node.provider->CreateDeviceQuery(driver, node.name, mask, parameter)) return made;
  }
  return nullptr;
}

uint32_t GProviderRegistry::CountProviders(uint32_t mask) const {
  uint32_t count = 0;
  if (ServesQueryObjects(mask)) count += CountSupporting(queryObjects_, mask);
  if (ServesDeviceQueries(mask)) count += CountSupporting(deviceQueries_, mask);
  return count;
}

GDeviceQueryProvider* GProviderRegistry::FindProvider(const RWCString& name) const {
  const Node* node = Find(queryObjects_, name);
  if (node == nullptr) node = Find(deviceQueries_, name);
  return node != nullptr ? node->provider : nullptr;
}

GProviderRegistry& GetProviderRegistry() {
  static GProviderRegistry registry;
  return registry;
}
