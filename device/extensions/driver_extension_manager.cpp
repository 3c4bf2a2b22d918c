#include "device/extensions/driver_extension_manager.h"

#include <atomic>

namespace {

std::atomic<GDriverExtensionManager::Creator> installedCreator{nullptr};

}  // namespace

GDriverExtensionManager::Creator GDriverExtensionManager::SetCreator(Creator creator) {
  return installedCreator.exchange(creator);
}

std::unique_ptr<GDriverExtensionManager> GDriverExtensionManager::Create(GDriver& owner) {
  const Creator creator = installedCreator.load();
  return creator != nullptr ? creator(owner) : nullptr;
}
