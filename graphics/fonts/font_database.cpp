#include "graphics/fonts/font_database.h"

#include <atomic>

#include "model/os/fatal_error.h"
#include "model/os/lock.h"
#include "model/os/osfactry.h"

namespace {

constexpr const char kSourceName[] = "ftdtabse";

// The counter and its lock live until the process ends. The lock is made
// through the OS factory on first use; without a factory the counter is
// still atomic, so IDs stay unique.
struct FontIdCounter {
  std::atomic<uint32_t> next{0};
  std::atomic<GLock*> lock{nullptr};

  ~FontIdCounter() { delete lock.exchange(nullptr); }
};

FontIdCounter counter;

GLock* CounterLock() {
  GOSFactory* factory = GOSFactory::Instance();
  if (factory != nullptr) factory->CreateChecked(counter.lock);
  return counter.lock.load(std::memory_order_acquire);
}

}  // namespace

uint32_t GFontDatabase::NextFontId() {
  GLock* lock = CounterLock();
  if (lock != nullptr && lock->Lock() != 0) {
    ReportFatalError(kFatalTypeShutdown, kFatalLockFailed, kSourceName, __LINE__);
  }
  const uint32_t id = counter.next.fetch_add(1, std::memory_order_relaxed);
  if (lock != nullptr && lock->Unlock() == GLock::kUnlockFailed) {
    ReportFatalError(kFatalTypeShutdown, kFatalUnlockFailed, kSourceName, __LINE__);
  }
  return id;
}
