#include "foundation/rw_factory.h"

#include "foundation/small_block_pool.h"
#include "foundation/unit_lock.h"

namespace {

// Guards the factory pointer: its creation, its destruction, and every use
// of it by the free functions, so that a look-up never meets a factory that
// another thread is deleting. Both are constant-initialised, because classes
// of other units register during static initialisation, in any order.
GUnitLock singletonLock;
RWFactory* theFactory = nullptr;

// The factory, made when there is none; the caller holds the singleton lock.
RWFactory& MadeFactory() {
  if (theFactory == nullptr) theFactory = new RWFactory;
  return *theFactory;
}

// Runs f on the factory under the singleton lock, or answers otherwise when
// there is none. Look-ups never create a factory.
template <typename Result, typename F>
Result WithFactory(Result otherwise, F f) {
  std::lock_guard hold(singletonLock);
  return theFactory != nullptr ? f(*theFactory) : otherwise;
}

// Applies a removal to the factory, if there is one. The removal that leaves
// it empty deletes it and lets the small-block pool go, since the library's
// last class has gone.
template <typename F>
void RemoveFromFactory(F remove) {
  std::lock_guard hold(singletonLock);
  if (theFactory == nullptr) return;
  remove(*theFactory);
  if (!theFactory->IsEmpty()) return;
  delete theFactory;
  theFactory = nullptr;
  GSmallBlockPool::Release();
}

}  // namespace

void RWFactory::AddCreator(RWCreateFunction create, RWClassID id, const RWStringID& name) {
  std::lock_guard hold(lock_);
  byID_.try_emplace(id, Entry{create, id, name});
  byName_.try_emplace(NameKey(name), Entry{create, id, name});
}

void RWFactory::RemoveID(RWClassID id) {
  std::lock_guard hold(lock_);
  byID_.erase(id);
}

void RWFactory::RemoveName(const RWStringID& name) {
  std::lock_guard hold(lock_);
  byName_.erase(NameKey(name));
}

RWCreateFunction RWFactory::CreateFunctionOfID(RWClassID id) const {
  std::lock_guard hold(lock_);
  const auto found = byID_.find(id);
  return found != byID_.end() ? found->second.create : nullptr;
}

RWCreateFunction RWFactory::CreateFunctionOfName(const RWStringID& name) const {
  std::lock_guard hold(lock_);
  const auto found = byName_.find(NameKey(name));
  return found != byName_.end() ? found->second.create : nullptr;
}

RWCollectable* RWFactory::CreateByID(RWClassID id) const {
  const RWCreateFunction create = CreateFunctionOfID(id);
  return create != nullptr ? create() : nullptr;
}

RWCollectable* RWFactory::CreateByName(const RWStringID& name) const {
  const RWCreateFunction create = CreateFunctionOfName(name);
  return create != nullptr ? create() : nullptr;
}

RWStringID RWFactory::NameOfID(RWClassID id) const {
  std::lock_guard hold(lock_);
  const auto found = byID_.find(id);
  return found != byID_.end() ? found->second.name : RWStringID(kNoIDName);
}

RWClassID RWFactory::IDOfName(const RWStringID& name) const {
  std::lock_guard hold(lock_);
  const auto found = byName_.find(NameKey(name));
  return found != byName_.end() ? found->second.id : kUnknownClassID;
}

bool RWFactory::IsEmpty() const {
  std::lock_guard hold(lock_);
  return byID_.empty() && byName_.empty();
}

RWFactory* GetFactory() {
  std::lock_guard hold(singletonLock);
  return &MadeFactory();
}

void DestroyFactory() {
  std::lock_guard hold(singletonLock);
  delete theFactory;
  theFactory = nullptr;
}

void FactoryAddCreator(RWCreateFunction create, RWClassID id, const RWStringID& name) {
  std::lock_guard hold(singletonLock);
  MadeFactory().AddCreator(create, id, name);
}

void FactoryAddCreatorNoName(RWCreateFunction create, RWClassID id) {
  FactoryAddCreator(create, id, RWStringID(kNoRWStringIDName));
}

RWCollectable* FactoryCreateByID(RWClassID id) {
  const RWCreateFunction create =
      WithFactory<RWCreateFunction>(nullptr, [id](const RWFactory& factory) { return factory.CreateFunctionOfID(id); });
  return create != nullptr ? create() : nullptr;
}

RWCollectable* FactoryCreateByName(const RWStringID& name) {
  const RWCreateFunction create = WithFactory<RWCreateFunction>(
      nullptr, [&name](const RWFactory& factory) { return factory.CreateFunctionOfName(name); });
  return create != nullptr ? create() : nullptr;
}

void FactoryRemoveID(RWClassID id) {
  RemoveFromFactory([id](RWFactory& factory) { factory.RemoveID(id); });
}

void FactoryRemoveName(const RWStringID& name) {
  RemoveFromFactory([&name](RWFactory& factory) { factory.RemoveName(name); });
}

RWStringID FactoryNameOfID(RWClassID id) {
  return WithFactory(RWStringID(kNoIDName), [id](const RWFactory& factory) { return factory.NameOfID(id); });
}

RWClassID FactoryIDOfName(const RWStringID& name) {
  return WithFactory(kUnknownClassID, [&name](const RWFactory& factory) { return factory.IDOfName(name); });
}
