#include "foundation/rw_collectable.h"

#include <cstdint>
#include <functional>
#include <mutex>

#include "foundation/class_registrar.h"
#include "foundation/persistence.h"
#include "foundation/unit_lock.h"

namespace {

// Registered with the class factory under its class ID and name.
const GClassRegistrar registrar(RWCollectable::Create, kRWCollectableClassID, "RWCollectable");

constexpr RWClassID kFirstUserClassID = 0x9000;
constexpr RWClassID kLastUserClassID = 0xF000;

GUnitLock userClassIDLock;
uint16_t userClassIDCounter = 0;

}  // namespace

RWCollectable* RWCollectable::NewInstance() const { return new RWCollectable; }

RWCollectable* RWCollectable::Clone() const { return new RWCollectable; }

RWClassID RWCollectable::ClassID() const { return kRWCollectableClassID; }

uint32_t RWCollectable::StoredSize() const { return 0; }

int32_t RWCollectable::Compare(const RWCollectable* other) const {
  if (this == other) return 0;
  return std::less<const RWCollectable*>()(other, this) ? 1 : -1;
}

uint32_t RWCollectable::HashValue() const { return AddressHash(this); }

bool RWCollectable::Equals(const RWCollectable* other) const { return this == other; }

void RWCollectable::RestoreContentsFromStream(GVirtualInStream&) {}

void RWCollectable::RestoreContentsFromFile(GBinaryFile&) {}

void RWCollectable::SaveContentsToStream(GVirtualOutStream&) const {}

void RWCollectable::SaveContentsToFile(GBinaryFile&) const {}

RWCollectable* RWCollectable::Create() { return new RWCollectable; }

uint32_t RWCollectable::ObjectStoreSize(const RWCollectable* object) { return ::ObjectStoreSize(object); }

RWCollectable* RWCollectable::Nil() {
  static RWCollectable nil;
  return &nil;
}

bool CollectablesEqual(const RWCollectable* a, const RWCollectable* b) { return a->Equals(b); }

uint32_t AddressHash(const void* address) {
  const auto bits = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(address));
  return bits ^ (bits >> 3);
}

bool IsUserClassID(RWClassID id) { return id >= kFirstUserClassID && id <= kLastUserClassID; }

RWClassID NewUserClassID() {
  std::lock_guard guard(userClassIDLock);
  return static_cast<RWClassID>(kFirstUserClassID + userClassIDCounter++);
}
