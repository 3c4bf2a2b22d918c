#include "model/os/unicode.h"

#include <atomic>
#include <memory>

#include "model/os/fatal_error.h"
#include "model/os/lock.h"
#include "model/os/osfactry.h"

namespace {

constexpr const char kSourceName[] = "unicode";

// Holds the converter and its lock until the process ends. The lock is the
// getter's, not the converter's: it outlives any converter, so a converter
// replaced or deleted never leaves the getter with a lock that is gone.
struct ConverterOwner {
  std::atomic<GUnicodeConverter*> converter{nullptr};
  std::atomic<GLock*> lock{nullptr};

  ~ConverterOwner() {
    delete converter.exchange(nullptr);
    delete lock.exchange(nullptr);
  }
};

ConverterOwner owner;

}  // namespace

GUnicodeConverter* GetUnicodeConverter() {
  if (GUnicodeConverter* held = owner.converter.load(std::memory_order_acquire)) return held;
  GOSFactory* factory = GOSFactory::Instance();
  if (factory == nullptr) return nullptr;
  factory->CreateChecked(owner.lock);
  GLock* lock = owner.lock.load(std::memory_order_acquire);
  if (lock != nullptr && lock->Lock() != 0) {
    ReportFatalError(kFatalTypeShutdown, kFatalLockFailed, kSourceName, __LINE__);
    return nullptr;
  }
  if (owner.converter.load(std::memory_order_acquire) == nullptr) {
    std::unique_ptr<GUnicodeConverter> made = factory->CreateUnicodeConverter();
    if (made) delete owner.converter.exchange(made.release(), std::memory_order_acq_rel);
  }
  GUnicodeConverter* held = owner.converter.load(std::memory_order_acquire);
  if (lock != nullptr && lock->Unlock() == GLock::kUnlockFailed) {
    ReportFatalError(kFatalTypeShutdown, kFatalUnlockFailed, kSourceName, __LINE__);
  }
  return held;
}
