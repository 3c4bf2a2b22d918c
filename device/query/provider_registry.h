#pragma once

#include <cstdint>
#include <vector>

#include "foundation/rw_cstring.h"
#include "foundation/rw_wstring.h"

class GDeviceQuery;
class GDeviceQueryProvider;
class GDriver;
class MPersistentObject;

// The process-wide registry of device-query providers, by name. It keeps
// two lists in registration order, which is the order of asking: providers
// whose capability mask has any of its low 16 bits set serve query
// objects, those whose mask is above 0xFFFF serve device queries; a
// provider with both is in both under the same name. Providers stay their
// registrars' and must be unregistered before they go. Registration happens
// at process attach and detach, so the registry takes no lock.
class GProviderRegistry {
 public:
  static constexpr uint32_t kQueryObjectBits = 0xFFFF;

  // Adds the provider under name to the lists its mask selects and answers
  // 0; answers 1, changing nothing, when either list already has the name.
  int32_t Register(GDeviceQueryProvider* provider, const RWCString& name);
  // Removes the name from both lists; answers 0.
  int32_t Unregister(const RWCString& name);

  // The first answer of the providers, in order, whose capabilities cover
  // mask; null when none answers.
  MPersistentObject* CreateQueryObject(MPersistentObject* object, const RWWString& parameter, uint32_t mask) const;
  GDeviceQuery* CreateDeviceQuery(GDriver* driver, const RWWString& parameter, uint32_t mask) const;

  // How many providers support mask: of the query-object list when its low
  // 16 bits are set, plus of the device-query list when it is above 0xFFFF.
  uint32_t CountProviders(uint32_t mask) const;
  // The provider under name, from the query-object list first; null when
  // none.
  GDeviceQueryProvider* FindProvider(const RWCString& name) const;

 private:
  struct Node {
    RWCString name;
    GDeviceQueryProvider* provider;
  };
  using List = std::vector<Node>;

  static const Node* Find(const List& list, const RWCString& name);
  static void Put(List& list, GDeviceQueryProvider* provider, const RWCString& name);
  static uint32_t CountSupporting(const List& list, uint32_t mask);

  List queryObjects_;
  List deviceQueries_;
};

// The one registry of the process, empty at load.
GProviderRegistry& GetProviderRegistry();
